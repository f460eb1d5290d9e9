// The notification list of the lock screen's main page. Each pending notification
// request is a section of its own. The list is shown while a presenter holds it.
#pragma once

#include <Foundation/NSArray.h>
#include <host/HostViewController.h>

class NCNotificationPriorityListViewController : public HostViewController {
public:
    static Class classObject();
    NCNotificationPriorityListViewController();

    // Below the clock of a 375 × 667 point screen.
    static constexpr CGRect defaultSuggestedListViewFrame { { 0, 150 }, { 375, 450 } };

    const NSArray* notificationRequests() const { return requests_.get(); }
    void addNotificationRequest(NSObject* request);
    void removeAllNotificationRequests();
    bool hasNotificationRequests() const { return requests_->count() > 0; }

    // The controller that shows the list, or nil while it is not shown. Not retained:
    // the presenter owns the list, not the other way round.
    NSObject* presenter() const { return presenter_; }
    void setPresenter(NSObject* presenter) { presenter_ = presenter; }

    CGRect suggestedListViewFrame() const { return suggestedListViewFrame_; }
    void setSuggestedListViewFrame(CGRect frame) { suggestedListViewFrame_ = frame; }

private:
    static id init(id self, SEL);
    static id presenterImp(id self, SEL);
    static CGRect suggestedListViewFrameImp(id self, SEL);
    static NSInteger numberOfSectionsInCollectionView(id self, SEL, id collectionView);

    Ref<NSMutableArray> requests_ = NSMutableArray::array();
    NSObject* presenter_ = nullptr;
    CGRect suggestedListViewFrame_ = defaultSuggestedListViewFrame;
};
