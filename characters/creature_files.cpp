#include "characters/creature_files.h"

#include "core/console_log.h"
#include "platform/files.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

creature_file_list g_creature_files;

void list_creature_files(creature_file_list* list)
{
    list->names.clear();
    for (const folder_entry& entry : list_folder(k_creature_files_folder)) {
        if (entry.is_folder)
            continue;
        if (entry.name.size() >= size_t(k_creature_name_size)) {
            console_log("%s%s: meno je pridlhe, vynechavam", k_creature_files_folder, entry.name.c_str());
            continue;
        }
        creature_name name{};
        std::memcpy(name.name, entry.name.c_str(), entry.name.size());
        list->names.push_back(name);
    }
    std::sort(list->names.begin(), list->names.end(), [](const creature_name& a, const creature_name& b) {
        int order = strcasecmp(a.name, b.name);
        return order != 0 ? order < 0 : std::strcmp(a.name, b.name) < 0;
    });
    if (list->names.size() > size_t(k_creature_list_capacity))
        list->names.resize(size_t(k_creature_list_capacity));
    list->count = int16_t(list->names.size());
}
