#include "events/DGLEKEVent.h"

#include <Foundation/NSString.h>
#include <objc/runtime.h>

#include <gtest/gtest.h>

TEST(EventRecord, StartsEmptyWhenMadeByTheRuntime)
{
    Class cls = DGLEKEVent::classObject();
    ASSERT_EQ(objc_getClass("DGLEKEVent"), cls);
    Ref<NSObject> object = Ref<NSObject>::adopt(class_createInstance(cls, 0));
    const DGLEKEVent* record = dynamicCast<DGLEKEVent>(object.get());
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->startDate());
    EXPECT_FALSE(record->endDate());
    EXPECT_FALSE(record->URL());
    EXPECT_FALSE(record->location());
    EXPECT_FALSE(record->title());
    EXPECT_FALSE(record->calendarColor());
    EXPECT_FALSE(record->isAllDay());
}

TEST(EventRecord, KeepsItsOwnCopiesOfMutableTexts)
{
    auto record = makeRef<DGLEKEVent>();
    auto text = makeRef<NSMutableString>("Standup");
    record->setTitle(text.get());
    record->setLocation(text.get());
    text->setString("Retro");
    EXPECT_EQ(record->title()->UTF8String(), "Standup");
    EXPECT_EQ(record->location()->UTF8String(), "Standup");

    // No location stays nil rather than becoming an empty text.
    record->setLocation(nullptr);
    EXPECT_FALSE(record->location());
}
