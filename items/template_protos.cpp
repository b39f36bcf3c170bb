#include "items/template_protos.h"

#include "core/data_files.h"
#include "core/utilities.h"
#include "world/object_protos.h"

#include <cstring>

int32_t scan_template_protos(const char* key, bool* found)
{
    *found = false;
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot) {
        const object_proto& p = g_object_protos[slot];
        if (p.kind == k_proto_free)
            return slot;
        if (std::strncmp(p.name, key, sizeof p.name) == 0) {
            *found = true;
            return slot;
        }
    }
    return -1;
}

bool read_template_proto(int32_t slot, const char* path, const char* key)
{
    constexpr const char* kept = "bez prototypu";
    const bool read = read_object_proto_file(slot, path, kept);
    object_proto& p = g_object_protos[slot];
    if (!read || p.kind == k_proto_free) {
        if (read) {
            report_damaged_file(path, "prazdny prototyp", kept);
            free_object_proto(&p, slot);
        }
        p.kind = k_proto_free;
        return false;
    }
    copy_bounded(p.name, sizeof p.name, key);
    return true;
}
