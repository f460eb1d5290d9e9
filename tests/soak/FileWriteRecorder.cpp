#include "FileWriteRecorder.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

namespace file_writes {
namespace {

struct Recorder {
    std::mutex lock;
    std::set<std::string> watched;
    std::vector<Write> kept;
    std::size_t seen = 0;
};

// Never destroyed: writes go on during static destruction.
Recorder& recorder()
{
    static auto* instance = new Recorder;
    return *instance;
}

// The recorder's own allocations and the unwinder may open files too.
thread_local bool recording = false;

std::vector<std::string> librariesOnStack()
{
    void* frames[64];
    const int count = backtrace(frames, 64);
    std::vector<std::string> libraries;
    for (int i = 0; i < count; ++i) {
        Dl_info info {};
        if (!dladdr(frames[i], &info) || !info.dli_fname)
            continue;
        std::string name = std::filesystem::path(info.dli_fname).filename().string();
        if (libraries.empty() || libraries.back() != name)
            libraries.push_back(std::move(name));
    }
    return libraries;
}

std::string pathAt(int folder, const char* path)
{
    if (!path)
        return {};
    if (path[0] == '/')
        return path;
    std::error_code error;
    const std::filesystem::path base = folder == AT_FDCWD
        ? std::filesystem::current_path(error)
        : std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(folder), error);
    return (base / path).string();
}

void record(const char* call, int folder, const char* path)
{
    if (recording)
        return;
    recording = true;
    Write write { call, pathAt(folder, path), librariesOnStack() };
    {
        Recorder& state = recorder();
        std::lock_guard guard(state.lock);
        ++state.seen;
        for (const std::string& library : write.libraries)
            if (state.watched.count(library)) {
                state.kept.push_back(std::move(write));
                break;
            }
    }
    recording = false;
}

bool writes(int flags)
{
    return (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC)) != 0;
}

bool writes(const char* mode)
{
    return mode && std::strpbrk(mode, "wa+") != nullptr;
}

bool takesMode(int flags)
{
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

template <typename Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

void watch(const std::string& libraryFileName)
{
    std::lock_guard guard(recorder().lock);
    recorder().watched.insert(libraryFileName);
}

void unwatch(const std::string& libraryFileName)
{
    std::lock_guard guard(recorder().lock);
    recorder().watched.erase(libraryFileName);
}

std::vector<Write> kept()
{
    std::lock_guard guard(recorder().lock);
    return recorder().kept;
}

std::size_t seen()
{
    std::lock_guard guard(recorder().lock);
    return recorder().seen;
}

void clear()
{
    std::lock_guard guard(recorder().lock);
    recorder().kept.clear();
    recorder().seen = 0;
}

} // namespace file_writes

using file_writes::next;
using file_writes::record;
using file_writes::takesMode;
using file_writes::writes;

// The interposed calls: each records a writing call, then hands it on unchanged.
// The open family reads its mode argument only where the kernel would.
namespace {

mode_t modeArgument(int flags, va_list arguments)
{
    return takesMode(flags) ? va_arg(arguments, mode_t) : 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    if (writes(flags))
        record("open", AT_FDCWD, path);
    static auto real = next<int (*)(const char*, int, ...)>("open");
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    if (writes(flags))
        record("open64", AT_FDCWD, path);
    static auto real = next<int (*)(const char*, int, ...)>("open64");
    return real(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    if (writes(flags))
        record("openat", folder, path);
    static auto real = next<int (*)(int, const char*, int, ...)>("openat");
    return real(folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    if (writes(flags))
        record("openat64", folder, path);
    static auto real = next<int (*)(int, const char*, int, ...)>("openat64");
    return real(folder, path, flags, mode);
}

int creat(const char* path, mode_t mode)
{
    record("creat", AT_FDCWD, path);
    static auto real = next<int (*)(const char*, mode_t)>("creat");
    return real(path, mode);
}

int creat64(const char* path, mode_t mode)
{
    record("creat64", AT_FDCWD, path);
    static auto real = next<int (*)(const char*, mode_t)>("creat64");
    return real(path, mode);
}

FILE* fopen(const char* path, const char* mode)
{
    if (writes(mode))
        record("fopen", AT_FDCWD, path);
    static auto real = next<FILE* (*)(const char*, const char*)>("fopen");
    return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode)
{
    if (writes(mode))
        record("fopen64", AT_FDCWD, path);
    static auto real = next<FILE* (*)(const char*, const char*)>("fopen64");
    return real(path, mode);
}

FILE* freopen(const char* path, const char* mode, FILE* stream)
{
    if (writes(mode))
        record("freopen", AT_FDCWD, path);
    static auto real = next<FILE* (*)(const char*, const char*, FILE*)>("freopen");
    return real(path, mode, stream);
}

int mkstemp(char* pattern)
{
    record("mkstemp", AT_FDCWD, pattern);
    static auto real = next<int (*)(char*)>("mkstemp");
    return real(pattern);
}

int mkostemp(char* pattern, int flags)
{
    record("mkostemp", AT_FDCWD, pattern);
    static auto real = next<int (*)(char*, int)>("mkostemp");
    return real(pattern, flags);
}

int mkdir(const char* path, mode_t mode)
{
    record("mkdir", AT_FDCWD, path);
    static auto real = next<int (*)(const char*, mode_t)>("mkdir");
    return real(path, mode);
}

int rename(const char* from, const char* to)
{
    record("rename", AT_FDCWD, to);
    static auto real = next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

int unlink(const char* path)
{
    record("unlink", AT_FDCWD, path);
    static auto real = next<int (*)(const char*)>("unlink");
    return real(path);
}

int truncate(const char* path, off_t length)
{
    record("truncate", AT_FDCWD, path);
    static auto real = next<int (*)(const char*, off_t)>("truncate");
    return real(path, length);
}

} // extern "C"
