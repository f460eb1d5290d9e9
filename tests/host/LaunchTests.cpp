// Applications opened by URL and by activation, on an unlocked and on a locked
// device, as a session drives SpringBoard.
#include <host/Device.h>
#include <host/SBApplicationController.h>
#include <host/SBUIController.h>

#include <EventKit/EKEventStore.h>
#include <Foundation/NSValue.h>
#include <MobileCoreServices/LSApplicationWorkspace.h>
#include <UIKit/UIApplication.h>
#include <dispatch/dispatch.h>
#include <objc/message.h>

#include <TempDeviceRoot.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

using host::LaunchReport;

std::string infoPlist(const std::string& identifier, const std::string& name, const std::string& scheme = {})
{
    const std::string types = scheme.empty() ? std::string()
                                             : "<key>CFBundleURLTypes</key><array><dict><key>CFBundleURLSchemes</key>"
                                               "<array><string>"
            + scheme + "</string></array></dict></array>";
    return "<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>" + identifier
        + "</string><key>CFBundleDisplayName</key><string>" + name + "</string>" + types + "</dict></plist>";
}

// A weekly meeting at 14:00 in Berlin; its UID holds a ":" as some servers write them.
const std::string teamSync
    = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\n"
      "UID:sync:42@example\r\nDTSTAMP:20261101T000000Z\r\n"
      "DTSTART;TZID=Europe/Berlin:20261201T140000\r\nDTEND;TZID=Europe/Berlin:20261201T143000\r\n"
      "RRULE:FREQ=WEEKLY\r\nSUMMARY:Team sync\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

// 2026-12-08 10:00 UTC, a Tuesday.
constexpr double now = 1796724000;

class Launches : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_.writeText(
            "/Applications/MobileCal.app/Info.plist", infoPlist("com.apple.mobilecal", "Calendar", "x-apple-calevent"));
        root_.writeText(
            "/Applications/Daybook.app/Info.plist", infoPlist("com.example.daybook", "Daybook", "Fantastical2"));
        root_.writeText("/Applications/Notes.app/Info.plist", infoPlist("com.example.notes", "Notes"));
        root_.writeText("/var/mobile/Library/Calendars/work/sync.ics", teamSync);
    }

    void TearDown() override
    {
        device_.reset();
        platform::pinCurrentTime(std::nullopt);
        platform::setCurrentTimeZoneIdentifier(previousZone_);
        platform::setCurrentLocaleIdentifier(previousLocale_);
    }

    host::SpringBoard& boot(const std::string& passcode = {})
    {
        if (!passcode.empty())
            root_.writeText("/var/mobile/Library/Preferences/com.apple.springboard.plist",
                "<plist version=\"1.0\"><dict><key>DevicePasscode</key><string>" + passcode
                    + "</string></dict></plist>");
        device_ = std::make_unique<host::Device>(host::Device::boot(
            { .root = root_.path().string(), .now = now, .timeZone = "Europe/Berlin", .locale = "en_GB" }));
        host::SpringBoard& springBoard = device_->springBoard();
        springBoard.setLaunchObserver([this](const LaunchReport& report) { reports_.push_back(report); });
        springBoard.wake();
        return springBoard;
    }

    static bool open(const std::string& url, bool unlockOptions = false)
    {
        Ref<NSDictionary> options = unlockOptions
            ? NSDictionary::dictionary({ { "__PromptUnlockDevice"_ns, NSNumber::numberWithInteger(1) },
                { "__UnlockDevice"_ns, NSNumber::numberWithInteger(1) } })
            : nullptr;
        return objc_msgSend<BOOL>(LSApplicationWorkspace::defaultWorkspace(),
            "openURL:withOptions:", NSURL::URLWithString(url).get(), options.get());
    }

    // The link the lock screen builds for the occurrence of the meeting on `day` of December 2026.
    static std::string linkToTeamSync(int day)
    {
        auto store = makeRef<EKEventStore>();
        const double start = now + (day - 8) * 86400.0;
        Ref<NSArray> events = store->eventsMatchingPredicate(
            store
                ->predicateForEventsWithStartDate(NSDate::dateWithTimeIntervalSince1970(start).get(),
                    NSDate::dateWithTimeIntervalSince1970(start + 86400).get(), nullptr)
                .get());
        auto* event = static_cast<EKEvent*>(events->objectAtIndex(0));
        std::string identifier = event->eventIdentifier()->UTF8String();
        std::replace(identifier.begin(), identifier.end(), ':', '/');
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", event->startDate()->timeIntervalSinceReferenceDate());
        return "x-apple-calevent://" + identifier + "?o=" + seconds;
    }

    std::vector<std::string> launchedApplications() const
    {
        std::vector<std::string> launched;
        for (const LaunchReport& report : reports_)
            if (report.kind == LaunchReport::Kind::ApplicationLaunched)
                launched.push_back(report.application);
        return launched;
    }

    testing_support::TempDeviceRoot root_;
    std::string previousZone_ = platform::currentTimeZoneIdentifier();
    std::string previousLocale_ = platform::currentLocaleIdentifier();
    std::unique_ptr<host::Device> device_;
    std::vector<LaunchReport> reports_;
};

} // namespace

TEST_F(Launches, AURLOpensTheApplicationThatRegisteredItsSchemeAndNothingElse)
{
    host::SpringBoard& springBoard = boot();
    springBoard.unlock();

    bool opened = true;
    std::thread([&] { opened = open("unknown://x"); }).join();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(
        UIApplication::sharedApplication()->openURL(NSURL::URLWithString("fantastical2://show?date=2026-12-8").get()));
    EXPECT_TRUE(springBoard.foregroundApplication() == std::nullopt) << "the launch waits for the main run loop";
    dispatch_drain_queues();

    ASSERT_TRUE(springBoard.foregroundApplication());
    EXPECT_EQ(springBoard.foregroundApplication()->bundleIdentifier, "com.example.daybook");
    EXPECT_EQ(springBoard.foregroundApplication()->shows, "fantastical2://show?date=2026-12-8");
    ASSERT_EQ(reports_.size(), 3u);
    EXPECT_EQ(reports_[0].kind, LaunchReport::Kind::URLOpened);
    EXPECT_EQ(reports_[0].application, "");
    EXPECT_EQ(reports_[0].thread, "a thread of its own");
    EXPECT_EQ(reports_[1].thread, "main");
    EXPECT_EQ(reports_[1].application, "com.example.daybook");
    EXPECT_EQ(launchedApplications(), std::vector<std::string> { "com.example.daybook" });
    const auto lines = platform::loggedLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "SpringBoard: no application opens unknown://x"), lines.end());

    objc_msgSend<void>(SBUIController::sharedInstance(), "activateApplicationAnimated:", static_cast<id>(nullptr));
    EXPECT_EQ(springBoard.foregroundApplication()->bundleIdentifier, "com.example.daybook");
    EXPECT_EQ(platform::loggedLines().back(), "SpringBoard: asked to activate no application, nothing opens");
}

TEST_F(Launches, TheCalendarShowsTheLinkedOccurrenceOrElseToday)
{
    host::SpringBoard& springBoard = boot();
    springBoard.unlock();
    const std::string link = linkToTeamSync(15);
    const auto shownFor = [&](const std::string& url) {
        open(url);
        dispatch_drain_queues();
        return springBoard.foregroundApplication()->shows;
    };

    EXPECT_EQ(shownFor(link), "Team sync, Tue 15 Dec 2026 at 14:00 Europe/Berlin");
    EXPECT_EQ(shownFor(linkToTeamSync(8)), "Team sync, Tue 8 Dec 2026 at 14:00 Europe/Berlin");
    const std::string otherHour = link.substr(0, link.find("?o=") + 3) + "820000000.0";
    const std::string unknownEvent = "x-apple-calevent://NOPE/x" + link.substr(link.find('?'));
    for (const std::string& url : { otherHour, unknownEvent, std::string("x-apple-calevent://broken") })
        EXPECT_EQ(shownFor(url), "Today, Tue 8 Dec 2026") << url;
}

TEST_F(Launches, OnALockedDeviceNothingOpensBeforeTheRightPasscodeThenExactlyOnce)
{
    host::SpringBoard& springBoard = boot("1234");
    const std::string link = linkToTeamSync(15);
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] { open(link, true); });
    dispatch_drain_queues();

    EXPECT_TRUE(springBoard.isPasscodePromptShown());
    EXPECT_TRUE(springBoard.isLocked());
    EXPECT_EQ(springBoard.pendingLaunch(), "com.apple.mobilecal with " + link);
    EXPECT_FALSE(springBoard.enterPasscode("0000"));
    EXPECT_TRUE(springBoard.isPasscodePromptShown());
    EXPECT_TRUE(launchedApplications().empty());

    EXPECT_TRUE(springBoard.enterPasscode("1234"));
    EXPECT_FALSE(springBoard.isLocked());
    EXPECT_FALSE(springBoard.isPasscodePromptShown());
    EXPECT_FALSE(springBoard.pendingLaunch());
    EXPECT_FALSE(springBoard.enterPasscode("1234"));
    springBoard.unlock();
    dispatch_drain_queues();
    EXPECT_EQ(launchedApplications(), std::vector<std::string> { "com.apple.mobilecal" });
    ASSERT_EQ(reports_.size(), 2u);
    EXPECT_EQ(reports_[0].thread, "com.apple.root.default-qos");
    EXPECT_TRUE(reports_[0].asksToUnlock);
    EXPECT_EQ(reports_[1].thread, "main");
    EXPECT_EQ(reports_[1].shows, "Team sync, Tue 15 Dec 2026 at 14:00 Europe/Berlin");
}

TEST_F(Launches, ACancelledPromptOrALockDropsThePendingLaunch)
{
    host::SpringBoard& springBoard = boot("1234");
    SBApplication* notes
        = SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier("com.example.notes");
    objc_msgSend<void>(SBUIController::sharedInstance(), "activateApplicationAnimated:", notes);
    EXPECT_TRUE(springBoard.isPasscodePromptShown());
    EXPECT_EQ(springBoard.pendingLaunch(), "com.example.notes");
    springBoard.cancelPasscodePrompt();
    EXPECT_FALSE(springBoard.isPasscodePromptShown());
    EXPECT_FALSE(springBoard.pendingLaunch());

    open("fantastical2://show?date=2026-12-8");
    dispatch_drain_queues();
    EXPECT_TRUE(springBoard.pendingLaunch());
    springBoard.lock();
    EXPECT_FALSE(springBoard.pendingLaunch());
    springBoard.wake();
    EXPECT_TRUE(springBoard.enterPasscode("1234"));
    EXPECT_TRUE(launchedApplications().empty());
    EXPECT_FALSE(springBoard.foregroundApplication());
}

TEST_F(Launches, WithoutAPasscodeALaunchUnlocksAndOpensAtOnce)
{
    host::SpringBoard& springBoard = boot();
    open(linkToTeamSync(8), true);
    dispatch_drain_queues();
    EXPECT_FALSE(springBoard.isLocked());
    EXPECT_FALSE(springBoard.isPasscodePromptShown());
    EXPECT_EQ(launchedApplications(), std::vector<std::string> { "com.apple.mobilecal" });

    // Typing a code into a device that has none shows no prompt: it unlocks.
    springBoard.lock();
    EXPECT_TRUE(springBoard.enterPasscode("1234"));
    EXPECT_FALSE(springBoard.isLocked());
    EXPECT_FALSE(springBoard.isPasscodePromptShown());
}
