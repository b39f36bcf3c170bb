// The process's resident memory, as the kernel counts it.
#pragma once

#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

// VmRSS of /proc/self/status in MB; -1 where it cannot be read.
inline long resident_mb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = -1;
            status >> kb;
            return kb < 0 ? -1 : kb / 1024;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// The whole pages inside [begin, end) that this process has written: present and mapped by it
// alone (/proc/self/pagemap). A page that was only read maps the shared zero page and does not
// count. -1 when the page map cannot be read.
inline long written_pages(const void* begin, const void* end)
{
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t first = (uintptr_t(begin) + page - 1) / page, last = uintptr_t(end) / page;
    const int map = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (map < 0)
        return -1;
    long written = 0;
    for (uintptr_t p = first; p < last; ++p) {
        uint64_t entry = 0;  // the map is read in whole entries
        if (pread(map, &entry, sizeof entry, off_t(p * sizeof entry)) != ssize_t(sizeof entry)) {
            written = -1;
            break;
        }
        const bool present = entry >> 63 & 1, exclusive = entry >> 56 & 1;
        written += present && exclusive ? 1 : 0;
    }
    close(map);
    return written;
}
