// The entity page over full tables, without drawing: opening it with 1,000 items, 200 spells,
// 100 level containers, 50 map texts and 100 entities, and selecting an entity among 30,000 world
// objects (its fields shown, its assigned objects listed).
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/entity_editor.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "script/entities.h"
#include "script/map_texts.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

void fill_tables()
{
    g_item_proto_count = k_item_slots;
    for (int32_t i = 0; i < k_item_slots; ++i)
        std::snprintf(g_item_protos[i].display_name, sizeof g_item_protos[i].display_name, "item number %d", i);
    g_spell_proto_count = k_spell_slots;
    for (int32_t i = 0; i < k_spell_slots; ++i)
        std::snprintf(g_spell_protos[i].name, sizeof g_spell_protos[i].name, "spell%d", i);
    g_level_container_count = k_level_container_slots;
    g_map_text_count = 0;
    while (add_map_text("text", ("key" + std::to_string(g_map_text_count)).c_str(), 1)) {
    }
    g_entity_count = 0;
    while (add_entity(("entity" + std::to_string(g_entity_count)).c_str(), 0, 1) >= 0) {
    }
}

void BM_EntityPageOpenFullTables(benchmark::State& state)
{
    fill_tables();
    for (auto _ : state) {
        open_entity_editor();
        destroy_all_dialogs();
    }
}
BENCHMARK(BM_EntityPageOpenFullTables)->Unit(benchmark::kMicrosecond);

void BM_EntityPageSelectAmong30000Objects(benchmark::State& state)
{
    fill_tables();
    free_objects();
    reserve_objects(30000);
    g_object_count = 30000;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        g_objects[i].state = 3;
        g_objects[i].proto = int32_t(i % 50);
        g_objects[i].entity = int32_t(i % 150);  // 200 objects per entity below 100
    }
    open_entity_editor();
    int32_t row = 0;
    for (auto _ : state)
        user_choose(g_entity_editor_window, k_ent_list, row++ % k_entity_slots);
    destroy_all_dialogs();
    free_objects();
}
BENCHMARK(BM_EntityPageSelectAmong30000Objects)->Unit(benchmark::kMicrosecond);

} // namespace
