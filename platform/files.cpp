#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <set>
#include <fcntl.h>
#include <strings.h>
#include <sys/syscall.h>
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

std::atomic<unsigned> g_temporary_serial{0};
std::atomic<int> g_open_temporaries{0};  // names handed out and not yet committed or discarded

// fsync(2) of a file or folder by name. A file system that cannot sync (EINVAL) counts as synced.
bool sync_path(const std::string& path, int flags)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        return false;
    int result;
    do
        result = fsync(fd);
    while (result != 0 && errno == EINTR);
    bool synced = result == 0 || errno == EINVAL;
    close(fd);
    return synced;
}

std::string folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The folder batches: how many live, and the folders waiting for their sync.
int g_folder_batches = 0;
std::vector<std::string> g_folders_to_sync;

void sync_waiting_folders()
{
    for (const std::string& folder : g_folders_to_sync)
        sync_path(folder, O_DIRECTORY);
    g_folders_to_sync.clear();
}

// Writes the bytes into a new file of that name (not synced); false on any failure.
bool write_temporary(const std::string& name, const void* data, size_t size)
{
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
    return close(fd) == 0 && done == size;
}

// A folder whose entries changed: synced now, or once at the end of the live batch.
void sync_folder_entries(const std::string& folder)
{
    if (g_folder_batches == 0) {
        sync_path(folder, O_DIRECTORY);
        return;
    }
    if (std::find(g_folders_to_sync.begin(), g_folders_to_sync.end(), folder) == g_folders_to_sync.end())
        g_folders_to_sync.push_back(folder);
}

// Digits only, 1 to 10 of them, as a number below 2^31; false otherwise.
bool parse_decimal(std::string_view text, long* value)
{
    if (text.empty() || text.size() > 10)
        return false;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v > INT_MAX)
        return false;
    *value = v;
    return true;
}

// The process id of a name made by new_temporary_name, or 0 when the name is not one.
long temporary_owner(std::string_view name)
{
    size_t mark = name.rfind(".~");
    if (mark == std::string_view::npos || mark == 0)
        return 0;
    std::string_view tail = name.substr(mark + 2);
    size_t dash = tail.find('-');
    long pid = 0, serial = 0;
    if (dash == std::string_view::npos || !parse_decimal(tail.substr(0, dash), &pid) ||
        !parse_decimal(tail.substr(dash + 1), &serial) || pid <= 0)
        return 0;
    return pid;
}

bool process_running(long pid)
{
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
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
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

bool is_folder(const char* name)
{
    struct stat st;
    return stat(resolve_path(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool same_file(const char* a, const char* b)
{
    struct stat first, second;
    return stat(resolve_path(a).c_str(), &first) == 0 && stat(resolve_path(b).c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string working_relative_name(const char* name)
{
    namespace fs = std::filesystem;
    std::string wanted = name;
    std::replace(wanted.begin(), wanted.end(), '\\', '/');
    const fs::path given(wanted);
    const bool up = std::any_of(given.begin(), given.end(), [](const fs::path& part) { return part == ".."; });
    if (!wanted.empty() && given.is_relative() && !up)
        return wanted;
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::current_path(error), error);
    const fs::path full = error ? fs::path() : fs::weakly_canonical(fs::absolute(given, error), error);
    const fs::path relative = error ? fs::path() : full.lexically_relative(base);
    const std::string text = relative.generic_string();
    if (text.empty() || text == "." || relative.is_absolute() || *relative.begin() == "..")
        return {};
    return text;
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
    std::string temp = new_temporary_name(name);
    if (!write_temporary(temp, data, size)) {
        discard_temporary(temp);
        return false;
    }
    return commit_temporary(temp, name);
}

bool copy_file(const char* from, const char* to)
{
    std::vector<uint8_t> bytes;
    return read_whole_file(from, &bytes) && write_whole_file(to, bytes.data(), bytes.size());
}

bool fill_temporary_from(const char* from, const std::string& temporary, bool* shared)
{
    *shared = link(resolve_path(from).c_str(), temporary.c_str()) == 0;
    if (*shared)
        return true;
    std::vector<uint8_t> bytes;
    return read_whole_file(from, &bytes) && write_temporary(temporary, bytes.data(), bytes.size());
}

bool share_or_copy_file(const char* from, const char* to)
{
    std::string temporary = new_temporary_name(to);
    if (link(resolve_path(from).c_str(), temporary.c_str()) == 0)
        return commit_temporary(temporary, to, true);
    discard_temporary(temporary);
    return copy_file(from, to);
}

bool make_user_writable(const char* name)
{
    const std::string path = resolve_path(name);
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return false;
    return (st.st_mode & S_IWUSR) || chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
}

bool delete_file(const char* name)
{
    std::string path = resolve_path(name);
    chmod(path.c_str(), 0644);
    return unlink(path.c_str()) == 0;
}

bool replace_file(const char* from, const char* to, bool data_on_disk)
{
    std::string source = resolve_path(from), target = resolve_path(to);
    if (is_folder(source.c_str())) {
        // Its own entries are synced just below.
        g_folders_to_sync.erase(std::remove(g_folders_to_sync.begin(), g_folders_to_sync.end(), source),
                                g_folders_to_sync.end());
        sync_waiting_folders();
    }
    if ((!data_on_disk && !sync_path(source, 0)) || rename(source.c_str(), target.c_str()) != 0)
        return false;
    sync_folder_entries(folder_of(target));  // the file is replaced; a failure here changes nothing
    return true;
}

folder_sync_batch::folder_sync_batch()
{
    ++g_folder_batches;
}

folder_sync_batch::~folder_sync_batch()
{
    if (--g_folder_batches == 0)
        sync_waiting_folders();
}

std::string new_temporary_name(const char* target)
{
    ++g_open_temporaries;
    return resolve_path(target) + ".~" + std::to_string(getpid()) + "-" + std::to_string(++g_temporary_serial);
}

bool commit_temporary(const std::string& temporary, const char* target, bool data_on_disk)
{
    bool replaced = replace_file(temporary.c_str(), target, data_on_disk);
    if (!replaced)
        unlink(temporary.c_str());
    --g_open_temporaries;
    return replaced;
}

void discard_temporary(const std::string& temporary)
{
    unlink(temporary.c_str());
    --g_open_temporaries;
}

std::vector<std::string> remove_stale_temporaries(const char* folder)
{
    const std::string root = resolve_path(folder);
    const std::string prefix = root.empty() || root == "." ? "" : root.back() == '/' ? root : root + "/";
    const long own = long(getpid());
    std::vector<std::string> removed;
    walk_folder_tree(folder, [&](const walked_folder& listed) {
        for (const walked_entry& entry : listed.entries) {
            const long pid = temporary_owner(entry.name);
            if (!entry.is_regular_file || pid == 0 || (pid == own ? g_open_temporaries > 0 : process_running(pid)))
                continue;
            if (listed.remove_file(entry.name))
                removed.push_back(prefix + listed.path + entry.name);
        }
    });
    return removed;
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

bool walked_folder::remove_file(const std::string& name) const
{
    return name.find('/') == std::string::npos && unlinkat(descriptor_, name.c_str(), 0) == 0;
}

// The walk of one tree: the folders seen so far, and the visitor.
class folder_walker {
public:
    explicit folder_walker(const std::function<void(const walked_folder&)>& visit) : visit_(visit) {}

    // Lists the open folder `fd` (taken over and closed) as `listed`, visits it, then walks its
    // folders by their listed names.
    void walk(int fd, walked_folder& listed)
    {
        struct stat st;
        DIR* dir = fstat(fd, &st) == 0 ? fdopendir(fd) : nullptr;
        if (!dir) {
            close(fd);
            return;
        }
        if (!seen_.insert({st.st_dev, st.st_ino}).second) {
            closedir(dir);
            return;
        }
        while (const dirent* found = readdir(dir)) {
            if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0)
                continue;
            walked_entry entry;
            entry.name = found->d_name;
            if (fstatat(fd, found->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                entry.is_folder = S_ISDIR(st.st_mode);
                entry.is_regular_file = S_ISREG(st.st_mode);
                entry.is_link = S_ISLNK(st.st_mode);
            }
            listed.entries.push_back(std::move(entry));
        }
        listed.descriptor_ = fd;
        visit_(listed);
        for (const walked_entry& entry : listed.entries) {
            if (!entry.is_folder || listed.depth >= k_folder_walk_depth)
                continue;
            const int below = openat(fd, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (below < 0)
                continue;
            walked_folder inner;
            inner.path = listed.path + entry.name + "/";
            inner.depth = listed.depth + 1;
            walk(below, inner);
        }
        closedir(dir);
    }

private:
    const std::function<void(const walked_folder&)>& visit_;
    std::set<std::pair<dev_t, ino_t>> seen_;
};

bool walk_folder_tree(const char* root, const std::function<void(const walked_folder&)>& visit)
{
    const std::string path = resolve_path(root);
    const int fd = open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    walked_folder listed;
    folder_walker(visit).walk(fd, listed);
    return true;
}

bool file_modified_time(const char* name, int64_t* seconds)
{
    struct stat st;
    if (stat(resolve_path(name).c_str(), &st) != 0)
        return false;
    *seconds = int64_t(st.st_mtime);
    return true;
}

bool exchange_entries(const char* a, const char* b)
{
    std::string first = resolve_path(a), second = resolve_path(b);
    if (!exists(first) || !exists(second))
        return false;
#if defined(SYS_renameat2)
    constexpr unsigned k_rename_exchange = 2;  // RENAME_EXCHANGE
    sync_waiting_folders();
    if (syscall(SYS_renameat2, AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), k_rename_exchange) != 0)
        return false;
    sync_folder_entries(folder_of(first));
    sync_folder_entries(folder_of(second));
    return true;
#else
    return false;
#endif
}

bool remove_folder_tree(const char* name)
{
    std::string path = resolve_path(name);
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    return !exists(path);
}
