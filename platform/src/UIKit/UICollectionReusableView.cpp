#include <UIKit/UICollectionReusableView.h>

Class UICollectionReusableView::classObject()
{
    return objc::registeredClass<UICollectionReusableView>("UICollectionReusableView");
}

UICollectionReusableView::UICollectionReusableView(CGRect frame)
    : Subclass(frame)
{
}

void UICollectionReusableView::setReuseIdentifier(const NSString* identifier)
{
    reuseIdentifier_ = identifier ? identifier->copy() : nullptr;
}
