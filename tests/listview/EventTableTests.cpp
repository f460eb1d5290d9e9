#include "ImagePixels.h"

#include "listview/DGLEventTable.h"

#include <objc/runtime.h>

#include <gtest/gtest.h>

using namespace testing_support;

TEST(EventTable, IsAViewWhoseSectionedDataTheRuntimeFindsByName)
{
    Class cls = DGLEventTable::classObject();
    EXPECT_EQ(objc_getClass("DGLEventTable"), cls);
    EXPECT_EQ(class_getSuperclass(cls), UIView::classObject());

    Ref<NSObject> object = Ref<NSObject>::adopt(class_createInstance(cls, 0));
    auto* table = dynamicCast<DGLEventTable>(object.get());
    ASSERT_TRUE(table);
    EXPECT_FALSE(table->tableView());
    EXPECT_FALSE(table->groupByDays());
    EXPECT_EQ(table->iconType(), 0);

    auto sections = NSArray::array({ NSArray::array() });
    for (const char* name : { "calendarEvents", "sectionHeaders" }) {
        SCOPED_TRACE(name);
        Ivar ivar = class_getInstanceVariable(cls, name);
        ASSERT_TRUE(ivar);
        EXPECT_FALSE(object_getIvar(table, ivar));
    }
    Ivar calendarEvents = class_getInstanceVariable(cls, "calendarEvents");
    object_setIvar(table, calendarEvents, sections.get());
    EXPECT_EQ(object_getIvar(table, calendarEvents), sections.get());
}

TEST(EventTable, KeepsItsBackgroundColorForTheInnerTableWithoutPaintingItself)
{
    auto table = makeRef<DGLEventTable>(CGRectMake(0, 0, 20, 20));
    const Ref<UIColor> red = UIColor::redColor();
    table->setBackgroundColor(red.get());
    EXPECT_EQ(table->backgroundColor(), red.get());
    UIView* view = table.get();
    EXPECT_FALSE(view->backgroundColor());
    const Ref<UIImage> drawn = UIViewRenderImage(table.get(), 1);
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(isClear(drawn->pixelAt(10, 10)));
}
