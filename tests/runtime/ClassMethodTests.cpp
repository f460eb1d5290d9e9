// Class objects answering messages: class methods by inheritance, alloc, checked
// encodings, and hooks placed on the metaclass.
#include "Widgets.h"

#include <RuntimeGuards.h>

#include <Foundation/NSException.h>
#include <objc/message.h>

#include <gtest/gtest.h>

namespace {

std::string familyOf(Class cls)
{
    AutoreleasePool pool;
    NSString* text = objc_msgSend<NSString*>(cls, "family");
    return text ? text->UTF8String() : "(nil)";
}

NSString* (*savedFamily)(Class, SEL);
NSString* hookedFamily(Class self, SEL op)
{
    return autoreleased(NSString::stringWithFormat("hooked %@", savedFamily(self, op)));
}

} // namespace

TEST(ClassMethod, FoundThroughTheSuperclassesAndOnlyOnClasses)
{
    EXPECT_EQ(familyOf(Widget::classObject()), "widgets");
    EXPECT_EQ(familyOf(Panel::classObject()), "panels");
    EXPECT_EQ(familyOf(Label::classObject()), "widgets");
    EXPECT_EQ(objc_msgSend<NSInteger>(Label::classObject(), "countFor:", NSInteger { 4 }), 8);

    EXPECT_TRUE(class_isMetaClass(object_getClass(Widget::classObject())));
    EXPECT_EQ(class_getSuperclass(object_getClass(Label::classObject())), object_getClass(Widget::classObject()));
    EXPECT_FALSE(makeRef<Widget>()->respondsToSelector("family"));
    EXPECT_THROW(objc_msgSend(Widget::classObject(), "generation"), NSException);
}

TEST(ClassMethod, CallWithOtherTypesOrUnknownSelectorRaises)
{
    EXPECT_THROW(objc_msgSend<NSInteger>(Widget::classObject(), "countFor:", 4), NSException);
    try {
        objc_msgSend(Label::classObject(), "noSuchClassMessage");
        FAIL() << "expected an NSException";
    } catch (const NSException& exception) {
        EXPECT_EQ(exception.reason(), "+[RTLabel noSuchClassMessage]: unrecognized selector sent to class");
    }
}

TEST(ClassMethod, AllocBuildsAnInstanceOfTheReceivingClass)
{
    Ref<NSObject> panel = Ref<NSObject>::adopt(objc_msgSend<id>(Panel::classObject(), "alloc"));
    ASSERT_NE(dynamicCast<Panel>(panel.get()), nullptr);
    EXPECT_EQ(panel->retainCount(), 1);

    Class runtimeClass
        = objc_allocateClassPair(Label::classObject(), testing_support::uniqueClassName("RTAllocatedLabel").c_str(), 0);
    objc_registerClassPair(runtimeClass);
    Ref<NSObject> label = Ref<NSObject>::adopt(objc_msgSend<id>(runtimeClass, "alloc"));
    EXPECT_EQ(object_getClass(label.get()), runtimeClass);
    EXPECT_EQ(familyOf(runtimeClass), "widgets");
}

TEST(ClassMethod, HookOnTheMetaclassSwapsOwnAndOverridesInherited)
{
    {
        testing_support::ScopedHook hook(object_getClass(Label::classObject()), "family", &hookedFamily, &savedFamily);
        EXPECT_EQ(familyOf(Label::classObject()), "hooked widgets");
        EXPECT_EQ(familyOf(Widget::classObject()), "widgets");
        EXPECT_EQ(familyOf(Panel::classObject()), "panels");
    }
    {
        testing_support::ScopedHook hook(object_getClass(Panel::classObject()), "family", &hookedFamily, &savedFamily);
        EXPECT_EQ(familyOf(Panel::classObject()), "hooked panels");
        EXPECT_EQ(familyOf(Widget::classObject()), "widgets");
    }
    EXPECT_EQ(familyOf(Label::classObject()), "widgets");
    EXPECT_EQ(familyOf(Panel::classObject()), "panels");
}
