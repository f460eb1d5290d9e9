#include "LockScreenFixture.h"

#include <host/NCNotificationRequest.h>
#include <tweak/DGLCollectionFooterView.h>
#include <tweak/EventTablePlacement.h>

#include <platform/Log.h>

namespace {

class Footer : public LockScreen {
protected:
    // The footer size the list's delegate answers for a section of this collection view.
    CGSize footerSize(UICollectionView* view, NSInteger section)
    {
        return objc_msgSend<CGSize>(list(), "collectionView:layout:referenceSizeForFooterInSection:", view,
            view->collectionViewLayout(), section);
    }
    id footerView(UICollectionView* view, NSString* kind, NSInteger section = 0)
    {
        Ref<NSIndexPath> path = NSIndexPath::indexPathForRow(0, section);
        return objc_msgSend<id>(
            list(), "collectionView:viewForSupplementaryElementOfKind:atIndexPath:", view, kind, path.get());
    }
    void addRequests(int count)
    {
        for (int i = 0; i < count; ++i)
            list()->addNotificationRequest(makeRef<NCNotificationRequest>(
                NSString::string("Mail"), NSString::string("Subject"), NSString::string("Body"), 0)
                                               .get());
    }

    // What the footer method hands out is autoreleased.
    AutoreleasePool pool_;
};

} // namespace

TEST_F(Footer, OnlyTheLastOfThreeSectionsHasAFooterAndNoneOfZero)
{
    const CGFloat width = collectionView()->frame().size.width;
    EXPECT_EQ(footerSize(collectionView(), 0), CGSizeZero);
    addRequests(3);
    EXPECT_EQ(footerSize(collectionView(), 0), CGSizeZero);
    EXPECT_EQ(footerSize(collectionView(), 1), CGSizeZero);
    platform::clearLog();
    EXPECT_EQ(footerSize(collectionView(), 2), CGSizeMake(width, 400)) << "no table built yet";
    const auto lines = platform::loggedLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(
        lines[0].rfind("DGL2: referenceSizeForFooterInSection. self=<NCNotificationPriorityListViewController", 0), 0u);
    EXPECT_EQ(lines[1], "DGL2:_hasRegisteredClassOrNibForSupplementaryViewOfKind=true. section = 2, numOFSections=3");
    dglEventTableHeight = -5;
    EXPECT_EQ(footerSize(collectionView(), 2), CGSizeMake(width, 400));
    dglEventTableHeight = 450;
    EXPECT_EQ(footerSize(collectionView(), 2), CGSizeMake(width, 450));
}

TEST_F(Footer, ACollectionViewWithoutTheFooterClassGetsNoFooter)
{
    addRequests(2);
    auto unregistered = makeRef<UICollectionView>(CGRectMake(0, 0, 375, 600), nullptr);
    // A nil class takes the registration back, as in UIKit.
    list()->collectionView()->registerClassForSupplementaryView(
        nullptr, UICollectionElementKindSectionFooter(), DGLCollectionFooterView::reuseIdentifier());
    EXPECT_EQ(footerSize(unregistered.get(), 0), CGSizeZero);
    EXPECT_EQ(footerSize(unregistered.get(), 1), CGSizeZero);

    platform::clearLog();
    EXPECT_EQ(footerView(unregistered.get(), UICollectionElementKindSectionFooter()), nullptr);
    const auto lines = platform::loggedLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2].rfind("DGL2: exception when dequeuing footer: could not dequeue a view of kind: "
                             "UICollectionElementKindSectionFooter with identifier DGLCollectionFooterView",
                  0),
        0u);
    EXPECT_EQ(dglCollectionFooterEventTableContainer->superview(), nullptr);
}

TEST_F(Footer, TheContainerMovesToTheLatestFooterAndKeepsTheHeightItWasMadeWith)
{
    platform::clearLog();
    UIView* first = dynamicCast<UIView>(footerView(collectionView(), UICollectionElementKindSectionFooter()));
    ASSERT_NE(first, nullptr);
    const auto lines = platform::loggedLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "DGL2: viewForSupplementaryElementOfKind: UICollectionElementKindSectionFooter");
    EXPECT_EQ(lines[1], "DGL2: UICollectionElementKindSectionFooter");
    EXPECT_EQ(lines[2], "DGL2: creating container with height 400.000000");
    EXPECT_EQ(lines[3].rfind("DGL2: reusableview=<DGLCollectionFooterView", 0), 0u);
    EXPECT_NE(lines[3].find(", dglCollectionFooterEventTableContainer=<UIView: frame = (0 8; "), std::string::npos);
    UIView* container = dglCollectionFooterEventTableContainer;
    EXPECT_EQ(container->frame(), CGRectMake(0, 8, collectionView()->frame().size.width, 400));
    EXPECT_EQ(container->autoresizingMask(), 18u);
    EXPECT_TRUE(container->subviews().empty());

    Ref<DGLEventTable> built = createEventTable(CGRectMake(0, 0, 375, 520));
    UIView* second = dynamicCast<UIView>(footerView(collectionView(), UICollectionElementKindSectionFooter()));
    ASSERT_NE(second, first);
    EXPECT_EQ(container->superview(), second);
    EXPECT_TRUE(first->subviews().empty());
    EXPECT_EQ(container->frame().size.height, 400) << "made before the 520-point build";

    dglCollectionFooterEventTableContainer = nullptr;
    footerView(collectionView(), UICollectionElementKindSectionFooter());
    EXPECT_EQ(dglCollectionFooterEventTableContainer->frame().size.height, 450);
}

TEST_F(Footer, OtherKindsGetNothing)
{
    platform::clearLog();
    EXPECT_EQ(footerView(collectionView(), UICollectionElementKindSectionHeader()), nullptr);
    EXPECT_EQ(platform::loggedLines(),
        std::vector<std::string> { "DGL2: viewForSupplementaryElementOfKind: UICollectionElementKindSectionHeader" });
    EXPECT_EQ(dglCollectionFooterEventTableContainer, nullptr);
}

// The footer is taller than the screen: the list scrolls to show all of it.
TEST_F(Footer, ATallFooterScrollsWithTheList)
{
    list()->setSuggestedListViewFrame(CGRectMake(0, 188, 375, 1200));
    springBoard().wake();
    springBoard().notify("Messages", "Anna", "Lunch?");
    UICollectionReusableView* footer = lastFooter();
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->frame().size.height, 1130);
    EXPECT_GT(collectionView()->contentSize().height, collectionView()->bounds().size.height);
    EXPECT_GE(collectionView()->maximumContentOffset().y,
        CGRectGetMaxY(footer->frame()) - collectionView()->bounds().size.height);
}

TEST(FooterView, ItsTableIsAStrongPropertyReachedBySelector)
{
    const Ref<NSObject> footer = Ref<NSObject>::adopt(class_createInstance(DGLCollectionFooterView::classObject(), 0));
    const auto table = makeRef<DGLEventTable>(CGRectMake(0, 0, 300, 300));
    objc_msgSend<void>(footer.get(), "setDglEventTable:", table.get());
    EXPECT_EQ(objc_msgSend<id>(footer.get(), "dglEventTable"), table.get());
    EXPECT_EQ(static_cast<DGLCollectionFooterView*>(footer.get())->dglEventTable(), table.get());
    EXPECT_EQ(table->retainCount(), 2);
    objc_msgSend<void>(footer.get(), "setDglEventTable:", static_cast<id>(nullptr));
    EXPECT_EQ(table->retainCount(), 1);
}
