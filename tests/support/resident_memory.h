// The process's resident memory, as the kernel counts it.
#pragma once

#include <fstream>
#include <string>

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
