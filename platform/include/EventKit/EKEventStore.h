// EKEventStore: the device's calendars, read from iCalendar files.
//
// Where the calendars come from:
// - the device's calendar folder "/var/mobile/Library/Calendars" under the device
//   root, one sub-folder per calendar in the layout vdirsyncer and khal keep: an
//   optional `displayname` file, an optional `color` file and one .ics file per
//   item;
// - the sources the host adds with `setAdditionalCalendarSources`, in that order:
//   an .ics file is one calendar; a folder holding .ics files (or a `displayname`
//   or `color` file, or that cannot be listed) is one calendar; any other folder
//   is read as a collection whose sub-folders are the calendars, as in
//   vdirsyncer's storage folder; "-" is the process's standard input, read once
//   and kept for the process (in memory, never in the index), one calendar
//   titled "stdin" unless it names itself.
// `calendars` lists the device's folders by name, then the added sources. A file
// is one calendar's item however it is named: an item file named beside its
// folder belongs to the folder's calendar.
//
// A store sees the files as they are when it is made, and keeps answering from
// that. How calendars are kept between stores is the host's choice
// (`setCalendarStorage`). In memory, the default: parsed calendars are kept for
// the process and shared by every later store; a store made after a file changed
// reads that file again (changes are noticed through the kernel's file
// notifications, else by each file's modification time, size and inode). A file
// that plainly holds one event that does not repeat is only glanced at for its
// dates, and parsed when a query first reaches them.
// In the index (see IndexedCalendarStore.h): every store takes each item file's
// stamp and reads again the new and changed ones; a query parses only the files
// whose items can reach its window. A store answers from the index as it is at
// the query, which is never older than the store.
//
// What a query answers: every occurrence that overlaps the window, that is one
// starting inside it, or one that started before it and is still running.
// Recurrence follows RFC 5545 (RRULE, RDATE, EXDATE, overrides by RECURRENCE-ID,
// which move one occurrence or, with RANGE=THISANDFUTURE, every later one too,
// or with STATUS:CANCELLED cancel them; a cancelled event gives no occurrence;
// an override of an all-day series matches its occurrence by date). Within a
// calendar each UID and RECURRENCE-ID counts once, in its latest revision
// (highest SEQUENCE, then latest DTSTAMP or LAST-MODIFIED). Times with a TZID use
// that zone (an IANA name, also behind a vendor prefix, else the file's
// VTIMEZONE, else a Windows zone name; an unknown zone is read as floating time
// and logged once per file), floating times and all-day dates use the device's
// time zone at the moment of the query. A wall time that the zone's clock skips
// is read with the offset before the jump; one it shows twice is the first.
//
// Bounds: each time a series is expanded (for a query; the store keeps the
// expansion of the days around a window, and a week after it, for the queries
// that follow), its rule is followed over at most `maxOccurrencesExamined`
// steps, counting steps taken before the window, and never further than that
// many periods (seconds for FREQ=SECONDLY, days for FREQ=DAILY, …) past the point
// where the expansion starts. A series that reaches the bound gives what it
// found so far, and one log line.
//
// Bad input: an item that cannot be read (no start, a start or rule that does
// not parse, an end before its start, a file that is not iCalendar) is left out
// with one log line, written when the item is parsed; every other item still
// loads. The files left out whole (unreadable, not regular, not iCalendar, cut
// short) and the folders that cannot be listed are also answered to the host
// (`skippedCalendarFiles`). Files may start with a UTF-8 byte order mark or be
// UTF-16 with one. Floating times of a calendar that names its zone with
// X-WR-TIMEZONE are read in that zone. A rule that libical refuses whole is followed as far as it reads
// (an invalid COUNT, or a COUNT beside an UNTIL, left out), with one log line. Titles and locations with broken UTF-8
// or control characters are cleaned.
#pragma once

#include <EventKit/EKCalendar.h>
#include <EventKit/EKEvent.h>
#include <EventKit/EKPredicate.h>
#include <EventKit/EKTypes.h>
#include <Foundation/NSArray.h>
#include <platform/Export.h>

#include <memory>
#include <string>
#include <vector>

namespace eventkit {
class CalendarView;
}

// An item file or calendar folder that the calendars leave out, and why
// ("it is not an iCalendar file", "Permission denied").
struct EKSkippedCalendarFile {
    std::string path; // "standard input" for "-"
    std::string reason;
};

// Where a calendar's files are, which the phone's SDK does not tell: for the
// host's own tools, which show and copy calendars.
struct EKCalendarOrigin {
    // The calendar's folder, or its .ics file.
    std::string path;
    // One of the device's calendar folders, not a source the host added.
    bool onDevice = false;
};

class PLATFORM_EXPORT EKEventStore : public objc::Subclass<EKEventStore, NSObject> {
public:
    static Class classObject();

    static constexpr int maxOccurrencesExamined = 10000;

    // What the host sets for every store of the process.
    // Folders or .ics files read after the device's own calendars (`--calendars`).
    static void setAdditionalCalendarSources(std::vector<std::string> paths);
    static std::vector<std::string> additionalCalendarSources();
    // How calendars are kept between stores; a new choice takes effect for the
    // stores made after it, and choosing the storage in use keeps what it holds.
    static void setCalendarStorage(EKCalendarStorage storage);
    // The privacy answer for calendar access (`--calendar-access`); granted by default.
    static void setAccessGranted(bool granted);
    // What the calendars leave out, calendar by calendar and by path within
    // each: as the stores of the process last found it, and for a calendar no
    // store has read yet, as it is now.
    static std::vector<EKSkippedCalendarFile> skippedCalendarFiles();
    static EKAuthorizationStatus authorizationStatusForEntityType(EKEntityType type);

    EKEventStore();

    // Calls `completion` on a background queue with the host's answer.
    void requestAccessToEntityType(EKEntityType type, EKEventStoreRequestAccessCompletionHandler completion) const;

    // Every event calendar, in the order described above; empty without access.
    Ref<NSArray> calendars() const;
    Ref<NSArray> calendarsForEntityType(EKEntityType type) const;
    // Nil for an identifier the store does not know (or without access).
    Ref<EKCalendar> calendarWithIdentifier(const NSString* identifier) const;

    // For the host, of a calendar this store lists: where it comes from, and how
    // many events it holds (each UID once; reading every file of the calendar
    // that is not read yet).
    EKCalendarOrigin originOfCalendar(const EKCalendar* calendar) const;
    std::size_t eventCountOfCalendar(const EKCalendar* calendar) const;

    // `calendars` nil searches every calendar; an empty array searches none.
    // Calendars are matched by identifier, so those of another store work too.
    Ref<EKPredicate> predicateForEventsWithStartDate(
        const NSDate* startDate, const NSDate* endDate, const NSArray* calendars) const;
    // The occurrences in ascending start order (then end, calendar order and
    // identifier); empty without access.
    Ref<NSArray> eventsMatchingPredicate(const EKPredicate* predicate) const;

private:
    // The calendar's place in `calendars_`; std::out_of_range for another store's.
    std::size_t indexOf(const EKCalendar* calendar) const;

    std::shared_ptr<const eventkit::CalendarView> view_;
    std::vector<Ref<EKCalendar>> calendars_;
};
