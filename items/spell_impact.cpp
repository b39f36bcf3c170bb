#include "items/spell_impact.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/sound.h"
#include "items/casting.h"
#include "items/spells.h"
#include "platform/random.h"
#include "script/entities.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint8_t k_interior_entity = 1;
constexpr float k_third_explosion_rise = 100.0f;
constexpr int32_t k_particle_depth_spread = 2;  // the emitter's particles fall on both sides of it
constexpr int32_t k_mesh_pitch = 45;

// A count of 0 means one object; the first use stores 1 into the table's own record.
int32_t use_count(const spell_proto& spell, uint32_t spell_id, uint8_t spell_proto::*count)
{
    if (spell.*count != 0)
        return spell.*count;
    spell_proto* stored = spell_proto_at(spell_id > uint32_t(INT32_MAX) ? -1 : int32_t(spell_id));
    if (stored == &spell)
        stored->*count = 1;
    return 1;
}

// The prototype of an effect slot, or null for a slot that holds none.
const object_proto* effect_proto(int32_t slot)
{
    const object_proto* p = proto_at(slot);
    return p && p->kind >= 0 ? p : nullptr;
}

int16_t owner_of(int32_t character)
{
    return character >= 0 && character < k_no_owner ? int16_t(character) : k_no_owner;
}

void set_pulse(world_object& o)
{
    o.red = o.green = o.blue = k_spell_pulse;
}

void play_one_of(const uint32_t* sounds, uint32_t count, float x, float y)
{
    uint32_t n = std::min<uint32_t>(count, k_spell_sounds);
    if (n < 1)
        return;
    uint32_t sample = sounds[uint32_t(game_rand()) % n];
    console_log("chcem zahrat zvuk cislo %d", int(sample));
    if (sample <= uint32_t(INT32_MAX))
        play_sound_at(int32_t(sample), x, y);
}

} // namespace

int32_t add_spell_object(int32_t slot, float x, float y, float scale)
{
    const object_proto* p = effect_proto(slot);
    if (!p)
        return -1;
    int32_t index = add_object(x, y, slot, 1.0f, scale, 0, 0);
    if (index < 0) {
        console_log("kuzlo: niet miesta pre objekt %d", int(slot));
        return -1;
    }
    world_object& o = g_objects[index];
    o.x = x;  // also in the editor's corner modes
    o.y = y;
    o.has_corners = 0;
    o.depth_sorted = 1;
    o.spell_object = 1;
    if (p->kind == k_proto_particle)
        o.particle_role = k_role_emitter;
    return index;
}

float char_interior_height(int32_t character)
{
    const char_record* c = char_at(character);
    if (!c || c->interior >= std::min<uint32_t>(g_entity_count, k_entity_slots))
        return 0.0f;
    const entity_record& e = g_entities[c->interior];
    return e.type == k_interior_entity ? float(e.value) : 0.0f;
}

int32_t add_object_entry(world_object& o, uint8_t kind)
{
    int32_t n = std::clamp(o.entry_count, 0, 5);
    if (n >= 5)
        return -1;
    o.entry_kinds[n] = kind;
    o.entry_count = n + 1;
    return n;
}

void set_up_spell_mesh(world_object& o, const spell_proto& spell, int32_t caster)
{
    o.angle_a = k_mesh_pitch;
    o.angle_c = 0;
    const char_record* c = char_at(caster);
    const world_object* caster_object = c ? world_object_of(*c) : nullptr;
    o.scale = caster_object ? caster_object->scale : 1.0f;
    add_object_entry(o, k_entry_fade_out);
    add_object_entry(o, k_entry_model_frames);
    int32_t e = -1;
    switch (spell.rotation) {
    case k_rotation_char:
        add_object_entry(o, k_entry_face_owner);
        break;
    case k_rotation_plus:
        if ((e = add_object_entry(o, k_entry_spin_b)) >= 0)
            o.entry_ints[e][0] = 1;
        break;
    case k_rotation_minus:
        if ((e = add_object_entry(o, k_entry_spin_b)) >= 0)
            o.entry_ints[e][0] = -1;
        break;
    default:
        break;
    }
}

void spell_impact(const spell_proto& spell, int16_t character, uint32_t spell_id, float x, float y, uint8_t side)
{
    const float scene_scale = g_scene_header.scale;
    const float interior = char_interior_height(character);
    const int16_t owner = owner_of(character);
    int32_t last = -1;

    auto spawn_group = [&](int16_t slot, uint8_t spell_proto::*count, float scale, auto&& set_up) {
        if (!effect_proto(slot))
            return;
        int32_t n = use_count(spell, spell_id, count);
        for (int32_t i = 0; i < n; ++i) {
            int32_t index = add_spell_object(slot, x, y, scene_scale * scale);
            if (index < 0)
                return;
            world_object& o = g_objects[index];
            o.layer = side;
            set_up(o);
            last = index;
        }
    };

    spawn_group(spell.third_explosion_slot, &spell_proto::third_explosion_count, spell.third_explosion_scale,
                [&](world_object& o) {
                    o.lifetime = spell.third_explosion_duration;
                    o.entry_ints[0][4] = k_particle_depth_spread;
                    o.depth_offset = float(spell.cast_effect_shift) + k_third_explosion_rise + interior;
                });
    spawn_group(spell.second_explosion_slot, &spell_proto::second_explosion_count, spell.second_explosion_scale,
                [&](world_object& o) {
                    o.owner = owner;
                    set_pulse(o);
                    o.lifetime = spell.second_explosion_duration;
                    o.depth_offset = interior;
                });
    spawn_group(spell.explosion_slot, &spell_proto::explosion_count, spell.explosion_scale, [&](world_object& o) {
        o.owner = owner;
        set_pulse(o);
        o.lifetime = spell.explosion_duration;
        o.depth_offset = 0.0f;
    });

    if (spell.is_light && spell.motion == k_motion_line && !g_settings.gr_disablelight && last >= 0 &&
        g_objects[last].entry_count < 5) {
        world_object& o = g_objects[last];
        int32_t light = create_light(k_light_point, o.x, o.y, 1.0f, spell.light_colour[0], spell.light_colour[1],
                                     spell.light_colour[2]);
        int32_t e = light >= 0 ? add_object_entry(o, k_entry_light_follow) : -1;
        if (e >= 0)
            o.entry_ints[e][0] = light;
    }

    if (spell.hit_spell != 0) {
        int32_t hit = int32_t(spell.hit_spell) - 1;
        if (const spell_proto* next = spell_proto_at(hit))
            cast_spell(*next, character, hit, x, y, 0.0f, 0.0f, 0, 0);
        else
            console_log("kuzlo %d: zasahove kuzlo %d neexistuje", int(spell_id), int(hit));
    }

    play_explosion_sound(spell, x, y);
}

void spawn_cast_particles(const spell_proto& spell, int16_t caster, uint32_t spell_id, float x, float y,
                          uint8_t side)
{
    const int16_t slot = spell.cast_effect_slot;
    const object_proto* p = effect_proto(slot);
    if (!p)
        return;
    const float shift = float(spell.cast_effect_shift);
    const bool mesh = p->kind == k_proto_mesh;
    const float height = p->kind == k_proto_particle ? 0.0f : shift;
    const float interior = char_interior_height(caster);
    int32_t n = use_count(spell, spell_id, &spell_proto::cast_effect_count);
    for (int32_t i = 0; i < n; ++i) {
        int32_t index = add_spell_object(slot, x, y - shift, g_scene_header.scale * spell.cast_effect_scale);
        if (index < 0)
            return;
        world_object& o = g_objects[index];
        set_pulse(o);
        if (mesh) {
            set_up_spell_mesh(o, spell, caster);
        } else {
            o.entry_ints[0][4] = k_particle_depth_spread;
            o.depth_offset = height + interior;
        }
        o.owner = owner_of(caster);
        o.lifetime = spell.cast_effect_duration;
        o.layer = side;
        add_object_entry(o, k_entry_fade_out);
    }
}

void play_cast_sound(const spell_proto& spell, float x, float y)
{
    play_one_of(spell.cast_sounds, spell.cast_sound_count, x, y);
}

void play_explosion_sound(const spell_proto& spell, float x, float y)
{
    play_one_of(spell.explosion_sounds, spell.explosion_sound_count, x, y);
}

void spell_impact_of(int32_t spell, int32_t hit, float x, float y, int32_t layer)
{
    const spell_proto* record = spell_proto_at(spell);
    if (!record)
        return;
    int16_t character = hit >= 0 && hit < k_char_slots ? int16_t(hit) : int16_t(-1);
    spell_impact(*record, character, uint32_t(spell), x, y, uint8_t(std::clamp(layer, 0, 255)));
}

void spawn_cast_particles_of(int32_t spell, int32_t caster, float x, float y, float layer)
{
    const spell_proto* record = spell_proto_at(spell);
    if (!record)
        return;
    int16_t slot = caster >= 0 && caster < k_char_slots ? int16_t(caster) : int16_t(-1);
    uint8_t side = layer >= 0.0f && layer <= 255.0f ? uint8_t(layer) : uint8_t(0);
    spawn_cast_particles(*record, slot, uint32_t(spell), x, y, side);
}
