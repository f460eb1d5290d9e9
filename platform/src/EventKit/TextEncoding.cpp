#include "TextEncoding.h"

#include <unicode/ustring.h>

namespace eventkit {
namespace {

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";

std::string fromUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string units;
    units.reserve(bytes.size() / 2 + 1);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    if (bytes.size() % 2)
        units.push_back(u'\uFFFD');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    const auto count = static_cast<int32_t>(units.size());
    u_strToUTF8WithSub(nullptr, 0, &length, units.data(), count, 0xFFFD, nullptr, &status);
    std::string text(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(text.data(), length, nullptr, units.data(), count, 0xFFFD, nullptr, &status);
    return U_SUCCESS(status) ? text : std::string();
}

} // namespace

std::string_view utf8Text(std::string_view bytes, std::string& converted)
{
    if (bytes.starts_with(utf8Mark))
        return bytes.substr(utf8Mark.size());
    const bool littleEndian = bytes.starts_with(utf16LittleEndianMark);
    if (!littleEndian && !bytes.starts_with(utf16BigEndianMark))
        return bytes;
    converted = fromUtf16(bytes.substr(2), !littleEndian);
    return converted;
}

} // namespace eventkit
