// One calendar on disk, a vdir folder or an .ics file, kept parsed between
// stores and read again where its files changed.
#pragma once

#include "CalendarContents.h"
#include "CalendarFiles.h"
#include "ChangeWatcher.h"

#include <map>
#include <memory>
#include <string>

namespace eventkit {

// What a store sees of a calendar.
struct CalendarSnapshot {
    std::string identifier;
    std::string title;
    RGBA color;
    std::shared_ptr<const CalendarContents> contents;
    std::vector<SkippedFile> skipped;
    // The calendar's folder, or its .ics file.
    std::string path;
};

// What a calendar folder says of itself: its `displayname` and `color` files.
struct FolderMetadata {
    std::optional<std::string> name;
    std::optional<RGBA> color;
    bool operator==(const FolderMetadata&) const = default;
};
FolderMetadata readFolderMetadata(const std::string& folder);

class CalendarSource {
public:
    enum class Kind { Folder, File };

    // `identifier` as described in EKCalendar.h; `fallbackTitle` is the title
    // when neither a `displayname` file nor X-WR-CALNAME gives one.
    CalendarSource(std::string path, Kind kind, std::string identifier, std::string fallbackTitle);

    Kind kind() const { return kind_; }
    // The folder whose changes concern this calendar: itself, or a file's folder.
    const std::string& watchedFolder() const { return folder_; }

    // Reads every file on the first call and when `changes` is null (the folder
    // is not watched) or says everything changed; else only the files it names.
    // A file is parsed again only when its modification time, size or inode differ.
    void refresh(const ChangeWatcher::FolderChanges* changes);

    const CalendarSnapshot& snapshot() const { return snapshot_; }

private:
    struct FileEntry {
        FileStamp stamp;
        std::shared_ptr<const ParsedFile> parsed;
        std::shared_ptr<DeferredItem> deferred; // instead of `parsed`, for a plain item
    };

    void scanEverything();
    void updateName(const std::string& name);
    // Whether a file is new or changed; a file gone is forgotten at once.
    bool needsReading(const std::string& name);
    void readItems(const std::vector<std::string>& names);
    void readMetadata();
    std::string fullPath(const std::string& name) const;
    std::vector<DeferredItem*> revisedDeferredItems() const;
    void rebuild();
    void noteListing(const std::optional<std::string>& problem);
    std::vector<SkippedFile> skippedFiles() const;

    std::string path_;
    Kind kind_;
    std::string folder_;
    std::string fallbackTitle_;
    std::map<std::string, FileEntry> files_; // by file name, which orders the items
    std::map<std::string, std::string> skipped_; // by file name: why it is left out
    std::optional<std::string> unlisted_; // why the folder cannot be listed
    FolderMetadata metadata_;
    CalendarSnapshot snapshot_;
    bool scanned_ = false;
    bool changed_ = false;
};

} // namespace eventkit
