#include "world/dream_world.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/quads.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>

dream_world g_dream_world = {0,
                             {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
                              0xFFFF, 0xFFFF},
                             0, 0.0f, 0, 0, 0, {0.0f, 0.0f, 0.0f}, 0};
dream_hero_link g_dream_hero = {};

namespace {

constexpr float k_alpha_step = 0.04f;
constexpr float k_overlay_colour = 2.0f;
constexpr float k_overlay_scale = 13.0f;

// The ambient steps from a colour to the dream colour (0, 0.5, 1.0), 10 of them.
void set_ambient_steps(dream_world* state, float red, float green, float blue)
{
    state->ambient_step[0] = red / float(k_dream_ambient_steps);
    state->ambient_step[1] = (green - 0.5f) / float(k_dream_ambient_steps);
    state->ambient_step[2] = (blue - 1.0f) / float(k_dream_ambient_steps);
    state->steps = k_dream_ambient_steps;
}

// Every 2 ticks: the overlay fades in (on) or out (off) and the ambient colour takes a step.
void step_fade(dream_world* state)
{
    if (g_ticks < state->fade_tick)
        return;
    state->fade_tick = g_ticks + 2;
    float direction = state->active ? -1.0f : 1.0f;
    if (state->active)
        state->overlay_alpha = std::min(1.0f, state->overlay_alpha + k_alpha_step);
    else
        state->overlay_alpha = std::max(0.0f, state->overlay_alpha - k_alpha_step);
    if (state->steps == 0)
        return;
    g_ambient_color.red += direction * state->ambient_step[0];
    if (state->active)
        g_ambient_color.red = std::max(0.0f, g_ambient_color.red);
    g_ambient_color.green += direction * state->ambient_step[1];
    g_ambient_color.blue += direction * state->ambient_step[2];
    --state->steps;
    set_device_ambient_light();
}

void advance_texture(dream_world* state)
{
    if (g_ticks < state->texture_tick)
        return;
    state->texture_tick = g_ticks + 8;
    state->texture_index = int16_t(state->texture_index + 1);
    if (state->texture_index < 0 || state->texture_index >= k_dream_textures)
        state->texture_index = 0;
}

void draw_overlay(const dream_world* state, float x, float y, float scale)
{
    int16_t index = state->texture_index >= 0 && state->texture_index < k_dream_textures ? state->texture_index : 0;
    uint16_t slot = state->textures[index];
    if (slot == 0xFFFF)
        return;
    draw_texture_screen(slot, x, y, state->overlay_alpha, scale, 0, 0.0f, 0.0f, 0.0f, k_overlay_colour,
                        k_overlay_colour, k_overlay_colour);
}

// The hero's world object, or null.
const world_object* hero_object()
{
    if (!g_object_links.char_object)
        return nullptr;
    int32_t slot = scene_player_slot();
    int32_t index = g_object_links.char_object(slot);
    if (index < 0 || uint32_t(index) >= g_object_count || g_objects[index].state == 0)
        return nullptr;
    return &g_objects[index];
}

int32_t hero_mana()
{
    return g_dream_hero.mana ? g_dream_hero.mana() : 0;
}

bool drain_held()
{
    return g_text_viewer_open || g_interface.menu_open || g_dialogue_running ||
           (g_dream_hero.has_attunement && g_dream_hero.has_attunement(k_dream_ward_item));
}

float dream_alpha()
{
    return g_dream_world.overlay_alpha;
}

} // namespace

void load_dream_textures(dream_world* state)
{
    char name[64];
    for (int i = 0; i < k_dream_textures; ++i) {
        std::snprintf(name, sizeof name, "data/dreamworld/dream%02d.tga", i + 1);
        int32_t slot = get_texture(name, 0, 0, 0, 0, 1, 0);
        state->textures[i] = slot >= 0 && slot < 0xFFFF ? uint16_t(slot) : uint16_t(0xFFFF);
    }
}

void enter_dream_world(dream_world* state, int32_t silent)
{
    state->active = 1;
    state->fade_tick = state->drain_tick = g_ticks;
    set_ambient_steps(state, g_ambient_color.red, g_ambient_color.green, g_ambient_color.blue);
    if (!silent)
        play_voice("data/sound/dream_in.ogg");
}

void leave_dream_world(dream_world* state, int32_t silent)
{
    if (!state->active)
        return;
    state->active = 0;
    set_ambient_steps(state, get_daylight_red(&g_game_clock), get_daylight_green(&g_game_clock),
                      get_daylight_blue(&g_game_clock));
    if (!silent)
        play_voice("data/sound/dream_out.ogg");
}

void update_dream_world(dream_world* state)
{
    if (g_scene_header.level_type == k_level_gui)
        return;
    step_fade(state);
    if (!(state->overlay_alpha > 0.0f))
        return;
    const world_object* hero = hero_object();
    int32_t mana = hero_mana();
    // An empty (or, never expected, negative) pool wakes the hero.
    if (!hero || mana <= 0)
        leave_dream_world(state, 0);
    if (!hero)
        return;
    if (g_ticks >= state->drain_tick) {
        state->drain_tick = g_ticks + 66;
        if (!drain_held() && mana > 0 && g_dream_hero.set_mana)
            g_dream_hero.set_mana(--mana);
    }
    advance_texture(state);
    int32_t closing = (60 - std::clamp(mana, 0, 60)) / 10;  // int((60 - mana) x 0.1) below 60
    draw_overlay(state, (hero->x - g_camera_x) * g_zoom, (hero->y - g_camera_y) * g_zoom,
                 k_overlay_scale - float(closing));
}

void draw_dream_overlay(dream_world* state)
{
    step_fade(state);
    if (!(state->overlay_alpha > 0.0f))
        return;
    advance_texture(state);
    draw_overlay(state, float(g_screen_width / 2), float(g_screen_height / 2), k_overlay_scale);
}

bool dream_overlay_visible(const dream_world* state)
{
    return state->overlay_alpha > 0.0f;
}

void link_dream_world_to_objects()
{
    g_object_links.dream_alpha = dream_alpha;
}
