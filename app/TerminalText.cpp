#include "TerminalText.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// One user-perceived character: where it starts and ends in the UTF-8 text,
// and the columns it takes.
struct Cluster {
    std::size_t begin;
    std::size_t end;
    std::size_t width;
};

std::size_t clusterWidth(const icu::UnicodeString& text, int32_t start, int32_t end)
{
    const UChar32 first = text.char32At(start);
    const int8_t category = u_charType(first);
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR
        || category == U_CONTROL_CHAR)
        return 0;
    // U+FE0F asks for the picture form of a character that has both.
    if (u_hasBinaryProperty(first, UCHAR_EMOJI_PRESENTATION) || text.indexOf(char16_t(0xFE0F), start, end - start) >= 0)
        return 2;
    const auto eastAsian = static_cast<UEastAsianWidth>(u_getIntPropertyValue(first, UCHAR_EAST_ASIAN_WIDTH));
    return eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ? 2 : 1;
}

std::vector<Cluster> clustersOf(const std::string& text)
{
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    std::vector<Cluster> clusters;
    if (U_FAILURE(status))
        return { { 0, text.size(), text.size() } };
    characters->setText(unicode);
    std::size_t utf8Offset = 0;
    for (int32_t start = characters->first(), end = characters->next(); end != icu::BreakIterator::DONE;
         start = end, end = characters->next()) {
        std::string piece;
        unicode.tempSubStringBetween(start, end).toUTF8String(piece);
        clusters.push_back({ utf8Offset, utf8Offset + piece.size(), clusterWidth(unicode, start, end) });
        utf8Offset += piece.size();
    }
    return clusters;
}

} // namespace

std::size_t displayWidth(const std::string& text)
{
    std::size_t width = 0;
    for (const Cluster& cluster : clustersOf(text))
        width += cluster.width;
    return width;
}

std::string fittedToColumn(const std::string& text, std::size_t width)
{
    const std::vector<Cluster> clusters = clustersOf(text);
    std::size_t used = 0;
    for (const Cluster& cluster : clusters)
        used += cluster.width;
    if (used <= width)
        return text + std::string(width - used, ' ');
    if (width == 0)
        return {};
    // Whole characters up to one column short, then the ellipsis.
    std::size_t kept = 0, end = 0;
    for (const Cluster& cluster : clusters) {
        if (kept + cluster.width > width - 1)
            break;
        kept += cluster.width;
        end = cluster.end;
    }
    return text.substr(0, end) + "…" + std::string(width - 1 - kept, ' ');
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
