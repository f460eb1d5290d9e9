#include <UIKit/UICollectionViewFlowLayout.h>

Class UICollectionViewFlowLayout::classObject()
{
    static Class cls
        = objc::registerClass<UICollectionViewFlowLayout>("UICollectionViewFlowLayout", NSObject::classObject());
    return cls;
}

UICollectionViewFlowLayout::UICollectionViewFlowLayout()
{
    setIsa(classObject());
}
