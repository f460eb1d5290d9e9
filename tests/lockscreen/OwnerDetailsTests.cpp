#include "LockScreenFixture.h"

#include "listview/DGLTableViewCell.h"

#include <tweak/EventTablePlacement.h>

#include <UIKit/NSIndexPath.h>
#include <platform/Environment.h>

#include <utility>

namespace {

// One calendar, "Work", with one event in an hour that has a location; the
// extension's preferences as given.
class OwnerDetails : public LockScreen {
protected:
    void SetUp() override
    {
        LockScreen::SetUp();
        platform::pinCurrentTime(1800000000); // 2027-01-15 08:00 UTC
        root().writeText("/var/mobile/Library/Calendars/work/displayname", "Work");
        root().writeText("/var/mobile/Library/Calendars/work/review.ics",
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Tests//EN\r\nBEGIN:VEVENT\r\n"
            "UID:review@tests\r\nDTSTAMP:20270101T000000Z\r\nDTSTART:20270115T090000Z\r\n"
            "DTEND:20270115T100000Z\r\nSUMMARY:Salary review\r\nLOCATION:Room 4\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n");
        root().writeText("/private/var/mobile/Library/Preferences/com.apple.mobilecal.plist", plist(""));
    }

    void TearDown() override
    {
        LockScreen::TearDown();
        platform::pinCurrentTime(std::nullopt);
    }

    static std::string plist(const std::string& entries)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries
            + "</dict></plist>\n";
    }

    void loadPreferences(bool hideDetails)
    {
        root().writeText(preferencesFilePath,
            plist("<key>displayLocation</key><true/><key>hideDetailsWhileLocked</key>"
                + std::string(hideDetails ? "<true/>" : "<false/>")));
        ::loadPreferences();
    }

    // The first row's title and location as the table shows them.
    static std::pair<std::string, std::string> firstRow(UIView* table)
    {
        auto* eventTable = dynamicCast<DGLEventTable>(table);
        if (!eventTable)
            return {};
        eventTable->tableView()->layoutIfNeeded();
        auto* cell = dynamicCast<DGLTableViewCell>(
            eventTable->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0).get()));
        if (!cell)
            return {};
        auto text = [](UILabel* label) { return label->text() ? label->text()->UTF8String() : std::string(); };
        return { text(cell->lblEventName()), text(cell->lblEventLocation()) };
    }
};

const std::pair<std::string, std::string> details { "Salary review", "Room 4" };
const std::pair<std::string, std::string> hidden { "Work", "" };

} // namespace

TEST_F(OwnerDetails, WithTheOptionOffAuthenticatingChangesNothing)
{
    loadPreferences(false);
    springBoard().wake();
    Ref<UIView> table = ownPageTable();
    EXPECT_EQ(firstRow(table.get()), details);
    springBoard().authenticate();
    EXPECT_EQ(ownPageTable(), table.get()) << "no second table";
}

TEST_F(OwnerDetails, TheOwnPageShowsDetailsFromAuthenticationUntilTheScreenGoesDark)
{
    loadPreferences(true);
    springBoard().wake();
    Ref<UIView> locked = ownPageTable();
    EXPECT_EQ(firstRow(locked.get()), hidden);

    springBoard().authenticate();
    EXPECT_TRUE(springBoard().isAuthenticated());
    Ref<UIView> owner = ownPageTable();
    EXPECT_NE(owner, locked);
    EXPECT_EQ(owner->frame(), locked->frame());
    EXPECT_EQ(locked->superview(), nullptr);
    EXPECT_EQ(firstRow(owner.get()), details);

    springBoard().lock();
    springBoard().wake();
    EXPECT_FALSE(springBoard().isAuthenticated());
    EXPECT_EQ(firstRow(ownPageTable()), hidden);
}

TEST_F(OwnerDetails, TheFooterFollowsTheOwnerTooEvenOutOfSight)
{
    loadPreferences(true);
    springBoard().wake();
    springBoard().notify("Messages", "Anna", "Lunch at one?");
    Ref<DGLEventTable> locked(dglCollectionFooterEventTable);
    EXPECT_EQ(firstRow(locked.get()), hidden);

    springBoard().authenticate();
    ASSERT_NE(dglCollectionFooterEventTable, locked.get());
    EXPECT_EQ(dglCollectionFooterEventTable->superview(), dglCollectionFooterEventTableContainer);
    EXPECT_EQ(firstRow(dglCollectionFooterEventTable), details);
    EXPECT_EQ(pages()->count(), 0u) << "the list stays in the footer";

    // Unlocked and locked again: the footer table, out of sight meanwhile, hides
    // the details before a notification shows it again.
    springBoard().unlock();
    springBoard().lock();
    EXPECT_EQ(firstRow(dglCollectionFooterEventTable), hidden);
}
