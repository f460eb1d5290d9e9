#include "DeviceChoice.h"

#include "Command.h"

std::string deviceModelProblem(const std::string& name)
{
    if (host::findDeviceModel(name))
        return {};
    std::string known;
    for (const host::DeviceModel& model : host::deviceModels())
        known += (known.empty() ? "" : ", ") + std::string(model.name);
    return "'" + name + "' is not a device model; the models are " + known;
}

const host::DeviceModel& deviceModelNamed(const std::string& name)
{
    const host::DeviceModel* model = host::findDeviceModel(name);
    if (!model)
        throw CommandError(deviceModelProblem(name));
    return *model;
}

CLI::Validator deviceModelValidator()
{
    return CLI::Validator([](std::string& name) { return deviceModelProblem(name); }, "MODEL");
}
