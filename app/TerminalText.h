// Text laid out in a terminal's columns, measured by what a terminal shows:
// user-perceived characters, wide ones taking two columns.
#pragma once

#include <cstddef>
#include <string>

// Columns the UTF-8 text takes: two for each wide East Asian character and each
// emoji shown as a picture (with its joiners, modifiers and selectors), none for
// a mark or format character on its own, one for anything else.
std::size_t displayWidth(const std::string& text);

// The text filling exactly `width` columns: padded with spaces, or cut after
// its last whole character that fits, with "…" in the last column.
std::string fittedToColumn(const std::string& text, std::size_t width);
