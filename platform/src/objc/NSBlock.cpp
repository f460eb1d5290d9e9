#include <objc/Block.h>
#include <objc/runtime.h>

Class NSBlock::classObject()
{
    // Blocks are made only from C++, with their function: the class has no factory.
    static Class cls = objc::registerClass(objc::ClassDefinition { "NSBlock", NSObject::classObject(), {} });
    return cls;
}

NSBlock::NSBlock()
{
    setIsa(classObject());
}
