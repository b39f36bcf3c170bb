// Runs the input, up to its first line end and cut to the console line's room, as a typed console
// line on a small world: three prototypes, five objects, three characters, two sectors, an 8 x 8
// movement map and two items. Nothing may crash or reach past a table. "rest" is not run: it
// fades the screen in modal loops of its own.
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "platform/files.h"
#include "shell/console_commands.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void make_small_world()
{
    for (int32_t s = 0; s < k_proto_slots; ++s)
        reset_object_proto(&g_object_protos[s]);
    g_object_proto_count = 0;
    const int32_t kinds[] = {k_proto_sprite, k_proto_mesh, k_proto_surface};
    for (int32_t kind : kinds)
        g_object_protos[add_empty_object_proto()].kind = kind;
    free_objects();
    for (int i = 0; i < 5; ++i) {
        const int32_t index = add_object(float(i) * 40, 30, i % 3, 1, 1, i, 0);
        g_objects[index].highlight = uint32_t(i % 2);
    }
    std::memset(g_chars, 0, sizeof(char_record) * 3);
    for (int s = 0; s < 3; ++s) {
        g_chars[s].object = -1;
        g_chars[s].slot = int16_t(s);
        g_chars[s].hp_max = 20;
        g_chars[s].inv_count = 1;
        g_chars[s].inv_location[0] = k_inv_weapon;
    }
    g_char_count = 3;
    g_player_char = 0;
    for (map_sector& sector : g_sectors)
        clear_sector(&sector);
    for (int n = 0; n < 2; ++n) {
        begin_sector(&g_sectors[n], 3, 0, 0);
        add_sector_point(&g_sectors[n], 100, 0);
        add_sector_point(&g_sectors[n], 100, 100);
    }
    g_sector_count = 2;
    free_movemap(&g_movement_map);
    create_movemap(&g_movement_map, 8, 8, 0, 0);
    g_item_proto_count = 2;
    std::strcpy(g_item_protos[0].key_name, "ring");
    std::strcpy(g_item_protos[1].key_name, "sword");
    g_ground_item_count = 1;
    g_editor.brush_efect_type = 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_folder("global");
    g_console_enabled = 1;
    make_small_world();

    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.substr(0, line.find_first_of(std::string("\n\0", 2)));
    line.resize(std::min<size_t>(line.size(), k_console_line_max));
    if (line.compare(0, 4, "rest") != 0)
        run_console_command_table(line.c_str());

    if (g_char_count > uint32_t(k_char_slots) || g_player_char >= uint32_t(k_char_slots) ||
        g_object_count > g_object_capacity || g_sector_count < 0 || g_sector_count > k_sector_slots ||
        g_object_proto_count > uint32_t(k_proto_first_template))
        std::abort();
    if (g_movement_map.cells && (g_movement_map.columns < 1 || g_movement_map.rows < 1))
        std::abort();
    return 0;
}
