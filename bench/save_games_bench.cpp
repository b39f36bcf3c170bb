// Saving and loading the demo's game with every table a save holds at its limit: 100 quests,
// 200 flags, 1,000 item prototypes that are all attunements, the 19 travel-map locations and a
// change file for each of the 51 listed levels. Wall time: the files reach the disk.
#include "bench/bench_scene.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "engine/ui_texts.h"
#include "items/items.h"
#include "level/char_links.h"
#include "level/level_change.h"
#include "level/level_saves.h"
#include "level/save_games.h"
#include "platform/files.h"
#include "script/quests.h"
#include "world/game_clock.h"
#include "world/scene_header.h"

#include <cstdio>
#include <cstdlib>

namespace {

void enter_full_demo_game()
{
    std::string command = std::string(ZORV_DEMO_TOOL) + " . > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
    install_char_links();
    load_ui_texts();
    read_characters(false);
    load_items();
    load_quests();
    init_game_clock(&g_game_clock);
    change_level("brana.sav", 0, 0, 1);
    place_hero_at_entry(&g_scene_header, 0);
    g_quest_count = k_quest_slots;
    for (int i = 0; i < k_quest_slots; ++i)
        std::snprintf(g_quests[i].name, sizeof g_quests[i].name, "quest%d", i);
    g_flag_count = k_flag_slots;
    g_item_proto_count = k_item_slots;
    for (item_proto& item : g_item_protos)
        item.item_class = k_item_attunement;
    for (uint32_t& open : g_map_locations_open)
        open = 1;
    save_level_changes("brana.sav");
    for (const auto& level : g_level_save_names)
        if (level[0])
            copy_file("global/brana.sav", (std::string("global/") + level).c_str());
    g_save_list.count = 0;
}

void BM_save_game(benchmark::State& state)
{
    bench_scene scene("save_game_bench");
    enter_full_demo_game();
    for (auto _ : state)
        if (!save_game(&g_save_list, "bench", 0, 1))
            state.SkipWithError("save_game failed");
    g_item_proto_count = 0;
}
BENCHMARK(BM_save_game)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_load_game(benchmark::State& state)
{
    bench_scene scene("load_game_bench");
    enter_full_demo_game();
    save_game(&g_save_list, "bench", 0, 1);
    for (auto _ : state)
        if (!load_game(&g_save_list, "bench"))
            state.SkipWithError("load_game failed");
    g_item_proto_count = 0;
}
BENCHMARK(BM_load_game)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
