#include "characters/machine_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/focus_list.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/model_test_support.h"
#include "engine/models.h"
#include "items/containers.h"
#include "items/items.h"
#include "platform/clock.h"
#include "script/entities.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/sectors.h"

#include <algorithm>

std::vector<cast_call> g_hook_casts;
std::vector<int32_t> g_hook_particle_spells;
std::vector<std::pair<int32_t, int32_t>> g_hook_events;
int32_t g_hook_spell_mana_cost = 5;

std::vector<int32_t> hook_cast_spells()
{
    std::vector<int32_t> spells;
    for (const cast_call& c : g_hook_casts)
        spells.push_back(c.spell);
    return spells;
}

void machine_test::SetUp()
{
    char_test::SetUp();
    saved_.keep(g_movement_map), saved_.keep(g_scene_header), saved_.keep(g_work_mode);
    saved_.keep(g_mouse_left), saved_.keep(g_mouse_right), saved_.keep(g_mouse_x), saved_.keep(g_mouse_y);
    saved_.keep(g_focus_list), saved_.keep(g_interface), saved_.keep(g_press_latches);
    saved_.keep(g_player_object), saved_.keep(g_entity_busy), saved_.keep(g_dialogue_running);
    saved_.keep(g_char_rule_links), saved_.keep(g_entities), saved_.keep(g_entity_count);
    saved_.keep(g_sectors), saved_.keep(g_sector_count), saved_.keep(g_containers);
    saved_.keep(g_camera_shake), saved_.keep(g_message_log), saved_.keep(g_blood), saved_.keep(g_water_circle);
    saved_.keep(g_camera_clamp_x), saved_.keep(g_camera_clamp_y), saved_.keep(g_hook_spell_mana_cost);
    clock_use_manual(true);
    clock_set_manual(50000);
    g_movement_map = movement_map{};  // the kept map's cells stay its own until they come back
    ASSERT_TRUE(create_movemap(&g_movement_map, 40, 40, 0, 0));
    g_scene_header.scale = 1.0f;
    g_work_mode = k_work_play;
    g_mouse_left = g_mouse_right = 0;
    g_focus_list = focus_list{};
    g_interface = game_interface{};
    g_press_latches = {};
    g_entity_busy = g_dialogue_running = 0;
    g_entity_count = 0;
    for (map_sector& sector : g_sectors)  // a test's sectors are only those it makes
        clear_sector(&sector);
    g_sector_count = 0;
    g_camera_clamp_x = g_camera_clamp_y = 0;
    std::fill(std::begin(g_blood.blood), std::end(g_blood.blood), int16_t(-1));
    std::fill(std::begin(g_blood.bleed), std::end(g_blood.bleed), int16_t(-1));
    g_water_circle.template_slot = -1;
    g_char_rule_links = char_rule_links{};
    g_char_rule_links.cast_spell = [](int32_t spell, int32_t caster, float, float, float x1, float y1, int16_t,
                                      int32_t flag) { g_hook_casts.push_back({spell, caster, x1, y1, flag}); };
    g_char_rule_links.spawn_cast_particles = [](int32_t spell, int32_t, float, float, float) {
        g_hook_particle_spells.push_back(spell);
    };
    g_char_rule_links.spell_cost = [](int32_t, int32_t* mana, uint32_t* cooldown) {
        *mana = g_hook_spell_mana_cost;
        *cooldown = 30;
        return true;
    };
    g_char_rule_links.run_char_event = [](int32_t slot, int32_t kind) { g_hook_events.emplace_back(slot, kind); };
    g_char_rule_links.cancel_item_drag = [] {};
    g_char_rule_links.close_item_windows = [] {};
    g_char_rule_links.slide_show_running = [] { return false; };
    g_hook_casts.clear(), g_hook_particle_spells.clear(), g_hook_events.clear();
}

void machine_test::TearDown()
{
    free_movemap(&g_movement_map);
    clock_use_manual(false);
    g_hook_casts.clear(), g_hook_particle_spells.clear(), g_hook_events.clear();
    saved_.restore();
    char_test::TearDown();
}

char_record& place(int slot, uint8_t kind, float x, float y)
{
    char_record& c = make_char(slot, kind == k_kind_player ? "hero" : "wolf", kind);
    std::fill(std::begin(c.part_model), std::end(c.part_model), int16_t(-1));
    c.object = add_object(x, y, -2 - slot, 1.0f, 1.0f, 0, 0);
    c.run_speed = 4;
    c.walk_speed = 2;
    c.running = 1;
    c.move_correction = 1.0f;
    c.stamina = 10;
    c.hp = c.hp_max = 20;
    c.target = -1;
    c.loot_container = -1;
    c.interior = 255;
    c.world_fade = 1.0f;
    c.ai_distance = 700;
    c.script_flags[0] = 1;
    return c;
}

world_object& obj(const char_record& c)
{
    return g_objects[c.object];
}

void give_model(char_record& c, int frames)
{
    make_grid_model(g_char_models[0], 1, 1, 1, frames);
    g_chardata[0].loaded = 1;
    g_chardata_count = std::max(g_chardata_count, 1u);
    c.part_model[0] = 0;
    c.part_frame[0] = 0;
}

void give_item(char_record& c, int16_t item, uint8_t location, uint8_t damage_type)
{
    c.inv_item[c.inv_count] = item;
    c.inv_location[c.inv_count] = location;
    c.inv_damage_type[c.inv_count] = damage_type;
    ++c.inv_count;
}

void add_property(int32_t item, uint16_t code, std::initializer_list<int16_t> args)
{
    item_property& p = g_item_lists[item].efects[g_item_protos[item].efect_count++];
    p.code = code;
    std::copy(args.begin(), args.end(), p.args);
}

void make_sector(int n, std::initializer_list<std::pair<float, float>> corners, uint8_t type)
{
    map_sector& s = g_sectors[n];
    s = map_sector{};
    s.active = 1;
    s.closed = 1;
    s.type = type;
    for (const auto& [x, y] : corners) {
        s.x[s.count] = x;
        s.y[s.count] = y;
        ++s.count;
    }
    g_sector_count = int16_t(std::max<int>(g_sector_count, n + 1));
}

void advance_time(uint32_t ms)
{
    clock_advance_manual(ms);
    g_elapsed_ms += ms;
    g_ticks += ms / 16;
}

void frame(char_record& c, uint32_t ms)
{
    advance_time(ms);
    update_char(&c, c.slot);
}
