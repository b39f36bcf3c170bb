#include "characters/creature_files.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/dir_listing.h"
#include "core/utilities.h"

#include <cstdio>
#include <cstring>

creature_file_list g_creature_files;

void list_creature_files(creature_file_list* list)
{
    list->names.clear();
    std::vector<dir_entry> entries(size_t(k_creature_list_capacity) + 2);  // with "." and ".."
    std::snprintf(g_dir_path, sizeof g_dir_path, "%s", k_creature_files_folder);
    entries.resize(list_directory_into(entries.data(), uint32_t(entries.size()), "*.*"));
    for (const dir_entry& entry : entries) {
        if ((entry.attributes & k_dir_attr_folder) != 0)
            continue;
        if (std::strlen(entry.name) >= size_t(k_creature_name_size)) {
            console_log("%s%s: meno je pridlhe, vynechavam", k_creature_files_folder, entry.name);
            continue;
        }
        creature_name name{};
        std::memcpy(name.name, entry.name, std::strlen(entry.name));
        list->names.push_back(name);
    }
    if (list->names.size() > size_t(k_creature_list_capacity))
        list->names.resize(size_t(k_creature_list_capacity));
    list->count = int16_t(list->names.size());
}

std::string creature_file_path(const char* name)
{
    return data_file_path(k_creature_files_folder, name);
}

bool creature_file_found(const char* path)
{
    if (file_exists(path) == 1)
        return true;
    report_missing_file_once(path, "bez postavy");
    return false;
}
