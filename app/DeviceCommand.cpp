#include "DeviceCommand.h"

#include "DeviceInit.h"
#include "InputFiles.h"

namespace {

class DeviceCommand final : public Command {
public:
    explicit DeviceCommand(CLI::App& subcommand)
        : device_(&subcommand)
    {
        device_->require_subcommand(0, 1);
        init_ = device_->add_subcommand("init",
            "Make a device root that works at once: the phone's folders, the extension installed, the calendar "
            "application's preferences and the sample device's applications, with your calendars as its own");
        init_->add_option("DIR", options_.folder, "The folder to make the device in: new or empty")->required();
        init_
            ->add_option("--calendars", options_.calendars,
                "Calendars to copy in as the device's own: vdir folders, folders of them, or .ics files")
            ->check(existingPath(PathKind::FileOrFolder));
        init_->add_flag("--force", options_.force,
            "Make the device in a folder that is not empty: files of the same names are replaced, calendar folders "
            "of the same names too, and nothing else is touched");
    }

    const CLI::App* subcommand() const override { return device_; }

    int run(const CommonOptions&) override
    {
        if (!init_->parsed())
            throw UsageError("device needs a subcommand: init DIR [--calendars PATH…] [--force]");
        initDevice(options_);
        return 0;
    }

private:
    CLI::App* device_ = nullptr;
    CLI::App* init_ = nullptr;
    DeviceInitOptions options_;
};

} // namespace

std::unique_ptr<Command> makeDeviceCommand(CLI::App& subcommand)
{
    return std::make_unique<DeviceCommand>(subcommand);
}
