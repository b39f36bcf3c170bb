#include "items/casting.h"

#include "characters/char_damage.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/curves.h"
#include "engine/lights.h"
#include "engine/math.h"
#include "engine/ui_texts.h"
#include "items/spell_impact.h"
#include "items/spells.h"
#include "platform/random.h"
#include "script/entities.h"
#include "world/camera_shake.h"
#include "world/object_behaviour.h"
#include "world/object_draw_internal.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr float k_radians = 0.017453292f;
constexpr float k_degrees = 57.295776f;
constexpr float k_pulse = 2.0f;
constexpr float k_forward_squash = 1.5f;    // the forward part of a start y is divided by it
constexpr float k_missile_raise = 50.0f;    // missiles and companions sort this much above the height
constexpr int32_t k_rain_first_drop = 10;   // ticks after the cast
constexpr int k_rain_draws = 32;            // draws of a rain point before the origin is taken
constexpr uint8_t k_interior_entity = 1;
constexpr uint8_t k_message_colour = 1;
constexpr int k_max_entries = 5;

int g_depth = 0;
int g_chain = 0;  // casts set off since the outermost cast began, it included

// The caster as the cast sees it: its slot and a copy of its world object's values (the object
// array may move while objects are added).
struct caster_view {
    int16_t slot = -1;  // -1: a cast from a point
    float x = 0.0f, y = 0.0f;
    int32_t facing = 0;
    uint8_t side = k_no_side;
    float scale = 1.0f;
    float interior_height = 0.0f;
    int32_t weapon = -1;
};

caster_view view_caster(int16_t slot)
{
    caster_view v;
    char_record* c = char_at(slot);
    const world_object* o = c ? world_object_of(*c) : nullptr;
    if (!o)
        return v;
    v.slot = slot;
    v.x = o->x;
    v.y = o->y;
    v.facing = o->angle_b;
    v.side = o->layer;
    v.scale = o->scale;
    if (c->interior < std::min<uint32_t>(g_entity_count, k_entity_slots) &&
        g_entities[c->interior].type == k_interior_entity)
        v.interior_height = float(g_entities[c->interior].value);
    v.weapon = char_weapon_item(c);
    return v;
}

// A count field of the record: 0 counts as 1 and is stored back.
uint8_t stored_count(const uint8_t& field)
{
    if (field == 0)
        const_cast<uint8_t&>(field) = 1;
    return field;
}

// A cleared entry of the kind with p as its first integer; false when the object is full.
bool add_entry(world_object& o, uint8_t kind, int32_t p = 0)
{
    int32_t e = add_object_entry(o, kind);
    if (e < 0)
        return false;
    std::fill(std::begin(o.entry_floats[e]), std::end(o.entry_floats[e]), 0.0f);
    std::fill(std::begin(o.entry_ints[e]), std::end(o.entry_ints[e]), 0);
    o.entry_ints[e][0] = p;
    return true;
}

// The running cast: the record, its caster and the direction state of the steps.
class cast_run {
public:
    cast_run(const spell_proto& spell, int16_t caster, int32_t id, float x0, float y0, float x1, float y1,
             int16_t lifetime, int32_t no_damage)
        : s_(spell), id_(id), c_(view_caster(caster)), x0_(x0), y0_(y0), x1_(x1), y1_(y1), lifetime_(lifetime),
          no_damage_(no_damage != 0)
    {
    }

    void run();

private:
    void set_angle(int32_t angle);
    void caster_effects();
    void area_damage();
    void hit_in_area(int32_t target, bool close);
    bool spread(int32_t i, int32_t step, int32_t* seeker);
    bool seek(int32_t* seeker);
    void start_position();
    void rain_point();
    bool missile(int32_t m);
    bool line_objects();
    bool companion();
    void glow();
    void attach_light();

    int32_t new_object(int32_t slot, float scale);
    bool reusable(const world_object& o) const;
    int32_t reused_mesh();
    void remember(int32_t index);
    void mark_lifetime(world_object& o, uint16_t own_duration) const;
    void place(world_object& o, float height) const;
    void mesh_setup(world_object& o) const;
    void motion_setup(world_object& o, int32_t e) const;
    int32_t add_spell_entry(world_object& o, bool damage, bool weapon) const;

    const spell_proto& s_;
    int32_t id_;
    caster_view c_;
    float x0_, y0_, x1_, y1_;
    int16_t lifetime_;
    bool no_damage_;
    int32_t a_ = 0;            // the cast angle, whole degrees
    float fx_ = 0.0f, fy_ = 1.0f;  // forward direction
    float sx_dir_ = 1.0f, sy_dir_ = 0.0f;  // side direction
    float side_ = 0.0f;        // side coefficient
    float sx_ = 0.0f, sy_ = 0.0f;  // start position of the last missile
    int32_t last_ = -1;        // the last object added
    int32_t added_ = 0;        // objects added by this cast
    bool scanned_ = false;     // the array was searched for a lasting mesh to reuse
    int32_t reuse_ = -1;       // that object, -1 none
    bool stopped_ = false;
};

void cast_run::set_angle(int32_t angle)
{
    a_ = angle;
    float r = float(a_) * k_radians;
    fx_ = std::sin(r);
    fy_ = std::cos(r);
    sx_dir_ = std::sin(float(a_ + 90) * k_radians);
    sy_dir_ = std::cos(float(a_ + 90) * k_radians);
}

void cast_run::run()
{
    set_angle(c_.slot >= 0 ? c_.facing : spell_direction(x0_, y0_, x1_, y1_));
    side_ = float(s_.side_offset);
    if (c_.slot >= 0)
        caster_effects();
    if (s_.missile_slot == k_spell_no_slot)
        return;

    int32_t n = s_.volley_size, step = s_.volley_step;
    int32_t per_direction = stored_count(s_.missiles_per_direction);
    if (n > 0)
        set_angle(a_ + step / 2);
    int32_t seeker = 0;
    for (int32_t i = n > 0 ? -n : 0; i < (n > 0 ? n : 1) && !stopped_; ++i) {
        for (int32_t m = 0; m < per_direction && !stopped_; ++m) {
            spread(i, step, &seeker);
            start_position();
            glow();
            if (s_.motion == k_motion_global)
                rain_point();
            if (!missile(m) || !companion())
                break;
        }
        attach_light();
    }
    if (!stopped_)
        play_cast_sound(s_, sx_, sy_);
}

void cast_run::caster_effects()
{
    if (s_.item_effect != -1) {
        if (char_record* c = char_at(c_.slot))
            char_give_item(c, s_.item_effect, 1, k_item_effect_location, -1);
    }
    if (s_.quake_length != 0)
        start_camera_shake(&g_camera_shake, float(s_.quake_amplitude), float(s_.quake_amplitude),
                           10u * s_.quake_length);
    if (s_.damage_kind == k_spell_close_damage || s_.damage_kind == k_spell_far_damage)
        area_damage();
}

void cast_run::area_damage()
{
    const char_record* caster = char_at(c_.slot);
    if (!caster)
        return;
    bool close = s_.damage_kind == k_spell_close_damage;
    float cx = c_.x, cy = c_.y;
    if (close && x0_ != 0.0f && y0_ != 0.0f) {
        cx = x0_;
        cy = y0_;
    }
    uint8_t caster_kind = caster->kind;
    float radius = close ? k_close_damage_radius : k_far_damage_radius;
    for (uint32_t k = 0; k < std::min<uint32_t>(g_char_count, k_char_slots); ++k) {
        const char_record& t = g_chars[k];
        if (int32_t(k) == c_.slot || t.kind == caster_kind || t.world_fade == 0.0f || t.life != k_life_alive)
            continue;
        // Only ENEMY and PLAYER characters are hurt (never NORMAL ones, whatever the npc-kill
        // switch), a PLAYER only by a caster that is not NORMAL.
        if (!(t.kind == k_kind_enemy || (t.kind == k_kind_player && caster_kind != k_kind_normal)))
            continue;
        const world_object* o = world_object_of(t);
        if (o && distance2d(cx, cy, o->x, o->y) < radius)
            hit_in_area(int32_t(k), close);
    }
}

void cast_run::hit_in_area(int32_t slot, bool close)
{
    char_record& t = g_chars[slot];
    char_take_hit(&t, c_.slot, c_.weapon, 0, s_.damage_percent, find_spell_attunement(id_));
    if (const world_object* o = world_object_of(t))
        spell_impact(s_, close ? c_.slot : int16_t(slot), uint32_t(id_), o->x, o->y, o->layer);
    // A target the hit killed or that is stunned already takes no hit reaction.
    if (t.state == k_state_stunned || t.life != k_life_alive)
        return;
    set_char_anim(&t, k_action_hit, 1, 0);
    t.state = k_state_hit;
    play_char_hit_sound(slot);
    if (s_.stun_max == 0)
        return;
    int32_t seconds = int32_t(rand_range(float(s_.stun_min), float(s_.stun_max)));
    t.state = k_state_stunned;
    t.pending_target = g_elapsed_ms + uint32_t(seconds) * 1000u;
    log_add_line(&g_message_log, k_message_colour, "%s %s", t.display_name, ui_text(k_stun_text));
}

// SEEKER: the next valid character of the combat list becomes the target; false when the list
// has no further one (the missile is then spread as CIRCULAR).
bool cast_run::seek(int32_t* seeker)
{
    if (*seeker >= g_in_combat)
        return false;
    int32_t valid = 0;
    for (int16_t slot : g_combat_list) {
        if (slot == -1)
            continue;
        if (valid++ != *seeker)
            continue;
        ++*seeker;
        const char_record* t = char_at(slot);
        const world_object* o = t ? world_object_of(*t) : nullptr;
        if (!o)
            return false;
        if (c_.slot >= 0) {
            x0_ = c_.x;
            y0_ = c_.y;
        }
        x1_ = o->x;
        y1_ = o->y;
        set_angle(spell_direction(x0_, y0_, x1_, y1_));
        side_ = float(s_.side_offset);
        return true;
    }
    *seeker = g_in_combat;
    return false;
}

bool cast_run::spread(int32_t i, int32_t step, int32_t* seeker)
{
    switch (s_.spread) {
    case k_spread_linear:
        side_ = float(i * step + step / 2);
        return true;
    case k_spread_seeker:
        if (seek(seeker))
            return true;
        [[fallthrough]];
    case k_spread_circular: {
        float r = float(i * step + a_) * k_radians;
        fx_ = std::sin(r);
        fy_ = std::cos(r);
        return true;
    }
    default:
        return true;
    }
}

void cast_run::start_position()
{
    float bx = x0_, by = y0_;
    if (c_.slot >= 0 && !(x0_ != 0.0f && y0_ != 0.0f)) {
        bx = c_.x;
        by = c_.y;
    }
    float f = float(s_.forward_offset);
    sx_ = bx + f * fx_ + side_ * sx_dir_;
    sy_ = by - float(s_.height) + f * fy_ / k_forward_squash + side_ * sy_dir_;
}

// A rain drop's place: uniform in the rectangle of the two offsets (taken absolute) around the
// origin, within the larger offset of it; the origin after k_rain_draws misses.
void cast_run::rain_point()
{
    float w = std::fabs(float(s_.side_offset)), h = std::fabs(float(s_.forward_offset));
    float r = std::max(w, h);
    for (int k = 0; k < k_rain_draws; ++k) {
        float x = rand_range(x0_ - w, x0_ + w), y = rand_range(y0_ - h, y0_ + h);
        if (distance2d(x, y, x0_, y0_) <= r) {
            sx_ = x;
            sy_ = y;
            return;
        }
    }
    sx_ = x0_;
    sy_ = y0_;
}

int32_t cast_run::new_object(int32_t slot, float scale)
{
    if (added_ >= k_cast_object_limit) {
        console_log("kuzlo %d: priliz vela objektov (%d)", int(id_), int(added_));
        stopped_ = true;
        return -1;
    }
    ++added_;
    int32_t index = add_object(sx_, sy_, slot, 1.0f, scale, 0, proto_kind_at(slot) == k_proto_particle ? 1 : 0);
    if (index < 0) {
        console_log("kuzlo %d: niet miesta pre objekt", int(id_));
        stopped_ = true;
        return -1;
    }
    world_object& o = g_objects[index];
    o.x = sx_;  // also in the editor's corner modes
    o.y = sy_;
    o.has_corners = 0;
    o.red = o.green = o.blue = k_pulse;
    o.spell_object = 1;
    last_ = index;
    return index;
}

bool cast_run::reusable(const world_object& o) const
{
    return o.state != 0 && (o.lasting_mark == k_lasting_mark || o.lasting_mark == k_lasting_mark_special) &&
           c_.slot >= 0 && o.owner == c_.slot && o.proto == s_.missile_slot;
}

// A lasting mesh object of this caster and prototype, active, or -1. The array is scanned once
// per cast; later the objects this cast adds are the only new candidates (remember).
int32_t cast_run::reused_mesh()
{
    if (c_.slot < 0)
        return -1;
    if (!scanned_) {
        scanned_ = true;
        for (uint32_t i = 0; i < g_object_count && reuse_ < 0; ++i)
            if (reusable(g_objects[i]))
                reuse_ = int32_t(i);
    }
    return reuse_;
}

void cast_run::remember(int32_t index)
{
    if (scanned_ && reuse_ < 0 && reusable(g_objects[index]))
        reuse_ = index;
}

void cast_run::mark_lifetime(world_object& o, uint16_t own_duration) const
{
    o.lifetime = lifetime_ == 0 ? int32_t(own_duration) : int32_t(lifetime_);
    if (lifetime_ == -1)
        o.lasting_mark = id_ == k_lasting_spell ? k_lasting_mark_special : k_lasting_mark;
}

// Height (the sort offset, raised by the caster's interior), side and owner.
void cast_run::place(world_object& o, float height) const
{
    o.depth_offset = height + c_.interior_height;
    o.layer = c_.side;
    if (s_.moves_with_caster && c_.slot >= 0)
        o.owner = c_.slot;
}

void cast_run::mesh_setup(world_object& o) const
{
    set_up_spell_mesh(o, s_, c_.slot);
}

// The spell entry; its index, or -1 when the object has no room for it.
int32_t cast_run::add_spell_entry(world_object& o, bool damage, bool weapon) const
{
    if (!add_entry(o, k_entry_missile, id_))
        return -1;
    int32_t e = o.entry_count - 1;
    o.entry_ints[e][1] = c_.slot;
    o.entry_ints[e][2] = s_.motion;
    o.entry_ints[e][3] = weapon && c_.slot >= 0 ? c_.weapon : -1;
    if (damage)
        o.impact = 1;
    return e;
}

void cast_run::motion_setup(world_object& o, int32_t e) const
{
    float* f = o.entry_floats[e];
    int32_t* q = o.entry_ints[e];
    switch (s_.motion) {
    case k_motion_directional:
    case k_motion_sinusoid:
        f[0] = fx_;
        f[1] = fy_;
        break;
    case k_motion_rotating:
        o.x += side_ * fx_;
        o.y += float(s_.forward_offset) * fy_;
        f[0] = s_.rotation_speed;
        break;
    case k_motion_stational:
        q[4] = 1;
        f[0] = fx_;
        f[1] = fy_;
        f[2] = float(s_.speed);
        break;
    case k_motion_global:
        q[4] = int32_t(g_ticks + k_rain_first_drop);
        break;
    case k_motion_bezier:
        q[4] = create_curve(x0_, y0_, x1_, y1_);  // -1: no curve to follow
        break;
    default:
        break;
    }
}

void cast_run::glow()
{
    if (c_.slot < 0 || s_.glow_slot == k_spell_no_slot)
        return;
    int32_t count = std::max<int32_t>(s_.glow_count, 1);
    for (int32_t k = 0; k < count && !stopped_; ++k) {
        int32_t index = new_object(s_.glow_slot, g_scene_header.scale * s_.glow_scale);
        if (index < 0)
            return;
        world_object& o = g_objects[index];
        mark_lifetime(o, s_.glow_duration);
        place(o, float(s_.height));
        remember(index);
    }
}

bool cast_run::missile(int32_t m)
{
    bool mesh = proto_kind_at(s_.missile_slot) == k_proto_mesh;
    int32_t index = mesh ? reused_mesh() : -1;
    if (index >= 0) {
        world_object& o = g_objects[index];
        o.entry_count = 0;
        o.alpha = 1.0f;
        set_object_position(&o, sx_, sy_);
        o.red = o.green = o.blue = k_pulse;
        last_ = index;
    } else {
        index = new_object(s_.missile_slot, g_scene_header.scale);
        if (index < 0)
            return false;
        g_objects[index].angle_b = a_;
    }
    world_object& o = g_objects[index];
    if (mesh)
        mesh_setup(o);
    mark_lifetime(o, s_.duration);
    place(o, float(s_.height) + k_missile_raise);
    remember(index);
    int32_t e = add_spell_entry(o, m == 0 && !no_damage_, true);
    if (e < 0)
        return true;
    if (s_.motion == k_motion_line)
        return line_objects();
    motion_setup(o, e);
    return true;
}

bool cast_run::line_objects()
{
    const object_proto* p = proto_at(s_.missile_slot);
    int32_t frames = p ? p->frame_counts[0] : 0;
    for (int32_t k = 0; k < k_line_objects; ++k) {
        int32_t index = new_object(s_.missile_slot, g_scene_header.scale);
        if (index < 0)
            return false;
        world_object& o = g_objects[index];
        o.frame = frames > 0 ? game_rand() % frames : 0;
        mark_lifetime(o, s_.duration);
        place(o, 0.0f);
        remember(index);
        add_spell_entry(o, false, false);
        sx_ += float(s_.speed) * fx_;
        sy_ += float(s_.speed) * fy_;
    }
    return true;
}

bool cast_run::companion()
{
    if (s_.companion_slot == k_spell_no_slot)
        return true;
    int32_t index = new_object(s_.companion_slot, g_scene_header.scale);
    if (index < 0)
        return false;
    world_object& o = g_objects[index];
    o.angle_b = a_;
    if (proto_kind_at(s_.missile_slot) == k_proto_mesh)
        mesh_setup(o);
    mark_lifetime(o, s_.duration);
    place(o, float(s_.height) + k_missile_raise);
    remember(index);
    int32_t e = add_spell_entry(o, false, false);
    if (e >= 0 && (s_.motion == k_motion_directional || s_.motion == k_motion_rotating ||
                   s_.motion == k_motion_stational || s_.motion == k_motion_sinusoid ||
                   s_.motion == k_motion_global))
        motion_setup(o, e);
    return true;
}

void cast_run::attach_light()
{
    if (!s_.is_light || g_settings.gr_disablelight != 0 || last_ < 0 || uint32_t(last_) >= g_object_count)
        return;
    world_object& o = g_objects[last_];
    if (o.state == 0 || o.entry_count >= k_max_entries)
        return;
    int32_t light = create_light(k_light_kind_point, o.x, o.y, 1.0f, s_.light_colour[0], s_.light_colour[1],
                                 s_.light_colour[2]);
    if (light >= 0)
        add_entry(g_objects[last_], k_entry_light_follow, light);
}

} // namespace

int32_t spell_direction(float x0, float y0, float x1, float y1)
{
    float dx = x0 - x1, dy = y0 - y1;
    float term = 0.0f;
    if (dy != 0.0f)
        term = -std::atan(dx / dy) * k_degrees;
    else if (dx != 0.0f)
        term = dx > 0.0f ? -90.0f : 90.0f;
    int32_t t = safe_int(term);  // not-a-number (a coordinate not a number or both infinite) gives 0
    return y0 < y1 ? -t : 180 - t;
}

void cast_spell(const spell_proto& spell, int16_t caster, int32_t spell_id, float x0, float y0, float x1, float y1,
                int16_t lifetime, int32_t no_damage)
{
    if (g_depth >= k_cast_depth_limit) {
        console_log("kuzlo %d: privelmi hlboko vnorene (%d)", int(spell_id), g_depth);
        return;
    }
    if (g_depth == 0)
        g_chain = 0;
    if (++g_chain > k_cast_chain_limit) {
        if (g_chain == k_cast_chain_limit + 1)
            console_log("kuzlo %d: viac ako %d kuziel jedneho zoslania, dalsie nezoslane", int(spell_id),
                        k_cast_chain_limit);
        return;
    }
    ++g_depth;
    cast_run(spell, caster, spell_id, x0, y0, x1, y1, lifetime, no_damage).run();
    --g_depth;
}

int cast_depth()
{
    return g_depth;
}

void cast_spell_by_id(int32_t spell, int32_t caster, float x0, float y0, float x1, float y1, int16_t lifetime,
                      int32_t no_damage)
{
    const spell_proto* s = spell_proto_at(spell);
    if (!s)
        return;
    int16_t slot = caster >= 0 && caster < k_char_slots ? int16_t(caster) : int16_t(-1);
    cast_spell(*s, slot, spell, x0, y0, x1, y1, lifetime, no_damage);
}

void cast_learn_attunement(int32_t slot)
{
    const char_record* c = char_at(slot);
    const world_object* o = c ? world_object_of(*c) : nullptr;
    if (!o)
        return;
    float x = o->x, y = o->y;
    uint8_t side = o->layer;
    for (int32_t id = 0; id < std::clamp(g_spell_proto_count, 0, k_spell_slots); ++id) {
        spell_proto& s = g_spell_protos[id];
        if (strcasecmp(s.name, "Learn attunement") != 0)
            continue;
        spawn_cast_particles(s, int16_t(slot), uint32_t(id), x, y, side);
        cast_spell(s, int16_t(slot), id, x, y, 0.0f, 0.0f, 0, 0);
    }
}

bool missile_spell_values(int32_t spell, missile_spell* values)
{
    const spell_proto* s = spell_proto_at(spell);
    if (!s)
        return false;
    values->speed = s->speed;
    values->damage_kind = s->damage_kind;
    values->blood_threshold = s->school;
    values->stun_min = s->stun_min;
    values->stun_max = s->stun_max;
    values->damage_percent = uint16_t(s->damage_percent);
    values->attunement = find_spell_attunement(spell);
    return true;
}
