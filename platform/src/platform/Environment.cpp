#include <platform/Environment.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace platform {
namespace {

struct State {
    std::string root;
    std::optional<double> pinnedTime;
    std::string locale;
    std::string timeZone;
    unsigned generation = 0;
};

// "en_US.UTF-8" or "de_DE@euro" → "en_US"; "C" and "POSIX" name no language.
std::string localeFromSystem()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        std::string identifier(value);
        identifier = identifier.substr(0, identifier.find_first_of(".@"));
        if (identifier != "C" && identifier != "POSIX")
            return identifier;
    }
    return "en_US";
}

// "/usr/share/zoneinfo/Europe/Berlin" → "Europe/Berlin"; other text as it is.
std::string zoneFromPath(const std::string& text)
{
    constexpr std::string_view folder = "zoneinfo/";
    const auto at = text.find(folder);
    return at == std::string::npos ? text : text.substr(at + folder.size());
}

// TZ (a name, or a path into the zone database, either after an optional ':'),
// else the system's configured zone.
std::string timeZoneFromSystem()
{
    if (const char* tz = std::getenv("TZ"); tz && *tz)
        return zoneFromPath(tz[0] == ':' ? tz + 1 : tz);
    std::ifstream file("/etc/timezone");
    std::string name;
    if (file >> name && !name.empty())
        return name;
    std::error_code error;
    const fs::path target = fs::read_symlink("/etc/localtime", error);
    if (!error && target.string().find("zoneinfo/") != std::string::npos)
        return zoneFromPath(target.string());
    return "UTC";
}

State& state()
{
    static State s = [] {
        State initial;
        initial.locale = localeFromSystem();
        initial.timeZone = timeZoneFromSystem();
        if (const char* root = std::getenv("DAYGLASS_ROOT"); root && *root)
            initial.root = root;
        return initial;
    }();
    return s;
}

} // namespace

void setDeviceRoot(std::string root)
{
    state().root = std::move(root);
}

const std::string& deviceRoot()
{
    return state().root;
}

std::string resolveDevicePath(std::string_view devicePath)
{
    const fs::path root(state().root);
    std::string_view path = devicePath;
    while (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    const fs::path direct = root / path;
    std::error_code error;
    if (fs::exists(direct, error))
        return direct.string();
    // The other spelling of the same place: "private/var/…" ↔ "var/…".
    constexpr std::string_view privatePrefix = "private/";
    fs::path alternative;
    if (path.substr(0, privatePrefix.size()) == privatePrefix)
        alternative = root / path.substr(privatePrefix.size());
    else if (path.substr(0, 4) == "var/")
        alternative = root / privatePrefix / path;
    if (!alternative.empty() && fs::exists(alternative.parent_path(), error) &&
        !fs::exists(direct.parent_path(), error))
        return alternative.string();
    return direct.string();
}

double currentUnixTime()
{
    if (state().pinnedTime)
        return *state().pinnedTime;
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

void pinCurrentTime(std::optional<double> unixTime)
{
    state().pinnedTime = unixTime;
}

const std::string& currentLocaleIdentifier()
{
    return state().locale;
}

void setCurrentLocaleIdentifier(std::string identifier)
{
    state().locale = std::move(identifier);
    ++state().generation;
}

const std::string& currentTimeZoneIdentifier()
{
    return state().timeZone;
}

void setCurrentTimeZoneIdentifier(std::string identifier)
{
    state().timeZone = std::move(identifier);
    ++state().generation;
}

unsigned environmentGeneration()
{
    return state().generation;
}

} // namespace platform
