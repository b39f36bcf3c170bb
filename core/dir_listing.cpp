#include "core/dir_listing.h"

#include "core/console_log.h"
#include "platform/files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

char g_dir_path[256] = {};
dir_entry g_dir_entries[k_dir_entries_capacity] = {};
uint32_t g_dir_count = 0;

namespace {

char lower(char c)
{
    return char(std::tolower(static_cast<unsigned char>(c)));
}

bool matches_from(const char* mask, const char* name)
{
    for (; *mask; ++mask, ++name) {
        if (*mask == '*') {
            while (*mask == '*')
                ++mask;
            if (!*mask)
                return true;
            for (; *name; ++name)
                if (matches_from(mask, name))
                    return true;
            return false;
        }
        if (!*name || (*mask != '?' && lower(*mask) != lower(*name)))
            return false;
    }
    return *name == 0;
}

} // namespace

bool dir_mask_matches(const char* mask, const char* name)
{
    if (std::strcmp(mask, "*.*") == 0)
        return true;
    return matches_from(mask, name);
}

uint32_t list_directory_into(dir_entry* out, uint32_t capacity, const char* mask)
{
    g_dir_count = 0;
    const std::string folder = resolve_path(g_dir_path);
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return 0;
    bool full_logged = false;
    while (const dirent* found = readdir(dir)) {
        const char* name = found->d_name;
        if (!dir_mask_matches(mask, name))
            continue;
        const size_t length = std::strlen(name);
        if (length >= sizeof out->name) {
            console_log("%s/%s: meno je pridlhe, vynechavam", g_dir_path, name);
            continue;
        }
        if (g_dir_count >= capacity) {
            if (!full_logged)
                console_log("%s: viac ako %u poloziek, zvysok vynechavam", g_dir_path, unsigned(capacity));
            full_logged = true;
            continue;
        }
        dir_entry& e = out[g_dir_count];
        e = {};
        for (size_t i = 0; i < length; ++i)
            e.name[i] = name[i] >= 'A' && name[i] <= 'Z' ? char(name[i] - 'A' + 'a') : name[i];
        const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) == 0) {
            e.attributes = S_ISDIR(st.st_mode) ? k_dir_attr_folder : k_dir_attr_file;
            if ((st.st_mode & S_IWUSR) == 0)
                e.attributes |= k_dir_attr_read_only;
            e.size = S_ISDIR(st.st_mode) ? 0 : uint32_t(uint64_t(st.st_size));
        } else {
            e.attributes = k_dir_attr_file;
        }
        ++g_dir_count;
    }
    closedir(dir);
    sort_dir_entries(out, g_dir_count);
    return g_dir_count;
}

void fill_dir_table(const char* mask)
{
    list_directory_into(g_dir_entries, k_dir_entries_capacity, mask);
}

void sort_dir_entries(dir_entry* entries, uint32_t count)
{
    std::stable_sort(entries, entries + count, [](const dir_entry& a, const dir_entry& b) {
        return std::strcmp(a.name, b.name) < 0;  // strcmp compares as unsigned characters
    });
    std::stable_partition(entries, entries + count, [](const dir_entry& e) { return e.attributes == k_dir_attr_folder; });
}
