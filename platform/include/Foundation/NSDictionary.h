// NSDictionary and NSMutableDictionary: keys to strong references. Entries keep
// their insertion order, which makes descriptions and property-list files stable.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSString.h>
#include <platform/Export.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class PLATFORM_EXPORT NSDictionary : public objc::Subclass<NSDictionary, NSObject> {
public:
    static Class classObject();

    using Entry = std::pair<Ref<NSObject>, Ref<NSObject>>;

    NSDictionary() = default;
    explicit NSDictionary(std::vector<Entry> entries);

    static Ref<NSDictionary> dictionary(std::vector<Entry> entries = {});
    // The dictionary stored in a property-list file (binary or XML) at a device
    // path; nil for a missing, unreadable, empty, truncated or malformed file, or
    // one whose root is not a dictionary.
    static Ref<NSDictionary> dictionaryWithContentsOfFile(const std::string& path);

    NSUInteger count() const { return entries_.size(); }
    NSObject* objectForKey(const NSObject* key) const;
    NSObject* objectForKey(std::string_view key) const;
    Ref<NSArray> allKeys() const;
    const std::vector<Entry>& entries() const { return entries_; }
    virtual Ref<NSDictionary> copy() const;

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;

protected:
    std::vector<Entry>::const_iterator find(const NSObject* key) const;
    std::vector<Entry>::const_iterator find(std::string_view key) const;

    std::vector<Entry> entries_;
};

class PLATFORM_EXPORT NSMutableDictionary : public objc::Subclass<NSMutableDictionary, NSDictionary> {
public:
    static Class classObject();

    static Ref<NSMutableDictionary> dictionary();

    void setObjectForKey(NSObject* object, NSObject* key);
    void setObjectForKey(NSObject* object, std::string_view key);
    void removeObjectForKey(std::string_view key);
    Ref<NSDictionary> copy() const override;
};
