#include "characters/monster_protos.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

monster_proto g_monster_protos[k_monster_proto_slots];
int16_t g_monster_proto_count = 0;
table_file_state g_monster_protos_file = {k_monster_protos_file, true, false, [] {
    return int32_t(std::clamp<int16_t>(g_monster_proto_count, 0, k_monster_proto_slots));
}};

namespace {

constexpr const char* k_monsters_kept = "doterajsie triedy priser";

template <class Io, class Proto>
void monster_proto_fields(Io& io, Proto& p)
{
    io.u8(0, p.genus);
    io.text(1, p.name, sizeof p.name);
    io.i16(102, p.attack_class);
    io.i16(104, p.damage_type);
    io.i16(106, p.unarmed_per_level);
    io.i16(108, p.unarmed_base);
    io.i16(110, p.critical_base);
    io.i16(112, p.critical_per_level);
    io.i16(114, p.unarmed_critical_multiplier);
    io.i16(116, p.armor_base);
    io.i16(118, p.armor_per_level);
    io.bytes(120, p.reserved_120, sizeof p.reserved_120);
    io.i16(164, p.shield);
    io.i16(166, p.hp_percent);
    io.i16(168, p.exp_percent);
    io.u8(170, p.dreamwalk);
    io.bytes(171, p.reserved_171, sizeof p.reserved_171);
    for (int i = 0; i < 4; ++i)
        io.i16(172 + 2 * i, p.base_skills[i]);
    io.u8(180, p.aphotic);
    io.text(181, p.chr_name, sizeof p.chr_name);
    io.i16(202, p.attack_pause);
    io.bytes(204, p.reserved_204, sizeof p.reserved_204);
    io.u8(206, p.weapon_count);
    io.bytes(207, p.reserved_207, sizeof p.reserved_207);
    for (int i = 0; i < k_monster_table_entries; ++i)
        io.i16(208 + 2 * i, p.weapon_item[i]);
    io.bytes(336, p.weapon_level, sizeof p.weapon_level);
    io.bytes(400, p.weapon_rarity, sizeof p.weapon_rarity);
    io.i16(464, p.treasure_count);
    for (int i = 0; i < k_monster_table_entries; ++i)
        io.i16(466 + 2 * i, p.treasure_item[i]);
    io.bytes(594, p.treasure_chance, sizeof p.treasure_chance);
    io.bytes(658, p.treasure_level, sizeof p.treasure_level);
    io.bytes(722, p.treasure_rarity, sizeof p.treasure_rarity);
    io.bytes(786, p.reserved_786, sizeof p.reserved_786);
    io.u32(788, p.carries_gold);
    io.u32(792, p.reserved_792[0]);
    io.u32(796, p.reserved_792[1]);
    io.u8(800, p.treasure_chance_main);
    io.bytes(801, p.reserved_801, sizeof p.reserved_801);
}

monster_proto default_proto()
{
    monster_proto p{};
    new_monster_proto(&p);
    return p;
}

} // namespace

void new_monster_proto(monster_proto* p)
{
    p->genus = k_genus_human;
    copy_bounded(p->name, sizeof p->name, "new monster");
    p->chr_name[0] = 0;
    p->attack_class = 0;
    p->damage_type = 0;
    p->unarmed_per_level = 3;
    p->unarmed_base = 10;
    p->critical_base = 5;
    p->critical_per_level = 1;
    p->unarmed_critical_multiplier = 3;
    p->armor_base = 2;
    p->armor_per_level = 1;
    p->shield = 15;
    p->hp_percent = 100;
    p->exp_percent = 100;
    p->dreamwalk = 0;
    std::fill(std::begin(p->base_skills), std::end(p->base_skills), int16_t(1));
    p->weapon_count = 0;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(p);
    bytes[120] = 0;
    bytes[154] = 0;
    std::memset(bytes + 156, 0, 6);
}

const monster_proto& char_monster_proto(const char_record* c)
{
    static const monster_proto fallback = default_proto();
    int32_t n = std::clamp<int32_t>(g_monster_proto_count, 0, k_monster_proto_slots);
    return c && c->monster_class >= 0 && c->monster_class < n ? g_monster_protos[c->monster_class] : fallback;
}

uint8_t monster_class_skill(const monster_proto& proto, monster_skill skill)
{
    constexpr int32_t k_top_skill = 17;
    return uint8_t(std::clamp<int32_t>(proto.base_skills[skill], 0, k_top_skill));
}

void encode_monster_proto(const monster_proto& proto, uint8_t* bytes)
{
    record_writer w{bytes};
    monster_proto_fields(w, proto);
}

void decode_monster_proto(const uint8_t* bytes, monster_proto* proto)
{
    record_reader r{bytes};
    monster_proto_fields(r, *proto);
}

bool load_monster_protos()
{
    bool missing = false;
    packed_stream* in = open_data_file(k_monster_protos_file, k_monsters_kept, &missing);
    if (!in) {
        table_file_read(g_monster_protos_file, missing);
        return false;
    }
    int value = stream_read_u16le(in);
    int16_t count = int16_t(value);
    int64_t stored_size = value < 0 ? -1 : stream_read_u32le(in);
    std::vector<monster_proto> protos;
    const bool head = stored_size > 0 && count >= 0;
    table_read got{0, head};
    if (head) {
        protos.resize(size_t(std::min<int>(count, k_monster_proto_slots)));
        uint8_t blank[k_monster_proto_size];
        encode_monster_proto(default_proto(), blank);
        got = read_table_records<k_monster_proto_size>(in, uint32_t(stored_size), uint64_t(count),
                                                       k_monster_proto_slots, blank,
                                                       [&](uint32_t i, const uint8_t* bytes) {
                                                           decode_monster_proto(bytes, &protos[i]);
                                                       });
    }
    const table_file_contents found{head ? count : -1, int64_t(got.whole),
                                    close_read_file(in, got.complete, k_monster_protos_file)};
    table_file_read(g_monster_protos_file,
                    got.complete && count <= k_monster_proto_slots && found.bytes_after == 0, found);
    if (!got.complete) {
        const std::string where =
            head ? "konci po triede " + std::to_string(got.kept) : std::string("hlavicka tabulky");
        report_damaged_file(k_monster_protos_file, where.c_str(), k_monsters_kept);
        return false;
    }
    if (count > k_monster_proto_slots) {
        const std::string where = "pocet " + std::to_string(count) + " nad " + std::to_string(k_monster_proto_slots);
        report_damaged_file(k_monster_protos_file, where.c_str(), "prve triedy, ktore sa zmestia");
    }
    std::copy(protos.begin(), protos.end(), g_monster_protos);
    g_monster_proto_count = int16_t(protos.size());
    return true;
}

bool save_monster_protos()
{
    int16_t count = std::clamp<int16_t>(g_monster_proto_count, 0, k_monster_proto_slots);
    packed_stream* out = stream_open(k_monster_protos_file, "wp");
    bool written = out && stream_write_u16le(uint16_t(count), out) >= 0 &&
                   stream_write_u32le(k_monster_proto_size, out) >= 0 &&
                   write_table_records<k_monster_proto_size>(out, uint32_t(count), [](uint32_t i, uint8_t* bytes) {
                       encode_monster_proto(g_monster_protos[i], bytes);
                   });
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", k_monster_protos_file);
        return false;
    }
    return true;
}
