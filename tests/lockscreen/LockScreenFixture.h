// A booted SpringBoard lock screen (an iPhone 7 in portrait unless a test changes
// it) with the extension loaded into the process once, its settings at their
// defaults and its lock-screen state cleared after each test.
#pragma once

#include <TempDeviceRoot.h>
#include <host/SpringBoard.h>
#include <tweak/Tweak.h>

#include <gtest/gtest.h>

#include <memory>

class LockScreen : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    host::SpringBoard& springBoard() { return *springBoard_; }
    const testing_support::TempDeviceRoot& root() const { return root_; }
    NCNotificationPriorityListViewController* list() { return springBoard_->notificationList(); }
    UICollectionView* collectionView() { return list()->collectionView(); }
    // The pages the content controller shows now.
    const NSArray* pages() { return springBoard_->content()->contentViewControllers(); }
    // The own page's table, found by its tag under the content's view.
    UIView* ownPageTable();
    // The view in the footer of the list's last section, laid out.
    UICollectionReusableView* lastFooter();
    // SpringBoard rebuilding its list, as it does when notifications change.
    void addOrRemoveList();

    // What `createEventTable` makes of a suggested frame.
    static CGRect insetFrame(CGRect suggested)
    {
        return CGRectMake(
            suggested.origin.x + 8, suggested.origin.y, suggested.size.width - 16, suggested.size.height - 70);
    }

private:
    testing_support::TempDeviceRoot root_;
    std::unique_ptr<host::SpringBoard> springBoard_;
};

inline const char* const dismissalLine
    = "[Dayglass2: Tweak:1478] INFO: DGL: lockscreen did dissapear, hiding calendar.";
