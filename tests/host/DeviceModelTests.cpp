#include <host/DeviceModel.h>
#include <host/SpringBoard.h>

#include <UIKit/UIScreen.h>

#include <gtest/gtest.h>

using host::Orientation;

TEST(DeviceModel, EveryModelStacksItsLockScreenInsideTheScreen)
{
    for (const host::DeviceModel& model : host::deviceModels())
        for (Orientation orientation : { Orientation::Portrait, Orientation::Landscape }) {
            const host::LockScreenLayout layout = host::lockScreenLayout(model, orientation);
            SCOPED_TRACE(std::string(model.name) + (orientation == Orientation::Portrait ? " portrait" : " landscape"));
            EXPECT_EQ(layout.screenSize, host::screenSize(model, orientation));
            EXPECT_LE(CGRectGetMaxY(layout.statusBar), CGRectGetMinY(layout.clock));
            EXPECT_LE(CGRectGetMaxY(layout.clock), CGRectGetMinY(layout.date));
            EXPECT_LT(CGRectGetMaxY(layout.date), CGRectGetMinY(layout.notificationArea));
            EXPECT_LE(CGRectGetMaxY(layout.notificationArea), CGRectGetMinY(layout.pageIndicator));
            EXPECT_LE(CGRectGetMaxY(layout.unlockHint), layout.screenSize.height);
            EXPECT_GT(layout.notificationArea.size.height, 70) << "room for a table under the inset";
            EXPECT_GE(layout.notificationArea.origin.x, 0);
            EXPECT_LE(CGRectGetMaxX(layout.notificationArea), layout.screenSize.width);
        }
}

TEST(DeviceModel, OnlyTheIPadInLandscapeSuggestsAListBeyondX200)
{
    for (const host::DeviceModel& model : host::deviceModels())
        for (Orientation orientation : { Orientation::Portrait, Orientation::Landscape }) {
            const bool iPadLandscape = model.name == "ipad" && orientation == Orientation::Landscape;
            EXPECT_EQ(host::lockScreenLayout(model, orientation).notificationArea.origin.x > 200, iPadLandscape)
                << model.name;
        }
    EXPECT_EQ(host::defaultDeviceModel().portraitSize, CGSizeMake(375, 667));
    EXPECT_EQ(host::findDeviceModel("iphonese")->portraitSize, CGSizeMake(320, 568));
    EXPECT_EQ(host::findDeviceModel("iphone 6"), nullptr);
}

TEST(DeviceModel, SpringBoardKeepsItsOwnCopyOfTheModel)
{
    host::SpringBoard springBoard;
    host::DeviceModel model = *host::findDeviceModel("ipad");
    springBoard.setDeviceModel(model);
    model.portraitSize = CGSizeMake(1, 1);
    EXPECT_EQ(springBoard.deviceModel().portraitSize, CGSizeMake(768, 1024));
}

TEST(DeviceModel, SpringBoardLaysItsScreenAndListOutByTheModel)
{
    host::SpringBoard springBoard;
    const host::DeviceModel& iPad = *host::findDeviceModel("ipad");
    springBoard.setDeviceModel(iPad);
    springBoard.rotate(Orientation::Landscape);
    const host::LockScreenLayout layout = host::lockScreenLayout(iPad, Orientation::Landscape);
    EXPECT_EQ(UIScreen::mainScreen()->bounds().size, CGSizeMake(1024, 768));
    EXPECT_EQ(springBoard.rootView()->frame().size, CGSizeMake(1024, 768));
    EXPECT_EQ(springBoard.content()->view()->frame().size, CGSizeMake(1024, 768));
    EXPECT_EQ(objc_msgSend<CGRect>(springBoard.notificationList(), "_suggestedListViewFrame"), layout.notificationArea);
    EXPECT_EQ(springBoard.content()->viewSize(), CGSizeMake(1024, 768));
}
