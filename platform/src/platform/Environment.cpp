#include <platform/Environment.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace platform {
namespace {

struct State {
    std::string root;
    // NaN while the clock runs; atomic because queues read the time.
    std::atomic<double> pinnedTime { std::nan("") };
    // How far a running clock is ahead of the system's, in seconds.
    std::atomic<double> runningOffset { 0 };
    std::string locale;
    std::string timeZone;
    unsigned generation = 0;
};

// "en_US.UTF-8" or "de_DE@euro" → "en_US"; "C" and "POSIX" name no language.
std::string localeFromSystem()
{
    for (const char* variable : { "LC_ALL", "LC_TIME", "LANG" }) {
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
    static State* s = [] {
        auto* initial = new State;
        initial->locale = localeFromSystem();
        initial->timeZone = timeZoneFromSystem();
        if (const char* root = std::getenv("DAYGLASS_ROOT"); root && *root)
            initial->root = root;
        return initial;
    }();
    return *s;
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
    // An empty root is the host's own file system.
    const fs::path root(state().root.empty() ? "/" : state().root);
    // Normalised as an absolute path, ".." stops at the device's top folder
    // instead of leaving the root.
    const fs::path path = (fs::path("/") / devicePath).lexically_normal().relative_path();
    auto component = path.begin();
    const bool privateSpelling
        = component != path.end() && *component == "private" && ++component != path.end() && *component == "var";
    component = path.begin();
    const bool varSpelling = component != path.end() && *component == "var";
    if (!privateSpelling && !varSpelling)
        return (root / path).string();

    // "var" may be a link to "private/var", as on the phone. A root with only one
    // of the two folders serves both spellings from it.
    std::error_code error;
    const bool hasVar = fs::exists(root / "var", error);
    const bool hasPrivateVar = fs::exists(root / "private/var", error);
    if (privateSpelling && hasVar && !hasPrivateVar)
        return (root / path.lexically_relative("private")).string();
    if (varSpelling && hasPrivateVar && !hasVar)
        return (root / "private" / path).string();
    return (root / path).string();
}

namespace {

double systemUnixTime()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

} // namespace

double currentUnixTime()
{
    if (const double pinned = state().pinnedTime.load(); !std::isnan(pinned))
        return pinned;
    return systemUnixTime() + state().runningOffset.load();
}

void pinCurrentTime(std::optional<double> unixTime)
{
    state().runningOffset.store(0);
    state().pinnedTime.store(unixTime.value_or(std::nan("")));
}

void runCurrentTimeFrom(double unixTime)
{
    state().runningOffset.store(unixTime - systemUnixTime());
    state().pinnedTime.store(std::nan(""));
}

void setCurrentTime(double unixTime)
{
    if (isCurrentTimePinned())
        pinCurrentTime(unixTime);
    else
        runCurrentTimeFrom(unixTime);
}

bool isCurrentTimePinned()
{
    return !std::isnan(state().pinnedTime.load());
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
