// The name a user probably meant, for "did you mean …?" after a mistyped word.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The candidate closest to `word` in edits (letter case aside), if it is close
// enough to be a slip: at most a third of the word's letters, or two.
std::optional<std::string> nearestName(std::string_view word, std::span<const std::string> candidates);
