#include <UIKit/UICollectionView.h>

#include <Foundation/NSException.h>
#include <objc/message.h>

namespace {

// UIKit's own kind for cells, which share the pools with supplementary views.
constexpr const char* cellKind = "UICollectionElementKindCell";

UICollectionView* asCollectionView(id self)
{
    return static_cast<UICollectionView*>(self);
}

void registerClassImp(id self, SEL, Class cls, id kind, id identifier)
{
    asCollectionView(self)->registerClassForSupplementaryView(
        cls, dynamicCast<NSString>(kind), dynamicCast<NSString>(identifier));
}

id dequeueSupplementaryImp(id self, SEL, id kind, id identifier, id indexPath)
{
    return autoreleased(asCollectionView(self)->dequeueReusableSupplementaryView(
        dynamicCast<NSString>(kind), dynamicCast<NSString>(identifier), dynamicCast<NSIndexPath>(indexPath)));
}

BOOL hasRegisteredImp(id self, SEL, id kind)
{
    return asCollectionView(self)->hasRegisteredClassOrNibForSupplementaryViewOfKind(dynamicCast<NSString>(kind));
}

NSInteger numberOfSectionsImp(id self, SEL)
{
    return asCollectionView(self)->numberOfSections();
}

void reloadDataImp(id self, SEL)
{
    asCollectionView(self)->reloadData();
}

std::string text(const NSString* string)
{
    return string ? string->UTF8String() : std::string();
}

NSString* constantString(std::string_view value)
{
    return NSString::string(value).leak();
}

} // namespace

NSString* UICollectionElementKindSectionFooter()
{
    static NSString* kind = constantString("UICollectionElementKindSectionFooter");
    return kind;
}

NSString* UICollectionElementKindSectionHeader()
{
    static NSString* kind = constantString("UICollectionElementKindSectionHeader");
    return kind;
}

Class UICollectionView::classObject()
{
    return objc::registeredClass<UICollectionView>("UICollectionView", [](Class c) {
        objc::addMethod(c, "registerClass:forSupplementaryViewOfKind:withReuseIdentifier:", &registerClassImp);
        objc::addMethod(
            c, "dequeueReusableSupplementaryViewOfKind:withReuseIdentifier:forIndexPath:", &dequeueSupplementaryImp);
        objc::addMethod(c, "_hasRegisteredClassOrNibForSupplementaryViewOfKind:", &hasRegisteredImp);
        objc::addMethod(c, "numberOfSections", &numberOfSectionsImp);
        objc::addMethod(c, "reloadData", &reloadDataImp);
    });
}

UICollectionView::UICollectionView(CGRect frame, UICollectionViewFlowLayout* layout)
    : Subclass(frame)
    , layout_(layout ? Ref<UICollectionViewFlowLayout>(layout) : makeRef<UICollectionViewFlowLayout>())
{
    setAlwaysBounceVertical(true);
}

void UICollectionView::setDataSource(NSObject* dataSource)
{
    dataSource_ = dataSource;
    reloadData();
}

void UICollectionView::setDelegate(NSObject* delegate)
{
    delegate_ = delegate;
    reloadData();
}

void UICollectionView::registerClassForCell(Class cls, const NSString* identifier)
{
    registrations_[{ cellKind, text(identifier) }] = cls;
}

void UICollectionView::registerClassForSupplementaryView(Class cls, const NSString* kind, const NSString* identifier)
{
    registrations_[{ text(kind), text(identifier) }] = cls;
}

bool UICollectionView::hasRegisteredClassOrNibForSupplementaryViewOfKind(const NSString* kind) const
{
    const std::string wanted = text(kind);
    for (const auto& [key, cls] : registrations_)
        if (key.first == wanted && cls)
            return true;
    return false;
}

Ref<UICollectionReusableView> UICollectionView::dequeue(const ReuseKey& key, const NSIndexPath* indexPath)
{
    Ref<UICollectionReusableView> view = reusedOrNew(key);
    view->setFrame(layoutFrame(key.first, indexPath));
    return view;
}

CGRect UICollectionView::layoutFrame(const std::string& kind, const NSIndexPath* indexPath) const
{
    if (!indexPath || indexPath->section() < 0 || indexPath->section() >= static_cast<NSInteger>(sections_.size()))
        return CGRectZero;
    const Section& section = sections_[static_cast<std::size_t>(indexPath->section())];
    if (kind != cellKind)
        return section.footerFrame;
    if (indexPath->item() < 0 || indexPath->item() >= static_cast<NSInteger>(section.itemFrames.size()))
        return CGRectZero;
    return section.itemFrames[static_cast<std::size_t>(indexPath->item())];
}

Ref<UICollectionReusableView> UICollectionView::reusedOrNew(const ReuseKey& key)
{
    auto& pool = pools_[key];
    if (!pool.empty()) {
        Ref<UICollectionReusableView> view = std::move(pool.back());
        pool.pop_back();
        view->prepareForReuse();
        return view;
    }
    auto registration = registrations_.find(key);
    if (registration == registrations_.end() || !registration->second)
        throw NSException(NSInternalInconsistencyException,
            "could not dequeue a view of kind: " + key.first + " with identifier " + key.second
                + " - must register a nib or a class for the identifier or connect a prototype cell in a storyboard");
    auto view
        = dynamicCast<UICollectionReusableView>(Ref<NSObject>::adopt(class_createInstance(registration->second, 0)));
    if (!view)
        throw NSException(NSInternalInconsistencyException,
            std::string("the class registered for ") + key.second + " is not a UICollectionReusableView");
    view->setReuseIdentifier(NSString::string(key.second).get());
    return view;
}

Ref<UICollectionViewCell> UICollectionView::dequeueReusableCell(
    const NSString* identifier, const NSIndexPath* indexPath)
{
    Ref<UICollectionViewCell> cell
        = dynamicCast<UICollectionViewCell>(Ref<NSObject>(dequeue({ cellKind, text(identifier) }, indexPath)));
    if (!cell)
        throw NSException(NSInternalInconsistencyException,
            "the class registered for " + text(identifier) + " is not a UICollectionViewCell");
    return cell;
}

Ref<UICollectionReusableView> UICollectionView::dequeueReusableSupplementaryView(
    const NSString* kind, const NSString* identifier, const NSIndexPath* indexPath)
{
    return dequeue({ text(kind), text(identifier) }, indexPath);
}

void UICollectionView::reloadData()
{
    needsReload_ = true;
    setNeedsLayout();
}

NSInteger UICollectionView::numberOfItemsInSection(NSInteger section) const
{
    if (section < 0 || section >= numberOfSections())
        return 0;
    return static_cast<NSInteger>(sections_[static_cast<std::size_t>(section)].cells.size());
}

UICollectionViewCell* UICollectionView::cellForItemAtIndexPath(const NSIndexPath* indexPath) const
{
    if (!indexPath || indexPath->item() < 0 || indexPath->item() >= numberOfItemsInSection(indexPath->section()))
        return nullptr;
    return sections_[static_cast<std::size_t>(indexPath->section())]
        .cells[static_cast<std::size_t>(indexPath->item())]
        .get();
}

UICollectionReusableView* UICollectionView::supplementaryViewForFooterInSection(NSInteger section) const
{
    if (section < 0 || section >= numberOfSections())
        return nullptr;
    return sections_[static_cast<std::size_t>(section)].footer.get();
}

// Every shown view goes back to the pool of its kind and identifier.
void UICollectionView::recycleShownViews()
{
    auto recycle = [&](const char* kind, Ref<UICollectionReusableView> view) {
        if (!view)
            return;
        view->removeFromSuperview();
        pools_[{ kind, text(view->reuseIdentifier()) }].push_back(std::move(view));
    };
    const std::string footerKind = text(UICollectionElementKindSectionFooter());
    for (Section& section : sections_) {
        for (Ref<UICollectionViewCell>& cell : section.cells)
            recycle(cellKind, std::move(cell));
        recycle(footerKind.c_str(), std::move(section.footer));
    }
    sections_.clear();
}

CGSize UICollectionView::itemSize(NSIndexPath* indexPath) const
{
    Ref<NSObject> delegate = delegate_.strong();
    if (delegate && delegate->respondsToSelector("collectionView:layout:sizeForItemAtIndexPath:"))
        return objc_msgSend<CGSize>(
            delegate.get(), "collectionView:layout:sizeForItemAtIndexPath:", asId(), layout_.get(), indexPath);
    return layout_->itemSize();
}

CGSize UICollectionView::footerSize(NSInteger section) const
{
    Ref<NSObject> delegate = delegate_.strong();
    if (delegate && delegate->respondsToSelector("collectionView:layout:referenceSizeForFooterInSection:"))
        return objc_msgSend<CGSize>(
            delegate.get(), "collectionView:layout:referenceSizeForFooterInSection:", asId(), layout_.get(), section);
    return layout_->footerReferenceSize();
}

Ref<UICollectionReusableView> UICollectionView::footerView(NSInteger section) const
{
    Ref<NSObject> dataSource = dataSource_.strong();
    if (!dataSource || !dataSource->respondsToSelector("collectionView:viewForSupplementaryElementOfKind:atIndexPath:"))
        return nullptr;
    Ref<NSIndexPath> indexPath = NSIndexPath::indexPathForRow(0, section);
    return dynamicCast<UICollectionReusableView>(
        objc_msgSend<id>(dataSource.get(), "collectionView:viewForSupplementaryElementOfKind:atIndexPath:", asId(),
            UICollectionElementKindSectionFooter(), indexPath.get()));
}

// The layout first: every item's size and each section's footer where it has a
// height, top to bottom.
void UICollectionView::layOutSections()
{
    const CGFloat width = bounds().size.width;
    const UIEdgeInsets inset = layout_->sectionInset();
    Ref<NSObject> dataSource = dataSource_.strong();
    const NSInteger sectionCount
        = dataSource ? objc_msgSend<NSInteger>(dataSource.get(), "numberOfSectionsInCollectionView:", asId()) : 0;
    CGFloat y = 0;
    for (NSInteger s = 0; s < sectionCount; ++s) {
        Section section;
        y += inset.top;
        const NSInteger items
            = objc_msgSend<NSInteger>(dataSource.get(), "collectionView:numberOfItemsInSection:", asId(), s);
        for (NSInteger i = 0; i < items; ++i) {
            Ref<NSIndexPath> indexPath = NSIndexPath::indexPathForRow(i, s);
            const CGSize size = itemSize(indexPath.get());
            if (i > 0)
                y += layout_->minimumLineSpacing();
            section.itemFrames.push_back(
                CGRectMake(inset.left, y, std::min(size.width, width - inset.left - inset.right), size.height));
            y += size.height;
        }
        y += inset.bottom;
        const CGFloat footerHeight = footerSize(s).height;
        if (footerHeight > 0) {
            section.footerFrame = CGRectMake(0, y, width, footerHeight);
            y += footerHeight;
        }
        sections_.push_back(std::move(section));
    }
    setContentSize(CGSizeMake(width, y));
}

// Then the views for it, each handed out in its place.
void UICollectionView::loadViews()
{
    AutoreleasePool pool;
    Ref<NSObject> dataSource = dataSource_.strong();
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        Section& section = sections_[s];
        const auto sectionIndex = static_cast<NSInteger>(s);
        for (std::size_t i = 0; i < section.itemFrames.size(); ++i) {
            Ref<NSIndexPath> indexPath = NSIndexPath::indexPathForRow(static_cast<NSInteger>(i), sectionIndex);
            Ref<UICollectionViewCell> cell = dynamicCast<UICollectionViewCell>(
                objc_msgSend<id>(dataSource.get(), "collectionView:cellForItemAtIndexPath:", asId(), indexPath.get()));
            if (cell)
                addSubview(cell.get());
            section.cells.push_back(std::move(cell));
        }
        if (!CGRectIsEmpty(section.footerFrame)) {
            section.footer = footerView(sectionIndex);
            if (section.footer)
                addSubview(section.footer.get());
        }
    }
}

void UICollectionView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    if (!needsReload_ && bounds().size.width == laidOutWidth_)
        return;
    needsReload_ = false;
    laidOutWidth_ = bounds().size.width;
    recycleShownViews();
    layOutSections();
    loadViews();
}
