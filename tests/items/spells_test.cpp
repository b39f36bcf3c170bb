#include "items/item_media_fixture.h"

#include "core/console_log.h"
#include "items/items.h"
#include "items/spells.h"
#include "platform/files.h"
#include "support/item_table_guard.h"
#include "support/section_files.h"
#include "tools/demo/demo_data.h"
#include "world/object_protos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The item media world with the spell table kept around each test and "data/spell" made.
class spell_test : public item_media_test {
protected:
    void SetUp() override
    {
        item_media_test::SetUp();
        saved_ = std::make_unique<spell_proto[]>(k_spell_slots);
        std::copy(std::begin(g_spell_protos), std::end(g_spell_protos), saved_.get());
        saved_count_ = g_spell_proto_count;
        saved_taken_ = g_spells_file;
        std::fill(std::begin(g_spell_protos), std::end(g_spell_protos), spell_proto{});
        g_spell_proto_count = 0;
        ASSERT_TRUE(make_folder("data/spell"));
    }
    void TearDown() override
    {
        std::copy(saved_.get(), saved_.get() + k_spell_slots, g_spell_protos);
        g_spell_proto_count = saved_count_;
        g_spells_file = saved_taken_;
        item_media_test::TearDown();
    }

    static spell_proto patterned_spell(uint32_t seed)
    {
        spell_proto s;
        fill_pattern(&s, seed);
        s.name[k_spell_name_size - 1] = s.sound_name[k_spell_name_size - 1] = 0;
        s.effect_key[k_spell_name_size - 1] = s.icon[k_spell_name_size - 1] = 0;
        return s;
    }
    // A spell named `name` whose effect and sound names are `key`.
    static spell_proto& named_spell(int32_t id, const char* name, const char* key)
    {
        spell_proto& s = g_spell_protos[id];
        s = spell_proto{};
        copy_bounded(s.name, sizeof s.name, name);
        copy_bounded(s.effect_key, sizeof s.effect_key, key);
        copy_bounded(s.sound_name, sizeof s.sound_name, key);
        s.damage_percent = 100;
        g_spell_proto_count = std::max(g_spell_proto_count, id + 1);
        return s;
    }
    // "global/spells.dat" in the stored (not packed) form.
    static void write_spells_file(int32_t count, uint32_t size, const std::vector<uint8_t>& records)
    {
        section_bytes b;
        b.raw("AGP.", 4).u32(uint32_t(count)).u32(size).raw(records.data(), records.size());
        write_bytes("global/spells.dat", b.bytes);
    }
    static std::vector<uint8_t> bytes_of(const spell_proto& s, size_t n = k_spell_proto_size)
    {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(&s);
        return std::vector<uint8_t>(p, p + n);
    }
    static int used_template_slots()
    {
        return int(std::count_if(g_object_protos + k_proto_first_template, g_object_protos + k_proto_slots,
                                 [](const object_proto& p) { return p.kind != k_proto_free; }));
    }

    std::unique_ptr<spell_proto[]> saved_;
    int32_t saved_count_ = 0;
    table_file_state saved_taken_ = {};
};

TEST_F(spell_test, TheFileRoundTripsByteForByte)
{
    for (int32_t i = 0; i < 3; ++i)
        g_spell_protos[i] = patterned_spell(uint32_t(i + 1));
    g_spell_proto_count = 3;
    ASSERT_TRUE(save_spells());

    // The stored bytes: count, size 428 and each record as held, padding and unused bytes too.
    std::vector<uint8_t> expected = section_bytes{}.u32(3).u32(k_spell_proto_size).bytes;
    for (int32_t i = 0; i < 3; ++i) {
        std::vector<uint8_t> record = bytes_of(g_spell_protos[i]);
        expected.insert(expected.end(), record.begin(), record.end());
    }
    packed_stream* in = stream_open("global/spells.dat", "rp");
    ASSERT_NE(in, nullptr);
    std::vector<uint8_t> stored(expected.size() + 16);
    stored.resize(size_t(std::max(0, stream_read(stored.data(), int(stored.size()), in))));
    stream_close(in);
    EXPECT_EQ(stored, expected);

    // Read back over a cleared table: the same records.
    std::vector<uint8_t> first = bytes_of(g_spell_protos[0]), third = bytes_of(g_spell_protos[2]);
    std::fill(std::begin(g_spell_protos), std::end(g_spell_protos), spell_proto{});
    g_spell_proto_count = 0;
    in = stream_open("global/spells.dat", "rp");
    ASSERT_TRUE(read_spell_protos(in));
    stream_close(in);
    EXPECT_EQ(g_spell_proto_count, 3);
    EXPECT_EQ(bytes_of(g_spell_protos[0]), first);
    EXPECT_EQ(bytes_of(g_spell_protos[2]), third);

    // A failed write reports it and keeps the old file.
    std::remove("global/spells.dat");
    ASSERT_TRUE(make_folder("global/spells.dat"));
    EXPECT_FALSE(save_spells());
}

TEST_F(spell_test, ShortLongAndHostileFilesLoadSafely)
{
    g_console_enabled = 1;
    // A record of 100 bytes keeps the rest of its slot; a damage percent below 5 loads as 100.
    spell_proto before = patterned_spell(7);
    g_spell_protos[0] = g_spell_protos[1] = before;
    spell_proto stored = named_spell(5, "short", "");
    std::vector<uint8_t> records;
    for (int16_t percent : {int16_t(4), int16_t(5)}) {
        stored.damage_percent = percent;
        std::vector<uint8_t> b = bytes_of(stored, 100);
        records.insert(records.end(), b.begin(), b.end());
    }
    write_spells_file(2, 100, records);
    load_spells();
    ASSERT_EQ(g_spell_proto_count, 2);
    EXPECT_STREQ(g_spell_protos[0].name, "short");
    EXPECT_EQ(g_spell_protos[0].damage_percent, 100);
    EXPECT_EQ(g_spell_protos[1].damage_percent, 5);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&g_spell_protos[1]) + 100,
                          reinterpret_cast<const uint8_t*>(&before) + 100, 112 - 100),
              0);  // up to the sound counts, which the loader rebuilds
    EXPECT_EQ(g_spell_protos[1].item_effect, before.item_effect);
    EXPECT_EQ(g_spell_protos[1].missile_slot, -1);  // a run-time field: rebuilt

    // Records of 500 bytes: 428 are read and the rest skipped; a negative percent becomes 100.
    records.clear();
    for (int i = 0; i < 2; ++i) {
        spell_proto s = patterned_spell(uint32_t(20 + i));
        s.damage_percent = int16_t(-7 * (1 - i) + 60 * i);
        std::vector<uint8_t> b = bytes_of(s);
        b.resize(500, 0xEE);
        records.insert(records.end(), b.begin(), b.end());
    }
    write_spells_file(2, 500, records);
    load_spells();
    ASSERT_EQ(g_spell_proto_count, 2);
    EXPECT_EQ(g_spell_protos[0].damage_percent, 100);
    EXPECT_EQ(g_spell_protos[1].damage_percent, 60);
    EXPECT_EQ(g_spell_protos[1].quake_length, patterned_spell(21).quake_length);
    EXPECT_TRUE(g_spells_file.read_whole);

    // A count above 200 or below 0, a cut record or a missing head: refused whole and logged.
    const std::vector<uint8_t> table = bytes_of(g_spell_protos[0]);
    std::vector<uint8_t> one = bytes_of(patterned_spell(30));
    struct hostile {
        int32_t count;
        std::vector<uint8_t> records;
        const char* logged;
    } files[] = {{201, one, "count 201 outside 0 to 200"}, {-1, one, "count -1 outside"},
                 {2, one, "the file ends in spell 1 of 2"}};
    for (const hostile& f : files) {
        write_spells_file(f.count, k_spell_proto_size, f.records);
        load_spells();
        EXPECT_EQ(g_spell_proto_count, 2) << f.count;
        EXPECT_EQ(bytes_of(g_spell_protos[0]), table) << f.count;
        EXPECT_FALSE(g_spells_file.read_whole);
        EXPECT_NE(log_text().find(f.logged), std::string::npos) << f.logged;
    }
    write_bytes("global/spells.dat", section_bytes{}.raw("AGP.", 4).u32(1).bytes);
    load_spells();
    EXPECT_EQ(g_spell_proto_count, 2);
    EXPECT_NE(log_text().find("global/spells.dat: the head is missing; the spell table stays"), std::string::npos);

    // A missing file changes nothing.
    std::remove("global/spells.dat");
    load_spells();
    EXPECT_EQ(g_spell_proto_count, 2);
}

TEST_F(spell_test, EffectPrototypesAreSharedByKeyAndFoundOnlyBelowTheFirstFreeSlot)
{
    g_console_enabled = 1;
    write_ground_model("data/spell/ohen.pr");
    write_ground_model("data/spell/e_ohen.pr");
    write_ground_model("data/spell/strela2_ohen.pr");
    named_spell(0, "fire", "ohen");
    named_spell(1, "fire too", "ohen");
    named_spell(2, "hostile", "../ohen");
    g_spell_protos[2].missile_slot = 1234;
    ASSERT_TRUE(save_spells());
    load_spells();
    ASSERT_EQ(g_spell_proto_count, 3);
    const spell_proto& a = g_spell_protos[0];
    const spell_proto& b = g_spell_protos[1];
    EXPECT_EQ(a.missile_slot, k_proto_first_template);
    EXPECT_EQ(a.explosion_slot, k_proto_first_template + 1);
    EXPECT_EQ(a.companion_slot, k_proto_first_template + 2);
    EXPECT_EQ(std::vector<int16_t>({a.cast_effect_slot, a.glow_slot, a.third_explosion_slot, a.second_explosion_slot}),
              std::vector<int16_t>(4, -1));
    EXPECT_EQ(std::vector<int16_t>({b.missile_slot, b.explosion_slot, b.companion_slot}),
              std::vector<int16_t>({a.missile_slot, a.explosion_slot, a.companion_slot}));
    EXPECT_STREQ(g_object_protos[a.missile_slot].name, "bs_ohen");
    EXPECT_STREQ(g_object_protos[a.companion_slot].name, "ohen_e6");
    EXPECT_EQ(used_template_slots(), 3);  // each file read once
    std::string log = log_text();
    EXPECT_EQ(log.find("pridal som kuzlu"), log.rfind("pridal som kuzlu"));
    EXPECT_NE(log.find("pridal som kuzlu fire prototyp 1000 typu 0"), std::string::npos);
    EXPECT_EQ(g_spell_protos[2].missile_slot, -1);  // no path leaves data/

    // Freed, the slots are free again; a key stored past the first free slot is not found, so the
    // file is read again into the first free slot.
    g_spell_protos[0].glow_slot = 5;  // not a template slot: left alone
    free_spell_effects(g_spell_protos[0]);
    EXPECT_EQ(g_spell_protos[0].missile_slot, -1);
    EXPECT_EQ(g_spell_protos[0].glow_slot, 5);
    EXPECT_EQ(g_object_protos[k_proto_first_template].kind, k_proto_free);
    EXPECT_EQ(used_template_slots(), 0);
    g_object_protos[k_proto_first_template + 5].kind = k_proto_sprite;
    copy_bounded(g_object_protos[k_proto_first_template + 5].name, k_proto_name_size, "bs_ohen");
    load_spell_effects(g_spell_protos[1]);
    EXPECT_EQ(g_spell_protos[1].missile_slot, k_proto_first_template);
    std::remove("data/spell/ohen.pr");
    g_object_protos[k_proto_first_template].kind = k_proto_free;
    load_spell_effects(g_spell_protos[1]);
    EXPECT_EQ(g_spell_protos[1].missile_slot, -1);
    g_object_protos[k_proto_first_template + 5].kind = k_proto_free;
}

TEST_F(spell_test, SoundListsStopAtTheFirstGap)
{
    for (const char* name : {"c_zvuk0", "c_zvuk1", "c_zvuk3", "e_zvuk0", "c_..0"})
        write_tone(name);
    named_spell(0, "a", "zvuk");
    named_spell(1, "b", "nic");
    named_spell(2, "c", "..");
    ASSERT_TRUE(save_spells());
    load_spells();
    EXPECT_EQ(g_spell_protos[0].cast_sound_count, 2u);  // sound 3 exists but 2 does not
    EXPECT_EQ(g_spell_protos[0].explosion_sound_count, 1u);
    EXPECT_NE(g_spell_protos[0].cast_sounds[0], g_spell_protos[0].cast_sounds[1]);
    EXPECT_EQ(g_spell_protos[1].cast_sound_count + g_spell_protos[1].explosion_sound_count, 0u);
    EXPECT_EQ(g_spell_protos[2].cast_sound_count, 0u);
    EXPECT_NE(log_text().find("cast snd 2 je -1"), std::string::npos);
}

TEST_F(spell_test, LookupsAnswerOnlyForKnownIds)
{
    const int32_t pairs[][2] = {{0, 244}, {47, 245}, {51, 246}, {80, 247}, {1, 248}, {52, 249}, {53, 250}, {81, 251},
                                {59, 256}, {65, 257}, {73, 258}, {91, 259}, {46, 252}, {3, 253}, {50, 254}, {99, 255}};
    for (const auto& p : pairs)
        EXPECT_EQ(find_spell_attunement(p[0]), p[1]) << p[0];
    for (int32_t spell : {2, -1, 244, 200})
        EXPECT_EQ(find_spell_attunement(spell), -1) << spell;

    item_table_guard items;
    g_item_proto_count = 0;
    make_item(0, "a", "Fire staff", k_item_focus);
    make_item(3, "b", "Fire Staff", k_item_focus);
    EXPECT_EQ(find_item_proto_by_name("Fire Staff"), 3);
    EXPECT_EQ(find_item_proto_by_name("fire staff"), -1);
    EXPECT_EQ(find_item_proto_by_name("Fire"), -1);
    EXPECT_EQ(find_item_proto_by_name(nullptr), -1);

    spell_proto& s = named_spell(1, "bolt", "");
    s.mana_cost = 12;
    s.pause = 40;
    s.phase = 3;
    int32_t cost = 0, frame = 0;
    uint32_t pause = 0;
    ASSERT_TRUE(spell_cost(1, &cost, &pause) && spell_cast_frame(1, &frame));
    EXPECT_EQ(std::make_tuple(cost, pause, frame), std::make_tuple(12, 40u, 3));
    EXPECT_FALSE(spell_cost(2, &cost, &pause));
    EXPECT_FALSE(spell_cast_frame(-1, &frame));

    s = patterned_spell(9);
    spell_proto kept = s;
    reset_spell_proto(s);
    EXPECT_STREQ(s.name, "new");
    EXPECT_EQ(std::make_tuple(s.school, s.missile_slot, s.second_explosion_slot, s.speed, s.glow_scale, s.light_colour[2]),
              std::make_tuple(uint8_t(0), int16_t(-1), int16_t(-1), uint8_t(8), 1.0f, 1.0f));
    EXPECT_EQ(std::make_tuple(s.companion_slot, s.mana_cost, s.hit_spell),
              std::make_tuple(kept.companion_slot, kept.mana_cost, kept.hit_spell));
}

TEST_F(spell_test, TheDemoSpellsLoadWithTheirEffectsAndSounds)
{
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null").c_str()), 0);
    load_spells();
    ASSERT_EQ(g_spell_proto_count, 115);
    for (int32_t id : {11, 64, 114})
        EXPECT_STRNE(spell_proto_at(id)->name, "") << id;
    const spell_proto& fire = *spell_proto_at(0);
    EXPECT_NE(fire.missile_slot, -1);
    EXPECT_NE(fire.explosion_slot, -1);
    EXPECT_EQ(fire.missile_slot, spell_proto_at(47)->missile_slot);
    EXPECT_EQ(fire.cast_sound_count, 2u);
    EXPECT_EQ(fire.explosion_sound_count, 1u);
    EXPECT_EQ(spell_proto_at(3)->missile_slot, -1);  // an area spell
    EXPECT_NE(spell_proto_at(3)->explosion_slot, -1);
    EXPECT_EQ(spell_proto_at(114)->damage_kind, k_spell_heal_self);
    EXPECT_NE(spell_proto_at(114)->cast_effect_slot, -1);
    for (int32_t spell : {0, 1, 59, 46, 47, 52, 65, 3, 51, 53, 73, 50, 80, 81, 91, 99})
        EXPECT_NE(spell_proto_at(spell)->damage_kind, k_spell_no_damage) << spell;
}

} // namespace
