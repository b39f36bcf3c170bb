// The travel map's screen, modal loop and per-pass handling.
#include "shell/travel_map.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "engine/render_context.h"
#include "level/level_change.h"
#include "level/level_effects.h"
#include "platform/clock.h"
#include "script/entities.h"
#include "script/quests.h"
#include "shell/fades.h"
#include "shell/level_requests.h"
#include "shell/window.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

const int16_t k_travel_map_labels[k_map_locations] = {6,  7,  8,  9,  10, 11, 13, 15, 17, 19,
                                                      21, 23, 25, 27, 29, 31, 33, 35, 37};
const int16_t k_travel_map_markers[k_map_locations] = {0,  1,  2,  3,  4,  5,  12, 14, 16, 18,
                                                       20, 22, 24, 26, 28, 30, 32, 34, 36};
uint32_t g_travel_map_fade_tick[k_map_locations] = {};

namespace {

constexpr uint32_t k_tick_ms = 16;
constexpr uint32_t k_fade_interval = 2;  // ticks after a step before the next may come
constexpr float k_fade_step = 0.1f;
constexpr int k_story_quest = 3;         // its state 3 moves locations 1 and 6 on
constexpr uint8_t k_story_quest_state = 3;
constexpr uint32_t k_refusal_colour = 0x5050F0;  // red 240, green and blue 80 (0x00BBGGRR)

const travel_destination k_destinations[k_map_locations] = {
    {"brana.sav", 0},        {"dedina01.sav", 0},     {"tabor.sav", 1},        {"bana_p.sav", 0},
    {"les.sav", 0},          {"arena.sav", 0},        {"bojovka01.sav", 0},    {"tab_bojovka.sav", 0},
    {"jaskyna_ent.sav", 0},  {"shrine_ent.sav", 0},   {"tab_prechod.sav", 0},  {"vantiel_p.sav", 0},
    {"hellgate.sav", 0},     {"vantiel_m2.sav", 0},   {"relik1.sav", 0},       {"oracle_vell.sav", 0},
    {"oracle_black.sav", 0}, {"oracle_snow.sav", 0},  {"oracle_ent.sav", 0},
};

uint32_t g_console_latch = 1;  // the map's own edge latch of the console key

// The first world object of the location's marker entity, or null.
world_object* marker_object(int32_t location)
{
    int32_t entity = k_travel_map_markers[location];
    if (uint32_t(entity) >= g_entity_count)
        return nullptr;
    const entity_record& e = g_entities[entity];
    const uint16_t* list = entity_objects(&e);
    if (!list || e.object_count == 0 || !g_objects || list[0] >= g_object_count)
        return nullptr;
    return &g_objects[list[0]];
}

// Whether some known location has an area on the map, so that the player can leave it.
bool map_can_be_left()
{
    for (int32_t i = 0; i < k_map_locations; ++i)
        if (g_map_locations_open[i] && i < g_sector_count && g_sectors[i].active && g_sectors[i].closed)
            return true;
    return false;
}

void show_known_labels()
{
    for (int32_t i = 0; i < k_map_locations; ++i) {
        g_travel_map_fade_tick[i] = 0;
        if (uint32_t(k_travel_map_labels[i]) < g_entity_count)
            g_entities[k_travel_map_labels[i]].state = g_map_locations_open[i] ? 1 : 0;
    }
}

// The refusal of the place clicked last, drawn at the foot of the map, clear of its places and
// labels, until the map closes or another place is tried; the message log keeps it for after the
// map.
std::string g_map_refusal;

void say_closed_on_map(const char* level)
{
    say_level_closed(level);
    g_map_refusal = level_closed_line(level);
}

void draw_map_refusal()
{
    if (g_map_refusal.empty())
        return;
    full_light_guard light;
    font_begin(&g_font_large);
    const float width = float(font_text_width(&g_font_large, g_map_refusal.c_str()));
    const float height = float(g_font_large.height);
    const float x = std::max(16.0f, (float(g_screen_width) - width) / 2.0f);
    const float y = float(g_screen_height) - height - 48.0f;
    draw_colored_rect(x - 12.0f, y - 8.0f, x + width + 12.0f, y + height + 8.0f, 0.0f, 0.0f, 0.0f, 0.8f, k_rect_plain);
    font_text_out(&g_font_large, int32_t(x), int32_t(y), g_map_refusal.c_str(), k_refusal_colour);
    font_end(&g_font_large);
}

void draw_map_scene()
{
    if (g_d3d_device) {
        g_d3d_device->begin_scene();
        g_d3d_device->clear(k_clear_target | k_clear_depth, g_clear_colour);
    }
    draw_objects();
    apply_lights();
    update_level_effects();
    draw_map_refusal();
    draw_console();
    if (g_d3d_device)
        g_d3d_device->end_scene();
}

void present_map()
{
    if (g_d3d_device && !g_d3d_device->present())
        restore_lost_surfaces();
}

// Enters the location's level; false (the map stays) when it cannot be entered.
bool enter_destination(int32_t location)
{
    travel_destination to = travel_map_destination(location);
    fade_to_black();
    if (!change_level(to.level, 0, 0, 1)) {
        console_log("cestovna mapa: %s sa neda nacitat, mapa ostava", to.level);
        say_closed_on_map(to.level);
        fade_from_black();
        g_mouse_left = 0;
        return false;
    }
    arrive_in_level(to.entry);
    return true;
}

// The map level of the language.
std::string travel_map_level()
{
    return std::string("mapa_") + g_language + ".sav";
}

} // namespace

travel_destination travel_map_destination(int32_t location)
{
    if (location < 0 || location >= k_map_locations)
        return {nullptr, 0};
    bool story_moved_on = g_quests[k_story_quest].state >= k_story_quest_state;
    if (location == 1 && story_moved_on)
        return {"dedina02.sav", 0};
    if (location == 6 && story_moved_on)
        return {"bojovka02.sav", 0};
    return k_destinations[location];
}

bool travel_map_has_way_on()
{
    const std::string map = travel_map_level();
    if (!level_can_be_entered(map.c_str())) {
        console_log("cestovna mapa %s sa neda otvorit, neotvaram ju", map.c_str());
        say_level_closed(map.c_str());
        return false;
    }
    if (std::none_of(std::begin(g_map_locations_open), std::end(g_map_locations_open), [](uint32_t k) { return k; })) {
        console_log("cestovna mapa: ziadne zname miesto, neotvaram ju");
        return false;
    }
    std::vector<std::string> refused;
    for (int32_t i = 0; i < k_map_locations; ++i) {
        if (!g_map_locations_open[i])
            continue;
        const char* level = travel_map_destination(i).level;
        if (level_can_be_entered(level))
            return true;
        if (std::find(refused.begin(), refused.end(), level) == refused.end())
            refused.push_back(level);
    }
    console_log("cestovna mapa: do ziadneho zname miesta sa neda ist, neotvaram ju");
    for (const std::string& level : refused)
        say_level_closed(level.c_str());
    return false;
}

void travel_map_screen()
{
    if (!travel_map_has_way_on())
        return;
    if (char_record* hero = char_at(int32_t(g_player_char)))
        set_char_anim(hero, k_action_stand, 1, 0);
    fade_to_black();
    g_zoom = g_zoom_target = float(g_screen_width) / 1024.0f;
    g_camera_x = g_camera_y = 0.0f;
    g_mouse_x = float(g_screen_width / 2);
    g_mouse_y = float(g_screen_height / 2);
    const std::string map = travel_map_level();
    char previous[k_map_path_size];
    copy_bounded(previous, sizeof previous, g_current_level);
    if (!change_level(map.c_str(), 0, 0, 1)) {
        console_log("cestovna mapa %s chyba, ostavam", map.c_str());
        say_level_closed(map.c_str());
        arrive_in_level(-1);
        return;
    }
    if (!map_can_be_left()) {
        console_log("cestovna mapa %s nema ziadne zname miesto, vraciam sa", map.c_str());
        change_level(previous, 0, 0, 1);
        arrive_in_level(-1);
        return;
    }
    show_known_labels();
    g_map_refusal.clear();
    apply_ambient_light(&g_scene_header);
    fade_from_black();
    g_travel_map_running = 1;
    travel_map_loop();
}

void travel_map_loop()
{
    const uint32_t start = clock_ms();
    while (g_travel_map_running && !g_quit && !g_quit_all) {
        g_ticks = (clock_ms() - start) / k_tick_ms;
        if (!modal_pass_begin())
            continue;
        poll_input();
        toggle_console_on_key(&g_console_latch);
        draw_map_scene();
        travel_map_frame();
        present_map();
    }
    g_travel_map_running = 0;
}

void travel_map_frame()
{
    for (int32_t i = 0; i < k_map_locations; ++i) {
        if (!g_map_locations_open[i])
            continue;
        world_object* marker = marker_object(i);
        const bool inside = point_in_sector(g_mouse_x, g_mouse_y, i) != 0;
        if (g_ticks > g_travel_map_fade_tick[i]) {
            if (marker)
                marker->alpha = inside ? std::min(1.0f, marker->alpha + k_fade_step)
                                       : std::max(0.0f, marker->alpha - k_fade_step);
            g_travel_map_fade_tick[i] = g_ticks + k_fade_interval;
        }
        if (inside && g_mouse_left) {
            if (enter_destination(i))
                g_travel_map_running = 0;
            return;
        }
    }
}
