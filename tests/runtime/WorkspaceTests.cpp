// The system workspace as the extension reaches it: by class name and selectors only.
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>
#include <Foundation/NSValue.h>
#include <MobileCoreServices/LSApplicationWorkspace.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <thread>

TEST(Workspace, SharedInstanceRecordsEachOpenRequestAndAnswersNo)
{
    Class cls = objc_getClass("LSApplicationWorkspace");
    ASSERT_NE(cls, nullptr);
    id workspace = objc_msgSend<id>(cls, "defaultWorkspace");
    ASSERT_NE(workspace, nullptr);
    EXPECT_EQ(objc_msgSend<id>(cls, "defaultWorkspace"), workspace);
    auto* shared = dynamicCast<LSApplicationWorkspace>(workspace);
    ASSERT_NE(shared, nullptr);
    shared->clearOpenRequests();

    Ref<NSURL> url = NSURL::URLWithString("calshow:730000000");
    Ref<NSDictionary> options = NSDictionary::dictionary({ { "__UnlockDevice"_ns, NSNumber::numberWithBool(true) } });
    BOOL answer = YES;
    std::thread::id caller;
    std::thread([&] {
        caller = std::this_thread::get_id();
        answer = objc_msgSend<BOOL>(workspace, "openURL:withOptions:", url.get(), options.get());
    }).join();
    objc_msgSend<BOOL>(workspace, "openURL:withOptions:", url.get(), static_cast<id>(nullptr));

    EXPECT_FALSE(answer);
    const auto requests = shared->openRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].url, url);
    EXPECT_EQ(requests[0].options, options);
    EXPECT_EQ(requests[0].thread, caller);
    EXPECT_EQ(requests[1].options, nullptr);
    EXPECT_EQ(requests[1].thread, std::this_thread::get_id());
    shared->clearOpenRequests();
}

TEST(Workspace, KeepsOnlyTheNewestRequests)
{
    LSApplicationWorkspace* shared = LSApplicationWorkspace::defaultWorkspace();
    shared->clearOpenRequests();
    for (std::size_t round = 0; round <= LSApplicationWorkspace::keptRequests; ++round)
        shared->openURLWithOptions(NSURL::URLWithString("calshow:" + std::to_string(round)).get(), nullptr);
    const auto requests = shared->openRequests();
    ASSERT_EQ(requests.size(), LSApplicationWorkspace::keptRequests);
    EXPECT_EQ(requests.front().url->absoluteString()->UTF8String(), "calshow:1");
    shared->clearOpenRequests();
}
