#include "characters/char_drawing.h"

#include "characters/char_models.h"
#include "characters/char_outline.h"
#include "characters/char_rule_links.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/focus_list.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/model_draw.h"
#include "engine/models.h"
#include "engine/render_context.h"
#include "engine/ui_texts.h"
#include "script/script_services.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/object_draw_internal.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <cstdio>

namespace {

enum part_value : int { k_part_red = 0, k_part_green, k_part_blue, k_part_alpha, k_part_scale };

constexpr int k_glow_part = 15;   // the first pass's parts
constexpr int k_aura_part = 16;
constexpr int k_preview_hidden_first = 15;  // the preview hides parts 15 to 18
constexpr int k_preview_hidden_last = 18;
constexpr float k_aura_brightness = 1.5f;
constexpr float k_shadow_alpha = 0.4f;
constexpr int32_t k_shadow_angle = 85;
constexpr float k_depth_divisor = 55.0f;
constexpr float k_preview_height = 300.0f;
constexpr int16_t k_preview_anim_speed = 10;
constexpr uint32_t k_preview_turn_ticks = 3;
constexpr float k_player_ambient_limit = 0.6f;
constexpr float k_second_pass_alpha = 0.3f;
constexpr uint8_t k_no_interior = 255;
constexpr int k_hit_points_text = 6;
constexpr int32_t k_fighter_label_margin = 98;
constexpr int32_t k_ordinary_label_margin = 80;
constexpr uint8_t k_first_dream_layer = 29;
constexpr uint8_t k_last_dream_layer = 32;

// Shared by every preview.
struct preview_clock {
    int32_t angle = 0;
    uint32_t next_turn_tick = 0;
    int32_t frame = 0;
    uint32_t next_frame_tick = 0;
};
preview_clock g_preview;

int32_t slot_of(const char_record* c)
{
    if (c >= g_chars && c < g_chars + k_char_slots)
        return int32_t(c - g_chars);
    return c->slot;
}

model* part_model_of(const char_record* c, int part)
{
    return char_part_model(c->part_model[part]);
}

// Steps every draw takes first: the drawn alpha and the player's light at the character.
bool begin_char_draw(char_record* c, float x, float y, float alpha)
{
    c->drawn_alpha = 0.0f;
    if (c->life == k_life_gone)
        return false;
    c->drawn_alpha = alpha;
    if (c->kind == k_kind_player && c->light < k_light_slots) {
        light_record& light = g_lights[c->light];
        light.x = x;
        light.y = y;
        light.target_x = g_mouse_x;
        light.target_y = g_mouse_y;
    }
    return true;
}

// The focus entry and label of a character under the mouse; true when it is an ENEMY or
// SIDEKICK, which is lit as hovered.
bool take_mouse_focus(const char_record* c, float alpha)
{
    if (c->world_fade == 0.0f || c->life != k_life_alive || g_dialogue_running || !(alpha > 0.0f) ||
        c->kind == k_kind_player || !char_outline_contains(c, g_mouse_x, g_mouse_y))
        return false;
    char label[192];
    int32_t margin = 0;
    bool fighter = false;
    if (c->kind == k_kind_enemy || c->kind == k_kind_sidekick) {
        std::snprintf(label, sizeof label, "L%d %s (%d %s)", int(c->level), c->display_name,
                      int(shown_hit_points(*c)), ui_text(k_hit_points_text));
        margin = k_fighter_label_margin;
        focus_list_add(&g_focus_list, k_focus_fighter, uint32_t(slot_of(c)));
        fighter = true;
    } else if (c->kind == k_kind_normal) {
        std::snprintf(label, sizeof label, "%s", c->display_name);
        margin = k_ordinary_label_margin;
        focus_list_add(&g_focus_list, k_focus_ordinary, uint32_t(slot_of(c)));
    } else {
        return false;  // another player: no entry and no label
    }
    if (!slide_show_on_screen()) {
        char markup[320];
        std::snprintf(markup, sizeof markup, "^window 10 10 %d 30 ^center_x ^no_rect ^gl_a 0 %s",
                      int(font_measure_text(&g_font_large, label) + margin), label);
        reset_text_window(&g_message_window);
        show_text_message(markup);
    }
    return fighter;
}

// The lighting around one character's drawing: its depth, the lights raised to it and the
// ambient colour it is drawn under; leave() puts everything back.
class char_lighting {
public:
    char_lighting(char_record* c, float y, float z, float scale, bool hovered) : c_(c), z_(z)
    {
        if (world_object* o = world_object_of(*c)) {
            o->depth_key = depth_key_sum(safe_int(y), safe_int(o->depth_offset));
            if (scale != 0.0f)
                z_ = y / scale / k_depth_divisor;
            o->z = z_;
        }
        raise_lights_z(z_, 1.0f);
        const bool fixed_light = g_scene_header.level_type != k_level_outside || g_editor_enabled ||
                                 dream_overlay_visible(&g_dream_world) || lightning_in_progress(&g_lightning);
        if (!fixed_light) {
            if (c->kind == k_kind_player && g_ambient_color.red > k_player_ambient_limit)
                g_ambient_color = {k_player_ambient_limit, k_player_ambient_limit, k_player_ambient_limit};
            set_device_ambient_light();
        }
        const int32_t slot = slot_of(c);
        white_ = c->interior != k_no_interior || hovered || (g_dialogue_running && g_dialogue_partner == slot);
        if (white_ && g_d3d_device)
            g_d3d_device->set_render_state(render_state::ambient, 0xFFFFFFFFu);
    }
    char_lighting(const char_lighting&) = delete;
    char_lighting& operator=(const char_lighting&) = delete;
    ~char_lighting()
    {
        apply_daylight(&g_game_clock);
        lower_lights_z(z_, 1.0f);
        if (g_work_mode == k_work_sectors)
            char_draw_outline(c_);
        if (white_)
            set_device_ambient_light();
    }

    float z() const { return z_; }

private:
    char_record* c_;
    float z_;
    bool white_ = false;
};

void draw_part(const char_record* c, int part, float x, float y, float z, float scale, int32_t angle_a,
               int32_t angle_b, int32_t angle_c, bool shadow, int32_t frame, int32_t variant)
{
    const float part_scale = c->part_values[k_part_scale][part];
    draw_model(part_model_of(c, part), x, y, z, scale, shadow ? k_shadow_angle : angle_a, angle_b, angle_c,
               shadow ? 0 : 1, frame, 0, shadow ? 1 : 0, c->part_extra_a[part], c->scale_x * part_scale,
               c->scale_y * part_scale, variant);
}

void draw_preview(char_record* c, float x, float y, float scale, float alpha, int32_t angle_a, int32_t angle_c,
                  float r, float g, float b)
{
    const char_record kept = *c;
    c->anim_speed = k_preview_anim_speed;
    set_char_anim(c, 0, 1, 0);
    for (int part = k_preview_hidden_first; part <= k_preview_hidden_last; ++part)
        c->part_model[part] = -1;
    if (g_ticks >= g_preview.next_turn_tick) {
        g_preview.next_turn_tick = g_ticks + k_preview_turn_ticks;
        g_preview.angle = (g_preview.angle + 1) % 360;
    }
    const model* body = part_model_of(c, 0);
    const int32_t frames = body ? body->frame_count : 0;
    if (g_ticks >= g_preview.next_frame_tick) {
        g_preview.next_frame_tick = g_ticks + uint32_t(c->anim_speed);
        g_preview.frame = frames > 0 ? (g_preview.frame + 1) % frames : 0;
    }
    if (g_preview.frame >= frames)
        g_preview.frame = 0;
    for (int part = 0; part < k_body_parts; ++part) {
        model* m = part_model_of(c, part);
        if (!m)
            continue;
        set_model_colour(m, r * c->part_values[k_part_red][part], g * c->part_values[k_part_green][part],
                         b * c->part_values[k_part_blue][part], alpha * c->part_values[k_part_alpha][part]);
        draw_part(c, part, x, y, k_preview_height, scale, angle_a, g_preview.angle, angle_c, false, g_preview.frame,
                  -1);
    }
    const float drawn_alpha = c->drawn_alpha;
    *c = kept;
    c->drawn_alpha = drawn_alpha;
}

} // namespace

void draw_chars(char_record* c, float x, float y, float z, float scale, float alpha, int32_t angle_a,
                int32_t angle_b, int32_t angle_c, float r, float g, float b, int32_t preview)
{
    if (!begin_char_draw(c, x, y, alpha))
        return;
    const bool hovered = take_mouse_focus(c, alpha);
    if (preview) {
        draw_preview(c, x, y, scale, alpha, angle_a, angle_c, r, g, b);
        return;
    }
    if (c->world_fade == 0.0f)
        return;
    const float a = alpha * c->world_fade;
    char_lighting lighting(c, y, z, scale, hovered);
    if (g_settings.gr_displayshadows) {
        for (int part = 0; part < k_body_parts; ++part) {
            model* m = part_model_of(c, part);
            if (!m || part == k_glow_part || part == k_aura_part)
                continue;
            set_model_rgba(m, 0.0f, 0.0f, 0.0f, a * k_shadow_alpha);
            draw_part(c, part, x, y, lighting.z(), scale, angle_a, angle_b, angle_c, true, c->part_frame[part],
                      c->part_mode[part]);
        }
    }
    for (int part = 0; part < k_body_parts; ++part) {
        model* m = part_model_of(c, part);
        if (!m || part == k_glow_part || part == k_aura_part)
            continue;
        set_model_colour(m, r * c->part_values[k_part_red][part], g * c->part_values[k_part_green][part],
                         b * c->part_values[k_part_blue][part], a * c->part_values[k_part_alpha][part]);
        draw_part(c, part, x, y, lighting.z(), scale, angle_a, angle_b, angle_c, false, c->part_frame[part],
                  c->part_mode[part]);
    }
}

void draw_char_first_pass(char_record* c, float x, float y, float z, float scale, float alpha, int32_t angle_a,
                          int32_t angle_b, int32_t angle_c, float r, float g, float b)
{
    if (!begin_char_draw(c, x, y, alpha) || c->world_fade == 0.0f)
        return;
    const float a = alpha * c->world_fade;
    char_lighting lighting(c, y, z, scale, false);
    if (model* m = part_model_of(c, k_glow_part)) {
        set_model_colour(m, r * c->part_values[k_part_red][k_glow_part], g * c->part_values[k_part_green][k_glow_part],
                         b * c->part_values[k_part_blue][k_glow_part], a * c->part_values[k_part_alpha][k_glow_part]);
        draw_part(c, k_glow_part, x, y, lighting.z(), scale, angle_a, angle_b, angle_c, false,
                  c->part_frame[k_glow_part], c->part_mode[k_glow_part]);
    }
    if (model* m = part_model_of(c, k_aura_part)) {
        set_model_colour(m, c->part_values[k_part_red][k_aura_part] * k_aura_brightness,
                         c->part_values[k_part_green][k_aura_part] * k_aura_brightness,
                         c->part_values[k_part_blue][k_aura_part] * k_aura_brightness,
                         a * c->part_values[k_part_alpha][k_aura_part]);
        draw_part(c, k_aura_part, x, y, lighting.z(), scale, angle_a, angle_b, angle_c, false,
                  c->part_frame[k_aura_part], c->part_mode[k_aura_part]);
    }
}

void draw_char_at_object(int32_t slot, const world_object& o, float scale, float alpha)
{
    if (char_record* c = char_at(slot))
        draw_chars(c, o.x, o.y, o.z, scale, alpha, o.angle_a, o.angle_b, o.angle_c, o.red, o.green, o.blue, 0);
}

void draw_char_passes()
{
    if (g_work_mode != k_work_play)
        return;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && !g_interface.f8_toggle)
            break;
        for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
            const world_object* o = world_object_of(g_chars[s]);
            if (!o || o->proto >= -1 || !is_object_visible(o))
                continue;
            char_record* c = char_at(-2 - o->proto);
            if (!c)
                continue;
            float alpha = o->alpha;
            if (o->layer >= k_first_dream_layer && o->layer <= k_last_dream_layer)
                alpha *= g_dream_world.overlay_alpha;
            const float scale = g_scene_header.scale * o->scale;
            if (pass == 0)
                draw_char_first_pass(c, o->x, o->y, o->z, scale, alpha, o->angle_a, o->angle_b, o->angle_c, o->red,
                                     o->green, o->blue);
            else
                draw_chars(c, o->x, o->y, o->z, scale, alpha * k_second_pass_alpha, o->angle_a, o->angle_b,
                           o->angle_c, o->red, o->green, o->blue, 0);
        }
    }
}
