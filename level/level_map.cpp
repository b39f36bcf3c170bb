#include "level/level_map.h"

#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/texture_packs.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_effects.h"
#include "level/level_links.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

const char k_map_tag[k_map_tag_size] = {'e', 'l', 'e', '0', '0', '3', 0, 0, 0, 0};
char g_session_map_path[k_map_path_size] = {};

namespace {

// A table section taken and kept nowhere: u32 record size, a count (u32, or an i16 that is 0 when
// negative; `signed_count` reads a u32 count that is 0 when negative), the records.
bool skip_table(packed_stream* in, bool count32, bool signed_count = false)
{
    const int64_t size = stream_read_u32le(in);
    int64_t count = size < 0 ? -1 : count32 ? stream_read_u32le(in) : int64_t(stream_read_u16le(in));
    if (count < 0)
        return false;
    if (!count32)
        count = std::max<int16_t>(int16_t(count), 0);
    else if (signed_count)
        count = std::max<int32_t>(int32_t(uint32_t(count)), 0);
    return skip_stream_bytes(in, uint64_t(count) * uint64_t(size));
}

struct map_section {
    bool (*read)(packed_stream*);
    // Takes the section as `read` does and keeps nothing, the level's prototype count given.
    bool (*skip)(packed_stream*, uint32_t protos);
    const char* log_after;  // the progress line after the section, or null
    const char* name;       // as a damaged file's report names it
};

// Sections 3 to 10, after the prototypes.
const map_section k_first_group[] = {
    {read_sectors,
     [](packed_stream* in, uint32_t) {
         return stream_read_u32le(in) >= 0 && skip_stream_bytes(in, uint64_t(k_sector_slots) * k_sector_record_size);
     },
     "sektory in", "sektory"},
    {read_events, [](packed_stream* in, uint32_t) { return skip_table(in, true); }, "udalosti in", "udalosti"},
    {read_map_texts, [](packed_stream* in, uint32_t) { return skip_table(in, true); }, "textures in", "texty"},
    {read_entities, [](packed_stream* in, uint32_t) { return skip_table(in, true, true); }, "identity in", "identity"},
    {read_objects_section, skip_objects_section, "objecty in", "objekty"},
    {read_level_effects, [](packed_stream* in, uint32_t) { return skip_table(in, true); }, "efecty in", "efekty"},
    {read_movemap, [](packed_stream* in, uint32_t) { return skip_movemap(in); }, "pohybova mapa in", "pohybova mapa"},
    {read_scene_header, [](packed_stream* in, uint32_t) { return skip_scene_header(in); }, nullptr, "hlavicka sceny"},
};

// Sections 11 to 15 as the reader takes them, for the dry read.
const map_section k_second_group[] = {
    {nullptr, [](packed_stream* in, uint32_t) { return skip_stream_bytes(in, k_map_tag_size); }, nullptr, "druha znacka"},
    {nullptr, [](packed_stream* in, uint32_t) { return skip_level_containers(in); }, nullptr, "kontajnery"},
    {nullptr, [](packed_stream* in, uint32_t) { return skip_table(in, false); }, nullptr, "postavy"},
    {nullptr, [](packed_stream* in, uint32_t) { return skip_table(in, false); }, nullptr, "predmety na zemi"},
    {nullptr,
     [](packed_stream* in, uint32_t) {
         const int64_t size = stream_read_u32le(in);
         return size >= 0 && skip_stream_bytes(in, uint64_t(size));
     },
     nullptr, "monster pointy"},
};

// The name of the first section that did not read whole, kept over later ones; null while all did.
void note_section(bool read, const char* name, const char** first_damaged)
{
    if (!read && !*first_damaged)
        *first_damaged = name;
}

void read_first_group(packed_stream* in, const char** first_damaged)
{
    for (const map_section& s : k_first_group) {
        note_section(s.read(in), s.name, first_damaged);
        if (s.log_after)
            console_log("%s", s.log_after);
    }
}

// A map whose section did not read whole: one line naming the map and the section.
void report_damaged_map(const char* path, const char* section)
{
    const std::string where = std::string("sekcia ") + section;
    report_damaged_file(path, where.c_str(), "sekcie pred nou, v dalsich co sa dalo precitat");
}

bool read_tag(packed_stream* in, char (&tag)[k_map_tag_size + 1])
{
    std::memset(tag, 0, sizeof tag);
    return stream_read(tag, k_map_tag_size, in) == k_map_tag_size;
}

bool write_tag(packed_stream* out)
{
    return stream_write(k_map_tag, k_map_tag_size, out) == k_map_tag_size;
}

bool monster_points_for_map(packed_stream* out)
{
    return write_monster_points(out, true);
}

struct map_writer {
    bool (*write)(packed_stream*);
    const char* log_after;  // the editor save's progress line after the section, or null
};

// Sections 1 to 15 in their order, the tag between the groups.
const map_writer k_map_writers[] = {
    {write_tag, nullptr},
    {write_object_protos, "prtypy out"},
    {write_sectors, "sektory out"},
    {write_events, "udalosti out"},
    {write_map_texts, "texty out"},
    {write_entities, "identity out"},
    {write_objects_section, "objekty out"},
    {write_level_effects, "efekty out"},
    {write_movemap, "pohybovka out"},
    {write_scene_header, "scena out"},
    {write_tag, nullptr},
    {save_level_containers, "kontajneri out"},
    {write_char_placements, "char_info out"},
    {save_ground_items, "ground items out"},
    {monster_points_for_map, nullptr},
};

bool write_map_sections(const char* path, bool log_sections)
{
    packed_stream* out = stream_open(path, "wp");
    bool written = out != nullptr;
    for (const map_writer& w : k_map_writers) {
        written = written && w.write(out);
        if (written && log_sections && w.log_after)
            console_log("%s", w.log_after);
    }
    if (!finish_written_file(out, written)) {
        console_log("mapa %s: zapis zlyhal, stary subor ostava", path);
        return false;
    }
    return true;
}

void remember_map_path(const char* path)
{
    std::string copy = path;  // path may be one of the buffers written here
    copy_bounded(g_map_path, sizeof g_map_path, copy.c_str());
    copy_bounded(g_session_map_path, sizeof g_session_map_path, copy.c_str());
}

} // namespace

std::string level_map_path(const char* name)
{
    if (data_file_path("", name).empty())
        return {};
    if (file_exists(name) == 1)
        return name;
    return std::string(k_levels_folder) + name;
}

map_check check_level_map(const char* path)
{
    if (file_exists(path) != 1)
        return map_check::missing;
    packed_stream* in = stream_open(path, "rp");
    char tag[k_map_tag_size + 1];
    bool read = in && read_tag(in, tag);
    stream_close(in);
    return read && std::strcmp(tag, k_map_tag) == 0 ? map_check::ok : map_check::wrong_tag;
}

bool checked_level_map(const char* path, const char* kept)
{
    switch (check_level_map(path)) {
    case map_check::missing:
        report_missing_file(path, kept);
        return false;
    case map_check::wrong_tag:
        report_damaged_file(path, "nespravna verzia mapy", kept);
        return false;
    case map_check::ok:
        break;
    }
    return true;
}

void level_pack_candidates(const char* name, std::string* a, std::string* b)
{
    std::string n = name;
    a->clear();
    b->clear();
    if (n.size() >= 3)
        *a = k_levels_folder + n.substr(0, n.size() - 3) + "idx";
    if (n.size() >= 6)
        *b = k_levels_folder + n.substr(0, n.size() - 6) + ".idx";
}

map_read read_level_map_file(const char* name, const char* path)
{
    std::string a, b;
    level_pack_candidates(name, &a, &b);
    bool pack_mark = false;
    if (!a.empty() && file_exists(a.c_str()) == 1) {
        add_textures_from_pack(a.c_str());
    } else if (!b.empty() && file_exists(b.c_str()) == 1) {
        add_textures_from_pack(b.c_str());
        pack_mark = true;
    }

    console_log("zacinam citat %s", path);
    packed_stream* in = open_data_file(path, "doterajsi level");
    if (!in)
        return map_read::unread;
    const std::string map = path;  // path may be g_map_path, which remember_map_path rewrites
    const char* damaged = nullptr;
    char tag[k_map_tag_size + 1];
    note_section(read_tag(in, tag), "znacka", &damaged);
    remember_map_path(path);
    note_section(read_object_protos(in, 0), "prototypy", &damaged);
    console_log("prototypy in");
    if (pack_mark)
        for (uint32_t s = 0; s < g_object_proto_count; ++s)
            g_object_protos[s].frames_loaded = 1;
    read_first_group(in, &damaged);
    note_section(read_tag(in, tag), "druha znacka", &damaged);
    console_log("kontainery in");
    note_section(load_level_containers(in), "kontajnery", &damaged);
    console_log("char info in");
    note_section(read_char_placements(in), "postavy", &damaged);
    note_section(load_ground_items(in), "predmety na zemi", &damaged);
    note_section(read_monster_points(in), "monster pointy", &damaged);
    const int64_t after = close_read_file(in, !damaged, map.c_str(), "sekcie pred nimi");
    if (damaged || after > 0) {
        if (damaged)
            report_damaged_map(map.c_str(), damaged);
        g_session_map_path[0] = '\0';  // never written back over by the close-time save
        return map_read::damaged;
    }
    console_log("load ok");
    return map_read::whole;
}

bool write_level_map(const char* path)
{
    return write_map_sections(path, false);
}

namespace {

constexpr const char* k_map_kept = "doterajsia mapa";

// The editor's load of a map whose tag was checked; `name` finds its texture pack.
map_read load_checked_map(const char* name, const char* path)
{
    const map_read read = read_level_map_file(name, path);
    load_all_proto_textures();
    run_hook(g_level_links.clear_char_objects, "clear_char_objects");
    run_hook(g_level_links.spawn_level_chars, "spawn_level_chars");
    run_hook(g_level_links.spawn_monsters_at_points, "spawn_monsters_at_points");
    if (g_editor_enabled)
        run_hook(g_level_links.map_replaced, "map_replaced");
    if (read == map_read::whole)
        console_log("final load ok");
    return read;
}

} // namespace

std::string level_map_damage(const char* path)
{
    packed_stream* in = stream_open(path, "rp");
    if (!in)
        return "hlavicka";
    std::string damage;
    if (!skip_stream_bytes(in, k_map_tag_size))
        damage = "sekcia znacka";
    // The prototypes: u32 record size, u32 count, the records; the level keeps at most the first
    // k_proto_first_template.
    const int64_t proto_size = damage.empty() ? stream_read_u32le(in) : -1;
    const int64_t protos = proto_size < 0 ? -1 : stream_read_u32le(in);
    if (damage.empty() && (protos < 0 || !skip_stream_bytes(in, uint64_t(protos) * uint64_t(proto_size))))
        damage = "sekcia prototypy";
    const uint32_t kept = uint32_t(std::clamp<int64_t>(protos, 0, k_proto_first_template));
    auto skip_group = [&](std::span<const map_section> group) {
        for (const map_section& s : group)
            if (damage.empty() && !s.skip(in, kept))
                damage = std::string("sekcia ") + s.name;
    };
    skip_group(k_first_group);
    skip_group(k_second_group);
    uint64_t after = 0;
    if (damage.empty())
        skip_stream_bytes(in, UINT64_MAX, &after);
    stream_close(in);
    if (after > 0)
        damage = std::to_string(after) + " bajtov za koncom dat";
    return damage;
}

bool whole_level_map(const char* path, const char* kept)
{
    if (!checked_level_map(path, kept))
        return false;
    const std::string damage = level_map_damage(path);
    if (!damage.empty())
        report_damaged_file(path, damage.c_str(), kept);
    return damage.empty();
}

void load_level_map(const char* name)
{
    std::string path = level_map_path(name);
    if (!path.empty() && checked_level_map(path.c_str(), k_map_kept))
        load_checked_map(name, path.c_str());
}

map_read load_level_map_file(const char* path)
{
    const std::string chosen = path;  // path may be g_map_path, which the reading rewrites
    if (!checked_level_map(chosen.c_str(), k_map_kept))
        return map_read::unread;
    const size_t slash = chosen.find_last_of("/\\");
    return load_checked_map(chosen.substr(slash == std::string::npos ? 0 : slash + 1).c_str(), chosen.c_str());
}

int32_t save_level_map(const char* path)
{
    if (!path || file_exists(path) != 1) {
        console_log("mapa %s neexistuje, nic nezapisujem", path ? path : "");
        return -1;
    }
    std::string target = path;  // path may be one of the buffers written here
    run_hook(g_level_links.purge_ground_items, "purge_ground_items");
    if (!write_level_map(target.c_str()))
        return -1;
    remember_map_path(target.c_str());
    g_map_dirty = 0;
    return 0;
}

int32_t save_level_map_as(const char* path)
{
    std::string target = path ? path : "";  // path may be one of the buffers written here
    if (target.empty())
        return -1;
    // The map is written only where the next save of this run can find it again.
    if (target.size() >= sizeof g_map_path) {
        console_log("cesta %.60s... je dlhsia ako %d znakov, mapu nezapisujem", target.c_str(), int(sizeof g_map_path) - 1);
        return -1;
    }
    run_hook(g_level_links.purge_ground_items, "purge_ground_items");
    if (!write_map_sections(target.c_str(), true))
        return -1;
    remember_map_path(target.c_str());
    g_map_dirty = 0;
    console_log("game saved succesfully");
    return 0;
}

int32_t save_session_map()
{
    if (!g_session_map_path[0]) {
        console_log("ziadna nacitana mapa, nic nezapisujem");
        return -1;
    }
    return save_level_map(g_session_map_path);
}

bool read_level_map_head(const char* path)
{
    packed_stream* in = open_data_file(path, "doterajsia mapa");
    if (!in)
        return false;
    const char* damaged = nullptr;
    char tag[k_map_tag_size + 1];
    note_section(read_tag(in, tag), "znacka", &damaged);
    note_section(read_object_protos(in, 0), "prototypy", &damaged);
    read_first_group(in, &damaged);
    stream_close(in);
    if (damaged)
        report_damaged_map(path, damaged);
    return true;
}

void load_empty_map()
{
    if (file_exists(k_empty_map_file) != 1) {
        report_missing_file(k_empty_map_file, "doterajsia mapa");
        return;
    }
    if (!read_level_map_head(k_empty_map_file))
        return;
    g_session_map_path[0] = '\0';
    if (g_editor_enabled)
        run_hook(g_level_links.open_mode_tabs, "open_mode_tabs");
    run_hook(g_level_links.clear_char_objects, "clear_char_objects");
    forget_level_chars();
    if (g_editor_enabled)
        run_hook(g_level_links.map_replaced, "map_replaced");
}
