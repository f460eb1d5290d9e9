// Property-list values as JSON, for showing what a preference file holds,
// whoever wrote it.
#pragma once

#include <objc/NSObject.h>

#include <nlohmann/json.hpp>

// Booleans, integers and reals as themselves, strings as strings, arrays and
// dictionaries as JSON arrays and objects, dates as ISO 8601 in UTC and data as
// base64; nil as null.
nlohmann::ordered_json propertyListJSON(const NSObject* value);

// One line for the value: a string quoted with its quotes, newlines and control
// characters escaped, anything else as its compact JSON.
std::string propertyListLine(const NSObject* value);
