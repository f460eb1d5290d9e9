#include "tweak/DGLCollectionFooterView.h"

#include <objc/accessors.h>

Class DGLCollectionFooterView::classObject()
{
    return objc::registeredClass<DGLCollectionFooterView>("DGLCollectionFooterView", [](Class c) {
        objc::addMethod(c, "dglEventTable", &objc::Getter<&DGLCollectionFooterView::dglEventTable>::imp);
        objc::addMethod(c, "setDglEventTable:", &objc::Setter<&DGLCollectionFooterView::setDglEventTable>::imp);
    });
}

NSString* DGLCollectionFooterView::reuseIdentifier()
{
    static NSString* identifier = NSString::string("DGLCollectionFooterView").leak();
    return identifier;
}
