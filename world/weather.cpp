#include "world/weather.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/math.h"
#include "engine/packed_stream.h"
#include "world/env_templates.h"
#include "world/game_clock.h"
#include "world/object_order.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <string>

weather_emitters g_rain = {0, 0, -1, 0, 0, {}, {}, {}};
weather_emitters g_snow = {0, 0, -1, 0, 0, {}, {}, {}};
weather_emitters g_fog = {0, 0, -1, 0, 0, {}, {}, {}};
lightning_state g_lightning = {};

namespace {

constexpr float k_rain_depth_offset = 1000.0f;
constexpr float k_fog_depth_offset = 10000.0f;

bool weather_shown()
{
    return g_settings.gr_displayweather != 0;
}

// How the emitters of one weather are laid out and marked.
struct grid_kind {
    float width, height;  // the view the grid covers
    bool depth_sorted;
    float depth_offset;
};

void start_grid(weather_emitters* state, int16_t density, const grid_kind& kind)
{
    if (!weather_shown() || !effect_template(state->template_slot))
        return;
    state->density = density;
    int t = 0;
    bool room = true;  // false once the object array cannot grow
    for (int pass = 0; pass < density && t < k_weather_members && room; ++pass) {
        for (int i = 0; float(i) <= kind.width / k_weather_column_step + 1.0f && t < k_weather_members && room; ++i) {
            for (int j = 0; float(j) <= kind.height / k_weather_row_step && t < k_weather_members; ++j) {
                float dx = k_weather_column_step * float(i), dy = k_weather_row_step * float(j);
                int32_t index = add_object(g_camera_x + dx, g_camera_y - dy, state->template_slot, 1.0f, 1.0f, 0, 0);
                if (index < 0) {
                    room = false;
                    break;
                }
                world_object& o = g_objects[index];
                o.x = g_camera_x + dx;  // also in the editor's corner modes
                o.y = g_camera_y - dy;
                o.has_corners = 0;
                o.particle_role = k_role_emitter;
                o.layer = k_weather_layer;
                o.object_class = k_class_weather;
                if (kind.depth_sorted) {
                    o.depth_sorted = 1;
                    o.state = 2;
                    o.depth_offset = kind.depth_offset;
                }
                state->grid_x[t] = int16_t(dx);
                state->grid_y[t] = int16_t(dy);
                ++t;
            }
        }
    }
    state->member_count = 0;
    state->active = 1;
}

// Whether object `index` is one of this weather's emitters.
bool is_member_object(const weather_emitters* state, int32_t index)
{
    if (index < 0 || uint32_t(index) >= g_object_count)
        return false;
    const world_object& o = g_objects[index];
    return o.state != 0 && o.object_class == k_class_weather && o.proto == state->template_slot;
}

// Every emitter of the weather is freed, also those made since the last object pass, which are
// not members yet.
void stop_grid(weather_emitters* state)
{
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (is_member_object(state, int32_t(i)))
            reset_object(&g_objects[i]);
    state->member_count = 0;
    state->active = 0;
}

void follow_camera(weather_emitters* state)
{
    if (!weather_shown() || !state->active || g_scene_header.level_type != k_level_outside)
        return;
    int count = state->member_count < k_weather_members ? state->member_count : k_weather_members;
    for (int k = 0; k < count; ++k) {
        int32_t index = state->members[k];
        if (index < 0 || uint32_t(index) >= g_object_count)
            continue;
        g_objects[index].x = g_camera_x + float(state->grid_x[k]);
        g_objects[index].y = g_camera_y + float(state->grid_y[k]);
    }
}

float view_width(float zoom)
{
    return float(g_screen_width) / zoom;
}

float view_height(float zoom)
{
    return float(g_screen_height) / zoom;
}

uint32_t random_pause(const lightning_state* state)
{
    return uint32_t(rand_range(float(state->shortest_pause), float(state->longest_pause)));
}

// Steps of the current flash and their size from the ambient colour now.
void set_flash_steps(lightning_state* state, bool size_too)
{
    int steps = 10 / (state->flash + 1);
    state->steps = uint8_t(steps > 0 ? steps : 1);
    if (size_too) {
        state->step[0] = g_ambient_color.red / float(state->steps);
        state->step[1] = g_ambient_color.green / float(state->steps);
        state->step[2] = g_ambient_color.blue / float(state->steps);
    }
}

void move_ambient(const lightning_state* state, float direction)
{
    g_ambient_color.red += direction * state->step[0];
    g_ambient_color.green += direction * state->step[1];
    g_ambient_color.blue += direction * state->step[2];
    set_device_ambient_light();
}

} // namespace

int16_t load_effect_template(const char* path)
{
    int32_t slot = -1;
    for (int32_t s = k_proto_first_template; s < k_proto_slots; ++s) {
        if (g_object_protos[s].kind == k_proto_free) {
            slot = s;
            break;
        }
    }
    if (slot < 0) {
        console_log("ziadne miesto pre sablonu %s", path);
        return -1;
    }
    if (file_exists(path) != 1)
        return -1;
    const bool read = read_object_proto_file(slot, path, "bez sablony");
    object_proto& p = g_object_protos[slot];
    if (!read || p.kind < k_proto_sprite || p.kind > k_proto_surface) {
        if (read) {
            report_damaged_file(path, ("druh " + std::to_string(p.kind)).c_str(), "bez sablony");
            free_object_proto(&p, slot);
        }
        p.kind = k_proto_free;
        return -1;
    }
    p.anim_count = 0;
    return int16_t(slot);
}

const object_proto* effect_template(int16_t slot)
{
    if (slot < k_proto_first_template || slot >= k_proto_slots)
        return nullptr;
    const object_proto* p = &g_object_protos[slot];
    return p->kind == k_proto_free ? nullptr : p;
}

void load_rain(weather_emitters* state)
{
    state->template_slot = load_effect_template("data/env/rain.pr");
}

void load_snow(weather_emitters* state)
{
    state->template_slot = load_effect_template("data/env/snow.pr");
}

void load_fog(weather_emitters* state)
{
    state->template_slot = load_effect_template("data/env/fog.pr");
}

void start_rain(weather_emitters* state, int16_t density, float zoom)
{
    start_grid(state, density, {view_width(zoom), view_height(zoom), true, k_rain_depth_offset});
}

void start_fog(weather_emitters* state, int16_t density, float zoom)
{
    start_grid(state, density, {view_width(zoom), view_height(zoom), true, k_fog_depth_offset});
}

void start_snow(weather_emitters* state, int16_t density)
{
    start_grid(state, density, {float(g_screen_width) * g_zoom, float(g_screen_height) * g_zoom, false, 0.0f});
}

void stop_rain(weather_emitters* state)
{
    stop_grid(state);
}

void stop_snow(weather_emitters* state)
{
    stop_grid(state);
}

void stop_fog(weather_emitters* state)
{
    stop_grid(state);
}

void restart_rain(weather_emitters* state, float zoom)
{
    if (!state->active)
        return;
    stop_rain(state);
    start_rain(state, state->density, zoom);
}

void restart_fog(weather_emitters* state, float zoom)
{
    if (!state->active)
        return;
    stop_fog(state);
    start_fog(state, state->density, zoom);
}

void switch_off_weather(weather_emitters* state)
{
    state->active = 0;
    state->member_count = 0;
}

void update_rain(weather_emitters* state)
{
    follow_camera(state);
}

void update_snow(weather_emitters* state)
{
    follow_camera(state);
}

void update_fog(weather_emitters* state)
{
    follow_camera(state);
}

void clear_weather_members()
{
    g_rain.member_count = g_snow.member_count = g_fog.member_count = 0;
}

void adopt_weather_member(weather_emitters* state, int32_t index)
{
    if (!state->active || state->member_count < 0 || state->member_count >= k_weather_members ||
        !is_member_object(state, index))
        return;
    // Before a member made later: of a newer serial, or of a higher index where the serials
    // tell nothing.
    const uint32_t serial = object_serial(uint32_t(index));
    const auto made_later = [&](int32_t member) {
        const uint32_t member_serial = object_serial(uint32_t(member));
        return member_serial != serial ? member_serial > serial : member > index;
    };
    int32_t k = state->member_count++;
    for (; k > 0 && made_later(state->members[k - 1]); --k)
        state->members[k] = state->members[k - 1];
    state->members[k] = int16_t(index);
}

void offer_weather_member(int32_t index)
{
    adopt_weather_member(&g_rain, index);
    adopt_weather_member(&g_snow, index);
    adopt_weather_member(&g_fog, index);
}

void link_weather_to_objects()
{
    g_object_links.clear_weather_members = clear_weather_members;
    g_object_links.offer_weather_member = offer_weather_member;
}

void toggle_lightning(lightning_state* state)
{
    state->state = state->state == k_lightning_off ? k_lightning_waiting : k_lightning_off;
    state->shortest_pause = 200;
    state->longest_pause = 600;
    state->due = g_ticks + random_pause(state);
    state->flash = 1;
    state->flashes = uint8_t(2 + int(rand_range(0.0f, 2.0f)));
}

void update_lightning(lightning_state* state)
{
    if (state->state == k_lightning_off || g_ticks < state->due)
        return;
    switch (state->state) {
    case k_lightning_waiting:
        state->state = k_lightning_flash_due;
        break;
    case k_lightning_flash_due:
        state->due = g_ticks + 2;
        state->state = k_lightning_brightening;
        set_flash_steps(state, true);
        break;
    case k_lightning_brightening:
        move_ambient(state, 1.0f);
        state->due = g_ticks + 1;
        if (--state->steps == 0) {
            state->state = k_lightning_darkening;
            set_flash_steps(state, false);
        }
        break;
    case k_lightning_darkening:
        move_ambient(state, -1.0f);
        state->due = g_ticks + 1;
        if (--state->steps == 0) {
            ++state->flash;
            if (state->flash < state->flashes) {
                state->due = g_ticks + 10;
            } else {
                state->due = g_ticks + random_pause(state);
                state->flash = 0;
                state->flashes = uint8_t(1 + int(rand_range(0.0f, 2.0f)));
            }
            state->state = k_lightning_waiting;
        }
        break;
    default:
        state->state = k_lightning_off;
        break;
    }
}

bool lightning_in_progress(const lightning_state* state)
{
    return state->state >= k_lightning_flash_due;
}
