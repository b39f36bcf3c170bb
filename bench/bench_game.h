// The game itself for the whole-frame benchmarks: the demo data written into a scratch working
// folder, the program started as "zorv brana.sav" on the recording device or in a window
// (OpenGL), the greeting passed as a player does, and frames of the main loop (and passes of its
// modal loops) at 60 a second of a manual clock. A fight runs while frames are stepped: the hero strikes the nearest
// living bandit whenever it stands idle and every character's hit points are topped up, so that
// nobody dies. Undone on exit, the hook tables start-up fills included: a benchmark after this
// one reads levels and saves without the game's hooks.
#pragma once

#include "characters/char_record.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/game_globals.h"
#include "editor/controls/dialog_model.h"
#include "editor/editor_links.h"
#include "engine/texture_packs.h"
#include "interface/interface_links.h"
#include "items/item_looks.h"
#include "level/level_links.h"
#include "script/script_links.h"
#include "engine/models.h"
#include "characters/char_models.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "shell/device_setup.h"
#include "shell/program.h"
#include "shell/window.h"
#include "tests/support/resident_memory.h"
#include "tests/support/saved_globals.h"
#include "world/object_behaviour.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

class bench_game {
public:
    bench_game(const std::string& name, bool window)
    {
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        const std::string command = std::string(ZORV_DEMO_TOOL) + " . >/dev/null";
        if (std::system(command.c_str()) != 0)
            return;
        kept_.keep(g_front_end, g_pack_mask_file, g_level_links, g_object_links, g_interface_links, g_script_links,
                   g_char_rule_links, g_behaviour_links, g_item_look_links, g_editor_links, g_dialog_loop_links);
        g_front_end = [] {};
        render_use_recording(!window);
        clock_use_manual(true);
        clock_set_manual(1000);
        clock_set_manual_step(0);
        // Every pass of the main loop or of a modal loop (a fade) takes 1/60 s: 17, 17, 16 ms.
        input_set_script([](uint32_t pass) { clock_advance_manual(pass % 3 == 2 ? 16 : 17); });
        started_ = program_startup("zorv brana.sav");
        if (started_)
            started_ = pass_greeting();
    }

    ~bench_game()
    {
        program_shutdown(started_);
        close_main_window();
        free_objects();
        release_char_models();
        for (model& m : g_char_models)
            free_model(&m);
        g_char_count = 0;
        input_set_script({});
        clock_use_manual(false);
        render_use_recording(false);
        kept_.restore();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    bench_game(const bench_game&) = delete;
    bench_game& operator=(const bench_game&) = delete;

    bool started() const { return started_; }

    // One frame of the fight: the hero's click, the main loop.
    bool fight_frame()
    {
        for (uint32_t s = 0; s < g_char_count; ++s)
            if (g_chars[s].life == k_life_alive)
                g_chars[s].hp = std::max(g_chars[s].hp, g_chars[s].hp_max);
        strike_nearest_bandit();
        return program_frame();
    }

    // Adds bandits, villagers and squires around the hero (four in five bandits) until `count`
    // characters are in the level.
    static void crowd(uint32_t count)
    {
        for (uint32_t i = g_char_count; i < count; ++i) {
            const char* file = i % 5 == 3 ? "data/creature/villager.chr"
                               : i % 5 == 4 ? "data/creature/squire.chr"
                                            : "data/creature/bandit.chr";
            const int32_t slot = load_char_into_free_slot(file);
            if (slot < 0)
                break;
            add_char(&g_chars[slot], slot, 120.0f + 80.0f * float(i % 10), 120.0f + 60.0f * float(i / 10));
        }
    }

    // The world objects in use.
    static uint32_t live_objects()
    {
        uint32_t n = 0;
        for (uint32_t i = 0; i < g_object_count; ++i)
            n += g_objects[i].state != 0 ? 1 : 0;
        return n;
    }


private:
    static void press(input_event_kind kind, uint8_t code, bool down, int32_t x = 0, int32_t y = 0)
    {
        input_event e{kind};
        e.code = code;
        e.down = down;
        e.x = x;
        e.y = y;
        input_inject(e);
    }

    bool pass_greeting()
    {
        for (int i = 0; i < 5 && !g_dialogue_running; ++i)
            if (!program_frame())
                return false;
        for (int i = 0; i < 30 && g_dialogue_running; ++i) {
            press(input_event_kind::key, k_key_space, true);
            if (!program_frame())
                return false;
            press(input_event_kind::key, k_key_space, false);
            if (!program_frame())
                return false;
        }
        return !g_dialogue_running;
    }

    // The cursor on the nearest living bandit, the right button down while the hero stands idle.
    void strike_nearest_bandit()
    {
        const char_record& hero = g_chars[g_player_char];
        if (hero.object < 0 || uint32_t(hero.object) >= g_object_count)
            return;
        const world_object& at = g_objects[hero.object];
        const world_object* target = nullptr;
        float best = 1e9f;
        for (uint32_t s = 0; s < g_char_count; ++s) {
            const char_record& c = g_chars[s];
            if (s == g_player_char || c.life != k_life_alive || c.kind != k_kind_enemy || c.object < 0 ||
                uint32_t(c.object) >= g_object_count)
                continue;
            const world_object& o = g_objects[c.object];
            const float d = std::hypot(o.x - at.x, o.y - at.y);
            if (d < best) {
                best = d;
                target = &o;
            }
        }
        if (!target)
            return;
        const int32_t x = int32_t((target->x - g_camera_x) * g_zoom);
        const int32_t y = int32_t((target->y - 35.0f - g_camera_y) * g_zoom);
        press(input_event_kind::mouse_move, 0, false, x, y);
        press(input_event_kind::mouse_button, 1, hero.state == 0 && !g_mouse_right);
    }

    std::filesystem::path previous_, folder_;
    saved_globals kept_;
    bool started_ = false;
};
