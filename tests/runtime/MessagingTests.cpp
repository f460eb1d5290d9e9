// Sending messages: nil receivers, checked call types, and the encodings they are built from.
#include "Widgets.h"

#include <CoreGraphics/CGGeometry.h>
#include <Foundation/NSException.h>
#include <objc/message.h>

#include <gtest/gtest.h>

using objc::WordSize;

TEST(Messaging, NilReceiverYieldsZero)
{
    EXPECT_EQ(objc_msgSend<NSInteger>(nullptr, "integerValue"), 0);
    EXPECT_EQ(objc_msgSend<NSString*>(nullptr, "name"), nullptr);
    EXPECT_EQ(objc_msgSend<CGFloat>(nullptr, "width"), 0.0);
    EXPECT_FALSE(objc_msgSend<BOOL>(nullptr, "boolValue"));
    EXPECT_EQ((objc_msgSend<CGSize, id, NSInteger>(nullptr, "sizeFor:section:", nullptr, 3)), CGSizeZero);
    objc_msgSend(nullptr, "viewWillAppear:", true);
}

TEST(Messaging, ReachesTheMethodWithItsArguments)
{
    auto widget = makeRef<Widget>();
    const CGSize size = objc_msgSend<CGSize, id, NSInteger>(widget.get(), "sizeFor:section:", nullptr, 3);
    EXPECT_EQ(size, CGSizeMake(320, 30));
    EXPECT_EQ(objc_msgSend<NSInteger>(" 12abc"_ns.get(), "integerValue"), 12);
}

TEST(Messaging, CallWithOtherTypesThanTheMethodIsRefused)
{
    auto widget = makeRef<Widget>();
    // An int where the method takes NSInteger, and a BOOL result where it returns NSInteger.
    EXPECT_THROW((objc_msgSend<CGSize, id, int>(widget.get(), "sizeFor:section:", nullptr, 3)), NSException);
    EXPECT_THROW(objc_msgSend<BOOL>(widget.get(), "generation"), NSException);
    try {
        objc_msgSend<int>("7"_ns.get(), "integerValue");
        FAIL() << "expected an NSException";
    } catch (const NSException& exception) {
        EXPECT_EQ(exception.name(), NSInvalidArgumentException);
        EXPECT_NE(exception.reason().find("integerValue"), std::string::npos);
        EXPECT_NE(exception.reason().find("\"i@:\""), std::string::npos);
    }
}

TEST(Messaging, UnknownSelectorRaises)
{
    try {
        objc_msgSend(makeRef<Label>().get(), "noSuchMessage");
        FAIL() << "expected an NSException";
    } catch (const NSException& exception) {
        EXPECT_EQ(exception.name(), NSInvalidArgumentException);
        EXPECT_EQ(exception.reason(), "-[RTLabel noSuchMessage]: unrecognized selector sent to instance");
    }
}

TEST(TypeEncoding, MethodsOnBothWordSizes)
{
    EXPECT_EQ((objc::methodEncoding<CGSize, id, id, NSInteger>(WordSize::Bits64)), "{CGSize=dd}@:@@q");
    EXPECT_EQ((objc::methodEncoding<CGSize, id, id, NSInteger>(WordSize::Bits32)), "{CGSize=ff}@:@@i");

    for (WordSize w : { WordSize::Bits64, WordSize::Bits32 }) {
        EXPECT_EQ(objc::methodEncoding<void>(w), "v@:");
        EXPECT_EQ(objc::methodEncoding<id>(w), "@@:");
        EXPECT_EQ((objc::methodEncoding<void, id>(w)), "v@:@");
        EXPECT_EQ((objc::methodEncoding<id, id, id, id>(w)), "@@:@@@");
        const std::string floats = w == WordSize::Bits64 ? "dd" : "ff";
        EXPECT_EQ((objc::methodEncoding<void, CGSize, id>(w)), "v@:{CGSize=" + floats + "}@");
    }
}

TEST(TypeEncoding, ScalarsFollowTheWordSize)
{
    EXPECT_EQ(objc::encode<BOOL>(WordSize::Bits64), "B");
    EXPECT_EQ(objc::encode<BOOL>(WordSize::Bits32), "c");
    EXPECT_EQ(objc::encode<NSUInteger>(WordSize::Bits64), "Q");
    EXPECT_EQ(objc::encode<NSUInteger>(WordSize::Bits32), "I");
    EXPECT_EQ(objc::encode<long long>(WordSize::Bits32), "q");
    EXPECT_EQ(objc::encode<CGRect>(WordSize::Bits64), "{CGRect={CGPoint=dd}{CGSize=dd}}");
    EXPECT_EQ(objc::encode<CGRect>(WordSize::Bits32), "{CGRect={CGPoint=ff}{CGSize=ff}}");
    EXPECT_EQ(objc::encode<NSString*>(), "@");
    EXPECT_EQ(objc::encode<SEL>(), ":");
    EXPECT_EQ(objc::encode<Class>(), "#");
    EXPECT_EQ(objc::encode<NSComparisonResult>(WordSize::Bits32), "i");
}

TEST(TypeEncoding, RegisteredMethodsCarryTheHostEncoding)
{
    Method method = class_getInstanceMethod(Widget::classObject(), sel_registerName("sizeFor:section:"));
    EXPECT_STREQ(method_getTypeEncoding(method), "{CGSize=dd}@:@q");
    EXPECT_STREQ(
        method_getTypeEncoding(class_getInstanceMethod(Widget::classObject(), sel_registerName("name"))), "@@:");
}
