#include <Foundation/NSLocale.h>

#include <platform/Environment.h>

#include <functional>
#include <mutex>

Class NSLocale::classObject()
{
    return objc::registeredClass<NSLocale>("NSLocale");
}

NSLocale::NSLocale(std::string_view identifier)
    : identifier_(NSString::string(identifier))
{
}

Ref<NSLocale> NSLocale::currentLocale()
{
    struct Current {
        std::mutex lock;
        Ref<NSLocale> locale;
    };
    static auto* current = new Current;
    const std::string& identifier = platform::currentLocaleIdentifier();
    std::lock_guard guard(current->lock);
    if (!current->locale || current->locale->identifier_->UTF8String() != identifier)
        current->locale = localeWithLocaleIdentifier(identifier);
    return current->locale;
}

Ref<NSLocale> NSLocale::localeWithLocaleIdentifier(std::string_view identifier)
{
    return makeRef<NSLocale>(identifier);
}

std::string NSLocale::description() const
{
    return identifier_->UTF8String();
}

bool NSLocale::isEqual(const NSObject* other) const
{
    auto* locale = dynamicCast<NSLocale>(const_cast<NSObject*>(other));
    return locale && locale->identifier_->isEqualToString(identifier_.get());
}

std::size_t NSLocale::hash() const
{
    return identifier_->hash();
}
