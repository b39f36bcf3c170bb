#include "world/scene_header.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/sound.h"
#include "platform/random.h"
#include "world/game_clock.h"
#include "world/weather.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

scene_header g_scene_header;
explicit_entry g_explicit_entry;
uint32_t g_camera_clamp_x = 0;
uint32_t g_camera_clamp_y = 0;
scene_hero_link g_scene_hero = {};

int16_t scene_player_slot()
{
    return g_scene_hero.player_slot ? g_scene_hero.player_slot() : 0;
}

namespace {

bool player_alive()
{
    return g_scene_hero.player_alive ? g_scene_hero.player_alive() : true;
}

// The weather roll starts a weather with one grid pass at the present zoom.
constexpr int16_t k_rolled_density = 1;

void start_weather(int16_t weather)
{
    if (weather == k_weather_rain)
        start_rain(&g_rain, k_rolled_density, g_zoom);
    else if (weather == k_weather_snow)
        start_snow(&g_snow, k_rolled_density);
    else if (weather == k_weather_fog)
        start_fog(&g_fog, k_rolled_density, g_zoom);
}

void stop_weather(int16_t weather)
{
    if (weather == k_weather_rain)
        stop_rain(&g_rain);
    else if (weather == k_weather_snow)
        stop_snow(&g_snow);
    else if (weather == k_weather_fog)
        stop_fog(&g_fog);
}

template <class Io, class Header>
void scene_header_fields(Io& io, Header& h)
{
    io.bytes(0, h.reserved0, 20);
    io.u8(20, h.entry_count);
    io.bytes(21, h.pad21, 3);
    for (uint32_t i = 0; i < k_entry_points; ++i) {
        io.f32(24 + 4 * i, h.entry_x[i]);
        io.f32(56 + 4 * i, h.entry_y[i]);
        io.i16(88 + 2 * i, h.entry_angle[i]);
    }
    io.f32(104, h.camera_min_x);
    io.f32(108, h.camera_max_x);
    io.f32(112, h.camera_min_y);
    io.f32(116, h.camera_max_y);
    io.u8(120, h.level_type);
    io.bytes(121, h.pad121, 3);
    io.f32(124, h.light_red);
    io.f32(128, h.light_green);
    io.f32(132, h.light_blue);
    io.f32(136, h.scale);
    io.u32(140, h.reserved140[0]);
    io.u32(144, h.reserved140[1]);
    io.u32(148, h.reserved148);
    io.bytes(152, h.display_name, 80);
    io.bytes(232, h.music_name, 20);
    io.bytes(252, h.second_name, 30);
    io.i16(282, h.followed_char);
    io.bytes(284, h.reserved284, 48);
    io.i16(332, h.ground_type);
    io.i16(334, h.weather);
    io.u32(336, h.next_weather_tick);
    io.i16(340, h.rain_chance);
    io.i16(342, h.snow_chance);
    io.i16(344, h.fog_chance);
    io.bytes(346, h.reserved346, 14);
    io.i16(360, h.rain_duration);
    io.i16(362, h.snow_duration);
    io.i16(364, h.fog_duration);
    io.bytes(366, h.reserved366, 34);
}

float view_width()
{
    return float(g_screen_width) / g_zoom;
}

float view_height()
{
    return float(g_screen_height) / g_zoom;
}

// Starts the weather whose roll r is below its chance, trying rain, snow and fog in turn.
bool roll_weather(scene_header* header, int r)
{
    struct option {
        int16_t weather, chance, duration;
    };
    const option options[3] = {{k_weather_rain, header->rain_chance, header->rain_duration},
                               {k_weather_snow, header->snow_chance, header->snow_duration},
                               {k_weather_fog, header->fog_chance, header->fog_duration}};
    for (const option& o : options) {
        if (r < o.chance) {
            start_weather(o.weather);
            header->weather = o.weather;
            header->next_weather_tick = g_ticks + uint32_t(o.duration * 100);
            return true;
        }
    }
    return false;
}

} // namespace

void reset_scene_header(scene_header* header)
{
    header->entry_count = 0;
    header->camera_min_x = -100000.0f;
    header->camera_max_x = 100000.0f;
    header->camera_min_y = -100000.0f;
    header->camera_max_y = 100000.0f;
    header->light_red = 1.0f;
    header->light_green = 1.0f;
    header->light_blue = 1.0f;
    header->level_type = k_level_outside;
    header->scale = 1.0f;
    header->reserved140[0] = 0;
    header->reserved140[1] = 0;
    header->reserved148 = 0;
    header->ground_type = 0;
    copy_bounded(header->display_name, sizeof header->display_name, "new map");
}

bool write_scene_header(packed_stream* stream)
{
    if (!stream)
        return false;
    uint8_t bytes[k_scene_header_size];
    record_writer out{bytes};
    scene_header_fields(out, g_scene_header);
    return stream_write_u32le(k_scene_header_size, stream) >= 0 &&
           stream_write(bytes, int(sizeof bytes), stream) == int(sizeof bytes);
}

bool scene_header_numbers_sound(const scene_header& header)
{
    auto coordinate = [](float v) { return std::isfinite(v) && std::fabs(v) <= k_scene_coordinate_limit; };
    if (!std::isfinite(header.scale) || !(header.scale > 0.0f) || header.scale > k_scene_scale_max)
        return false;
    for (float bound : {header.camera_min_x, header.camera_max_x, header.camera_min_y, header.camera_max_y})
        if (!coordinate(bound))
            return false;
    for (int32_t n = 0; n < std::min<int32_t>(header.entry_count, k_entry_points); ++n)
        if (!coordinate(header.entry_x[n]) || !coordinate(header.entry_y[n]))
            return false;
    return true;
}

bool read_scene_header_record(packed_stream* stream, scene_header* header)
{
    if (!stream)
        return false;
    int64_t stored_size = stream_read_u32le(stream);
    if (stored_size < 0) {
        console_log("ziadne info o scene");
        return false;
    }
    // Bytes beyond a shorter stored record keep the header's present values.
    uint8_t bytes[k_scene_header_size];
    record_writer out{bytes};
    scene_header_fields(out, *header);
    if (!read_stored_record(stream, bytes, sizeof bytes, uint32_t(stored_size)))
        return false;
    scene_header read = *header;
    record_reader in{bytes};
    scene_header_fields(in, read);
    if (read.entry_count > k_entry_points)
        read.entry_count = k_entry_points;
    if (!scene_header_numbers_sound(read)) {
        console_log("hlavicka sceny odmietnuta: mierka %g, hranice %g %g %g %g", double(read.scale),
                    double(read.camera_min_x), double(read.camera_max_x), double(read.camera_min_y),
                    double(read.camera_max_y));
        return false;
    }
    read.followed_char = scene_player_slot();
    read.reserved148 = 0;
    *header = read;
    return true;
}

bool read_scene_header(packed_stream* stream)
{
    if (!stream)
        return false;
    g_scene_header.entry_count = 0;
    if (g_scene_hero.reassign_attackers)
        g_scene_hero.reassign_attackers();
    return read_scene_header_record(stream, &g_scene_header);
}

bool skip_scene_header(packed_stream* stream)
{
    scene_header scratch = g_scene_header;
    scratch.entry_count = 0;  // as read_scene_header reads over it
    return read_scene_header_record(stream, &scratch);
}

void play_scene_music(scene_header* header)
{
    if (g_scene_start_suppressed)
        return;
    char path[64];
    std::snprintf(path, sizeof path, "data/music/%.*s.ogg", int(strnlen(header->music_name, sizeof header->music_name)),
                  header->music_name);
    console_log("%s", path);
    if (file_exists(path) == 1)
        play_map_music(path);
    g_zoom_target = g_zoom = float(g_screen_width) / 1024.0f;
    switch_off_weather(&g_rain);  // its emitters went with the previous level's objects
    header->followed_char = scene_player_slot();
    header->reserved148 = 0;
    header->weather = k_weather_none;
    header->next_weather_tick = 0;
    clear_combat_list();
    if (header->level_type == k_level_inside)
        g_ambient_color = {header->light_red, header->light_green, header->light_blue};
}

void stop_scene_music()
{
    stop_map_music();
}

void apply_ambient_light(scene_header* header)
{
    if (player_alive() || header->level_type == k_level_gui) {
        if (header->level_type == k_level_outside)
            apply_daylight(&g_game_clock);
        else
            g_ambient_color = {header->light_red, header->light_green, header->light_blue};
    } else {
        g_ambient_color = {1.0f, 0.0f, 0.0f};
    }
    set_device_ambient_light();
}

void update_weather(scene_header* header)
{
    if (g_editor_enabled || g_work_mode != k_work_play || g_ticks < header->next_weather_tick)
        return;
    stop_weather(header->weather);
    header->weather = k_weather_none;
    int r = game_rand() % 100;
    console_log("sanca na pocasie %d", r);
    if (!roll_weather(header, r))
        header->next_weather_tick = g_ticks + 1000;
}

void place_hero_at_entry(scene_header* header, int32_t n)
{
    console_log("entry point %d", int(n));
    float x = 0.0f, y = 0.0f;
    int16_t facing = 0;
    bool placed = false;
    if (n == -1 && g_explicit_entry.set) {
        x = float(g_explicit_entry.x);
        y = float(g_explicit_entry.y);
        facing = int16_t(g_explicit_entry.facing);
        g_explicit_entry.set = 0;
        placed = true;
    } else if (n == -1) {
        placed = g_scene_hero.player_position && g_scene_hero.player_position(&x, &y, &facing);
    } else if (n >= 0 && n < header->entry_count) {
        x = header->entry_x[n];
        y = header->entry_y[n];
        facing = header->entry_angle[n];
        placed = true;
    }
    if (placed) {
        if (g_scene_hero.put_player)
            g_scene_hero.put_player(x, y, facing);
        g_camera_x = x - view_width() / 2.0f;
        g_camera_y = y - view_height() / 2.0f;
    } else {
        if (g_scene_hero.put_player)
            g_scene_hero.put_player(0.0f, 0.0f, -1);
        g_camera_x = -view_width() / 2.0f;
        g_camera_y = -view_height() / 2.0f;
    }
    header->followed_char = scene_player_slot();
    clamp_camera_to_scene(header);
}

void clamp_camera_to_scene(const scene_header* header)
{
    g_camera_clamp_y = 0;
    if (g_camera_y > header->camera_max_y - view_height()) {
        g_camera_y = header->camera_max_y - view_height();
        g_camera_clamp_y = 1;
    }
    g_camera_clamp_x = 0;
    if (g_camera_x > header->camera_max_x - view_width()) {
        g_camera_x = header->camera_max_x - view_width();
        g_camera_clamp_x = 1;
    }
    if (g_camera_y < header->camera_min_y) {
        g_camera_y = header->camera_min_y;
        g_camera_clamp_y = 1;
    }
    if (g_camera_x < header->camera_min_x) {
        g_camera_x = header->camera_min_x;
        g_camera_clamp_x = 1;
    }
}

bool add_entry_point(scene_header* header)
{
    if (header->entry_count >= k_entry_points || !g_scene_hero.player_position)
        return false;
    float x, y;
    int16_t facing;
    if (!g_scene_hero.player_position(&x, &y, &facing))
        return false;
    header->entry_x[header->entry_count] = x;
    header->entry_y[header->entry_count] = y;
    header->entry_angle[header->entry_count] = facing;
    ++header->entry_count;
    return true;
}

void remove_entry_point(scene_header* header, int32_t n)
{
    if (n < 0 || n >= header->entry_count)
        return;
    for (int32_t i = n; i + 1 < header->entry_count; ++i) {
        header->entry_x[i] = header->entry_x[i + 1];
        header->entry_y[i] = header->entry_y[i + 1];
        header->entry_angle[i] = header->entry_angle[i + 1];
    }
    --header->entry_count;
}
