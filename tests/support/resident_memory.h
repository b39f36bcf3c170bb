// The process's resident memory, as the kernel counts it.
#pragma once

#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/mman.h>
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

// Whether a read of untouched anonymous memory maps the kernel's shared zero page, which the page
// map does not count as this process's own. Some kernels give such a read a zeroed page of its own.
inline bool reads_map_the_zero_page()
{
    static const bool shared = [] {
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        void* memory = mmap(nullptr, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        const int map = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
        uint64_t entry = 0;
        if (memory != MAP_FAILED && map >= 0) {
            (void)*static_cast<volatile const char*>(memory);
            if (pread(map, &entry, sizeof entry, off_t(uintptr_t(memory) / page * sizeof entry)) != ssize_t(sizeof entry))
                entry = 0;
        }
        if (map >= 0)
            close(map);
        if (memory != MAP_FAILED)
            munmap(memory, page);
        return !(entry >> 63 & 1 && entry >> 56 & 1);
    }();
    return shared;
}

// The whole pages inside [begin, end) that this process has written: present and mapped by it
// alone (/proc/self/pagemap). A page that was only read maps the shared zero page and does not
// count; on a kernel that gives a read a page of its own, a page that is still all zero does not
// count either (so there a run that wrote zeros is not seen). -1 when the page map cannot be read.
inline long written_pages(const void* begin, const void* end)
{
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t first = (uintptr_t(begin) + page - 1) / page, last = uintptr_t(end) / page;
    const int map = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (map < 0)
        return -1;
    const bool zero_page = reads_map_the_zero_page();
    const auto all_zero = [page](uintptr_t p) {
        const auto* bytes = reinterpret_cast<const volatile unsigned char*>(p * page);
        for (uintptr_t i = 0; i < page; ++i)
            if (bytes[i] != 0)
                return false;
        return true;
    };
    long written = 0;
    for (uintptr_t p = first; p < last; ++p) {
        uint64_t entry = 0;  // the map is read in whole entries
        if (pread(map, &entry, sizeof entry, off_t(p * sizeof entry)) != ssize_t(sizeof entry)) {
            written = -1;
            break;
        }
        const bool present = entry >> 63 & 1, exclusive = entry >> 56 & 1;
        written += present && exclusive && (zero_page || !all_zero(p)) ? 1 : 0;
    }
    close(map);
    return written;
}
