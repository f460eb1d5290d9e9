// A device root with calendars written as .ics text and the two calendar choice
// files, a host pinned to a zone, a locale and a moment, and a table that loads
// from them as the lock screen's does.
#pragma once

#include "LocalTime.h"

#include "events/DGLEKEVent.h"
#include "listview/DGLEventTable.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace loading_testing {

using events_testing::LocalDay;

// A VCALENDAR around VEVENTs, each given as its property lines; CRLF line ends.
std::string calendarText(const std::vector<std::vector<std::string>>& events, const std::string& header = "");

// Seconds since the reference date, as the event link's `o` counts them.
double sinceReferenceDate(const NSDate* date);

class LoadingTest : public ::testing::Test {
protected:
    // The host runs in Berlin, in en_US.
    LoadingTest();
    ~LoadingTest() override;

    static constexpr const char* zone = "Europe/Berlin";
    static Ref<NSDate> berlin(LocalDay day, int hour = 0, int minute = 0);
    static void setNow(const NSDate* now);

    // A calendar folder of the device, with its display name.
    void addCalendar(const std::string& folder, const std::string& title) const;
    // One item file of a calendar folder.
    void addItem(const std::string& folder, const std::string& file, const std::string& text) const;
    // The identifier the store gives the calendar of that title.
    static std::string identifierOf(const std::string& title);

    // The calendar application's preference file: `LastDeselectedCalendars` holds the
    // identifiers when given, beside one other key.
    void writeCalendarAppPreferences(const std::vector<std::string>* deselected) const;
    // The own calendar list file.
    void writeOwnList(const std::vector<std::string>& identifiers) const;

    // A table as the lock screen configures it for loading.
    static Ref<DGLEventTable> table(
        NSInteger days, NSInteger max = 0, bool calendarAppSelection = true, bool groupByDays = true);
    // The records of every section, in order.
    static std::vector<DGLEKEVent*> records(const NSArray& sections);
    static std::vector<std::string> titles(const NSArray& sections);
    // Log lines starting with `prefix`, in order.
    static std::vector<std::string> logLines(const std::string& prefix);

    testing_support::TempDeviceRoot root_;

private:
    std::string previousLocale_;
    std::string previousZone_;
};

} // namespace loading_testing
