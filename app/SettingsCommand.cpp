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

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

class SettingsCommand final : public Command {
public:
    explicit SettingsCommand(CLI::App& subcommand)
        : subcommand_(&subcommand)
    {
        subcommand_->add_flag(
            "--json", json_, "One JSON object keyed by field name (one object per line with --watch)");
        subcommand_->add_flag("--watch", watch_, "Stay up and print the settings again after every change");
    }

    const CLI::App* subcommand() const override { return subcommand_; }

    int run(const CommonOptions& options) override
    {
        if (watch_)
            exitNormallyOnSignals();
        host::Device device = bootDevice(options);
        checkExtensionLoaded(device);
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
        const SettingsRecord record = SettingsRecord::read();
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

    // Ctrl-C or a kill ends the watch as a normal exit does, so that its
    // notification socket goes with it (a socket left by a crash is removed by
    // the next process that posts to it). The signals are blocked before the
    // device starts any thread, and one thread of ours waits for them; the exit
    // itself runs on the main queue, between two deliveries.
    static void exitNormallyOnSignals()
    {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        std::thread([signals] {
            int signal = 0;
            sigwait(&signals, &signal);
            dispatch_async(dispatch_get_main_queue(), [signal] { std::exit(128 + signal); });
        }).detach();
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
    Ref<NSString> notificationName_ = NSString::string(preferencesChangedNotification);
};

} // namespace

std::unique_ptr<Command> makeSettingsCommand(CLI::App& subcommand)
{
    return std::make_unique<SettingsCommand>(subcommand);
}
