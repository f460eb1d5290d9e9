// The object runtime: classes by name, selectors, method tables with type
// encodings, instance variables by name and associated objects.
//
// C++ classes of the platform and the host register themselves here (see
// `objc::registerClass`) together with the methods that must be reachable by
// selector; the extension then finds, hooks and extends them by name, exactly as
// it would on the phone.
#pragma once

#include <objc/NSObject.h>
#include <objc/encoding.h>
#include <platform/Export.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef const struct objc_selector* SEL;
typedef void (*IMP)(void);
typedef struct objc_method* Method;
typedef struct objc_ivar* Ivar;

// Objective-C's BOOL: a byte, YES or NO.
typedef bool BOOL;
#ifndef YES
#define YES true
#define NO false
#endif

PLATFORM_EXPORT SEL sel_registerName(const char* name);
PLATFORM_EXPORT const char* sel_getName(SEL selector);

PLATFORM_EXPORT Class objc_getClass(const char* name);
PLATFORM_EXPORT Class object_getClass(const NSObject* object);
// A class's metaclass, whose methods are the class methods; null for a metaclass.
PLATFORM_EXPORT Class object_getClass(Class cls);
PLATFORM_EXPORT Class objc_getMetaClass(const char* name);
PLATFORM_EXPORT bool class_isMetaClass(Class cls);
PLATFORM_EXPORT Class object_setClass(id object, Class cls);
PLATFORM_EXPORT const char* class_getName(Class cls);
PLATFORM_EXPORT Class class_getSuperclass(Class cls);
PLATFORM_EXPORT bool class_isSubclassOf(Class cls, Class ancestor);

PLATFORM_EXPORT Method class_getInstanceMethod(Class cls, SEL selector);
// A class method: the metaclass's instance method, inherited along the superclasses.
PLATFORM_EXPORT Method class_getClassMethod(Class cls, SEL selector);
PLATFORM_EXPORT IMP method_getImplementation(Method method);
PLATFORM_EXPORT IMP method_setImplementation(Method method, IMP imp);
PLATFORM_EXPORT const char* method_getTypeEncoding(Method method);
PLATFORM_EXPORT SEL method_getName(Method method);
// The method the class defines itself, or null when it only inherits one.
PLATFORM_EXPORT Method class_getOwnMethod(Class cls, SEL selector);
PLATFORM_EXPORT IMP class_getMethodImplementation(Class cls, SEL selector);
PLATFORM_EXPORT bool class_respondsToSelector(Class cls, SEL selector);

// Adds a method to the class. Overrides an inherited implementation, but never
// replaces one that the class itself defines: then it answers NO and changes nothing.
PLATFORM_EXPORT BOOL class_addMethod(Class cls, SEL selector, IMP imp, const char* types);

// A runtime-made subclass. Allocating answers nil when the name is already
// registered; the class is found by name once registered. Its instances are built
// by the nearest ancestor that a C++ class registered, then carry the new class;
// nil when that ancestor is abstract. Extra bytes are not supported: such
// classes keep their state in associated objects.
PLATFORM_EXPORT Class objc_allocateClassPair(Class superclass, const char* name, std::size_t extraBytes);
PLATFORM_EXPORT void objc_registerClassPair(Class cls);
// Frees a class pair that was allocated and never registered (a refused
// registration, say). A registered class stays for the life of the process:
// disposing of one does nothing.
PLATFORM_EXPORT void objc_disposeClassPair(Class cls);
PLATFORM_EXPORT NSObject* class_createInstance(Class cls, std::size_t extraBytes);

// Instance variables are registered by name with accessors; `object_getIvar`
// reads one the way a read at `ivar_getOffset` would on the phone.
PLATFORM_EXPORT Ivar class_getInstanceVariable(Class cls, const char* name);
PLATFORM_EXPORT const char* ivar_getName(Ivar ivar);
PLATFORM_EXPORT const char* ivar_getTypeEncoding(Ivar ivar);
PLATFORM_EXPORT std::ptrdiff_t ivar_getOffset(Ivar ivar);
PLATFORM_EXPORT id object_getIvar(id object, Ivar ivar);
PLATFORM_EXPORT void object_setIvar(id object, Ivar ivar, id value);

enum objc_AssociationPolicy : std::uintptr_t {
    OBJC_ASSOCIATION_ASSIGN = 0,
    OBJC_ASSOCIATION_RETAIN_NONATOMIC = 1,
    OBJC_ASSOCIATION_COPY_NONATOMIC = 3,
    OBJC_ASSOCIATION_RETAIN = 01401,
    OBJC_ASSOCIATION_COPY = 01403,
};

// The copying policies retain as well: the platform's values are immutable.
PLATFORM_EXPORT void objc_setAssociatedObject(id object, const void* key, id value, objc_AssociationPolicy policy);
PLATFORM_EXPORT id objc_getAssociatedObject(id object, const void* key);
PLATFORM_EXPORT void objc_removeAssociatedObjects(id object);

namespace objc {

// Builds a fresh instance of a registered C++ class; null for abstract classes.
using InstanceFactory = std::function<NSObject*()>;

struct ClassDefinition {
    const char* name;
    Class superclass;
    InstanceFactory factory;
};

// Registers a class under its runtime name; `setUp` then adds its methods and
// instance variables. For a class that no objc::Subclass stands for (NSObject,
// a class of class methods only); a C++ class gets its runtime class from
// `registeredClass`.
PLATFORM_EXPORT Class registerClass(const ClassDefinition& definition, const std::function<void(Class)>& setUp = {});

// The runtime class of the C++ class T, derived from `objc::Subclass<T, Parent>`,
// as T's `classObject()` answers it: registered under `name` on the first call, as
// a subclass of Parent's class, with the methods and instance variables `setUp`
// adds. Its factory is `new T()` when anyone can build a T without arguments;
// otherwise instances are made only from C++.
template <typename T, typename SetUp = std::nullptr_t> Class registeredClass(const char* name, SetUp setUp = nullptr)
{
    static_assert(std::is_base_of_v<Subclass<T, typename T::Super>, T>,
        "a runtime class derives from objc::Subclass<itself, its C++ parent>");
    static const Class cls = [&] {
        InstanceFactory factory;
        if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
            factory = [] { return static_cast<NSObject*>(new T()); };
        return registerClass(ClassDefinition { name, T::Super::classObject(), std::move(factory) }, setUp);
    }();
    return cls;
}

// Adds a method whose type encoding is derived from the function's own type, so
// that what `objc_msgSend` checks can never drift from the implementation.
template <typename R, typename... Args> BOOL addMethod(Class cls, const char* selector, R (*imp)(id, SEL, Args...))
{
    const std::string types = methodEncoding<R, Args...>(hostWordSize);
    return class_addMethod(cls, sel_registerName(selector), reinterpret_cast<IMP>(imp), types.c_str());
}

// The same for a class method: the receiver is the class the message was sent to.
template <typename R, typename... Args>
BOOL addClassMethod(Class cls, const char* selector, R (*imp)(Class, SEL, Args...))
{
    const std::string types = methodEncoding<R, Args...>(hostWordSize);
    return class_addMethod(object_getClass(cls), sel_registerName(selector), reinterpret_cast<IMP>(imp), types.c_str());
}

// Registers an instance variable of a C++ class by name.
struct IvarAccessors {
    std::function<id(id)> get;
    std::function<void(id, id)> set;
};
PLATFORM_EXPORT void addIvar(
    Class cls, const char* name, const char* types, std::ptrdiff_t offset, IvarAccessors accessors);

// Takes back a method the class itself defines (an added method or a hook's
// override), so that the inherited one answers again. For tests that must leave
// the class table as they found it.
PLATFORM_EXPORT void removeOwnMethod(Class cls, SEL selector);

// The classes registered so far, in registration order.
PLATFORM_EXPORT std::vector<Class> registeredClasses();

} // namespace objc
