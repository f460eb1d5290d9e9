// NSIndexPath with UIKit's row and section: the address of a table row.
#pragma once

#include <objc/runtime.h>
#include <platform/Export.h>

class PLATFORM_EXPORT NSIndexPath : public objc::Subclass<NSIndexPath, NSObject> {
public:
    static Class classObject();

    // indexPathForRow:inSection:
    static Ref<NSIndexPath> indexPathForRow(NSInteger row, NSInteger section);

    NSInteger section() const { return section_; }
    NSInteger row() const { return row_; }
    NSInteger item() const { return row_; }

    // "<NSIndexPath: {section, row}>"
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override;

    NSIndexPath(NSInteger section, NSInteger row);

private:
    NSInteger section_;
    NSInteger row_;
};
