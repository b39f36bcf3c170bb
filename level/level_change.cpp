#include "level/level_change.h"

#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/fonts.h"
#include "engine/localized_names.h"
#include "engine/models.h"
#include "engine/quads.h"
#include "engine/render_context.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "platform/random.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "script/script_services.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <strings.h>

#include <cstdio>
#include <string>
#include <vector>

char g_current_level[k_map_path_size] = {};
uint32_t g_change_file_read = 0;
level_links g_level_links = {};

namespace {

constexpr int k_loading_text = 163;
constexpr int k_entered_text = 109;

// The name with its last three characters replaced by "txt" (brana.sav gives brana.txt).
std::string with_txt_extension(const std::string& name)
{
    return name.size() < 3 ? name + "txt" : name.substr(0, name.size() - 3) + "txt";
}

// The hint file of a level: its own, else one of the five random hints.
std::string hint_path(const char* level)
{
    std::string folder = std::string("data/hints/") + g_language + "/";
    if (is_plain_file_name(level)) {
        std::string own = folder + with_txt_extension(level);
        if (file_exists(own.c_str()) == 1)
            return own;
    }
    int n = game_rand() % 5;
    console_log("zvolena random hlaska %d", n);
    return folder + "rand" + std::to_string(n) + ".txt";
}

// Releases what the old level holds before a new map is read: move prototypes, models and
// body parts, the level's textures and its prototypes. The level's textures that a holder asked
// for are given back by their holders (the prototypes' frames); the others (its pack's entries)
// are freed here, so a texture a template shares with the level stays with the template.
void release_level_resources()
{
    run_hook(g_level_links.release_char_models, "release_char_models");
    for (model& m : g_char_models)
        free_model(&m);
    for (int32_t i = 0; i < g_model_count && i < k_model_capacity; ++i)
        free_model(&g_models[i]);
    g_model_count = 0;
    for (int32_t t = 0; t < g_texture_count; ++t)
        if (g_textures[t].in_level && g_textures[t].refcount == 0)
            free_texture(t);
    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        unload_object_proto(int32_t(s), false);
    g_object_proto_count = 0;
}

// Reads the entered level and applies what belongs to it: its change file, its characters and
// monster points and its script, unless it is a gui level. False when the map did not read whole
// (reported).
bool enter_level(const std::string& bare, const std::string& path, int32_t skip_monster_spawn)
{
    clear_entity_object_counts();  // the old level's objects are gone; the change file re-adds
    g_refused_event_actions = {};   // each refusal is reported once per visit
    const bool whole = read_level_map_file(bare.c_str(), path.c_str()) == map_read::whole;
    load_all_proto_textures();
    run_hook(g_level_links.clear_char_objects, "clear_char_objects");
    if (g_scene_header.level_type == k_level_gui)
        return whole;
    g_change_file_read = uint32_t(load_level_changes(bare.c_str()));
    g_char_placements.change_file_read = g_change_file_read;
    if (g_change_file_read == 1)
        run_hook(g_level_links.spawn_level_chars, "spawn_level_chars");
    else
        run_hook(g_level_links.spawn_level_chars_full_health, "spawn_level_chars_full_health");
    if (!skip_monster_spawn)
        run_hook(g_level_links.spawn_monsters_at_points, "spawn_monsters_at_points");
    run_hook(g_level_links.start_script, "start_script", with_txt_extension(bare).c_str());
    return whole;
}

// The map at `path` may be entered; a refused name (empty path), a missing map, a wrong tag or a
// map that would not read whole is reported with the current level as what stays ("ziadny level"
// before one was entered).
bool readable_map(const std::string& path)
{
    const std::string kept = g_current_level[0] ? std::string("level ") + g_current_level : std::string("ziadny level");
    return !path.empty() && whole_level_map(path.c_str(), kept.c_str());
}

void localize_level_texts()
{
    std::vector<map_text_entry> texts;
    for (uint32_t i = 0; i < g_map_text_count && i < k_map_text_slots; ++i)
        texts.push_back({g_map_texts[i].key, g_map_texts[i].text, sizeof g_map_texts[i].text});
    load_level_texts_into(g_scene_header.display_name, sizeof g_scene_header.display_name, texts);
}

} // namespace

void show_loading_screen(const char* level)
{
    g_ambient_color = {1.0f, 1.0f, 1.0f};
    set_device_ambient_light();
    static const char* const pictures[] = {"data/loading.tga", "data/loading2.tga", "data/loading3.tga"};
    int32_t picture = get_texture(pictures[game_rand() % 3], 512, 256, 0, 0, 1, 0);
    if (g_d3d_device) {
        g_d3d_device->begin_scene();
        g_d3d_device->clear(k_clear_target, g_clear_colour);
    }
    draw_texture_screen(picture, float(g_screen_width / 2), float(g_screen_height / 2), 1.0f, 1.0f, 0, 0.0f, 0.0f,
                        0.008f, 1.0f, 1.0f, 1.0f);
    font_begin(&g_font_large);
    font_text_out(&g_font_large, 295, 260, ui_text(k_loading_text), 0x00FFFFFF);
    font_end(&g_font_large);

    std::string hint = hint_path(level);
    if (file_exists(hint.c_str()) == 1) {
        if (g_level_links.show_hint)
            g_level_links.show_hint(hint.c_str());
        else
            log_hook_skipped("show_hint");
    }
    modal_pass_end();
    release_texture(picture);
    run_hook(g_level_links.reset_message_window, "reset_message_window");
    g_message_shown = 0;
}

std::string level_closed_line(const char* name)
{
    char line[160];
    std::snprintf(line, sizeof line, "The way is closed: the level file %.100s is damaged or missing.",
                  name ? name : "");
    return line;
}

void say_level_closed(const char* name)
{
    log_add_line(&g_message_log, 1, "%s", level_closed_line(name).c_str());
}

bool level_can_be_entered(const char* name)
{
    return readable_map(level_map_path(name));
}

bool change_level(const char* name, int32_t skip_change_save, int32_t skip_monster_spawn, int32_t show_loading)
{
    const std::string bare = name ? name : "";  // name may be g_map_path, which the reading rewrites
    run_hook(g_level_links.close_item_windows, "close_item_windows");
    switch_off_weather(&g_rain);
    switch_off_weather(&g_snow);
    switch_off_weather(&g_fog);
    stop_all_music();
    silence_all_sounds();
    g_interface.scroll_enabled = 1;
    g_interface.zoom_enabled = 1;
    g_clear_colour = 0xFF000000;

    const std::string path = level_map_path(bare.c_str());
    if (show_loading && !g_no_game_running)
        show_loading_screen(bare.c_str());
    stop_scene_music();

    const bool read = readable_map(path);
    bool entered = read;
    if (read) {
        if (!skip_change_save)
            save_level_changes(g_current_level);
        copy_bounded(g_current_level, sizeof g_current_level, bare.c_str());
        console_log("save change: %s", g_current_level);
        release_level_resources();
        entered = enter_level(bare, path, skip_monster_spawn);
    } else if (g_session_map_path[0]) {
        copy_bounded(g_map_path, sizeof g_map_path, g_session_map_path);
    }

    reset_object(&g_brush_preview);
    init_object(&g_brush_preview, g_mouse_x, g_mouse_y, 0, 0.8f, 1.5f, 0, 0);
    g_brush_preview.cursor = 1;
    g_work_mode = k_work_play;
    play_scene_music(&g_scene_header);
    if (g_dream_world.active)
        enter_dream_world(&g_dream_world, 1);
    run_hook(g_level_links.set_dream_presence, "set_dream_presence");

    reload_all_model_skins();
    load_next_proto();
    run_hook(g_level_links.load_char_names, "load_char_names");
    localize_level_texts();
    g_interface.overlay_screen = 1;
    g_interface.menu_open = 0;

    // Only a level entered is named to the player: after a refusal the player stays where he was.
    if (show_loading && read) {
        if (entered)
            console_log("mapa %s nacitana asi okej", path.c_str());
        if (strcasecmp(g_scene_header.display_name, "new map") != 0)
            log_add_line(&g_message_log, 0, "%s %s", ui_text(k_entered_text), g_scene_header.display_name);
    }
    run_hook(g_level_links.prepare_crossing_chars, "prepare_crossing_chars");
    if (read && g_editor_enabled)
        run_hook(g_level_links.map_replaced, "map_replaced");
    return read;
}
