#include <host/SpringBoard.h>

#include <host/NCNotificationPriorityListViewController.h>
#include <host/SBApplicationController.h>
#include <host/SBDashBoardEvent.h>
#include <host/SBDashBoardMainPageViewController.h>
#include <host/SBUIController.h>

namespace host {

void registerSpringBoardClasses()
{
    SBDashBoardViewControllerBase::classObject();
    SBDashBoardMainPageViewController::classObject();
    SBDashBoardMainPageContentViewController::classObject();
    NCNotificationPriorityListViewController::classObject();
    SBDashBoardEvent::classObject();
    SBApplication::classObject();
    SBApplicationController::classObject();
    SBUIController::classObject();
}

} // namespace host
