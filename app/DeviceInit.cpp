#include "DeviceInit.h"

#include "Command.h"
#include "ConfinedFolder.h"
#include "DeviceCalendars.h"
#include "DeviceSession.h"
#include "InputFiles.h"
#include "ListNotes.h"
#include "StandardOutput.h"
#include "Wording.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSPropertyList.h>
#include <host/SubstrateLoader.h>
#include <platform/Environment.h>
#include <platform/FileBytes.h>
#include <schema/SettingsTable.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

// The extension and its filter, as the build installs them in the sample device.
constexpr const char* extensionFiles[] = { "Dayglass2.dylib", "Dayglass2.plist" };
// The sample device's applications, copied whole.
constexpr const char* applicationFolders[] = { "Applications", "private/var/containers/Bundle/Application" };

// A device path as a path inside the device's folder, never through the "var"
// link: "/var/mobile/…" is "private/var/mobile/…".
std::string insideDevice(std::string_view devicePath)
{
    const std::string relative(devicePath.substr(devicePath.find_first_not_of('/')));
    return relative.rfind("var/", 0) == 0 ? "private/" + relative : relative;
}

void copyFile(const ConfinedFolder& device, const fs::path& from, const std::string& to)
{
    const platform::FileRead contents = platform::readRegularFile(from.string());
    if (const std::string problem = readProblem(contents); !problem.empty())
        throw CommandError("cannot read " + from.string() + ": " + problem);
    device.writeFile(to, contents.bytes, contents.mode & 0777);
}

// A folder of the sample device, its folders and files copied as they are.
void copyTree(const ConfinedFolder& device, const fs::path& from, const std::string& to)
{
    device.makeFolders(to);
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
        const std::string inside = to + "/" + entry.path().filename().string();
        if (entry.is_directory(error))
            copyTree(device, entry.path(), inside);
        else if (entry.is_regular_file(error))
            copyFile(device, entry.path(), inside);
    }
}

// The applications the copied folders hold, by folder name ("MobileCal.app").
std::vector<std::string> applicationsIn(const fs::path& sample)
{
    std::vector<std::string> found;
    std::error_code error;
    for (const char* folder : applicationFolders)
        for (auto entry = fs::recursive_directory_iterator(sample / folder, error);
             entry != fs::recursive_directory_iterator(); entry.increment(error))
            if (entry->path().extension() == ".app") {
                found.push_back(entry->path().filename().string());
                entry.disable_recursion_pending();
            }
    std::sort(found.begin(), found.end());
    return found;
}

void installExtension(const ConfinedFolder& device, const fs::path& sample)
{
    const std::string folder = insideDevice(host::dynamicLibrariesDevicePath);
    for (const char* name : extensionFiles) {
        std::error_code error;
        if (!fs::is_regular_file(sample / folder / name, error))
            throw CommandError("the sample device " + sample.string() + " has no " + folder + "/" + name
                + " to install (build the install_extension target)");
        copyFile(device, sample / folder / name, folder + "/" + name);
    }
}

// Shows every calendar: the calendar application hides none.
void writeCalendarAppPreferences(const ConfinedFolder& device)
{
    const auto preferences = NSMutableDictionary::dictionary();
    preferences->setObjectForKey(NSArray::array().get(), deselectedCalendarsKey);
    const Ref<NSData> bytes
        = NSPropertyListSerialization::dataWithPropertyList(preferences.get(), NSPropertyListBinaryFormat_v1_0);
    device.writeFile(insideDevice(calendarAppPreferencesPath),
        std::string_view(reinterpret_cast<const char*>(bytes->bytes()), bytes->length()));
}

struct CopiedCalendar {
    std::string title;
    std::string folder;
    std::string from;
    std::size_t items = 0;
};

// A calendar folder's name for the device: the source's name, shown (not
// starting with a dot) and not taken by another calendar of this run.
std::string folderNameFor(const fs::path& source, bool isFolder, std::set<std::string>& taken)
{
    std::string name = (isFolder ? source.filename() : source.stem()).string();
    name.erase(0, name.find_first_not_of('.'));
    if (name.empty())
        name = "calendar";
    std::string unique = name;
    for (int suffix = 2; taken.count(unique); ++suffix)
        unique = name + "-" + std::to_string(suffix);
    taken.insert(unique);
    return unique;
}

bool isItemFile(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    return extension == ".ics";
}

// One calendar's files into its folder of the device: a vdir's shown files
// (items, `displayname`, `color`), or the one .ics file. Files that cannot be
// read are left out with a note.
CopiedCalendar copyCalendar(
    const ConfinedFolder& device, const std::string& title, const fs::path& source, std::set<std::string>& taken)
{
    std::error_code error;
    const bool isFolder = fs::is_directory(source, error);
    CopiedCalendar copied { title, folderNameFor(source, isFolder, taken), source.string() };
    const std::string folder = insideDevice(deviceCalendarsPath) + "/" + copied.folder;
    device.remove(folder);
    device.makeFolders(folder);
    std::vector<fs::path> files;
    if (isFolder) {
        for (const fs::directory_entry& entry : fs::directory_iterator(source, error))
            if (entry.path().filename().string().front() != '.' && !entry.is_directory(error))
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(source);
    }
    for (const fs::path& file : files) {
        const platform::FileRead contents = platform::readRegularFile(file.string());
        if (const std::string problem = readProblem(contents); !problem.empty()) {
            printNote("skipped " + file.string() + ": " + problem);
            continue;
        }
        device.writeFile(folder + "/" + file.filename().string(), contents.bytes);
        copied.items += isItemFile(file);
    }
    return copied;
}

// The calendars the paths name, found as the store finds them (a file, a
// calendar folder, or a folder of them), each copied in as a calendar folder of
// the device. A folder of the same name there is replaced.
std::vector<CopiedCalendar> copyCalendars(const ConfinedFolder& device, const std::vector<std::string>& paths)
{
    platform::setDeviceRoot(device.path());
    // In memory: an index would be written outside the device.
    EKEventStore::setCalendarStorage(EKCalendarStorage::Memory);
    std::vector<std::string> sources;
    for (const std::string& path : paths)
        sources.push_back(fs::absolute(path).lexically_normal().string());
    EKEventStore::setAdditionalCalendarSources(sources);
    const auto store = makeRef<EKEventStore>();
    std::vector<CopiedCalendar> copied;
    std::set<std::string> taken;
    const Ref<NSArray> all = store->calendars();
    for (const Ref<NSObject>& entry : *all) {
        const auto* calendar = dynamicCast<EKCalendar>(entry.get());
        const EKCalendarOrigin origin = calendar ? store->originOfCalendar(calendar) : EKCalendarOrigin {};
        if (calendar && !origin.onDevice)
            copied.push_back(copyCalendar(device, calendar->title()->UTF8String(), origin.path, taken));
    }
    return copied;
}

void report(const ConfinedFolder& device, const std::vector<std::string>& applications,
    const std::vector<CopiedCalendar>& calendars)
{
    printOutput("Made a device in %s:\n", device.path().c_str());
    printOutput("  %s/Dayglass2.dylib, with its filter\n", insideDevice(host::dynamicLibrariesDevicePath).c_str());
    printOutput("  applications: %s\n", listedWords(applications).c_str());
    printOutput("  the calendar application's preferences, hiding no calendar\n");
    for (const CopiedCalendar& calendar : calendars)
        printOutput("  calendar %s in %s/%s: %zu item file%s from %s\n", calendar.title.c_str(),
            insideDevice(deviceCalendarsPath).c_str(), calendar.folder.c_str(), calendar.items,
            calendar.items == 1 ? "" : "s", calendar.from.c_str());
    if (device.holds(insideDevice(preferencesFilePath)))
        printOutput("  the preference file that was there is kept\n");
    else
        printOutput("  no preference file: the extension runs on its defaults (`dayglass prefs` changes them)\n");
    printOutput("Try: dayglass render --root %s -o lockscreen.png\n", device.path().c_str());
}

} // namespace

void initDevice(const DeviceInitOptions& options)
{
    const fs::path sample = sampleDevice();
    if (std::error_code error; fs::exists(options.folder, error) && !fs::is_directory(options.folder, error))
        throw UsageError(options.folder + " is not a folder; give a new or empty folder to make the device in");
    const ConfinedFolder device(fs::absolute(options.folder).lexically_normal().string());
    if (!options.force && !device.isEmpty())
        throw CommandError(device.path()
            + " is not empty; give a new or empty folder, or --force to make the "
              "device there (files of the same names are replaced, nothing else)");
    device.makeLink("var", "private/var");
    device.makeFolders(fs::path(insideDevice(preferencesFilePath)).parent_path().string());
    device.makeFolders(insideDevice(deviceCalendarsPath));
    installExtension(device, sample);
    for (const char* folder : applicationFolders)
        copyTree(device, sample / folder, folder);
    writeCalendarAppPreferences(device);
    const std::vector<CopiedCalendar> calendars = copyCalendars(device, options.calendars);
    printNotes(skippedCalendarNotes());
    report(device, applicationsIn(sample), calendars);
}
