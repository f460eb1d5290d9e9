// The runtime names its failures and Foundation raises them, as on the phone,
// where an unrecognised selector ends in NSObject's doesNotRecognizeSelector:.
#include <Foundation/NSException.h>
#include <objc/WeakRef.h>
#include <objc/message.h>

NSException::NSException(std::string name, std::string reason)
    : std::runtime_error(name + ": " + reason)
    , name_(std::move(name))
    , reason_(std::move(reason))
{
}

namespace objc {

void throwUnrecognizedSelector(NSObject* receiver, SEL selector)
{
    throw NSException(
        NSInvalidArgumentException, methodName(receiver, selector) + ": unrecognized selector sent to instance");
}

void throwUnrecognizedSelector(Class receiver, SEL selector)
{
    throw NSException(
        NSInvalidArgumentException, methodName(receiver, selector) + ": unrecognized selector sent to class");
}

void throwEncodingMismatch(const std::string& method, const std::string& callTypes, const char* methodTypes)
{
    throw NSException(NSInvalidArgumentException,
        method + ": called as \"" + callTypes + "\" but implemented as \"" + methodTypes + "\"");
}

void throwWeakProtocolWithoutObject()
{
    throw NSException(NSInvalidArgumentException, "a weakly held protocol must be adopted by an object");
}

} // namespace objc
