// UICollectionViewCell: an item of a collection view; its content goes into
// its contentView, which always fills it.
#pragma once

#include <UIKit/UICollectionReusableView.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UICollectionViewCell : public objc::Subclass<UICollectionViewCell, UICollectionReusableView> {
public:
    static Class classObject();

    explicit UICollectionViewCell(CGRect frame = CGRectZero);

    UIView* contentView() const { return contentView_.get(); }

private:
    NonNullRef<UIView> contentView_;
};
