// Fuzz targets of the character files: what every record a reader hands to the table must hold,
// and the model files they need.
#pragma once

#include "characters/char_record.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "platform/files.h"
#include "tests/engine/model_test_support.h"

#include <cstdlib>
#include <cstring>
#include <string>

// Writes a small body-part model of two frames as `folder` + `file` unless it exists.
inline void ensure_part_model(const std::string& folder, const char* file)
{
    const std::string path = folder + file;
    if (file_exists(path.c_str()) == 1)
        return;
    make_folder(folder.c_str());
    model m;
    make_grid_model(m, 1, 1, 1, 2);
    if (!save_model(&m, path.c_str()))
        std::abort();
}

// Aborts unless the record's texts are terminated within their fields, the counts that index its
// arrays lie within them, and the run-time fields a reader resets are reset.
inline void check_read_char(const char_record& c)
{
    if (!std::memchr(c.name, 0, sizeof c.name) || !std::memchr(c.appearance, 0, sizeof c.appearance) ||
        !std::memchr(c.display_name, 0, sizeof c.display_name) || c.speech[0] != 0)
        std::abort();
    if (c.inv_count > k_inventory_entries || c.active_attunement_count < 0 || c.active_attunement_count > 16 ||
        c.dot_queue_count > 16 || c.route.route_count < 0 || c.route.route_count > k_route_points ||
        c.route.route_index > uint32_t(k_route_points) || c.outline.count < 0 || c.outline.count > k_sector_points)
        std::abort();
    if (c.life != k_life_alive || c.object != -1 || c.pending_target != 0 || c.hit_sound_count != 0 ||
        c.death_sound_count != 0)
        std::abort();
}
