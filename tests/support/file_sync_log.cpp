#include "support/file_sync_log.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

std::vector<std::string>* g_events = nullptr;

template <class Function>
Function next_definition(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

// The process's own definitions come before the C library's, so the program's calls land here.
extern "C" int fsync(int fd)
{
    static auto real = next_definition<int (*)(int)>("fsync");
    if (g_events) {
        char link[64], path[4096];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        ssize_t n = readlink(link, path, sizeof path - 1);
        g_events->push_back("sync " + std::string(path, n > 0 ? size_t(n) : 0));
    }
    return real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    static auto real = next_definition<int (*)(const char*, const char*)>("rename");
    if (g_events)
        g_events->push_back("rename " + file_sync_log::full(from) + " -> " + file_sync_log::full(to));
    return real(from, to);
}

file_sync_log::file_sync_log()
{
    g_events = &events_;
}

file_sync_log::~file_sync_log()
{
    g_events = nullptr;
}

std::string file_sync_log::full(const std::string& name)
{
    std::error_code ec;
    return std::filesystem::weakly_canonical(std::filesystem::absolute(name), ec).string();
}
