#include <Foundation/NSDictionary.h>
#include <Foundation/NSException.h>
#include <Foundation/NSPropertyList.h>

#include <algorithm>

Class NSDictionary::classObject()
{
    return objc::registeredClass<NSDictionary>("NSDictionary");
}

NSDictionary::NSDictionary(std::vector<Entry> entries)
    : entries_(std::move(entries))
{
}

Ref<NSDictionary> NSDictionary::dictionary(std::vector<Entry> entries)
{
    return makeRef<NSDictionary>(std::move(entries));
}

Ref<NSDictionary> NSDictionary::dictionaryWithContentsOfFile(const std::string& path)
{
    return dynamicCast<NSDictionary>(NSPropertyListSerialization::propertyListWithContentsOfFile(path));
}

std::vector<NSDictionary::Entry>::const_iterator NSDictionary::find(const NSObject* key) const
{
    return std::find_if(entries_.begin(), entries_.end(),
        [key](const Entry& e) { return e.first.get() == key || e.first->isEqual(key); });
}

std::vector<NSDictionary::Entry>::const_iterator NSDictionary::find(std::string_view key) const
{
    return std::find_if(entries_.begin(), entries_.end(), [key](const Entry& e) {
        auto* string = dynamicCast<NSString>(e.first.get());
        return string && string->UTF8String() == key;
    });
}

NSObject* NSDictionary::objectForKey(const NSObject* key) const
{
    auto it = find(key);
    return it == entries_.end() ? nullptr : it->second.get();
}

NSObject* NSDictionary::objectForKey(std::string_view key) const
{
    auto it = find(key);
    return it == entries_.end() ? nullptr : it->second.get();
}

Ref<NSArray> NSDictionary::allKeys() const
{
    std::vector<Ref<NSObject>> keys;
    keys.reserve(entries_.size());
    for (auto& entry : entries_)
        keys.push_back(entry.first);
    return NSArray::array(std::move(keys));
}

Ref<NSDictionary> NSDictionary::copy() const
{
    return Ref<NSDictionary>(const_cast<NSDictionary*>(this));
}

std::string NSDictionary::description() const
{
    std::string text = "{\n";
    for (auto& [key, value] : entries_) {
        std::string valueText = value->description();
        std::string indented;
        for (char c : valueText) {
            indented += c;
            if (c == '\n')
                indented += "    ";
        }
        text += "    " + key->description() + " = " + indented + ";\n";
    }
    return text + "}";
}

bool NSDictionary::isEqual(const NSObject* other) const
{
    auto* dictionary = dynamicCast<NSDictionary>(const_cast<NSObject*>(other));
    if (!dictionary || dictionary->count() != count())
        return false;
    return std::all_of(entries_.begin(), entries_.end(), [dictionary](const Entry& e) {
        NSObject* theirs = dictionary->objectForKey(e.first.get());
        return theirs && e.second->isEqual(theirs);
    });
}

Class NSMutableDictionary::classObject()
{
    return objc::registeredClass<NSMutableDictionary>("NSMutableDictionary");
}

Ref<NSMutableDictionary> NSMutableDictionary::dictionary()
{
    return makeRef<NSMutableDictionary>();
}

void NSMutableDictionary::setObjectForKey(NSObject* object, NSObject* key)
{
    if (!object || !key)
        throw NSException(NSInvalidArgumentException, "-[NSMutableDictionary setObject:forKey:]: object or key is nil");
    auto it = find(key);
    if (it != entries_.end())
        entries_[static_cast<size_t>(it - entries_.begin())].second = object;
    else
        entries_.emplace_back(key, object);
}

void NSMutableDictionary::setObjectForKey(NSObject* object, std::string_view key)
{
    setObjectForKey(object, NSString::string(key).get());
}

void NSMutableDictionary::removeObjectForKey(std::string_view key)
{
    auto it = find(key);
    if (it != entries_.end())
        entries_.erase(it);
}

Ref<NSDictionary> NSMutableDictionary::copy() const
{
    return NSDictionary::dictionary(entries_);
}
