// What this process holds from the system right now: open file descriptors,
// threads and resident memory, as /proc shows them, and the part of the heap in
// use, as the allocator (AddressSanitizer's, under the asan preset) counts it.
#pragma once

#include <cstddef>

struct ProcessResources {
    std::size_t descriptors = 0;
    std::size_t threads = 0;
    std::size_t residentBytes = 0;
    std::size_t heapInUseBytes = 0;

    static ProcessResources now();
};
