// The class table, selectors, method tables and instance variables.
//
// The table is process-wide and shared by the host and every loaded library,
// which is why the platform is a shared library. Classes are registered at start-up
// and by the extension's initialiser; a mutex keeps registration safe should a
// background queue look a class up at the same time.
#include "objc/class.h"

#include <objc/message.h>
#include <platform/Log.h>
#include <substrate.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace {

// Hashes a selector's name as whatever string type the lookup has in hand.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view> {}(name); }
};

std::recursive_mutex& tableLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// The runtime's tables live as long as the process and are never destroyed, so
// that their classes and selectors stay reachable to the very end, as on a phone.
std::map<std::string, Class, std::less<>>& classTable()
{
    static auto& table = *new std::map<std::string, Class, std::less<>>;
    return table;
}

std::vector<Class>& registrationOrder()
{
    static auto& order = *new std::vector<Class>;
    return order;
}

Class newClass(const char* name, Class superclass)
{
    auto* cls = new objc_class;
    cls->name = name;
    cls->superclass = superclass;
    cls->metaclass = new objc_class;
    cls->metaclass->name = name;
    cls->metaclass->isMeta = true;
    cls->metaclass->superclass = superclass ? superclass->metaclass : nullptr;
    return cls;
}

// Adds the class under its name; a name already taken is refused.
bool insertIntoTable(Class cls)
{
    std::lock_guard guard(tableLock());
    if (!classTable().emplace(cls->name, cls).second)
        return false;
    registrationOrder().push_back(cls);
    cls->registered = true;
    return true;
}

} // namespace

// Selectors are interned names: equal names give the same pointer.
struct objc_selector {
    std::string name;
};

// Every message sent by name looks its selector up here, so the table is hashed.
SEL sel_registerName(const char* name)
{
    static std::mutex lock;
    static auto& selectors = *new std::unordered_map<std::string, objc_selector*, NameHash, std::equal_to<>>;
    std::lock_guard guard(lock);
    auto it = selectors.find(name);
    if (it == selectors.end())
        it = selectors.emplace(name, new objc_selector { name }).first;
    return it->second;
}

const char* sel_getName(SEL selector)
{
    return selector ? selector->name.c_str() : "<null selector>";
}

Class objc_getClass(const char* name)
{
    std::lock_guard guard(tableLock());
    auto it = classTable().find(name);
    return it == classTable().end() ? nullptr : it->second;
}

Class object_getClass(const NSObject* object)
{
    return object ? object->isa() : nullptr;
}

Class object_getClass(Class cls)
{
    return cls ? cls->metaclass : nullptr;
}

Class objc_getMetaClass(const char* name)
{
    return object_getClass(objc_getClass(name));
}

bool class_isMetaClass(Class cls)
{
    return cls && cls->isMeta;
}

Class object_setClass(id object, Class cls)
{
    if (!object)
        return nullptr;
    Class previous = object->isa();
    object->setIsa(cls);
    return previous;
}

const char* class_getName(Class cls)
{
    return cls ? cls->name.c_str() : "nil";
}

Class class_getSuperclass(Class cls)
{
    return cls ? cls->superclass : nullptr;
}

bool class_isSubclassOf(Class cls, Class ancestor)
{
    for (Class c = cls; c; c = c->superclass)
        if (c == ancestor)
            return true;
    return false;
}

Method class_getOwnMethod(Class cls, SEL selector)
{
    if (!cls || !selector)
        return nullptr;
    std::lock_guard guard(tableLock());
    auto it = cls->methods.find(selector);
    return it == cls->methods.end() ? nullptr : it->second.get();
}

Method class_getInstanceMethod(Class cls, SEL selector)
{
    for (Class c = cls; c; c = c->superclass)
        if (Method method = class_getOwnMethod(c, selector))
            return method;
    return nullptr;
}

Method class_getClassMethod(Class cls, SEL selector)
{
    return class_getInstanceMethod(object_getClass(cls), selector);
}

IMP method_getImplementation(Method method)
{
    return method ? method->imp.load() : nullptr;
}

IMP method_setImplementation(Method method, IMP imp)
{
    return method ? method->imp.exchange(imp) : nullptr;
}

const char* method_getTypeEncoding(Method method)
{
    return method ? method->types.c_str() : nullptr;
}

SEL method_getName(Method method)
{
    return method ? method->selector : nullptr;
}

IMP class_getMethodImplementation(Class cls, SEL selector)
{
    return method_getImplementation(class_getInstanceMethod(cls, selector));
}

bool class_respondsToSelector(Class cls, SEL selector)
{
    return class_getInstanceMethod(cls, selector) != nullptr;
}

BOOL class_addMethod(Class cls, SEL selector, IMP imp, const char* types)
{
    if (!cls || !selector || !imp || !types)
        return NO;
    std::lock_guard guard(tableLock());
    if (cls->methods.count(selector))
        return NO;
    auto method = std::make_unique<objc_method>();
    method->selector = selector;
    method->imp = imp;
    method->types = types;
    cls->methods.emplace(selector, std::move(method));
    return YES;
}

Class objc_allocateClassPair(Class superclass, const char* name, std::size_t extraBytes)
{
    if (!name || objc_getClass(name))
        return nullptr;
    Class cls = newClass(name, superclass);
    cls->extraBytes = extraBytes;
    return cls;
}

void objc_registerClassPair(Class cls)
{
    if (cls && !cls->registered)
        insertIntoTable(cls);
}

void objc_disposeClassPair(Class cls)
{
    if (!cls || cls->registered || cls->isMeta)
        return;
    delete cls->metaclass;
    delete cls;
}

NSObject* class_createInstance(Class cls, std::size_t /*extraBytes*/)
{
    // The nearest C++ class builds the object; an abstract one cannot, and a
    // further ancestor must not, or the object would lack the members its class promises.
    Class builder = cls;
    while (builder && !builder->definedInCpp)
        builder = builder->superclass;
    if (!builder || !builder->factory)
        return nullptr;
    NSObject* object = builder->factory();
    object->setIsa(cls);
    return object;
}

Ivar class_getInstanceVariable(Class cls, const char* name)
{
    if (!name)
        return nullptr;
    std::lock_guard guard(tableLock());
    for (Class c = cls; c; c = c->superclass)
        for (auto& ivar : c->ivars)
            if (ivar->name == name)
                return ivar.get();
    return nullptr;
}

const char* ivar_getName(Ivar ivar)
{
    return ivar ? ivar->name.c_str() : nullptr;
}

const char* ivar_getTypeEncoding(Ivar ivar)
{
    return ivar ? ivar->types.c_str() : nullptr;
}

std::ptrdiff_t ivar_getOffset(Ivar ivar)
{
    return ivar ? ivar->offset : 0;
}

id object_getIvar(id object, Ivar ivar)
{
    if (!object || !ivar || !ivar->accessors.get)
        return nullptr;
    return ivar->accessors.get(object);
}

void object_setIvar(id object, Ivar ivar, id value)
{
    if (object && ivar && ivar->accessors.set)
        ivar->accessors.set(object, value);
}

namespace objc {

Class registerClass(const ClassDefinition& definition, const std::function<void(Class)>& setUp)
{
    Class cls = newClass(definition.name, definition.superclass);
    cls->factory = definition.factory;
    cls->definedInCpp = true;
    // Two C++ classes under one runtime name would make lookups by name ambiguous.
    if (!insertIntoTable(cls)) {
        std::fprintf(stderr, "objc: class %s is registered twice\n", definition.name);
        std::abort();
    }
    if (setUp)
        setUp(cls);
    return cls;
}

void addIvar(Class cls, const char* name, const char* types, std::ptrdiff_t offset, IvarAccessors accessors)
{
    std::lock_guard guard(tableLock());
    auto ivar = std::make_unique<objc_ivar>();
    ivar->name = name;
    ivar->types = types;
    ivar->offset = offset;
    ivar->accessors = std::move(accessors);
    cls->ivars.push_back(std::move(ivar));
}

void removeOwnMethod(Class cls, SEL selector)
{
    std::lock_guard guard(tableLock());
    if (cls)
        cls->methods.erase(selector);
}

std::vector<Class> registeredClasses()
{
    std::lock_guard guard(tableLock());
    return registrationOrder();
}

} // namespace objc

void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* result)
{
    if (result)
        *result = nullptr;
    if (!cls || !selector || !replacement)
        return;
    if (Method own = class_getOwnMethod(cls, selector)) {
        IMP previous = method_setImplementation(own, replacement);
        if (result)
            *result = previous;
        return;
    }
    Method inherited = class_getInstanceMethod(cls->superclass, selector);
    if (!inherited)
        return;
    // The saved implementation is in place before the override can be called.
    if (result)
        *result = method_getImplementation(inherited);
    if (!class_addMethod(cls, selector, replacement, method_getTypeEncoding(inherited)) && result)
        *result = nullptr;
}

void substrate::hookMessageOfTypes(Class cls, SEL selector, IMP replacement, IMP* result, const char* types)
{
    Method method = class_getInstanceMethod(cls, selector);
    if (method && std::strcmp(types, method_getTypeEncoding(method)) != 0) {
        platform::writeLogLine(std::string("MS:Error: not hooking -[") + class_getName(cls) + " " + sel_getName(selector)
            + "]: the replacement's types are " + types + ", the method's " + method_getTypeEncoding(method));
        return;
    }
    MSHookMessageEx(cls, selector, replacement, result);
}
