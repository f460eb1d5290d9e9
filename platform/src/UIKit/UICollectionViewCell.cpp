#include <UIKit/UICollectionViewCell.h>

Class UICollectionViewCell::classObject()
{
    static Class cls
        = objc::registerClass<UICollectionViewCell>("UICollectionViewCell", UICollectionReusableView::classObject());
    return cls;
}

UICollectionViewCell::UICollectionViewCell()
    : UICollectionViewCell(CGRectZero)
{
}

UICollectionViewCell::UICollectionViewCell(CGRect frame)
    : UICollectionReusableView(frame)
    , contentView_(makeNonNullRef<UIView>(CGRectMake(0, 0, frame.size.width, frame.size.height)))
{
    setIsa(classObject());
    contentView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(contentView_.get());
}
