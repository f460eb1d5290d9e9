#include <UIKit/UICollectionReusableView.h>

Class UICollectionReusableView::classObject()
{
    static Class cls = objc::registerClass<UICollectionReusableView>("UICollectionReusableView", UIView::classObject());
    return cls;
}

UICollectionReusableView::UICollectionReusableView()
    : UICollectionReusableView(CGRectZero)
{
}

UICollectionReusableView::UICollectionReusableView(CGRect frame)
    : UIView(frame)
{
    setIsa(classObject());
}

void UICollectionReusableView::setReuseIdentifier(const NSString* identifier)
{
    reuseIdentifier_ = identifier ? identifier->copy() : nullptr;
}
