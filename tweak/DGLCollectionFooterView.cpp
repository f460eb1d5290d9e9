#include "tweak/DGLCollectionFooterView.h"

Class DGLCollectionFooterView::classObject()
{
    return objc::registeredClass<DGLCollectionFooterView>("DGLCollectionFooterView");
}

NSString* DGLCollectionFooterView::reuseIdentifier()
{
    static NSString* identifier = NSString::string("DGLCollectionFooterView").leak();
    return identifier;
}
