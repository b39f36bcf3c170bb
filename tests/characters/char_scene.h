// Test helper for the drawing and update tests: characters standing in the world with models on
// their body parts and a square mouse outline, and the globals the frame's character code reads
// kept and set to a plain playing state.
#pragma once

#include "characters/char_fixture.h"

#include "characters/char_models.h"
#include "characters/char_notices.h"
#include "characters/char_table.h"
#include "characters/char_update.h"
#include "characters/focus_list.h"
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/model_test_support.h"
#include "engine/models.h"
#include "engine/render_context.h"
#include "script/text_window.h"
#include "world/camera_shake.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>

class char_scene_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        kept_.keep(g_work_mode), kept_.keep(g_focus_list), kept_.keep(g_dialogue_running);
        kept_.keep(g_dialogue_partner), kept_.keep(g_no_game_running), kept_.keep(g_interface);
        kept_.keep(g_mouse_x), kept_.keep(g_mouse_y), kept_.keep(g_settings), kept_.keep(g_message_shown);
        kept_.keep(g_scene_header), kept_.keep(g_camera_shake), kept_.keep(g_camera_pan_tick);
        kept_.keep(g_monster_points), kept_.keep(g_char_placements), kept_.keep(g_game_clock);
        kept_.keep(g_notices), kept_.keep(g_message_log), kept_.keep(g_message_window);
        kept_.keep(g_chardata), kept_.keep(g_chardata_count), kept_.keep(g_ambient_color);
        g_work_mode = k_work_play;
        focus_list_clear(&g_focus_list);
        g_dialogue_running = 0;
        g_dialogue_partner = -1;
        g_no_game_running = 0;
        g_interface.scroll_enabled = 1;
        g_interface.f8_toggle = 0;
        g_settings.gr_displayshadows = 0;
        reset_scene_header(&g_scene_header);
        g_scene_header.followed_char = 0;
        reset_camera_shake(&g_camera_shake);
        reset_monster_points(&g_monster_points);
        g_char_placements.count = 0;
        init_game_clock(&g_game_clock);
        g_notices = notice_icons{};
        g_message_log.count = 0;
        g_mouse_x = g_mouse_y = -5000.0f;
    }
    void TearDown() override
    {
        for (int i = 0; i < 2; ++i)
            free_model(&g_char_models[i]);
        kept_.restore();
        char_test::TearDown();
    }

    // Character `slot` alive and present at (x, y), its world object its own, body parts 0 and
    // 1 showing registry models 0 and 1, and a 100 x 100 outline around it.
    char_record& place(int slot, uint8_t kind, float x, float y)
    {
        for (int i = 0; i < 2; ++i) {
            if (!g_chardata[i].loaded) {
                make_grid_model(g_char_models[i], 1, 1, 1, 2);
                g_chardata[i].loaded = 1;
            }
        }
        g_chardata_count = std::max(g_chardata_count, 2u);
        char_record& c = make_char(slot, "orc", kind);
        std::fill(std::begin(c.part_model), std::end(c.part_model), int16_t(-1));
        for (auto& values : c.part_values)
            std::fill(std::begin(values), std::end(values), 1.0f);
        c.part_model[0] = 0;
        c.part_model[1] = 1;
        c.scale_x = c.scale_y = 1.35f;  // the outline is tested at scale 1
        c.world_fade = 1.0f;
        c.interior = 255;
        c.light = 0xFFFF;
        c.monster_point = -1;
        c.level = 1;
        c.hp = c.hp_max = 10;
        std::snprintf(c.display_name, sizeof c.display_name, "Orc%d", slot);
        const float corners[][2] = {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}, {-50, -50}};
        c.outline = map_sector{};
        c.outline.closed = 1;
        c.outline.count = 5;
        for (int i = 0; i < 5; ++i) {
            c.outline.x[i] = corners[i][0];
            c.outline.y[i] = corners[i][1];
        }
        c.object = add_object(x, y, -2 - slot, 1.0f, 1.0f, 0, 0);
        g_objects[c.object].state = 1;
        return c;
    }

private:
    saved_globals kept_;
};
