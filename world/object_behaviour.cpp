#include "world/object_behaviour.h"

#include "core/frame_timing.h"
#include "core/hooks.h"
#include "engine/lights.h"
#include "world/blood.h"
#include "world/movement_map.h"
#include "world/object_draw_internal.h"
#include "world/object_models.h"
#include "world/object_order.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

behaviour_links g_behaviour_links = {};

namespace {

constexpr int32_t k_max_entries = 5;
constexpr int32_t k_trail_positions = 4;
constexpr float k_fade_step = 0.06f;

// The object under update. Hooks may grow the array and move it; an object of the array is found
// again by its index, the brush preview (outside it) stays where it is.
class object_ref {
public:
    explicit object_ref(world_object* object) : outside_(object)
    {
        auto at = reinterpret_cast<uintptr_t>(object);
        auto first = reinterpret_cast<uintptr_t>(g_objects);
        if (g_objects && at >= first && at < first + uintptr_t(g_object_count) * sizeof(world_object)) {
            index_ = int32_t((at - first) / sizeof(world_object));
            outside_ = nullptr;
        }
    }
    world_object* get() const { return outside_ ? outside_ : &g_objects[index_]; }

private:
    world_object* outside_;
    int32_t index_ = 0;
};

int32_t entry_count(const world_object& o)
{
    return std::clamp(o.entry_count, 0, k_max_entries);
}

bool char_slot_exists(int32_t slot)
{
    return slot >= 0 && uint32_t(slot) < run_hook_or(g_object_links.char_count, "char_count", 0u);
}

// A used object of the array, or null.
const world_object* used_object(int32_t index)
{
    if (index < 0 || uint32_t(index) >= g_object_count || g_objects[index].state == 0)
        return nullptr;
    return &g_objects[index];
}

const world_object* char_world_object(int32_t slot)
{
    if (!char_slot_exists(slot))
        return nullptr;
    return used_object(run_hook_or(g_object_links.char_object, "char_object", -1, slot));
}

// The spell and caster (-1 none) of missile entry e; false when the entry names a spell or a
// caster that does not exist, and is skipped.
bool missile_entry(const world_object& o, int32_t e, missile_spell* spell, int32_t* caster)
{
    *spell = {};
    *caster = o.entry_ints[e][1] < 0 ? -1 : o.entry_ints[e][1];
    return run_hook_or(g_behaviour_links.missile_spell, "missile_spell", false, o.entry_ints[e][0], spell) &&
           (*caster < 0 || char_slot_exists(*caster));
}

void fade_entry_lights(const world_object& o)
{
    for (int32_t e = 0; e < entry_count(o); ++e) {
        int32_t slot = o.entry_ints[e][0];
        if (o.entry_kinds[e] == k_entry_light_follow && slot >= 0 && slot < k_light_slots &&
            g_lights[slot].state != k_light_free)
            light_fade_out(&g_lights[slot]);
    }
}

// The end of the lifetime: the impact of every missile entry, then the object is freed.
void end_object(const object_ref& ref)
{
    world_object* o = ref.get();
    int32_t hit = o->lifetime < -1 ? -2 - o->lifetime : -1;
    if (!char_slot_exists(hit))
        hit = -1;
    if (o->impact) {
        o->impact = 0;  // an object that reset_object only sets fading ends once
        for (int32_t e = 0; e < entry_count(*o); ++e) {
            missile_spell spell;
            int32_t caster;
            if (o->entry_kinds[e] != k_entry_missile || !missile_entry(*o, e, &spell, &caster))
                continue;
            run_hook(g_behaviour_links.spell_impact, "spell_impact", o->entry_ints[e][0], hit, o->x, o->y,
                     int32_t(o->layer));
            o = ref.get();
        }
    }
    reset_object(o);
}

// The entries become the last four positions, oldest first.
void step_trail(world_object& o)
{
    int32_t n = entry_count(o);
    int32_t last = n;
    if (n < k_trail_positions) {
        o.entry_kinds[n] = k_entry_trail;
        std::memset(o.entry_ints[n], 0, sizeof o.entry_ints[n]);
        std::memset(o.entry_floats[n], 0, sizeof o.entry_floats[n]);
        o.entry_count = n + 1;
    } else {
        last = n - 1;
        std::memmove(o.entry_kinds, o.entry_kinds + 1, size_t(last));
        std::memmove(o.entry_floats, o.entry_floats + 1, size_t(last) * sizeof o.entry_floats[0]);
        std::memmove(o.entry_ints, o.entry_ints + 1, size_t(last) * sizeof o.entry_ints[0]);
    }
    o.entry_floats[last][0] = o.x;
    o.entry_floats[last][1] = o.y;
}

// Facts of one behaviour step that its entries share: the steps it stands for and, of them, those
// that fall after the lifetime ran out (the fade's), and the ticks elapsed for a missile.
struct step_span {
    int32_t steps;
    int32_t fading_steps;
    int32_t elapsed;
};

void swing(float& value, const float* f, int32_t& direction)
{
    if (direction == 1) {
        value -= f[2];
        if (value < f[0])
            direction = 0;
    } else {
        value += f[2];
        if (value > f[1])
            direction = 1;
    }
}

float& swung_value(world_object& o, uint8_t kind)
{
    switch (kind) {
    case k_entry_alpha_swing:
        return o.alpha;
    case k_entry_scale_swing:
        return o.scale;
    case k_entry_red_swing:
        return o.red;
    case k_entry_green_swing:
        return o.green;
    default:
        return o.blue;
    }
}

void step_model_frames(world_object& o, int32_t* q)
{
    if (g_ticks <= uint32_t(q[4]))
        return;
    q[4] = int32_t(g_ticks + uint32_t(q[0]));
    const object_proto* p = proto_at(o.proto);
    int64_t next = int64_t(q[3]) + 1;
    q[3] = next < 0 || next >= (p ? proto_model_frames(*p) : 0) ? 0 : int32_t(next);
}

// True when the fade reached its end and freed the object.
bool step_fade(const object_ref& ref, int32_t e, int32_t fading_steps)
{
    world_object* o = ref.get();
    if (o->lifetime == -1 || o->lifetime >= 1)
        return false;
    o->alpha -= k_fade_step * float(fading_steps);
    if (!(o->alpha < 0.0f))
        return false;
    int32_t body = o->entry_ints[e][0], slot = o->entry_ints[e][1], followed = o->entry_ints[e][4];
    if (followed != 0 && followed == g_scene_header.followed_char)
        g_scene_header.followed_char = scene_player_slot();
    if (body == 1 && char_slot_exists(slot))
        run_hook(g_object_links.char_leave_world, "char_leave_world", slot);
    o = ref.get();
    fade_entry_lights(*o);
    free_object_slot(o);
    return true;
}

// The first character the missile at (x, y) hits, or -1. caster: a slot, or -1.
int32_t missile_target(float x, float y, int32_t caster)
{
    uint32_t count = run_hook_or(g_object_links.char_count, "char_count", 0u);
    uint8_t caster_kind = caster >= 0 ? run_hook_or(g_object_links.char_kind, "char_kind", 0, caster) : 0;
    int32_t caster_side = caster >= 0 && caster_kind == k_link_kind_enemy ? 1 : 0;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t s = int32_t(i);
        if (s == caster || !char_world_object(s) ||
            run_hook_or(g_object_links.char_world_fade, "char_world_fade", 0.0f, s) == 0.0f)
            continue;
        uint8_t kind = run_hook_or(g_object_links.char_kind, "char_kind", 0, s);
        int32_t side = kind == k_link_kind_enemy ? 1 : 0;
        if (caster < 0 || (caster_kind == k_link_kind_normal && kind == k_link_kind_normal))
            side = 2;
        if ((side != 2 && kind == k_link_kind_normal) || side == caster_side)
            continue;
        if (run_hook_or(g_object_links.char_outline_contains, "char_outline_contains", false, s, x, y) &&
            run_hook_or(g_object_links.char_life_state, "char_life_state", 0, s) == k_link_life_alive)
            return s;
    }
    return -1;
}

void resolve_hit(const object_ref& ref, int32_t e, int32_t target, int32_t caster, const missile_spell& spell)
{
    world_object* o = ref.get();
    o->lifetime = -2 - target;
    if (spell.damage_kind != 0 || !o->impact)
        return;
    float x = o->x, y = o->y;
    int32_t weapon = o->entry_ints[e][3];
    if (spell.blood_threshold > 3) {
        spawn_bleed(&g_blood, x, y, 1.0f, 40.0f, 5, 0);
        spawn_blood(&g_blood, x, y, 5, 40.0f, 40.0f, 200, 0);
    }
    int32_t damage = run_hook_or(g_object_links.char_take_hit, "char_take_hit", 0, target, caster, weapon,
                                 int32_t(spell.damage_percent), spell.attunement);
    if (damage > 0)
        run_hook(g_object_links.char_hit_reaction, "char_hit_reaction", target, int32_t(spell.stun_min),
                 int32_t(spell.stun_max));
}

void fly(const object_ref& ref, int32_t e, int32_t caster, const missile_spell& spell, int32_t elapsed)
{
    world_object* o = ref.get();
    int32_t steps = spell.speed + spell.speed * elapsed / 2;
    if (steps <= 0 || o->lifetime <= 0)
        return;
    const float* f = o->entry_floats[e];
    float scale = g_scene_header.scale;
    switch (o->entry_ints[e][2]) {
    case k_missile_straight:
        for (int32_t i = 0; i < steps; ++i) {
            o->x += scale * f[0];
            o->y += scale * f[1];
        }
        break;
    case k_missile_rotating: {
        const world_object* centre = char_world_object(caster);
        if (!centre)
            break;  // nothing to turn about: the missile stays
        float c = std::cos(f[0]), s = std::sin(f[0]);
        for (int32_t i = 0; i < steps; ++i) {
            float dx = o->x - centre->x, dy = o->y - centre->y;
            o->x = centre->x + c * dx - s * dy;
            o->y = centre->y + s * dx + c * dy;
        }
        break;
    }
    case k_missile_sinusoid: {
        bool across = (o->angle_b > -45 && o->angle_b < 45) || (o->angle_b > 135 && o->angle_b < 225);
        for (int32_t i = 0; i < steps; ++i) {
            float u = float(o->lifetime) / 2.0f;
            o->x += scale * f[0];
            o->y += scale * f[1];
            if (across)
                o->x += std::cos(u);
            else
                o->y -= std::sin(u);
        }
        break;
    }
    case k_missile_global: {
        // A drop casts again only while it lives: one fading out (lifetime 0) or marked with a hit
        // would hand its drops a lifetime of 0, which means the spell's whole duration, and the
        // rain would never end.
        int32_t& due = o->entry_ints[e][4];
        if (g_ticks <= uint32_t(due) || (o->lifetime < 1 && o->lifetime != -1))
            break;
        due = int32_t(g_ticks + spell.speed);
        int32_t spell_id = o->entry_ints[e][0];
        run_hook(g_behaviour_links.cast_spell, "cast_spell", spell_id, -1, o->x, o->y, 0.0f, 0.0f,
                 int16_t(std::min(o->lifetime, int32_t(INT16_MAX))), 0);
        break;
    }
    default:
        break;
    }
}

// True when a wall ended the flight, which ends the step.
bool step_missile(const object_ref& ref, int32_t e, int32_t elapsed)
{
    world_object* o = ref.get();
    missile_spell spell;
    int32_t caster;
    if (!missile_entry(*o, e, &spell, &caster))
        return false;
    if (o->lifetime > 0) {
        if (!is_cell_passable(&g_movement_map, safe_int(o->x), safe_int(o->y))) {
            o->lifetime = 0;
            return true;
        }
        int32_t target = missile_target(o->x, o->y, caster);
        if (target >= 0)
            resolve_hit(ref, e, target, caster, spell);
    }
    fly(ref, e, caster, spell, elapsed);
    return false;
}

// Runs entry e for the span; true when the step ends there. Swings, spins and the fade take
// each step the span holds; the others act once, a missile's flight by its elapsed ticks.
bool run_entry(const object_ref& ref, int32_t index, int32_t e, const step_span& span)
{
    world_object& o = *ref.get();
    int32_t* q = o.entry_ints[e];
    const float* f = o.entry_floats[e];
    switch (o.entry_kinds[e]) {
    case k_entry_alpha_swing:
    case k_entry_scale_swing:
    case k_entry_red_swing:
    case k_entry_green_swing:
    case k_entry_blue_swing:
        for (int32_t k = 0; k < span.steps; ++k)
            swing(swung_value(o, o.entry_kinds[e]), f, q[0]);
        break;
    case k_entry_spin_a:
    case k_entry_spin_b:
    case k_entry_spin_c: {
        int32_t& angle = o.entry_kinds[e] == k_entry_spin_a ? o.angle_a
                         : o.entry_kinds[e] == k_entry_spin_b ? o.angle_b
                                                              : o.angle_c;
        // Wraps instead of overflowing.
        angle = int32_t(uint32_t(angle) + uint32_t(q[0]) * uint32_t(span.steps));
        break;
    }
    case k_entry_light_follow:
        if (q[0] >= 0 && q[0] < k_light_slots) {
            g_lights[q[0]].x = o.x;
            g_lights[q[0]].y = o.y;
        }
        break;
    case k_entry_model_frames:
        step_model_frames(o, q);
        break;
    case k_entry_fade_out:
        return step_fade(ref, e, span.fading_steps);
    case k_entry_face_owner:
        if (o.owner != k_no_owner)
            if (const world_object* owner = char_world_object(o.owner))
                o.angle_b = owner->angle_b;
        break;
    case k_entry_ground_item:
        if (q[0] >= 0 && q[0] < run_hook_or(g_behaviour_links.ground_item_count, "ground_item_count", 0))
            run_hook(g_behaviour_links.set_ground_item_object, "set_ground_item_object", q[0], index);
        break;
    case k_entry_missile:
        return step_missile(ref, e, span.elapsed);
    default:
        break;
    }
    return false;
}

// The timed emitters the pass counted: serial and index.
std::vector<std::pair<uint32_t, uint32_t>> s_timed_emitters;

bool has_missile_entry(const world_object& o)
{
    for (int32_t e = 0; e < entry_count(o); ++e)
        if (o.entry_kinds[e] == k_entry_missile)
            return true;
    return false;
}

} // namespace

void count_timed_emitter(uint32_t index)
{
    const world_object& o = g_objects[index];
    if (o.state == 0 || o.particle_role != k_role_emitter || o.lifetime == -1 || has_missile_entry(o))
        return;
    // A character's record (prototype below -1) keeps a zero role: only a particle prototype emits.
    const object_proto* p = proto_at(o.proto);
    if (p && p->kind == k_proto_particle)
        s_timed_emitters.emplace_back(object_serial(index), index);
}

void end_oldest_timed_emitters(size_t room)
{
    const size_t keep = k_timed_emitter_limit - std::min(room, k_timed_emitter_limit);
    if (s_timed_emitters.size() > keep) {
        const auto oldest_end = s_timed_emitters.end() - std::ptrdiff_t(keep);
        std::nth_element(s_timed_emitters.begin(), oldest_end, s_timed_emitters.end());
        for (auto it = s_timed_emitters.begin(); it != oldest_end; ++it) {
            world_object& o = g_objects[it->second];
            fade_entry_lights(o);
            free_object_slot(&o);
        }
    }
    s_timed_emitters.clear();
}

void make_room_for_timed_emitters(size_t count)
{
    s_timed_emitters.clear();
    for (uint32_t i = 0; i < g_object_count; ++i)
        count_timed_emitter(i);
    end_oldest_timed_emitters(count);
}

int32_t take_due_steps(uint32_t* next_tick)
{
    const uint32_t gap = g_ticks - *next_tick;
    if (*next_tick == 0 || gap > k_pause_ticks) {
        *next_tick = g_ticks + 2;
        return 1;
    }
    // The last step began 2 ticks before the due tick.
    const uint32_t since = gap + 2;
    *next_tick = g_ticks + 2 - since % k_step_period;
    return int32_t(since / k_step_period);
}

void update_missile_object(world_object* o, int32_t index)
{
    if (g_ticks <= o->next_behaviour_tick)
        return;
    uint32_t gap = g_ticks - o->next_behaviour_tick;
    step_span span{};
    span.elapsed = gap > uint32_t(k_missile_max_elapsed) ? 0 : int32_t(gap);
    span.steps = take_due_steps(&o->next_behaviour_tick);
    span.fading_steps = span.steps;
    object_ref ref(o);

    if (o->lifetime != -1) {
        if (o->lifetime > 0) {
            span.fading_steps = std::max(0, span.steps - o->lifetime + 1);
            o->lifetime = std::max(0, o->lifetime - span.steps);
        }
        if (o->lifetime < 1) {
            fade_entry_lights(*o);
            if (entry_count(*o) == 0 || o->entry_kinds[0] != k_entry_fade_out) {
                end_object(ref);
                return;
            }
        }
    }

    if (entry_count(*o) > 0 && o->entry_kinds[0] == k_entry_trail) {
        step_trail(*o);
        return;
    }
    for (int32_t e = 0; e < entry_count(*ref.get()); ++e) {
        if (ref.get()->state == 0 || run_entry(ref, index, e, span))
            return;
    }
}
