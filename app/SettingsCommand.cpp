// dayglass settings: boots the device and prints the extension's settings as it
// loaded them; with --watch, again after every change notification.
#include "Command.h"
#include "DeviceSession.h"
#include "PreferenceKeys.h"
#include "SettingsRecord.h"

#include <CoreFoundation/CFNotificationCenter.h>
#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSString.h>
#include <dispatch/dispatch.h>

#include <cstdio>

namespace {

class SettingsCommand final : public Command {
public:
    explicit SettingsCommand(CLI::App& app)
    {
        subcommand_ = app.add_subcommand("settings", "Print the extension's settings as loaded from the device");
        subcommand_->add_flag(
            "--json", json_, "One JSON object keyed by field name (one object per line with --watch)");
        subcommand_->add_flag("--watch", watch_, "Stay up and print the settings again after every change");
    }

    const CLI::App* subcommand() const override { return subcommand_; }

    int run(const CommonOptions& options) override
    {
        host::Device device = bootDevice(options);
        library_ = extensionLibrary(device);
        if (watch_)
            observeChanges();
        print();
        if (watch_)
            runForever();
        return 0;
    }

private:
    void print()
    {
        const SettingsRecord record = SettingsRecord::read(library_);
        std::string output;
        if (json_)
            output = record.json().dump(watch_ ? -1 : 2) + "\n";
        else
            output = (printed_ ? "\n" : "") + record.text();
        std::fputs(output.c_str(), stdout);
        std::fflush(stdout);
        printed_ = true;
    }

    // The extension reloads on the same notification. Printing from the main queue
    // comes after every observer of the delivery, the extension's included.
    static void preferencesChanged(CFNotificationCenterRef, void* observer, CFStringRef, const void*, CFDictionaryRef)
    {
        auto* command = static_cast<SettingsCommand*>(observer);
        dispatch_async(dispatch_get_main_queue(), [command] { command->print(); });
    }

    // Registered before the first record is printed, so that no change made after
    // it goes unseen.
    void observeChanges()
    {
        CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this, &preferencesChanged,
            notificationName_.get(), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
    }

    [[noreturn]] static void runForever()
    {
        for (;;)
            CFRunLoopRun();
    }

    CLI::App* subcommand_ = nullptr;
    bool json_ = false;
    bool watch_ = false;
    bool printed_ = false;
    void* library_ = nullptr;
    Ref<NSString> notificationName_ = NSString::string(preferencesChangedNotification);
};

} // namespace

std::unique_ptr<Command> makeSettingsCommand(CLI::App& app)
{
    return std::make_unique<SettingsCommand>(app);
}
