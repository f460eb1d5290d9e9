#include <UIKit/UICollectionViewCell.h>

Class UICollectionViewCell::classObject()
{
    return objc::registeredClass<UICollectionViewCell>("UICollectionViewCell");
}

UICollectionViewCell::UICollectionViewCell(CGRect frame)
    : Subclass(frame)
    , contentView_(makeNonNullRef<UIView>(CGRectMake(0, 0, frame.size.width, frame.size.height)))
{
    contentView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(contentView_.get());
}
