// UICollectionViewCell: an item of a collection view; its content goes into
// its contentView, which always fills it.
#pragma once

#include <UIKit/UICollectionReusableView.h>

class UICollectionViewCell : public UICollectionReusableView {
public:
    static Class classObject();

    UICollectionViewCell();
    explicit UICollectionViewCell(CGRect frame);

    UIView* contentView() const { return contentView_.get(); }

private:
    NonNullRef<UIView> contentView_;
};
