// Lists of words as a sentence says them.
#pragma once

#include <string>
#include <vector>

// "a b c" with `separator` " ", "a, b, c" with ", ".
std::string joinedWords(const std::vector<std::string>& words, const char* separator);

// "a, b and c" (or "a, b or c" with `last` " or ").
std::string listedWords(const std::vector<std::string>& words, const char* last = " and ");
