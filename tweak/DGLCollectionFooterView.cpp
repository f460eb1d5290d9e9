#include "tweak/DGLCollectionFooterView.h"

Class DGLCollectionFooterView::classObject()
{
    static Class cls = objc::registerClass<DGLCollectionFooterView>(
        "DGLCollectionFooterView", UICollectionReusableView::classObject());
    return cls;
}

NSString* DGLCollectionFooterView::reuseIdentifier()
{
    static NSString* identifier = NSString::string("DGLCollectionFooterView").leak();
    return identifier;
}

DGLCollectionFooterView::DGLCollectionFooterView()
{
    setIsa(classObject());
}
