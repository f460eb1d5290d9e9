// NSException: what the platform raises where the phone's SDK raises one.
// It is thrown as a C++ exception and caught with `catch (const NSException&)`.
#pragma once

#include <platform/Export.h>

#include <stdexcept>
#include <string>

class PLATFORM_EXPORT NSException : public std::runtime_error {
public:
    NSException(std::string name, std::string reason);

    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }
    // The text `%@` shows for an exception: its reason.
    std::string description() const { return reason_; }

private:
    std::string name_;
    std::string reason_;
};

inline constexpr const char* NSInvalidArgumentException = "NSInvalidArgumentException";
inline constexpr const char* NSRangeException = "NSRangeException";
inline constexpr const char* NSInternalInconsistencyException = "NSInternalInconsistencyException";
