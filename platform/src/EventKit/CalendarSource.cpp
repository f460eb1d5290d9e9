#include "CalendarSource.h"

#include "TextCleaning.h"
#include "TextEncoding.h"

#include <Foundation/NSLog.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string_view>
#include <unordered_map>

namespace eventkit {
namespace {

constexpr const char* displayNameFile = "displayname";
constexpr const char* colorFile = "color";

} // namespace

FolderMetadata readFolderMetadata(const std::string& folder)
{
    FolderMetadata metadata;
    std::string converted;
    if (auto text = readWholeFile(folder + "/" + displayNameFile)) {
        std::string title = cleanText(utf8Text(*text, converted));
        if (!title.empty())
            metadata.name = std::move(title);
    }
    if (auto text = readWholeFile(folder + "/" + colorFile))
        metadata.color = parseColor(utf8Text(*text, converted));
    return metadata;
}

CalendarSource::CalendarSource(std::string path, Kind kind, std::string identifier, std::string fallbackTitle)
    : path_(std::move(path))
    , kind_(kind)
    , folder_(kind == Kind::Folder ? path_ : std::filesystem::path(path_).parent_path().string())
    , fallbackTitle_(std::move(fallbackTitle))
{
    snapshot_.path = path_;
    snapshot_.identifier = std::move(identifier);
}

std::string CalendarSource::fullPath(const std::string& name) const
{
    return folder_ + "/" + name;
}

void CalendarSource::refresh(const ChangeWatcher::FolderChanges* changes)
{
    if (!scanned_ || !changes || changes->everything) {
        scanEverything();
        scanned_ = true;
    } else {
        for (const std::string& name : changes->names)
            updateName(name);
    }
    if (changed_ || !snapshot_.contents)
        rebuild();
    snapshot_.skipped = skippedFiles();
}

void CalendarSource::scanEverything()
{
    std::set<std::string> present;
    if (kind_ == Kind::File) {
        present.insert(std::filesystem::path(path_).filename().string());
    } else if (ErrorOr<std::vector<std::string>> names = itemNamesIn(folder_)) {
        present.insert(names->begin(), names->end());
        noteListing(std::nullopt);
        readMetadata();
    } else {
        noteListing(names.error().message);
    }
    std::erase_if(skipped_, [&](const auto& entry) { return !present.count(entry.first); });
    for (auto entry = files_.begin(); entry != files_.end();) {
        if (present.count(entry->first)) {
            ++entry;
            continue;
        }
        entry = files_.erase(entry);
        changed_ = true;
    }
    std::vector<std::string> stale;
    for (const std::string& name : present) {
        if (needsReading(name))
            stale.push_back(name);
    }
    readItems(stale);
}

void CalendarSource::updateName(const std::string& name)
{
    if (kind_ == Kind::File) {
        if (name == std::filesystem::path(path_).filename().string() && needsReading(name))
            readItems({ name });
        return;
    }
    if (name == displayNameFile || name == colorFile)
        readMetadata();
    else if (isItemName(name) && needsReading(name))
        readItems({ name });
}

bool CalendarSource::needsReading(const std::string& name)
{
    auto known = files_.find(name);
    if (known == files_.end())
        return true;
    const auto stamp = stampOf(fullPath(name));
    if (!stamp) {
        files_.erase(known);
        skipped_.erase(name);
        changed_ = true;
        return false;
    }
    return !(*stamp == known->second.stamp);
}

void CalendarSource::readItems(const std::vector<std::string>& names)
{
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(fullPath(name));
    std::vector<ErrorOr<ReadItemFile>> read = readItemFiles(paths, Parsing::WhenNeeded);
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (!read[index]) {
            logSkipped(paths[index], read[index].error());
            changed_ |= files_.erase(names[index]) != 0;
            skipped_[names[index]] = read[index].error().message;
            continue;
        }
        ReadItemFile& file = read[index].value();
        if (file.parsed && file.parsed->skipped)
            skipped_[names[index]] = file.parsed->skipped->message;
        else
            skipped_.erase(names[index]);
        changed_ = true;
        if (file.parsed) {
            for (const std::string& problem : file.parsed->problems)
                NSLog("%s", problem.c_str());
        }
        std::shared_ptr<DeferredItem> deferred;
        if (file.deferred)
            deferred = std::make_shared<DeferredItem>(DeferredItem { *file.deferred, paths[index], nullptr });
        files_[names[index]] = { file.stamp, std::move(file.parsed), std::move(deferred) };
    }
}

// A folder that cannot be listed is logged once, until it can be again.
void CalendarSource::noteListing(const std::optional<std::string>& problem)
{
    if (problem && problem != unlisted_)
        logSkipped(folder_, { StoreError::Kind::Unreadable, *problem });
    unlisted_ = problem;
}

std::vector<SkippedFile> CalendarSource::skippedFiles() const
{
    std::vector<SkippedFile> skipped;
    if (unlisted_)
        skipped.push_back({ folder_, *unlisted_ });
    for (const auto& [name, reason] : skipped_)
        skipped.push_back({ fullPath(name), reason });
    return skipped;
}

void CalendarSource::readMetadata()
{
    FolderMetadata metadata = readFolderMetadata(folder_);
    if (metadata == metadata_)
        return;
    metadata_ = std::move(metadata);
    changed_ = true;
}

// A plain item that shares its UID with another item may be an older or newer
// revision of it: it is parsed now, so that the calendar can keep the latest.
std::vector<DeferredItem*> CalendarSource::revisedDeferredItems() const
{
    std::unordered_map<std::string_view, int> uses;
    for (const auto& [name, entry] : files_) {
        if (entry.deferred) {
            ++uses[entry.deferred->bounds.uid];
            continue;
        }
        for (const Series& series : entry.parsed->series)
            ++uses[series.master.uid];
    }
    std::vector<DeferredItem*> revised;
    for (const auto& [name, entry] : files_) {
        if (entry.deferred && uses[entry.deferred->bounds.uid] > 1)
            revised.push_back(entry.deferred.get());
    }
    parseDeferredItems(revised);
    return revised;
}

void CalendarSource::rebuild()
{
    const std::vector<DeferredItem*> revised = revisedDeferredItems();
    std::vector<std::shared_ptr<const ParsedFile>> parsed;
    std::vector<std::shared_ptr<DeferredItem>> deferred;
    std::optional<std::string> fileName;
    std::optional<RGBA> fileColor;
    for (const auto& [name, entry] : files_) {
        const bool plain
            = entry.deferred && std::find(revised.begin(), revised.end(), entry.deferred.get()) == revised.end();
        if (plain) {
            deferred.push_back(entry.deferred);
            continue;
        }
        const std::shared_ptr<const ParsedFile>& file = entry.deferred ? entry.deferred->parsed : entry.parsed;
        parsed.push_back(file);
        if (!fileName && file->calendarName && !file->calendarName->empty())
            fileName = file->calendarName;
        if (!fileColor)
            fileColor = file->calendarColor;
    }
    snapshot_.contents = std::make_shared<const CalendarContents>(std::move(parsed), std::move(deferred));
    snapshot_.title = metadata_.name.value_or(fileName.value_or(fallbackTitle_));
    snapshot_.color = metadata_.color.value_or(fileColor.value_or(defaultCalendarColor(snapshot_.identifier)));
    changed_ = false;
}

} // namespace eventkit
