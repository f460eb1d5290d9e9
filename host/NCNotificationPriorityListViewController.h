// The notification list of the lock screen's main page. Each pending notification
// request is a section of its own, one cell on a platter. Its view is a collection
// view with a flow layout, made by -init, whose data source and flow-layout
// delegate the controller is. The list is shown while a presenter holds it.
#pragma once

#include <host/Export.h>
#include <host/NCNotificationRequest.h>

#include <Foundation/NSArray.h>
#include <UIKit/UICollectionView.h>
#include <UIKit/UIViewController.h>
#include <objc/WeakRef.h>

class HOST_EXPORT NCNotificationPriorityListViewController
    : public objc::Subclass<NCNotificationPriorityListViewController, UIViewController> {
public:
    static Class classObject();

    // Below the clock of a 375 × 667 point screen, until SpringBoard lays the list out.
    static constexpr CGRect defaultSuggestedListViewFrame { { 0, 150 }, { 375, 450 } };

    // Made by -init; null before.
    UICollectionView* collectionView() const { return collectionView_.get(); }

    const NSArray* notificationRequests() const { return requests_.get(); }
    // Adds the request on top, as the newest, and reloads the list.
    void addNotificationRequest(NCNotificationRequest* request);
    // Removes the newest `count` requests (all when there are fewer) and reloads.
    void removeNotificationRequests(std::size_t count);
    void removeAllNotificationRequests();
    bool hasNotificationRequests() const { return requests_->count() > 0; }

    // The controller that shows the list, or nil while it is not shown. Weak: the
    // presenter owns the list, not the other way round.
    NSObject* presenter() const { return presenter_.get(); }
    void setPresenter(NSObject* presenter) { presenter_ = presenter; }

    CGRect suggestedListViewFrame() const { return suggestedListViewFrame_; }
    void setSuggestedListViewFrame(CGRect frame) { suggestedListViewFrame_ = frame; }

    // What the cells count the notifications' age from, in seconds since 1970.
    void setNow(double unixTime) { now_ = unixTime; }

    void loadView() override;

private:
    static id init(id self, SEL);
    static id presenterImp(id self, SEL);
    static id collectionViewImp(id self, SEL);
    static CGRect suggestedListViewFrameImp(id self, SEL);
    static NSInteger numberOfSectionsInCollectionView(id self, SEL, id collectionView);
    static NSInteger numberOfItemsInSection(id self, SEL, id collectionView, NSInteger section);
    static id cellForItemAtIndexPath(id self, SEL, id collectionView, id indexPath);
    static CGSize sizeForItemAtIndexPath(id self, SEL, id collectionView, id layout, id indexPath);

    const NCNotificationRequest* requestInSection(NSInteger section) const;

    Ref<UICollectionView> collectionView_;
    Ref<NSMutableArray> requests_ = NSMutableArray::array();
    WeakRef<NSObject> presenter_;
    CGRect suggestedListViewFrame_ = defaultSuggestedListViewFrame;
    double now_ = 0;
};
