#include "world/game_clock.h"

#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "engine/render_context.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/weather.h"

#include <algorithm>

game_clock g_game_clock;

namespace {

constexpr float k_ramp_step_red_green = 0.0069444445f;
constexpr float k_ramp_step_blue = 0.004166667f;

struct daylight_band {
    ambient_colour colour;
    uint8_t phase;
};

constexpr daylight_band k_night = {{0.2f, 0.2f, 0.5f}, k_light_phase_night};
constexpr daylight_band k_day = {{1.0f, 1.0f, 1.0f}, k_light_phase_day};

bool in_dawn(const game_clock* clock) { return clock->hour >= 5 && clock->hour < 7; }
bool in_day(const game_clock* clock) { return clock->hour >= 7 && clock->hour < 18; }
bool in_dusk(const game_clock* clock) { return clock->hour >= 18 && clock->hour < 20; }

daylight_band dawn_band(const game_clock* clock)
{
    float f = float((clock->hour - 5) * 60 + clock->minute) / 120.0f;
    return {{0.2f + 0.8f * f, 0.2f + 0.8f * f, 0.5f + f / 2.0f}, k_light_phase_day};
}

daylight_band dusk_band(const game_clock* clock)
{
    float f = float((clock->hour - 18) * 60 + clock->minute) / 120.0f;
    return {{1.0f - 0.8f * f, 1.0f - 0.8f * f, 1.0f - f / 2.0f}, k_light_phase_night};
}

daylight_band band_of(const game_clock* clock)
{
    if (in_dawn(clock))
        return dawn_band(clock);
    if (in_day(clock))
        return k_day;
    if (in_dusk(clock))
        return dusk_band(clock);
    return k_night;
}

ambient_colour fixed_light()
{
    return {g_scene_header.light_red, g_scene_header.light_green, g_scene_header.light_blue};
}

void show_band(game_clock* clock, const daylight_band& band)
{
    g_ambient_color = band.colour;
    set_device_ambient_light();
    clock->light_phase = band.phase;
}

void start_ramp(game_clock* clock, uint32_t* ramp, const daylight_band& band)
{
    *ramp = 1;
    clock->ramp_minute = clock->minute;
    clock->ramp_red = band.colour.red;
    clock->ramp_green = band.colour.green;
    clock->ramp_blue = band.colour.blue;
}

// The current colour follows the ramp; once a minute the ramp moves by one step (direction -1
// falls, +1 rises and stops at 1.0).
void run_ramp(game_clock* clock, float direction, uint8_t phase)
{
    g_ambient_color = {clock->ramp_red, clock->ramp_green, clock->ramp_blue};
    set_device_ambient_light();
    if (clock->minute != clock->ramp_minute) {
        clock->ramp_minute = clock->minute;
        clock->ramp_red += direction * k_ramp_step_red_green;
        clock->ramp_green += direction * k_ramp_step_red_green;
        clock->ramp_blue += direction * k_ramp_step_blue;
        if (direction > 0) {
            clock->ramp_red = std::min(clock->ramp_red, 1.0f);
            clock->ramp_green = std::min(clock->ramp_green, 1.0f);
            clock->ramp_blue = std::min(clock->ramp_blue, 1.0f);
        }
    }
    clock->light_phase = phase;
}

} // namespace

void init_game_clock(game_clock* clock)
{
    clock->day = 1;
    clock->hour = 17;
    clock->minute = 55;
    clock->next_minute_tick = 0;
}

void rest_until_morning(game_clock* clock)
{
    if (clock->hour < 7) {
        clock->hour = uint8_t(clock->hour + 8);
    } else {
        clock->hour = 7;
        ++clock->day;
    }
}

void wait_until_evening(game_clock* clock)
{
    if (clock->hour >= 20)
        ++clock->day;
    clock->hour = 20;
}

uint32_t get_clock_minutes(const game_clock* clock)
{
    return ((clock->day - 1) * 24 + clock->hour) * 60 + clock->minute;
}

void advance_game_clock(game_clock* clock)
{
    uint8_t level_type = g_scene_header.level_type;
    if (g_work_mode != k_work_play || level_type == k_level_gui || g_text_viewer_open || g_interface.menu_open)
        return;
    if (g_ticks >= clock->next_minute_tick) {
        clock->next_minute_tick = g_ticks + 100;
        ++clock->minute;
    }
    if (clock->minute > 59) {
        ++clock->hour;
        clock->minute = 0;
    }
    if (clock->hour > 23) {
        clock->hour = 0;
        ++clock->day;
    }

    if (lightning_in_progress(&g_lightning))
        return;
    if (dream_overlay_visible(&g_dream_world)) {
        set_device_ambient_light();
        return;
    }
    if (level_type == k_level_inside)
        g_ambient_color = fixed_light();
    set_device_ambient_light();
    if (level_type != k_level_outside)
        return;

    if (!in_dusk(clock))
        clock->dusk_ramp = 0;
    else if (!clock->dusk_ramp)
        start_ramp(clock, &clock->dusk_ramp, dusk_band(clock));
    if (!in_dawn(clock))
        clock->dawn_ramp = 0;
    else if (!clock->dawn_ramp)
        start_ramp(clock, &clock->dawn_ramp, dawn_band(clock));

    if (clock->dusk_ramp)
        run_ramp(clock, -1.0f, k_light_phase_night);
    if (clock->dawn_ramp)
        run_ramp(clock, 1.0f, k_light_phase_day);
}

void apply_daylight(game_clock* clock)
{
    if (g_work_mode != k_work_play || g_scene_header.level_type != k_level_outside)
        return;
    if (dream_overlay_visible(&g_dream_world)) {
        set_device_ambient_light();
        return;
    }
    if (lightning_in_progress(&g_lightning))
        return;
    if (clock->hour >= 20 || clock->hour < 6)
        show_band(clock, k_night);
    if (in_day(clock))
        show_band(clock, k_day);
    if (in_dusk(clock)) {
        show_band(clock, dusk_band(clock));
        start_ramp(clock, &clock->dusk_ramp, dusk_band(clock));
    }
    if (in_dawn(clock)) {
        show_band(clock, dawn_band(clock));
        start_ramp(clock, &clock->dawn_ramp, dawn_band(clock));
    }
}

float get_daylight_red(const game_clock* clock)
{
    return g_scene_header.level_type == k_level_inside ? g_scene_header.light_red : band_of(clock).colour.red;
}

float get_daylight_green(const game_clock* clock)
{
    return g_scene_header.level_type == k_level_inside ? g_scene_header.light_green : band_of(clock).colour.green;
}

float get_daylight_blue(const game_clock* clock)
{
    return g_scene_header.level_type == k_level_inside ? g_scene_header.light_blue : band_of(clock).colour.blue;
}
