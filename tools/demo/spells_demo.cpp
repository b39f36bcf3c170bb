// The spell table of the demo, written through the spell saver: fire and water missiles, an
// earth area spell and healing, on the ids the combat rules and the attunements name, and the
// casting showcase: a spark volley with its burst, a stone wall, a thunderclap and a fire rain;
// with their effect prototypes in "data/spell/" (written through the ".pr" saver) and their cast
// and explosion sounds.
#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "items/spells.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "world/object_protos.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int32_t k_scratch_slot = k_proto_slots - 1;
constexpr int k_rate = 22050;

// A 32 x 32 soft disc of the colour.
void write_disc(const std::string& path, uint32_t r, uint32_t g, uint32_t b)
{
    std::vector<uint32_t> texels(32 * 32);
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            float d = std::hypot(float(x) - 15.5f, float(y) - 15.5f) / 16.0f;
            texels[y * 32 + x] = d >= 1.0f ? 0u : uint32_t(255.0f * (1.0f - d * d)) << 24 | r << 16 | g << 8 | b;
        }
    require(write_image_file(path.c_str(), texels.data(), 32, 32), path);
}

// "data/spell/<file>.pr": a sprite of one frame, or a particle emitter of that frame.
void write_effect(const std::string& file, const std::string& frame, int32_t kind)
{
    object_proto& p = g_object_protos[k_scratch_slot];
    reset_object_proto(&p);
    copy_bounded(p.name, sizeof p.name, file.c_str());
    p.kind = kind;
    p.width = p.height = 32;
    p.frame_counts[0] = 1;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], ("data/spell/" + frame + ".tga").c_str());
    if (kind == k_proto_particle) {
        p.spawn_spread[0] = p.spawn_spread[1] = 10.0f;
        p.velocity[1] = -1.5f;
        p.velocity_spread[0] = p.velocity_spread[1] = 0.4f;
        p.colour_change[3] = 0.02f;
        p.alpha_mode_value = 2.0f;
        p.emit_interval = 3;
        p.particle_lifetime = 40;
    }
    std::string path = "data/spell/" + file + ".pr";
    packed_stream* out = stream_open(path.c_str(), "wp");
    require(out != nullptr, path);
    bool written = write_object_proto(k_scratch_slot, out);
    require(stream_close(out) == 0 && written, path);
    reset_object_proto(&p);
}

// "data/sound/<name>.wav": a tone sliding from `from` to `to` Hz under a decaying noise.
void write_sweep(const std::string& name, float from, float to, float noise)
{
    std::vector<int16_t> pcm(k_rate / 3);
    float phase = 0.0f;
    uint32_t seed = 12345;
    for (size_t i = 0; i < pcm.size(); ++i) {
        float t = float(i) / float(pcm.size());
        phase += 6.2831853f * (from + (to - from) * t) / k_rate;
        seed = seed * 1103515245u + 12345u;
        float white = float((seed >> 16) & 0x7FFF) / 16383.5f - 1.0f;
        pcm[i] = int16_t(9000.0f * std::exp(-4.0f * t) * ((1.0f - noise) * std::sin(phase) + noise * white));
    }
    std::string path = "data/sound/" + name + ".wav";
    require(write_wav_file(path.c_str(), pcm.data(), 1, k_rate, pcm.size()), path);
}

void write_effect_files()
{
    write_disc("data/spell/ohen.tga", 255, 120, 30);
    write_disc("data/spell/voda.tga", 80, 140, 255);
    write_disc("data/spell/zem.tga", 150, 110, 60);
    write_disc("data/spell/liecba.tga", 120, 255, 140);
    write_effect("ohen", "ohen", k_proto_sprite);  // the missile "bs_ohen"
    write_effect("e_ohen", "ohen", k_proto_particle);
    write_effect("e2_ohen", "ohen", k_proto_particle);
    write_effect("e3_ohen", "ohen", k_proto_sprite);
    write_effect("voda", "voda", k_proto_sprite);
    write_effect("e_voda", "voda", k_proto_particle);
    write_effect("e_zem", "zem", k_proto_particle);
    write_effect("e2_zem", "zem", k_proto_particle);
    write_effect("e2_liecba", "liecba", k_proto_particle);

    write_disc("data/spell/iskra.tga", 255, 220, 90);
    write_disc("data/spell/zhar.tga", 255, 80, 20);
    write_disc("data/spell/kamen.tga", 130, 120, 110);
    write_disc("data/spell/hrom.tga", 200, 200, 255);
    write_disc("data/spell/dazd.tga", 255, 150, 40);
    write_effect("iskra", "iskra", k_proto_sprite);  // the volley: missile "bs_iskra"
    write_effect("strela2_iskra", "zhar", k_proto_sprite);
    write_effect("e3_iskra", "iskra", k_proto_sprite);
    write_effect("e2_iskra", "iskra", k_proto_particle);
    write_effect("e_iskra", "zhar", k_proto_particle);
    write_effect("e0_iskra", "iskra", k_proto_sprite);
    write_effect("ee_iskra", "zhar", k_proto_particle);
    write_effect("e_zhar", "zhar", k_proto_particle);
    write_effect("kamen", "kamen", k_proto_sprite);
    write_effect("e_kamen", "kamen", k_proto_particle);
    write_effect("e2_hrom", "hrom", k_proto_particle);
    write_effect("e_hrom", "hrom", k_proto_particle);
    write_effect("dazd", "dazd", k_proto_sprite);
    write_effect("e_dazd", "zhar", k_proto_particle);
}

void write_sounds()
{
    write_sweep("c_ohen0", 300.0f, 900.0f, 0.3f);
    write_sweep("c_ohen1", 350.0f, 1000.0f, 0.3f);
    write_sweep("e_ohen0", 200.0f, 60.0f, 0.8f);
    write_sweep("c_voda0", 600.0f, 400.0f, 0.2f);
    write_sweep("e_voda0", 500.0f, 200.0f, 0.6f);
    write_sweep("c_zem0", 120.0f, 60.0f, 0.5f);
    write_sweep("e_zem0", 80.0f, 40.0f, 0.9f);
    write_sweep("c_liecba0", 500.0f, 1200.0f, 0.0f);
    write_sweep("c_iskra0", 800.0f, 1600.0f, 0.4f);
    write_sweep("e_iskra0", 400.0f, 100.0f, 0.7f);
    write_sweep("e_zhar0", 250.0f, 80.0f, 0.9f);
    write_sweep("c_kamen0", 90.0f, 50.0f, 0.7f);
    write_sweep("e_kamen0", 70.0f, 30.0f, 0.9f);
    write_sweep("c_hrom0", 60.0f, 40.0f, 1.0f);
    write_sweep("e_hrom0", 120.0f, 60.0f, 0.8f);
    write_sweep("c_dazd0", 300.0f, 500.0f, 0.6f);
    write_sweep("e_dazd0", 200.0f, 90.0f, 0.9f);
}

spell_proto& add_spell(int32_t id, const char* name, uint8_t school, const char* key)
{
    spell_proto& s = g_spell_protos[id];
    s = spell_proto{};
    reset_spell_proto(s);
    s.companion_slot = k_spell_no_slot;
    s.item_effect = -1;
    for (int16_t& e : s.effect_per_level)
        e = -1;
    copy_bounded(s.name, sizeof s.name, name);
    copy_bounded(s.effect_key, sizeof s.effect_key, key);
    copy_bounded(s.sound_name, sizeof s.sound_name, key);
    copy_bounded(s.icon, sizeof s.icon, key);
    s.school = school;
    s.damage_percent = 100;
    s.phase = 2;  // the last frame of the demo's cast clip
    s.pause = 40;
    s.explosion_duration = 20;
    s.cast_effect_duration = 20;
    s.level = 1;
    return s;
}

void add_missile(int32_t id, const char* name, uint8_t school, const char* key, int16_t mana)
{
    spell_proto& s = add_spell(id, name, school, key);
    s.motion = k_motion_directional;
    s.spread = k_spread_linear;
    s.damage_kind = k_spell_damage;
    s.speed = 12;
    s.duration = 60;
    s.height = 40;
    s.mana_cost = mana;
    s.dice_sides = 6;
    s.is_light = school == k_school_fire;
    s.light_colour[1] = 0.5f;
    s.light_colour[2] = 0.2f;
    s.glow_duration = 10;
}

void add_area(int32_t id, const char* name, uint8_t school, const char* key, int16_t mana)
{
    spell_proto& s = add_spell(id, name, school, key);
    s.motion = k_motion_stational;
    s.damage_kind = k_spell_close_damage;
    s.damage_percent = 150;
    s.mana_cost = mana;
    s.stun_min = 1;
    s.stun_max = 2;
    s.quake_amplitude = 6;
    s.quake_length = 3;
}

void add_heal(int32_t id, const char* name, uint8_t damage_kind)
{
    spell_proto& s = add_spell(id, name, k_school_water, "liecba");
    s.motion = k_motion_stational;
    s.damage_kind = damage_kind;
    s.mana_cost = 8;
}

// The casting showcase on free ids below the table's count (demo_data.h names them).
void add_showcase()
{
    // Two sparks in each of four directions 15 degrees apart, each with a glow and an ember
    // flying along, a light per direction, three explosion groups and a burst at the impact.
    spell_proto& volley = add_spell(k_demo_spell_volley, "Spark volley", k_school_fire, "iskra");
    volley.motion = k_motion_directional;
    volley.spread = k_spread_circular;
    // Its icon on the quick bar: a spark rune.
    copy_bounded(volley.icon, sizeof volley.icon, "iskra_icon");
    write_item_picture("data/spell/iskra_icon.tga", "spark", 32, 0xFFFF8030u);
    volley.volley_size = 2;
    volley.volley_step = 15;
    volley.missiles_per_direction = 2;
    volley.speed = 10;
    volley.duration = 50;
    volley.height = 40;
    volley.forward_offset = 20;
    volley.mana_cost = 12;
    volley.damage_percent = 60;
    volley.dice_sides = 4;
    volley.is_light = 1;
    volley.light_colour[1] = 0.7f;
    volley.light_colour[2] = 0.3f;
    volley.glow_duration = 12;
    volley.glow_scale = 0.7f;
    volley.cast_effect_count = 1;
    volley.explosion_count = 2;
    volley.second_explosion_duration = 15;
    volley.second_explosion_scale = 1.5f;
    volley.third_explosion_duration = 25;
    volley.third_explosion_scale = 0.8f;
    volley.hit_spell = uint16_t(k_demo_spell_burst + 1);
    spell_proto& burst = add_spell(k_demo_spell_burst, "Ember burst", k_school_fire, "zhar");
    burst.damage_kind = k_spell_close_damage;
    burst.damage_percent = 25;
    burst.motion = k_motion_stational;
    // A wall of stones laid along the facing; its end lights the place up.
    spell_proto& wall = add_spell(k_demo_spell_wall, "Stone wall", k_school_earth, "kamen");
    wall.motion = k_motion_line;
    wall.speed = 20;
    wall.duration = 120;
    wall.mana_cost = 15;
    wall.damage_kind = k_spell_no_damage;
    wall.is_light = 1;
    wall.light_colour[2] = 0.6f;
    // A thunderclap that hurts and stuns everything around the caster for 2 to 3 seconds.
    spell_proto& clap = add_spell(k_demo_spell_thunder, "Thunderclap", k_school_air, "hrom");
    clap.damage_kind = k_spell_close_damage;
    clap.damage_percent = 80;
    clap.mana_cost = 20;
    clap.stun_min = 2;
    clap.stun_max = 3;
    clap.quake_amplitude = 8;
    clap.quake_length = 4;
    clap.cast_effect_count = 1;
    // Fire rain around the origin: every drop starts more drops each 40 ticks, so the number of
    // drops multiplies; a rain of 40 steps (about 80 ticks) stays at two generations.
    spell_proto& rain = add_spell(k_demo_spell_rain, "Fire rain", k_school_fire, "dazd");
    rain.motion = k_motion_global;
    rain.speed = 40;
    rain.duration = 40;
    rain.side_offset = 160;
    rain.forward_offset = 110;
    rain.mana_cost = 25;
    rain.damage_percent = 50;
}

} // namespace

void write_spells_demo_data()
{
    require(make_folder("data/spell") && make_folder("data/sound") && make_folder("global"), "data/spell");
    write_effect_files();
    write_sounds();

    constexpr int32_t k_count = 115;
    for (int32_t id = 0; id < k_count; ++id) {
        char name[k_spell_name_size];
        std::snprintf(name, sizeof name, "nic%d", int(id));
        add_spell(id, name, k_school_fire, "").damage_kind = k_spell_no_damage;
    }
    // The attunement spells: fire and water missiles, air bolts and earth area spells.
    for (int32_t id : {0, 47, 51, 80})
        add_missile(id, "Fire bolt", k_school_fire, "ohen", 5);
    for (int32_t id : {1, 52, 53, 81})
        add_missile(id, "Water bolt", k_school_water, "voda", 5);
    for (int32_t id : {59, 65, 73, 91})
        add_missile(id, "Air bolt", k_school_air, "voda", 6);
    for (int32_t id : {46, 3, 50, 99})
        add_area(id, "Tremor", k_school_earth, "zem", 10);
    // The combat rules' own spells: the instant kill, the frenzy and the level-up.
    add_area(11, "Death blow", k_school_death, "zem", 0);
    add_heal(64, "Frenzy", k_spell_no_damage);
    add_heal(114, "Level up", k_spell_heal_self);
    add_heal(2, "Heal", k_spell_heal_self);
    add_heal(4, "Heal other", k_spell_heal_other);
    add_showcase();
    g_spell_proto_count = k_count;

    require(save_spells(), "global/spells.dat");
}
