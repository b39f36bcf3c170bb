// The behaviour step: lifetimes and the end of an object, trails, swings, spins, frames, fades,
// links and missiles with their flight, walls, sides and hits, on fake characters and spells.
#include "core/frame_timing.h"
#include "core/hooks.h"
#include "engine/lights.h"
#include "engine/models.h"
#include "support/saved_globals.h"
#include "world/blood.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

namespace {

constexpr uint8_t k_player = 1, k_sidekick = 4, k_enemy = 2, k_normal = 0;
constexpr int32_t k_spell = 3;  // the one spell the fake table holds

struct fake_char {
    uint8_t kind;
    uint8_t life;
    float world_fade;
    int32_t object;  // world object, -1 none
};

struct hit_call {
    int32_t slot, caster, weapon, percent, attunement;
    bool operator==(const hit_call&) const = default;
};

struct impact_call {
    int32_t spell, hit;
    float x, y;
    int32_t layer;
    bool operator==(const impact_call&) const = default;
};

struct fakes {
    std::vector<fake_char> chars;
    missile_spell spell;
    std::vector<hit_call> hits;
    std::vector<std::tuple<int32_t, int32_t, int32_t>> reactions;  // slot, stun min, stun max
    std::vector<impact_call> impacts;
    std::vector<std::tuple<int32_t, float, float, int16_t>> casts;  // caster, x, y, lifetime
    std::vector<int32_t> left;           // characters that left the world
    std::vector<int16_t> followed_when_left;
    std::vector<std::pair<int32_t, int32_t>> ground_links;
    int32_t damage = 7;
};
fakes* s_fakes = nullptr;

const fake_char* fake_at(int32_t slot)
{
    return slot >= 0 && size_t(slot) < s_fakes->chars.size() ? &s_fakes->chars[size_t(slot)] : nullptr;
}

void link_fakes()
{
    g_object_links.char_count = [] { return uint32_t(s_fakes->chars.size()); };
    g_object_links.char_object = [](int32_t s) { return fake_at(s) ? fake_at(s)->object : -1; };
    g_object_links.char_kind = [](int32_t s) { return fake_at(s)->kind; };
    g_object_links.char_life_state = [](int32_t s) { return fake_at(s)->life; };
    g_object_links.char_world_fade = [](int32_t s) { return fake_at(s)->world_fade; };
    // The outline: 20 pixels around the character's object.
    g_object_links.char_outline_contains = [](int32_t s, float x, float y) {
        const world_object& o = g_objects[fake_at(s)->object];
        return std::abs(x - o.x) < 20.0f && std::abs(y - o.y) < 20.0f;
    };
    g_object_links.char_leave_world = [](int32_t s) {
        s_fakes->left.push_back(s);
        s_fakes->followed_when_left.push_back(g_scene_header.followed_char);
    };
    g_object_links.char_take_hit = [](int32_t s, int32_t caster, int32_t weapon, int32_t percent, int32_t att) {
        s_fakes->hits.push_back({s, caster, weapon, percent, att});
        return s_fakes->damage;
    };
    g_object_links.char_hit_reaction = [](int32_t s, int32_t lo, int32_t hi) {
        s_fakes->reactions.emplace_back(s, lo, hi);
    };
    g_behaviour_links.missile_spell = [](int32_t spell, missile_spell* v) {
        if (spell != k_spell)
            return false;
        *v = s_fakes->spell;
        return true;
    };
    g_behaviour_links.spell_impact = [](int32_t spell, int32_t hit, float x, float y, int32_t layer) {
        s_fakes->impacts.push_back({spell, hit, x, y, layer});
    };
    g_behaviour_links.cast_spell = [](int32_t, int32_t caster, float x, float y, float, float, int16_t life, int32_t) {
        s_fakes->casts.emplace_back(caster, x, y, life);
    };
    g_behaviour_links.ground_item_count = [] { return 10; };
    g_behaviour_links.set_ground_item_object = [](int32_t item, int32_t index) {
        s_fakes->ground_links.emplace_back(item, index);
    };
}

class object_behaviour_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_object_links), saved_.keep(g_behaviour_links), saved_.keep(g_scene_header);
        saved_.keep(g_scene_hero), saved_.keep(g_ticks), saved_.keep(g_movement_map), saved_.keep(g_lights);
        saved_.keep(g_blood), saved_.keep(g_model_count);
        s_fakes = &fakes_;
        g_object_links = {};
        g_behaviour_links = {};
        g_scene_hero = {};
        g_scene_hero.player_slot = [] { return int16_t(0); };
        reset_scene_header(&g_scene_header);
        for (int16_t& slot : g_blood.blood)
            slot = -1;
        for (int16_t& slot : g_blood.bleed)
            slot = -1;
        g_movement_map = {};
        g_movement_map = movement_map{};  // the kept map's cells stay its own until they come back
        create_movemap(&g_movement_map, 64, 64, 0, 0);  // 0 to 2048 pixels each way, all free
        reserve_objects(16);
        link_fakes();
        fakes_.spell = {8, 0, 0, 0, 0, 150, 42};
        g_ticks = 100;
    }

    void TearDown() override
    {
        free_objects();
        free_movemap(&g_movement_map);
        reset_hook_skip_log();
        s_fakes = nullptr;
    }

    // A character of the kind with a world object at (x, y), alive and present.
    int32_t add_char(uint8_t kind, float x, float y)
    {
        int32_t index = add_object(x, y, -2 - int32_t(fakes_.chars.size()), 1.0f, 1.0f, 0, 0);
        fakes_.chars.push_back({kind, k_link_life_alive, 1.0f, index});
        return int32_t(fakes_.chars.size()) - 1;
    }

    // A missile of the fake spell at (x, y), due at the current tick, with the impact flag.
    static int32_t add_missile(float x, float y, int32_t caster, int32_t motion, float a, float b, int32_t lifetime = 100)
    {
        int32_t index = add_object(x, y, -1, 1.0f, 1.0f, 0, 0);
        world_object& o = g_objects[index];
        o.lifetime = lifetime;
        o.impact = 1;
        o.layer = 12;
        o.next_behaviour_tick = g_ticks - 1;
        add_entry(o, k_entry_missile, {a, b}, {k_spell, caster, motion, 55, 0});
        return index;
    }

    static void add_entry(world_object& o, uint8_t kind, std::initializer_list<float> f, std::initializer_list<int32_t> i)
    {
        int32_t e = o.entry_count++;
        o.entry_kinds[e] = kind;
        std::copy(f.begin(), f.end(), o.entry_floats[e]);
        std::copy(i.begin(), i.end(), o.entry_ints[e]);
    }

    // One behaviour step of the object, g_ticks moved to `elapsed` ticks after it was due.
    static void step(int32_t index, uint32_t elapsed = 1)
    {
        g_ticks = g_objects[index].next_behaviour_tick + elapsed;
        update_missile_object(&g_objects[index], index);
    }

    fakes fakes_;
    saved_globals saved_;
};

TEST_F(object_behaviour_test, MissilesTakeSpeedPlusHalfSpeedPerElapsedTickAndLongGapsCountAsNone)
{
    int32_t m = add_missile(100.0f, 100.0f, -1, k_missile_straight, 1.0f, 0.5f);
    step(m, 4);  // 8 + 8 x 4 / 2
    EXPECT_FLOAT_EQ(g_objects[m].x, 124.0f);
    EXPECT_FLOAT_EQ(g_objects[m].y, 112.0f);
    EXPECT_EQ(g_objects[m].next_behaviour_tick, g_ticks + 2);

    step(m, 30);  // 8 + 120
    EXPECT_FLOAT_EQ(g_objects[m].x, 252.0f);
    step(m, 31);  // more than 30: 0 elapsed ticks
    EXPECT_FLOAT_EQ(g_objects[m].x, 260.0f);

    g_scene_header.scale = 2.0f;  // the level's scale lengthens every sub-step
    step(m, 31);
    EXPECT_FLOAT_EQ(g_objects[m].x, 276.0f);

    // Not yet due: nothing moves.
    g_ticks = g_objects[m].next_behaviour_tick;
    update_missile_object(&g_objects[m], m);
    EXPECT_FLOAT_EQ(g_objects[m].x, 276.0f);
    // The lifetime counts game time, a step per 3 ticks however long the gaps: (4 + 2) / 3,
    // (30 + 2) / 3 and twice (31 + 2) / 3 steps.
    EXPECT_EQ(g_objects[m].lifetime, 100 - 2 - 10 - 11 - 11);
    EXPECT_TRUE(fakes_.impacts.empty());
}

TEST_F(object_behaviour_test, AnEndingMissileTriggersItsImpactAndAWallEndsTheFlightWithoutAHit)
{
    int32_t last = add_missile(300.0f, 300.0f, -1, k_missile_straight, 1.0f, 0.0f, 1);
    step(last);
    EXPECT_EQ(fakes_.impacts, (std::vector<impact_call>{{k_spell, -1, 300.0f, 300.0f, 12}}));
    EXPECT_EQ(g_objects[last].state, 0);

    // A blocked cell under the missile: the lifetime becomes 0 and the missile does not move;
    // the next step ends it with its impact and no hit character.
    fakes_.impacts.clear();
    set_movemap_cell(&g_movement_map, 500, 500, k_cell_blocked);
    int32_t walled = add_missile(500.0f, 500.0f, -1, k_missile_straight, 1.0f, 0.0f);
    add_char(k_normal, 500.0f, 500.0f);  // would be hit but for the wall
    step(walled);
    EXPECT_EQ(std::make_tuple(g_objects[walled].lifetime, g_objects[walled].x), std::make_tuple(0, 500.0f));
    EXPECT_TRUE(fakes_.impacts.empty());
    step(walled);
    EXPECT_EQ(fakes_.impacts, (std::vector<impact_call>{{k_spell, -1, 500.0f, 500.0f, 12}}));
    EXPECT_TRUE(fakes_.hits.empty());
    EXPECT_EQ(g_objects[walled].state, 0);

    // Leaving the movement map counts as a wall; without the impact flag nothing is triggered.
    fakes_.impacts.clear();
    int32_t outside = add_missile(-100.0f, 10.0f, -1, k_missile_straight, 1.0f, 0.0f);
    g_objects[outside].impact = 0;
    step(outside);
    step(outside);
    EXPECT_EQ(g_objects[outside].state, 0);
    EXPECT_TRUE(fakes_.impacts.empty());
}

TEST_F(object_behaviour_test, AHitResolvesThroughTheCharacterAndEndsTheMissileWithItsTarget)
{
    int32_t caster = add_char(k_player, 0.0f, 0.0f);
    int32_t wolf = add_char(k_enemy, 205.0f, 100.0f);
    fakes_.spell.stun_min = 2;
    fakes_.spell.stun_max = 4;
    int32_t m = add_missile(200.0f, 100.0f, caster, k_missile_straight, 1.0f, 0.0f);
    step(m);

    EXPECT_EQ(fakes_.hits, (std::vector<hit_call>{{wolf, caster, 55, 150, 42}}));
    EXPECT_EQ(fakes_.reactions, (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{wolf, 2, 4}}));
    EXPECT_EQ(g_objects[m].lifetime, -2 - wolf);
    EXPECT_FLOAT_EQ(g_objects[m].x, 200.0f);  // a hit missile flies no further
    step(m);
    EXPECT_EQ(fakes_.impacts, (std::vector<impact_call>{{k_spell, wolf, 200.0f, 100.0f, 12}}));
    EXPECT_EQ(fakes_.hits.size(), 1u);

    // No damage dealt: no reaction. A spell of another damage kind hits without damage.
    fakes_.damage = 0;
    step(add_missile(200.0f, 100.0f, caster, k_missile_straight, 1.0f, 0.0f));
    fakes_.spell.damage_kind = 1;
    int32_t harmless = add_missile(200.0f, 100.0f, caster, k_missile_straight, 1.0f, 0.0f);
    step(harmless);
    EXPECT_EQ(fakes_.hits.size(), 2u);
    EXPECT_EQ(fakes_.reactions.size(), 1u);
    EXPECT_EQ(g_objects[harmless].lifetime, -2 - wolf);
}

TEST_F(object_behaviour_test, SidesDecideWhomAMissileHits)
{
    int32_t player = add_char(k_player, 0.0f, 100.0f);
    int32_t sidekick = add_char(k_sidekick, 100.0f, 100.0f);
    int32_t enemy = add_char(k_enemy, 300.0f, 100.0f);
    int32_t villager = add_char(k_normal, 500.0f, 100.0f);
    int32_t farmer = add_char(k_normal, 700.0f, 100.0f);
    struct shot {
        int32_t caster;
        float x;
        int32_t hit;  // -1: flies on
    };
    const shot shots[] = {
        {player, 100.0f, -1},         // never the player's own sidekick
        {player, 300.0f, enemy},      // an enemy
        {player, 500.0f, -1},         // an ordinary character only by ordinary or no casters
        {enemy, 100.0f, sidekick},    // an enemy's missile hits the sidekick
        {enemy, 300.0f, -1},          // and not itself or its side
        {-1, 500.0f, villager},       // no caster: anyone
        {-1, 300.0f, enemy},
        {farmer, 500.0f, villager},   // ordinary caster and target
        {farmer, 300.0f, enemy},
        {sidekick, 0.0f, -1},         // a sidekick's missile spares the player
    };
    for (const shot& s : shots) {
        fakes_.hits.clear();
        int32_t m = add_missile(s.x, 100.0f, s.caster, k_missile_straight, 0.0f, 0.0f);
        step(m);
        EXPECT_EQ(g_objects[m].lifetime, s.hit >= 0 ? -2 - s.hit : 99) << s.caster << " at " << s.x;
        reset_object(&g_objects[m]);
    }

    // The dead, the absent and those without a world object are passed by.
    fakes_.chars[size_t(enemy)].life = 1;
    fakes_.chars[size_t(villager)].world_fade = 0.0f;
    fakes_.chars[size_t(sidekick)].object = -1;
    for (float x : {100.0f, 300.0f, 500.0f}) {
        int32_t m = add_missile(x, 100.0f, -1, k_missile_straight, 0.0f, 0.0f);
        step(m);
        EXPECT_EQ(g_objects[m].lifetime, 99) << x;
        reset_object(&g_objects[m]);
    }
}

TEST_F(object_behaviour_test, MotionKindsTurnAboutTheCasterWaveAndCastAgain)
{
    fakes_.spell.speed = 1;
    int32_t caster = add_char(k_enemy, 100.0f, 100.0f);
    int32_t orbit = add_missile(150.0f, 100.0f, caster, k_missile_rotating, std::numbers::pi_v<float> / 2.0f, 0.0f);
    step(orbit);
    EXPECT_NEAR(g_objects[orbit].x, 100.0f, 1e-3f);
    EXPECT_NEAR(g_objects[orbit].y, 150.0f, 1e-3f);
    // Its caster gone from the world, the missile stays where it is.
    fakes_.chars[size_t(caster)].object = -1;
    step(orbit);
    EXPECT_NEAR(g_objects[orbit].x, 100.0f, 1e-3f);
    EXPECT_NEAR(g_objects[orbit].y, 150.0f, 1e-3f);

    int32_t across = add_missile(100.0f, 500.0f, -1, k_missile_sinusoid, 0.0f, 2.0f, 21);
    g_objects[across].angle_b = 180;
    int32_t along = add_missile(100.0f, 700.0f, -1, k_missile_sinusoid, 2.0f, 0.0f, 21);
    g_objects[along].angle_b = 90;
    step(across);
    step(along);
    EXPECT_FLOAT_EQ(g_objects[across].x, 100.0f + std::cos(10.0f));
    EXPECT_FLOAT_EQ(g_objects[across].y, 502.0f);
    EXPECT_FLOAT_EQ(g_objects[along].x, 102.0f);
    EXPECT_FLOAT_EQ(g_objects[along].y, 700.0f - std::sin(10.0f));

    fakes_.spell.speed = 6;
    int32_t global = add_missile(900.0f, 900.0f, caster, k_missile_global, 0.0f, 0.0f, 50);
    for (int n = 0; n < 4; ++n)
        step(global);  // every 3 ticks: a cast at the first and, 9 ticks later, the fourth
    using cast = std::tuple<int32_t, float, float, int16_t>;
    EXPECT_EQ(fakes_.casts, (std::vector<cast>{{-1, 900.0f, 900.0f, 49}, {-1, 900.0f, 900.0f, 46}}));
    EXPECT_FLOAT_EQ(g_objects[global].x, 900.0f);
}

TEST_F(object_behaviour_test, ATrailHoldsItsLastFourPositionsOldestFirst)
{
    int32_t t = add_object(10.0f, 0.0f, -1, 1.0f, 1.0f, 0, 0);
    add_entry(g_objects[t], k_entry_trail, {10.0f, 0.0f}, {});
    for (int i = 1; i <= 6; ++i) {
        g_objects[t].x = float(10 + i);
        step(t);
    }
    const world_object& o = g_objects[t];
    ASSERT_EQ(o.entry_count, 4);
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(o.entry_kinds[e], k_entry_trail) << e;
        EXPECT_FLOAT_EQ(o.entry_floats[e][0], float(13 + e)) << e;
    }
}

TEST_F(object_behaviour_test, SwingsTurnPastTheirBoundsSpinsAddAndFramesCycleThroughTheModel)
{
    int32_t i = add_object(10.0f, 20.0f, -1, 0.5f, 1.0f, 0, 0);
    world_object& o = g_objects[i];
    o.next_behaviour_tick = 100;
    add_entry(o, k_entry_alpha_swing, {0.3f, 0.7f, 0.15f}, {1});
    add_entry(o, k_entry_spin_c, {}, {-90});
    add_entry(o, k_entry_light_follow, {}, {7});
    add_entry(o, k_entry_model_frames, {}, {5, 0, 0, 0, 0});
    // A mesh prototype whose model has three frames.
    constexpr int32_t proto = k_proto_slots - 1;
    saved_globals kept;
    kept.keep(g_models[0].frame_count), kept.keep(g_object_protos[proto]);
    g_object_protos[proto].kind = k_proto_mesh;
    g_object_protos[proto].frames[0][0] = 0;
    g_model_count = 1;
    g_models[0].frame_count = 3;
    o.proto = proto;

    std::vector<float> alphas;
    std::vector<int32_t> frames;
    for (int n = 0; n < 6; ++n) {
        step(i, 2);
        alphas.push_back(std::round(g_objects[i].alpha * 100.0f) / 100.0f);
        frames.push_back(g_objects[i].entry_ints[3][3]);
    }
    EXPECT_EQ(alphas, (std::vector<float>{0.35f, 0.2f, 0.35f, 0.5f, 0.65f, 0.8f}));
    EXPECT_EQ(g_objects[i].entry_ints[0][0], 1);  // falling again above the maximum
    EXPECT_EQ(g_objects[i].angle_c, -540);
    EXPECT_EQ(std::make_tuple(g_lights[7].x, g_lights[7].y), std::make_tuple(10.0f, 20.0f));
    // A frame every 5 ticks: the steps at ticks 102, 106, 110, ... advance at 102, 110 and 118.
    EXPECT_EQ(frames, (std::vector<int32_t>{1, 1, 2, 2, 0, 0}));
}

TEST_F(object_behaviour_test, AFadingBodyHandsTheCameraBackAndLeavesTheWorldWhenItIsGone)
{
    add_char(k_player, 0.0f, 0.0f);
    int32_t bandit = add_char(k_enemy, 50.0f, 50.0f);
    int32_t body = fakes_.chars[size_t(bandit)].object;
    world_object& o = g_objects[body];
    o.alpha = 0.1f;
    o.lifetime = 1;
    o.object_class = k_class_pinned;  // reset_object alone would only restart the fade
    add_entry(o, k_entry_fade_out, {}, {1, bandit, 0, 0, bandit});
    g_scene_header.followed_char = int16_t(bandit);

    step(body);  // the lifetime runs out; the fade starts
    EXPECT_NEAR(g_objects[body].alpha, 0.04f, 1e-6f);
    EXPECT_EQ(g_scene_header.followed_char, bandit);
    step(body);
    EXPECT_EQ(g_objects[body].state, 0);
    EXPECT_EQ(g_scene_header.followed_char, 0);
    EXPECT_EQ(fakes_.left, std::vector<int32_t>{bandit});
    EXPECT_EQ(fakes_.followed_when_left, std::vector<int16_t>{0});  // the camera went back first

    // An endless object never fades; a fading object that is not a body leaves nobody.
    int32_t endless = add_object(0.0f, 0.0f, -1, 0.05f, 1.0f, 0, 0);
    add_entry(g_objects[endless], k_entry_fade_out, {}, {1, bandit, 0, 0, 0});
    int32_t smoke = add_object(0.0f, 0.0f, -1, 0.05f, 1.0f, 0, 0);
    g_objects[smoke].lifetime = 0;
    add_entry(g_objects[smoke], k_entry_fade_out, {}, {0, bandit, 0, 0, 0});
    step(endless);
    step(smoke);
    EXPECT_EQ(std::make_tuple(g_objects[endless].state, g_objects[smoke].state), std::make_tuple(3, 0));
    EXPECT_EQ(fakes_.left.size(), 1u);
}

TEST_F(object_behaviour_test, EntriesNamingWhatDoesNotExistAreSkipped)
{
    int32_t owner = add_char(k_enemy, 0.0f, 0.0f);
    g_objects[fakes_.chars[size_t(owner)].object].angle_b = 77;
    int32_t i = add_object(10.0f, 20.0f, -1, 1.0f, 1.0f, 0, 0);
    world_object& o = g_objects[i];
    o.owner = int16_t(owner);
    add_entry(o, k_entry_light_follow, {}, {100});
    add_entry(o, k_entry_light_follow, {}, {-1});
    add_entry(o, k_entry_ground_item, {}, {10});
    add_entry(o, k_entry_ground_item, {}, {4});
    add_entry(o, k_entry_face_owner, {}, {});
    step(i);
    EXPECT_EQ(fakes_.ground_links, (std::vector<std::pair<int32_t, int32_t>>{{4, i}}));
    EXPECT_EQ(g_objects[i].angle_b, 77);

    // An owner whose world object lies outside the array is not followed.
    fakes_.chars[size_t(owner)].object = 9999;
    g_objects[i].angle_b = 5;
    step(i);
    EXPECT_EQ(g_objects[i].angle_b, 5);

    // A missile of an unknown spell or of a caster outside the table neither flies nor hits, and
    // ends without an impact; a fading body of a slot outside the table leaves nobody.
    int32_t unknown = add_missile(300.0f, 300.0f, -1, k_missile_straight, 1.0f, 0.0f, 2);
    g_objects[unknown].entry_ints[0][0] = 200;
    int32_t stranger = add_missile(300.0f, 300.0f, 40, k_missile_straight, 1.0f, 0.0f, 2);
    add_char(k_normal, 300.0f, 300.0f);
    int32_t ghost = add_object(0.0f, 0.0f, -1, 0.01f, 1.0f, 0, 0);
    g_objects[ghost].lifetime = 0;
    add_entry(g_objects[ghost], k_entry_fade_out, {}, {1, 40, 0, 0, 0});
    for (int n = 0; n < 2; ++n)
        for (int32_t m : {unknown, stranger, ghost})
            step(m);
    EXPECT_EQ(std::make_tuple(g_objects[unknown].x, g_objects[stranger].x), std::make_tuple(300.0f, 300.0f));
    EXPECT_EQ(std::make_tuple(g_objects[unknown].state, g_objects[stranger].state, g_objects[ghost].state),
              std::make_tuple(0, 0, 0));
    EXPECT_TRUE(fakes_.hits.empty());
    EXPECT_TRUE(fakes_.impacts.empty());
    EXPECT_TRUE(fakes_.left.empty());
}

} // namespace
