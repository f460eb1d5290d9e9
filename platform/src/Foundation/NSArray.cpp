#include <Foundation/NSArray.h>
#include <Foundation/NSException.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSString.h>

#include <algorithm>

namespace {

// Descriptions indent nested collections the way Foundation prints them.
std::string indentNested(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\n')
            out += "    ";
    }
    return out;
}

} // namespace

Class NSArray::classObject()
{
    return objc::registeredClass<NSArray>("NSArray");
}

NSArray::NSArray(std::vector<Ref<NSObject>> objects)
    : objects_(std::move(objects))
{
}

Ref<NSArray> NSArray::array(std::vector<Ref<NSObject>> objects)
{
    return makeRef<NSArray>(std::move(objects));
}

Ref<NSArray> NSArray::arrayWithContentsOfFile(const std::string& path)
{
    return dynamicCast<NSArray>(NSPropertyListSerialization::propertyListWithContentsOfFile(path));
}

NSObject* NSArray::objectAtIndex(NSUInteger index) const
{
    if (index >= objects_.size())
        throw NSException(NSRangeException,
            "-[NSArray objectAtIndex:]: index " + std::to_string(index) + " beyond bounds [0 .. "
                + std::to_string(objects_.size()) + "]");
    return objects_[index].get();
}

bool NSArray::containsObject(const NSObject* object) const
{
    return std::any_of(objects_.begin(), objects_.end(),
        [object](const Ref<NSObject>& o) { return o.get() == object || (o && o->isEqual(object)); });
}

Ref<NSArray> NSArray::sortedArrayUsingComparator(const Comparator& comparator) const
{
    std::vector<Ref<NSObject>> sorted = objects_;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Ref<NSObject>& a, const Ref<NSObject>& b) {
        return comparator(a.get(), b.get()) == NSOrderedAscending;
    });
    return array(std::move(sorted));
}

Ref<NSArray> NSArray::copy() const
{
    return Ref<NSArray>(const_cast<NSArray*>(this));
}

std::string NSArray::description() const
{
    if (objects_.empty())
        return "(\n)";
    std::string text = "(\n";
    for (size_t i = 0; i < objects_.size(); ++i) {
        text += "    " + indentNested(objects_[i] ? objects_[i]->description() : "(null)");
        text += i + 1 < objects_.size() ? ",\n" : "\n";
    }
    return text + ")";
}

bool NSArray::isEqual(const NSObject* other) const
{
    auto* array = dynamicCast<NSArray>(const_cast<NSObject*>(other));
    if (!array || array->count() != count())
        return false;
    for (size_t i = 0; i < objects_.size(); ++i)
        if (!objects_[i]->isEqual(array->objects_[i].get()))
            return false;
    return true;
}

Class NSMutableArray::classObject()
{
    return objc::registeredClass<NSMutableArray>("NSMutableArray");
}

NSMutableArray::NSMutableArray(std::vector<Ref<NSObject>> objects)
    : Subclass(std::move(objects))
{
}

Ref<NSMutableArray> NSMutableArray::array(std::vector<Ref<NSObject>> objects)
{
    return makeRef<NSMutableArray>(std::move(objects));
}

void NSMutableArray::addObject(NSObject* object)
{
    if (!object)
        throw NSException(NSInvalidArgumentException, "-[NSMutableArray addObject:]: object cannot be nil");
    objects_.emplace_back(object);
}

void NSMutableArray::insertObjectAtIndex(NSObject* object, NSUInteger index)
{
    if (!object)
        throw NSException(NSInvalidArgumentException, "-[NSMutableArray insertObject:atIndex:]: object cannot be nil");
    if (index > objects_.size())
        throw NSException(NSRangeException,
            "-[NSMutableArray insertObject:atIndex:]: index " + std::to_string(index) + " beyond bounds");
    objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(index), Ref<NSObject>(object));
}

void NSMutableArray::removeObjectAtIndex(NSUInteger index)
{
    objectAtIndex(index);
    objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(index));
}

void NSMutableArray::removeObject(const NSObject* object)
{
    std::erase_if(objects_, [object](const Ref<NSObject>& o) { return o.get() == object || o->isEqual(object); });
}

void NSMutableArray::removeAllObjects()
{
    objects_.clear();
}

Ref<NSArray> NSMutableArray::copy() const
{
    return NSArray::array(objects_);
}
