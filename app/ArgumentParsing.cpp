#include "ArgumentParsing.h"

#include <cmath>

std::optional<double> parseFinite(std::string_view text)
{
    const std::optional<double> value = parseWhole<double>(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}

CLI::Validator validator(std::string description, std::function<bool(const std::string&)> isValid, std::string error)
{
    return CLI::Validator(
        [isValid = std::move(isValid), error = std::move(error)](
            std::string& value) { return isValid(value) ? std::string() : "'" + value + "' " + error; },
        std::move(description));
}
