// Type encodings in the runtime's format ("v@:", "{CGSize=dd}@:@@q"), built from
// C++ types. The same types encode differently on 64-bit and 32-bit processors,
// so every encoding takes the word size; this machine's is `hostWordSize`.
//
// Stand-ins: `NSInteger` (long) is the word-sized integer, `CGFloat` (double) the
// word-sized float, `bool` is BOOL. A structure's encoding is declared beside the
// structure (the geometry's in <CoreGraphics/CGGeometry.h>).
#pragma once

#include <objc/NSObjCRuntime.h>

#include <string>
#include <type_traits>

class NSObject;
typedef const struct objc_selector* SEL;
typedef struct objc_class* Class;

namespace objc {

enum class WordSize { Bits32, Bits64 };

inline constexpr WordSize hostWordSize = sizeof(void*) == 8 ? WordSize::Bits64 : WordSize::Bits32;

template <typename T, typename Enable = void> struct Encoding;

template <> struct Encoding<void> {
    static std::string of(WordSize) { return "v"; }
};
template <> struct Encoding<bool> {
    // BOOL is a C99 bool on 64-bit processors and a signed char on 32-bit ones.
    static std::string of(WordSize w) { return w == WordSize::Bits64 ? "B" : "c"; }
};
template <> struct Encoding<char> {
    static std::string of(WordSize) { return "c"; }
};
template <> struct Encoding<int> {
    static std::string of(WordSize) { return "i"; }
};
template <> struct Encoding<unsigned> {
    static std::string of(WordSize) { return "I"; }
};
template <> struct Encoding<long> {
    static std::string of(WordSize w) { return w == WordSize::Bits64 ? "q" : "i"; }
};
template <> struct Encoding<unsigned long> {
    static std::string of(WordSize w) { return w == WordSize::Bits64 ? "Q" : "I"; }
};
template <> struct Encoding<long long> {
    static std::string of(WordSize) { return "q"; }
};
template <> struct Encoding<unsigned long long> {
    static std::string of(WordSize) { return "Q"; }
};
template <> struct Encoding<double> {
    static std::string of(WordSize w) { return w == WordSize::Bits64 ? "d" : "f"; }
};
template <> struct Encoding<float> {
    static std::string of(WordSize) { return "f"; }
};
template <> struct Encoding<SEL> {
    static std::string of(WordSize) { return ":"; }
};
template <> struct Encoding<Class> {
    static std::string of(WordSize) { return "#"; }
};
template <> struct Encoding<const char*> {
    static std::string of(WordSize) { return "*"; }
};
template <typename T> struct Encoding<T*, std::enable_if_t<std::is_base_of_v<NSObject, T>>> {
    static std::string of(WordSize) { return "@"; }
};
template <typename T>
struct Encoding<T*, std::enable_if_t<!std::is_base_of_v<NSObject, T> && !std::is_same_v<T, const char>>> {
    static std::string of(WordSize) { return "^v"; }
};
template <typename T> struct Encoding<T, std::enable_if_t<std::is_enum_v<T>>> {
    static std::string of(WordSize w) { return Encoding<std::underlying_type_t<T>>::of(w); }
};

template <typename T> std::string encode(WordSize w = hostWordSize)
{
    return Encoding<std::remove_cv_t<T>>::of(w);
}

// The encoding of a method: return type, receiver, selector, then each argument.
template <typename R, typename... Args> std::string methodEncoding(WordSize w = hostWordSize)
{
    return encode<R>(w) + "@:" + (std::string() + ... + encode<Args>(w));
}

} // namespace objc
