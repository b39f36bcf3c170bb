#include "characters/char_fixture.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/globals.h"
#include "engine/models.h"
#include "engine/packed_stream.h"
#include "platform/files.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string registry_path(int16_t index)
{
    return index >= 0 && uint32_t(index) < g_chardata_count ? g_chardata[index].path : "";
}

void write_text_file(const std::string& path, const std::string& text)
{
    ASSERT_TRUE(write_whole_file(path.c_str(), text.data(), text.size()));
}

} // namespace

TEST_F(char_test, ClipsOfTwoCharactersShareTheRegistrysModelsButNotTheirPrototypes)
{
    write_clip("wolf", 1, "stand1", {"head", "body"}, 2);
    write_clip("wolf", 1, "move1", {"head", "LEGS"}, 4);  // part names match ignoring case
    write_clip("wolf", 1, "attack3", {"wr"}, 3);
    write_text_file("3d/wolf/1/move1/ini", "speed 6\r\n");
    char_record& a = make_char(4, "wolf", k_kind_enemy);
    char_record& b = make_char(5, "wolf", k_kind_enemy);
    load_char_anims(&a, 1, true);
    load_char_anims(&b, 1, true);

    EXPECT_EQ(g_move_proto_count, 6);
    EXPECT_EQ(g_chardata_count, 5u);
    const std::pair<int16_t, int16_t> clips[] = {
        {a.clip_stand[0], b.clip_stand[0]}, {a.clip_move[0], b.clip_move[0]}, {a.clip_attack[2], b.clip_attack[2]}};
    for (auto [mine, theirs] : clips) {
        ASSERT_GE(mine, 0);
        ASSERT_GE(theirs, 0);
        EXPECT_NE(mine, theirs);
        EXPECT_EQ(std::memcmp(g_move_protos[mine].part_model, g_move_protos[theirs].part_model,
                              sizeof g_move_protos[mine].part_model), 0);
    }
    EXPECT_STREQ(g_move_protos[a.clip_stand[0]].name, "3d/wolf/1/stand1/4");
    EXPECT_STREQ(g_move_protos[b.clip_stand[0]].name, "3d/wolf/1/stand1/5");
    const char_move_proto& move = g_move_protos[a.clip_move[0]];
    EXPECT_EQ(registry_path(move.part_model[4]), "3d/wolf/1/move1/legs.3d");
    EXPECT_EQ(move.part_model[1], -1);
    EXPECT_EQ(move.frame_time, 6);
    EXPECT_EQ(g_move_protos[a.clip_stand[0]].frame_time, 4);
    EXPECT_EQ(char_part_model(move.part_model[4])->frame_count, 4);
    for (int16_t missing : {a.clip_stand[1], a.clip_move[1], a.clip_death[0], a.clip_attack[0], a.clip_special[0]})
        EXPECT_EQ(missing, -1);
    EXPECT_NE(log_text().find("preberam uz existujuci 3d subor 3d/wolf/1/move1/legs.3d"), std::string::npos);

    // Loading the set again reuses the prototypes of the same names; another set needs force only
    // when it is the current one.
    load_char_anims(&a, 1, false);
    load_char_anims(&a, 1, true);
    EXPECT_EQ(g_move_proto_count, 6);
    load_char_anims(&a, 0, true);
    EXPECT_EQ(a.anim_set, 1);
}

TEST_F(char_test, TheHerosHeadAndBodyComeFromVariantFilesAndAnAppearanceNeverLeavesItsFolder)
{
    write_clip("hero", 1, "stand1", {"head", "head2", "body", "body3"}, 1);
    char_record& hero = make_char(0, "hero", k_kind_player);
    hero.head_variant = 2;
    hero.body_variant = 7;  // no such file: the plain body
    load_char_anims(&hero, 1, true);
    const char_move_proto& stand = g_move_protos[hero.clip_stand[0]];
    EXPECT_EQ(registry_path(stand.part_model[0]), "3d/hero/1/stand1/head2.3d");
    EXPECT_EQ(registry_path(stand.part_model[1]), "3d/hero/1/stand1/body.3d");

    // Another slot with the same variants takes the plain parts.
    char_record& twin = make_char(1, "hero", k_kind_normal);
    twin.head_variant = 2;
    load_char_anims(&twin, 1, true);
    EXPECT_EQ(registry_path(g_move_protos[twin.clip_stand[0]].part_model[0]), "3d/hero/1/stand1/head.3d");

    write_clip("x", 1, "stand1", {"head"}, 1);
    char_record& sneaky = make_char(2, "../3d/x", k_kind_enemy);
    load_char_anims(&sneaky, 1, true);
    EXPECT_EQ(sneaky.clip_stand[0], -1);
    EXPECT_EQ(sneaky.anim_set, 1);
    EXPECT_NE(log_text().find("nie je meno priecinka"), std::string::npos);
}

TEST_F(char_test, TheChosenClipIsStartedOnTheCharacter)
{
    write_clip("wolf", 1, "stand1", {"head"}, 2);
    write_clip("wolf", 1, "stand2", {"body"}, 2);
    write_clip("wolf", 1, "move1", {"legs"}, 2);
    write_clip("wolf", 1, "attack1", {"wr"}, 2);
    write_clip("wolf", 1, "attack2", {"wl"}, 2);
    char_record& c = make_char(1, "wolf", k_kind_enemy);
    load_char_anims(&c, 1, true);
    c.stand_variant = c.move_variant = c.attack_variant = c.death_variant = c.hit_variant = 255;
    g_move_protos[c.clip_stand[0]].part_values[3][0] = 0.5f;
    g_move_protos[c.clip_stand[0]].frame_time = 7;
    c.part_frame[0] = 1;
    c.part_extra_a[0] = 3;

    set_char_anim(&c, 0, 1, 0);
    EXPECT_EQ(c.stand_variant, 0);
    EXPECT_EQ(c.part_model[0], g_move_protos[c.clip_stand[0]].part_model[0]);
    EXPECT_EQ(c.part_model[1], -1);
    EXPECT_EQ(c.part_values[3][0], 0.5f);
    EXPECT_EQ(c.part_frame[0], 0);
    EXPECT_EQ(c.part_extra_a[0], 0);
    EXPECT_EQ(c.anim_speed, 7);

    c.stance = 1;
    set_char_anim(&c, 0, 0, 0);  // already standing: no change without restart
    EXPECT_EQ(c.stand_variant, 0);
    set_char_anim(&c, 0, 1, 0);  // the stance stands with the second clip
    EXPECT_EQ(c.stand_variant, 1);
    EXPECT_GE(c.part_model[1], 0);

    c.running = 1;  // no "move2": the walking clip stays
    set_char_anim(&c, 1, 1, 0);
    EXPECT_EQ(c.move_variant, 255);
    c.running = 0;
    set_char_anim(&c, 1, 1, 0);
    EXPECT_EQ(c.move_variant, 0);

    c.attack_variant = 0;
    for (int i = 0; i < 20 && c.attack_variant == 0; ++i)
        set_char_anim(&c, 2, 1, 0);
    EXPECT_EQ(c.attack_variant, 1);  // another existing attack comes up
    set_char_anim(&c, 2, 1, 1);
    EXPECT_EQ(c.attack_variant, 1);

    // No death clip: the action is noted, the parts stay; action 7 does nothing.
    const int16_t parts = c.part_model[7];
    set_char_anim(&c, 3, 1, 0);
    EXPECT_EQ(c.anim_action, 3);
    EXPECT_EQ(c.part_model[7], parts);
    set_char_anim(&c, 7, 1, 0);
    EXPECT_EQ(c.anim_action, 3);
}

TEST_F(char_test, TheRegistryFileLoadsWhatExistsAndRefusesDamage)
{
    write_clip("wolf", 1, "stand1", {"head", "body"}, 2);
    char_record& c = make_char(1, "wolf", k_kind_enemy);
    load_char_anims(&c, 1, true);
    ASSERT_EQ(g_chardata_count, 2u);
    std::strcpy(g_chardata[1].name, std::string(100, 'n').c_str());
    // Paths that leave the working folder name no model, even when the file is there.
    g_chardata[2] = g_chardata[3] = g_chardata[0];
    std::strcpy(g_chardata[2].path, "3d/../../wolf/1/stand1/head.3d");
    std::strcpy(g_chardata[3].path, (std::filesystem::current_path() / "3d/wolf/1/stand1/head.3d").c_str());
    g_chardata_count = 4;
    ASSERT_TRUE(write_chardata());
    ASSERT_TRUE(delete_file("3d/wolf/1/stand1/body.3d"));

    release_char_models();
    ASSERT_TRUE(load_chardata());
    EXPECT_EQ(g_chardata_count, 4u);
    EXPECT_EQ(g_chardata[0].loaded, 1u);
    EXPECT_EQ(g_chardata[1].loaded, 0u);  // missing: free for reuse
    EXPECT_EQ(g_chardata[2].loaded, 0u);
    EXPECT_EQ(g_chardata[3].loaded, 0u);
    EXPECT_NE(log_text().find("3d/../../wolf/1/stand1/head.3d: cesta mimo pracovneho priecinka"), std::string::npos);
    EXPECT_EQ(std::strlen(g_chardata[1].name), 59u);
    EXPECT_EQ(g_char_models[0].frame_count, 2);
    EXPECT_NE(log_text().find("3d/wolf/1/stand1/body.3d could not find"), std::string::npos);

    // A file cut short keeps the registry.
    packed_stream* out = stream_open(k_chardata_file, "wp");
    stream_write_u32le(6000, out);
    ASSERT_EQ(stream_close(out), 0);
    EXPECT_FALSE(load_chardata());
    EXPECT_EQ(g_chardata_count, 4u);
    EXPECT_EQ(g_chardata[0].loaded, 1u);
    EXPECT_NE(log_text().find("chardata.dat: poskodeny subor"), std::string::npos);

    // A count beyond the capacity is bounded: the first 5,000 entries, the rest skipped.
    out = stream_open(k_chardata_file, "wp");
    stream_write_u32le(5002, out);
    std::vector<uint8_t> entry(k_chardata_entry_size, 0);
    std::strcpy(reinterpret_cast<char*>(&entry[60]), "gone.3d");
    for (int i = 0; i < 5002; ++i)
        stream_write(entry.data(), int(entry.size()), out);
    ASSERT_EQ(stream_close(out), 0);
    g_console_enabled = 0;  // 5,000 "could not find" lines
    EXPECT_TRUE(load_chardata());
    EXPECT_EQ(g_chardata_count, uint32_t(k_chardata_capacity));
    EXPECT_EQ(g_chardata[4999].loaded, 0u);
    EXPECT_STREQ(g_chardata[4999].path, "gone.3d");
}

TEST_F(char_test, MovePrototypesRoundTripThroughTheirFile)
{
    write_clip("wolf", 1, "stand1", {"head", "cloak"}, 2);
    char_record& c = make_char(1, "wolf", k_kind_enemy);
    load_char_anims(&c, 1, true);
    g_move_protos[0].part_values[2][5] = 0.25f;
    g_move_protos[0].part_extra_byte[3] = 9;
    g_move_protos[1] = g_move_protos[0];
    g_move_protos[1].part_model[2] = 12000;
    g_move_proto_count = 2;
    char_move_proto expected[2] = {g_move_protos[0], g_move_protos[1]};
    expected[1].part_model[2] = -1;  // outside the registry's capacity
    ASSERT_TRUE(write_charpr());
    ASSERT_TRUE(export_move_proto("wolf.mpr", 0));

    g_move_proto_count = 0;
    ASSERT_TRUE(read_charpr());
    ASSERT_EQ(g_move_proto_count, 2);
    EXPECT_EQ(std::memcmp(g_move_protos, expected, sizeof expected), 0);
    // Registration finds the prototypes read by their names: the first of a name is reused.
    load_char_anims(&c, 1, true);
    EXPECT_EQ(c.clip_stand[0], 0);
    EXPECT_EQ(g_move_proto_count, 2);

    // A file cut inside its records is refused and the table kept.
    packed_stream* cut = stream_open(k_charpr_file, "wp");
    stream_write_u16le(3, cut);
    stream_write_u32le(k_move_proto_size, cut);
    stream_write(expected, int(k_move_proto_size + 10), cut);
    ASSERT_EQ(stream_close(cut), 0);
    EXPECT_FALSE(read_charpr());
    EXPECT_EQ(g_move_proto_count, 2);
    EXPECT_NE(log_text().find("global/charpr.dat: poskodeny subor (konci po zazname 1), ostava doterajsie pohybove prototypy"), std::string::npos);

    // The export: the record, then each part's model path or "null".
    std::vector<uint8_t> exported;
    packed_stream* in = stream_open("wolf.mpr", "rp");
    for (int byte; (byte = stream_getc(in)) >= 0;)
        exported.push_back(uint8_t(byte));
    stream_close(in);
    ASSERT_EQ(exported.size(), 4u + k_move_proto_size + 24 * 128);
    EXPECT_STREQ(reinterpret_cast<const char*>(&exported[4 + k_move_proto_size]), "3d/wolf/1/stand1/head.3d");
    EXPECT_STREQ(reinterpret_cast<const char*>(&exported[4 + k_move_proto_size + 128]), "null");
    EXPECT_STREQ(reinterpret_cast<const char*>(&exported[4 + k_move_proto_size + 6 * 128]), "3d/wolf/1/stand1/cloak.3d");
}

TEST_F(char_test, ALevelChangeReleasesModelsAndCrossingCharactersDropForeignParts)
{
    write_clip("wolf", 1, "stand1", {"head", "body", "larm", "rarm"}, 1);
    write_clip("bear", 1, "stand1", {"head"}, 1);
    char_record& wolf = make_char(1, "wolf", k_kind_enemy);
    char_record& bear = make_char(2, "bear", k_kind_enemy);
    load_char_anims(&wolf, 1, true);
    load_char_anims(&bear, 1, true);
    // The bear walks with the wolf's stand clip: its parts from 2 on leave the shared prototype.
    bear.clip_move[0] = wolf.clip_stand[0];
    prune_foreign_part_models();
    const char_move_proto& shared = g_move_protos[wolf.clip_stand[0]];
    EXPECT_GE(shared.part_model[0], 0);
    EXPECT_GE(shared.part_model[1], 0);
    EXPECT_EQ(shared.part_model[2], -1);
    EXPECT_EQ(shared.part_model[3], -1);

    set_char_anim(&wolf, 0, 1, 0);
    release_char_models();
    EXPECT_EQ(g_move_proto_count, 0);
    EXPECT_EQ(g_chardata_count, 0u);
    EXPECT_EQ(wolf.part_model[0], -1);
    EXPECT_EQ(char_part_model(0), nullptr);
    EXPECT_EQ(g_move_protos[0].part_model[0], -1);
}

TEST_F(char_test, RegistryNamesAreFoundExactlyALoadedEntryFirst)
{
    g_chardata_count = 3;
    std::strcpy(g_chardata[0].name, "nothing");
    std::strcpy(g_chardata[1].name, "orc head");
    std::strcpy(g_chardata[2].name, "orc head");
    g_chardata[1].loaded = g_chardata[2].loaded = 0;
    EXPECT_EQ(find_chardata_by_name("nothing"), -1);  // even when an entry is so named
    EXPECT_EQ(find_chardata_by_name("orc head"), 1);  // the first, though free
    // A freed entry keeps its name: the loaded entry named so since is the one meant.
    g_chardata[2].loaded = 1;
    EXPECT_EQ(find_chardata_by_name("orc head"), 2);
    EXPECT_EQ(find_chardata_by_name("Orc head"), -2);
    EXPECT_EQ(find_chardata_by_name("orc"), -2);
    EXPECT_TRUE(chardata_name_contains(2, "orc"));
    EXPECT_TRUE(chardata_name_contains(2, ""));
    EXPECT_FALSE(chardata_name_contains(2, "Orc"));
    EXPECT_FALSE(chardata_name_contains(uint32_t(k_chardata_capacity), ""));
}
