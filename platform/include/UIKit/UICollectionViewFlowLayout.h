// UICollectionViewFlowLayout: a vertical flow of one item per line. Each section
// is its inset, its items one under the other, then its footer. The collection
// view asks its delegate for an item's size and a footer's size where the
// delegate answers the flow-layout selectors, else takes the layout's own.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <objc/runtime.h>
#include <platform/Export.h>

struct UIEdgeInsets {
    CGFloat top = 0;
    CGFloat left = 0;
    CGFloat bottom = 0;
    CGFloat right = 0;
};

class PLATFORM_EXPORT UICollectionViewFlowLayout : public objc::Subclass<UICollectionViewFlowLayout, NSObject> {
public:
    static Class classObject();

    CGSize itemSize() const { return itemSize_; }
    void setItemSize(CGSize size) { itemSize_ = size; }
    CGFloat minimumLineSpacing() const { return minimumLineSpacing_; }
    void setMinimumLineSpacing(CGFloat spacing) { minimumLineSpacing_ = spacing; }
    UIEdgeInsets sectionInset() const { return sectionInset_; }
    void setSectionInset(UIEdgeInsets inset) { sectionInset_ = inset; }
    CGSize footerReferenceSize() const { return footerReferenceSize_; }
    void setFooterReferenceSize(CGSize size) { footerReferenceSize_ = size; }

private:
    CGSize itemSize_ { 50, 50 };
    CGFloat minimumLineSpacing_ = 10;
    UIEdgeInsets sectionInset_;
    CGSize footerReferenceSize_;
};
