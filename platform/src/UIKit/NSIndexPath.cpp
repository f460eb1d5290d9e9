#include <UIKit/NSIndexPath.h>

#include <functional>

Class NSIndexPath::classObject()
{
    return objc::registeredClass<NSIndexPath>("NSIndexPath");
}

NSIndexPath::NSIndexPath(NSInteger section, NSInteger row)
    : section_(section)
    , row_(row)
{
}

Ref<NSIndexPath> NSIndexPath::indexPathForRow(NSInteger row, NSInteger section)
{
    return makeRef<NSIndexPath>(section, row);
}

std::string NSIndexPath::description() const
{
    return "<NSIndexPath: {" + std::to_string(section_) + ", " + std::to_string(row_) + "}>";
}

bool NSIndexPath::isEqual(const NSObject* other) const
{
    auto* path = dynamicCast<NSIndexPath>(const_cast<NSObject*>(other));
    return path && path->section_ == section_ && path->row_ == row_;
}

std::size_t NSIndexPath::hash() const
{
    return std::hash<NSInteger>()(section_ * 1000003 + row_);
}
