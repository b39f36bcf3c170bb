// The console's commands on the game's state and story, the exports, the information words, the
// network words and the program's switches.
#include "shell/console_command_parts.h"

#include "characters/char_animation.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/avi_capture.h"
#include "engine/texture_packs.h"
#include "interface/equipment_slots.h"
#include "interface/save_load_screen.h"
#include "interface/slide_shows.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "level/level_map.h"
#include "level/save_games.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "script/map_texts.h"
#include "script/quests.h"
#include "shell/device_setup.h"
#include "shell/fades.h"
#include "shell/level_requests.h"
#include "shell/network_stubs.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/slide_timing.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <strings.h>

namespace {


char_record* player()
{
    return char_at(int32_t(g_player_char));
}

void set_hour(uint8_t hour)
{
    g_game_clock.hour = hour;
    apply_daylight(&g_game_clock);
}

// "%s %s %d": a name and a state 0 to 255.
bool read_name_and_state(const char* line, char (&name)[k_console_arg_size], uint8_t* state)
{
    int32_t n = 0;
    name[0] = '\0';
    std::sscanf(line, "%*s %255s %d", name, &n);
    if (!console_index_ok(n, 256, "quest state"))
        return false;
    *state = uint8_t(n);
    return true;
}

// The name of a file inside its folder: refused (logged) when it would leave it.
bool plain_name_ok(const char* name, const char* what)
{
    if (is_plain_file_name(name))
        return true;
    console_log("%s %s refused", what, name);
    return false;
}

bool write_text_file(const std::string& path, const std::string& text)
{
    if (write_whole_file(path.c_str(), text.data(), text.size()))
        return true;
    console_log("%s could not be written", path.c_str());
    return false;
}

const char* shown_name(const char_record& c)
{
    return c.display_name[0] ? c.display_name : c.name;
}

void export_char_names()
{
    std::FILE* out = std::fopen("chars.txt", "ab");
    if (!out) {
        console_log("chars.txt could not be opened");
        return;
    }
    for (uint32_t s = 1; s < g_char_count && s < uint32_t(k_char_slots); ++s)
        std::fprintf(out, "%s;%s\n", shown_name(g_chars[s]), shown_name(g_chars[s]));
    if (std::fclose(out) != 0)
        console_log("chars.txt could not be written");
}

// "data/leveltext/<language>/<level display name>/": each map text as "<key>.txt" and the
// display name as "levelname", where the localized text reader looks for them.
void export_level_texts()
{
    const char* level = g_scene_header.display_name;
    if (!plain_name_ok(g_language, "language") || !plain_name_ok(level, "level name"))
        return;
    const std::string language_folder = std::string("data/leveltext/") + g_language;
    const std::string folder = language_folder + "/" + level;
    for (const std::string& f : {std::string("data"), std::string("data/leveltext"), language_folder, folder})
        make_folder(f.c_str());
    console_log("%s", folder.c_str());
    for (uint32_t i = 0; i < g_map_text_count && i < uint32_t(k_map_text_slots); ++i) {
        const map_text& t = g_map_texts[i];
        const std::string key(t.key, strnlen(t.key, sizeof t.key));
        if (t.tag == k_map_text_empty || key.empty() || !plain_name_ok(key.c_str(), "text key"))
            continue;
        write_text_file(folder + "/" + key + ".txt", std::string(t.text, strnlen(t.text, sizeof t.text)));
    }
    write_text_file(folder + "/levelname", level);
}

} // namespace

void run_qinfo(const char*)
{
    for (int i = 0; i < g_quest_count && i < k_quest_slots; ++i)
        console_log("%s = %d", g_quests[i].name, int(g_quests[i].state));
}

void run_setqstate(const char* line)
{
    char name[k_console_arg_size];
    uint8_t state = 0;
    if (!read_name_and_state(line, name, &state))
        return;
    for (int i = 0; i < g_quest_count && i < k_quest_slots; ++i)
        if (strcasecmp(g_quests[i].name, name) == 0)
            g_quests[i].state = state;
}

void run_setquest(const char* line)
{
    char name[k_console_arg_size];
    uint8_t state = 0;
    if (!read_name_and_state(line, name, &state))
        return;
    const int16_t index = find_quest(name);
    if (index < 0)
        return;
    assign_quest(&g_quests[index], uint8_t(index));
    set_quest_state(&g_quests[index], state);
}

void run_dclose(const char*)
{
    g_dialogue_running = 0;
}

void run_slide(const char* line)
{
    char name[k_console_arg_size] = "";
    std::sscanf(line, "%*s %255s", name);
    load_slide_timing(&g_chapter_slides.timing, name);
    start_chapter_slides();
}

void run_dreamworld(const char*)
{
    if (g_dream_world.active)
        leave_dream_world(&g_dream_world, 0);
    else
        enter_dream_world(&g_dream_world, 0);
}

void run_rest(const char*)
{
    if (g_d3d_device)
        g_d3d_device->end_scene();
    fade_to_black();
    rest_until_morning(&g_game_clock);
    if (char_record* c = player()) {
        c->hp = c->hp_max;
        c->mana = c->mana_max;
        c->life = k_life_alive;
    }
    g_interface.attunement_select_open = 1;
    fade_from_black();
    if (g_d3d_device) {
        g_d3d_device->begin_scene();
        g_d3d_device->clear(k_clear_target | k_clear_depth, g_clear_colour);
    }
}

void run_set_hour_12(const char*)
{
    set_hour(12);
}

void run_set_hour_0(const char*)
{
    set_hour(0);
}

void run_set_hour_18(const char*)
{
    set_hour(18);
}

void run_set_hour_6(const char*)
{
    set_hour(6);
}

void run_savegame(const char* line)
{
    char name[k_console_arg_size] = "";
    std::sscanf(line, "%*s %255s", name);
    save_game(&g_save_list, name, 1, 0);
}

void run_loadgame(const char* line)
{
    char name[k_console_arg_size] = "";
    std::sscanf(line, "%*s %255s", name);
    load_saved_game(name);
}

void run_load(const char* line)
{
    char level[k_console_arg_size] = "";
    std::sscanf(line, "%*s %255s", level);
    if (!level[0] || !level_target_enterable(level))
        return;
    if (char_record* c = player())
        set_char_anim(c, k_action_stand, 0, 0);
    request_level_change(level, g_pending_level.mode);
    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
}

void run_fload(const char* line)
{
    char path[k_map_path_size];
    copy_bounded(path, sizeof path, data_file_path("", console_word_at(line, 6).c_str()).c_str());
    if (!path[0] || !checked_level_map(path, "doterajsia mapa") || !read_level_map_head(path))
        return;
    char dat[256], idx[256], msk[256];
    if (texture_pack_names(path, dat, idx, msk))
        load_texture_pack(idx, dat);
}

void run_game(const char*)
{
    place_hero_at_entry(&g_scene_header, 0);
}

void run_qitemsave(const char*)
{
    write_quick_bar();
}

void run_setiattunement(const char* line)
{
    char key[k_console_arg_size] = "";
    int32_t link = 0;
    std::sscanf(line, "%*s %255s %d", key, &link);
    if (link != -1 && !console_index_ok(link, g_item_proto_count, "item"))
        return;
    for (int32_t i = 0; i < g_item_proto_count && i < k_item_slots; ++i)
        if (strcasecmp(g_item_protos[i].key_name, key) == 0)
            g_item_protos[i].attunement_link = int16_t(link);
}

void run_export(const char*)
{
    export_char_names();
    export_level_texts();
}

void run_savenames(const char*)
{
    std::string text;
    char row[256];
    for (int32_t i = 0; i < g_item_proto_count && i < k_item_slots; ++i) {
        const item_proto& item = g_item_protos[i];
        if (item.deleted != 0)
            continue;
        std::snprintf(row, sizeof row, "%d;%.*s;%.*s\n", i, int(sizeof item.key_name), item.key_name,
                      int(sizeof item.display_name), item.display_name);
        text += row;
    }
    write_text_file("itemnames.txt", text);
}

void run_shot(const char*)
{
    for (int i = 0; i < g_ground_item_count && i < k_ground_item_slots; ++i) {
        const ground_item& g = g_ground_items[i];
        console_log("%d - %d - %d (%d-%d)", int(g.state), int(g.item), int(g.object), int(g.x), int(g.y));
    }
}

void run_about(const char*)
{
    console_log("zorv engine 0.85");
    console_log("made by the zorv team");
}

void run_help(const char*)
{
    console_log("see readme.txt for HELP");
}

void run_net(const char*)
{
    if (const int32_t result = init_network())
        console_log("winsock error %d", result);
}

void run_server(const char*)
{
    const int32_t result = start_network_server();
    if (result == 0)
        console_log("Server bezi");
    else
        console_log("Nepodarilo sa spustit server, chyba %d", result);
}

void run_close(const char*)
{
    close_network();
}

void run_connect(const char* line)
{
    if (connect_network(console_word_at(line, 8).c_str()) == 0) {
        begin_network_session();
        console_log("Spojenie sa zdarilo");
    } else {
        console_log("Nepodarilo sa spojit so servrom");
    }
}

void run_send(const char* line)
{
    send_network_text(console_text_at(line, 5), 0);
}

void run_say(const char* line)
{
    send_network_text(console_text_at(line, 4), 0);
}

// "video on" opens the next numbered capture file when none is open; "video off" pauses it, and
// the file is finished when the program ends.
void run_video_on(const char*)
{
    if (avi_capture_start() == k_capture_done)
        g_capture_on = 1;
    else
        console_log("the capture file could not be opened");
}

void run_video_off(const char*)
{
    g_capture_on = 0;
}

void run_fps(const char*)
{
    g_show_stats = g_show_stats ? 0 : 1;
    g_settings.gr_showstats = g_show_stats;
}

void run_gamma(const char*)
{
    set_gamma(1000);
}

void run_ati(const char*)
{
    g_wbuffer_switch = 1;
}
