// How Darwin notifications cross processes: every listening process binds one
// Unix datagram socket, named by its process id, in a folder shared by all the
// processes booted on the same device root; a post sends the notification's name
// to every socket there. A socket whose process died is removed by the next post
// that finds nobody behind it.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

class DarwinChannel {
public:
    DarwinChannel() = default;
    ~DarwinChannel();
    DarwinChannel(const DarwinChannel&) = delete;
    DarwinChannel& operator=(const DarwinChannel&) = delete;

    // The folder for a device root: under $XDG_RUNTIME_DIR, else /tmp, named for
    // the user and a hash of the root's canonical path.
    static std::string folderFor(const std::string& deviceRoot);

    // Starts listening for the root, or moves there from another root. Answers
    // false, and listens nowhere, when the folder or socket cannot be made.
    bool listen(const std::string& deviceRoot);
    void close();
    // The bound socket, or -1. A forked child does not own its parent's socket.
    int descriptor() const;
    const std::string& deviceRoot() const { return root_; }

    // The names that arrived since the last call.
    std::vector<std::string> receive();

    // Sends `name` to every listener of the root except `except` (a socket path).
    static void post(const std::string& deviceRoot, const std::string& name, const std::string& except);
    const std::string& socketPath() const { return path_; }

private:
    int socket_ = -1;
    pid_t owner_ = 0;
    std::string root_;
    std::string path_;
};

} // namespace platform
