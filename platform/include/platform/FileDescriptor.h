// An open file descriptor that closes itself when it goes, on every path.
#pragma once

#include <unistd.h>

#include <utility>

namespace platform {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : fd_(fd)
    {
    }
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    // -1 when nothing is open.
    int get() const { return fd_; }
    // Hands the descriptor over; this one then owns nothing.
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now, reporting the error a deferred write may only show here.
    bool close() { return ::close(release()) == 0; }

private:
    int fd_;
};

} // namespace platform
