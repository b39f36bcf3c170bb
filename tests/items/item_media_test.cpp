#include "items/item_media_fixture.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "items/items.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "support/item_table_guard.h"
#include "support/temp_folder.h"
#include "world/object_fixture.h"
#include "world/object_protos.h"
#include "engine/packed_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


TEST_F(item_media_test, ImagesGroundModelsSoundsAndTiersLoadWithTheTable)
{
    item_proto& sword = make_item(0, "mec", "Sword", k_item_medium_weapon);
    copy_bounded(sword.sound_name, sizeof sword.sound_name, "mec");
    item_proto& dagger = make_item(1, "dyka", "Dagger", k_item_fast_weapon);
    copy_bounded(dagger.image_name, sizeof dagger.image_name, "mec");  // shares the sword's media
    make_item(2, "zlato", "Gold", k_item_gold);
    make_item(3, "fokus", "Blade focus", k_item_attunement).damage = 500;
    make_item(4, "ohen", "Fire focus", k_item_attunement).size = 1;
    item_proto& bad = make_item(5, "zly", "Bad", k_item_normal);
    copy_bounded(bad.image_name, sizeof bad.image_name, "../../etc");
    copy_bounded(bad.sound_name, sizeof bad.sound_name, "../x");
    ASSERT_TRUE(save_items());

    write_test_image("data/predmety/mec.tga", 8, 8);
    write_test_image("data/predmety/big_mec.tga", 16, 16);
    write_ground_model("data/predmety/ground/default.pr");
    write_ground_model("data/predmety/ground/zlato.pr");
    for (const char* tone : {"a_mec1", "a_mec2", "a_mec4", "d_mec1"})  // a_mec4 lies after a gap
        write_tone(tone);
    write_text("global/attunements.txt", "60 \r\n300\r\n2000\t\r\n3\r\nblade FOCUS \r\n2\r\nNobody\r\n1\r\nFire focus\r\n7\r\n");
    g_object_protos[k_proto_first_template + 1].kind = k_proto_sprite;  // a template of something else
    load_items();

    ASSERT_EQ(g_item_proto_count, 6);
    const item_proto& s = g_item_protos[0];
    const item_proto& d = g_item_protos[1];
    const item_proto& g = g_item_protos[2];
    EXPECT_STREQ(s.image_name, "mec");  // an empty image name takes the key name
    EXPECT_EQ(d.icon_texture, s.icon_texture);
    EXPECT_NE(s.big_image, s.icon_texture);
    EXPECT_EQ(d.big_image, s.big_image);
    EXPECT_EQ(g.big_image, g.icon_texture);  // no big image: the icon stands in
    EXPECT_EQ(s.ground_model, k_proto_first_template);
    EXPECT_EQ(d.ground_model, s.ground_model);  // one prototype per image name
    EXPECT_STREQ(g_object_protos[s.ground_model].name, "gr_mec");
    EXPECT_EQ(g.ground_model, k_proto_first_template + 2);
    EXPECT_STREQ(g_object_protos[g.ground_model].name, "gr_zlato");

    // A name that would lead out of the data loads nothing.
    const item_proto& b = g_item_protos[5];
    EXPECT_EQ(b.icon_texture, 0xFFFF);
    EXPECT_EQ(b.ground_model, k_item_no_ground_model);
    EXPECT_EQ(b.attack_sound_count, 0);

    EXPECT_EQ(s.attack_sound_count, 2);
    EXPECT_EQ(s.drop_sound_count, 1);
    EXPECT_EQ(s.inventory_sound_count, 0);
    EXPECT_STREQ(g_sound.name[s.attack_sounds[1]], "a_mec2");
    EXPECT_NE(read_text(k_console_log_file).find(
                  "pocet zvukov pre attack 2\npocet zvukov pre drop 1\npocet zvukov pre inventory 0\n"),
              std::string::npos);

    EXPECT_EQ(g_item_protos[3].damage, 0);  // attunements load without points
    EXPECT_EQ(g_attunement_thresholds[0], 60);
    EXPECT_EQ(g_attunement_thresholds[1], 300);
    EXPECT_EQ(g_attunement_thresholds[2], 2000);
    EXPECT_EQ(g_item_protos[3].size, 2);
    EXPECT_EQ(g_item_protos[4].size, 1);  // tier 7 is refused
    EXPECT_NE(read_text(k_console_log_file).find("global/attunements.txt: poskodeny subor (riadok "), std::string::npos);

    // Sounds play one of the kind; an attunement or an item without that kind plays nothing.
    play_item_drop_sound(0, 0.0f, 0.0f);
    EXPECT_NE(read_text(k_console_log_file).find("chcem zahrat zvuk cislo 0/" + std::to_string(s.drop_sounds[0])),
              std::string::npos);
    const std::string before = read_text(k_console_log_file);
    play_item_inventory_sound(0, 0.0f, 0.0f);
    play_item_attack_sound(3, 0.0f, 0.0f);
    play_item_attack_sound(k_item_slots, 0.0f, 0.0f);
    EXPECT_EQ(read_text(k_console_log_file), before);
}

TEST(ItemTable, InitAndNameSearchTouchOnlyTheirFields)
{
    item_table_guard guard;
    item_proto& item = make_item(0, "old", "Long sword of Thar", k_item_normal);
    item.requirement_count = 3;
    item.efect_count = 2;
    item.deleted = 1;
    item.price = 77;
    init_item_proto(item, "a_key_name_longer_than_thirty_bytes", k_item_heavy_weapon, 2, 9, 5, 3, 140, 99, 6);
    EXPECT_STREQ(item.key_name, "a_key_name_longer_than_thirty");
    EXPECT_EQ(item.item_class, k_item_heavy_weapon);
    EXPECT_EQ(item.critical_multiplier, 3.0f);
    EXPECT_EQ(item.damage_code, 6);
    EXPECT_EQ(item.range, 140);
    EXPECT_EQ(item.requirement_count + item.efect_count + int(item.deleted), 0);
    EXPECT_EQ(item.price, 77);
    EXPECT_EQ(item_name_equals(0, "sword"), 1);
    EXPECT_EQ(item_name_equals(0, "Sword"), 0);
    EXPECT_EQ(item_name_equals(1, ""), 0);
    EXPECT_EQ(item_name_equals(0, nullptr), 0);
}
