#include <host/NCNotificationListCell.h>
#include <host/NCNotificationPriorityListViewController.h>
#include <host/SpringBoard.h>

namespace {

NCNotificationPriorityListViewController* asList(id self)
{
    return static_cast<NCNotificationPriorityListViewController*>(self);
}

// The platters' spacing: 8 points at the sides and between notifications.
constexpr CGFloat platterInset = 8;

} // namespace

Class NCNotificationPriorityListViewController::classObject()
{
    using Self = NCNotificationPriorityListViewController;
    return objc::registeredClass<Self>("NCNotificationPriorityListViewController", [](Class c) {
        objc::addMethod(c, "init", &Self::init);
        objc::addMethod(c, "presenter", &Self::presenterImp);
        objc::addMethod(c, "collectionView", &Self::collectionViewImp);
        objc::addMethod(c, "_suggestedListViewFrame", &Self::suggestedListViewFrameImp);
        objc::addMethod(c, "numberOfSectionsInCollectionView:", &Self::numberOfSectionsInCollectionView);
        objc::addMethod(c, "collectionView:numberOfItemsInSection:", &Self::numberOfItemsInSection);
        objc::addMethod(c, "collectionView:cellForItemAtIndexPath:", &Self::cellForItemAtIndexPath);
        objc::addMethod(c, "collectionView:layout:sizeForItemAtIndexPath:", &Self::sizeForItemAtIndexPath);
    });
}

// The collection view exists once -init returns, before anything asks for the view.
id NCNotificationPriorityListViewController::init(id self, SEL)
{
    self = host::sendSuper<id>(UIViewController::classObject(), self, "init");
    auto* list = dynamicCast<NCNotificationPriorityListViewController>(self);
    if (!list)
        return self;
    auto layout = makeRef<UICollectionViewFlowLayout>();
    layout->setSectionInset({ 0, platterInset, platterInset, platterInset });
    layout->setMinimumLineSpacing(platterInset);
    list->collectionView_ = makeRef<UICollectionView>(list->suggestedListViewFrame_, layout.get());
    list->collectionView_->registerClassForCell(
        NCNotificationListCell::classObject(), NCNotificationListCell::reuseIdentifier());
    list->collectionView_->setDataSource(list);
    list->collectionView_->setDelegate(list);
    return self;
}

void NCNotificationPriorityListViewController::loadView()
{
    setView(collectionView_.get());
}

void NCNotificationPriorityListViewController::addNotificationRequest(NCNotificationRequest* request)
{
    requests_->insertObjectAtIndex(request, 0);
    if (collectionView_)
        collectionView_->reloadData();
}

void NCNotificationPriorityListViewController::removeNotificationRequests(std::size_t count)
{
    for (; count > 0 && requests_->count() > 0; --count)
        requests_->removeObjectAtIndex(0);
    if (collectionView_)
        collectionView_->reloadData();
}

void NCNotificationPriorityListViewController::removeAllNotificationRequests()
{
    removeNotificationRequests(requests_->count());
}

const NCNotificationRequest* NCNotificationPriorityListViewController::requestInSection(NSInteger section) const
{
    if (section < 0 || static_cast<NSUInteger>(section) >= requests_->count())
        return nullptr;
    return static_cast<const NCNotificationRequest*>(requests_->objectAtIndex(static_cast<NSUInteger>(section)));
}

id NCNotificationPriorityListViewController::presenterImp(id self, SEL)
{
    return asList(self)->presenter_.get();
}

id NCNotificationPriorityListViewController::collectionViewImp(id self, SEL)
{
    return asList(self)->collectionView_.get();
}

CGRect NCNotificationPriorityListViewController::suggestedListViewFrameImp(id self, SEL)
{
    return asList(self)->suggestedListViewFrame_;
}

NSInteger NCNotificationPriorityListViewController::numberOfSectionsInCollectionView(id self, SEL, id)
{
    return static_cast<NSInteger>(asList(self)->requests_->count());
}

NSInteger NCNotificationPriorityListViewController::numberOfItemsInSection(id self, SEL, id, NSInteger section)
{
    return asList(self)->requestInSection(section) ? 1 : 0;
}

id NCNotificationPriorityListViewController::cellForItemAtIndexPath(id self, SEL, id collectionView, id indexPath)
{
    auto* list = asList(self);
    auto* view = dynamicCast<UICollectionView>(collectionView);
    auto* path = dynamicCast<NSIndexPath>(indexPath);
    if (!view || !path)
        return nullptr;
    auto cell = dynamicCast<NCNotificationListCell>(
        Ref<NSObject>(view->dequeueReusableCell(NCNotificationListCell::reuseIdentifier(), path)));
    if (cell)
        cell->configure(list->requestInSection(path->section()), list->now_);
    return autoreleased(cell);
}

CGSize NCNotificationPriorityListViewController::sizeForItemAtIndexPath(
    id self, SEL, id collectionView, id, id indexPath)
{
    auto* view = dynamicCast<UICollectionView>(collectionView);
    auto* path = dynamicCast<NSIndexPath>(indexPath);
    const NCNotificationRequest* request = path ? asList(self)->requestInSection(path->section()) : nullptr;
    if (!view || !request)
        return CGSizeZero;
    const CGFloat width = view->bounds().size.width - 2 * platterInset;
    return CGSizeMake(width, NCNotificationListCell::heightForRequest(request, width));
}
