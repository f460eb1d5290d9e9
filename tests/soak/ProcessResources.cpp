#include "ProcessResources.h"

#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own count; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::size_t entriesIn(const char* folder)
{
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// statm's second field: resident pages.
std::size_t residentSize()
{
    std::size_t size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

std::size_t heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

} // namespace

ProcessResources ProcessResources::now()
{
    // The iterator over /proc/self/fd holds one descriptor of its own while it counts.
    return { entriesIn("/proc/self/fd") - 1, entriesIn("/proc/self/task"), residentSize(), heapInUse() };
}
