#include "LockScreenFixture.h"

#include <tweak/EventTablePlacement.h>

#include <platform/Log.h>

namespace {

class ExtensionLoaded : public ::testing::Environment {
public:
    void SetUp() override
    {
        testing_support::TempDeviceRoot root;
        host::registerSpringBoardClasses();
        loadTweak();
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ExtensionLoaded);

} // namespace

void LockScreen::SetUp()
{
    loadPreferences();
    springBoard_ = std::make_unique<host::SpringBoard>();
    platform::clearLog();
}

void LockScreen::TearDown()
{
    springBoard_.reset();
    dglDashBoardViewController = nullptr;
    dglCollectionFooterEventTable = nullptr;
    dglCollectionFooterEventTableContainer = nullptr;
    ncNotificationListViewController = nullptr;
    dglEventTableHeight = 0;
}

UIView* LockScreen::ownPageTable()
{
    return springBoard_->content()->view()->viewWithTag(298659386);
}

UICollectionReusableView* LockScreen::lastFooter()
{
    springBoard_->rootView();
    return collectionView()->supplementaryViewForFooterInSection(collectionView()->numberOfSections() - 1);
}

void LockScreen::addOrRemoveList()
{
    objc_msgSend<void>(springBoard_->content(), "_addOrRemoveNotificationsListIfNecessaryAnimated:", true);
}
