#include "characters/char_models.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "platform/files.h"
#include "platform/random.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

const char k_body_part_names[k_body_parts][k_body_part_name_size] = {
    "head",  "body",  "larm",  "rarm",  "legs",  "feet",  "cloak", "wl",    "wr",    "spec1", "spec2", "spec3",
    "spec4", "ahead", "abody", "alarm", "ararm", "alegs", "afeet", "spec5", "spec6", "spec7", "spec8", "spec9"};

chardata_entry g_chardata[k_chardata_capacity];
uint32_t g_chardata_count = 0;
char_move_proto g_move_protos[k_move_proto_capacity];
int16_t g_move_proto_count = 0;
table_file_state g_chardata_file = {k_chardata_file, false, false,
                                    [] { return int32_t(std::min<uint32_t>(g_chardata_count, k_chardata_capacity)); }};
table_file_state g_charpr_file = {k_charpr_file, false, false};

namespace {

constexpr const char* k_chardata_kept = "doterajsi zoznam modelov";
constexpr const char* k_charpr_kept = "doterajsie pohybove prototypy";

constexpr uint8_t k_no_variant = 255;
constexpr int16_t k_default_frame_time = 4;
constexpr int16_t k_default_part_extra = 1;

// A clip folder and the clip slot it fills.
struct clip_folder {
    const char* name;
    int16_t* (*slot)(char_record&);
};

const clip_folder k_clip_folders[] = {
    {"stand1", [](char_record& c) { return &c.clip_stand[0]; }},
    {"stand2", [](char_record& c) { return &c.clip_stand[1]; }},
    {"move1", [](char_record& c) { return &c.clip_move[0]; }},
    {"move2", [](char_record& c) { return &c.clip_move[1]; }},
    {"death1", [](char_record& c) { return &c.clip_death[0]; }},
    {"death2", [](char_record& c) { return &c.clip_death[1]; }},
    {"hit1", [](char_record& c) { return &c.clip_hit[0]; }},
    {"hit2", [](char_record& c) { return &c.clip_hit[1]; }},
    {"attack1", [](char_record& c) { return &c.clip_attack[0]; }},
    {"attack2", [](char_record& c) { return &c.clip_attack[1]; }},
    {"attack3", [](char_record& c) { return &c.clip_attack[2]; }},
    {"attack4", [](char_record& c) { return &c.clip_attack[3]; }},
    {"spell1", [](char_record& c) { return &c.clip_spell[0]; }},
    {"spell2", [](char_record& c) { return &c.clip_spell[1]; }},
    {"spell3", [](char_record& c) { return &c.clip_spell[2]; }},
    {"spec1", [](char_record& c) { return &c.clip_special[0]; }},
    {"spec2", [](char_record& c) { return &c.clip_special[1]; }},
    {"spec3", [](char_record& c) { return &c.clip_special[2]; }},
    {"spec4", [](char_record& c) { return &c.clip_special[3]; }},
    {"spec5", [](char_record& c) { return &c.clip_special[4]; }},
    {"spec6", [](char_record& c) { return &c.clip_special[5]; }},
};


// The 968-byte record of "global/charpr.dat" and of exported prototypes.
template <class Io, class Proto>
void move_proto_fields(Io& io, Proto& m)
{
    io.text(0, m.name, k_move_proto_name_size);
    io.bytes(256, m.part_frame_start, k_body_parts);
    for (uint32_t k = 0; k < 5; ++k)
        for (uint32_t p = 0; p < k_body_parts; ++p)
            io.f32(280 + 4 * (k * k_body_parts + p), m.part_values[k][p]);
    for (uint32_t p = 0; p < k_body_parts; ++p) {
        io.i16(760 + 2 * p, m.part_model[p]);
        io.i16(846 + 2 * p, m.part_skin[p]);
        io.i16(894 + 2 * p, m.part_extra[p]);
    }
    io.bytes(808, m.part_mode, k_body_parts);
    for (uint32_t k = 0; k < 3; ++k)
        io.f32(832 + 4 * k, m.scale[k]);
    io.i16(844, m.frame_time);
    io.bytes(942, m.part_extra_byte, k_body_parts);
    io.bytes(966, m.reserved_966, 2);
}

// The ids of the move prototypes by name, for registration's lookups. Registration keeps it up to
// date; whatever else changes the table forgets it, and a table of another count is indexed anew.
struct proto_names {
    std::unordered_map<std::string, int16_t> ids;  // the first prototype of each name
    int32_t count = -1;                           // the table's count when indexed; -1 not indexed
};
proto_names g_proto_names;

void forget_proto_names()
{
    g_proto_names.ids.clear();
    g_proto_names.count = -1;
}

int32_t find_move_proto(const char* name)
{
    if (g_proto_names.count != g_move_proto_count) {
        g_proto_names.ids.clear();
        for (int16_t i = 0; i < g_move_proto_count; ++i)
            g_proto_names.ids.emplace(g_move_protos[i].name, i);
        g_proto_names.count = g_move_proto_count;
    }
    auto found = g_proto_names.ids.find(name);
    if (found == g_proto_names.ids.end())
        return -1;
    if (found->second < g_move_proto_count && std::strcmp(g_move_protos[found->second].name, name) == 0)
        return found->second;
    forget_proto_names();  // renamed behind the index's back
    return find_move_proto(name);
}

// The loaded registry entries by path, for the lookups of cached models. Loading entries here
// keeps it up to date; it is indexed anew when the count changed behind its back, and a hit is
// checked against the entry.
struct chardata_paths {
    std::unordered_map<std::string, uint32_t> ids;
    uint32_t count = UINT32_MAX;  // the registry's count when indexed; UINT32_MAX not indexed
};
chardata_paths g_chardata_paths;

void forget_chardata_paths()
{
    g_chardata_paths.ids.clear();
    g_chardata_paths.count = UINT32_MAX;
}

// Loads the model of a registry entry for the path.
void fill_entry(uint32_t index, const std::string& path)
{
    chardata_entry& e = g_chardata[index];
    copy_bounded(e.path, sizeof e.path, path.c_str());
    copy_bounded(e.name, sizeof e.name, path.c_str());
    load_model(&g_char_models[index], e.path);
    e.loaded = 1;
    if (g_chardata_paths.count == g_chardata_count)
        g_chardata_paths.ids[path] = index;
}

} // namespace

int32_t find_chardata_entry(const std::string& path)
{
    if (g_chardata_paths.count != g_chardata_count) {
        g_chardata_paths.ids.clear();
        for (uint32_t i = 0; i < g_chardata_count && i < uint32_t(k_chardata_capacity); ++i)
            if (g_chardata[i].loaded)
                g_chardata_paths.ids.emplace(g_chardata[i].path, i);
        g_chardata_paths.count = g_chardata_count;
    }
    auto found = g_chardata_paths.ids.find(path);
    if (found == g_chardata_paths.ids.end())
        return -1;
    const chardata_entry& e = g_chardata[found->second];
    if (found->second < g_chardata_count && e.loaded && path == e.path)
        return int32_t(found->second);
    forget_chardata_paths();  // changed behind the index's back
    return find_chardata_entry(path);
}

int32_t find_chardata_by_name(const char* name)
{
    if (std::strcmp(name, "nothing") == 0)
        return -1;
    const uint32_t count = std::min(g_chardata_count, uint32_t(k_chardata_capacity));
    int32_t found = -2;
    for (uint32_t i = 0; i < count; ++i)
        if (std::strncmp(g_chardata[i].name, name, k_chardata_text_size) == 0) {
            if (g_chardata[i].loaded)
                return int32_t(i);
            if (found < 0)
                found = int32_t(i);
        }
    return found;
}

bool chardata_name_contains(uint32_t index, const char* text)
{
    if (index >= uint32_t(k_chardata_capacity))
        return false;
    const chardata_entry& e = g_chardata[index];
    const std::string_view name(e.name, strnlen(e.name, sizeof e.name));
    return name.find(text) != std::string_view::npos;
}

int32_t registry_entry_for(const std::string& path)
{
    if (path.size() >= size_t(k_chardata_text_size)) {
        console_log("%s: cesta je pridlha", path.c_str());
        return -1;
    }
    for (uint32_t i = 0; i < g_chardata_count; ++i) {
        if (g_chardata[i].loaded && path == g_chardata[i].path) {
            console_log("preberam uz existujuci 3d subor %s", path.c_str());
            return int32_t(i);
        }
    }
    for (uint32_t i = 0; i < g_chardata_count; ++i) {
        if (!g_chardata[i].loaded) {
            console_log("prepisujem 3d subor %s", path.c_str());
            fill_entry(i, path);
            return int32_t(i);
        }
    }
    if (g_chardata_count >= k_chardata_append_limit)
        return -1;
    console_log("pridavam novy 3d subor %s", path.c_str());
    bool indexed = g_chardata_paths.count == g_chardata_count;
    uint32_t index = g_chardata_count++;
    if (indexed)
        g_chardata_paths.count = g_chardata_count;
    fill_entry(index, path);
    return int32_t(index);
}

namespace {

bool listed(const std::vector<folder_entry>& entries, const std::string& name, bool folder)
{
    return std::any_of(entries.begin(), entries.end(), [&](const folder_entry& f) {
        return f.is_folder == folder && strcasecmp(f.name.c_str(), name.c_str()) == 0;
    });
}

bool listed_file(const std::vector<folder_entry>& files, const std::string& name)
{
    return listed(files, name, false);
}

// The part file of body part p in the folder's listing, "" when there is none.
std::string part_file(const std::string& folder, const std::vector<folder_entry>& files, int p,
                      const char_record& c)
{
    uint8_t variant = p == 0 ? c.head_variant : p == 1 ? c.body_variant : 0;
    if (c.slot == 0 && variant > 0) {
        std::string name = std::string(k_body_part_names[p]) + std::to_string(variant) + ".3d";
        if (listed_file(files, name))
            return folder + name;
    }
    std::string name = std::string(k_body_part_names[p]) + ".3d";
    return listed_file(files, name) ? folder + name : std::string();
}

// The frame time of the folder's "ini" file (when its listing holds one), its first line "label
// number"; false (frame time unchanged) when there is no such line.
bool read_frame_time(const std::string& folder, const std::vector<folder_entry>& files, int16_t* frame_time)
{
    if (!listed_file(files, "ini"))
        return false;
    const std::string path = folder + "ini";
    text_file_lines in(path.c_str());
    char line[256];
    int value = 0;
    const bool read = in.next(line, sizeof line) >= 0 && !in.damaged_line() && std::sscanf(line, "%*s %d", &value) == 1;
    if (in.is_open() && !read)
        report_damaged_file(path.c_str(), "riadok 1", "cas snimku ako bol");
    if (read)
        *frame_time = int16_t(std::clamp(value, int(INT16_MIN), int(INT16_MAX)));
    return read;
}

// The clip's variant for an action, or 255 when it has none to start.
uint8_t choose_variant(char_record* c, int32_t action, int32_t keep_variant)
{
    auto random_variant = [&](uint8_t current, const int16_t* clips, int choices) {
        if (keep_variant)
            return current;
        for (int tries = 0; tries < 9; ++tries) {
            int v = game_rand() % choices;
            if (v != current && clips[v] >= 0)
                return uint8_t(v);
        }
        return current;
    };
    switch (action) {
    case 0:
        if (!keep_variant) {
            if (c->stance && c->clip_stand[1] >= 0)
                c->stand_variant = 1;
            else if (c->clip_stand[0] >= 0)
                c->stand_variant = 0;
        }
        return c->stand_variant;
    case 1:
        if (c->running < std::size(c->clip_move) && c->clip_move[c->running] >= 0)
            c->move_variant = c->running;
        return c->move_variant;
    case 2:
        c->attack_variant = random_variant(c->attack_variant, c->clip_attack, 9);
        return c->attack_variant;
    case 3:
        if (c->clip_death[0] >= 0)
            c->death_variant = 0;
        return c->death_variant;
    case 4:
        c->hit_variant = random_variant(c->hit_variant, c->clip_hit, 2);
        return c->hit_variant;
    case 5:
    case 6:
        return 0;
    default:
        return k_no_variant;
    }
}

int16_t clip_of(const char_record& c, int32_t action, uint8_t variant)
{
    auto at = [variant](const auto& clips) { return variant < std::size(clips) ? clips[variant] : int16_t(-1); };
    switch (action) {
    case 0: return at(c.clip_stand);
    case 1: return at(c.clip_move);
    case 2: return at(c.clip_attack);
    case 3: return at(c.clip_death);
    case 4: return at(c.clip_hit);
    case 5: return c.clip_spell[0];
    case 6: return c.clip_special[0];
    default: return -1;
    }
}

} // namespace

bool load_chardata()
{
    bool missing = false;
    packed_stream* in = open_data_file(k_chardata_file, k_chardata_kept, &missing);
    if (!in) {
        table_file_read(g_chardata_file, missing);
        return false;
    }
    int64_t count = stream_read_u32le(in);
    std::vector<chardata_entry> entries;
    table_read got{0, count >= 0};
    if (got.complete) {
        entries.resize(size_t(std::min<int64_t>(count, k_chardata_capacity)));
        got = read_table_records<k_chardata_entry_size>(
            in, k_chardata_entry_size, uint64_t(count), k_chardata_capacity, nullptr,
            [&](uint32_t i, const uint8_t* bytes) {
                chardata_entry& e = entries[i];
                record_reader r{bytes};
                r.text(0, e.name, k_chardata_stored_name_size);
                r.text(60, e.path, k_chardata_text_size);
                r.u32(188, e.loaded);
            });
    }
    const table_file_contents found{count, int64_t(got.whole), close_read_file(in, got.complete, k_chardata_file)};
    table_file_read(g_chardata_file, got.complete && found.bytes_after == 0, found);
    if (!got.complete) {
        const std::string where = count < 0 ? std::string("hlavicka") : "konci po zazname " + std::to_string(got.kept);
        report_damaged_file(k_chardata_file, where.c_str(), k_chardata_kept);
        return false;
    }
    if (count > k_chardata_capacity) {
        const std::string where = "pocet " + std::to_string(count) + " nad " + std::to_string(k_chardata_capacity);
        report_damaged_file(k_chardata_file, where.c_str(), "prve zaznamy, ktore sa zmestia");
    }
    console_log("chardata load ok");
    for (chardata_entry& e : g_chardata)
        if (e.loaded != 0)  // entries never used are not written: their pages stay untouched
            e.loaded = 0;
    g_chardata_count = uint32_t(entries.size());
    for (uint32_t i = 0; i < g_chardata_count; ++i) {
        g_chardata[i] = entries[i];
        g_chardata[i].loaded = 0;
        if (!stays_in_working_folder(g_chardata[i].path)) {
            console_log("%s: cesta mimo pracovneho priecinka", g_chardata[i].path);
        } else if (file_exists(g_chardata[i].path) == 1) {
            load_model(&g_char_models[i], g_chardata[i].path);
            g_chardata[i].loaded = 1;
        } else {
            console_log("%s could not find", g_chardata[i].path);
        }
    }
    forget_chardata_paths();
    console_log("chardata init ok");
    return true;
}

bool write_chardata()
{
    uint32_t count = std::min<uint32_t>(g_chardata_count, k_chardata_capacity);
    packed_stream* out = stream_open(k_chardata_file, "wp");
    bool written = out && stream_write_u32le(count, out) >= 0 &&
                   write_table_records<k_chardata_entry_size>(out, count, [](uint32_t i, uint8_t* bytes) {
                       const chardata_entry& e = g_chardata[i];
                       record_writer w{bytes};
                       w.text(0, e.name, uint32_t(strnlen(e.name, k_chardata_stored_name_size - 1)));
                       w.text(60, e.path, uint32_t(strnlen(e.path, k_chardata_text_size - 1)));
                       w.u32(188, e.loaded);
                   });
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", k_chardata_file);
        return false;
    }
    return true;
}

void init_move_proto(char_move_proto* m)
{
    std::memset(m, 0, sizeof *m);
    for (auto& values : m->part_values)
        std::fill(std::begin(values), std::end(values), 1.0f);
    std::fill(std::begin(m->part_model), std::end(m->part_model), int16_t(-1));
    std::fill(std::begin(m->part_extra), std::end(m->part_extra), k_default_part_extra);
    std::fill(std::begin(m->scale), std::end(m->scale), 1.0f);
    m->frame_time = k_default_frame_time;
}

namespace {

// register_move_proto with the folder's listing given (empty for a folder that does not exist).
int32_t register_listed_clip(const char* folder, const std::vector<folder_entry>& files, const char_record& c)
{
    char name[k_move_proto_name_size];
    std::snprintf(name, sizeof name, "%s%d", folder, int(c.slot));
    int32_t id = find_move_proto(name);
    if (id < 0) {
        if (g_move_proto_count >= k_move_proto_capacity) {
            console_log("%s: tabulka pohybov je plna", name);
            return -1;
        }
        id = g_move_proto_count++;
        init_move_proto(&g_move_protos[id]);
        copy_bounded(g_move_protos[id].name, sizeof g_move_protos[id].name, name);
        g_proto_names.ids.emplace(g_move_protos[id].name, int16_t(id));
        g_proto_names.count = g_move_proto_count;
    }
    console_log("loading %s for %d of %d", folder, int(id), int(g_move_proto_count));
    char_move_proto& m = g_move_protos[id];
    const std::string base = folder;
    bool any = false;
    for (int p = 0; p < k_body_parts; ++p) {
        m.part_model[p] = -1;
        std::string path = part_file(base, files, p, c);
        if (path.empty())
            continue;
        m.part_model[p] = int16_t(registry_entry_for(path));
        any = any || m.part_model[p] >= 0;
    }
    if (!any) {
        if (id == g_move_proto_count - 1) {
            g_proto_names.ids.erase(g_move_protos[id].name);
            g_proto_names.count = --g_move_proto_count;
        }
        return -1;
    }
    read_frame_time(base, files, &m.frame_time);
    return id;
}

} // namespace

int32_t register_move_proto(const char* folder, const char_record& c)
{
    return register_listed_clip(folder, list_folder(folder), c);
}

bool write_charpr()
{
    int16_t count = std::clamp<int16_t>(g_move_proto_count, 0, k_move_proto_capacity);
    packed_stream* out = stream_open(k_charpr_file, "wp");
    bool written = out && stream_write_u16le(uint16_t(count), out) >= 0 &&
                   stream_write_u32le(k_move_proto_size, out) >= 0 &&
                   write_table_records<k_move_proto_size>(out, uint32_t(count), [](uint32_t i, uint8_t* bytes) {
                       record_writer w{bytes};
                       move_proto_fields(w, g_move_protos[i]);
                   });
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", k_charpr_file);
        return false;
    }
    return true;
}

bool read_charpr()
{
    packed_stream* in = open_data_file(k_charpr_file, k_charpr_kept);
    if (!in)
        return false;
    int value = stream_read_u16le(in);
    int16_t count = int16_t(value);
    int64_t stored_size = value < 0 ? -1 : stream_read_u32le(in);
    std::vector<char_move_proto> protos;
    table_read got{0, stored_size >= 0 && count >= 0};
    if (got.complete) {
        protos.resize(size_t(std::min<int>(count, k_move_proto_capacity)));
        char_move_proto blank_proto;
        init_move_proto(&blank_proto);
        uint8_t blank[k_move_proto_size] = {};
        record_writer blank_writer{blank};
        move_proto_fields(blank_writer, blank_proto);
        got = read_table_records<k_move_proto_size>(in, uint32_t(stored_size), uint64_t(count),
                                                    k_move_proto_capacity, blank, [&](uint32_t i, const uint8_t* bytes) {
                                                        record_reader r{bytes};
                                                        move_proto_fields(r, protos[i]);
                                                    });
    }
    close_read_file(in, got.complete, k_charpr_file);
    if (!got.complete) {
        const std::string where = stored_size < 0 || count < 0 ? std::string("hlavicka")
                                                               : "konci po zazname " + std::to_string(got.kept);
        report_damaged_file(k_charpr_file, where.c_str(), k_charpr_kept);
        return false;
    }
    for (char_move_proto& m : protos)
        for (int16_t& part : m.part_model)
            if (part < -1 || part >= k_chardata_capacity)
                part = -1;
    std::copy(protos.begin(), protos.end(), g_move_protos);
    g_move_proto_count = int16_t(protos.size());
    forget_proto_names();
    return true;
}

bool export_move_proto(const char* path, int32_t id)
{
    if (id < 0 || id >= g_move_proto_count)
        return false;
    const char_move_proto& m = g_move_protos[id];
    uint8_t bytes[k_move_proto_size] = {};
    record_writer w{bytes};
    move_proto_fields(w, m);
    packed_stream* out = stream_open(path, "wp");
    bool written = out && stream_write_u32le(k_move_proto_size, out) >= 0 &&
                   write_stream_bytes(out, bytes, k_move_proto_size);
    for (int p = 0; p < k_body_parts && written; ++p) {
        char part_path[k_chardata_text_size] = {};
        int16_t index = m.part_model[p];
        if (index >= 0 && uint32_t(index) < g_chardata_count)
            copy_bounded(part_path, sizeof part_path, g_chardata[index].path);
        else
            copy_bounded(part_path, sizeof part_path, "null");
        written = write_stream_bytes(out, part_path, sizeof part_path);
    }
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", path);
        return false;
    }
    return true;
}

void load_char_anims(char_record* c, int32_t set, bool force)
{
    if (set <= 0 || set > 255 || (set == c->anim_set && !force))
        return;
    for (const clip_folder& clip : k_clip_folders)
        *clip.slot(*c) = -1;
    std::fill(std::begin(c->clip_special), std::end(c->clip_special), int16_t(-1));
    c->anim_set = uint8_t(set);
    if (!is_plain_file_name(c->appearance)) {
        console_log("postava %s: vzhlad '%s' nie je meno priecinka, bez animacii", c->name, c->appearance);
        return;
    }
    char base[64];
    std::snprintf(base, sizeof base, "3d/%s/%d/", c->appearance, int(set));
    // A clip folder the set's folder does not hold has no part files to look for.
    const std::vector<folder_entry> clips = list_folder(base);
    for (const clip_folder& clip : k_clip_folders) {
        std::string folder = std::string(base) + clip.name + "/";
        const std::vector<folder_entry> files = listed(clips, clip.name, true) ? list_folder(folder.c_str())
                                                                                : std::vector<folder_entry>();
        *clip.slot(*c) = int16_t(register_listed_clip(folder.c_str(), files, *c));
    }
}

void set_char_anim(char_record* c, int32_t action, int32_t restart, int32_t keep_variant)
{
    if (action < 0 || action > 6)
        return;
    if (!restart && c->anim_action == action)
        return;
    c->anim_action = uint8_t(action);
    uint8_t variant = choose_variant(c, action, keep_variant);
    if (action == 6)
        char_apply_item_effects(c);
    if (variant == k_no_variant)
        return;
    int16_t clip = clip_of(*c, action, variant);
    if (clip < 0)
        return;
    start_char_clip(c, clip);
    char_apply_item_effects(c);
}

model* char_part_model(int32_t index)
{
    if (index < 0 || uint32_t(index) >= g_chardata_count || !g_chardata[index].loaded)
        return nullptr;
    return &g_char_models[index];
}

void release_char_models()
{
    for (int32_t i = 0; i < g_move_proto_count; ++i)
        init_move_proto(&g_move_protos[i]);
    g_move_proto_count = 0;
    forget_proto_names();
    for (uint32_t i = 0; i < g_chardata_count; ++i)
        g_chardata[i].loaded = 0;
    g_chardata_count = 0;
    forget_chardata_paths();
    table_file_read(g_chardata_file, false);
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s)
        std::fill(std::begin(g_chars[s].part_model), std::end(g_chars[s].part_model), int16_t(-1));
}

void prune_foreign_part_models()
{
    for (uint32_t s = 1; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
        const char_record& c = g_chars[s];
        const int16_t clips[] = {c.clip_stand[0],   c.clip_stand[1],   c.clip_move[0],    c.clip_move[1],
                                 c.clip_attack[0],  c.clip_attack[1],  c.clip_attack[2],  c.clip_attack[3],
                                 c.clip_death[0],   c.clip_death[1],   c.clip_death[2],   c.clip_hit[0],
                                 c.clip_hit[1],     c.clip_spell[0],   c.clip_spell[1],   c.clip_spell[2],
                                 c.clip_special[0], c.clip_special[1], c.clip_special[2], c.clip_special[3],
                                 c.clip_special[4]};
        for (int16_t id : clips) {
            if (id < 0 || id >= g_move_proto_count)
                continue;
            char_move_proto& m = g_move_protos[id];
            for (int p = 2; p < k_body_parts; ++p) {
                int16_t index = m.part_model[p];
                if (index >= 0 && uint32_t(index) < g_chardata_count && !std::strstr(g_chardata[index].path, c.appearance))
                    m.part_model[p] = -1;
            }
        }
    }
}
