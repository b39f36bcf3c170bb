// Test helper for the in-view work modes: the character fixture's scratch folder, characters,
// object array and lights, plus every editor, input, sector, movement-map, placement, ground-item
// and monster-point global the modes read, kept and set to an empty editor state; frames are
// run with exactly the given keys and buttons down.
#pragma once

#include "characters/char_fixture.h"

#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "characters/monster_points.h"
#include "characters/monster_spawning.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/editor_frame.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/char_mode.h"
#include "editor/view/ground_item_mode.h"
#include "editor/view/light_mode.h"
#include "editor/view/sector_mode.h"
#include "editor/windows/mode_tabs.h"
#include "items/ground_items.h"
#include "platform/key_codes.h"
#include "support/saved_globals.h"
#include "world/movement_map.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

class view_mode_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        kept_.keep(g_editor), kept_.keep(g_work_mode), kept_.keep(g_map_dirty), kept_.keep(g_key_state);
        kept_.keep(g_mouse_left), kept_.keep(g_mouse_right), kept_.keep(g_wheel_up), kept_.keep(g_wheel_down);
        kept_.keep(g_mouse_x), kept_.keep(g_mouse_y), kept_.keep(g_brush_preview), kept_.keep(g_undo_counter);
        kept_.keep(g_mode_info_text), kept_.keep(g_sectors), kept_.keep(g_sector_count), kept_.keep(g_movement_map);
        kept_.keep(g_marker_dx), kept_.keep(g_marker_dy), kept_.keep(g_selected_light);
        kept_.keep(g_selected_light_handle), kept_.keep(g_selected_sector), kept_.keep(g_edit_step_tick);
        kept_.keep(g_sector_latches), kept_.keep(g_selected_char), kept_.keep(g_selected_monster_point);
        kept_.keep(g_ground_items), kept_.keep(g_ground_item_count), kept_.keep(g_monster_points);
        kept_.keep(g_global_settings_window), kept_.keep(g_active_layer), kept_.keep(g_console_history_count);
        kept_.keep(g_console_history), kept_.keep(g_editor_enabled);
        placements_ = std::make_unique<char_placement_list>(g_char_placements);
        creatures_ = g_creature_files;
        g_char_placements.count = 0;
        g_creature_files = {};
        g_global_settings_window = 0;
        g_movement_map = movement_map{};
        reset_editor_brush(g_editor);
        g_undo_counter = 0;
        std::memset(g_sectors, 0, sizeof g_sectors);
        g_sector_count = 0;
        g_selected_light = g_selected_sector = g_selected_char = g_selected_monster_point = -1;
        g_sector_latches = {};
        g_edit_step_tick = 0;
        g_ground_item_count = 0;
        reset_monster_points(&g_monster_points);
        g_marker_dx = g_marker_dy = 0;
        g_mode_info_text[0] = '\0';
        g_console_history_count = 0;
        mouse(300.0f, 200.0f);
    }
    void TearDown() override
    {
        reset_object(&g_brush_preview);
        free_movemap(&g_movement_map);
        g_char_placements = *placements_;
        g_creature_files = creatures_;
        kept_.restore();
        char_test::TearDown();
    }

    // The mouse (and the marker with it) at a world position.
    static void mouse(float x, float y)
    {
        g_mouse_x = g_brush_preview.x = x;
        g_mouse_y = g_brush_preview.y = y;
    }
    // One frame of the mode with exactly these keys and buttons down.
    static void frame(void (*mode)(editor_state&), std::initializer_list<uint8_t> keys = {}, bool left = false,
                      bool right = false)
    {
        std::memset(g_key_state, 0, sizeof g_key_state);
        for (uint8_t k : keys)
            g_key_state[k] = k_key_down_bit;
        g_mouse_left = left ? 1 : 0;
        g_mouse_right = right ? 1 : 0;
        mode(g_editor);
    }
    // The key down for a frame, then up for a frame.
    static void press(void (*mode)(editor_state&), uint8_t key)
    {
        frame(mode, {key});
        frame(mode);
    }
    std::string console_line() const
    {
        return g_console_history_count > 0 ? g_console_history[0] : "";
    }

    saved_globals kept_;

private:
    std::unique_ptr<char_placement_list> placements_;
    creature_file_list creatures_;
};
