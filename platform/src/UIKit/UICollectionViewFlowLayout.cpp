#include <UIKit/UICollectionViewFlowLayout.h>

Class UICollectionViewFlowLayout::classObject()
{
    return objc::registeredClass<UICollectionViewFlowLayout>("UICollectionViewFlowLayout");
}
