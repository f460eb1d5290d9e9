#include "Widgets.h"

#include <CoreGraphics/CGGeometry.h>

namespace {

Widget* asWidget(id self)
{
    return static_cast<Widget*>(self);
}

NSString* widgetName(id, SEL)
{
    return autoreleased("widget"_ns);
}
NSString* panelName(id, SEL)
{
    return autoreleased("panel"_ns);
}
NSString* widgetKind(id, SEL)
{
    return autoreleased("plain"_ns);
}
NSString* panelKind(id, SEL)
{
    return autoreleased("boxed"_ns);
}
void widgetWillAppear(id self, SEL, bool)
{
    asWidget(self)->calls.push_back("Widget.viewWillAppear:");
}
NSInteger widgetGeneration(id, SEL)
{
    return 1;
}
CGSize widgetSizeForSection(id, SEL, id, NSInteger section)
{
    return CGSizeMake(320, static_cast<CGFloat>(section * 10));
}

NSString* widgetFamily(Class, SEL)
{
    return autoreleased("widgets"_ns);
}
NSInteger widgetCountFor(Class, SEL, NSInteger columns)
{
    return columns * 2;
}
NSString* panelFamily(Class, SEL)
{
    return autoreleased("panels"_ns);
}

} // namespace

Class Widget::classObject()
{
    return objc::registeredClass<Widget>("RTWidget", [](Class c) {
        objc::addMethod(c, "name", &widgetName);
        objc::addMethod(c, "kind", &widgetKind);
        objc::addMethod(c, "viewWillAppear:", &widgetWillAppear);
        objc::addMethod(c, "generation", &widgetGeneration);
        objc::addMethod(c, "sizeFor:section:", &widgetSizeForSection);
        objc::addClassMethod(c, "family", &widgetFamily);
        objc::addClassMethod(c, "countFor:", &widgetCountFor);
        objc::addIvar(c, "_title", "@", 0,
            { [](id self) -> id { return asWidget(self)->title.get(); },
                [](id self, id value) { asWidget(self)->title = dynamicCast<NSString>(value); } });
    });
}

Class Panel::classObject()
{
    return objc::registeredClass<Panel>("RTPanel", [](Class c) {
        objc::addMethod(c, "name", &panelName);
        objc::addMethod(c, "kind", &panelKind);
        objc::addClassMethod(c, "family", &panelFamily);
    });
}

Class Label::classObject()
{
    return objc::registeredClass<Label>("RTLabel");
}
