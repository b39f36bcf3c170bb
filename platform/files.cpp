#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `component` ignoring ASCII case, or "" when none does.
std::string find_ignoring_case(const std::string& folder, const std::string& component)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string found;
    while (const dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

std::string temporary_beside(const char* name)
{
    return resolve_path(name) + ".tmp~";
}

} // namespace

std::string resolve_path(std::string_view name)
{
    std::string wanted(name);
    for (char& c : wanted)
        if (c == '\\')
            c = '/';
    if (wanted.empty() || exists(wanted))
        return wanted;

    // Walk the components, keeping each that exists as written and matching the others by case.
    std::string result;
    size_t pos = 0;
    if (wanted[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool matching = true;
    while (pos <= wanted.size()) {
        size_t end = wanted.find('/', pos);
        if (end == std::string::npos)
            end = wanted.size();
        std::string component = wanted.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty())
            continue;
        std::string folder = result;
        std::string candidate = folder.empty() || folder.back() == '/' ? folder + component : folder + "/" + component;
        if (matching && !exists(candidate) && component != "." && component != "..") {
            std::string match = find_ignoring_case(folder, component);
            if (!match.empty())
                candidate = folder.empty() || folder.back() == '/' ? folder + match : folder + "/" + match;
            else
                matching = false;
        }
        result = candidate;
    }
    if (!wanted.empty() && wanted.back() == '/' && (result.empty() || result.back() != '/'))
        result += '/';
    return result;
}

int open_file_read(const char* name)
{
    return open(resolve_path(name).c_str(), O_RDONLY | O_CLOEXEC);
}

int open_file_write(const char* name)
{
    return open(resolve_path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

bool is_readable_file(const char* name)
{
    std::string path = resolve_path(name);
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

bool is_folder(const char* name)
{
    struct stat st;
    return stat(resolve_path(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

uint32_t file_size(const char* name)
{
    struct stat st;
    if (stat(resolve_path(name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return st.st_size > 0xFFFFFFFFll ? 0xFFFFFFFFu : uint32_t(st.st_size);
}

bool make_folder(const char* name)
{
    std::string path = resolve_path(name);
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/')
            continue;
        std::string prefix = path.substr(0, i);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return is_folder(path.c_str());
}

bool read_whole_file(const char* name, std::vector<uint8_t>* out)
{
    out->clear();
    int fd = open_file_read(name);
    if (fd < 0)
        return false;
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        out->insert(out->end(), chunk, chunk + got);
    }
    close(fd);
    return ok;
}

bool write_whole_file(const char* name, const void* data, size_t size)
{
    std::string temp = temporary_beside(name);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t put = write(fd, bytes + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        done += size_t(put);
    }
    bool ok = done == size;
    ok = close(fd) == 0 && ok;
    if (ok)
        ok = rename(temp.c_str(), resolve_path(name).c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

bool copy_file(const char* from, const char* to)
{
    std::vector<uint8_t> bytes;
    return read_whole_file(from, &bytes) && write_whole_file(to, bytes.data(), bytes.size());
}

bool delete_file(const char* name)
{
    std::string path = resolve_path(name);
    chmod(path.c_str(), 0644);
    return unlink(path.c_str()) == 0;
}

bool replace_file(const char* from, const char* to)
{
    return rename(resolve_path(from).c_str(), resolve_path(to).c_str()) == 0;
}

std::vector<folder_entry> list_folder(const char* name)
{
    std::vector<folder_entry> entries;
    std::string path = resolve_path(name);
    DIR* dir = opendir(path.empty() ? "." : path.c_str());
    if (!dir)
        return entries;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        folder_entry item;
        item.name = entry->d_name;
        struct stat st;
        std::string full = path.empty() ? item.name : path + "/" + item.name;
        if (stat(full.c_str(), &st) == 0) {
            item.is_folder = S_ISDIR(st.st_mode);
            item.size = item.is_folder ? 0 : uint64_t(st.st_size);
        }
        entries.push_back(std::move(item));
    }
    closedir(dir);
    return entries;
}

bool file_modified_time(const char* name, int64_t* seconds)
{
    struct stat st;
    if (stat(resolve_path(name).c_str(), &st) != 0)
        return false;
    *seconds = int64_t(st.st_mtime);
    return true;
}
