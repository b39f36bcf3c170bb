#include "items/item_media_fixture.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "items/items.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "support/item_table_guard.h"
#include "tools/demo/demo_data.h"
#include "support/section_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A stored record of `size` bytes with a key name, class and the two list counts.
std::vector<uint8_t> stored_record(uint32_t size, const char* key, uint8_t item_class, int16_t requirements,
                                   int16_t efects)
{
    std::vector<uint8_t> r(std::max<uint32_t>(size, 64), 0);
    std::memcpy(r.data(), key, std::strlen(key));
    r[30] = item_class;
    put_le_u16(&r[52], uint16_t(requirements));
    put_le_u16(&r[60], uint16_t(efects));
    r.resize(size);
    return r;
}

// `n` list entries whose codes count up from `first`.
std::vector<uint8_t> stored_list(int n, uint16_t first)
{
    section_bytes b;
    for (int i = 0; i < n; ++i)
        b.u16(uint16_t(first + i)).fill(16, uint8_t(i));
    return b.bytes;
}

// "global/items.dat" in the stored (not packed) form: i32 count, u32 size, the given bytes.
void write_items_file(int32_t count, uint32_t size, const std::vector<std::vector<uint8_t>>& parts)
{
    section_bytes b;
    b.raw("AGP.", 4).u32(uint32_t(count)).u32(size);
    for (const auto& part : parts)
        b.raw(part.data(), part.size());
    write_bytes("global/items.dat", b.bytes);
}

} // namespace

TEST(ItemTable, RecordsAndListsRoundTripThroughTheFile)
{
    item_table_guard guard;
    temp_folder folder;
    ASSERT_TRUE(make_folder("global"));

    g_item_proto_count = 3;
    for (int i = 0; i < 3; ++i) {
        fill_pattern(&g_item_protos[i], uint32_t(i + 1));
        fill_pattern(&g_item_lists[i], uint32_t(i + 7));
        item_proto& item = g_item_protos[i];
        for (char* text : {item.key_name, item.image_name, item.model_name})
            text[29] = 0;
        item.display_name[99] = 0;
        item.sound_name[31] = 0;
        item.hit_sound[29] = 0;
        item.critical_multiplier = 1.5f;
        item.item_class = k_item_armor;
        item.deleted = 1;
        item.image_name[0] = '/';  // a path out of the data: no media
        item.model_name[0] = 'm';
    }
    g_item_protos[0].requirement_count = 0;
    g_item_protos[0].efect_count = 2;
    g_item_protos[1].requirement_count = 40;  // more than a list holds: 16 are written
    g_item_protos[1].efect_count = -3;
    g_item_protos[2].requirement_count = 16;
    g_item_protos[2].efect_count = 16;
    g_item_protos[2].item_class = k_item_attunement;
    g_item_protos[2].damage = 400;

    std::vector<item_proto> expected(g_item_protos, g_item_protos + 3);
    std::vector<item_lists> lists(g_item_lists, g_item_lists + 3);
    for (item_proto& item : expected) {
        item.requirement_count = std::clamp<int16_t>(item.requirement_count, 0, 16);
        item.efect_count = std::clamp<int16_t>(item.efect_count, 0, 16);
        item.requirements_word = 0;
        item.efects_word = 0;
        item.ground_model = k_item_no_ground_model;
        item.icon_texture = item.big_image = 0xFFFF;
        item.attack_sound_count = item.drop_sound_count = item.inventory_sound_count = 0;
    }
    expected[2].damage = 0;  // attunements always load without points

    ASSERT_TRUE(save_items());
    packed_stream* in = stream_open("global/items.dat", "rp");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(stream_read_u32le(in), 3);
    EXPECT_EQ(stream_read_u32le(in), k_item_proto_size);
    stream_close(in);

    g_item_proto_count = 0;
    load_items();
    ASSERT_EQ(g_item_proto_count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(&g_item_protos[i], &expected[i], sizeof(item_proto)), 0) << "item " << i;
        EXPECT_EQ(std::memcmp(g_item_lists[i].requirements, lists[i].requirements,
                              sizeof(item_property) * size_t(expected[i].requirement_count)), 0);
        EXPECT_EQ(std::memcmp(g_item_lists[i].efects, lists[i].efects,
                              sizeof(item_property) * size_t(expected[i].efect_count)), 0);
    }
    // A loaded table saved, loaded and saved again gives the same file byte for byte.
    ASSERT_TRUE(save_items());
    const std::vector<uint8_t> first = read_bytes("global/items.dat");
    load_items();
    ASSERT_TRUE(save_items());
    EXPECT_EQ(read_bytes("global/items.dat"), first);
    EXPECT_EQ(item_proto_at(2), &g_item_protos[2]);
    EXPECT_EQ(item_proto_at(3), nullptr);
    EXPECT_EQ(item_proto_at(-1), nullptr);

    // Without its folder the file cannot be written; the old one stays.
    std::filesystem::rename("global", "elsewhere");
    EXPECT_FALSE(save_items());
    EXPECT_FALSE(std::filesystem::exists("global/items.dat"));
}

TEST(ItemTable, ShortLongAndHostileFilesLoadSafely)
{
    item_table_guard guard;
    temp_folder folder;
    ASSERT_TRUE(make_folder("global"));
    write_text("global/itemnames_eng.txt", "0;mec;Sword\r\n1;stit;Shield\r\n");

    // Records of 64 bytes: the critical multiplier is missing (0.0) and takes the 16-bit value; a
    // list of 17 entries keeps 16 and the next record still lines up; a negative count reads
    // nothing.
    std::vector<uint8_t> sword = stored_record(64, "mec", k_item_medium_weapon, 17, -2);
    put_le_u16(&sword[44], 3);
    std::vector<uint8_t> shield = stored_record(64, "stit", k_item_shield, 0, 1);
    put_le_u32(&shield[56], 0xDEADBEEF);
    shield[63] = 0x7F;  // a reserved byte is kept
    std::vector<uint8_t> none = stored_record(64, "nic", k_item_normal, 0, 0);
    put_le_u16(&none[44], 0);  // the multiplier stays 0.0
    write_items_file(3, 64, {sword, stored_list(17, 100), shield, stored_list(1, 500), none});
    g_item_proto_count = 0;
    load_items();
    ASSERT_EQ(g_item_proto_count, 3);
    const item_proto& s = g_item_protos[0];
    EXPECT_EQ(s.critical_multiplier, 3.0f);
    EXPECT_EQ(s.requirement_count, 16);
    EXPECT_EQ(g_item_lists[0].requirements[15].code, 115);
    EXPECT_EQ(s.efect_count, 0);
    EXPECT_STREQ(s.image_name, "mec");
    EXPECT_STREQ(s.model_name, "mec");
    EXPECT_STREQ(s.display_name, "Sword");
    const item_proto& t = g_item_protos[1];
    EXPECT_STREQ(t.key_name, "stit");
    EXPECT_EQ(t.efect_count, 1);
    EXPECT_EQ(g_item_lists[1].efects[0].code, 500);
    EXPECT_EQ(t.requirements_word, 0u);
    EXPECT_EQ(t.reserved_62[1], 0x7F);
    EXPECT_EQ(g_item_protos[2].critical_multiplier, 0.0f);
    const std::vector<uint8_t> whole = read_bytes("global/items.dat");

    // A file that ends early or holds a count outside 0 to 1,000 is refused whole: logged, and
    // the table stays as it was.
    g_console_enabled = 1;
    std::vector<uint8_t> cut = whole;
    cut.pop_back();
    write_bytes("global/items.dat", cut);
    load_items();
    write_items_file(-5, 816, {});
    load_items();
    write_items_file(1001, 0, {});
    load_items();
    g_console_enabled = 0;
    EXPECT_EQ(g_item_proto_count, 3);
    EXPECT_STREQ(g_item_protos[2].key_name, "nic");
    EXPECT_EQ(g_item_lists[0].requirements[15].code, 115);
    const std::string log = read_text(k_console_log_file);
    EXPECT_NE(log.find("global/items.dat: poskodeny subor (konci v predmete 2 z 3), ostava doterajsie predmety"), std::string::npos);
    EXPECT_NE(log.find("global/items.dat: poskodeny subor (pocet -5 mimo 0 az 1000)"), std::string::npos);
    EXPECT_NE(log.find("global/items.dat: poskodeny subor (pocet 1001 mimo 0 az 1000)"), std::string::npos);

    // A longer record: its tail is skipped and the lists follow it. A deleted item keeps its
    // name; an unterminated key name is cut.
    std::vector<uint8_t> longer = stored_record(900, "stit", k_item_shield, 1, 0);
    put_le_u32(&longer[336], 1);
    std::memcpy(&longer[88], "Old shield", 10);
    std::memset(&longer[0], 'x', 30);
    longer[899] = 0xEE;
    write_items_file(1, 900, {longer, stored_list(1, 9)});
    load_items();
    ASSERT_EQ(g_item_proto_count, 1);
    EXPECT_EQ(std::string(g_item_protos[0].key_name), std::string(29, 'x'));
    EXPECT_STREQ(g_item_protos[0].display_name, "Old shield");
    EXPECT_EQ(g_item_lists[0].requirements[0].code, 9);

    // 1,000 records of size 0 fill the table; a missing file then changes nothing.
    write_items_file(1000, 0, {});
    load_items();
    EXPECT_EQ(g_item_proto_count, k_item_slots);
    std::filesystem::remove("global/items.dat");
    load_items();
    EXPECT_EQ(g_item_proto_count, k_item_slots);
}

TEST_F(item_media_test, TheDemoItemsLoadWithTheirNames)
{
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null").c_str()), 0);
    load_items();
    ASSERT_EQ(g_item_proto_count, 330);
    const item_proto* sword = item_proto_at(k_demo_sword);
    EXPECT_STREQ(sword->display_name, "Sword");
    EXPECT_STREQ(sword->image_name, "mec");
    EXPECT_EQ(std::make_tuple(sword->item_class, sword->damage, sword->range, sword->strike_frame, sword->attack_delay,
                              sword->stamina_cost, sword->damage_type),
              std::make_tuple(uint8_t(k_item_medium_weapon), int16_t(8), int16_t(120), uint8_t(2), uint8_t(30),
                              int16_t(3), uint8_t(1)));
    const item_proto* focus = item_proto_at(sword->attunement_link);
    ASSERT_EQ(focus, item_proto_at(k_demo_focus));
    EXPECT_EQ(focus->item_class, k_item_attunement);
    EXPECT_EQ(focus->efect_count, 1);
    EXPECT_EQ(item_proto_at(k_demo_armour)->armour_bonus, 4);
    EXPECT_EQ(item_proto_at(k_demo_gold)->item_class, k_item_gold);
    for (int32_t id : {175, 178, 179, 180, 186, 244, 251, 259})
        EXPECT_EQ(item_proto_at(id)->item_class, k_item_attunement) << id;
    EXPECT_EQ(item_proto_at(186)->size, 2);  // from the tiers file
    EXPECT_EQ(item_proto_at(4)->deleted, 1u);
    EXPECT_EQ(item_proto_at(329)->deleted, 0u);
    const item_proto* bag = item_proto_at(13);
    EXPECT_EQ(bag->container_width * bag->container_height, 16);
}
