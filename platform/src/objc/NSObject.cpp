// The root object: reference counting, autorelease pools and associated objects.
#include <objc/WeakRef.h>
#include <objc/message.h>
#include <objc/runtime.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>
#include <unordered_map>
#include <vector>

namespace {

// Each thread's pools share one stack of objects. A pool remembers the stack depth
// at its push; its token is its position among the open pools, so popping an outer
// pool also pops every pool still open inside it, as the phone's runtime does.
struct PoolStack {
    std::vector<NSObject*> objects;
    std::vector<std::size_t> poolDepths;
};

PoolStack& poolStack()
{
    thread_local PoolStack stack;
    return stack;
}

struct AssociationTable {
    std::mutex lock;
    std::map<const NSObject*, std::map<const void*, std::pair<NSObject*, objc_AssociationPolicy>>> entries;
};

AssociationTable& associations()
{
    static auto* table = new AssociationTable;
    return *table;
}

// Every weak location, by the object it refers to. Loading a weak reference and
// deallocating its target both hold the lock, so a load sees either a live
// object it can retain or nil.
struct WeakTable {
    std::mutex lock;
    std::unordered_map<const NSObject*, std::vector<id*>> locations;

    void forget(id* location)
    {
        auto entry = locations.find(*location);
        if (entry == locations.end())
            return;
        std::erase(entry->second, location);
        if (entry->second.empty())
            locations.erase(entry);
    }
};

WeakTable& weakTable()
{
    static auto* table = new WeakTable;
    return *table;
}

bool retainsValue(objc_AssociationPolicy policy)
{
    return policy != OBJC_ASSOCIATION_ASSIGN;
}

} // namespace

Class NSObject::classObject()
{
    // `alloc` answers a new instance that the caller owns, as `+alloc` does.
    static Class cls = objc::registerClass(
        objc::ClassDefinition { "NSObject", nullptr, [] { return new NSObject(); } }, [](Class c) {
            objc::addClassMethod(
                c, "alloc", +[](Class self, SEL) -> id { return class_createInstance(self, 0); });
        });
    return cls;
}

NSObject::NSObject()
    : isa_(classObject())
{
}

NSObject::~NSObject()
{
    if (weaklyReferenced_.load()) {
        WeakTable& table = weakTable();
        std::lock_guard guard(table.lock);
        if (auto entry = table.locations.find(this); entry != table.locations.end()) {
            for (id* location : entry->second)
                *location = nullptr;
            table.locations.erase(entry);
        }
    }
    if (hasAssociatedObjects_.load())
        objc_removeAssociatedObjects(this);
}

bool NSObject::tryRetain() const
{
    int count = retainCount_.load(std::memory_order_relaxed);
    while (count > 0)
        if (retainCount_.compare_exchange_weak(count, count + 1, std::memory_order_relaxed))
            return true;
    return false;
}

void NSObject::retain() const
{
    retainCount_.fetch_add(1, std::memory_order_relaxed);
}

void NSObject::release() const
{
    if (retainCount_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

int NSObject::retainCount() const
{
    return retainCount_.load(std::memory_order_relaxed);
}

NSObject* NSObject::autorelease()
{
    PoolStack& stack = poolStack();
    if (stack.poolDepths.empty()) {
        std::fprintf(stderr, "objc: %s object %p autoreleased with no pool in place - just leaking\n",
            class_getName(isa_), static_cast<void*>(this));
        return this;
    }
    stack.objects.push_back(this);
    return this;
}

std::string NSObject::description() const
{
    std::ostringstream text;
    text << "<" << class_getName(isa_) << ": " << static_cast<const void*>(this) << ">";
    return text.str();
}

bool NSObject::isEqual(const NSObject* other) const
{
    return this == other;
}

std::size_t NSObject::hash() const
{
    return reinterpret_cast<std::size_t>(this);
}

bool NSObject::isKindOfClass(Class cls) const
{
    return class_isSubclassOf(isa_, cls);
}

bool NSObject::respondsToSelector(const char* selector) const
{
    return class_respondsToSelector(isa_, sel_registerName(selector));
}

void* objc_autoreleasePoolPush()
{
    PoolStack& stack = poolStack();
    stack.poolDepths.push_back(stack.objects.size());
    return reinterpret_cast<void*>(stack.poolDepths.size());
}

void objc_autoreleasePoolPop(void* pool)
{
    PoolStack& stack = poolStack();
    const auto position = reinterpret_cast<std::size_t>(pool);
    if (position == 0 || position > stack.poolDepths.size())
        return;
    const std::size_t depth = stack.poolDepths[position - 1];
    // A release may autorelease more objects into this same pool; drain until stable.
    while (stack.objects.size() > depth) {
        NSObject* object = stack.objects.back();
        stack.objects.pop_back();
        object->release();
    }
    stack.poolDepths.resize(position - 1);
}

void objc_setAssociatedObject(id object, const void* key, id value, objc_AssociationPolicy policy)
{
    if (!object)
        return;
    std::pair<NSObject*, objc_AssociationPolicy> previous { nullptr, OBJC_ASSOCIATION_ASSIGN };
    {
        AssociationTable& table = associations();
        std::lock_guard guard(table.lock);
        auto& slots = table.entries[object];
        auto it = slots.find(key);
        if (it != slots.end()) {
            previous = it->second;
            slots.erase(it);
        }
        if (value) {
            if (retainsValue(policy))
                value->retain();
            slots[key] = { value, policy };
            object->hasAssociatedObjects_.store(true);
        }
        if (slots.empty())
            table.entries.erase(object);
    }
    // Released outside the lock: the old value's destructor may touch associations.
    if (previous.first && retainsValue(previous.second))
        previous.first->release();
}

id objc_getAssociatedObject(id object, const void* key)
{
    if (!object)
        return nullptr;
    AssociationTable& table = associations();
    std::lock_guard guard(table.lock);
    auto entry = table.entries.find(object);
    if (entry == table.entries.end())
        return nullptr;
    auto it = entry->second.find(key);
    return it == entry->second.end() ? nullptr : it->second.first;
}

void objc_removeAssociatedObjects(id object)
{
    std::map<const void*, std::pair<NSObject*, objc_AssociationPolicy>> removed;
    {
        AssociationTable& table = associations();
        std::lock_guard guard(table.lock);
        auto entry = table.entries.find(object);
        if (entry == table.entries.end())
            return;
        removed = std::move(entry->second);
        table.entries.erase(entry);
    }
    for (auto& [key, slot] : removed)
        if (retainsValue(slot.second))
            slot.first->release();
}

id objc_storeWeak(id* location, id object)
{
    WeakTable& table = weakTable();
    std::lock_guard guard(table.lock);
    table.forget(location);
    // An object already being deallocated is stored as nil, as the phone's runtime does.
    *location = object && object->retainCount() > 0 ? object : nullptr;
    if (*location) {
        object->weaklyReferenced_.store(true);
        table.locations[object].push_back(location);
    }
    return *location;
}

id objc_loadWeakRetained(id* location)
{
    WeakTable& table = weakTable();
    std::lock_guard guard(table.lock);
    id object = *location;
    return object && object->tryRetain() ? object : nullptr;
}

id objc_loadWeak(id* location)
{
    id object = objc_loadWeakRetained(location);
    return object ? object->autorelease() : nullptr;
}
