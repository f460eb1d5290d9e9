#include "SoakDevice.h"

#include <CoreFoundation/CFNotificationCenter.h>
#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <Foundation/NSString.h>
#include <Foundation/NSValue.h>
#include <dispatch/dispatch.h>
#include <schema/SettingsTable.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// 2026-03-05T09:41 in Berlin, a Thursday with the sample device's events ahead.
constexpr double morning = 1772700060;
constexpr const char* syncedCalendarFile = "/var/mobile/Library/Calendars/home/soak@dayglass.example.ics";

} // namespace

SoakDevice::SoakDevice(EKCalendarStorage storage)
{
    fs::copy(DAYGLASS_EXAMPLES "/device", root_.path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    device_ = std::make_unique<host::Device>(host::Device::boot({ .root = root_.path().string(),
        .fallbackExtensionsFolder = DAYGLASS_EXTENSIONS,
        .now = morning,
        .timeZone = "Europe/Berlin",
        .locale = "en_US",
        .calendarStorage = storage }));
    if (!device_->extension("Dayglass2.dylib") || device_->extension("Dayglass2.dylib")->handle == nullptr)
        throw std::runtime_error("Dayglass2.dylib did not load from " DAYGLASS_EXTENSIONS);
}

SoakDevice::~SoakDevice()
{
    device_.reset();
    settle();
}

void SoakDevice::settle()
{
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
    dispatch_drain_queues();
}

void SoakDevice::cycle(std::size_t number)
{
    host::SpringBoard& springBoard = device_->springBoard();
    const auto step = [](auto&& action) {
        action();
        settle();
    };
    step([&] { springBoard.wake(); });
    step([&] { springBoard.notify("Messages", "Anna", "Cycle " + std::to_string(number)); });
    step([&] { springBoard.notify("Mail", "Lunch?"); });
    step([&] { springBoard.clear(1); });
    step([&] { springBoard.clearAll(); });
    step([&] { springBoard.unlock(); });
    step([&] { springBoard.lock(); });
    step([&] { changePreference(number); });
    step([&] { changeCalendar(number); });
}

// As `dayglass prefs set` does it: the whole file rewritten with one key changed,
// then the change notification.
void SoakDevice::changePreference(std::size_t number)
{
    Ref<NSMutableDictionary> preferences = NSMutableDictionary::dictionary();
    if (Ref<NSDictionary> stored = NSDictionary::dictionaryWithContentsOfFile(preferencesFilePath))
        for (const auto& [key, value] : stored->entries())
            preferences->setObjectForKey(value.get(), key.get());
    preferences->setObjectForKey(NSNumber::numberWithInteger(number % 2 ? 3 : 7).get(), "daysToDisplay");
    std::string error;
    if (!NSPropertyListSerialization::writePropertyList(
            preferences.get(), preferencesFilePath, NSPropertyListBinaryFormat_v1_0, &error))
        throw std::runtime_error(error);
    Ref<NSString> name = NSString::string(preferencesChangedNotification);
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr, true);
}

// A sync rewrites one item in place most of the time, and now and then removes it.
void SoakDevice::changeCalendar(std::size_t number)
{
    const fs::path file = root_.path() / fs::path(syncedCalendarFile).relative_path();
    if (number % 10 == 9) {
        fs::remove(file);
        return;
    }
    const std::string minute = std::to_string(10 + number % 50);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Dayglass//Soak//EN\r\nBEGIN:VEVENT\r\n"
           "UID:soak@dayglass.example\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Sync "
        << number << "\r\nDTSTART;TZID=Europe/Berlin:20260305T12" << minute
        << "00\r\nDTEND;TZID=Europe/Berlin:20260305T13" << minute << "00\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}
