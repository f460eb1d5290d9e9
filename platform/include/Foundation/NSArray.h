// NSArray and NSMutableArray: ordered lists of strong references.
#pragma once

#include <objc/NSObjCRuntime.h>
#include <objc/runtime.h>
#include <platform/Export.h>

#include <functional>
#include <string>
#include <vector>

class PLATFORM_EXPORT NSArray : public objc::Subclass<NSArray, NSObject> {
public:
    static Class classObject();

    NSArray() = default;
    explicit NSArray(std::vector<Ref<NSObject>> objects);

    static Ref<NSArray> array(std::vector<Ref<NSObject>> objects = {});
    // The array stored in a property-list file (binary or XML) at a device path;
    // nil for a missing, unreadable, empty, truncated or malformed file, or one
    // whose root is not an array.
    static Ref<NSArray> arrayWithContentsOfFile(const std::string& path);

    NSUInteger count() const { return objects_.size(); }
    // Raises NSRangeException past the end, as Foundation does.
    NSObject* objectAtIndex(NSUInteger index) const;
    NSObject* firstObject() const { return objects_.empty() ? nullptr : objects_.front().get(); }
    NSObject* lastObject() const { return objects_.empty() ? nullptr : objects_.back().get(); }
    bool containsObject(const NSObject* object) const;
    const std::vector<Ref<NSObject>>& objects() const { return objects_; }
    auto begin() const { return objects_.begin(); }
    auto end() const { return objects_.end(); }

    using Comparator = std::function<NSComparisonResult(NSObject*, NSObject*)>;
    Ref<NSArray> sortedArrayUsingComparator(const Comparator& comparator) const;
    // An immutable array copies as itself; a mutable one as a new immutable array.
    virtual Ref<NSArray> copy() const;

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;

protected:
    std::vector<Ref<NSObject>> objects_;
};

class PLATFORM_EXPORT NSMutableArray : public objc::Subclass<NSMutableArray, NSArray> {
public:
    static Class classObject();

    NSMutableArray() = default;
    explicit NSMutableArray(std::vector<Ref<NSObject>> objects);
    static Ref<NSMutableArray> array(std::vector<Ref<NSObject>> objects = {});

    void addObject(NSObject* object);
    void insertObjectAtIndex(NSObject* object, NSUInteger index);
    void removeObjectAtIndex(NSUInteger index);
    void removeObject(const NSObject* object);
    void removeAllObjects();
    Ref<NSArray> copy() const override;
};
