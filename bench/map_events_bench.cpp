// The map-event pass of one frame: 100 events of four conditions (the hero in a sector, a
// character memory, a quest state, an item carried) over 100 characters, 100 quests and a
// carried inventory; once with every condition holding, once with each event's first failing.
#include "bench_scene.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "items/items.h"
#include "script/map_events.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstring>

namespace {

void make_event_level(bool first_fails)
{
    reserve_objects(256);
    g_char_count = 100;
    for (int32_t s = 0; s < 100; ++s) {
        char_record& c = g_chars[s];
        c = char_record{};
        c.kind = uint8_t(s == 0 ? k_kind_player : k_kind_normal);
        c.life = k_life_alive;
        c.slot = int16_t(s);
        std::snprintf(c.name, sizeof c.name, "char%d", int(s));
        c.object = add_object(50.0f + float(s), 50.0f, -2 - s, 1.0f, 1.0f, 0, 0);
    }
    g_player_char = 0;
    g_item_proto_count = 40;
    for (int32_t i = 0; i < 40; ++i)
        std::snprintf(g_item_protos[i].key_name, sizeof g_item_protos[i].key_name, "item%d", int(i));
    char_record& hero = g_chars[0];
    hero.inv_count = 40;
    for (int k = 0; k < 40; ++k) {
        hero.inv_item[k] = int16_t(k);
        hero.inv_location[k] = uint8_t(k % 16);
    }
    g_quest_count = 100;
    for (int q = 0; q < 100; ++q) {
        char name[32];
        std::snprintf(name, sizeof name, "quest%d", q);
        set_quest_name(&g_quests[q], name);
        g_quests[q].state = 3;
    }
    std::memset(g_sectors, 0, sizeof g_sectors);
    for (int n = 0; n < 2; ++n) {
        const float x0 = n == 0 ? 0.0f : 1000.0f;
        begin_sector(&g_sectors[n], 0, x0, 0);
        const float corners[][2] = {{x0 + 300, 0}, {x0 + 300, 300}, {x0, 300}, {x0, 0}};
        for (const auto& p : corners)
            add_sector_point(&g_sectors[n], p[0], p[1]);
    }
    g_sector_count = 2;

    std::memset(g_events, 0, sizeof g_events);
    g_event_count = 0;
    for (int i = 0; i < 100; ++i) {
        event_record& e = *append_event("bench");
        const int32_t sector[] = {first_fails ? 1 : 0};
        add_event_condition(&e, k_cond_player_in_sector, sector, 1, nullptr, 0);
        const int32_t memory[] = {i % 8, 0};
        add_event_condition(&e, k_cond_char_memory, memory, 2, nullptr, 0);
        std::snprintf(e.condition_text[1], k_event_text_size, "char%d", 50 + i % 50);
        const int32_t state[] = {3};
        add_event_condition(&e, k_cond_quest_state, state, 1, nullptr, 0);
        std::snprintf(e.condition_text[2], k_event_text_size, "quest%d", 90 + i % 10);
        add_event_condition(&e, k_cond_item_in_inventory, nullptr, 0, nullptr, 0);
        std::snprintf(e.condition_text[3], k_event_text_size, "item%d", 39 - i % 10);
    }
}

void free_event_level()
{
    free_objects();
    g_char_count = 0;
    g_event_count = 0;
    g_quest_count = 0;
    g_item_proto_count = 0;
    g_sector_count = 0;
}

void run_pass(benchmark::State& state, bool first_fails)
{
    bench_scene scene("map_events_bench");
    make_event_level(first_fails);
    evaluate_events();
    for (auto _ : state) {
        evaluate_events();
        benchmark::DoNotOptimize(g_message_shown);
    }
    free_event_level();
}

void BM_MapEventsAllHold(benchmark::State& state)
{
    run_pass(state, false);
}
BENCHMARK(BM_MapEventsAllHold)->Unit(benchmark::kMicrosecond);

void BM_MapEventsFirstFails(benchmark::State& state)
{
    run_pass(state, true);
}
BENCHMARK(BM_MapEventsFirstFails)->Unit(benchmark::kMicrosecond);

} // namespace
