#include <Foundation/NSException.h>
#include <UIKit/UICollectionView.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A data source of `sections` sections of two 40-point items, answering the
// footer selectors only when asked to, as a class made at run time would.
class Source : public objc::Subclass<Source, NSObject> {
public:
    static Class classObject()
    {
        return objc::registeredClass<Source>("CollectionViewTestSource", [](Class c) {
            objc::addMethod(
                c, "numberOfSectionsInCollectionView:", +[](id self, SEL, id) {
                    return static_cast<Source*>(self)->sections;
                });
            objc::addMethod(
                c, "collectionView:numberOfItemsInSection:", +[](id, SEL, id, NSInteger) { return NSInteger { 2 }; });
            objc::addMethod(
                c, "collectionView:cellForItemAtIndexPath:", +[](id, SEL, id view, id path) -> id {
                    return autoreleased(static_cast<UICollectionView*>(view)->dequeueReusableCell(
                        NSString::string("cell").get(), static_cast<NSIndexPath*>(path)));
                });
        });
    }
    NSInteger sections = 2;
};

class FooterSource : public objc::Subclass<FooterSource, Source> {
public:
    static Class classObject()
    {
        return objc::registeredClass<FooterSource>("CollectionViewTestFooterSource", [](Class c) {
            objc::addMethod(
                c, "collectionView:layout:referenceSizeForFooterInSection:", +[](id, SEL, id, id, NSInteger section) {
                    return section == 1 ? CGSizeMake(320, 900) : CGSizeZero;
                });
            objc::addMethod(
                c, "collectionView:viewForSupplementaryElementOfKind:atIndexPath:",
                +[](id, SEL, id view, id kind, id path) -> id {
                    return autoreleased(static_cast<UICollectionView*>(view)->dequeueReusableSupplementaryView(
                        static_cast<NSString*>(kind), NSString::string("footer").get(),
                        static_cast<NSIndexPath*>(path)));
                });
        });
    }
};

Ref<UICollectionView> makeCollectionView(NSObject* source)
{
    auto layout = makeRef<UICollectionViewFlowLayout>();
    layout->setItemSize(CGSizeMake(300, 40));
    layout->setMinimumLineSpacing(8);
    auto view = makeRef<UICollectionView>(CGRectMake(0, 0, 320, 480), layout.get());
    view->registerClassForCell(UICollectionViewCell::classObject(), NSString::string("cell").get());
    view->setDataSource(source);
    view->setDelegate(source);
    return view;
}

} // namespace

TEST(CollectionView, LaysSectionsOutAndAsksForFootersOnlyWhereTheDelegateAnswers)
{
    auto plain = makeRef<Source>();
    auto view = makeCollectionView(plain.get());
    view->layoutIfNeeded();
    ASSERT_EQ(view->numberOfSections(), 2);
    EXPECT_EQ(
        view->cellForItemAtIndexPath(NSIndexPath::indexPathForRow(1, 1).get())->frame(), CGRectMake(0, 136, 300, 40));
    EXPECT_EQ(view->supplementaryViewForFooterInSection(1), nullptr);
    EXPECT_EQ(view->contentSize().height, 176);

    auto withFooter = makeRef<FooterSource>();
    auto tall = makeCollectionView(withFooter.get());
    tall->registerClassForSupplementaryView(UICollectionReusableView::classObject(),
        UICollectionElementKindSectionFooter(), NSString::string("footer").get());
    EXPECT_TRUE(objc_msgSend<BOOL>(
        tall.get(), "_hasRegisteredClassOrNibForSupplementaryViewOfKind:", UICollectionElementKindSectionFooter()));
    tall->layoutIfNeeded();
    EXPECT_EQ(tall->supplementaryViewForFooterInSection(0), nullptr);
    ASSERT_NE(tall->supplementaryViewForFooterInSection(1), nullptr);
    EXPECT_EQ(tall->supplementaryViewForFooterInSection(1)->frame(), CGRectMake(0, 176, 320, 900));
    EXPECT_EQ(tall->maximumContentOffset().y, 176 + 900 - 480) << "a footer taller than the view scrolls";
}

TEST(CollectionView, ReloadingHandsTheSameViewsOutAgain)
{
    auto source = makeRef<Source>();
    auto view = makeCollectionView(source.get());
    view->layoutIfNeeded();
    std::vector<Ref<UIView>> before(view->subviews().begin(), view->subviews().end());
    ASSERT_EQ(before.size(), 4u);
    source->sections = 1;
    view->reloadData();
    view->layoutIfNeeded();
    EXPECT_EQ(view->numberOfSections(), 1);
    ASSERT_EQ(view->subviews().size(), 2u) << "the other two cells wait in the pool";
    for (const Ref<UIView>& cell : view->subviews())
        EXPECT_NE(std::find(before.begin(), before.end(), cell), before.end()) << "a new cell was made";
}

TEST(CollectionView, DequeuingWhatNobodyRegisteredRaises)
{
    auto view = makeRef<UICollectionView>(CGRectMake(0, 0, 320, 480), nullptr);
    Ref<NSIndexPath> path = NSIndexPath::indexPathForRow(0, 0);
    EXPECT_FALSE(view->hasRegisteredClassOrNibForSupplementaryViewOfKind(UICollectionElementKindSectionFooter()));
    try {
        view->dequeueReusableSupplementaryView(
            UICollectionElementKindSectionFooter(), NSString::string("x").get(), path.get());
        FAIL() << "no exception";
    } catch (const NSException& exception) {
        EXPECT_EQ(exception.name(), NSInternalInconsistencyException);
        EXPECT_NE(exception.reason().find("UICollectionElementKindSectionFooter with identifier x"), std::string::npos);
    }
}
