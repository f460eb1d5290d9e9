#include "tweak/DGLCollectionFooterView.h"

#include <objc/accessors.h>

Class DGLCollectionFooterView::classObject()
{
    static Class cls = objc::registerClass<DGLCollectionFooterView>(
        "DGLCollectionFooterView", UICollectionReusableView::classObject(), [](Class c) {
            objc::addMethod(c, "dglEventTable", &objc::Getter<&DGLCollectionFooterView::dglEventTable>::imp);
            objc::addMethod(c, "setDglEventTable:", &objc::Setter<&DGLCollectionFooterView::setDglEventTable>::imp);
        });
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
