// One HUD frame on the recording device at 1024 x 768: the frame, texts and buttons, a message
// log grown to its tallest height (21 lines shown of 30), ten filled quick-bar slots with the
// element boxes and the pull-down open, the quest log with ten quests and the character panel.
#include "bench/bench_interface.h"
#include "bench/bench_scene.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "interface/interface_state.h"
#include "interface/message_log_window.h"
#include "items/items.h"
#include "script/quests.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int k_bench_items = 10;
constexpr int k_bench_quests = 10;

// Every texture slot of the interface gets an image, one per distinct size the HUD uses.
void load_hud_images(game_interface& gi)
{
    const uint16_t tile = bench_image("tile", 64), small = bench_image("small", 32);
    std::fill(std::begin(gi.panel_tiles), std::end(gi.panel_tiles), tile);
    std::fill(std::begin(gi.hud_frame), std::end(gi.hud_frame), tile);
    std::fill(std::begin(gi.hud_buttons), std::end(gi.hud_buttons), small);
    std::fill(std::begin(gi.text_frame), std::end(gi.text_frame), tile);
    std::fill(std::begin(gi.skill_tabs), std::end(gi.skill_tabs), small);
    std::fill(std::begin(gi.pull_kinds), std::end(gi.pull_kinds), small);
    std::fill(std::begin(gi.skill_page), std::end(gi.skill_page), tile);
    std::fill(std::begin(gi.bars), std::end(gi.bars), small);
    std::fill(std::begin(gi.list_widgets), std::end(gi.list_widgets), small);
    gi.hud_divider = gi.slot_box = gi.text_background = small;
}

// Three clicks on the log window's bottom strip grow it to its tallest height.
void grow_message_log()
{
    init_message_log(&g_message_log);
    g_mouse_screen_x = 100.0f;
    g_mouse_screen_y = float(g_screen_height) - 44.0f - 8.0f;
    for (int click = 0; click < 3; ++click) {
        g_mouse_left = 1;
        draw_message_log(&g_message_log);
        g_mouse_left = 0;
        draw_message_log(&g_message_log);
    }
}

void hud_frame(benchmark::State& state)
{
    bench_scene scene("zorv_hud_bench");
    kept_interface_scene kept;
    auto kept_log = std::make_unique<message_log>(g_message_log);
    auto kept_quests = std::make_unique<quest_record[]>(k_quest_slots);
    std::copy(g_quests, g_quests + k_quest_slots, kept_quests.get());
    const uint8_t kept_quest_count = g_quest_count;

    game_interface& gi = g_interface;
    load_hud_images(gi);
    for (int id = 0; id < k_bench_items; ++id) {
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        p.item_class = uint8_t(id < 5 ? k_item_medium_weapon : k_item_quick);
        std::snprintf(p.display_name, sizeof p.display_name, "Item %d", id);
        p.icon_texture = bench_image("icon" + std::to_string(id), 32);
        p.big_image = bench_image("big" + std::to_string(id), 64);
    }
    g_item_proto_count = std::max(g_item_proto_count, k_bench_items);

    char_record& hero = place_bench_hero();
    hero.hp_max = 120, hero.hp = 80, hero.hp_ceiling = 100;
    hero.mana_max = 60, hero.mana = 45;
    hero.skill_points = 250;
    std::snprintf(hero.display_name, sizeof hero.display_name, "Traveller");
    for (int e = 0; e < k_bench_items; ++e) {
        hero.inv_item[e] = int16_t(e);
        hero.inv_location[e] = uint8_t(e);
        gi.quick_ids[e] = int16_t(e);
        gi.quick_icons[e] = g_item_protos[e].icon_texture;
        gi.quick_kinds[e] = uint8_t(e < 5 ? 1 : 2);
    }
    hero.inv_count = k_bench_items;

    g_quest_count = k_bench_quests;
    for (int q = 0; q < k_bench_quests; ++q) {
        char name[16];
        std::snprintf(name, sizeof name, "quest%d", q);
        set_quest_name(&g_quests[q], name);
        std::snprintf(g_quests[q].title, sizeof g_quests[q].title, "The title of quest number %d", q);
        assign_quest(&g_quests[q], uint8_t(q));
        g_quests[q].completed = q % 3 == 0;
    }

    for (int line = 0; line < 30; ++line)
        log_add_line(&g_message_log, uint8_t(line % 4), "Line %d of the message log with a few words", line);
    grow_message_log();

    gi.shown = 1;
    gi.quest_log_open = gi.character_panel_open = 1;
    gi.side_panel_open = gi.attunement_panel_open = 0;
    gi.quick_menu_open = 1, gi.quick_menu_slot = 0, gi.quick_menu_alpha = 1.0f;
    gi.quick_list_open = 1, gi.quick_list_kind = 0, gi.quick_list_alpha = 1.0f;
    gi.dream_switch_allowed = 1;
    g_mouse_screen_x = 600.0f;
    g_mouse_screen_y = 300.0f;
    g_mouse_left = g_mouse_right = 0;

    const size_t draws = scene.time_frames(state, [] { update_game_interface(); });
    state.counters["draws"] = double(draws);
    state.counters["log_step"] = double(g_message_log.size_step);

    free_objects();
    std::copy(kept_quests.get(), kept_quests.get() + k_quest_slots, g_quests);
    g_quest_count = kept_quest_count;
    g_message_log = *kept_log;
}

} // namespace

BENCHMARK(hud_frame)->Unit(benchmark::kMicrosecond);
