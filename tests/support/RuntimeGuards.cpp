#include "RuntimeGuards.h"

#include <substrate.h>

#include <atomic>

namespace testing_support {

std::string uniqueClassName(std::string_view stem)
{
    static std::atomic<unsigned> counter { 0 };
    for (;;) {
        std::string name = std::string(stem) + "_" + std::to_string(++counter);
        if (!objc_getClass(name.c_str()))
            return name;
    }
}

ScopedHook::ScopedHook(Class cls, const char* selector, IMP replacement, IMP* saved)
    : cls_(cls)
    , selector_(sel_registerName(selector))
    , own_(class_getOwnMethod(cls, selector_))
    , original_(method_getImplementation(own_))
{
    MSHookMessageEx(cls_, selector_, replacement, saved);
}

ScopedHook::~ScopedHook()
{
    if (own_)
        method_setImplementation(own_, original_);
    else
        objc::removeOwnMethod(cls_, selector_);
}

} // namespace testing_support
