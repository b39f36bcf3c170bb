// Casting on a fake world: volleys and their spreads, lines, lasting objects, area damage with
// its kind rules, radii and stun, the nesting limit and the entry points.
#include "items/casting.h"

#include "characters/char_machines.h"
#include "characters/char_table.h"
#include "characters/combat_fixture.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/settings.h"
#include "items/spells.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int32_t k_sprite = 1000, k_mesh = 1001, k_glow = 1002, k_companion = 1003;
constexpr int16_t k_staff = 7;

class Casting : public combat_test {
protected:
    void SetUp() override
    {
        combat_test::SetUp();
        saved_.keep(g_spell_protos), saved_.keep(g_spell_proto_count), saved_.keep(g_scene_header);
        saved_.keep(g_combat_list), saved_.keep(g_in_combat), saved_.keep(g_settings);
        for (int32_t slot = k_sprite; slot <= k_companion; ++slot) {
            protos_.push_back(g_object_protos[slot]);
            object_proto& p = g_object_protos[slot];
            reset_object_proto(&p);
            p.kind = slot == k_mesh ? k_proto_mesh : k_proto_sprite;
        }
        g_scene_header.scale = 1.0f;
        g_settings.gr_disablelight = 0;
        g_in_combat = 0;
        std::fill(std::begin(g_combat_list), std::end(g_combat_list), int16_t(-1));
        g_spell_proto_count = 100;
        item(k_staff, k_item_medium_weapon).damage = 10;
    }
    void TearDown() override
    {
        for (int32_t slot = k_sprite; slot <= k_companion; ++slot)
            g_object_protos[slot] = protos_[size_t(slot - k_sprite)];
        saved_.restore();
        combat_test::TearDown();
    }

    // A living character of the kind with a world object at (x, y) facing `facing`, side 7.
    char_record& put(int slot, uint8_t kind, float x, float y, int32_t facing = 0)
    {
        char_record& c = fighter(slot, kind);
        c.world_fade = 1.0f;
        c.object = add_object(x, y, -2 - slot, 1.0f, 1.0f, 0, 0);
        world_object& o = g_objects[c.object];
        o.angle_b = facing;
        o.layer = 7;
        return c;
    }

    // A directional sprite missile with no other effect.
    static spell_proto& spell(int32_t id)
    {
        spell_proto& s = g_spell_protos[id];
        s = spell_proto{};
        reset_spell_proto(s);
        s.companion_slot = s.missile_slot = k_spell_no_slot;
        s.item_effect = -1;
        s.missile_slot = k_sprite;
        s.duration = 30;
        s.damage_percent = 100;
        s.missiles_per_direction = 1;
        return s;
    }

    static std::vector<int32_t> objects_of(int32_t proto)
    {
        std::vector<int32_t> found;
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].state != 0 && g_objects[i].proto == proto)
                found.push_back(int32_t(i));
        return found;
    }

    static int entry_of(const world_object& o, uint8_t kind)
    {
        for (int e = 0; e < o.entry_count; ++e)
            if (o.entry_kinds[e] == kind)
                return e;
        return -1;
    }

    // The flight direction of a missile object, whole degrees in (-180, 180].
    static int heading(int32_t index)
    {
        const world_object& o = g_objects[index];
        int e = entry_of(o, k_entry_missile);
        return int(std::lround(std::atan2(o.entry_floats[e][0], o.entry_floats[e][1]) * 57.29578));
    }

    static void cast(int32_t id, int16_t caster, float x0 = 0, float y0 = 0, int16_t lifetime = 0, int no_damage = 0)
    {
        cast_spell(g_spell_protos[id], caster, id, x0, y0, 0.0f, 0.0f, lifetime, no_damage);
    }

    std::vector<object_proto> protos_;
    saved_globals saved_;
};

TEST_F(Casting, AVolleySpreadsCircularDirectionsWithOneDamagingMissileEach)
{
    char_record& hero = put(0, k_kind_player, 500.0f, 500.0f, 0);
    equip(hero, k_staff, k_inv_weapon);
    spell_proto& s = spell(5);
    s.volley_size = 2;
    s.volley_step = 20;
    s.spread = k_spread_circular;
    s.missiles_per_direction = 3;
    s.glow_slot = k_glow;
    s.glow_duration = 9;
    s.companion_slot = k_companion;
    s.is_light = 1;
    cast(5, 0);

    // Four directions around the base raised by half a step, three missiles each.
    std::vector<int32_t> missiles = objects_of(k_sprite);
    ASSERT_EQ(missiles.size(), 12u);
    std::vector<int> headings, damaging;
    for (int32_t m : missiles) {
        headings.push_back(heading(m));
        const world_object& o = g_objects[m];
        const int32_t* q = o.entry_ints[entry_of(o, k_entry_missile)];
        EXPECT_EQ(std::vector<int32_t>(q, q + 4), (std::vector<int32_t>{5, 0, k_motion_directional, k_staff}));
        EXPECT_EQ(o.lifetime, 30);
        if (o.impact)
            damaging.push_back(heading(m));
    }
    std::sort(headings.begin(), headings.end());
    EXPECT_EQ(headings, (std::vector<int>{-30, -30, -30, -10, -10, -10, 10, 10, 10, 30, 30, 30}));
    std::sort(damaging.begin(), damaging.end());
    EXPECT_EQ(damaging, (std::vector<int>{-30, -10, 10, 30}));

    // A glow (count 0 as 1) and a companion per missile; the companion flies along, without the
    // damage flag or the weapon, and the last one of each direction carries its light.
    EXPECT_EQ(objects_of(k_glow).size(), 12u);
    EXPECT_EQ(g_objects[objects_of(k_glow)[0]].lifetime, 9);
    std::vector<int32_t> companions = objects_of(k_companion);
    ASSERT_EQ(companions.size(), 12u);
    int lit = 0;
    for (int32_t c : companions) {
        const world_object& o = g_objects[c];
        EXPECT_EQ(o.impact, 0);
        EXPECT_EQ(o.entry_ints[entry_of(o, k_entry_missile)][3], -1);
        lit += entry_of(o, k_entry_light_follow) >= 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 4);
    EXPECT_EQ(g_light_count, 4);
    EXPECT_EQ(s.glow_count, 0);
    EXPECT_EQ(s.missiles_per_direction, 3);

    // The no-damage flag: no missile carries the damage flag. With all lights taken the
    // direction gets no light entry.
    free_objects();
    ASSERT_TRUE(reserve_objects(64));
    hero.object = add_object(500.0f, 500.0f, -2, 1.0f, 1.0f, 0, 0);
    for (light_record& l : g_lights)
        l.state = k_light_on;
    g_light_count = k_light_slots;
    cast(5, 0, 0, 0, 0, 1);
    for (int32_t m : objects_of(k_sprite))
        EXPECT_EQ(g_objects[m].impact, 0);
    for (int32_t c : objects_of(k_companion))
        EXPECT_EQ(entry_of(g_objects[c], k_entry_light_follow), -1);

    // Size and count 0: one direction at the facing, one missile, the count stored back.
    spell_proto& single = spell(6);
    single.missiles_per_direction = 0;
    g_objects[hero.object].angle_b = 45;
    cast(6, 0);
    EXPECT_EQ(single.missiles_per_direction, 1);
    ASSERT_EQ(objects_of(k_sprite).size(), 13u);
    EXPECT_EQ(heading(objects_of(k_sprite).back()), 45);
}

TEST_F(Casting, ASeekerAimsAtTheCombatListThenSpreadsAsCircular)
{
    put(0, k_kind_player, 500.0f, 500.0f, 135);
    put(1, k_kind_enemy, 500.0f, 800.0f);  // straight ahead in y: 0 degrees
    put(2, k_kind_enemy, 800.0f, 500.0f);  // level with the caster, to the right: 90 degrees
    g_combat_list[1] = 1;
    g_combat_list[5] = 2;
    g_in_combat = 2;
    spell_proto& s = spell(5);
    s.spread = k_spread_seeker;
    s.missiles_per_direction = 3;
    cast(5, 0, 500.0f, 500.0f);
    std::vector<int32_t> missiles = objects_of(k_sprite);
    ASSERT_EQ(missiles.size(), 3u);
    std::vector<int> headings;
    for (int32_t m : missiles)
        headings.push_back(heading(m));
    std::sort(headings.begin(), headings.end());
    EXPECT_EQ(headings, (std::vector<int>{0, 90, 90}));  // the third keeps the last aim

    // An empty list, or a fighter without a world object, leaves the caster's facing.
    g_chars[1].object = -1;
    g_in_combat = 1;
    s.missiles_per_direction = 1;
    cast(5, 0, 500.0f, 500.0f);
    EXPECT_EQ(heading(objects_of(k_sprite).back()), 135);
}

TEST_F(Casting, ALineLaysFiftyObjectsSpeedApartAndRainFallsAroundTheOrigin)
{
    put(0, k_kind_player, 100.0f, 100.0f, 90);
    g_object_protos[k_sprite].frame_counts[0] = 4;
    spell_proto& s = spell(5);
    s.motion = k_motion_line;
    s.speed = 12;
    cast(5, 0);
    std::vector<int32_t> objects = objects_of(k_sprite);
    ASSERT_EQ(objects.size(), 51u);  // the missile and the line
    EXPECT_EQ(g_objects[objects[0]].impact, 1);
    for (size_t k = 1; k < objects.size(); ++k) {
        const world_object& o = g_objects[objects[k]];
        EXPECT_NEAR(o.x, 100.0f + 12.0f * float(k - 1), 0.01f);
        EXPECT_NEAR(o.y, 100.0f, 0.01f);
        EXPECT_LT(uint32_t(o.frame), 4u);
        EXPECT_EQ(o.impact, 0);
        EXPECT_EQ(o.entry_ints[entry_of(o, k_entry_missile)][2], k_motion_line);
    }
    g_object_protos[k_sprite].frame_counts[0] = 0;  // no frames: frame 0
    cast(5, 0);
    EXPECT_EQ(g_objects[objects_of(k_sprite).back()].frame, 0);

    // Rain from a point: drops within the larger offset (taken absolute) of the origin, inside
    // the rectangle of both, each due to fall again 10 ticks on.
    spell_proto& rain = spell(6);
    rain.motion = k_motion_global;
    rain.side_offset = -60;
    rain.forward_offset = 40;
    rain.missiles_per_direction = 40;
    std::vector<int32_t> before = objects_of(k_sprite);
    cast(6, -1, 1000.0f, 1000.0f);
    std::vector<int32_t> drops = objects_of(k_sprite);
    ASSERT_EQ(drops.size(), before.size() + 40);
    for (size_t k = before.size(); k < drops.size(); ++k) {
        const world_object& o = g_objects[drops[k]];
        EXPECT_LE(std::hypot(o.x - 1000.0f, o.y - 1000.0f), 60.0f);
        EXPECT_LE(std::abs(o.y - 1000.0f), 40.0f);
        EXPECT_EQ(uint32_t(o.entry_ints[0][4]), g_ticks + 10);
    }
}

TEST_F(Casting, LastingObjectsAreMarkedAndALastingMeshIsReusedByItsCaster)
{
    put(0, k_kind_player, 300.0f, 300.0f, 0);
    put(1, k_kind_sidekick, 600.0f, 300.0f, 0);
    spell(64).glow_slot = k_glow;
    spell(7);
    cast(64, 0, 0, 0, -1);
    cast(7, 0, 0, 0, -1);
    for (int32_t index : objects_of(k_glow))
        EXPECT_EQ(g_objects[index].lasting_mark, 6);
    std::vector<int32_t> sprites = objects_of(k_sprite);
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(g_objects[sprites[0]].lasting_mark, 6);
    EXPECT_EQ(g_objects[sprites[1]].lasting_mark, 5);
    EXPECT_EQ(g_objects[sprites[1]].lifetime, -1);

    spell_proto& shield = spell(8);
    shield.missile_slot = k_mesh;
    shield.moves_with_caster = 1;
    shield.rotation = k_rotation_plus;
    cast(8, 0, 0, 0, -1);
    std::vector<int32_t> meshes = objects_of(k_mesh);
    ASSERT_EQ(meshes.size(), 1u);
    world_object& mesh = g_objects[meshes[0]];
    EXPECT_EQ(mesh.angle_a, 45);
    EXPECT_EQ(mesh.owner, 0);
    int entries = mesh.entry_count;
    EXPECT_EQ(entries, 4);  // fade out, frames, spin, missile
    mesh.alpha = 0.3f;
    g_objects[g_chars[0].object].x = 350.0f;
    cast(8, 0, 0, 0, -1);
    ASSERT_EQ(objects_of(k_mesh).size(), 1u);  // the same object, renewed
    EXPECT_EQ(mesh.entry_count, entries);
    EXPECT_EQ(mesh.alpha, 1.0f);
    EXPECT_EQ(mesh.x, 350.0f);
    cast(8, 1, 0, 0, -1);  // another caster gets its own
    EXPECT_EQ(objects_of(k_mesh).size(), 2u);
}

TEST_F(Casting, AreaDamageHitsByKindAndRadiusAndStunsOnce)
{
    g_interface.npc_kill_enabled = 1;  // area damage still spares inhabitants
    put(0, k_kind_enemy, 1000.0f, 1000.0f);
    char_record& near_player = put(1, k_kind_player, 1150.0f, 1000.0f);
    char_record& other_enemy = put(2, k_kind_enemy, 1050.0f, 1000.0f);
    char_record& inhabitant = put(3, k_kind_normal, 1000.0f, 1050.0f);
    char_record& far_player = put(4, k_kind_player, 1250.0f, 1000.0f);
    spell_proto& s = spell(5);
    s.missile_slot = k_spell_no_slot;
    s.damage_kind = k_spell_close_damage;
    s.stun_min = s.stun_max = 2;
    g_message_log.count = 0;
    cast(5, 0);  // origin (0, 0): centred on the caster
    EXPECT_LT(near_player.hp, 100);
    EXPECT_EQ(std::vector<int32_t>({other_enemy.hp, inhabitant.hp, far_player.hp}),
              std::vector<int32_t>({100, 100, 100}));
    EXPECT_EQ(near_player.state, k_state_stunned);
    EXPECT_EQ(near_player.pending_target, g_elapsed_ms + 2000u);
    ASSERT_GT(g_message_log.count, 0u);
    EXPECT_EQ(std::string(g_message_log.lines[g_message_log.count - 1]), "F1 T95");
    EXPECT_TRUE(objects_of(k_sprite).empty());

    // Hit again while stunned: damage, but the stun is not renewed.
    int32_t hp = near_player.hp;
    uint32_t until = near_player.pending_target;
    g_elapsed_ms += 500;
    cast(5, 0);
    EXPECT_LT(near_player.hp, hp);
    EXPECT_EQ(near_player.pending_target, until);

    // An origin given: the area lies around it.
    hp = far_player.hp;
    cast(5, 0, 1300.0f, 1000.0f);
    EXPECT_LT(far_player.hp, hp);

    // FARDAM reaches 1,000 around the caster whatever the origin.
    far_player.hp = 100;
    g_objects[far_player.object].x = 1990.0f;
    s.damage_kind = k_spell_far_damage;
    s.stun_max = 0;
    cast(5, 0, 5000.0f, 5000.0f);
    EXPECT_LT(far_player.hp, 100);

    // An inhabitant's area spell hurts enemies but never the player.
    near_player.hp = other_enemy.hp = 100;
    cast(5, 3);
    EXPECT_EQ(near_player.hp, 100);
    EXPECT_LT(other_enemy.hp, 100);
}

TEST_F(Casting, CastsStopAtTheDepthAndObjectLimits)
{
    put(0, k_kind_player, 1000.0f, 1000.0f);
    put(1, k_kind_enemy, 1100.0f, 1000.0f).hp = 100000;
    spell_proto& s = spell(9);
    s.damage_kind = k_spell_close_damage;
    s.hit_spell = 10;  // itself: each area hit casts it again at the target
    cast(9, 0);
    EXPECT_EQ(objects_of(k_sprite).size(), size_t(k_cast_depth_limit));
    EXPECT_EQ(cast_depth(), 0);

    // A cycle of two spells stops at the same depth.
    free_objects();
    ASSERT_TRUE(reserve_objects(64));
    g_chars[0].object = add_object(1000.0f, 1000.0f, -2, 1.0f, 1.0f, 0, 0);
    g_chars[1].object = add_object(1100.0f, 1000.0f, -3, 1.0f, 1.0f, 0, 0);
    s.hit_spell = 12;
    spell_proto& t = spell(11);
    t.damage_kind = k_spell_close_damage;
    t.missile_slot = k_mesh;
    t.hit_spell = 10;
    cast(9, 0);
    EXPECT_EQ(objects_of(k_sprite).size() + objects_of(k_mesh).size(), size_t(k_cast_depth_limit));
    EXPECT_NE(log_text().find("vnorene"), std::string::npos);

    // Three targets in reach: every hit casts again at each of them, three more casts a level;
    // one outermost cast sets off no more than the chain limit, logged once.
    free_objects();
    ASSERT_TRUE(reserve_objects(1024));
    s.hit_spell = 10;
    put(0, k_kind_player, 1000.0f, 1000.0f);
    for (int k = 1; k <= 3; ++k)
        put(k, k_kind_enemy, 1000.0f + 40.0f * float(k), 1000.0f).hp = 100000;
    cast(9, 0);
    EXPECT_EQ(objects_of(k_sprite).size(), size_t(k_cast_chain_limit));
    EXPECT_EQ(cast_depth(), 0);
    EXPECT_NE(log_text().find("viac ako 64 kuziel jedneho zoslania"), std::string::npos);

    // The largest counts a record holds: the cast stops at the object limit, without its sound.
    spell_proto& huge = spell(12);
    huge.volley_size = huge.missiles_per_direction = huge.glow_count = 255;
    huge.glow_slot = k_glow;
    uint32_t before = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        before += g_objects[i].state != 0 ? 1 : 0;
    cast(12, 0);
    uint32_t after = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        after += g_objects[i].state != 0 ? 1 : 0;
    EXPECT_EQ(after - before, uint32_t(k_cast_object_limit));
    EXPECT_NE(log_text().find("priliz vela objektov"), std::string::npos);
}

TEST_F(Casting, TheDirectionAndTheEntryPoints)
{
    EXPECT_EQ(spell_direction(0.0f, 0.0f, 0.0f, 10.0f), 0);
    EXPECT_EQ(spell_direction(0.0f, 0.0f, 10.0f, 10.0f), 45);
    EXPECT_EQ(spell_direction(0.0f, 0.0f, -10.0f, -10.0f), 225);
    EXPECT_EQ(spell_direction(5.0f, 5.0f, 5.0f, 5.0f), 180);   // coincident: term 0
    EXPECT_EQ(spell_direction(0.0f, 5.0f, 10.0f, 5.0f), 90);   // equal y: by the sign of dx
    EXPECT_EQ(spell_direction(10.0f, 5.0f, 0.0f, 5.0f), 270);
    // Points that are not numbers, or infinite on both axes, give a term of 0.
    EXPECT_EQ(spell_direction(0.0f, NAN, 0.0f, 0.0f), 180);
    EXPECT_EQ(spell_direction(INFINITY, INFINITY, 0.0f, 0.0f), 180);

    put(0, k_kind_player, 200.0f, 200.0f, 0);
    spell(5);
    std::strcpy(g_spell_protos[5].name, "learn ATTUNEMENT");
    cast_spell_by_id(-1, 0, 0, 0, 0, 0, 0, 0);
    cast_spell_by_id(g_spell_proto_count, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(objects_of(k_sprite).empty());

    // A caster slot outside the table casts as from the point, toward the target.
    cast_spell_by_id(5, 200, 50.0f, 50.0f, 50.0f, 150.0f, 0, 0);
    ASSERT_EQ(objects_of(k_sprite).size(), 1u);
    const world_object& o = g_objects[objects_of(k_sprite)[0]];
    EXPECT_EQ(std::make_tuple(o.layer, o.owner, o.entry_ints[0][1], o.entry_ints[0][3], heading(objects_of(k_sprite)[0])),
              std::make_tuple(k_no_side, k_no_owner, -1, -1, 0));

    cast_learn_attunement(0);
    ASSERT_EQ(objects_of(k_sprite).size(), 2u);
    EXPECT_EQ(g_objects[objects_of(k_sprite)[1]].entry_ints[0][1], 0);

    missile_spell values{};
    g_spell_protos[5].speed = 9;
    g_spell_protos[5].school = k_school_death;
    ASSERT_TRUE(missile_spell_values(5, &values));
    EXPECT_EQ(std::make_tuple(values.speed, values.blood_threshold, values.attunement),
              std::make_tuple(uint8_t(9), uint8_t(k_school_death), -1));
    EXPECT_FALSE(missile_spell_values(200, &values));
}

} // namespace
