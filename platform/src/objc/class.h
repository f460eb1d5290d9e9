// The runtime's own records of classes, methods and instance variables.
#pragma once

#include <objc/runtime.h>

#include <atomic>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct objc_method {
    SEL selector = nullptr;
    std::atomic<IMP> imp { nullptr };
    std::string types;
};

struct objc_ivar {
    std::string name;
    std::string types;
    std::ptrdiff_t offset = 0;
    objc::IvarAccessors accessors;
};

// Every class has a metaclass of the same name whose method table holds the class
// methods; metaclasses inherit along the classes' own superclass chain.
struct objc_class {
    std::string name;
    Class superclass = nullptr;
    Class metaclass = nullptr;
    bool isMeta = false;
    std::unordered_map<SEL, std::unique_ptr<objc_method>> methods;
    std::vector<std::unique_ptr<objc_ivar>> ivars;
    // Set for classes a C++ class registered; unset for those made at run time.
    bool definedInCpp = false;
    objc::InstanceFactory factory;
    std::size_t extraBytes = 0;
    bool registered = false;
};
