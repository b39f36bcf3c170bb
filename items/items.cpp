#include "items/items.h"

#include "core/console_log.h"
#include "core/utilities.h"
#include "engine/localized_names.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/sound.h"
#include "platform/random.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

item_proto g_item_protos[k_item_slots];
item_lists g_item_lists[k_item_slots];
int32_t g_item_proto_count = 0;
int32_t g_attunement_thresholds[k_attunement_tiers] = {50, 200, 1000};
int32_t g_spell_proto_count = 0;

namespace {

constexpr const char* k_items_file = "global/items.dat";
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

// One record and its lists into slot i; false when the data ends first (the slot is cleared).
bool read_item(packed_stream* stream, uint32_t stored_size, int32_t i)
{
    item_proto& item = g_item_protos[i];
    item_lists& lists = g_item_lists[i];
    uint8_t bytes[k_item_proto_size] = {};
    bool whole = read_stored_record(stream, bytes, k_item_proto_size, stored_size);
    if (whole) {
        record_reader in{bytes};
        item_proto_fields(in, item);
        item.requirement_count = read_property_list(stream, item.requirement_count, lists.requirements);
        whole = item.requirement_count >= 0;
    }
    if (whole) {
        item.efect_count = read_property_list(stream, item.efect_count, lists.efects);
        whole = item.efect_count >= 0;
    }
    if (!whole) {
        item = item_proto{};
        lists = item_lists{};
        return false;
    }
    item.requirements_word = 0;
    item.efects_word = 0;
    if (item.critical_multiplier == 0.0f)
        item.critical_multiplier = float(item.critical_multiplier_whole);
    take_key_name_when_empty(item.image_name, sizeof item.image_name, item.key_name);
    take_key_name_when_empty(item.model_name, sizeof item.model_name, item.key_name);
    return true;
}

// Item images, ground models and sounds are not loaded yet; the items keep none.
void load_item_media()
{
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        item_proto& item = g_item_protos[i];
        item.ground_model = k_item_no_ground_model;
        item.attack_sound_count = 0;
        item.drop_sound_count = 0;
        item.inventory_sound_count = 0;
    }
}

// The attunement tiers file is not read yet: thresholds and tiers keep their values.
void load_attunement_tiers() {}

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

bool read_item_protos(packed_stream* stream)
{
    if (!stream)
        return false;
    std::fill(std::begin(g_item_protos), std::end(g_item_protos), item_proto{});
    std::fill(std::begin(g_item_lists), std::end(g_item_lists), item_lists{});
    g_item_proto_count = 0;
    int64_t stored_count = stream_read_u32le(stream);
    int64_t stored_size = stored_count < 0 ? -1 : stream_read_u32le(stream);
    if (stored_size < 0) {
        console_log("%s: the head is missing; no items", k_items_file);
        return false;
    }
    int32_t count = int32_t(stored_count);
    if (count < 0)
        console_log("%s: count %d read as 0", k_items_file, int(count));
    else if (count > k_item_slots)
        console_log("%s: %d items stored, the first %d read", k_items_file, int(count), k_item_slots);
    int32_t wanted = std::clamp(count, 0, k_item_slots);
    while (g_item_proto_count < wanted && read_item(stream, uint32_t(stored_size), g_item_proto_count))
        ++g_item_proto_count;
    if (g_item_proto_count < wanted) {
        console_log("%s: the file ends early; %d items read", k_items_file, int(g_item_proto_count));
        return false;
    }
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

void load_items()
{
    packed_stream* in = stream_open(k_items_file, "rp");
    if (!in)
        return;
    read_item_protos(in);
    stream_close(in);
    load_item_media();
    for (int32_t i = 0; i < g_item_proto_count; ++i)
        if (g_item_protos[i].item_class == k_item_attunement)
            g_item_protos[i].damage = 0;
    load_attunement_tiers();
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

void load_char_containers() {}
void load_spells() { g_spell_proto_count = 0; }
void save_spells() {}
void update_ground_items(int) {}
void draw_ground_item_labels() {}

void play_item_attack_sound(int32_t item, float x, float y)
{
    const item_proto* p = item_proto_at(item);
    if (!p)
        return;
    int32_t n = std::clamp<int32_t>(p->attack_sound_count, 0, int32_t(std::size(p->attack_sounds)));
    if (n > 0)
        play_sound_at(int32_t(p->attack_sounds[game_rand() % n]), x, y);
}
