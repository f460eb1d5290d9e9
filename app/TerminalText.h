// Text laid out in a terminal's columns, measured by what a terminal shows:
// user-perceived characters, wide ones taking two columns.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

// Columns the UTF-8 text takes: two for each wide East Asian character and each
// emoji shown as a picture (with its joiners, modifiers and selectors), none for
// a mark or format character on its own, one for anything else.
std::size_t displayWidth(const std::string& text);

// The text filling exactly `width` columns: padded with spaces, or cut after
// its last whole character that fits, with "…" in the last column.
std::string fittedToColumn(const std::string& text, std::size_t width);

// The text followed by blanks up to `width` columns.
std::string padded(const std::string& text, std::size_t width);

// Rows of cells as lines: each column as wide as its widest cell, two blanks
// between columns and the last one unpadded; the columns in `rightAligned`
// (numbers) padded on the left.
std::string tableText(
    const std::vector<std::vector<std::string>>& rows, const std::set<std::size_t>& rightAligned = {});
