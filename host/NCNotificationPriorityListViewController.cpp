#include <host/NCNotificationPriorityListViewController.h>

namespace {

NCNotificationPriorityListViewController* asList(id self)
{
    return static_cast<NCNotificationPriorityListViewController*>(self);
}

} // namespace

Class NCNotificationPriorityListViewController::classObject()
{
    static Class cls = objc::registerClass<NCNotificationPriorityListViewController>(
        "NCNotificationPriorityListViewController", HostViewController::classObject(), [](Class c) {
            objc::addMethod(c, "init", &NCNotificationPriorityListViewController::init);
            objc::addMethod(c, "presenter", &NCNotificationPriorityListViewController::presenterImp);
            objc::addMethod(
                c, "_suggestedListViewFrame", &NCNotificationPriorityListViewController::suggestedListViewFrameImp);
            objc::addMethod(c, "numberOfSectionsInCollectionView:",
                &NCNotificationPriorityListViewController::numberOfSectionsInCollectionView);
        });
    return cls;
}

NCNotificationPriorityListViewController::NCNotificationPriorityListViewController()
{
    setIsa(classObject());
}

void NCNotificationPriorityListViewController::addNotificationRequest(NSObject* request)
{
    requests_->addObject(request);
}

void NCNotificationPriorityListViewController::removeAllNotificationRequests()
{
    requests_->removeAllObjects();
}

id NCNotificationPriorityListViewController::init(id self, SEL)
{
    return self;
}

id NCNotificationPriorityListViewController::presenterImp(id self, SEL)
{
    return asList(self)->presenter_;
}

CGRect NCNotificationPriorityListViewController::suggestedListViewFrameImp(id self, SEL)
{
    return asList(self)->suggestedListViewFrame_;
}

NSInteger NCNotificationPriorityListViewController::numberOfSectionsInCollectionView(id self, SEL, id)
{
    return static_cast<NSInteger>(asList(self)->requests_->count());
}
