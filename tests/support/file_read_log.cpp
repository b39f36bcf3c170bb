#include "support/file_read_log.h"

#include <dlfcn.h>
#include <fcntl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace {

std::mutex g_mutex;
std::vector<std::string>* g_files = nullptr;
std::string g_folder;  // the working folder while a log lives, ending in "/"
thread_local bool g_inside = false;

template <class Function>
Function next_definition(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void record(const char* path)
{
    if (!path || g_inside)
        return;
    g_inside = true;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_files) {
            std::error_code ec;
            namespace fs = std::filesystem;
            const fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
            const std::string text = ec ? std::string() : full.generic_string();
            if (!text.empty() && fs::is_regular_file(full, ec) &&
                std::find(g_files->begin(), g_files->end(), text) == g_files->end())
                g_files->push_back(text);
        }
    }
    g_inside = false;
}

// The C library's function of that name, with the file recorded when it is opened for reading only.
int recorded_open(const char* symbol, const char* path, int flags, mode_t mode)
{
    using open_function = int (*)(const char*, int, ...);
    if ((flags & O_ACCMODE) == O_RDONLY)
        record(path);
    return next_definition<open_function>(symbol)(path, flags, mode);
}

FILE* recorded_fopen(const char* symbol, const char* path, const char* mode)
{
    if (mode && mode[0] == 'r' && !std::strchr(mode, '+'))
        record(path);
    return next_definition<FILE* (*)(const char*, const char*)>(symbol)(path, mode);
}

// The mode argument that follows the flags of a call that creates a file; 0 for any other call.
mode_t creation_mode(int flags, va_list args)
{
    return flags & (O_CREAT | O_TMPFILE) ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

// The process's own definitions come before the C library's, so the program's calls and the
// shared libraries' land here.
extern "C" int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = creation_mode(flags, args);
    va_end(args);
    return recorded_open("open", path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = creation_mode(flags, args);
    va_end(args);
    return recorded_open("open64", path, flags, mode);
}

extern "C" FILE* fopen(const char* path, const char* mode)
{
    return recorded_fopen("fopen", path, mode);
}

extern "C" FILE* fopen64(const char* path, const char* mode)
{
    return recorded_fopen("fopen64", path, mode);
}

file_read_log::file_read_log()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::error_code ec;
    g_folder = std::filesystem::weakly_canonical(std::filesystem::current_path(ec), ec).generic_string() + "/";
    g_files = new std::vector<std::string>;
}

file_read_log::~file_read_log()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    delete g_files;
    g_files = nullptr;
}

std::vector<std::string> file_read_log::files() const
{
    std::vector<std::string> inside;
    for (const std::string& full : all_files())
        if (full.size() > g_folder.size() && full.compare(0, g_folder.size(), g_folder) == 0)
            inside.push_back(full.substr(g_folder.size()));
    return inside;
}

std::vector<std::string> file_read_log::all_files() const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_files ? *g_files : std::vector<std::string>();
}
