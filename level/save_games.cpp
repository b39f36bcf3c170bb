#include "level/save_games.h"

#include "characters/char_inventory.h"
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
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/screenshots.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/quick_bar_block.h"
#include "level/level_change.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "level/level_saves.h"
#include "level/save_files.h"
#include "platform/files.h"
#include "script/quests.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

table_file_state g_save_list_file = {k_save_list_file, false, false};
save_list g_save_list;
void (*g_save_file_written)(const char* file) = nullptr;

namespace {

constexpr const char* k_save_folder = "save";
// The folder a save is written into before it takes its place; no save name starts with ".".
constexpr const char* k_temporary_folder = "save/.~saving";
// Why the last load was refused, as the player reads it.
char g_load_refusal[160] = {};
// The message log's line for a save refused while the world holds no level read from a file.
constexpr const char* k_no_level_saved = "Nothing was saved: no level has been loaded.";

std::string save_path(const char* name, const char* file = nullptr)
{
    std::string path = std::string(k_save_folder) + "/" + name;
    return file ? path + "/" + file : path;
}

bool has_game_file(const char* name)
{
    return is_valid_save_name(name) && is_readable_file(save_path(name, "game.ss").c_str());
}

// The part of a map path after its last "/" (the whole path when it has none).
const char* level_file_name(const char* map_path)
{
    const char* slash = std::strrchr(map_path, '/');
    return slash ? slash + 1 : map_path;
}

// The name a saved level is entered by: its file name when the game finds the stored map by that
// name (a level of "data/levels/"), else the stored path itself (a level read from elsewhere).
std::string saved_level_entry(const char* map_path)
{
    const char* bare = level_file_name(map_path);
    return level_map_path(bare) == map_path ? std::string(bare) : std::string(map_path);
}

void message(int text, const char* name, int quick_first, int quick_second)
{
    if (strcasecmp(name, "quick") == 0)
        log_add_line(&g_message_log, 1, "%s %s", ui_text(quick_first), ui_text(quick_second));
    else
        log_add_line(&g_message_log, 1, "%s %s", name, ui_text(text));
}

void fade(void (*level_links::*step)(), const char* what)
{
    run_hook(g_level_links.*step, what);
}

bool listed(const save_list* list, const char* name)
{
    for (int i = 0; i < list->count; ++i)
        if (std::strcmp(list->names[i], name) == 0)
            return true;
    return false;
}

// Entry i leaves the list; the later ones move up.
void remove_name(save_list* list, int32_t i)
{
    std::memmove(list->names[i], list->names[i + 1], size_t(list->count - i - 1) * k_save_name_size);
    --list->count;
}

bool write_list(const save_list& list)
{
    if (!make_folder(k_save_folder)) {
        console_log("save: priecinok %s sa neda vytvorit", k_save_folder);
        return false;
    }
    packed_stream* out = stream_open(k_save_list_file, "wp");
    if (!out)
        return false;
    int16_t count = list.count < 0 ? 0 : list.count > k_save_slots ? int16_t(k_save_slots) : list.count;
    bool written = stream_write_u16le(uint16_t(count), out) >= 0 &&
                   write_stream_bytes(out, list.names, uint32_t(count) * k_save_name_size);
    if (!finish_written_file(out, written)) {
        console_log("save: zapis %s zlyhal", k_save_list_file);
        return false;
    }
    table_file_read(g_save_list_file, true);  // the file holds the list
    return true;
}

// ---- Writing a save ----------------------------------------------------------------------

// The game state with `map_path` as the level's path.
saved_game_state current_game_state(const std::string& map_path)
{
    saved_game_state s{};
    s.clock = g_game_clock;
    copy_bounded(s.map_path, sizeof s.map_path, map_path.c_str());
    s.player_char = int32_t(g_player_char);
    if (const char_record* hero = char_at(int32_t(g_player_char))) {
        if (const world_object* o = world_object_of(*hero)) {
            s.x = o->x;
            s.y = o->y;
            s.object_value = o->angle_b;
        }
        std::memcpy(s.hero_flags, hero->script_flags, sizeof s.hero_flags);
    }
    s.dream_switch_allowed = g_interface.dream_switch_allowed;
    s.dream_active = g_dream_world.active;
    s.location_count = k_map_locations;
    std::memcpy(s.locations, g_map_locations_open, sizeof s.locations);
    return s;
}

saved_story current_story()
{
    static saved_story story;  // large; one save at a time
    story.quest_count = uint8_t(std::min<int>(g_quest_count, k_quest_slots));
    std::memcpy(story.quests, g_quests, sizeof story.quests);
    story.flag_count = int16_t(std::clamp<int>(g_flag_count, 0, k_flag_slots));
    std::memcpy(story.flags, g_flags, sizeof story.flags);
    return story;
}

saved_attunements current_attunements()
{
    saved_attunements a{};
    int32_t count = std::min<int32_t>(g_item_proto_count, k_item_slots);
    for (int32_t i = 0; i < count; ++i)
        if (g_item_protos[i].item_class == k_item_attunement)
            a.entries.push_back({i, g_item_protos[i].damage});
    a.count = int16_t(a.entries.size());
    return a;
}

// Writes every file of the save into `folder`, the level named by `map_path`; false at the first
// that fails (logged).
bool write_save_files(const std::string& folder, const std::string& map_path)
{
    auto done = [&](const char* file, bool ok) {
        if (!ok) {
            console_log("save: %s/%s sa nepodarilo zapisat", folder.c_str(), file);
            return false;
        }
        if (g_save_file_written)
            g_save_file_written(file);
        return true;
    };
    auto path = [&](const char* file) { return folder + "/" + file; };

    for (const auto& level : g_level_save_names) {
        if (!level[0])
            continue;
        std::string live = std::string("global/") + level;
        if (is_readable_file(live.c_str()) && !done(level, share_or_copy_file(live.c_str(), path(level).c_str())))
            return false;
    }
    if (!done("char.ss", write_char_file(int32_t(g_player_char), path("char.ss").c_str())))
        return false;
    if (!done("container.ss", save_char_containers_to(path("container.ss").c_str())))
        return false;
    if (!done("game.ss", write_packed_file(path("game.ss").c_str(), encode_game_state(current_game_state(map_path)))))
        return false;
    if (!done("quest.ss", write_packed_file(path("quest.ss").c_str(), encode_story(current_story()))))
        return false;
    std::vector<uint8_t> quick(k_quick_bar_block_size);
    encode_quick_bar(quick_bar_of(g_interface), quick.data());
    if (!done("quick.ss", write_packed_file(path("quick.ss").c_str(), quick)))
        return false;
    return done("attune.ss", write_packed_file(path("attune.ss").c_str(), encode_attunements(current_attunements())));
}

// The written temporary folder takes the save's place in one step; the old save, if any, ends
// up in the temporary folder's place and is removed.
bool replace_save_folder(const std::string& temporary, const std::string& folder)
{
    if (is_folder(folder.c_str())) {
        if (!exchange_entries(temporary.c_str(), folder.c_str())) {
            console_log("save: %s sa neda nahradit", folder.c_str());
            return false;
        }
    } else if (!replace_file(temporary.c_str(), folder.c_str())) {
        console_log("save: %s sa neda vytvorit", folder.c_str());
        return false;
    }
    remove_folder_tree(temporary.c_str());
    return true;
}

bool refuse(const char* debug, int text)
{
    console_log("%s", debug);
    log_add_line(&g_message_log, 1, "%s", ui_text(text));
    return false;
}

// ---- Reading a save ----------------------------------------------------------------------

// Everything a save holds, read and checked before any of it is used.
struct loaded_save {
    saved_game_state state;
    std::string level;  // the name the saved level is entered by
    saved_story story;
    saved_attunements attunements;
    quick_bar_block quick;
    std::vector<std::string> level_copies;  // names of g_level_save_names present in the save
    const char* level_fault = nullptr;       // "missing" or "damaged" when the saved level is refused
};

// Why the saved level at `map` cannot be entered: "" when it can; else where its map is damaged,
// or "subor chyba" with `missing` set for a map that is not there or lies outside the folder.
std::string saved_level_fault(const char* map_path, const std::string& map, bool* missing)
{
    *missing = true;
    if (!is_plain_file_name(level_file_name(map_path)) || map.empty())
        return "mimo priecinka";
    switch (check_level_map(map.c_str())) {
    case map_check::missing: return "subor chyba";
    case map_check::wrong_tag: *missing = false; return "nespravna verzia mapy";
    case map_check::ok: break;
    }
    *missing = false;
    return level_map_damage(map.c_str());
}

bool read_save(const char* name, loaded_save* save)
{
    std::vector<uint8_t> bytes;
    auto file = [&](const char* f) {
        std::string p = save_path(name, f);
        bool ok = read_packed_file(p.c_str(), &bytes);
        if (!ok)
            console_log("load: %s chyba alebo je poskodeny", p.c_str());
        return ok;
    };
    auto damaged = [&](const char* f) {
        console_log("load: %s/%s je poskodeny", name, f);
        return false;
    };
    if (!file("game.ss"))
        return false;
    if (!parse_game_state(bytes, &save->state))
        return damaged("game.ss");
    save->level = saved_level_entry(save->state.map_path);
    const std::string map = level_map_path(save->level.c_str());
    bool missing = false;
    if (const std::string fault = saved_level_fault(save->state.map_path, map, &missing); !fault.empty()) {
        console_log("load: level %s sa neda otvorit (%s), hra %s ostava ako je", save->state.map_path, fault.c_str(),
                    name);
        save->level_fault = missing ? "missing" : "damaged";
        return false;
    }
    if (!file("char.ss"))
        return false;
    if (!hero_file_complete(bytes))
        return damaged("char.ss");
    if (!file("container.ss"))
        return false;
    if (!char_containers_whole(bytes))
        return damaged("container.ss");
    if (!file("quest.ss"))
        return false;
    if (!parse_story(bytes, &save->story))
        return damaged("quest.ss");
    if (!file("quick.ss"))
        return false;
    if (bytes.size() != k_quick_bar_block_size)
        return damaged("quick.ss");
    save->quick = decode_quick_bar(bytes.data());
    if (!file("attune.ss"))
        return false;
    if (!parse_attunements(bytes, &save->attunements))
        return damaged("attune.ss");
    for (const auto& level : g_level_save_names) {
        if (!level[0] || !is_readable_file(save_path(name, level).c_str()))
            continue;
        if (!file(level))
            return false;
        if (!level_changes_whole(bytes))
            return damaged(level);
        save->level_copies.emplace_back(level);
    }
    return true;
}

// The save's level copies become the live change files: each is first copied beside its target,
// then the live files are deleted and the copies renamed into place. False, the live files
// untouched, when a copy fails.
bool restore_level_copies(const char* name, const std::vector<std::string>& copies)
{
    struct staged_copy {
        std::string temporary, target;
        bool shared;  // linked to the save's file, which is on disk already
    };
    std::vector<staged_copy> staged;
    bool ok = make_folder("global");
    for (const std::string& level : copies) {
        if (!ok)
            break;
        std::string target = "global/" + level;
        std::string temporary = new_temporary_name(target.c_str());
        bool shared = false;
        ok = fill_temporary_from(save_path(name, level.c_str()).c_str(), temporary, &shared);
        staged.push_back({std::move(temporary), std::move(target), shared});
    }
    if (!ok) {
        for (const auto& s : staged)
            discard_temporary(s.temporary);
        return false;
    }
    delete_level_saves();
    for (const auto& s : staged)
        if (!commit_temporary(s.temporary, s.target.c_str(), s.shared))
            console_log("load: %s sa neda obnovit", s.target.c_str());
    return true;
}

void apply_tables(const char* name, const loaded_save& save)
{
    const saved_game_state& s = save.state;
    g_game_clock = s.clock;
    g_game_clock.next_minute_tick = 0;
    copy_bounded(g_map_path, sizeof g_map_path, s.map_path);
    g_player_char = uint32_t(s.player_char);
    if (g_char_count <= g_player_char)
        g_char_count = g_player_char + 1;
    g_interface.dream_switch_allowed = s.dream_switch_allowed;
    std::memcpy(g_map_locations_open, s.locations, sizeof(uint32_t) * size_t(s.location_count));

    if (!read_char_file(int32_t(g_player_char), save_path(name, "char.ss").c_str()))
        console_log("load: hrdina sa nenacital");
    if (!load_char_containers_from(save_path(name, "container.ss").c_str()))
        console_log("load: kontajnery sa nenacitali");
    std::memcpy(g_quests, save.story.quests, sizeof(quest_record) * save.story.quest_count);
    std::memcpy(g_flags, save.story.flags, sizeof(flag_record) * size_t(save.story.flag_count));
    apply_quick_bar(save.quick, g_interface);
    for (const saved_attunement& a : save.attunements.entries)
        g_item_protos[a.item].damage = a.points;
}

// Enters the saved level and puts the hero back where it stood.
void enter_saved_level(const loaded_save& save)
{
    const saved_game_state& s = save.state;
    char_record* hero = char_at(int32_t(g_player_char));
    if (hero)
        set_char_anim(hero, k_action_stand, 1, 0);
    run_hook(g_level_links.reset_message_window, "reset_message_window");
    g_message_shown = 0;
    load_empty_map();
    console_log("chcem loadovat %s", g_map_path);

    change_level(save.level.c_str(), 1, 1, 1);
    apply_ambient_light(&g_scene_header);
    place_hero_at_entry(&g_scene_header, 0);
    g_scene_header.followed_char = int16_t(g_player_char);

    hero = char_at(int32_t(g_player_char));
    world_object* o = hero ? world_object_of(*hero) : nullptr;
    if (o) {
        o->x = s.x;
        o->y = s.y;
    }
    g_camera_x = s.x - (float(g_screen_width) / g_zoom) / 2.0f;
    g_camera_y = s.y - (float(g_screen_height) / g_zoom) / 2.0f;
    clamp_camera_to_scene(&g_scene_header);
    if (o)
        o->angle_b = s.object_value;
    if (hero)
        std::memcpy(hero->script_flags, s.hero_flags, sizeof hero->script_flags);
}

void finish_entry(const saved_game_state& s)
{
    g_mouse_x = s.x;
    g_mouse_y = s.y;
    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
    g_in_combat = 0;
    g_scene_header.reserved148 = 0;
    if (s.dream_active)
        enter_dream_world(&g_dream_world, 1);
    else if (g_dream_world.active)
        leave_dream_world(&g_dream_world, 1);
    if (char_record* hero = char_at(int32_t(g_player_char))) {
        char_sync_attunements(hero);
        char_apply_item_effects(hero);
        char_refresh_equipment(hero);
    }
}

// The list made again from the save folders whose every file reads whole, newest first.
void rebuild_save_list()
{
    g_save_list.count = 0;
    auto save = std::make_unique<loaded_save>();
    for (const folder_entry& entry : list_folder(k_save_folder)) {
        if (!entry.is_folder || !is_valid_save_name(entry.name.c_str()) || g_save_list.count >= k_save_slots)
            continue;
        *save = loaded_save{};
        if (!read_save(entry.name.c_str(), save.get()))
            continue;
        copy_bounded(g_save_list.names[g_save_list.count], k_save_name_size, entry.name.c_str());
        ++g_save_list.count;
    }
    sort_save_list(&g_save_list);
}

} // namespace

bool is_valid_save_name(const char* name)
{
    if (!name || !name[0] || name[0] == '.')
        return false;
    size_t n = strnlen(name, k_save_name_size);
    if (n > size_t(k_save_name_max))
        return false;
    return !std::strpbrk(name, "/\\") && !std::strstr(name, "..");
}

void save_list_read()
{
    // What a save killed half-way left; the save it was replacing is whole beside it.
    if (is_folder(k_temporary_folder) && remove_folder_tree(k_temporary_folder))
        console_log("zmazal som zvysok prerusenej ulozenej hry %s", k_temporary_folder);
    packed_stream* in = stream_open(k_save_list_file, "rp");
    if (!in && file_exists(k_save_list_file) != 1) {
        report_missing_file(k_save_list_file, "doterajsi zoznam hier");
        table_file_read(g_save_list_file, true);
        return;
    }
    const int stored = in ? stream_read_u16le(in) : -1;
    const int count = stored < 0 ? 0 : std::min<int>(int16_t(stored) < 0 ? 0 : int16_t(stored), k_save_slots);
    int kept = 0;
    for (; kept < count; ++kept) {
        char* name = g_save_list.names[kept];
        if (stream_read(name, k_save_name_size, in) != k_save_name_size)
            break;
        name[k_save_name_size - 1] = 0;
    }
    const bool all_named = stored >= 0 && int16_t(stored) == kept;
    // Bytes after the names the count covers: a count lower than the names the file holds.
    uint64_t after = 0;
    if (all_named)
        skip_stream_bytes(in, UINT64_MAX, &after);
    stream_close(in);
    if (stored < 0 || int16_t(stored) < 0 || kept < count || after > 0) {
        const std::string where = !in            ? std::string("hlavicka")
                                  : stored < 0   ? std::string("chyba pocet")
                                  : kept < count ? "konci po " + std::to_string(kept) + " z " + std::to_string(count) + " menach"
                                  : after > 0    ? std::to_string(after) + " bajtov za koncom dat"
                                                 : "zaporny pocet " + std::to_string(int16_t(stored));
        rebuild_save_list();
        table_file_read(g_save_list_file, false);
        if (g_save_list.count == 0) {
            report_damaged_file(k_save_list_file, where.c_str(), "subor, ako bol (ziadna ulozena hra nie je cela)");
            return;
        }
        table_file_changed(g_save_list_file);  // the rebuilt list is complete: written now, or at shutdown
        write_list(g_save_list);
        const std::string list = "zoznam z " + std::to_string(g_save_list.count) + " celych ulozenych hier";
        report_damaged_file(k_save_list_file, where.c_str(), list.c_str());
        return;
    }
    table_file_read(g_save_list_file, all_named);
    g_save_list.count = int16_t(kept);
    bool removed = false;
    for (int i = 0; i < g_save_list.count;) {
        if (has_game_file(g_save_list.names[i])) {
            ++i;
            continue;
        }
        console_log("save: %s nema game.ss, vyradeny", g_save_list.names[i]);
        remove_name(&g_save_list, i);
        removed = true;
    }
    // A list read in part keeps its file: the names not read would be lost.
    if (removed && g_save_list_file.read_whole)
        write_list(g_save_list);
}

bool save_list_write()
{
    return write_list(g_save_list);
}

void save_list_remove(save_list* list, int32_t i)
{
    if (i < 0 || i >= list->count)
        return;
    remove_name(list, i);
    write_list(*list);
}

void sort_save_list(save_list* list)
{
    auto time_of = [](const char* name) {
        int64_t t = INT64_MIN;
        if (is_valid_save_name(name) && !file_modified_time(save_path(name, "game.ss").c_str(), &t))
            t = INT64_MIN;
        return t;
    };
    std::vector<int64_t> times;
    for (int i = 0; i < list->count; ++i)
        times.push_back(time_of(list->names[i]));
    for (int i = 1; i < list->count; ++i) {
        for (int j = i; j > 0 && times[size_t(j)] > times[size_t(j - 1)]; --j) {
            char held[k_save_name_size];
            std::memcpy(held, list->names[j], k_save_name_size);
            std::memcpy(list->names[j], list->names[j - 1], k_save_name_size);
            std::memcpy(list->names[j - 1], held, k_save_name_size);
            std::swap(times[size_t(j)], times[size_t(j - 1)]);
        }
    }
}

void refresh_save_list()
{
    save_list_read();
    sort_save_list(&g_save_list);
}

bool save_game(save_list* list, const char* name, uint32_t fade_wrap, uint32_t force)
{
    if (!is_valid_save_name(name)) {
        console_log("save: nepovolene meno %s", name ? name : "");
        return false;
    }
    // The title's backdrop level is no game: a save of it would load the hero into the backdrop.
    if (g_no_game_running) {
        console_log("save: ziadna hra nebezi, hra %s sa neulozila", name);
        return false;
    }
    if (!force && g_dialogue_running)
        return refuse("Could not save during speach!", 103);
    if (list->count >= k_save_slots)
        return refuse("Max number of savegames reached!", 104);
    if (!force && (g_in_combat || !g_interface.scroll_enabled))
        return refuse("Could not save during combat!", 105);
    // A save names the level it is entered by again: only the map the world was read from (or
    // written to) in this run, whole.
    if (!g_session_map_path[0] || std::strcmp(g_map_path, g_session_map_path) != 0) {
        console_log("save: svet nema level nacitany zo suboru, hra %s sa neulozila", name);
        log_add_line(&g_message_log, 1, "%s", k_no_level_saved);
        return false;
    }

    // The level as the game names it, however the map was opened, so that the save loads.
    const std::string map_path = g_map_path[0] ? working_relative_name(g_map_path) : std::string();
    if (g_map_path[0] && map_path.empty()) {
        console_log("save: mapa %s nie je v pracovnom priecinku, hra sa neulozila", g_map_path);
        return false;
    }
    run_hook(g_level_links.put_back_held_item, "put_back_held_item");
    // Every file of the save reaches the disk before its rename; the folders' entries once each,
    // before the save folder takes its place and at the end.
    folder_sync_batch batch;
    const char* level = level_file_name(g_map_path);
    if (level[0] && !save_level_changes(level)) {
        console_log("save: zmeny levelu %s sa nezapisali, hra sa neulozila", level);
        return false;
    }
    std::string folder = save_path(name);
    std::string temporary = k_temporary_folder;
    if (!make_folder(k_save_folder) || !remove_folder_tree(temporary.c_str()) || !make_folder(temporary.c_str())) {
        console_log("save: priecinok %s sa neda vytvorit", temporary.c_str());
        return false;
    }
    // The picture shows the world alone, taken the same way with a fade or without one; without
    // the shell, the frame so far.
    const std::string picture = temporary + "/shot.bmp";
    const bool pictured = g_level_links.picture_world ? g_level_links.picture_world(picture.c_str())
                                                      : capture_thumbnail(picture.c_str());
    if (!pictured)
        console_log("save: obrazok %s/shot.bmp sa nepodarilo urobit", folder.c_str());
    if (fade_wrap)
        fade(&level_links::fade_to_black, "fade_to_black");

    bool saved = write_save_files(temporary, map_path) && replace_save_folder(temporary, folder);
    if (!saved) {
        remove_folder_tree(temporary.c_str());
        console_log("save: hra %s sa neulozila, stara pozicia ostava", name);
    } else {
        if (!listed(list, name)) {
            copy_bounded(list->names[list->count], k_save_name_size, name);
            ++list->count;
        }
        saved = write_list(*list);
        if (saved)
            message(106, name, 155, 157);
    }
    if (fade_wrap)
        fade(&level_links::fade_from_black, "fade_from_black");
    return saved;
}

const char* last_load_refusal()
{
    return g_load_refusal;
}

bool load_game(save_list* list, const char* name)
{
    (void)list;
    g_load_refusal[0] = '\0';
    if (!is_valid_save_name(name) || !is_readable_file(save_path(name, "game.ss").c_str())) {
        console_log("Savegame not exits");
        copy_bounded(g_load_refusal, sizeof g_load_refusal, ui_text(107));
        return false;
    }
    static loaded_save save;  // large; one load at a time
    save = loaded_save{};
    folder_sync_batch batch;  // the restored change files' folder is synced once, at the end
    bool whole = read_save(name, &save);
    if (whole && !attunements_fit_items(save.attunements)) {
        console_log("load: %s/attune.ss nepatri k tabulke predmetov", name);
        whole = false;
    }
    // The hand's item goes back and the item windows close while the running game is still
    // whole; the load replaces it.
    if (whole)
        run_hook(g_level_links.close_item_windows, "close_item_windows");
    if (save.level_fault) {
        // A level name too long for the line is cut so that the whole sentence stays.
        std::snprintf(g_load_refusal, sizeof g_load_refusal, "The level %.120s of this save is %s.",
                      level_file_name(save.state.map_path), save.level_fault);
        log_add_line(&g_message_log, 1, "%s", g_load_refusal);
        return false;
    }
    if (!whole || !restore_level_copies(name, save.level_copies)) {
        console_log("No such save file");
        copy_bounded(g_load_refusal, sizeof g_load_refusal, ui_text(107));
        log_add_line(&g_message_log, 1, "%s", g_load_refusal);
        return false;
    }
    fade(&level_links::fade_to_black, "fade_to_black");
    apply_tables(name, save);
    enter_saved_level(save);
    fade(&level_links::fade_from_black, "fade_from_black");
    finish_entry(save.state);
    message(108, name, 156, 158);
    return true;
}
