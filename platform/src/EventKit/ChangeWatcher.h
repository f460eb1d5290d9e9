// Which watched folders changed since the last look, from the kernel's file
// notifications (inotify). Asking costs one system call however many files a
// folder holds, which is what lets a store of ten thousand items be made again
// within a frame; where notifications are not available, callers look at every
// file instead.
#pragma once

#include <map>
#include <set>
#include <string>

namespace eventkit {

class ChangeWatcher {
public:
    ChangeWatcher();
    ~ChangeWatcher();
    ChangeWatcher(const ChangeWatcher&) = delete;
    ChangeWatcher& operator=(const ChangeWatcher&) = delete;

    // Starts watching a folder (again a no-op); false when it cannot be watched.
    bool watch(const std::string& folder);
    bool isWatching(const std::string& folder) const { return watches_.count(folder) != 0; }
    // Stops watching every folder not in `keep`.
    void keepOnly(const std::set<std::string>& keep);

    struct FolderChanges {
        bool everything = false; // the folder itself went away, or events were lost
        std::set<std::string> names;
    };
    // The changes since the last call, by folder. A folder that went away is no
    // longer watched.
    std::map<std::string, FolderChanges> takeChanges();

private:
    void forget(int descriptor);

    int fd_ = -1;
    std::map<std::string, int> watches_;
    std::map<int, std::set<std::string>> folders_;
};

} // namespace eventkit
