#include "Suggestions.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

namespace {

bool sameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// Levenshtein distance, one row at a time.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = diagonal + (sameLetter(a[i - 1], b[j - 1]) ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1, substitution });
        }
    }
    return row[b.size()];
}

} // namespace

std::optional<std::string> nearestName(std::string_view word, std::span<const std::string> candidates)
{
    const std::size_t allowed = std::max<std::size_t>(2, word.size() / 3);
    std::optional<std::string> nearest;
    std::size_t best = allowed + 1;
    for (const std::string& candidate : candidates)
        if (const std::size_t distance = editDistance(word, candidate); distance < best) {
            best = distance;
            nearest = candidate;
        }
    return nearest;
}
