#include "LockScreenFixture.h"

#include <tweak/EventTablePlacement.h>
#include <tweak/Retained.h>

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
    assignRetained(dglDashBoardViewController, static_cast<NSObject*>(nullptr));
    assignRetained(dglCollectionFooterEventTable, static_cast<DGLEventTable*>(nullptr));
    assignRetained(dglCollectionFooterEventTableContainer, static_cast<UIView*>(nullptr));
    assignRetained(ncNotificationListViewController, static_cast<NSObject*>(nullptr));
    dglEventTableHeight = 0;
    dglOwnerAuthenticated = NO;
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
