// The device models a user can name on the command line and in scripts.
#pragma once

#include <host/DeviceModel.h>

#include <CLI/CLI.hpp>

#include <string>

// Empty for a known model, else why the name is not one, with the known names.
std::string deviceModelProblem(const std::string& name);
// Checks a --device option's value.
CLI::Validator deviceModelValidator();
// The model with the name; CommandError for an unknown one.
const host::DeviceModel& deviceModelNamed(const std::string& name);
