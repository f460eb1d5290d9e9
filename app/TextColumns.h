// Text laid out in columns on a terminal.
#pragma once

#include <set>
#include <string>
#include <vector>

// Columns a terminal gives the text: wide East Asian characters take two,
// combining marks and format characters none.
std::size_t displayWidth(const std::string& text);

// The text followed by blanks up to `width` columns.
std::string padded(const std::string& text, std::size_t width);

// Rows of cells as lines: each column as wide as its widest cell, two blanks
// between columns and the last one unpadded; the columns in `rightAligned`
// (numbers) padded on the left.
std::string tableText(
    const std::vector<std::vector<std::string>>& rows, const std::set<std::size_t>& rightAligned = {});
