#include "level/level_fixture.h"

#include "characters/char_table.h"
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "engine/lights.h"
#include "engine/models.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_change.h"
#include "level/level_effects.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include "platform/files.h"
#include "support/patterned_records.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <class T>
std::vector<uint8_t> bytes_of(const T* records, size_t n)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(records);
    return {p, p + sizeof(T) * n};
}

} // namespace

level_snapshot level_snapshot::take()
{
    level_snapshot s;
    s.protos = bytes_of(g_object_protos, g_object_proto_count);
    s.sectors = bytes_of(g_sectors, k_sector_slots);
    s.events = bytes_of(g_events, g_event_count);
    s.texts = bytes_of(g_map_texts, g_map_text_count);
    s.entities = bytes_of(g_entities, g_entity_count);
    s.objects = bytes_of(g_objects, g_object_count);
    for (const light_record& l : g_lights) {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(&l);
        s.lights.insert(s.lights.end(), p + offsetof(light_record, state), p + offsetof(light_record, next_fade_tick));
    }
    s.lights.push_back(g_light_count);
    s.effects = bytes_of(g_level_effects, g_level_effect_count);
    const movement_map& m = g_movement_map;
    s.movemap[0] = m.origin_column, s.movemap[1] = m.origin_row, s.movemap[2] = m.columns, s.movemap[3] = m.rows;
    s.cells.assign(m.cells, m.cells + size_t(m.columns) * size_t(m.rows));
    s.scene = bytes_of(&g_scene_header, 1);
    for (int16_t i = 0; i < g_level_container_count; ++i) {
        const container& c = g_containers[i];
        auto head = bytes_of(c.name, k_container_name_size);
        head.push_back(uint8_t(c.shop));
        head.push_back(c.width);
        head.push_back(c.height);
        auto items = bytes_of(c.items, container_cells(&c));
        auto prices = bytes_of(c.prices, container_cells(&c));
        auto flags = bytes_of(c.flags, container_cells(&c));
        for (const auto* part : {&head, &items, &prices, &flags})
            s.containers.insert(s.containers.end(), part->begin(), part->end());
    }
    s.placements = bytes_of(g_char_placements.entries, size_t(g_char_placements.count));
    s.ground_items = bytes_of(g_ground_items, size_t(g_ground_item_count));
    s.monster_points = bytes_of(&g_monster_points, 1);
    return s;
}

void expect_same(const level_snapshot& a, const level_snapshot& b)
{
    EXPECT_EQ(a.protos, b.protos);
    EXPECT_EQ(a.sectors, b.sectors);
    EXPECT_EQ(a.events, b.events);
    EXPECT_EQ(a.texts, b.texts);
    EXPECT_EQ(a.entities, b.entities);
    EXPECT_EQ(a.objects, b.objects);
    EXPECT_EQ(a.lights, b.lights);
    EXPECT_EQ(a.effects, b.effects);
    EXPECT_EQ(0, std::memcmp(a.movemap, b.movemap, sizeof a.movemap));
    EXPECT_EQ(a.cells, b.cells);
    EXPECT_EQ(a.scene, b.scene);
    EXPECT_EQ(a.containers, b.containers);
    EXPECT_EQ(a.placements, b.placements);
    EXPECT_EQ(a.ground_items, b.ground_items);
    EXPECT_EQ(a.monster_points, b.monster_points);
}

void level_test::fill_every_section()
{
    g_object_proto_count = 3;
    for (uint32_t s = 0; s < 3; ++s) {
        object_proto& p = g_object_protos[s];
        fill_pattern(&p, 100 + s);
        p.name[k_proto_name_size - 1] = 0;
        for (auto& name : p.frame_names)
            name[k_proto_frame_name_size - 1] = 0;
        p.anim_count = int32_t(s + 1);
        for (int32_t& n : p.frame_counts)
            n = 2;
        p.frames_loaded = 0;
        p.mask_slot = 0;
        // A sprite, a mesh and a surface; the first two keep only the entries loading fills.
        p.kind = s == 0 ? k_proto_sprite : s == 1 ? k_proto_mesh : k_proto_surface;
        for (int32_t a = 1; a < k_proto_animations && p.kind != k_proto_surface; ++a)
            for (int32_t& frame : p.frames[a])
                frame = -1;
    }
    for (int32_t i = 0; i < k_sector_slots; ++i) {
        fill_pattern(&g_sectors[i], 200 + i);
        g_sectors[i].active = i < 7 ? 1 : 0;
        g_sectors[i].count = i % 20;
    }
    g_sector_count = 7;
    g_event_count = 4;
    for (uint32_t i = 0; i < 4; ++i)
        g_events[i] = patterned_event(300 + i);
    g_map_text_count = 3;
    for (uint32_t i = 0; i < 3; ++i)
        g_map_texts[i] = patterned_map_text(400 + i);
    g_entity_count = 5;
    for (uint32_t i = 0; i < 5; ++i)
        g_entities[i] = entity_as_read(patterned_entity(500 + i, 1));
    ASSERT_TRUE(reserve_objects(6));
    g_object_count = 6;
    for (uint32_t i = 0; i < 6; ++i) {
        world_object& o = g_objects[i];
        fill_pattern(&o, 600 + i);
        std::memset(o.line_fill, 0, sizeof o.line_fill);
        o.state = uint8_t(1 + i % 3);
        o.layer = uint8_t(10 * i);
        o.proto = int32_t(i % 3);
        o.object_class = k_class_ordinary;
        o.owner = k_no_owner;
        o.reserved = 2.5f;
        o.next_anim_tick = o.next_behaviour_tick = o.next_drift_tick = o.next_particle_tick = 0;
        for (uint8_t& kind : o.entry_kinds)
            kind = 3;
    }
    for (int32_t i = 0; i < k_light_slots; ++i) {
        fill_pattern(&g_lights[i], 700 + i);
        g_lights[i].state = k_light_free;
    }
    light_init(&g_lights[3], k_light_kind_point, 10, 20, -2, 6);
    light_set_colour(&g_lights[3], 1.0f, 0.5f, 0.25f);
    light_init(&g_lights[17], k_light_kind_spot, 30, 40, -3, 8);
    g_lights[17].target_x = 99;
    g_lights[17].theta = 0.3f;
    g_lights[40].state = k_light_fading;
    g_light_count = 18;
    g_level_effect_count = k_level_effect_slots;
    for (int32_t i = 0; i < k_level_effect_slots; ++i) {
        fill_pattern(&g_level_effects[i], 800 + i);
        g_level_effects[i].next_tick = 0;
    }
    ASSERT_TRUE(create_movemap(&g_movement_map, 37, 23, 5, 7));
    for (int32_t i = 0; i < 37 * 23; ++i)
        g_movement_map.cells[i] = uint8_t(i * 7 % 3);
    fill_pattern(&g_scene_header, 900);
    g_scene_header.entry_count = 5;
    // Numbers within what the reader takes: scale, bounds and the counted entry points.
    g_scene_header.scale = 1.25f;
    g_scene_header.camera_min_x = g_scene_header.camera_min_y = -3000.5f;
    g_scene_header.camera_max_x = g_scene_header.camera_max_y = 7000.25f;
    for (int n = 0; n < 5; ++n)
        g_scene_header.entry_x[n] = g_scene_header.entry_y[n] = 64.0f * float(n) - 100.0f;
    g_scene_header.followed_char = 0;
    g_scene_header.reserved148 = 0;
    for (int16_t i = 0; i < 3; ++i) {
        container& c = g_containers[i];
        ASSERT_TRUE(container_init(&c, ("chest" + std::to_string(i)).c_str(), uint8_t(3 + i), uint8_t(2 + i), i));
        for (uint32_t k = 0; k < container_cells(&c); ++k) {
            c.items[k] = uint16_t(k * 3 + i);
            c.prices[k] = uint16_t(k * 11);
            c.flags[k] = uint8_t(k);
        }
    }
    g_level_container_count = 3;
    make_folder("data/creature");
    write_text("data/creature/orc.chr", "orc");
    g_char_placements.count = 4;
    for (int16_t i = 0; i < 4; ++i) {
        char_placement& p = g_char_placements.entries[i];
        fill_pattern(&p, 1000 + i);
        std::memset(p.creature_file, 0, sizeof p.creature_file);
        std::strcpy(p.creature_file, "orc.chr");
        p.char_slot = int16_t(4 + i);
        p.inv_count = 7;
        p.key_name[k_placement_key_size - 1] = p.display_name[k_placement_display_size - 1] = 0;
    }
    g_ground_item_count = 6;
    for (int16_t i = 0; i < 6; ++i) {
        fill_pattern(&g_ground_items[i], 1100 + i);
        g_ground_items[i].state = k_ground_item_dropped;
    }
    fill_pattern(&g_monster_points, 1200);
    g_monster_points.count = 12;
    for (monster_point& p : g_monster_points.points)
        p.stamp = 0;
}

void level_test::SetUp()
{
    saved_.keep(g_map_path), saved_.keep(g_session_map_path), saved_.keep(g_current_level);
    saved_.keep(g_change_file_read), saved_.keep(g_char_count), saved_.keep(g_player_char);
    object_test::SetUp();
    clear_level_tables();
    g_level_links = {};
    link_calls().clear();
    g_map_path[0] = g_session_map_path[0] = g_current_level[0] = '\0';
    g_change_file_read = 0;
}

void level_test::TearDown()
{
    g_level_links = {};
    g_object_links = {};
    clear_level_tables();
    object_test::TearDown();
    saved_.restore();
}

void clear_level_tables()
{
    for (int32_t s = 0; s < k_proto_slots; ++s)
        reset_object_proto(&g_object_protos[s]);
    g_object_proto_count = 0;
    for (map_sector& sector : g_sectors)
        clear_sector(&sector);
    g_sector_count = 0;
    std::memset(g_events, 0, sizeof g_events);
    g_event_count = 0;
    std::memset(g_map_texts, 0, sizeof g_map_texts);
    g_map_text_count = 0;
    std::memset(g_entities, 0, sizeof g_entities);
    g_entity_count = 0;
    free_objects();
    std::memset(g_lights, 0, sizeof g_lights);
    g_light_count = 0;
    std::memset(g_level_effects, 0, sizeof g_level_effects);
    g_level_effect_count = 0;
    free_movemap(&g_movement_map);
    reset_scene_header(&g_scene_header);
    free_level_containers();
    std::memset(&g_char_placements, 0, sizeof g_char_placements);
    std::memset(g_ground_items, 0, sizeof g_ground_items);
    g_ground_item_count = 0;
    reset_monster_points(&g_monster_points);
    for (int32_t i = 0; i < g_model_count && i < k_model_capacity; ++i)
        free_model(&g_models[i]);
    g_model_count = 0;
}

std::vector<std::string>& level_test::link_calls()
{
    static std::vector<std::string> calls;
    return calls;
}

void level_test::record_links()
{
    auto& l = g_level_links;
    l.spawn_level_chars = [] { link_calls().push_back("spawn_level_chars"); };
    l.spawn_level_chars_full_health = [] { link_calls().push_back("spawn_level_chars_full_health"); };
    l.spawn_monsters_at_points = [] { link_calls().push_back("spawn_monsters_at_points"); };
    l.start_script = [](const char* name) { link_calls().push_back(std::string("start_script:") + name); };
    l.purge_ground_items = [] { link_calls().push_back("purge_ground_items"); };
    l.place_ground_item = [](int32_t i) { link_calls().push_back("place_ground_item:" + std::to_string(i)); };
    l.clear_player_interior = [] { link_calls().push_back("clear_player_interior"); };
    l.release_char_models = [] { link_calls().push_back("release_char_models"); };
    l.set_dream_presence = [] { link_calls().push_back("set_dream_presence"); };
    l.load_char_names = [] { link_calls().push_back("load_char_names"); };
    l.prepare_crossing_chars = [] { link_calls().push_back("prepare_crossing_chars"); };
    l.show_hint = [](const char* path) {
        link_calls().push_back(std::string("show_hint:") + path);
        return true;
    };
    g_object_links.add_entity_object = [](int32_t entity, int32_t object) {
        link_calls().push_back("add_entity_object:" + std::to_string(entity) + "," + std::to_string(object));
    };
}
