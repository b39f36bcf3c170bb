#include "items/item_looks.h"

#include "characters/char_models.h"
#include "core/console_log.h"
#include "core/hooks.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/lights.h"
#include "engine/math.h"
#include "engine/model_draw.h"
#include "engine/models.h"
#include "items/casting.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "items/spells.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

item_look_links g_item_look_links = {};

const int32_t g_item_class_body_part[k_item_class_count] = {
    -1, 8, 8, 8, 8, 8, 10, 9, 14, 7, -1, -1, 6, 13, 11, 12, -1, -1, -1, 18, -1, -1, -1, -1, -1, -1, -1};

const char* const k_item_anim_names[k_item_anim_count] = {
    "stand1", "stand2", "stand3", "move1",  "move2",  "attack1", "attack2", "attack3", "hit1",
    "hit2",   "death1", "death2", "spell1", "spell2", "spell3",  "spec1",   "spec2",   "spec3"};

namespace {

constexpr int k_weapon_extra_part = 15;  // "_e" model
constexpr int k_weapon_glow_part = 16;   // "_g" model
constexpr int k_efect_proto_limit = 100;
constexpr float k_attached_height = 50.0f;
constexpr float k_low_height = -20.0f;
constexpr float k_raised_offset = 100.0f;
constexpr uint8_t k_mode_vertex = k_class_attached;  // follows a model vertex
constexpr uint8_t k_mode_character = k_class_pinned;  // follows the character

bool is_weapon_class(int32_t item_class)
{
    return item_class >= k_item_fast_weapon && item_class <= k_item_focus;
}

bool is_body_part(int32_t part)
{
    return part >= 0 && part < k_body_parts;
}

// A model number an entry may set: a registry entry in use, or -1 for none.
bool is_model_number(int32_t model)
{
    return model == -1 || (model >= 0 && uint32_t(model) < std::min<uint32_t>(g_chardata_count, k_chardata_capacity));
}

bool skip(const item_property& e, const char* what)
{
    console_log("predmet: vlastnost %d ma zly %s, preskakujem", int(e.code), what);
    return false;
}

// The move prototype of a clip, or null for none or one outside the table.
char_move_proto* clip_proto(int16_t clip)
{
    return clip >= 0 && clip < g_move_proto_count ? &g_move_protos[clip] : nullptr;
}

// The character's world object, or null.
world_object* char_object(const char_record& c)
{
    if (!g_objects || c.object < 0 || uint32_t(c.object) >= g_object_count)
        return nullptr;
    return &g_objects[c.object];
}

// Whether animation number anim of property 24 is the character's current action and variant;
// never for an action above 6.
bool look_matches(const char_record& c, int32_t anim)
{
    switch (c.anim_action) {
    case 0: return anim == c.stand_variant;
    case 1: return anim - 3 == c.move_variant;
    case 2: return anim - 5 == c.attack_variant;
    case 3: return anim - 8 == c.death_variant;
    case 4: return anim - 11 == c.hit_variant;
    case 5: return anim == 13;
    case 6: return anim == 15;
    default: return false;
    }
}

void set_part_colour(char_record* c, int32_t part, const int16_t* rgba)
{
    for (int k = 0; k < 4; ++k)
        c->part_values[k][part] = float(rgba[k]) * k_twentieth;
}

void change_light(char_record* c, const int16_t* rgb, float sign)
{
    if (c->light >= k_light_slots)
        return;
    light_record& l = g_lights[c->light];
    light_set_colour(&l, l.r + sign * float(rgb[0]) * k_twentieth, l.g + sign * float(rgb[1]) * k_twentieth,
                     l.b + sign * float(rgb[2]) * k_twentieth);
}

bool apply_look(char_record* c, const item_property& e)
{
    const int16_t* a = e.args;
    switch (e.code) {
    case k_efect_change_3d_part:
        if (!is_body_part(a[1]) || !is_model_number(a[2]))
            return skip(e, "argument");
        if (look_matches(*c, a[0]))
            c->part_model[a[1]] = a[2];
        return true;
    case k_efect_change_3d_part_color:
        if (!is_body_part(a[0]))
            return skip(e, "body part");
        set_part_colour(c, a[0], a + 1);
        return true;
    case k_efect_change_char_color:
        for (int p = 0; p < k_body_parts; ++p)
            set_part_colour(c, p, a);
        return true;
    case k_efect_change_skin:
        if (!is_body_part(a[0]))
            return skip(e, "body part");
        c->part_mode[a[0]] = uint8_t(a[1] & 0xFF);
        return true;
    case k_efect_change_char_part:
        if (!is_body_part(a[0]) || !is_model_number(a[1]))
            return skip(e, "argument");
        if (c->part_model[a[0]] != a[1]) {
            c->part_model[a[0]] = a[1];
            c->part_extra_a[a[0]] = 0;
            c->part_frame[a[0]] = 0;
        }
        return true;
    case k_efect_add_char_light: change_light(c, a, 1.0f); return true;
    case k_efect_sub_char_light: change_light(c, a, -1.0f); return true;
    default: return true;
    }
}

// The object prototype slot of effect prototype n, or -1 when it has none.
int32_t efect_slot(int32_t n)
{
    if (n < 0 || n >= k_efect_proto_limit)
        return -1;
    uint16_t slot = run_hook_or(g_item_look_links.efect_proto_slot, "efect_proto_slot", uint16_t(0xFFFF), n);
    return slot == 0xFFFF || !proto_at(slot) ? -1 : int32_t(slot);
}

// An attached object of prototype slot at (x, y): the character's layer, owned by it, with the
// attachment mode and arguments, the id of the item that spawned it and the attached-drawing
// flag. Returns the object, or null when none could be added.
world_object* spawn_attached(const char_record& c, int16_t item_id, int32_t slot, float x, float y, float height,
                             float scale, uint8_t mode, int32_t arg0, int32_t arg1)
{
    int32_t index = add_object(x, y, slot, 1.0f, scale, 0, 0);
    const world_object* owner = char_object(c);
    if (index < 0 || !owner) {
        console_log("predmet: efekt %d sa nepridal", int(slot));
        return nullptr;
    }
    world_object& o = g_objects[index];
    o.x = x;  // also in the editor's corner modes
    o.y = y;
    o.has_corners = 0;
    o.z = height;
    o.layer = owner->layer;
    o.entity = c.slot;
    o.owner = c.slot;
    o.object_class = mode;
    o.entry_ints[0][0] = arg0;
    o.entry_ints[0][1] = arg1;
    o.item_id = uint32_t(int32_t(item_id));
    o.attached_drawing = 1;
    if (const object_proto* p = proto_at(slot); p && p->kind == k_proto_particle)
        o.particle_role = k_role_emitter;
    return &o;
}

bool attach_effect(char_record* c, int16_t item_id, const item_property& e)
{
    const int16_t* a = e.args;
    switch (e.code) {
    case k_efect_add_efect3d:
    case k_efect_add_efect3d2: {
        int32_t slot = efect_slot(a[1]);
        if (!is_body_part(a[0]) || a[1] < 0 || a[1] >= k_efect_proto_limit)
            return skip(e, "argument");
        if (slot < 0)
            return true;
        bool many = e.code == k_efect_add_efect3d2;
        int32_t first = many ? 0 : a[2];
        int32_t count = many ? a[2] : 1;
        for (int32_t k = first; k < first + count; ++k) {
            float x, y;
            if (!char_vertex_position(*c, a[0], k, &x, &y))
                return skip(e, "vertex");
            float height = many ? rand_range(0.0f, k_attached_height) : k_attached_height;
            if (!spawn_attached(*c, item_id, slot, x, y, height, 1.0f, k_mode_vertex, a[0], k))
                return false;
        }
        return true;
    }
    case k_efect_add_efect2d: {
        if (a[1] < 0 || a[1] >= k_efect_proto_limit)
            return skip(e, "effect prototype");
        int32_t slot = efect_slot(a[1]);
        const world_object* o = char_object(*c);
        if (slot < 0 || !o)
            return true;
        float y = o->y - (a[0] == 1 ? k_raised_offset : 0.0f);
        spawn_attached(*c, item_id, slot, o->x, y, a[0] == 0 ? k_low_height : k_attached_height, float(a[2]) * k_twentieth,
                       k_mode_character, a[0], 0);
        return true;
    }
    case k_efect_equipment_spell: {
        const world_object* o = char_object(*c);
        if (!is_spell_id(a[0]))
            return skip(e, "spell");
        if (o)
            cast_spell_by_id(a[0], int32_t(uint8_t(c->slot)), o->x, o->y, o->x, o->y, -1, 0);
        return true;
    }
    default: return true;
    }
}

// The file name of a worn model: false when it would leave its folder.
bool safe_model_name(const char* name)
{
    return is_plain_file_name(name) && !std::strstr(name, "..");
}

} // namespace

bool char_vertex_position(const char_record& c, int32_t part, int32_t vertex, float* x, float* y)
{
    if (!is_body_part(part) || vertex < 0)
        return false;
    int16_t index = c.part_model[part];
    const world_object* o = char_object(c);
    const model* m = index > 0 ? char_part_model(index) : nullptr;
    float out[4];
    if (!o || !m ||
        !get_model_vertex_world_pos(m, o->x, o->y, o->z, o->scale, o->angle_a, o->angle_b, o->angle_c,
                                    uint32_t(vertex), out))
        return false;
    *x = out[0];
    *y = out[1];
    return true;
}

const item_property* item_efects(int32_t item, int32_t* count)
{
    const item_proto* p = item_proto_at(item);
    *count = p ? std::clamp<int32_t>(p->efect_count, 0, k_item_list_entries) : 0;
    return p ? g_item_lists[item].efects : nullptr;
}

bool is_spell_id(int32_t spell)
{
    return spell_proto_at(spell) != nullptr;
}

int32_t item_body_part(int32_t item_class)
{
    return item_class >= 0 && item_class < k_item_class_count ? g_item_class_body_part[item_class] : -1;
}

int16_t* item_anim_clip(char_record* c, int32_t n)
{
    static constexpr struct {
        uint8_t kind, index;
    } k_clips[k_item_anim_count] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {2, 2}, {3, 0},
                                    {3, 1}, {4, 0}, {4, 1}, {5, 0}, {5, 1}, {5, 2}, {6, 0}, {6, 1}, {6, 2}};
    if (n < 0 || n >= k_item_anim_count)
        return nullptr;
    int16_t* const lists[] = {c->clip_stand, c->clip_move, c->clip_attack, c->clip_hit,
                              c->clip_death, c->clip_spell, c->clip_special};
    return &lists[k_clips[n].kind][k_clips[n].index];
}

void clear_char_model_parts(int32_t item, char_record* c)
{
    const item_proto* p = item_proto_at(item);
    int32_t part = p ? item_body_part(p->item_class) : -1;
    if (part < 0)
        return;
    for (int32_t n = 0; n < k_item_anim_count; ++n) {
        char_move_proto* m = clip_proto(*item_anim_clip(c, n));
        if (!m)
            continue;
        m->part_model[part] = -1;
        if (is_weapon_class(p->item_class)) {
            m->part_model[k_weapon_extra_part] = -1;
            m->part_model[k_weapon_glow_part] = -1;
        }
    }
}

void build_char_model_set(int32_t item, char_record* c)
{
    const item_proto* p = item_proto_at(item);
    int32_t part = p ? item_body_part(p->item_class) : -1;
    if (part < 0)
        return;
    char appearance[sizeof c->appearance + 1] = {};
    std::memcpy(appearance, c->appearance, sizeof c->appearance);
    char model_name[sizeof p->model_name + 1] = {};
    std::memcpy(model_name, p->model_name, sizeof p->model_name);
    if (!safe_model_name(appearance) || !safe_model_name(model_name)) {
        console_log("predmet %d: meno modelu '%s' alebo vzhlad '%s' mimo priecinka", int(item), model_name, appearance);
        return;
    }
    const std::string folder = "3d/" + std::string(appearance) + "/" + std::to_string(c->anim_set) + "/";
    static constexpr const char* k_suffixes[3] = {"", "_e", "_g"};
    const int32_t parts[3] = {part, k_weapon_extra_part, k_weapon_glow_part};
    for (int pass = 0; pass < 3; ++pass) {
        for (int32_t n = 0; n < k_item_anim_count; ++n) {
            const std::string path =
                folder + k_item_anim_names[n] + "/" + model_name + k_suffixes[pass] + ".3d";
            console_log("%s", path.c_str());
            int32_t entry = find_chardata_entry(path);
            if (entry < 0 && file_exists(path.c_str()) == 1)
                entry = registry_entry_for(path);
            char_move_proto* m = clip_proto(*item_anim_clip(c, n));
            if (entry >= 0 && m)
                m->part_model[parts[pass]] = int16_t(entry);
        }
    }
}

void apply_item_looks(int32_t item, char_record* c)
{
    int32_t count;
    const item_property* list = item_efects(item, &count);
    for (int32_t i = 0; i < count; ++i)
        apply_look(c, list[i]);
}

void attach_item_effects(int32_t item, char_record* c, int16_t id, bool cast_spells)
{
    int32_t count;
    const item_property* list = item_efects(item, &count);
    for (int32_t i = 0; i < count && char_object(*c); ++i)
        if (cast_spells || list[i].code != k_efect_equipment_spell)
            attach_effect(c, id, list[i]);
}

int32_t cast_item_attack_spells(int32_t item, int32_t caster)
{
    int32_t count, cast = 0;
    const item_property* list = item_efects(item, &count);
    for (int32_t i = 0; i < count; ++i) {
        const item_property& e = list[i];
        if (e.code != k_efect_cast_spell_when_attack)
            continue;
        if (is_spell_id(e.args[0])) {
            cast_spell_by_id(e.args[0], int32_t(uint8_t(caster)), 0.0f, 0.0f, 0.0f, 0.0f, 0, 0);
            ++cast;
        } else {
            skip(e, "spell");
        }
    }
    return cast;
}
