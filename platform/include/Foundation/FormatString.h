// The typed front of NSLog, stringWithFormat: and CFLog.
//
// On the phone the three take C varargs, through which anything passes: a
// std::string, a Ref, a double where the format says %d, each then read back as
// something it is not. Here they are templates that hand the formatter a typed
// list. An argument must be a number, a C string, a pointer or an object (a Ref
// passes its object), and each conversion must meet the argument that printf's
// rules give it: %d, %i, %u, %x, %X, %o and %c an int (a char, short or bool is
// promoted to one), with l a long, ll or q a long long, z a size_t, t a
// ptrdiff_t, j an intmax_t, h and hh an int; %f, %e, %g, %a a double (l allowed),
// with L a long double; %s a C string, %@ an object, %p any pointer; a * width or
// precision an int. Signed and unsigned of one size are alike, as in C.
//
// A format written in the source (a literal, or a constexpr pointer to one) is
// checked when the call is compiled: a fault fails the build with an error that
// names it, such as a call to `argumentDoesNotFitItsConversion<2, double>`.
// A format made at run time is passed as `runtimeFormat(text)` (to CFLog, as a
// CFString) and checked as the line is made: a conversion whose argument is
// missing or does not fit is printed as written, as an unknown conversion is.
#pragma once

#include <objc/NSObject.h>
#include <platform/Export.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace platform {

// What an argument is once passed to a C variadic function. Integers are told
// apart by size only: a conversion's signedness decides how they print.
enum class FormatArgumentType : std::uint8_t {
    Int,
    Long,
    LongLong,
    Double,
    LongDouble,
    CString,
    Pointer,
    Object,
    Null,
    Unsupported,
};

namespace format_detail {

template <typename T> struct IsRef : std::false_type {
};
template <typename T> struct IsRef<Ref<T>> : std::true_type {
};

template <typename Integer> constexpr FormatArgumentType integerType()
{
    using Promoted = std::make_signed_t<decltype(+std::declval<Integer>())>;
    if constexpr (std::is_same_v<Promoted, int>)
        return FormatArgumentType::Int;
    else if constexpr (std::is_same_v<Promoted, long>)
        return FormatArgumentType::Long;
    else if constexpr (std::is_same_v<Promoted, long long>)
        return FormatArgumentType::LongLong;
    else
        return FormatArgumentType::Unsupported;
}

template <typename Pointer> constexpr FormatArgumentType pointerType()
{
    using Pointee = std::remove_cv_t<std::remove_pointer_t<Pointer>>;
    if constexpr (std::is_same_v<Pointee, char>)
        return FormatArgumentType::CString;
    else if constexpr (std::is_convertible_v<Pointer, const NSObject*>)
        return FormatArgumentType::Object;
    else
        return FormatArgumentType::Pointer;
}

} // namespace format_detail

template <typename T> constexpr FormatArgumentType formatArgumentType()
{
    using Value = std::remove_cvref_t<T>;
    using Passed = std::decay_t<Value>;
    if constexpr (format_detail::IsRef<Value>::value)
        return FormatArgumentType::Object;
    else if constexpr (std::is_same_v<Passed, std::nullptr_t>)
        return FormatArgumentType::Null;
    else if constexpr (std::is_integral_v<Passed> || (std::is_enum_v<Passed> && std::is_convertible_v<Passed, int>))
        return format_detail::integerType<Passed>();
    else if constexpr (std::is_same_v<Passed, float> || std::is_same_v<Passed, double>)
        return FormatArgumentType::Double;
    else if constexpr (std::is_same_v<Passed, long double>)
        return FormatArgumentType::LongDouble;
    else if constexpr (std::is_pointer_v<Passed>)
        return format_detail::pointerType<Passed>();
    else
        return FormatArgumentType::Unsupported;
}

// A number, a C string, a pointer, an object or a Ref to one. Not a std::string
// (pass its c_str()), a string_view, a structure or a scoped enumeration.
template <typename T>
concept Formattable = formatArgumentType<T>() != FormatArgumentType::Unsupported;

enum class FormatLength : std::uint8_t { None, Char, Short, Long, LongLong, Size, PtrDiff, IntMax, LongDouble };

// What a conversion prints, which decides the argument it takes.
enum class FormatConversion : std::uint8_t { Unknown, Integer, Character, Real, CString, Pointer, Object };

constexpr FormatConversion formatConversion(char letter)
{
    struct Letters {
        std::string_view letters;
        FormatConversion conversion;
    };
    constexpr Letters table[] = {
        { "diuxXo", FormatConversion::Integer },
        { "c", FormatConversion::Character },
        { "fFeEgGaA", FormatConversion::Real },
        { "s", FormatConversion::CString },
        { "p", FormatConversion::Pointer },
        { "@", FormatConversion::Object },
    };
    for (const Letters& row : table)
        if (letter != '\0' && row.letters.find(letter) != std::string_view::npos)
            return row.conversion;
    return FormatConversion::Unknown;
}

// One conversion of a format, as written from its '%' on.
struct FormatDirective {
    std::string_view text;
    std::string_view flags;
    bool widthFromArgument = false;
    std::string_view width;
    bool hasPrecision = false;
    bool precisionFromArgument = false;
    std::string_view precision;
    FormatLength length = FormatLength::None;
    // '\0' when the format ends inside the directive.
    char conversion = '\0';
    // "%%", which prints a percent sign and takes no argument.
    bool isPercentSign = false;

    // What the conversion prints; each known one takes one argument.
    constexpr FormatConversion kind() const { return formatConversion(conversion); }
    constexpr bool isKnown() const { return kind() != FormatConversion::Unknown; }
};

// Reads the directive that starts at format[at], a '%', and moves `at` past it.
constexpr FormatDirective parseFormatDirective(std::string_view format, std::size_t& at)
{
    FormatDirective directive;
    const std::size_t start = at++;
    auto peek = [&] { return at < format.size() ? format[at] : '\0'; };
    auto span = [&](std::size_t from) { return format.substr(from, at - from); };
    auto digits = [&] {
        const std::size_t from = at;
        while (peek() >= '0' && peek() <= '9')
            ++at;
        return span(from);
    };
    if (peek() == '%') {
        ++at;
        directive.isPercentSign = true;
        directive.text = span(start);
        return directive;
    }
    const std::size_t flagsStart = at;
    while (peek() != '\0' && std::string_view("-+ #0'").find(peek()) != std::string_view::npos)
        ++at;
    directive.flags = span(flagsStart);
    if (peek() == '*') {
        ++at;
        directive.widthFromArgument = true;
    }
    directive.width = digits();
    if (peek() == '.') {
        ++at;
        directive.hasPrecision = true;
        if (peek() == '*') {
            ++at;
            directive.precisionFromArgument = true;
        }
        directive.precision = digits();
    }
    // A length modifier: its letter, and what it means once and, for h and l, twice.
    struct Modifier {
        char letter;
        FormatLength once;
        FormatLength twice;
    };
    using enum FormatLength;
    constexpr Modifier modifiers[] = { { 'h', Short, Char }, { 'l', Long, LongLong }, { 'q', LongLong, None },
        { 'z', Size, None }, { 't', PtrDiff, None }, { 'j', IntMax, None }, { 'L', LongDouble, None } };
    for (const Modifier& modifier : modifiers) {
        if (peek() != modifier.letter)
            continue;
        ++at;
        directive.length = modifier.once;
        if (modifier.twice != None && peek() == modifier.letter) {
            ++at;
            directive.length = modifier.twice;
        }
        break;
    }
    if (peek() != '\0')
        directive.conversion = format[at++];
    directive.text = span(start);
    return directive;
}

// Whether a directive's conversion takes an argument of this type.
constexpr bool conversionTakes(const FormatDirective& directive, FormatArgumentType type)
{
    using enum FormatArgumentType;
    using L = FormatLength;
    auto integer = [&] {
        switch (directive.length) {
        case L::None:
        case L::Char:
        case L::Short:
            return type == Int;
        case L::Long:
            return type == FormatArgumentType::Long;
        case L::LongLong:
            return type == FormatArgumentType::LongLong;
        case L::Size:
            return type == formatArgumentType<std::size_t>();
        case L::PtrDiff:
            return type == formatArgumentType<std::ptrdiff_t>();
        case L::IntMax:
            return type == formatArgumentType<std::intmax_t>();
        default:
            return false;
        }
    };
    const bool plain = directive.length == L::None;
    switch (directive.kind()) {
    case FormatConversion::Integer:
        return integer();
    case FormatConversion::Character:
        return plain && type == Int;
    case FormatConversion::Real:
        if (directive.length == L::LongDouble)
            return type == FormatArgumentType::LongDouble;
        return (plain || directive.length == L::Long) && type == Double;
    case FormatConversion::CString:
        return plain && (type == CString || type == Null);
    case FormatConversion::Pointer:
        return plain && (type == Pointer || type == CString || type == Object || type == Null);
    case FormatConversion::Object:
        return plain && (type == Object || type == Null);
    default:
        return false;
    }
}

// The first fault of a format for arguments of these types, if any.
struct FormatFault {
    enum Kind : std::uint8_t { None, UnknownConversion, MissingArgument, ArgumentDoesNotFit, UnusedArgument };
    Kind kind = None;
    // Counted from 0: the argument that does not fit, or the first one unused.
    std::size_t argument = 0;
};

constexpr FormatFault findFormatFault(std::string_view format, std::span<const FormatArgumentType> types)
{
    std::size_t next = 0;
    // The fault of the next argument, given whether its type fits; None when it is taken.
    auto take = [&](auto fits) -> FormatFault {
        if (next == types.size())
            return { FormatFault::MissingArgument, next };
        if (!fits(types[next]))
            return { FormatFault::ArgumentDoesNotFit, next };
        ++next;
        return {};
    };
    auto isInt = [](FormatArgumentType type) { return type == FormatArgumentType::Int; };
    for (std::size_t at = format.find('%'); at != std::string_view::npos; at = format.find('%', at)) {
        const FormatDirective directive = parseFormatDirective(format, at);
        if (directive.isPercentSign)
            continue;
        if (!directive.isKnown())
            return { FormatFault::UnknownConversion, next };
        FormatFault fault;
        if (directive.widthFromArgument && (fault = take(isInt)).kind)
            return fault;
        if (directive.precisionFromArgument && (fault = take(isInt)).kind)
            return fault;
        if ((fault = take([&](FormatArgumentType type) { return conversionTakes(directive, type); })).kind)
            return fault;
    }
    if (next < types.size())
        return { FormatFault::UnusedArgument, next };
    return {};
}

template <typename... Args> constexpr FormatFault findFormatFault(std::string_view format)
{
    constexpr std::array<FormatArgumentType, sizeof...(Args)> types { formatArgumentType<Args>()... };
    return findFormatFault(format, types);
}

// The faults a format can have. Never defined: a call to one of them in a
// format's check at compile time fails the build with its name in the error.
namespace format_error {
void unknownConversion();
void moreConversionsThanArguments();
template <std::size_t argument, typename Type> void argumentDoesNotFitItsConversion();
template <std::size_t argument, typename Type> void argumentHasNoConversion();
} // namespace format_error

// A format made at run time, checked as it is used.
struct RuntimeFormat {
    const char* text;
};
inline RuntimeFormat runtimeFormat(const char* text)
{
    return { text };
}

// The format of a call with arguments of types Args.
template <typename... Args> class FormatString {
public:
    consteval FormatString(const char* text)
        : text_(text)
    {
        report(findFormatFault<Args...>(text), std::index_sequence_for<Args...> {});
    }
    FormatString(RuntimeFormat format)
        : text_(format.text)
    {
    }

    const char* text() const { return text_; }

private:
    template <std::size_t... index> static consteval void report(FormatFault fault, std::index_sequence<index...>)
    {
        switch (fault.kind) {
        case FormatFault::None:
            return;
        case FormatFault::UnknownConversion:
            format_error::unknownConversion();
            return;
        case FormatFault::MissingArgument:
            format_error::moreConversionsThanArguments();
            return;
        case FormatFault::ArgumentDoesNotFit:
            ((fault.argument == index ? format_error::argumentDoesNotFitItsConversion<index + 1, Args>() : void()), ...);
            return;
        case FormatFault::UnusedArgument:
            ((fault.argument == index ? format_error::argumentHasNoConversion<index + 1, Args>() : void()), ...);
            return;
        }
    }

    const char* text_;
};

// A checked format for these arguments: `FormatFor<Args...>` in a variadic
// function's parameters leaves Args to be deduced from the arguments alone.
template <typename... Args> using FormatFor = FormatString<std::type_identity_t<Args>...>;

// One argument, as the formatter reads it.
class FormatArgument {
public:
    template <Formattable T> explicit FormatArgument(const T& value)
        : type_(formatArgumentType<T>())
    {
        using enum FormatArgumentType;
        if constexpr (format_detail::IsRef<std::remove_cvref_t<T>>::value)
            pointer_ = static_cast<const NSObject*>(value.get());
        else if constexpr (formatArgumentType<T>() == Null)
            pointer_ = nullptr;
        else if constexpr (formatArgumentType<T>() == Int || formatArgumentType<T>() == Long
            || formatArgumentType<T>() == LongLong)
            // A negative value keeps its two's complement; the conversion's own
            // type gives it back.
            integer_ = static_cast<unsigned long long>(+value);
        else if constexpr (formatArgumentType<T>() == Double)
            real_ = value;
        else if constexpr (formatArgumentType<T>() == LongDouble)
            longReal_ = value;
        else if constexpr (formatArgumentType<T>() == Object)
            pointer_ = static_cast<const NSObject*>(value);
        else if constexpr (std::is_function_v<std::remove_pointer_t<std::decay_t<T>>>)
            pointer_ = reinterpret_cast<const void*>(value);
        else
            pointer_ = value;
    }

    FormatArgumentType type() const { return type_; }
    unsigned long long integer() const { return integer_; }
    double real() const { return real_; }
    long double longReal() const { return longReal_; }
    // A C string, a pointer or an object; null for a literal nullptr.
    const void* pointer() const { return pointer_; }
    const char* text() const { return static_cast<const char*>(pointer_); }
    const NSObject* object() const { return static_cast<const NSObject*>(pointer_); }

private:
    FormatArgumentType type_;
    // Apart from the union: a union holding a long double changed how it is
    // passed between compilers' versions, and GCC says so at every call.
    long double longReal_ = 0;
    union {
        unsigned long long integer_;
        double real_;
        const void* pointer_;
    };
};

template <typename... Args> std::array<FormatArgument, sizeof...(Args)> formatArguments(const Args&... arguments)
{
    return { FormatArgument(arguments)... };
}

// printf conversions plus %@, which prints an object's description ("(null)" for
// nil), over a checked argument list.
PLATFORM_EXPORT std::string formatObjC(const char* format, std::span<const FormatArgument> arguments);

} // namespace platform
