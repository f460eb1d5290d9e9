// Keeps tests from leaving traces in the process-wide class table, so that a
// test binary can run its tests again in the same process.
#pragma once

#include <objc/runtime.h>

#include <string>
#include <string_view>

namespace testing_support {

// A class name not registered yet: the stem with a number, fresh on every call.
std::string uniqueClassName(std::string_view stem);

// MSHookMessageEx for one scope: on the way out the class's own method gets its
// implementation back, or the override the hook added is removed again.
class ScopedHook {
public:
    ScopedHook(Class cls, const char* selector, IMP replacement, IMP* saved);
    template <typename Fn>
    ScopedHook(Class cls, const char* selector, Fn replacement, Fn* saved)
        : ScopedHook(cls, selector, reinterpret_cast<IMP>(replacement), reinterpret_cast<IMP*>(saved))
    {
    }
    ~ScopedHook();
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Class cls_;
    SEL selector_;
    Method own_;
    IMP original_;
};

} // namespace testing_support
