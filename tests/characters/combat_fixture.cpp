#include "characters/combat_fixture.h"

#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/rule_tables.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "platform/random.h"
#include "world/camera_shake.h"

#include <algorithm>
#include <cstdio>

std::vector<recorded_cast> combat_test::casts;
std::vector<recorded_event> combat_test::events;

void combat_test::SetUp()
{
    char_test::SetUp();
    saved_.keep(g_monster_protos), saved_.keep(g_monster_proto_count);
    saved_.keep(attack_speed_table), saved_.keep(damage_skill_multipliers), saved_.keep(block_dodge_chance_table);
    saved_.keep(g_interface), saved_.keep(g_message_log), saved_.keep(g_camera_shake), saved_.keep(g_ui_text);
    saved_.keep(g_char_rule_links);
    reset_rule_tables();
    g_item_proto_count = 0;
    g_interface.player_invulnerable = 0;
    g_message_log.count = 0;
    for (int n = 90; n < 125; ++n)
        std::snprintf(g_ui_text[n], sizeof g_ui_text[n], "T%d", n);
    // class 0: a plain class without unarmed criticals or armour; class 1: the editor's defaults
    g_monster_proto_count = 2;
    g_monster_protos[0] = monster_proto{};
    new_monster_proto(&g_monster_protos[0]);
    g_monster_protos[0].critical_base = g_monster_protos[0].critical_per_level = 0;
    g_monster_protos[0].armor_base = g_monster_protos[0].armor_per_level = 0;
    g_monster_protos[1] = monster_proto{};
    new_monster_proto(&g_monster_protos[1]);
    casts.clear();
    events.clear();
    g_char_rule_links.cast_spell = [](int32_t spell, int32_t caster, float x0, float y0, float, float, int16_t,
                                      int32_t flag) { casts.push_back({spell, caster, x0, y0, flag}); };
    g_char_rule_links.spawn_cast_particles = [](int32_t, int32_t, float, float, float) {};
    g_char_rule_links.run_char_event = [](int32_t slot, int32_t kind) { events.push_back({slot, kind}); };
}

void combat_test::TearDown()
{
    saved_.restore();
    char_test::TearDown();
}

char_record& combat_test::fighter(int slot, uint8_t kind)
{
    char_record& c = make_char(slot, "a", kind);
    c.level = 1;
    c.hp = c.hp_max = c.hp_ceiling = 100;
    c.monster_class = 0;
    c.pos_x = 100.0f * float(slot);
    std::snprintf(c.display_name, sizeof c.display_name, "F%d", slot);
    return c;
}

void combat_test::equip(char_record& c, int16_t item, uint8_t location, uint8_t damage_type)
{
    int i = c.inv_count++;
    c.inv_item[i] = item;
    c.inv_location[i] = location;
    c.inv_damage_type[i] = damage_type;
}

item_proto& combat_test::item(int16_t id, uint8_t item_class, std::vector<item_property> efects)
{
    item_proto& p = make_item(id, "i", "Item", item_class);
    p.efect_count = int16_t(efects.size());
    std::copy(efects.begin(), efects.end(), g_item_lists[id].efects);
    return p;
}
