#include <objc/Block.h>
#include <objc/runtime.h>

Class NSBlock::classObject()
{
    // Blocks are made only from C++, with their function: the class has no factory.
    return objc::registeredClass<NSBlock>("NSBlock");
}
