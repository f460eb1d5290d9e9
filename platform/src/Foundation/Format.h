// The printf engine behind stringWithFormat:, NSLog and CFLog: every printf
// conversion, plus %@ for an object's description ("(null)" for nil).
#pragma once

#include <cstdarg>
#include <string>

namespace platform {

std::string formatObjC(const char* format, va_list arguments);

} // namespace platform
