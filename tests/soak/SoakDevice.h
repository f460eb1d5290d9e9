// One booted device for a long run: a copy of the sample device in a temporary
// root, SpringBoard with Dayglass2.dylib loaded from the sample device, the clock
// pinned to a morning with events ahead, the calendars kept as `storage` says. A cycle is what a day of use does to a
// phone: wake, notifications arriving and cleared, unlock, lock, the settings
// pane changing a preference and a calendar sync rewriting a file.
#pragma once

#include <EventKit/EKTypes.h>
#include <TempDeviceRoot.h>
#include <host/Device.h>

#include <memory>

class SoakDevice {
public:
    explicit SoakDevice(EKCalendarStorage storage = EKCalendarStorage::Memory);
    ~SoakDevice();
    SoakDevice(const SoakDevice&) = delete;
    SoakDevice& operator=(const SoakDevice&) = delete;

    const std::filesystem::path& root() const { return root_.path(); }
    host::SpringBoard& springBoard() { return device_->springBoard(); }
    void cycle(std::size_t number);

private:
    // What SpringBoard's run loop and queues would have done before the next step.
    static void settle();
    void changePreference(std::size_t number);
    void changeCalendar(std::size_t number);

    testing_support::TempDeviceRoot root_;
    std::unique_ptr<host::Device> device_;
};
