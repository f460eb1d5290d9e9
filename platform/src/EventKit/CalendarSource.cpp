#include "CalendarSource.h"

#include "ItemParser.h"
#include "TextCleaning.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

namespace eventkit {
namespace {

constexpr const char* displayNameFile = "displayname";
constexpr const char* colorFile = "color";

bool isItemName(const std::string& name)
{
    return name.size() > 4 && name.front() != '.' && name.compare(name.size() - 4, 4, ".ics") == 0;
}

// The whole file and its stamp, read from one open descriptor so they agree.
bool readFile(const std::string& path, std::string& text, struct stat& info)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t got = read(fd, text.data() + done, text.size() - done);
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        text.resize(done);
    }
    close(fd);
    return ok;
}

std::optional<std::string> readSmallFile(const std::string& path)
{
    std::string text;
    struct stat info { };
    if (!readFile(path, text, info))
        return std::nullopt;
    return text;
}

} // namespace

bool CalendarSource::FileStamp::operator==(const FileStamp& other) const
{
    return modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec && size == other.size
        && inode == other.inode;
}

CalendarSource::CalendarSource(std::string path, Kind kind, std::string identifier, std::string fallbackTitle)
    : path_(std::move(path))
    , kind_(kind)
    , folder_(kind == Kind::Folder ? path_ : std::filesystem::path(path_).parent_path().string())
    , fallbackTitle_(std::move(fallbackTitle))
{
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
}

void CalendarSource::scanEverything()
{
    std::set<std::string> present;
    if (kind_ == Kind::File) {
        present.insert(std::filesystem::path(path_).filename().string());
    } else if (DIR* folder = opendir(folder_.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            if (isItemName(entry->d_name))
                present.insert(entry->d_name);
        }
        closedir(folder);
        readMetadata();
    }
    for (auto entry = files_.begin(); entry != files_.end();) {
        if (present.count(entry->first)) {
            ++entry;
            continue;
        }
        entry = files_.erase(entry);
        changed_ = true;
    }
    for (const std::string& name : present)
        updateItem(name);
}

void CalendarSource::updateName(const std::string& name)
{
    if (kind_ == Kind::File) {
        if (name == std::filesystem::path(path_).filename().string())
            updateItem(name);
        return;
    }
    if (name == displayNameFile || name == colorFile)
        readMetadata();
    else if (isItemName(name))
        updateItem(name);
}

void CalendarSource::updateItem(const std::string& name)
{
    const std::string path = fullPath(name);
    struct stat info { };
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        changed_ |= files_.erase(name) != 0;
        return;
    }
    const FileStamp stamp { info.st_mtim, info.st_size, info.st_ino };
    auto existing = files_.find(name);
    if (existing != files_.end() && existing->second.stamp == stamp)
        return;
    std::string text;
    if (!readFile(path, text, info)) {
        changed_ |= files_.erase(name) != 0;
        return;
    }
    files_[name] = { FileStamp { info.st_mtim, info.st_size, info.st_ino },
        std::make_shared<const ParsedFile>(parseCalendarFile(text, path)) };
    changed_ = true;
}

void CalendarSource::readMetadata()
{
    std::optional<std::string> name;
    if (auto text = readSmallFile(fullPath(displayNameFile))) {
        std::string title = cleanText(*text);
        if (!title.empty())
            name = std::move(title);
    }
    std::optional<RGBA> color;
    if (auto text = readSmallFile(fullPath(colorFile)))
        color = parseColor(*text);
    if (name == displayName_ && color == folderColor_)
        return;
    displayName_ = std::move(name);
    folderColor_ = color;
    changed_ = true;
}

void CalendarSource::rebuild()
{
    std::vector<std::shared_ptr<const ParsedFile>> parsed;
    parsed.reserve(files_.size());
    std::optional<std::string> fileName;
    std::optional<RGBA> fileColor;
    for (const auto& [name, entry] : files_) {
        parsed.push_back(entry.parsed);
        if (!fileName && entry.parsed->calendarName && !entry.parsed->calendarName->empty())
            fileName = entry.parsed->calendarName;
        if (!fileColor)
            fileColor = entry.parsed->calendarColor;
    }
    snapshot_.contents = std::make_shared<const CalendarContents>(std::move(parsed));
    snapshot_.title = displayName_.value_or(fileName.value_or(fallbackTitle_));
    snapshot_.color = folderColor_.value_or(fileColor.value_or(defaultCalendarColor(snapshot_.identifier)));
    changed_ = false;
}

} // namespace eventkit
