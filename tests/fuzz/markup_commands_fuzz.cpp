// Hostile markup through the parse (with its load-time commands) and two frames of the run and
// draw passes (with the run-time commands) on a fake world: three characters with world objects,
// quests, flags, entities, a shop container with a grid and dialogue nodes. The first input byte
// chooses the window (bit 0: the message window, else the dialogue window) and the first-pass
// flag (bit 1); the rest is the text. The input is injected released (every wait sees the button
// up), the frame clock is manual and moves 16 ms a read, so no wait can hang. Afterwards the
// window's texts stay terminated and within their bounds, and the run ends with a line in the
// console log.
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/render_context.h"
#include "items/containers.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "script/dialogues.h"
#include "script/entities.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tests/fuzz/fuzz_screen.h"
#include "tests/script/fixed_advance_font.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void make_world()
{
    static const char* const keys[] = {"hero", "mara", "orc"};
    g_char_count = 3;
    g_player_char = 0;
    for (int32_t s = 0; s < 3; ++s) {
        char_record& c = g_chars[s];
        std::memset(&c, 0, sizeof c);
        std::snprintf(c.name, sizeof c.name, "%s", keys[s]);
        c.life = k_life_alive;
        c.slot = int16_t(s);
        c.hp = c.hp_max = 50;
        c.interior = 255;
        c.object = add_object(100.0f * float(s), 80.0f, -2 - s, 1.0f, 1.0f, 0, 0);
    }
    g_quest_count = 2;
    set_quest_name(&g_quests[0], "well");
    set_quest_name(&g_quests[1], "well");
    g_flag_count = 1;
    std::memset(&g_flags[0], 0, sizeof g_flags[0]);
    std::strcpy(g_flags[0].name, "gate");
    g_entity_count = 1;
    std::memset(&g_entities[0], 0, sizeof g_entities[0]);
    std::strcpy(g_entities[0].name, "door");
    g_dialogue.node_count = 2;
    std::strcpy(g_dialogue.node_name[0], "greet");
    std::strcpy(g_dialogue.node_name[1], "bye");
    container_init(&g_containers[3], "shop", 2, 2, 1);
    reset_scene_header(&g_scene_header);
    std::strcpy(g_map_path, "data/levels/brana.sav");
    g_interface.container_id = -1;
}

void check(const text_window& w)
{
    if (w.word_count < 0 || w.word_count > k_window_word_limit || w.link_count > k_window_links ||
        !std::memchr(w.requested_file, 0, sizeof w.requested_file) || !std::memchr(w.name, 0, sizeof w.name) ||
        !std::memchr(g_pending_level.target, 0, sizeof g_pending_level.target))
        std::abort();
    for (int32_t i = 0; i < w.word_count; ++i)
        if (!std::memchr(w.words[i], 0, k_window_word_size))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    static fixed_advance_font font(9);
    if (size < 1)
        return 0;
    in_fuzz_folder here;
    use_fuzz_screen(device);
    g_zoom = 1.0f;
    clock_use_manual(true);
    clock_set_manual_step(16);
    g_script_links.wait_until_released = [](bool (*)()) {
        g_mouse_left = 0;
        return true;
    };
    if (!reserve_objects(64))
        return 0;
    make_world();

    text_window* window = data[0] & 1 ? &g_message_window : &g_dialogue_window;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    parse_text_window(window, text.c_str());
    window->first_pass = (data[0] >> 1) & 1;
    window->x1 = 10.0f, window->y1 = 10.0f, window->x2 = 600.0f, window->y2 = 400.0f;
    for (int frame = 0; frame < 2; ++frame) {
        g_mouse_left = 1;
        run_text_window(window);
        draw_text_window(window);
        check(*window);
        device.clear_recording();
    }
    console_log("markup commands fuzz: %d words", int(window->word_count));

    reset_text_window(&g_dialogue_window);
    reset_text_window(&g_message_window);
    container_free(&g_containers[3]);
    free_objects();
    g_char_count = 0;
    g_quest_count = 0;
    g_flag_count = 0;
    g_entity_count = 0;
    g_pending_level = {};
    g_dialogue_running = 0;
    g_script_links = {};
    clock_set_manual_step(0);
    clock_use_manual(false);
    g_d3d_device = nullptr;
    std::remove("global/konzola.log");
    return 0;
}
