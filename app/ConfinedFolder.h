// A folder that is written only inside itself. Every path below it is walked one
// name at a time from the folder's own descriptor, and no symbolic link on the
// way is followed: a link planted in the folder (to /etc, to the user's home) is
// refused, never written through, and a file is replaced by renaming a new one
// over its name, which replaces a link rather than the file it points to.
#pragma once

#include <platform/FileDescriptor.h>

#include <sys/types.h>

#include <string>
#include <string_view>

class ConfinedFolder {
public:
    // Opens the folder, making it (not its parents) when it is missing.
    // CommandError when it cannot, or when it is something else than a folder.
    explicit ConfinedFolder(std::string path);
    ConfinedFolder(const ConfinedFolder&) = delete;
    ConfinedFolder& operator=(const ConfinedFolder&) = delete;

    const std::string& path() const { return path_; }
    bool isEmpty() const;
    // Whether anything, a link included, has the name.
    bool holds(std::string_view relative) const;

    // Paths are relative to the folder, with "/" between names and no "..".
    // Each is a CommandError when it cannot be done, naming the path.
    void makeFolders(std::string_view relative) const;
    // The file's whole contents, replacing whatever has its name.
    void writeFile(std::string_view relative, std::string_view bytes, mode_t mode = 0644) const;
    // A symbolic link; one that is there already with the same target is kept.
    void makeLink(std::string_view relative, const std::string& target) const;
    // Removes the entry, and all a folder holds, links as links.
    void remove(std::string_view relative) const;

private:
    // A descriptor of the folder at `relative` (the folder itself for ""),
    // made on the way when `make` is set; -1 when a name on the way is missing.
    int openFolder(std::string_view relative, bool make) const;
    std::string where(std::string_view relative) const;

    std::string path_;
    platform::FileDescriptor fd_;
};
