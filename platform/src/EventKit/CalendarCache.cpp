#include "CalendarCache.h"

#include "TimeZones.h"

#include <Foundation/NSLog.h>

#include <algorithm>

namespace eventkit {

// What one store sees: the calendars' contents as they were, answered under
// the cache's lock.
class CalendarCache::Snapshots final : public CalendarView {
public:
    Snapshots(std::shared_ptr<CalendarCache> cache, std::vector<CalendarSnapshot> snapshots)
        : cache_(std::move(cache))
    {
        for (CalendarSnapshot& snapshot : snapshots) {
            calendars_.push_back(
                { std::move(snapshot.identifier), std::move(snapshot.title), snapshot.color, std::move(snapshot.path) });
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

    std::size_t eventCount(std::size_t calendar) const override { return contents_.at(calendar)->eventCount(); }

private:
    std::shared_ptr<CalendarCache> cache_;
    std::vector<CalendarInfo> calendars_;
    std::vector<std::shared_ptr<const CalendarContents>> contents_;
};

std::shared_ptr<const CalendarView> CalendarCache::view(const std::vector<std::string>& additionalSources)
{
    return std::make_shared<Snapshots>(shared_from_this(), calendars(additionalSources));
}

std::vector<SkippedFile> CalendarCache::skippedFiles(const std::vector<std::string>& additionalSources)
{
    std::vector<SkippedFile> skipped;
    for (const CalendarSnapshot& snapshot : calendars(additionalSources))
        skipped.insert(skipped.end(), snapshot.skipped.begin(), snapshot.skipped.end());
    return skipped;
}

std::vector<CalendarSnapshot> CalendarCache::calendars(const std::vector<std::string>& additionalSources)
{
    std::lock_guard guard(lock_);
    changes_ = watcher_.takeChanges();

    std::vector<std::pair<std::string, bool>> rootPaths = { { CalendarLocations::deviceFolder(), true } };
    for (const std::string& path : additionalSources)
        rootPaths.emplace_back(CalendarLocations::normalised(path), false);

    std::vector<CalendarLocation> entries;
    std::set<std::string> rootsInUse;
    for (const auto& [path, device] : rootPaths) {
        rootsInUse.insert(path);
        CalendarLocations::addNew(entries, rootEntries(path, device));
    }
    std::erase_if(roots_, [&](const auto& root) { return !rootsInUse.count(root.first); });

    std::vector<CalendarSnapshot> snapshots;
    std::set<std::string> watched = rootsInUse;
    for (const CalendarLocation& entry : entries) {
        CalendarSource& source = sourceFor(entry);
        watched.insert(source.watchedFolder());
        snapshots.push_back(source.snapshot());
    }
    std::erase_if(sources_, [&](const auto& source) {
        return std::none_of(
            entries.begin(), entries.end(), [&](const CalendarLocation& entry) { return entry.path == source.first; });
    });
    watcher_.keepOnly(watched);
    return snapshots;
}

const std::vector<CalendarLocation>& CalendarCache::rootEntries(const std::string& path, bool device)
{
    Root& root = roots_[path];
    const bool watching = watcher_.isWatching(path);
    if (root.listed && watching && !changes_.count(path))
        return root.entries;
    // Watch before listing, so that nothing changes unseen in between.
    watcher_.watch(path);
    root.entries = device ? locations_.listDevice(path) : locations_.listHost(path);
    root.listed = true;
    return root.entries;
}

CalendarSource& CalendarCache::sourceFor(const CalendarLocation& entry)
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
