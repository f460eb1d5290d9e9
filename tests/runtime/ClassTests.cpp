// Runtime-made classes, classes by name and instance variables by name.
#include "Widgets.h"

#include <RuntimeGuards.h>

#include <Foundation/NSValue.h>
#include <objc/message.h>

#include <gtest/gtest.h>

TEST(ClassPair, RegisteredClassIsFoundByNameAndBuildsInstancesWithItsIsa)
{
    const std::string name = testing_support::uniqueClassName("RTRuntimeWidget");
    Class cls = objc_allocateClassPair(Widget::classObject(), name.c_str(), 0);
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(objc_getClass(name.c_str()), nullptr);
    objc_registerClassPair(cls);
    EXPECT_EQ(objc_getClass(name.c_str()), cls);
    EXPECT_EQ(class_getSuperclass(cls), Widget::classObject());

    Ref<NSObject> object = Ref<NSObject>::adopt(class_createInstance(cls, 0));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object_getClass(object.get()), cls);
    EXPECT_EQ(class_getName(object_getClass(object.get())), name);
    ASSERT_NE(dynamicCast<Widget>(object.get()), nullptr);
    EXPECT_FALSE(object->isKindOfClass(Panel::classObject()));
    AutoreleasePool pool;
    EXPECT_EQ(objc_msgSend<NSString*>(object.get(), "name")->UTF8String(), "widget");
}

TEST(ClassPair, SubclassOfARuntimeSubclassIsBuiltByTheNearestCppClass)
{
    Class middle
        = objc_allocateClassPair(Panel::classObject(), testing_support::uniqueClassName("RTMiddle").c_str(), 0);
    objc_registerClassPair(middle);
    Class leaf = objc_allocateClassPair(middle, testing_support::uniqueClassName("RTLeaf").c_str(), 0);
    objc_registerClassPair(leaf);

    Ref<NSObject> object = Ref<NSObject>::adopt(class_createInstance(leaf, 0));
    EXPECT_EQ(object_getClass(object.get()), leaf);
    EXPECT_TRUE(object->isKindOfClass(Panel::classObject()));
    AutoreleasePool pool;
    EXPECT_EQ(objc_msgSend<NSString*>(object.get(), "name")->UTF8String(), "panel");
}

TEST(ClassPair, NameAlreadyRegisteredIsRefused)
{
    EXPECT_EQ(objc_allocateClassPair(Widget::classObject(), "RTWidget", 0), nullptr);

    const std::string name = testing_support::uniqueClassName("RTTwice");
    Class first = objc_allocateClassPair(Widget::classObject(), name.c_str(), 0);
    Class second = objc_allocateClassPair(Widget::classObject(), name.c_str(), 0);
    objc_registerClassPair(first);
    objc_registerClassPair(second);
    EXPECT_EQ(objc_getClass(name.c_str()), first);
    EXPECT_EQ(objc_allocateClassPair(Widget::classObject(), name.c_str(), 0), nullptr);
    objc_disposeClassPair(second);
}

TEST(ClassPair, AbstractAncestorBuildsNothing)
{
    // NSNumber has no default instance; a plain NSObject must not stand in for one.
    Class cls = objc_allocateClassPair(
        NSNumber::classObject(), testing_support::uniqueClassName("RTRuntimeNumber").c_str(), 0);
    objc_registerClassPair(cls);
    EXPECT_EQ(class_createInstance(cls, 0), nullptr);
}

TEST(InstanceVariable, ReadByNameThroughTheClassChain)
{
    auto widget = makeRef<Widget>();
    widget->title = "Agenda"_ns;

    Class runtimeClass
        = objc_allocateClassPair(Widget::classObject(), testing_support::uniqueClassName("RTIvarWidget").c_str(), 0);
    objc_registerClassPair(runtimeClass);
    Ivar ivar = class_getInstanceVariable(runtimeClass, "_title");
    ASSERT_NE(ivar, nullptr);
    EXPECT_EQ(ivar, class_getInstanceVariable(Widget::classObject(), "_title"));
    EXPECT_STREQ(ivar_getName(ivar), "_title");
    EXPECT_STREQ(ivar_getTypeEncoding(ivar), "@");
    EXPECT_EQ(object_getIvar(widget.get(), ivar), widget->title.get());

    object_setIvar(widget.get(), ivar, "Inbox"_ns.get());
    EXPECT_EQ(widget->title->UTF8String(), "Inbox");

    EXPECT_EQ(class_getInstanceVariable(Widget::classObject(), "_missing"), nullptr);
    EXPECT_EQ(object_getIvar(nullptr, ivar), nullptr);
}
