#include "characters/char_animation.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "core/frame_timing.h"
#include "core/settings.h"
#include "engine/models.h"
#include "engine/ui_texts.h"
#include "world/dream_world.h"
#include "world/world_objects.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr float k_fade_step = 0.04f;
constexpr uint32_t k_fade_ticks = 2;
constexpr float k_sneak_step = 0.005f;
constexpr float k_sneak_alpha = 0.2f;
constexpr float k_unsneak_step = 0.1f;
constexpr float k_part_fade_step = 0.05f;
constexpr int64_t k_stall_ms = 1000;
constexpr int64_t k_ms_per_speed_unit = 16;
constexpr int k_skin_source_part = 8;
constexpr int k_gain_text = 115;
constexpr int k_points_text = 116;

// Fades by one step, landing exactly on 0 or 1 rather than a rounding error short of it.
float fade_out(float value)
{
    value -= k_fade_step;
    return value < k_fade_step / 2 ? 0.0f : value;
}

float fade_in(float value)
{
    value += k_fade_step;
    return value > 1.0f - k_fade_step / 2 ? 1.0f : value;
}

// The world value whose characters show in the world shown, and the one whose characters do not.
uint8_t world_shown()
{
    return g_dream_world.active ? 2 : 1;
}

uint8_t world_hidden()
{
    return g_dream_world.active ? 1 : 2;
}

void step_world_fade(char_record* c)
{
    c->next_fade_tick = g_ticks + k_fade_ticks;
    if (c->world == 0) {
        c->world_fade = 1.0f;
        return;
    }
    bool dream = g_dream_world.active != 0;
    uint8_t shown = world_shown();
    uint8_t hidden = world_hidden();
    if (c->world == hidden)
        c->world_fade = fade_out(c->world_fade);
    else if (c->world == shown)
        c->world_fade = fade_in(c->world_fade);
    if (dream && c->kind == k_kind_enemy && c->world == 2) {
        if (world_object* o = world_object_of(*c)) {
            if (c->anim_action == k_action_move)
                o->alpha = std::max(k_sneak_alpha, o->alpha - k_sneak_step);
            else
                o->alpha = std::min(1.0f, o->alpha + k_unsneak_step);
        }
    }
}

// The frame time of an attack: trunc(attack speed x 10 + 1) ms, so the weapon class, the speed
// skill, armour, shields and attunements set how fast blows come.
int64_t attack_frame_ms(const char_record& c)
{
    const double ms = double(char_attack_speed(&c)) * 10.0 + 1.0;
    return ms >= 1.0 ? int64_t(std::min(ms, double(INT32_MAX))) : 1;  // a negative or NaN factor: 1 ms
}

// One frame step of every body part with a model, by the object's animation mode.
void step_parts(char_record* c, world_object* o)
{
    bool turn = false;
    for (int p = 0; p < k_body_parts; ++p) {
        const model* m = char_part_model(c->part_model[p]);
        if (!m || m->frame_count < 1)
            continue;
        int32_t last = m->frame_count - 1;
        int32_t f = std::min<int32_t>(c->part_frame[p], last);
        switch (o->anim_mode) {
        case k_anim_ping_pong:
            if (!o->backward) {
                f = std::min(f + 1, last);
                turn = turn || (f == last && last > 0);
            } else {
                f = std::max(f - 1, 0);
                turn = turn || (f == 0 && last > 0);
            }
            break;
        case k_anim_loop:
            f = f >= last ? 0 : f + 1;
            break;
        case k_anim_reverse_loop:
            f = f <= 0 ? last : f - 1;
            break;
        case k_anim_once:
            f = std::min(f + 1, last);
            if (c->fade_parts == 1 && c->part_values[3][p] > 0.0f)
                c->part_values[3][p] = std::max(0.0f, c->part_values[3][p] - k_part_fade_step);
            break;
        default:
            break;
        }
        c->part_frame[p] = uint8_t(f);
    }
    if (turn)
        o->backward = o->backward ? 0 : 1;
    if ((o->anim_mode == k_anim_loop || o->anim_mode == k_anim_once) &&
        char_part_model(c->part_model[k_skin_source_part])) {
        for (int p = 0; p < k_body_parts; ++p) {
            const model* m = char_part_model(c->part_model[p]);
            if (m && m->skin_count > 1)
                c->part_extra_a[p] = int16_t(c->part_frame[k_skin_source_part]);
        }
    }
}

void step_frames(char_record* c)
{
    world_object* o = world_object_of(*c);
    if (!o || int64_t(o->next_anim_tick) > int64_t(g_elapsed_ms))
        return;
    int64_t duration = c->anim_action == k_action_attack ? attack_frame_ms(*c)
                                                         : int64_t(c->anim_speed) * k_ms_per_speed_unit;
    int64_t late = int64_t(g_elapsed_ms) - int64_t(o->next_anim_tick);
    if (late > k_stall_ms)
        late = duration - 1;
    int64_t steps = 1;
    if (late > duration && duration > 0) {
        steps = late / duration;
        if (steps > 1)
            late %= duration;
    }
    o->next_anim_tick = uint32_t(std::clamp<int64_t>(int64_t(g_elapsed_ms) + duration - late, 0, UINT32_MAX));
    for (int64_t s = 0; s < steps; ++s)
        step_parts(c, o);
}

} // namespace

void animate_char(char_record* c)
{
    if (c->next_fade_tick < g_ticks)
        step_world_fade(c);
    step_frames(c);
}

void set_char_world_presence(char_record* c)
{
    if (c->world == 0 || c->world == world_shown())
        c->world_fade = 1.0f;
    else if (c->world == world_hidden())
        c->world_fade = 0.0f;
}

double attunement_experience_factor(const char_record* c)
{
    double factor = 1.0;
    if (char_has_attunement(c, 179))
        factor = 1.1;
    if (char_has_attunement(c, 180))
        factor = 1.25;
    if (char_has_attunement(c, 186))
        factor = 1.5;
    return factor;
}

void add_experience(char_record* c, int32_t points)
{
    points = std::max(points, 0);
    c->exp = c->exp > INT32_MAX - points ? INT32_MAX : c->exp + points;
    if (c->slot >= 0 && uint32_t(c->slot) == g_player_char)
        log_add_line(&g_message_log, 1, "%s %s %d %s", c->display_name, ui_text(k_gain_text), points,
                     ui_text(k_points_text));
}

void award_experience(char_record* c, int32_t amount)
{
    const double factor = attunement_experience_factor(c);
    double difficulty = 1.0;
    if (g_player_char < uint32_t(k_char_slots)) {
        switch (g_chars[g_player_char].difficulty) {
        case 2: difficulty = 0.75; break;
        case 3: difficulty = 0.5; break;
        case 4: difficulty = 0.25; break;
        default: break;
        }
    }
    double gain = std::clamp(double(amount) * factor * difficulty, 1.0, double(INT32_MAX));
    add_experience(c, int32_t(gain));
}

void start_char_clip(char_record* c, int32_t id)
{
    if (id < 0 || id >= g_move_proto_count)
        return;
    const char_move_proto& proto = g_move_protos[id];
    std::fill(std::begin(c->part_frame), std::end(c->part_frame), uint8_t(0));
    std::memcpy(c->part_model, proto.part_model, sizeof c->part_model);
    std::memcpy(c->part_values, proto.part_values, sizeof c->part_values);
    std::memcpy(c->part_mode, proto.part_mode, sizeof c->part_mode);
    std::memcpy(c->part_extra_b, proto.part_extra, sizeof c->part_extra_b);
    std::memcpy(c->part_extra_c, proto.part_extra_byte, sizeof c->part_extra_c);
    std::fill(std::begin(c->part_extra_a), std::end(c->part_extra_a), int16_t(0));
    c->anim_speed = proto.frame_time;
}

int32_t char_learn_spell(char_record*, int32_t)
{
    return 1;
}
