// Reference counting through autorelease pools, associated objects and weak references.
#include "Widgets.h"

#include <objc/WeakRef.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

const char kPageKey = 0;
const char kOtherKey = 0;

} // namespace

TEST(AutoreleasePool, ReleasesItsObjectsWhenPopped)
{
    int live = 0;
    void* pool = objc_autoreleasePoolPush();
    Tracked* object = autoreleased(makeRef<Tracked>(&live));
    EXPECT_EQ(live, 1);
    EXPECT_EQ(object->retainCount(), 1);
    objc_autoreleasePoolPop(pool);
    EXPECT_EQ(live, 0);
}

TEST(AutoreleasePool, NestedPoolReleasesOnlyItsOwnObjects)
{
    int outerLive = 0;
    int innerLive = 0;
    AutoreleasePool outer;
    autoreleased(makeRef<Tracked>(&outerLive));
    {
        AutoreleasePool inner;
        autoreleased(makeRef<Tracked>(&innerLive));
        autoreleased(makeRef<Tracked>(&innerLive));
        EXPECT_EQ(innerLive, 2);
    }
    EXPECT_EQ(innerLive, 0);
    EXPECT_EQ(outerLive, 1);
}

TEST(AutoreleasePool, PoppingAnOuterPoolPopsThePoolsInsideIt)
{
    int live = 0;
    void* outer = objc_autoreleasePoolPush();
    autoreleased(makeRef<Tracked>(&live));
    void* inner = objc_autoreleasePoolPush();
    autoreleased(makeRef<Tracked>(&live));
    objc_autoreleasePoolPop(outer);
    EXPECT_EQ(live, 0);

    // The inner pool went with it: popping it again is harmless, and later
    // autoreleases go to whatever pool is open then.
    objc_autoreleasePoolPop(inner);
    AutoreleasePool next;
    autoreleased(makeRef<Tracked>(&live));
    EXPECT_EQ(live, 1);
}

TEST(AutoreleasePool, RetainedObjectOutlivesThePool)
{
    int live = 0;
    Ref<Tracked> kept;
    {
        AutoreleasePool pool;
        kept = autoreleased(makeRef<Tracked>(&live));
    }
    EXPECT_EQ(live, 1);
    EXPECT_EQ(kept->retainCount(), 1);
}

TEST(AssociatedObject, RetainNonatomicRetainsReplacesAndClears)
{
    auto owner = makeRef<Widget>();
    auto first = makeRef<Widget>();
    auto second = makeRef<Widget>();

    objc_setAssociatedObject(owner.get(), &kPageKey, first.get(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
    EXPECT_EQ(objc_getAssociatedObject(owner.get(), &kPageKey), first.get());
    EXPECT_EQ(first->retainCount(), 2);
    EXPECT_EQ(objc_getAssociatedObject(owner.get(), &kOtherKey), nullptr);

    objc_setAssociatedObject(owner.get(), &kPageKey, second.get(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
    EXPECT_EQ(objc_getAssociatedObject(owner.get(), &kPageKey), second.get());
    EXPECT_EQ(first->retainCount(), 1);
    EXPECT_EQ(second->retainCount(), 2);

    objc_setAssociatedObject(owner.get(), &kPageKey, nullptr, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
    EXPECT_EQ(objc_getAssociatedObject(owner.get(), &kPageKey), nullptr);
    EXPECT_EQ(second->retainCount(), 1);
}

TEST(AssociatedObject, ValueIsReleasedWhenTheOwnerDies)
{
    int live = 0;
    {
        auto owner = makeRef<Widget>();
        objc_setAssociatedObject(
            owner.get(), &kPageKey, makeRef<Tracked>(&live).get(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
        objc_setAssociatedObject(owner.get(), &kOtherKey, makeRef<Widget>().get(), OBJC_ASSOCIATION_RETAIN);
        EXPECT_EQ(live, 1);
    }
    EXPECT_EQ(live, 0);
}

TEST(AssociatedObject, AssignDoesNotRetain)
{
    auto owner = makeRef<Widget>();
    auto value = makeRef<Widget>();
    objc_setAssociatedObject(owner.get(), &kPageKey, value.get(), OBJC_ASSOCIATION_ASSIGN);
    EXPECT_EQ(objc_getAssociatedObject(owner.get(), &kPageKey), value.get());
    EXPECT_EQ(value->retainCount(), 1);
    objc_setAssociatedObject(owner.get(), &kPageKey, nullptr, OBJC_ASSOCIATION_ASSIGN);
    EXPECT_EQ(value->retainCount(), 1);
}

TEST(AssociatedObject, ValueThatOwnsItsOwnerBackIsFreedWithIt)
{
    // The owner's death releases the value, whose own associations then go too.
    int live = 0;
    {
        auto owner = makeRef<Widget>();
        auto value = makeRef<Widget>();
        objc_setAssociatedObject(
            value.get(), &kOtherKey, makeRef<Tracked>(&live).get(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
        objc_setAssociatedObject(owner.get(), &kPageKey, value.get(), OBJC_ASSOCIATION_RETAIN_NONATOMIC);
    }
    EXPECT_EQ(live, 0);
}

TEST(WeakReference, ReadsNilOnceTheTargetIsDeallocated)
{
    int live = 0;
    auto target = makeRef<Tracked>(&live);
    WeakRef<Tracked> weak = target.get();
    WeakRef<Tracked> copy = weak;
    id location = nullptr;
    objc_storeWeak(&location, target.get());

    EXPECT_EQ(weak.strong(), target);
    EXPECT_EQ(target->retainCount(), 1) << "a weak reference does not retain";
    target = nullptr;
    EXPECT_EQ(live, 0);
    EXPECT_FALSE(weak);
    EXPECT_EQ(copy.get(), nullptr);
    EXPECT_EQ(location, nullptr);
    EXPECT_EQ(objc_loadWeakRetained(&location), nullptr);
}

TEST(WeakReference, ReassignedOrDestroyedReferencesStopWatchingTheirTarget)
{
    int live = 0;
    auto first = makeRef<Tracked>(&live);
    auto second = makeRef<Tracked>(&live);
    WeakRef<Tracked> weak = first.get();
    {
        WeakRef<Tracked> shortLived = first.get();
    }
    weak = second.get();
    first = nullptr;
    EXPECT_EQ(weak.get(), second.get());
    weak = nullptr;
    second = nullptr;
    EXPECT_EQ(live, 0);
}

TEST(WeakReference, LoadsRacingTheLastReleaseSeeALiveObjectOrNil)
{
    for (int round = 0; round < 200; ++round) {
        int live = 0;
        auto target = makeRef<Tracked>(&live);
        WeakRef<Tracked> weak = target.get();
        std::thread reader([&] {
            while (weak.strong()) { }
        });
        target = nullptr;
        reader.join();
        EXPECT_EQ(live, 0);
        EXPECT_FALSE(weak);
    }
}
