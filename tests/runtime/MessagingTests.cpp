#include <Foundation/NSString.h>
#include <objc/message.h>

#include <gtest/gtest.h>

TEST(Messaging, NilReceiverYieldsZero)
{
    EXPECT_EQ(objc_msgSend<NSInteger>(nullptr, "integerValue"), 0);
}

TEST(Messaging, StringAnswersIntegerValue)
{
    auto text = " 12abc"_ns;
    EXPECT_EQ(objc_msgSend<NSInteger>(text.get(), "integerValue"), 12);
}
