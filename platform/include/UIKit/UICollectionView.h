// UICollectionView: a scrolling list of sections of cells, each section with an
// optional footer, laid out by a flow layout.
//
// Like UIKit it asks its data source and delegate by selector, through the
// runtime, so that methods a library adds to them at run time are found:
// "numberOfSectionsInCollectionView:", "collectionView:numberOfItemsInSection:"
// and "collectionView:cellForItemAtIndexPath:" of the data source; where they
// answer them, "collectionView:layout:sizeForItemAtIndexPath:" and
// "collectionView:layout:referenceSizeForFooterInSection:" of the delegate and
// "collectionView:viewForSupplementaryElementOfKind:atIndexPath:" of the data
// source. Cells and footers come from reuse pools: a view handed out goes back to
// its pool when the data is reloaded, and is handed out again before a new one is
// made from the class registered for its kind and identifier.
#pragma once

#include <Foundation/NSString.h>
#include <UIKit/NSIndexPath.h>
#include <UIKit/UICollectionReusableView.h>
#include <UIKit/UICollectionViewCell.h>
#include <UIKit/UICollectionViewFlowLayout.h>
#include <UIKit/UIScrollView.h>
#include <objc/WeakRef.h>
#include <platform/Export.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// The kinds of supplementary views: "UICollectionElementKindSectionFooter" and the header's.
PLATFORM_EXPORT NSString* UICollectionElementKindSectionFooter();
PLATFORM_EXPORT NSString* UICollectionElementKindSectionHeader();

class PLATFORM_EXPORT UICollectionView : public objc::Subclass<UICollectionView, UIScrollView> {
public:
    static Class classObject();

    // initWithFrame:collectionViewLayout:
    explicit UICollectionView(CGRect frame = CGRectZero, UICollectionViewFlowLayout* layout = nullptr);

    UICollectionViewFlowLayout* collectionViewLayout() const { return layout_.get(); }

    // Weak, as in UIKit: the owner of the collection view is usually both.
    NSObject* dataSource() const { return dataSource_.get(); }
    void setDataSource(NSObject* dataSource);
    NSObject* delegate() const { return delegate_.get(); }
    void setDelegate(NSObject* delegate);

    void registerClassForCell(Class cls, const NSString* identifier);
    // A nil class takes the registration back.
    void registerClassForSupplementaryView(Class cls, const NSString* kind, const NSString* identifier);
    bool hasRegisteredClassOrNibForSupplementaryViewOfKind(const NSString* kind) const;
    // From the pool, else new of the registered class. Raises NSInternalInconsistencyException
    // when nothing is registered for the kind and identifier.
    Ref<UICollectionViewCell> dequeueReusableCell(const NSString* identifier, const NSIndexPath* indexPath);
    Ref<UICollectionReusableView> dequeueReusableSupplementaryView(
        const NSString* kind, const NSString* identifier, const NSIndexPath* indexPath);

    // Forgets what is shown; the next layout pass asks the data source again.
    void reloadData();
    NSInteger numberOfSections() const { return static_cast<NSInteger>(sections_.size()); }
    NSInteger numberOfItemsInSection(NSInteger section) const;
    // What the last layout pass shows; null when it shows none there.
    UICollectionViewCell* cellForItemAtIndexPath(const NSIndexPath* indexPath) const;
    UICollectionReusableView* supplementaryViewForFooterInSection(NSInteger section) const;

    void layoutSubviews() override;

private:
    // Where the layout puts a section's items and footer (an empty footer frame:
    // no footer), and the views shown there.
    struct Section {
        std::vector<CGRect> itemFrames;
        CGRect footerFrame;
        std::vector<Ref<UICollectionViewCell>> cells;
        Ref<UICollectionReusableView> footer;
    };
    using ReuseKey = std::pair<std::string, std::string>;

    // The receiver as the runtime passes it to the data source and delegate.
    id asId() const { return const_cast<UICollectionView*>(this); }
    void recycleShownViews();
    void layOutSections();
    void loadViews();
    // A view handed out already stands where the layout puts it, as in UIKit.
    Ref<UICollectionReusableView> dequeue(const ReuseKey& key, const NSIndexPath* indexPath);
    Ref<UICollectionReusableView> reusedOrNew(const ReuseKey& key);
    CGRect layoutFrame(const std::string& kind, const NSIndexPath* indexPath) const;
    CGSize itemSize(NSIndexPath* indexPath) const;
    CGSize footerSize(NSInteger section) const;
    Ref<UICollectionReusableView> footerView(NSInteger section) const;

    Ref<UICollectionViewFlowLayout> layout_;
    WeakRef<NSObject> dataSource_;
    WeakRef<NSObject> delegate_;
    std::map<ReuseKey, Class> registrations_;
    std::map<ReuseKey, std::vector<Ref<UICollectionReusableView>>> pools_;
    std::vector<Section> sections_;
    bool needsReload_ = true;
    CGFloat laidOutWidth_ = -1;
};
