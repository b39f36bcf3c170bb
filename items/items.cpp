#include "items/items.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "core/untouched_tables.h"
#include "core/utilities.h"
#include "engine/localized_names.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/sound.h"
#include "items/item_media.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

item_proto g_item_protos[k_item_slots];
item_lists g_item_lists[k_item_slots];
int32_t g_item_proto_count = 0;
int32_t g_attunement_thresholds[k_attunement_tiers] = {50, 200, 1000};

table_file_state g_items_file = {k_items_file, false, false,
                                 [] { return std::clamp(g_item_proto_count, 0, k_item_slots); }};

namespace {

constexpr const char* k_attunements_file = "global/attunements.txt";
constexpr const char* k_items_kept = "doterajsie predmety";
constexpr int32_t k_default_threshold = 50;

template <class Io, class Item>
void item_proto_fields(Io& io, Item& t)
{
    io.text(0, t.key_name, sizeof t.key_name);
    io.u8(30, t.item_class);
    io.u8(31, t.weapon_category);
    io.bytes(32, t.reserved_32, sizeof t.reserved_32);
    io.i16(36, t.armour_bonus);
    io.i16(38, t.attack_bonus);
    io.i16(40, t.damage);
    io.i16(42, t.critical_chance);
    io.i16(44, t.critical_multiplier_whole);
    io.i16(46, t.range);
    io.i16(48, t.attunement_link);
    io.i16(50, t.damage_code);
    io.i16(52, t.requirement_count);
    io.bytes(54, t.reserved_54, sizeof t.reserved_54);
    io.u32(56, t.requirements_word);
    io.i16(60, t.efect_count);
    io.bytes(62, t.reserved_62, sizeof t.reserved_62);
    io.u32(64, t.efects_word);
    io.u16(68, t.icon_texture);
    io.i16(70, t.price);
    io.u8(72, t.size);
    io.bytes(73, t.reserved_73, sizeof t.reserved_73);
    io.u32(76, t.no_loss);
    io.i16(80, t.duration);
    io.u8(82, t.attack_delay);
    io.u8(83, t.period);
    io.u32(84, t.destroy_after);
    io.text(88, t.display_name, sizeof t.display_name);
    io.u8(188, t.anim_set);
    io.u8(189, t.strike_frame);
    io.i16(190, t.stamina_move);
    io.i16(192, t.stamina_cost);
    io.bytes(194, t.reserved_194, sizeof t.reserved_194);
    io.i32(196, t.attack_sound_count);
    for (int i = 0; i < 5; ++i)
        io.u32(200 + 4 * i, t.attack_sounds[i]);
    io.bytes(220, t.reserved_220, sizeof t.reserved_220);
    io.text(232, t.sound_name, sizeof t.sound_name);
    io.i32(264, t.drop_sound_count);
    for (int i = 0; i < 5; ++i)
        io.u32(268 + 4 * i, t.drop_sounds[i]);
    io.bytes(288, t.reserved_288, sizeof t.reserved_288);
    io.text(300, t.hit_sound, sizeof t.hit_sound);
    io.u8(330, t.damage_type);
    io.u8(331, t.container_width);
    io.u8(332, t.container_height);
    io.bytes(333, t.reserved_333, sizeof t.reserved_333);
    io.u32(336, t.deleted);
    io.u16(340, t.ground_model);
    io.u16(342, t.big_image);
    io.bytes(344, t.reserved_344, sizeof t.reserved_344);
    io.text(728, t.image_name, sizeof t.image_name);
    io.text(758, t.model_name, sizeof t.model_name);
    io.i32(788, t.inventory_sound_count);
    for (int i = 0; i < 5; ++i)
        io.u32(792 + 4 * i, t.inventory_sounds[i]);
    io.f32(812, t.critical_multiplier);
}

template <class Io, class Property>
void item_property_fields(Io& io, Property& p)
{
    io.u16(0, p.code);
    for (int i = 0; i < 8; ++i)
        io.i16(2 + 2 * i, p.args[i]);
}

int16_t held_list_count(int16_t count)
{
    return std::clamp<int16_t>(count, 0, k_item_list_entries);
}

// Reads a stored list of `stored` entries into `list`; the entries beyond 16 are skipped.
// Returns the entries kept, or -1 when the data ends first.
int16_t read_property_list(packed_stream* stream, int16_t stored, item_property* list)
{
    int16_t kept = held_list_count(stored);
    for (int16_t i = 0; i < kept; ++i) {
        uint8_t bytes[k_item_property_size];
        if (stream_read(bytes, int(sizeof bytes), stream) != int(sizeof bytes))
            return -1;
        record_reader in{bytes};
        item_property_fields(in, list[i]);
    }
    if (stored > kept) {
        console_log("%s: a list of %d entries, the first %d kept", k_items_file, int(stored), int(kept));
        if (!skip_stream_bytes(stream, uint64_t(stored - kept) * k_item_property_size))
            return -1;
    }
    return kept;
}

bool write_property_list(packed_stream* stream, int16_t count, const item_property* list)
{
    for (int16_t i = 0; i < count; ++i) {
        uint8_t bytes[k_item_property_size] = {};
        record_writer out{bytes};
        item_property_fields(out, list[i]);
        if (!write_stream_bytes(stream, bytes, sizeof bytes))
            return false;
    }
    return true;
}

void take_key_name_when_empty(char* name, size_t size, const char* key_name)
{
    if (!name[0])
        copy_bounded(name, size, key_name);
}

// One record and its lists; false when the data ends first.
bool read_item(packed_stream* stream, uint32_t stored_size, item_proto& item, item_lists& lists)
{
    uint8_t bytes[k_item_proto_size] = {};
    if (!read_stored_record(stream, bytes, k_item_proto_size, stored_size))
        return false;
    record_reader in{bytes};
    item_proto_fields(in, item);
    item.requirement_count = read_property_list(stream, item.requirement_count, lists.requirements);
    if (item.requirement_count < 0)
        return false;
    item.efect_count = read_property_list(stream, item.efect_count, lists.efects);
    if (item.efect_count < 0)
        return false;
    item.requirements_word = 0;
    item.efects_word = 0;
    if (item.critical_multiplier == 0.0f)
        item.critical_multiplier = float(item.critical_multiplier_whole);
    take_key_name_when_empty(item.image_name, sizeof item.image_name, item.key_name);
    take_key_name_when_empty(item.model_name, sizeof item.model_name, item.key_name);
    return true;
}

// Cuts trailing blanks, tabs and line ends.
void cut_trailing_white(char* text)
{
    size_t n = std::strlen(text);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t' || text[n - 1] == '\r' || text[n - 1] == '\n'))
        text[--n] = 0;
}

enum class number_line { number, not_number, end };

// The next line as a whole decimal number; `end` at the file's end and at a damaged line.
number_line read_number_line(text_file_lines& in, long* value)
{
    char line[100];
    if (in.next(line, sizeof line) < 0 || in.damaged_line())
        return number_line::end;
    cut_trailing_white(line);
    long long number = 0;
    if (!parse_decimal(line, &number) || number < LONG_MIN || number > LONG_MAX)
        return number_line::not_number;
    *value = long(number);
    return number_line::number;
}

void apply_attunement_tier(const char* name, long tier)
{
    for (int32_t i = 0; i < std::min(g_item_proto_count, k_item_slots); ++i)
        if (strcasecmp(g_item_protos[i].display_name, name) == 0)
            g_item_protos[i].size = uint8_t(tier);
}

void apply_item_names()
{
    std::vector<item_name_entry> names;
    names.reserve(size_t(g_item_proto_count));
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        item_proto& item = g_item_protos[i];
        names.push_back({item.key_name, item.display_name, sizeof item.display_name, item.deleted == 0});
    }
    load_item_names_into(names);
}

} // namespace

item_proto* item_proto_at(int32_t id)
{
    if (id < 0 || id >= std::min(g_item_proto_count, k_item_slots))
        return nullptr;
    return &g_item_protos[id];
}

int32_t attunement_threshold(int32_t tier)
{
    return tier >= 0 && tier < k_attunement_tiers ? g_attunement_thresholds[tier] : k_default_threshold;
}

bool read_item_protos(packed_stream* stream, table_file_contents* found)
{
    if (!stream)
        return false;
    int32_t count = 0;
    uint32_t stored_size = 0;
    if (!read_table_head(stream, k_items_file, k_items_kept, k_item_slots, &count, &stored_size))
        return false;
    table_file_contents scratch;
    found = found ? found : &scratch;
    found->named_records = count;
    auto items = std::make_unique<item_proto[]>(size_t(count));
    auto lists = std::make_unique<item_lists[]>(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        if (!read_item(stream, stored_size, items[size_t(i)], lists[size_t(i)])) {
            const std::string where = "konci v predmete " + std::to_string(i) + " z " + std::to_string(count);
            report_damaged_file(k_items_file, where.c_str(), k_items_kept);
            return false;
        }
        found->whole_records = i + 1;
    }
    std::copy(items.get(), items.get() + count, g_item_protos);
    blank_records(g_item_protos + count, std::end(g_item_protos));
    std::copy(lists.get(), lists.get() + count, g_item_lists);
    blank_records(g_item_lists + count, std::end(g_item_lists));
    g_item_proto_count = count;
    return true;
}

bool write_item_protos(packed_stream* stream)
{
    if (!stream)
        return false;
    int32_t count = std::clamp(g_item_proto_count, 0, k_item_slots);
    if (stream_write_u32le(uint32_t(count), stream) < 0 || stream_write_u32le(k_item_proto_size, stream) < 0)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        item_proto item = g_item_protos[i];
        const item_lists& lists = g_item_lists[i];
        item.requirement_count = held_list_count(item.requirement_count);
        item.efect_count = held_list_count(item.efect_count);
        uint8_t bytes[k_item_proto_size] = {};
        record_writer out{bytes};
        item_proto_fields(out, item);
        if (!write_stream_bytes(stream, bytes, sizeof bytes) ||
            !write_property_list(stream, item.requirement_count, lists.requirements) ||
            !write_property_list(stream, item.efect_count, lists.efects))
            return false;
    }
    return true;
}

bool read_attunement_tiers(const char* path)
{
    text_file_lines in(path);
    if (!in.is_open()) {
        report_missing_file(path, "velkosti predmetov zo zaznamov");
        return false;
    }
    int bad_line = 0;  // the first line that is not what it should be
    auto note = [&](number_line got) {
        if (got != number_line::number && bad_line == 0)
            bad_line = in.damaged_line() ? in.damaged_line() : in.line_number() + (got == number_line::end);
        return got;
    };
    long value = 0;
    bool ended = false;
    for (int tier = 0; tier < k_attunement_tiers && !ended; ++tier) {
        const number_line got = note(read_number_line(in, &value));
        if (got == number_line::number)
            g_attunement_thresholds[tier] = int32_t(std::clamp<long>(value, 0, INT16_MAX));
        ended = got == number_line::end;
    }
    long pairs = 0;
    if (ended || note(read_number_line(in, &pairs)) != number_line::number)
        pairs = 0;
    for (long n = 0; n < pairs; ++n) {
        char name[100];
        if (in.next(name, sizeof name) < 0 || in.damaged_line()) {
            note(number_line::end);
            break;
        }
        cut_trailing_white(name);
        const number_line got = note(read_number_line(in, &value));
        if (got == number_line::end)
            break;
        if (got == number_line::number && (value < 0 || value >= k_attunement_tiers))
            note(number_line::not_number);
        else if (got == number_line::number)
            apply_attunement_tier(name, value);
    }
    if (bad_line) {
        const std::string where = "riadok " + std::to_string(bad_line);
        report_damaged_file(path, where.c_str(), "hodnoty z celych riadkov, ostatne zo zaznamov");
    }
    return true;
}

void load_items()
{
    bool missing = false;
    packed_stream* in = open_data_file(k_items_file, k_items_kept, &missing);
    if (!in) {
        table_file_read(g_items_file, missing);
        return;
    }
    table_file_contents found;
    const bool read = read_item_protos(in, &found);
    found.bytes_after = close_read_file(in, read, k_items_file);
    table_file_read(g_items_file, read && found.bytes_after == 0, found);
    if (!read)
        return;
    load_item_media();
    for (int32_t i = 0; i < g_item_proto_count; ++i)
        if (g_item_protos[i].item_class == k_item_attunement)
            g_item_protos[i].damage = 0;
    read_attunement_tiers(k_attunements_file);
    apply_item_names();
}

bool save_items()
{
    packed_stream* out = stream_open(k_items_file, "wp");
    bool written = write_item_protos(out);
    if (!finish_written_file(out, written)) {
        console_log("%s: the write failed, the old file stays", k_items_file);
        return false;
    }
    return true;
}

void init_item_proto(item_proto& item, const char* name, uint8_t item_class, int16_t attack_bonus, int16_t damage,
                     int16_t critical_chance, int16_t critical_multiplier, int16_t range, int16_t,
                     int16_t damage_code)
{
    copy_bounded(item.key_name, sizeof item.key_name, name ? name : "");
    item.item_class = item_class;
    item.attack_bonus = attack_bonus;
    item.damage = damage;
    item.critical_chance = critical_chance;
    item.critical_multiplier = float(critical_multiplier);
    item.range = range;
    item.damage_code = damage_code;
    item.requirement_count = 0;
    item.efect_count = 0;
    item.deleted = 0;
}

int32_t item_name_equals(int32_t id, const char* text)
{
    const item_proto* p = item_proto_at(id);
    return p && text && std::strstr(p->display_name, text) ? 1 : 0;
}

namespace {

enum class item_sound_kind { attack, drop, inventory };

void play_item_sound(int32_t item, item_sound_kind kind, float x, float y)
{
    const item_proto* p = item_proto_at(item);
    if (!p || p->item_class == k_item_attunement)
        return;
    int32_t slot = kind == item_sound_kind::attack ? pick_item_sound(p->attack_sounds, p->attack_sound_count)
                   : kind == item_sound_kind::drop ? pick_item_sound(p->drop_sounds, p->drop_sound_count)
                                                   : pick_item_sound(p->inventory_sounds, p->inventory_sound_count);
    if (slot >= 0)
        play_sound_at(slot, x, y);
}

} // namespace

void play_item_attack_sound(int32_t item, float x, float y)
{
    play_item_sound(item, item_sound_kind::attack, x, y);
}

void play_item_drop_sound(int32_t item, float x, float y)
{
    play_item_sound(item, item_sound_kind::drop, x, y);
}

void play_item_inventory_sound(int32_t item, float x, float y)
{
    play_item_sound(item, item_sound_kind::inventory, x, y);
}
