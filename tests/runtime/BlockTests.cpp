// Blocks as objects: passed through a message, checked for their signature, and
// freed with what they captured once the last holder lets go.
#include "Widgets.h"

#include <RuntimeGuards.h>
#include <objc/Block.h>
#include <objc/message.h>

#include <gtest/gtest.h>

namespace {

const char completionKey = 0;

// Keeps the completion it is given and calls it with YES, as an animation would.
void finishWith(id self, SEL, id completion)
{
    objc_setAssociatedObject(self, &completionKey, completion, OBJC_ASSOCIATION_COPY_NONATOMIC);
    if (auto* block = Block<void(BOOL)>::from(completion))
        (*block)(YES);
}

} // namespace

TEST(Block, TravelsThroughAMessageAndIsReleasedWithItsHolder)
{
    Class cls = objc_allocateClassPair(
        Widget::classObject(), testing_support::uniqueClassName("RTAnimatedWidget").c_str(), 0);
    objc_registerClassPair(cls);
    objc::addMethod(cls, "finishWith:", &finishWith);
    Ref<NSObject> widget = Ref<NSObject>::adopt(class_createInstance(cls, 0));

    int live = 0;
    std::vector<BOOL> answers;
    {
        auto captured = makeRef<Tracked>(&live);
        auto completion = makeBlock<void(BOOL)>([captured, &answers](BOOL finished) { answers.push_back(finished); });
        objc_msgSend(widget.get(), "finishWith:", completion.get());
    }
    EXPECT_EQ(answers, std::vector<BOOL> { YES });
    // The widget still holds the block, and the block what it captured.
    EXPECT_EQ(live, 1);
    widget = nullptr;
    EXPECT_EQ(live, 0);
}

TEST(Block, OfAnotherSignatureIsNotTakenForThisOne)
{
    auto plain = makeBlock<void()>([] {});
    EXPECT_EQ(Block<void(BOOL)>::from(plain.get()), nullptr);
    EXPECT_EQ(Block<void()>::from(plain.get()), plain.get());
    EXPECT_EQ(Block<void()>::from(makeRef<Widget>().get()), nullptr);
    EXPECT_TRUE(plain->isKindOfClass(objc_getClass("NSBlock")));
}
