#include "CalendarFiles.h"

#include "ItemParser.h"

#include <Foundation/NSLog.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <thread>

namespace eventkit {
namespace {

// How files are shared out among threads: fewer than `perThread` files each
// are handled on the calling thread, and a thread takes `batch` at a time.
struct Sharing {
    std::size_t perThread;
    std::size_t batch;
};
// Reading a file is long enough to hand files out one by one; taking a stamp
// is so short that threads would mostly contend for the next index.
constexpr Sharing reading { 64, 1 };
constexpr Sharing stamping { 2048, 256 };
constexpr unsigned maxThreads = 8;

// Runs `work(index)` for every index below `count`, on as many threads as the
// machine has (at most `maxThreads`).
template <typename Work> void onThreads(std::size_t count, Sharing sharing, const Work& work)
{
    const unsigned threads = std::min<std::size_t>(
        { std::max(1u, std::thread::hardware_concurrency()), maxThreads, count / sharing.perThread + 1 });
    std::atomic<std::size_t> next { 0 };
    auto run = [&] {
        for (std::size_t first = next.fetch_add(sharing.batch); first < count; first = next.fetch_add(sharing.batch)) {
            for (std::size_t index = first; index < std::min(count, first + sharing.batch); ++index)
                work(index);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i)
        helpers.emplace_back(run);
    run();
    for (std::thread& helper : helpers)
        helper.join();
}

std::optional<FileStamp> statxStamp(int folder, const char* name, bool (*isKind)(mode_t))
{
    constexpr unsigned needed = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_CTIME | STATX_INO;
    struct statx info { };
    if (statx(folder, name, AT_STATX_SYNC_AS_STAT, needed, &info) != 0 || (info.stx_mask & needed) != needed
        || !isKind(info.stx_mode))
        return std::nullopt;
    return FileStamp::of(info);
}

bool isRegular(mode_t mode)
{
    return S_ISREG(mode);
}
bool isFolder(mode_t mode)
{
    return S_ISDIR(mode);
}

struct FileContents {
    std::string text;
    struct stat info { };
};

struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

StoreError unreadable()
{
    return { StoreError::Kind::Unreadable, strerror(errno) };
}

// The text and stamp of a file, from one open descriptor so that they agree;
// else why there is none. O_NONBLOCK keeps a FIFO or a device from stalling
// the open; they are then refused as not regular.
ErrorOr<FileContents> readFile(const std::string& path)
{
    const Descriptor file { open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) };
    FileContents contents;
    if (file.fd < 0 || fstat(file.fd, &contents.info) != 0)
        return unreadable();
    if (!S_ISREG(contents.info.st_mode))
        return StoreError { StoreError::Kind::NotRegular, "not a regular file" };
    std::string& text = contents.text;
    text.resize(static_cast<std::size_t>(contents.info.st_size));
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = read(file.fd, text.data() + done, text.size() - done);
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    return contents;
}

ErrorOr<ReadItemFile> readItemFile(const std::string& path, Parsing parsing)
{
    const FileContents contents = TRY(readFile(path));
    ReadItemFile result { FileStamp::of(contents.info) };
    if (parsing == Parsing::WhenNeeded)
        result.deferred = plainItemBounds(contents.text);
    if (!result.deferred)
        result.parsed = std::make_shared<const ParsedFile>(parseCalendarFile(contents.text, path));
    return result;
}

} // namespace

FileStamp FileStamp::of(const struct stat& info)
{
    return { info.st_mtim, info.st_ctim, info.st_size, info.st_ino };
}

FileStamp FileStamp::of(const struct statx& info)
{
    const auto time = [](const statx_timestamp& at) { return timespec { at.tv_sec, at.tv_nsec }; };
    return { time(info.stx_mtime), time(info.stx_ctime), static_cast<off_t>(info.stx_size), info.stx_ino };
}

bool FileStamp::operator==(const FileStamp& other) const
{
    return modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec
        && changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec && size == other.size
        && inode == other.inode;
}

std::optional<FileStamp> stampOf(const std::string& path)
{
    return stampAt(AT_FDCWD, path.c_str());
}

std::optional<FileStamp> stampAt(int folder, const char* name)
{
    return statxStamp(folder, name, isRegular);
}

std::vector<std::optional<FileStamp>> stampsAt(int folder, const std::vector<const char*>& names)
{
    std::vector<std::optional<FileStamp>> stamps(names.size());
    onThreads(names.size(), stamping, [&](std::size_t index) { stamps[index] = stampAt(folder, names[index]); });
    return stamps;
}

std::optional<FileStamp> folderStampOf(const std::string& path)
{
    return statxStamp(AT_FDCWD, path.c_str(), isFolder);
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    ErrorOr<FileContents> contents = readFile(path);
    if (!contents)
        return std::nullopt;
    return std::move(contents->text);
}

std::vector<ErrorOr<ReadItemFile>> readItemFiles(const std::vector<std::string>& paths, Parsing parsing)
{
    // Each answer is written by one thread over what stands in for it.
    std::vector<ErrorOr<ReadItemFile>> results(paths.size(), StoreError { StoreError::Kind::Unreadable, {} });
    onThreads(paths.size(), reading, [&](std::size_t index) { results[index] = readItemFile(paths[index], parsing); });
    return results;
}

bool isItemName(std::string_view name)
{
    constexpr std::string_view extension = ".ics";
    return name.size() > extension.size() && name.front() != '.'
        && std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
            [](char wanted, char c) { return wanted == std::tolower(static_cast<unsigned char>(c)); });
}

ErrorOr<std::vector<std::string>> itemNamesIn(const std::string& folder)
{
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        return StoreError { StoreError::Kind::Unreadable,
            std::string("it cannot be listed (") + strerror(errno) + ")" };
    std::vector<std::string> names;
    while (const dirent* entry = readdir(listing)) {
        if (isItemName(entry->d_name))
            names.emplace_back(entry->d_name);
    }
    closedir(listing);
    return names;
}

void logSkipped(const std::string& path, const StoreError& error)
{
    NSLog("EventKit: skipping %s: %s", path.c_str(), error.message.c_str());
}

} // namespace eventkit
