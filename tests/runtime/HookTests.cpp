// Substrate's message hook and the runtime's method adds, on own and inherited methods.
#include "Widgets.h"

#include <RuntimeGuards.h>

#include <objc/message.h>
#include <platform/Log.h>
#include <substrate.h>

#include <gtest/gtest.h>

namespace {

std::string textFrom(NSObject* object, const char* selector)
{
    AutoreleasePool pool;
    NSString* text = objc_msgSend<NSString*>(object, selector);
    return text ? text->UTF8String() : "(nil)";
}

std::string nameOf(NSObject* object)
{
    return textFrom(object, "name");
}

NSInteger (*savedGeneration)(id, SEL);
NSInteger hookedGeneration(id self, SEL op)
{
    return savedGeneration(self, op) + 100;
}

NSString* (*savedPanelKind)(id, SEL);
NSString* hookedPanelKind(id self, SEL op)
{
    return autoreleased(NSString::stringWithFormat("hooked %@", savedPanelKind(self, op)));
}

void (*savedWillAppear)(id, SEL, bool);
void hookedWillAppear(id self, SEL op, bool animated)
{
    dynamicCast<Widget>(self)->calls.push_back("hook");
    savedWillAppear(self, op, animated);
}

NSString* addedName(id, SEL)
{
    return autoreleased("added"_ns);
}
NSInteger addedAnswer(id, SEL)
{
    return 42;
}

BOOL (*savedMistypedGeneration)(id, SEL, NSInteger);
BOOL mistypedGeneration(id, SEL, NSInteger)
{
    return NO;
}

using testing_support::ScopedHook;

} // namespace

TEST(MessageHook, OwnMethodIsSwappedAndOldImplementationReturned)
{
    const IMP before = class_getMethodImplementation(Widget::classObject(), sel_registerName("generation"));
    ScopedHook hook(Widget::classObject(), "generation", &hookedGeneration, &savedGeneration);

    EXPECT_EQ(reinterpret_cast<IMP>(savedGeneration), before);
    // The class's own entry now holds the replacement; subclasses inherit it.
    EXPECT_EQ(objc_msgSend<NSInteger>(makeRef<Widget>().get(), "generation"), 101);
    EXPECT_EQ(objc_msgSend<NSInteger>(makeRef<Label>().get(), "generation"), 101);
    EXPECT_EQ(class_getOwnMethod(Label::classObject(), sel_registerName("generation")), nullptr);
}

TEST(MessageHook, OwnMethodOfSubclassLeavesSuperclassAlone)
{
    ScopedHook hook(Panel::classObject(), "kind", &hookedPanelKind, &savedPanelKind);

    EXPECT_EQ(textFrom(makeRef<Panel>().get(), "kind"), "hooked boxed");
    EXPECT_EQ(textFrom(makeRef<Widget>().get(), "kind"), "plain");
    EXPECT_EQ(textFrom(makeRef<Label>().get(), "kind"), "plain");
}

TEST(MessageHook, InheritedMethodGetsAnOverrideOnThatClassOnly)
{
    // A runtime subclass, as the extension makes one, hooked on a method it only inherits.
    Class page
        = objc_allocateClassPair(Widget::classObject(), testing_support::uniqueClassName("RTHookedPage").c_str(), 0);
    objc_registerClassPair(page);
    ASSERT_EQ(class_getOwnMethod(page, sel_registerName("viewWillAppear:")), nullptr);

    ScopedHook hook(page, "viewWillAppear:", &hookedWillAppear, &savedWillAppear);

    EXPECT_EQ(reinterpret_cast<IMP>(savedWillAppear),
        class_getMethodImplementation(Widget::classObject(), sel_registerName("viewWillAppear:")));
    Method own = class_getOwnMethod(page, sel_registerName("viewWillAppear:"));
    ASSERT_NE(own, nullptr);
    EXPECT_STREQ(method_getTypeEncoding(own), "v@:B");

    Ref<NSObject> hooked = Ref<NSObject>::adopt(class_createInstance(page, 0));
    objc_msgSend(hooked.get(), "viewWillAppear:", true);
    EXPECT_EQ(
        dynamicCast<Widget>(hooked.get())->calls, (std::vector<std::string> { "hook", "Widget.viewWillAppear:" }));

    // The superclass and the superclass's other subclasses keep their behaviour.
    for (Ref<Widget> other : { makeRef<Widget>(), Ref<Widget>(makeRef<Label>()), Ref<Widget>(makeRef<Panel>()) }) {
        objc_msgSend(other.get(), "viewWillAppear:", true);
        EXPECT_EQ(other->calls, std::vector<std::string> { "Widget.viewWillAppear:" }) << class_getName(other->isa());
    }
}

TEST(MessageHook, NilClassOrUnknownSelectorChangesNothing)
{
    IMP saved = reinterpret_cast<IMP>(&addedAnswer);
    MSHookMessageEx(nullptr, sel_registerName("name"), reinterpret_cast<IMP>(&addedName), &saved);
    EXPECT_EQ(saved, nullptr);

    saved = reinterpret_cast<IMP>(&addedAnswer);
    MSHookMessageEx(Label::classObject(), sel_registerName("noSuchMethod"), reinterpret_cast<IMP>(&addedName), &saved);
    EXPECT_EQ(saved, nullptr);
    EXPECT_FALSE(class_respondsToSelector(Label::classObject(), sel_registerName("noSuchMethod")));
}

TEST(TypedHook, ReplacementOfOtherTypesIsRefusedWithOneLine)
{
    SEL generation = sel_registerName("generation");
    const IMP before = class_getMethodImplementation(Label::classObject(), generation);
    platform::clearLog();

    substrate::hookMethod(Label::classObject(), "generation", &mistypedGeneration, &savedMistypedGeneration);

    EXPECT_EQ(savedMistypedGeneration, nullptr);
    EXPECT_EQ(class_getOwnMethod(Label::classObject(), generation), nullptr);
    EXPECT_EQ(class_getMethodImplementation(Label::classObject(), generation), before);
    EXPECT_EQ(platform::loggedLines(),
        std::vector<std::string> {
            "MS:Error: not hooking -[RTLabel generation]: the replacement's types are B@:q, the method's q@:" });
}

TEST(AddMethod, NeverReplacesAnOwnMethod)
{
    Class widget = Widget::classObject();
    const IMP before = class_getMethodImplementation(widget, sel_registerName("name"));

    EXPECT_FALSE(class_addMethod(widget, sel_registerName("name"), reinterpret_cast<IMP>(&addedName), "@@:"));
    EXPECT_EQ(class_getMethodImplementation(widget, sel_registerName("name")), before);
    EXPECT_EQ(nameOf(makeRef<Widget>().get()), "widget");
}

TEST(AddMethod, OverridesAnInheritedMethodOnThatClass)
{
    Class cls
        = objc_allocateClassPair(Label::classObject(), testing_support::uniqueClassName("RTRenamedLabel").c_str(), 0);
    objc_registerClassPair(cls);

    EXPECT_TRUE(class_addMethod(cls, sel_registerName("name"), reinterpret_cast<IMP>(&addedName), "@@:"));

    Ref<NSObject> renamed = Ref<NSObject>::adopt(class_createInstance(cls, 0));
    EXPECT_EQ(nameOf(renamed.get()), "added");
    EXPECT_EQ(nameOf(makeRef<Label>().get()), "widget");
}

TEST(AddMethod, NewSelectorBecomesReachableAndIsAddedOnce)
{
    Class cls = objc_allocateClassPair(
        Widget::classObject(), testing_support::uniqueClassName("RTAnsweringWidget").c_str(), 0);
    objc_registerClassPair(cls);
    SEL answer = sel_registerName("answer");
    ASSERT_TRUE(class_addMethod(cls, answer, reinterpret_cast<IMP>(&addedAnswer), "q@:"));
    EXPECT_FALSE(class_addMethod(cls, answer, reinterpret_cast<IMP>(&addedAnswer), "q@:"));

    Ref<NSObject> object = Ref<NSObject>::adopt(class_createInstance(cls, 0));
    EXPECT_TRUE(object->respondsToSelector("answer"));
    EXPECT_FALSE(makeRef<Widget>()->respondsToSelector("answer"));
    EXPECT_EQ(objc_msgSend<NSInteger>(object.get(), "answer"), 42);
}
