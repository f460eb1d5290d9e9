// The calendar index file's bytes, as a crash, a full disk or another program may
// leave them, under a device with the sample device's work calendar: a new
// store on the index lists the calendars and answers the lock screen's window.
//
// The files' stamps in an index from another process never match this one's
// files (their inodes and change times differ), so what is exercised is the
// opening, the checks, and bringing a damaged or stale index up to date.
#include "FuzzSupport.h"

#include "EventKit/IndexedCalendarStore.h"

#include <EventKit/EventKit.h>
#include <platform/Environment.h>
#include <platform/Log.h>

#include <filesystem>
#include <fstream>

namespace {

constexpr double day = 86'400;

void writeIndex(std::string_view bytes)
{
    const std::string path = eventkit::IndexedCalendarStore::deviceIndexPath();
    std::error_code error;
    for (const char* suffix : { "-wal", "-shm" })
        std::filesystem::remove(path + suffix, error);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void queryWindow()
{
    EKEventStore store;
    (void)store.calendars();
    const double now = platform::currentUnixTime();
    auto predicate = store.predicateForEventsWithStartDate(NSDate::dateWithTimeIntervalSince1970(now - day).get(),
        NSDate::dateWithTimeIntervalSince1970(now + 7 * day).get(), nullptr);
    (void)store.eventsMatchingPredicate(predicate.get());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::filesystem::path work = "private/var/mobile/Library/Calendars/work";
    std::filesystem::create_directories(fuzzing::deviceRoot() / work);
    std::filesystem::copy(std::filesystem::path(DAYGLASS_SAMPLE_DEVICE_SOURCE) / work, fuzzing::deviceRoot() / work);
    fuzzing::warmUp("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeIndex(fuzzing::asText(data, size));
    // A store of its own for each input, which opens the index anew; back to
    // memory afterwards, which closes it.
    EKEventStore::setCalendarStorage(EKCalendarStorage::Index);
    queryWindow();
    EKEventStore::setCalendarStorage(EKCalendarStorage::Memory);
    platform::clearLog();
    return 0;
}
