#include "CalendarCache.h"

#include "CalendarIdentifier.h"
#include "TimeZones.h"

#include <Foundation/NSLog.h>
#include <platform/Environment.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace eventkit {
namespace {

constexpr const char* deviceCalendarsFolder = "/var/mobile/Library/Calendars";

std::vector<fs::path> subfolders(const fs::path& folder)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.front() != '.' && entry.is_directory(error))
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A folder is one calendar when it holds items or a calendar's own files.
bool isCalendarFolder(const fs::path& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name == "displayname" || name == "color" || (name.front() != '.' && entry.path().extension() == ".ics"))
            return true;
    }
    return false;
}

std::string realPathOf(const fs::path& path)
{
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    return error ? path.string() : real.string();
}

std::string normalised(const std::string& path)
{
    std::error_code error;
    std::string text = fs::absolute(path, error).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

} // namespace

// What one store sees: the calendars' contents as they were, answered under
// the cache's lock.
class CalendarCache::Snapshots final : public CalendarView {
public:
    Snapshots(std::shared_ptr<CalendarCache> cache, std::vector<CalendarSnapshot> snapshots)
        : cache_(std::move(cache))
    {
        for (CalendarSnapshot& snapshot : snapshots) {
            calendars_.push_back({ std::move(snapshot.identifier), std::move(snapshot.title), snapshot.color });
            contents_.push_back(std::move(snapshot.contents));
        }
    }

    const std::vector<CalendarInfo>& calendars() const override { return calendars_; }

    std::vector<std::vector<Occurrence>> occurrences(
        const std::vector<std::size_t>& chosen, Instant start, Instant end) const override
    {
        std::vector<const CalendarContents*> contents;
        for (std::size_t index : chosen)
            contents.push_back(contents_.at(index).get());
        return cache_->occurrences(contents, start, end);
    }

private:
    std::shared_ptr<CalendarCache> cache_;
    std::vector<CalendarInfo> calendars_;
    std::vector<std::shared_ptr<const CalendarContents>> contents_;
};

std::shared_ptr<const CalendarView> CalendarCache::view(const std::vector<std::string>& additionalSources)
{
    return std::make_shared<Snapshots>(shared_from_this(), calendars(additionalSources));
}

std::vector<CalendarSnapshot> CalendarCache::calendars(const std::vector<std::string>& additionalSources)
{
    std::lock_guard guard(lock_);
    changes_ = watcher_.takeChanges();

    std::vector<std::pair<std::string, bool>> rootPaths
        = { { platform::resolveDevicePath(deviceCalendarsFolder), true } };
    for (const std::string& path : additionalSources)
        rootPaths.emplace_back(normalised(path), false);

    std::vector<SourceEntry> entries;
    std::set<std::string> rootsInUse;
    for (const auto& [path, device] : rootPaths) {
        rootsInUse.insert(path);
        for (const SourceEntry& entry : rootEntries(path, device)) {
            const bool seen = std::any_of(entries.begin(), entries.end(),
                [&](const SourceEntry& other) { return other.realPath == entry.realPath; });
            if (!seen)
                entries.push_back(entry);
        }
    }
    std::erase_if(roots_, [&](const auto& root) { return !rootsInUse.count(root.first); });

    std::vector<CalendarSnapshot> snapshots;
    std::set<std::string> watched = rootsInUse;
    for (const SourceEntry& entry : entries) {
        CalendarSource& source = sourceFor(entry);
        watched.insert(source.watchedFolder());
        snapshots.push_back(source.snapshot());
    }
    std::erase_if(sources_, [&](const auto& source) {
        return std::none_of(
            entries.begin(), entries.end(), [&](const SourceEntry& entry) { return entry.path == source.first; });
    });
    watcher_.keepOnly(watched);
    return snapshots;
}

const std::vector<CalendarCache::SourceEntry>& CalendarCache::rootEntries(const std::string& path, bool device)
{
    Root& root = roots_[path];
    const bool watching = watcher_.isWatching(path);
    if (root.listed && watching && !changes_.count(path))
        return root.entries;
    // Watch before listing, so that nothing changes unseen in between.
    watcher_.watch(path);
    root.entries = device ? listDeviceRoot(path) : listHostRoot(path);
    root.listed = true;
    return root.entries;
}

std::vector<CalendarCache::SourceEntry> CalendarCache::listDeviceRoot(const std::string& path) const
{
    std::vector<SourceEntry> entries;
    for (const fs::path& folder : subfolders(path)) {
        const std::string name = folder.filename().string();
        entries.push_back({ folder.string(), realPathOf(folder), CalendarSource::Kind::Folder,
            nameBasedIdentifier(deviceCalendarName(name)), name });
    }
    return entries;
}

std::vector<CalendarCache::SourceEntry> CalendarCache::listHostRoot(const std::string& path)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    auto entryFor = [](const fs::path& place, CalendarSource::Kind kind) {
        const std::string title
            = kind == CalendarSource::Kind::File ? place.stem().string() : place.filename().string();
        return SourceEntry { place.string(), realPathOf(place), kind,
            nameBasedIdentifier(hostCalendarName(place.string())), title };
    };
    if (fs::is_regular_file(status))
        return { entryFor(path, CalendarSource::Kind::File) };
    if (!fs::is_directory(status)) {
        if (reportedMissing_.insert(path).second)
            NSLog("EventKit: no calendar file or folder at %s", path.c_str());
        return {};
    }
    reportedMissing_.erase(path);
    if (isCalendarFolder(path))
        return { entryFor(path, CalendarSource::Kind::Folder) };
    std::vector<SourceEntry> entries;
    for (const fs::path& folder : subfolders(path))
        entries.push_back(entryFor(folder, CalendarSource::Kind::Folder));
    return entries;
}

CalendarSource& CalendarCache::sourceFor(const SourceEntry& entry)
{
    auto& slot = sources_[entry.path];
    if (!slot || slot->kind() != entry.kind)
        slot = std::make_unique<CalendarSource>(entry.path, entry.kind, entry.identifier, entry.fallbackTitle);
    const std::string& folder = slot->watchedFolder();
    const bool wasWatching = watcher_.isWatching(folder);
    watcher_.watch(folder);
    // A folder not watched until now may have changed in any way.
    if (!wasWatching) {
        slot->refresh(nullptr);
    } else {
        auto changes = changes_.find(folder);
        static const ChangeWatcher::FolderChanges none;
        slot->refresh(changes == changes_.end() ? &none : &changes->second);
    }
    return *slot;
}

std::vector<std::vector<Occurrence>> CalendarCache::occurrences(
    const std::vector<const CalendarContents*>& contents, Instant start, Instant end)
{
    std::lock_guard guard(lock_);
    const icaltimezone* floatingZone = TimeZoneRegistry::shared().deviceZone();
    std::vector<std::vector<Occurrence>> found;
    for (const CalendarContents* calendar : contents)
        found.push_back(calendar->occurrences(start, end, floatingZone));
    return found;
}

} // namespace eventkit
