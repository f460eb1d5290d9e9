#include <Foundation/NSPropertyList.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSValue.h>
#include <platform/Environment.h>
#include <platform/FileBytes.h>

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// Nesting beyond this is refused rather than followed: a hostile file must not
// be able to exhaust the stack.
constexpr int maximumDepth = 256;
// A binary list that would grow past this once read is refused unread.
constexpr std::uint64_t maximumTreeBytes = 64 << 20;

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(void* memory) const { std::free(memory); }
};

Ref<NSObject> objectFromNode(plist_t node, int depth);

Ref<NSObject> arrayFromNode(plist_t node, int depth)
{
    std::vector<Ref<NSObject>> objects;
    const std::uint32_t count = plist_array_get_size(node);
    objects.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        Ref<NSObject> object = objectFromNode(plist_array_get_item(node, i), depth + 1);
        if (!object)
            return nullptr;
        objects.push_back(std::move(object));
    }
    return NSArray::array(std::move(objects));
}

Ref<NSObject> dictionaryFromNode(plist_t node, int depth)
{
    std::vector<NSDictionary::Entry> entries;
    // A key repeated in the file keeps its last value, in its first place.
    std::unordered_map<std::string, std::size_t> positions;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    std::unique_ptr<void, MallocFree> iteratorOwner(iterator);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &value);
        if (!rawKey)
            break;
        std::unique_ptr<char, MallocFree> key(rawKey);
        Ref<NSObject> object = objectFromNode(value, depth + 1);
        if (!object)
            return nullptr;
        auto [at, inserted] = positions.emplace(key.get(), entries.size());
        if (inserted)
            entries.emplace_back(NSString::string(key.get()), std::move(object));
        else
            entries[at->second].second = std::move(object);
    }
    return NSDictionary::dictionary(std::move(entries));
}

Ref<NSObject> scalarFromNode(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return NSNumber::numberWithBool(value != 0);
    }
    case PLIST_UINT: {
        // libplist hands every integer out unsigned; the file's are signed 64-bit.
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return NSNumber::numberWithLongLong(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return NSNumber::numberWithDouble(value);
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return text ? NSString::string(std::string_view(text, length)) : nullptr;
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        // libplist splits the instant toward zero and hands out the fraction's
        // magnitude, so a date before the reference date takes it off again.
        const double fraction = microseconds / 1e6;
        return NSDate::dateWithTimeIntervalSinceReferenceDate(seconds < 0 ? seconds - fraction : seconds + fraction);
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return NSData::dataWithBytes(bytes, length);
    }
    case PLIST_UID: {
        std::uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return NSDictionary::dictionary(
            { { NSString::string("CF$UID"), NSNumber::numberWithLongLong(static_cast<std::int64_t>(value)) } });
    }
    default:
        return nullptr;
    }
}

Ref<NSObject> objectFromNode(plist_t node, int depth)
{
    if (!node || depth > maximumDepth)
        return nullptr;
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return arrayFromNode(node, depth);
    case PLIST_DICT:
        return dictionaryFromNode(node, depth);
    default:
        return scalarFromNode(node);
    }
}

// Builds libplist nodes from objects; the first object that has no property-list
// form stops it with a message naming where it sits.
class NodeBuilder {
public:
    PlistPtr build(const NSObject* object, const std::string& where, int depth)
    {
        if (depth > maximumDepth)
            return fail(where, "nests too deeply");
        if (!object)
            return fail(where, "is nil");
        if (auto* string = dynamicCast<NSString>(const_cast<NSObject*>(object))) {
            // libplist takes a string up to its first NUL; refusing keeps the rest.
            if (string->UTF8String().find('\0') != std::string::npos)
                return fail(where, "is a string with a NUL character, which would be cut short");
            return PlistPtr(plist_new_string(string->UTF8String().c_str()));
        }
        if (auto* number = dynamicCast<NSNumber>(const_cast<NSObject*>(object)))
            return numberNode(number);
        if (auto* date = dynamicCast<NSDate>(const_cast<NSObject*>(object)))
            return dateNode(date, where);
        if (auto* data = dynamicCast<NSData>(const_cast<NSObject*>(object)))
            return PlistPtr(plist_new_data(reinterpret_cast<const char*>(data->bytes()), data->length()));
        if (auto* array = dynamicCast<NSArray>(const_cast<NSObject*>(object)))
            return arrayNode(array, where, depth);
        if (auto* dictionary = dynamicCast<NSDictionary>(const_cast<NSObject*>(object)))
            return dictionaryNode(dictionary, where, depth);
        return fail(where,
            std::string("is an instance of ") + class_getName(object->isa()) + ", which a property list cannot hold");
    }

    const std::string& error() const { return error_; }

private:
    PlistPtr fail(const std::string& where, const std::string& problem)
    {
        error_ = "the value at " + where + " " + problem;
        return nullptr;
    }

    static PlistPtr numberNode(const NSNumber* number)
    {
        if (number->isBoolean())
            return PlistPtr(plist_new_bool(number->boolValue()));
        if (number->isFloatingPoint())
            return PlistPtr(plist_new_real(number->doubleValue()));
        // Negative integers keep their bits; the reader casts them back to signed.
        return PlistPtr(plist_new_uint(number->unsignedLongLongValue()));
    }

    PlistPtr dateNode(const NSDate* date, const std::string& where)
    {
        const double interval = date->timeIntervalSinceReferenceDate();
        const double seconds = std::floor(interval);
        if (!std::isfinite(interval) || seconds < std::numeric_limits<std::int32_t>::min()
            || seconds > std::numeric_limits<std::int32_t>::max())
            return fail(where, "is a date out of the property list's range");
        auto microseconds = static_cast<std::int32_t>(std::lround((interval - seconds) * 1e6));
        return PlistPtr(plist_new_date(static_cast<std::int32_t>(seconds), std::min(microseconds, 999999)));
    }

    PlistPtr arrayNode(const NSArray* array, const std::string& where, int depth)
    {
        PlistPtr node(plist_new_array());
        for (NSUInteger i = 0; i < array->count(); ++i) {
            PlistPtr item = build(array->objectAtIndex(i), where + "[" + std::to_string(i) + "]", depth + 1);
            if (!item)
                return nullptr;
            plist_array_append_item(node.get(), item.release());
        }
        return node;
    }

    PlistPtr dictionaryNode(const NSDictionary* dictionary, const std::string& where, int depth)
    {
        PlistPtr node(plist_new_dict());
        for (const auto& [key, value] : dictionary->entries()) {
            auto* name = dynamicCast<NSString>(key.get());
            if (!name)
                return fail(where, "has a key that is not a string");
            PlistPtr item = build(value.get(), where + "/" + name->UTF8String(), depth + 1);
            if (!item)
                return nullptr;
            plist_dict_set_item(node.get(), name->UTF8String().c_str(), item.release());
        }
        return node;
    }

    std::string error_;
};

// A binary list read just far enough to find the text that libplist 2.2
// mishandles: text holding a NUL character.
class BinaryListScan {
public:
    explicit BinaryListScan(std::string_view bytes)
        : bytes_(bytes)
    {
        if (bytes_.size() < 8 + trailerSize)
            return;
        trailer_ = bytes_.size() - trailerSize;
        offsetSize_ = byteAt(trailer_ + 6);
        referenceSize_ = byteAt(trailer_ + 7);
        objects_ = number(trailer_ + 8, 8);
        table_ = number(trailer_ + 24, 8);
        valid_ = offsetSize_ != 0 && referenceSize_ != 0 && table_ < trailer_
            && objects_ <= (trailer_ - table_) / offsetSize_;
    }

    // Whether some dictionary key holds a NUL character. libplist 2.2 aborts the
    // process when it hands such a key out (its getter asserts that the key's
    // length is its C string length), so such a list is refused unread.
    bool hasKeyWithNul() const
    {
        // Each dictionary once, however many entries of the table point at it.
        std::unordered_set<std::uint64_t> scanned;
        for (std::uint64_t i = 0; valid_ && i < objects_; ++i) {
            const std::uint64_t offset = objectOffset(i);
            if (offset < trailer_ && byteAt(offset) >> 4 == 0xD && scanned.insert(offset).second
                && dictionaryHasKeyWithNul(offset))
                return true;
        }
        return false;
    }

    // Whether the tree libplist would build holds more than `limit` bytes. It
    // copies an object for every reference to it, so a list whose objects are
    // shared over and over describes gigabytes in a few kilobytes; a reference
    // back into the object being counted (a cycle) is as bad.
    bool expandsBeyond(std::uint64_t limit) const
    {
        std::unordered_map<std::uint64_t, std::uint64_t> sizes;
        return !valid_ || treeSize(number(trailer_ + 16, 8), limit, sizes, 0) > limit;
    }

    // libplist 2.2 cuts one-byte (ASCII) text at its first NUL as it reads it,
    // where two-byte text keeps every character. This gives the list back with a
    // two-byte copy of each such text after the last object and a new offset
    // table, of eight-byte offsets, that points at the copies; nothing else moves,
    // so every reference still holds, and the list grows to a few times its size
    // at the most. Nothing when no text needs it.
    std::optional<std::string> withNulTextsWidened() const
    {
        if (!valid_)
            return std::nullopt;
        std::string widened(bytes_.substr(0, trailer_));
        // One copy for each text, however many entries of the table point at it.
        std::unordered_map<std::uint64_t, std::uint64_t> copies;
        std::vector<std::uint64_t> offsets;
        for (std::uint64_t i = 0; i < objects_; ++i) {
            offsets.push_back(objectOffset(i));
            if (!isWholeAsciiText(offsets.back()) || !textHasNul(offsets.back()))
                continue;
            const auto [copy, isNew] = copies.try_emplace(offsets.back(), widened.size());
            if (isNew)
                appendAsTwoByteText(widened, offsets.back());
            offsets.back() = copy->second;
        }
        if (widened.size() == trailer_)
            return std::nullopt;
        const std::uint64_t table = widened.size();
        for (std::uint64_t offset : offsets)
            appendNumber(widened, offset, 8);
        widened += bytes_.substr(trailer_, 6);
        widened += static_cast<char>(8);
        widened += static_cast<char>(referenceSize_);
        widened += bytes_.substr(trailer_ + 8, 16);
        appendNumber(widened, table, 8);
        return widened;
    }

private:
    static constexpr std::size_t trailerSize = 32;

    std::size_t byteAt(std::uint64_t at) const
    {
        return at < bytes_.size() ? static_cast<unsigned char>(bytes_[at]) : 0;
    }

    // A big-endian number of `size` bytes; 0 past the end.
    std::uint64_t number(std::uint64_t at, std::size_t size) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size && i < 8; ++i)
            value = value << 8 | byteAt(at + i);
        return value;
    }

    static void appendNumber(std::string& bytes, std::uint64_t value, std::size_t size)
    {
        for (std::size_t i = size; i-- > 0;)
            bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    }

    std::uint64_t objectOffset(std::uint64_t index) const { return number(table_ + index * offsetSize_, offsetSize_); }

    // Roughly what the object and all it refers to take once built, counted up
    // to just past `limit`; each object's size is worked out once.
    std::uint64_t treeSize(std::uint64_t index, std::uint64_t limit,
        std::unordered_map<std::uint64_t, std::uint64_t>& sizes, int depth) const
    {
        constexpr std::uint64_t nodeSize = 64;
        if (index >= objects_ || depth > maximumDepth)
            return limit + 1;
        if (const auto known = sizes.find(index); known != sizes.end())
            return known->second;
        sizes[index] = limit + 1;
        const std::uint64_t at = objectOffset(index);
        const std::size_t kind = byteAt(at) >> 4;
        const auto [count, contents] = countAt(at);
        std::uint64_t size = nodeSize;
        if (kind == 0xA || kind == 0xD) {
            const std::uint64_t references = std::min<std::uint64_t>(count, bytes_.size()) * (kind == 0xD ? 2 : 1);
            for (std::uint64_t i = 0; i < references && size <= limit; ++i)
                size += treeSize(number(contents + i * referenceSize_, referenceSize_), limit, sizes, depth + 1);
        } else if (kind >= 0x4 && kind <= 0x7) {
            size += std::min<std::uint64_t>(count, bytes_.size()) * (kind == 0x6 ? 2 : 1);
        }
        return sizes[index] = std::min(size, limit + 1);
    }

    // An object's count (of bytes, characters or entries) and where its contents start.
    std::pair<std::uint64_t, std::uint64_t> countAt(std::uint64_t at) const
    {
        const std::size_t low = byteAt(at) & 0xF;
        if (low != 0xF)
            return { low, at + 1 };
        const std::size_t size = std::size_t(1) << (byteAt(at + 1) & 0x3);
        return { number(at + 2, size), at + 2 + size };
    }

    bool dictionaryHasKeyWithNul(std::uint64_t at) const
    {
        const auto [entries, references] = countAt(at);
        for (std::uint64_t i = 0; i < entries && references + (i + 1) * referenceSize_ <= bytes_.size(); ++i) {
            const std::uint64_t key = number(references + i * referenceSize_, referenceSize_);
            if (textHasNul(objectOffset(key)))
                return true;
        }
        return false;
    }

    // ASCII (one byte a character), UTF-16 (two) or UTF-8 text with a zero
    // character, read only as far as the list's objects go. Each text is read
    // once, however many references lead to it.
    bool textHasNul(std::uint64_t at) const
    {
        const auto known = textsWithNul_.find(at);
        if (known != textsWithNul_.end())
            return known->second;
        return textsWithNul_[at] = readTextForNul(at);
    }

    bool readTextForNul(std::uint64_t at) const
    {
        const std::size_t kind = byteAt(at) >> 4;
        const std::size_t unit = kind == 0x6 ? 2 : 1;
        if (kind != 0x5 && kind != 0x6 && kind != 0x7)
            return false;
        const auto [characters, start] = countAt(at);
        for (std::uint64_t i = 0; i < characters && start + (i + 1) * unit <= trailer_; ++i)
            if (number(start + i * unit, unit) == 0)
                return true;
        return false;
    }

    // Whether `at` holds ASCII text that ends before the trailer.
    bool isWholeAsciiText(std::uint64_t at) const
    {
        const auto [characters, start] = countAt(at);
        return at < trailer_ && byteAt(at) >> 4 == 0x5 && start <= trailer_ && characters <= trailer_ - start;
    }

    // The whole ASCII text at `at` as UTF-16 text.
    void appendAsTwoByteText(std::string& bytes, std::uint64_t at) const
    {
        const auto [characters, start] = countAt(at);
        if (characters < 0xF) {
            bytes += static_cast<char>(0x60 | characters);
        } else {
            bytes += static_cast<char>(0x6F);
            bytes += static_cast<char>(0x13);
            appendNumber(bytes, characters, 8);
        }
        for (std::uint64_t i = 0; i < characters; ++i) {
            bytes += '\0';
            bytes += bytes_[start + i];
        }
    }

    std::string_view bytes_;
    mutable std::unordered_map<std::uint64_t, bool> textsWithNul_;
    std::size_t trailer_ = 0;
    std::size_t offsetSize_ = 0;
    std::size_t referenceSize_ = 0;
    std::uint64_t objects_ = 0;
    std::uint64_t table_ = 0;
    bool valid_ = false;
};

// libplist accepts an XML file that stops right after its root value; such a file
// lost its end, and Foundation refuses it for the missing closing tag.
bool isXmlCutShort(const std::string& bytes)
{
    if (plist_is_binary(bytes.data(), static_cast<std::uint32_t>(bytes.size()))
        || bytes.find("<plist") == std::string::npos)
        return false;
    const std::size_t last = bytes.find_last_not_of(" \t\r\n");
    constexpr std::string_view closing = "</plist>";
    return last == std::string::npos || last + 1 < closing.size()
        || bytes.compare(last + 1 - closing.size(), closing.size(), closing) != 0;
}

Ref<NSObject> objectFromBytes(const std::string& bytes)
{
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    PlistPtr owner(root);
    return objectFromNode(root, 0);
}

Ref<NSObject> propertyListFromBytes(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max() || isXmlCutShort(bytes))
        return nullptr;
    if (plist_is_binary(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
        const BinaryListScan scan(bytes);
        if (scan.hasKeyWithNul() || scan.expandsBeyond(maximumTreeBytes))
            return nullptr;
        if (std::optional<std::string> widened = scan.withNulTextsWidened())
            return widened->size() <= std::numeric_limits<std::uint32_t>::max() ? objectFromBytes(*widened) : nullptr;
    }
    return objectFromBytes(bytes);
}

std::string serialise(plist_t root, NSPropertyListFormat format)
{
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (format == NSPropertyListBinaryFormat_v1_0) {
        plist_to_bin(root, &bytes, &length);
        std::string out(bytes ? bytes : "", bytes ? length : 0);
        plist_to_bin_free(bytes);
        return out;
    }
    plist_to_xml(root, &bytes, &length);
    std::string out(bytes ? bytes : "", bytes ? length : 0);
    plist_to_xml_free(bytes);
    return out;
}

std::optional<std::string> bytesOfPropertyList(const NSObject* root, NSPropertyListFormat format, std::string* error)
{
    NodeBuilder builder;
    PlistPtr node = builder.build(root, "the root", 0);
    if (!node) {
        if (error)
            *error = builder.error();
        return std::nullopt;
    }
    std::string bytes = serialise(node.get(), format);
    if (bytes.empty()) {
        if (error)
            *error = "libplist could not serialise the property list";
        return std::nullopt;
    }
    return bytes;
}

} // namespace

namespace NSPropertyListSerialization {

Ref<NSObject> propertyListWithData(const NSData* data)
{
    if (!data)
        return nullptr;
    return propertyListFromBytes(std::string(reinterpret_cast<const char*>(data->bytes()), data->length()));
}

Ref<NSObject> propertyListWithContentsOfFile(const std::string& devicePath)
{
    std::optional<std::string> bytes
        = platform::readFileBytes(platform::resolveDevicePath(devicePath), std::numeric_limits<std::uint32_t>::max());
    return bytes ? propertyListFromBytes(*bytes) : nullptr;
}

Ref<NSData> dataWithPropertyList(const NSObject* root, NSPropertyListFormat format, std::string* error)
{
    std::optional<std::string> bytes = bytesOfPropertyList(root, format, error);
    return bytes ? NSData::dataWithBytes(bytes->data(), bytes->size()) : nullptr;
}

bool writePropertyList(
    const NSObject* root, const std::string& devicePath, NSPropertyListFormat format, std::string* error)
{
    std::optional<std::string> bytes = bytesOfPropertyList(root, format, error);
    if (!bytes)
        return false;
    std::optional<std::string> failure = platform::writeFileAtomically(platform::resolveDevicePath(devicePath), *bytes);
    if (failure && error)
        *error = *failure;
    return !failure;
}

} // namespace NSPropertyListSerialization
