#include "ChangeWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace eventkit {
namespace {

constexpr uint32_t watchedEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO
    | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

ChangeWatcher::ChangeWatcher()
    : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
}

ChangeWatcher::~ChangeWatcher()
{
    if (fd_ >= 0)
        close(fd_);
}

bool ChangeWatcher::watch(const std::string& folder)
{
    if (watches_.count(folder))
        return true;
    if (fd_ < 0)
        return false;
    const int descriptor = inotify_add_watch(fd_, folder.c_str(), watchedEvents);
    if (descriptor < 0)
        return false;
    watches_[folder] = descriptor;
    folders_[descriptor].insert(folder);
    return true;
}

void ChangeWatcher::keepOnly(const std::set<std::string>& keep)
{
    for (auto watch = watches_.begin(); watch != watches_.end();) {
        if (keep.count(watch->first)) {
            ++watch;
            continue;
        }
        // Two spellings of one folder share a descriptor: keep it while either is wanted.
        auto& names = folders_[watch->second];
        names.erase(watch->first);
        if (names.empty()) {
            inotify_rm_watch(fd_, watch->second);
            folders_.erase(watch->second);
        }
        watch = watches_.erase(watch);
    }
}

void ChangeWatcher::forget(int descriptor)
{
    auto found = folders_.find(descriptor);
    if (found == folders_.end())
        return;
    for (const std::string& folder : found->second)
        watches_.erase(folder);
    folders_.erase(found);
}

std::map<std::string, ChangeWatcher::FolderChanges> ChangeWatcher::takeChanges()
{
    std::map<std::string, FolderChanges> changes;
    if (fd_ < 0)
        return changes;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = read(fd_, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                for (const auto& [folder, descriptor] : watches_)
                    changes[folder].everything = true;
                continue;
            }
            auto folders = folders_.find(event->wd);
            if (folders == folders_.end())
                continue;
            const bool gone = event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED);
            for (const std::string& folder : folders->second) {
                FolderChanges& change = changes[folder];
                change.everything |= gone;
                if (event->len)
                    change.names.insert(event->name);
            }
            if (gone) {
                inotify_rm_watch(fd_, event->wd);
                forget(event->wd);
            }
        }
    }
    return changes;
}

} // namespace eventkit
