#include "TextColumns.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>

std::size_t displayWidth(const std::string& text)
{
    std::size_t width = 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t offset = 0; offset < length;) {
        UChar32 c;
        U8_NEXT(bytes, offset, length, c);
        const int8_t category = u_charType(c);
        if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR)
            continue;
        const auto eastAsian = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
        width += eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ? 2 : 1;
    }
    return width;
}

std::string padded(const std::string& text, std::size_t width)
{
    const std::size_t used = displayWidth(text);
    return text + std::string(used < width ? width - used : 0, ' ');
}

std::string tableText(const std::vector<std::vector<std::string>>& rows, const std::set<std::size_t>& rightAligned)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], displayWidth(row[column]));
    }
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string& cell = row[column];
            if (rightAligned.count(column))
                text += std::string(widths[column] - displayWidth(cell), ' ') + cell;
            else
                text += column + 1 < row.size() ? padded(cell, widths[column]) : cell;
            text += column + 1 < row.size() ? "  " : "\n";
        }
    }
    return text;
}
