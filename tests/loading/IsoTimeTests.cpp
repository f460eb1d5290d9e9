// The command line's instants: local to a zone unless they carry an offset.
#include "IsoTime.h"

#include "LocalTime.h"

#include <gtest/gtest.h>

using events_testing::localTime;

namespace {

Ref<NSTimeZone> berlin()
{
    return NSTimeZone::timeZoneWithName("Europe/Berlin");
}

double parsed(const char* text)
{
    const Ref<NSDate> date = parseIsoTime(text, berlin().get());
    return date ? date->timeIntervalSince1970() : -1;
}

} // namespace

TEST(IsoTime, ReadsLocalTimesInTheZoneAndOffsetsAsGiven)
{
    const double nineThirty = localTime("Europe/Berlin", { 2025, 3, 4 }, 9, 30)->timeIntervalSince1970();
    EXPECT_EQ(parsed("2025-03-04T09:30"), nineThirty);
    EXPECT_EQ(parsed("2025-03-04 09:30:00"), nineThirty);
    EXPECT_EQ(parsed("2025-03-04T09:30:15.5"), nineThirty + 15.5);
    EXPECT_EQ(parsed("2025-03-04T08:30Z"), nineThirty);
    EXPECT_EQ(parsed("2025-03-04T04:30-04:00"), nineThirty);
    EXPECT_EQ(parsed("2025-03-04T10:30+0200"), nineThirty);
    EXPECT_EQ(parsed("2025-03-04T13:30+05"), nineThirty);
    EXPECT_EQ(parsed("2025-03-04"), localTime("Europe/Berlin", { 2025, 3, 4 })->timeIntervalSince1970());
    // Summer time in the zone.
    EXPECT_EQ(parsed("2025-07-01T12:00"), parsed("2025-07-01T10:00Z"));
    for (const char* refused : { "2025-3-4", "2025-03-04T24:00", "2025-03-04Z", "2025-03-04T10:00 " })
        EXPECT_EQ(parsed(refused), -1) << refused;
}

TEST(IsoTime, PrintsTheWallTimeWithTheZonesOffset)
{
    EXPECT_EQ(
        isoTime(localTime("Europe/Berlin", { 2025, 3, 4 }, 9, 30).get(), berlin().get()), "2025-03-04T09:30:00+01:00");
    EXPECT_EQ(
        isoTime(localTime("Europe/Berlin", { 2025, 7, 1 }, 0, 5).get(), berlin().get()), "2025-07-01T00:05:00+02:00");
    EXPECT_EQ(isoTime(localTime("America/St_Johns", { 2025, 1, 2 }, 23, 59).get(),
                  NSTimeZone::timeZoneWithName("America/St_Johns").get()),
        "2025-01-02T23:59:00-03:30");
}
