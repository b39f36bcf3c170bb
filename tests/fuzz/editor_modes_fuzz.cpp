// Reads the input as the sectors, lights, ground-items, monster-points and movement-map
// sections of a level map file, then runs up to 64 scripted frames of the light, sector,
// character, ground-item and monster-point modes from the same bytes: per frame a mode, two
// keys, the buttons and the wheel, and a mouse position. Nothing may crash, and every count and
// selection the modes keep must stay within its table.
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "characters/monster_points.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/editor_frame.h"
#include "editor/view/char_mode.h"
#include "editor/view/ground_item_mode.h"
#include "editor/view/light_mode.h"
#include "editor/view/sector_mode.h"
#include "engine/lights.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "platform/key_codes.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_sections.h"
#include "world/movement_map.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t k_keys[] = {k_key_return, k_key_space, k_key_back, k_key_delete, k_key_lshift, k_key_lbracket,
                              k_key_rbracket, k_key_a, k_key_s, k_key_d, k_key_f, k_key_z, k_key_g, k_key_b,
                              k_key_h, k_key_n, k_key_t, k_key_0, k_key_1, k_key_2, k_key_5, k_key_numpad3,
                              k_key_decimal, k_key_next, k_key_prior, k_key_lcontrol};
void (*const k_modes[])(editor_state&) = {run_light_mode, run_sector_mode, run_char_mode, run_ground_item_mode,
                                          run_monster_point_mode};

void start()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    reserve_objects(64);
    g_editor_enabled = 1;
    g_item_proto_count = 3;
    for (int32_t i = 0; i < 3; ++i)
        g_item_protos[i].ground_model = k_item_no_ground_model;
}

bool read_sections(packed_stream* s)
{
    read_sectors(s);
    read_lights(s);
    load_ground_items(s);
    read_monster_points(s);
    read_movemap(s);
    return true;
}

void check()
{
    if (g_sector_count < 0 || g_sector_count > k_sector_slots || g_light_count > k_light_slots ||
        g_monster_points.count < 0 || g_monster_points.count > k_monster_point_slots ||
        g_ground_item_count < 0 || g_ground_item_count > k_ground_item_slots)
        std::abort();
    if (g_selected_light < -1 || g_selected_light >= k_light_slots || g_selected_sector < -1 ||
        g_selected_sector >= k_sector_slots || g_selected_monster_point < -1 ||
        g_selected_monster_point >= k_monster_point_slots || g_selected_char < -1 || g_selected_char >= k_char_slots)
        std::abort();
    if (g_editor.ground_item_choice < 0 || g_editor.ground_item_choice >= g_item_proto_count)
        std::abort();
    for (const map_sector& sector : g_sectors)
        if (sector.count < 0 || sector.count > k_sector_points)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    start();
    in_fuzz_folder here;
    reset_editor_brush(g_editor);
    g_char_count = 0;
    g_selected_light = g_selected_sector = g_selected_char = g_selected_monster_point = -1;
    read_fuzz_section(data, size, read_sections);
    g_editor.active_sector = g_sector_count > 0 ? g_sector_count - 1 : 0;
    fuzz_byte_reader in{data, size};
    for (int frame = 0; frame < 64 && in.at < size; ++frame) {
        const uint8_t mode = in.u8();
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_key_state[k_keys[in.u8() % sizeof k_keys]] = k_key_down_bit;
        g_key_state[k_keys[in.u8() % sizeof k_keys]] = k_key_down_bit;
        const uint8_t buttons = in.u8();
        g_mouse_left = buttons & 1;
        g_mouse_right = (buttons >> 1) & 1;
        g_wheel_up = (buttons >> 2) & 1;
        g_wheel_down = (buttons >> 3) & 1;
        g_marker_dx = (buttons >> 4) & 3;
        g_mouse_x = g_brush_preview.x = float(in.i16()) / 4.0f;
        g_mouse_y = g_brush_preview.y = float(in.i16()) / 4.0f;
        k_modes[mode % 5](g_editor);
        check();
    }
    free_movemap(&g_movement_map);
    return 0;
}
