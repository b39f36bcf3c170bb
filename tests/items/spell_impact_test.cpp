// Spell impacts, cast effects, spell sounds and the spell tooltip on a small world: explosion
// groups with their counts, heights, owners and sides, the light of a LINE impact, the hit spell,
// the adapters' refusals, the sound choice and the tooltip's markup.
#include "items/item_media_fixture.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/sound.h"
#include "items/spell_impact.h"
#include "items/spell_tooltip.h"
#include "items/spells.h"
#include "platform/random.h"
#include "script/entities.h"
#include "support/saved_globals.h"
#include "world/object_behaviour.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int32_t k_sprite = 1000, k_particle = 1001, k_mesh = 1002;
constexpr int16_t k_caster = 1;
constexpr float k_interior = 30.0f;

class spell_impact_test : public item_media_test {
protected:
    void SetUp() override
    {
        item_media_test::SetUp();
        saved_.keep(g_spell_protos), saved_.keep(g_spell_proto_count), saved_.keep(g_scene_header);
        saved_.keep(g_settings), saved_.keep(g_lights), saved_.keep(g_light_count);
        saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_entities), saved_.keep(g_entity_count);
        std::memset(g_spell_protos, 0, sizeof g_spell_protos);
        g_spell_proto_count = 10;
        for (int32_t id = 0; id < g_spell_proto_count; ++id)
            clear_slots(g_spell_protos[id]);
        reset_scene_header(&g_scene_header);
        g_scene_header.scale = 2.0f;
        g_settings.gr_disablelight = 0;
        g_light_count = 0;
        for (light_record& l : g_lights)
            l.state = k_light_free;
        add_template(k_sprite, "fx_sprite", k_proto_sprite);
        add_template(k_particle, "fx_particle", k_proto_particle);
        add_template(k_mesh, "fx_mesh", k_proto_mesh);
        reserve_objects(1000);  // no test grows it: references to objects stay valid
        // Character 1 stands in interior entity 0 with a world object of scale 1.5.
        g_entity_count = 1;
        g_entities[0] = entity_record{};
        g_entities[0].type = 1;
        g_entities[0].value = int16_t(k_interior);
        g_char_count = 2;
        g_chars[k_caster] = char_record{};
        g_chars[k_caster].slot = k_caster;
        g_chars[k_caster].interior = 0;
        g_chars[k_caster].object = add_object(50.0f, 60.0f, -2 - k_caster, 1.0f, 1.5f, 0, 0);
    }

    static void clear_slots(spell_proto& s)
    {
        for (int e = 0; e < k_spell_effects; ++e)
            *spell_effect_slot(s, e) = -1;
    }
    static void add_template(int32_t slot, const char* name, int32_t kind)
    {
        object_proto& p = g_object_protos[slot];
        reset_object_proto(&p);
        copy_bounded(p.name, sizeof p.name, name);
        p.kind = kind;
    }
    // The objects of a prototype slot in index order.
    static std::vector<const world_object*> objects_of(int32_t proto)
    {
        std::vector<const world_object*> found;
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].state != 0 && g_objects[i].proto == proto)
                found.push_back(&g_objects[i]);
        return found;
    }
    static std::string last_log_line() { return g_console_history[0]; }

    saved_globals saved_;
};

// Three explosion groups, their counts of 0 used as 1 and stored back into the table's record.
spell_proto& exploding_spell(int32_t id)
{
    spell_proto& s = g_spell_protos[id];
    s.third_explosion_slot = k_particle;
    s.third_explosion_duration = 11;
    s.third_explosion_scale = 0.5f;
    s.second_explosion_slot = k_mesh;
    s.second_explosion_count = 2;
    s.second_explosion_duration = 12;
    s.second_explosion_scale = 1.0f;
    s.explosion_slot = k_sprite;
    s.explosion_duration = 13;
    s.explosion_scale = 3.0f;
    s.cast_effect_shift = 40;
    return s;
}

TEST_F(spell_impact_test, ExplosionGroupsSpawnInOrderWithCountsStoredBack)
{
    spell_proto& s = exploding_spell(4);
    uint32_t before = g_object_count;
    spell_impact(s, k_caster, 4, 300.0f, 400.0f, 7);
    EXPECT_EQ(std::make_tuple(s.third_explosion_count, s.second_explosion_count, s.explosion_count),
              std::make_tuple(uint8_t(1), uint8_t(2), uint8_t(1)));
    // Third (raised above the cast effect and the interior), second twice, first; in that order.
    using row = std::tuple<int32_t, int16_t, int32_t, float, float, float>;  // proto owner life height scale red
    const row expected[] = {{k_particle, k_no_owner, 11, 40.0f + 100.0f + k_interior, 1.0f, 1.0f},
                            {k_mesh, k_caster, 12, k_interior, 2.0f, k_spell_pulse},
                            {k_mesh, k_caster, 12, k_interior, 2.0f, k_spell_pulse},
                            {k_sprite, k_caster, 13, 0.0f, 6.0f, k_spell_pulse}};
    ASSERT_EQ(g_object_count, before + 4);
    for (uint32_t i = 0; i < 4; ++i) {
        const world_object& o = g_objects[before + i];
        EXPECT_EQ(row(o.proto, o.owner, o.lifetime, o.depth_offset, o.scale, o.red), expected[i]) << i;
        EXPECT_EQ(std::make_tuple(o.layer, o.spell_object, o.x, o.y, o.alpha, o.entry_count),
                  std::make_tuple(uint8_t(7), uint8_t(1), 300.0f, 400.0f, 1.0f, 0));
    }
    EXPECT_EQ(g_objects[before].entry_ints[0][4], 2);
    EXPECT_EQ(g_objects[before].particle_role, k_role_emitter);

    // Without a character nothing is raised or owned; a copy leaves the table's counts alone.
    spell_proto copy = exploding_spell(5);
    before = g_object_count;
    spell_impact(copy, -1, 5, 0.0f, 0.0f, 24);
    ASSERT_EQ(g_object_count, before + 4);
    EXPECT_FLOAT_EQ(g_objects[before].depth_offset, 140.0f);
    EXPECT_EQ(g_objects[before + 1].owner, k_no_owner);
    EXPECT_EQ(g_spell_protos[5].explosion_count + g_spell_protos[5].third_explosion_count, 0);
}

TEST_F(spell_impact_test, OnlyALineImpactOfALightSpellCarriesALight)
{
    spell_proto& line = exploding_spell(4);
    line.is_light = 1;
    line.motion = k_motion_line;
    line.light_colour[0] = 0.25f;
    spell_impact(line, k_caster, 4, 300.0f, 400.0f, 7);
    const world_object& lit = *objects_of(k_sprite).back();  // the last object added
    ASSERT_EQ(std::make_tuple(lit.entry_count, lit.entry_kinds[0]), std::make_tuple(1, k_entry_light_follow));
    const light_record& light = g_lights[lit.entry_ints[0][0]];
    EXPECT_EQ(std::make_tuple(light.state, light.x, light.r), std::make_tuple(k_light_on, 300.0f, 0.25f));

    // A DIRECTIONAL light spell, lights switched off, and a LINE light spell that spawns nothing
    // to carry the light: no light.
    spell_proto& directional = exploding_spell(5);
    directional.is_light = 1;
    spell_impact(directional, k_caster, 5, 0.0f, 0.0f, 7);
    g_settings.gr_disablelight = 1;
    spell_impact(line, k_caster, 4, 0.0f, 0.0f, 7);
    g_settings.gr_disablelight = 0;
    g_spell_protos[6].is_light = 1;
    g_spell_protos[6].motion = k_motion_line;
    spell_impact(g_spell_protos[6], k_caster, 6, 0.0f, 0.0f, 7);
    EXPECT_EQ(g_light_count, 1);
    for (const world_object* o : objects_of(k_sprite))
        EXPECT_EQ(o->entry_count, o == &lit ? 1 : 0);
}

TEST_F(spell_impact_test, HitSpellIsCastByTheSameCharacterAndUnknownIdsAreRefused)
{
    g_spell_protos[2].missile_slot = k_sprite;
    g_spell_protos[2].duration = 30;
    spell_proto& s = g_spell_protos[3];
    s.hit_spell = 3;  // spell 2
    spell_impact(s, k_caster, 3, 200.0f, 250.0f, 7);
    int missiles = 0;
    for (const world_object* o : objects_of(k_sprite))
        for (int32_t e = 0; e < o->entry_count; ++e)
            if (o->entry_kinds[e] == k_entry_missile) {
                ++missiles;
                EXPECT_EQ(std::make_pair(o->entry_ints[e][0], o->entry_ints[e][1]), std::make_pair(2, int32_t(k_caster)));
            }
    EXPECT_GE(missiles, 1);

    // A hit spell outside the table casts nothing; the adapters ignore spell ids outside it, and
    // hold a hit character and a layer out of range to none and 0 to 255.
    uint32_t before = g_object_count;
    s.hit_spell = 11;
    spell_impact(s, k_caster, 3, 200.0f, 250.0f, 7);
    exploding_spell(9).cast_effect_slot = k_sprite;
    for (int32_t id : {-1, 10, 199, 1 << 30}) {
        spell_impact_of(id, k_caster, 1.0f, 1.0f, 3);
        spawn_cast_particles_of(id, k_caster, 1.0f, 1.0f, 3.0f);
    }
    EXPECT_EQ(g_object_count, before);
    spell_impact_of(9, 4000, 1.0f, 1.0f, 999);
    spawn_cast_particles_of(9, -7, 1.0f, 1.0f, -5.0f);
    ASSERT_EQ(g_object_count, before + 5);
    EXPECT_EQ(std::make_tuple(g_objects[before + 3].owner, g_objects[before + 3].layer, g_objects[before + 4].layer),
              std::make_tuple(k_no_owner, uint8_t(255), uint8_t(0)));
}

TEST_F(spell_impact_test, CastEffectsFollowTheirPrototypeKind)
{
    spell_proto& s = g_spell_protos[4];
    s.cast_effect_slot = k_sprite;
    s.cast_effect_shift = 40;
    s.cast_effect_scale = 0.5f;
    s.cast_effect_duration = 25;
    spawn_cast_particles(s, k_caster, 4, 100.0f, 200.0f, 9);
    EXPECT_EQ(s.cast_effect_count, 1);
    ASSERT_EQ(objects_of(k_sprite).size(), 1u);
    const world_object& o = *objects_of(k_sprite)[0];
    EXPECT_EQ(std::make_tuple(o.y, o.scale, o.depth_offset, o.red), std::make_tuple(160.0f, 1.0f, 70.0f, 2.0f));
    EXPECT_EQ(std::make_tuple(o.entry_count, o.entry_kinds[0], o.entry_ints[0][4], o.owner, o.lifetime, o.layer),
              std::make_tuple(1, k_entry_fade_out, 2, k_caster, 25, uint8_t(9)));

    s.cast_effect_slot = k_particle;  // an emitter stays at the height of the caster's interior
    s.cast_effect_count = 3;
    spawn_cast_particles(s, -1, 4, 100.0f, 200.0f, 9);
    ASSERT_EQ(objects_of(k_particle).size(), 3u);
    EXPECT_EQ(std::make_pair(objects_of(k_particle)[0]->depth_offset, objects_of(k_particle)[0]->owner),
              std::make_pair(0.0f, k_no_owner));

    s.cast_effect_slot = k_mesh;
    s.cast_effect_count = 1;
    s.rotation = k_rotation_minus;
    spawn_cast_particles(s, k_caster, 4, 100.0f, 200.0f, 9);
    const world_object& mesh = *objects_of(k_mesh)[0];
    EXPECT_EQ(std::make_tuple(mesh.angle_a, mesh.angle_c, mesh.scale), std::make_tuple(45, 0, 1.5f));
    ASSERT_EQ(mesh.entry_count, 4);
    EXPECT_EQ(std::vector<uint8_t>(mesh.entry_kinds, mesh.entry_kinds + 4),
              std::vector<uint8_t>({k_entry_fade_out, k_entry_model_frames, k_entry_spin_b, k_entry_fade_out}));
    EXPECT_EQ(mesh.entry_ints[2][0], -1);
}

TEST_F(spell_impact_test, SoundsAreChosenAmongTheLoadedOnes)
{
    spell_proto& s = g_spell_protos[4];
    for (const char* name : {"c_t0", "c_t1", "c_t2"}) {
        write_tone(name);
        s.cast_sounds[s.cast_sound_count++] = uint32_t(load_sound(name));
    }
    game_srand(5);
    uint32_t expected = s.cast_sounds[uint32_t(game_rand()) % 3];
    game_srand(5);
    float cx = float(g_screen_width) / g_zoom / 2.0f + g_camera_x;
    float cy = float(g_screen_height) / g_zoom / 2.0f + g_camera_y;
    play_cast_sound(s, cx, cy);
    EXPECT_EQ(last_log_line(), "chcem zahrat zvuk cislo " + std::to_string(expected));
    ASSERT_EQ(g_sound.playing_count, 1u);
    EXPECT_EQ(g_sound.playing_slot[0], expected);

    // No explosion sounds: nothing; a hostile count is held to five, a hostile slot plays nothing.
    play_explosion_sound(s, cx, cy);
    s.explosion_sound_count = 1000;
    for (uint32_t& slot : s.explosion_sounds)
        slot = 0xFFFFFFF0u;
    play_explosion_sound(s, cx + 1.0f, cy);
    EXPECT_EQ(g_sound.playing_count, 1u);
}

TEST_F(spell_impact_test, TooltipWritesTheDamageTextsAndTheDescription)
{
    using damage_case = std::tuple<int, int, int, std::string>;  // dice, sides, bonus, text
    for (const auto& [n, sides, bonus, expected] : {damage_case{2, 6, 0, "2d6"}, damage_case{2, 6, 3, "2d6 + 3"},
                                                    damage_case{0, 6, 3, "3"}, damage_case{2, 0, 0, ""},
                                                    damage_case{-2, 6, 0, ""}}) {
        char text[32];
        spell_damage_text(n, sides, bonus, text, sizeof text);
        EXPECT_EQ(text, expected) << n << " " << sides << " " << bonus;
    }

    spell_proto& s = g_spell_protos[4];
    copy_bounded(s.name, sizeof s.name, "Flame");
    s.school = k_school_water;
    s.mana_cost = 12;
    s.duration = 60;
    s.damage_percent = 2;
    s.dice_sides = 6;
    s.damage_bonus = 3;
    ASSERT_TRUE(make_folder("data/spell"));
    write_text("data/spell/Flame.txt", "Burns.\r\n\n");
    char buffer[1024];
    size_t n = draw_spell_tooltip(s, buffer, sizeof buffer, 320.5f);
    EXPECT_STREQ(buffer, "^window 0 0 500 320.500000 ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 Flame ^l ^l "
                         "^c 1 1 1 1 Type: ^c 0 1 0 1 ^set_x 150 Water Magic ^l "
                         "^c 1 1 1 1 Mana Cost: ^c 0 1 0 1 ^set_x 150 12 ^l "
                         "^c 1 1 1 1 Duration: ^c 0 1 0 1 ^set_x 150 60 ^l "
                         " ^c 1 1 1 1 Damage: ^c 0 1 0 1  ^set_x 150  2d6 + 3 ^l "
                         " ^c 1 1 1 1 ^l Burns.");
    EXPECT_EQ(n, std::strlen(buffer));

    // No damage line without dice or bonus; a long description is read to 1,999 bytes; a small
    // buffer is filled, terminated and never overrun.
    s.damage_bonus = 0;
    s.dice_sides = 0;
    write_text("data/spell/Flame.txt", std::string(5000, 'x'));
    std::vector<char> big(8000, 0);
    draw_spell_tooltip(s, big.data(), big.size(), 100.0f);
    std::string text = big.data();
    EXPECT_EQ(text.find("Damage"), std::string::npos);
    EXPECT_EQ(text.size() - text.find("^l x") - 3, k_spell_description_max);
    char small[40];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(draw_spell_tooltip(s, small, 30, 100.0f), 29u);
    EXPECT_EQ(small[29], 0);
    EXPECT_EQ(small[30], '#');
}

TEST_F(spell_impact_test, TheDemoFireBoltExplodesInThreeGroupsAndDescribesItself)
{
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null").c_str()), 0);
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot)
        g_object_protos[slot].kind = k_proto_free;
    load_spells();
    spell_proto& fire = *spell_proto_at(0);
    ASSERT_STREQ(fire.name, "Fire bolt");
    ASSERT_NE(fire.third_explosion_slot, -1);
    ASSERT_NE(fire.second_explosion_slot, -1);
    uint32_t before = g_object_count;
    spell_impact(fire, -1, 0, 500.0f, 500.0f, 24);
    EXPECT_EQ(g_object_count, before + 3);
    EXPECT_EQ(g_objects[before].particle_role, k_role_emitter);  // the sparks

    char tooltip[2048];
    draw_spell_tooltip(fire, tooltip, sizeof tooltip, 200.0f);
    EXPECT_NE(std::string(tooltip).find("Fire Magic ^l "), std::string::npos);
    EXPECT_NE(std::string(tooltip).find("^l A bolt of fire"), std::string::npos);
    EXPECT_EQ(std::string(tooltip).back(), '.');
}

} // namespace
