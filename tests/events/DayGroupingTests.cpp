#include "LocalTime.h"
#include "PinnedHost.h"

#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <UIKit/UIImage.h>
#include <objc/runtime.h>

#include <gtest/gtest.h>

#include <vector>

using dates_testing::PinnedHost;
using events_testing::LocalDay;
using events_testing::localTime;

namespace {

Ref<NSMutableArray> recordsStartingAt(const std::vector<Ref<NSDate>>& starts)
{
    auto records = NSMutableArray::array();
    for (const Ref<NSDate>& start : starts) {
        auto record = makeRef<DGLEKEVent>();
        record->setStartDate(start.get());
        record->setEndDate(start->dateByAddingTimeInterval(3600).get());
        records->addObject(record.get());
    }
    return records;
}

Ref<DGLEventTable> groupingTable()
{
    auto table = makeRef<DGLEventTable>();
    table->setGroupByDays(true);
    return table;
}

NSMutableArray* sectionHeaders(const DGLEventTable* table)
{
    Ivar ivar = class_getInstanceVariable(object_getClass(table), "sectionHeaders");
    return static_cast<NSMutableArray*>(object_getIvar(const_cast<DGLEventTable*>(table), ivar));
}

std::vector<std::size_t> sectionSizes(const NSArray& sections)
{
    std::vector<std::size_t> sizes;
    for (const Ref<NSObject>& section : sections)
        sizes.push_back(dynamicCast<NSArray>(section.get())->count());
    return sizes;
}

std::string headerTitle(const DGLEventTable* table, NSUInteger section)
{
    const auto* header = dynamicCast<NSDictionary>(sectionHeaders(table)->objectAtIndex(section));
    return dynamicCast<NSString>(header->objectForKey("title"))->UTF8String();
}

struct DayTitles {
    const char* locale;
    const char* today;
    const char* tomorrow;
    const char* inFourDays;
};

const DayTitles dayTitles[] = {
    { "en_US", "Today", "Tomorrow", "Monday, March 9" },
    { "en_GB", "Today", "Tomorrow", "Monday, 9 March" },
    { "de_DE", "Heute", "Morgen", "Montag, 9. März" },
    { "ja_JP", "今日", "明日", "3月9日月曜日" },
};

} // namespace

class DayGrouping : public testing::TestWithParam<DayTitles> { };

// Thursday 5 March 2026, 08:00 in Berlin: two records today, one tomorrow, one on
// Monday.
TEST_P(DayGrouping, MakesOneSectionAndHeaderPerDay)
{
    const DayTitles& titles = GetParam();
    const char* zone = "Europe/Berlin";
    PinnedHost host(titles.locale, zone, localTime(zone, { 2026, 3, 5 }, 8, 0).get());
    const auto records
        = recordsStartingAt({ localTime(zone, { 2026, 3, 5 }, 9, 0), localTime(zone, { 2026, 3, 5 }, 18, 0),
            localTime(zone, { 2026, 3, 6 }, 8, 0), localTime(zone, { 2026, 3, 9 }, 10, 0) });
    const auto table = groupingTable();

    const Ref<NSArray> sections = table->groupByDays(records.get());
    EXPECT_EQ(sectionSizes(*sections), (std::vector<std::size_t> { 2, 1, 1 }));
    const auto* firstDay = dynamicCast<NSArray>(sections->objectAtIndex(0));
    EXPECT_FALSE(firstDay->isKindOfClass(NSMutableArray::classObject()));
    EXPECT_EQ(firstDay->objectAtIndex(0), records->objectAtIndex(0));
    EXPECT_EQ(firstDay->objectAtIndex(1), records->objectAtIndex(1));

    ASSERT_EQ(sectionHeaders(table.get())->count(), 3u);
    EXPECT_EQ(headerTitle(table.get(), 0), titles.today);
    EXPECT_EQ(headerTitle(table.get(), 1), titles.tomorrow);
    EXPECT_EQ(headerTitle(table.get(), 2), titles.inFourDays);
    const auto* header = dynamicCast<NSDictionary>(sectionHeaders(table.get())->objectAtIndex(2));
    EXPECT_EQ(header->count(), 2u);
    EXPECT_FALSE(header->isKindOfClass(NSMutableDictionary::classObject()));
    const auto* icon = dynamicCast<UIImage>(header->objectForKey("icon"));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), CGSizeMake(64, 64));
}

INSTANTIATE_TEST_SUITE_P(Locales, DayGrouping, testing::ValuesIn(dayTitles),
    [](const testing::TestParamInfo<DayTitles>& param) { return std::string(param.param.locale); });

TEST(DayGroupingHeaders, AreReplacedByEachGroupedLoad)
{
    const char* zone = "Europe/Berlin";
    PinnedHost host("en_GB", zone, localTime(zone, { 2026, 3, 5 }, 8, 0).get());
    const auto table = groupingTable();
    table->groupByDays(
        recordsStartingAt({ localTime(zone, { 2026, 3, 5 }, 9, 0), localTime(zone, { 2026, 3, 6 }, 9, 0) }).get());
    const NSMutableArray* first = sectionHeaders(table.get());

    // A record that began yesterday and is still running is listed under its
    // start day.
    table->groupByDays(recordsStartingAt({ localTime(zone, { 2026, 3, 4 }, 22, 0) }).get());
    ASSERT_NE(sectionHeaders(table.get()), first);
    ASSERT_EQ(sectionHeaders(table.get())->count(), 1u);
    EXPECT_EQ(headerTitle(table.get(), 0), "Yesterday");
}

TEST(DayGroupingOff, KeepsTheWholeListAsOneSectionAndNoHeaders)
{
    PinnedHost host("en_US", "America/New_York");
    const auto table = makeRef<DGLEventTable>();
    std::vector<Ref<NSDate>> starts;
    for (int day = 1; day <= 5; ++day)
        starts.push_back(localTime("America/New_York", { 2026, 3, day }, 9, 0));
    const auto records = recordsStartingAt(starts);

    const Ref<NSArray> sections = table->groupByDays(records.get());
    ASSERT_EQ(sections->count(), 1u);
    EXPECT_EQ(sections->objectAtIndex(0), records.get());
    EXPECT_FALSE(sectionHeaders(table.get()));

    // With grouping on, an empty list is still one (empty) section.
    table->setGroupByDays(true);
    const auto none = NSMutableArray::array();
    const Ref<NSArray> empty = table->groupByDays(none.get());
    ASSERT_EQ(empty->count(), 1u);
    EXPECT_EQ(empty->objectAtIndex(0), none.get());
    EXPECT_FALSE(sectionHeaders(table.get()));
}

// The first and last half hours of a day that a daylight-saving change makes 23
// or 25 hours long belong together; the next half hour does not.
struct ChangeDay {
    const char* zone;
    LocalDay day;
    LocalDay next;
};

class DayGroupingAcrossChanges : public testing::TestWithParam<ChangeDay> { };

TEST_P(DayGroupingAcrossChanges, KeepsTheWholeLocalDayTogether)
{
    const ChangeDay& c = GetParam();
    PinnedHost host("en_US", c.zone, localTime(c.zone, c.day, 0, 0).get());
    const auto records = recordsStartingAt(
        { localTime(c.zone, c.day, 0, 30), localTime(c.zone, c.day, 23, 30), localTime(c.zone, c.next, 0, 30) });
    EXPECT_EQ(sectionSizes(*groupingTable()->groupByDays(records.get())), (std::vector<std::size_t> { 2, 1 }));
}

INSTANTIATE_TEST_SUITE_P(BerlinAndNewYork, DayGroupingAcrossChanges,
    testing::Values(ChangeDay { "Europe/Berlin", { 2026, 3, 29 }, { 2026, 3, 30 } },
        ChangeDay { "Europe/Berlin", { 2026, 10, 25 }, { 2026, 10, 26 } },
        ChangeDay { "America/New_York", { 2026, 3, 8 }, { 2026, 3, 9 } },
        ChangeDay { "America/New_York", { 2026, 11, 1 }, { 2026, 11, 2 } }));
