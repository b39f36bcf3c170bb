// Object prototypes: the text reader with its numbered-frame shortcut, surfaces with their tile
// masks, ".pr" files, the map section, unloading and the lazy loading of frames.
#include "world/object_fixture.h"

#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string texture_name(int32_t slot)
{
    return slot >= 0 && slot < g_texture_count ? g_textures[slot].name : "";
}

void write_pr(const char* path, uint32_t stored_size, const std::vector<uint8_t>& record)
{
    packed_stream* out = stream_open(path, "wp");
    ASSERT_NE(out, nullptr);
    stream_write_u32le(stored_size, out);
    stream_write(record.data(), int(record.size()), out);
    ASSERT_EQ(stream_close(out), 0);
}

std::vector<uint8_t> unpacked(const char* path)
{
    std::vector<uint8_t> bytes;
    packed_stream* in = stream_open(path, "rp");
    for (int c; in && (c = stream_getc(in)) >= 0;)
        bytes.push_back(uint8_t(c));
    stream_close(in);
    return bytes;
}

// A particle prototype with a value in every field that a file carries.
void fill_particle_proto(object_proto& p)
{
    reset_object_proto(&p);
    copy_bounded(p.name, sizeof p.name, "sparks");
    p.kind = k_proto_particle;
    p.anim_count = 3;
    p.frame_counts[0] = 1;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], "spark00.tga");
    p.width = 20;
    p.height = 24;
    p.anim_mode = 2;
    p.frame_delay = 9;
    p.emit_interval = 7;
    p.particle_lifetime = 33;
    p.alpha_mode_value = 1.5f;
    p.second_param_value = 4.0f;
    for (int i = 0; i < 3; ++i) {
        p.spawn_offset[i] = 1.0f + float(i);
        p.spawn_spread[i] = 2.0f + float(i);
        p.velocity[i] = 3.0f + float(i);
        p.velocity_spread[i] = 0.5f;
        p.acceleration[i] = -0.25f;
        p.acceleration_spread[i] = 0.125f;
    }
    for (int i = 0; i < 4; ++i) {
        p.colour[i] = 0.5f;
        p.colour_spread[i] = 0.1f;
        p.colour_change[i] = -0.01f;
        p.colour_change_spread[i] = 0.002f;
    }
    p.scale = 2.0f;
    p.scale_spread = 0.3f;
    p.scale_change = 0.01f;
    p.scale_change_spread = 0.001f;
    p.default_layer = 77;
    p.format_choice = 1;
    p.aim_at_centre = 1;
    p.depth_correction = 0.25f;
    p.frames_loaded = 1;
}

TEST_F(object_test, TextPrototypeTakesNumberedFramesUntilAGapThenReadsTheNextWord)
{
    make_folder("anim");
    for (const char* name : {"anim/walk00.tga", "anim/walk01.tga", "anim/walk02.tga", "anim/other03.tga",
                             "anim/other04.tga"})
        write_test_image(name, 16, 16);
    write_text("hero.txt", "hero kind 0\r\nwidth 48 height 40\r\n"
                           "frames 5 : anim\\walk00.tga anim\\other03.tga\r\nmode 3 delay 7\r\n");
    object_proto& p = g_object_protos[5];
    reset_object_proto(&p);
    p.depth_correction = 5.0f;
    p.emit_interval = 77;
    ASSERT_TRUE(load_object_proto(&p, "hero.txt"));

    EXPECT_STREQ(p.name, "hero");
    EXPECT_EQ(p.kind, k_proto_sprite);
    EXPECT_EQ(p.width, 48);
    EXPECT_EQ(p.height, 40);
    EXPECT_EQ(p.anim_count, 1);
    EXPECT_EQ(p.frame_counts[0], 5);
    const char* expected[] = {"anim\\walk00.tga", "anim\\walk01.tga", "anim\\walk02.tga", "anim\\other03.tga",
                              "anim\\other04.tga"};
    for (int f = 0; f < 5; ++f) {
        EXPECT_STREQ(p.frame_names[f], expected[f]);
        EXPECT_EQ(texture_name(p.frames[0][f]), expected[f]);  // loaded at once
        EXPECT_NE(g_textures[p.frames[0][f]].surface, nullptr);
    }
    EXPECT_EQ(p.anim_mode, 3);
    EXPECT_EQ(p.frame_delay, 7);
    EXPECT_EQ(p.depth_correction, 0.0f);  // the reader clears it
    EXPECT_EQ(p.emit_interval, 77);       // what the file does not set stays
    EXPECT_NE(log_text().find("nacital som prototyp hero.txt\n"), std::string::npos);

    // add_object_proto appends; a missing file logs and leaves the slot as it was.
    EXPECT_EQ(add_object_proto("hero.txt"), 0);
    EXPECT_EQ(g_object_proto_count, 1u);
    object_proto before = p;
    EXPECT_FALSE(load_object_proto(&p, "gone.txt"));
    EXPECT_EQ(std::memcmp(&before, &p, sizeof p), 0);
    EXPECT_NE(log_text().find("gone.txt: subor chyba, ostava prazdny prototyp\n"), std::string::npos);
    EXPECT_EQ(log_text().find("nacital som prototyp gone.txt"), std::string::npos);
}

TEST_F(object_test, TextPrototypeKindsTwoAndThreeReadTheirExtraValues)
{
    for (const char* name : {"w00.tga", "w01.tga", "x00.tga"})
        write_test_image(name, 8, 8);
    write_text("wheel.txt", "wheel kind 2 w 64 h 64 anims 2 a 2 : w00.tga b 1 : x00.tga mode 1 delay 2");
    object_proto& wheel = g_object_protos[0];
    reset_object_proto(&wheel);
    ASSERT_TRUE(load_object_proto(&wheel, "wheel.txt"));
    EXPECT_EQ(wheel.anim_count, 2);
    EXPECT_EQ(wheel.frame_counts[0], 2);
    EXPECT_EQ(wheel.frame_counts[1], 1);
    EXPECT_STREQ(wheel.frame_names[0], "x00.tga");  // frame 0 of the last animation
    EXPECT_STREQ(wheel.frame_names[1], "w01.tga");
    EXPECT_EQ(texture_name(wheel.frames[0][1]), "w01.tga");
    EXPECT_EQ(texture_name(wheel.frames[1][0]), "x00.tga");
    EXPECT_EQ(wheel.frame_delay, 2);

    write_text("pot.txt", "pot kind 3 zbuf 0 second 2.5 w 10 h 12 frames 1 : pot.3d mode 0 delay 0");
    object_proto& pot = g_object_protos[1];
    reset_object_proto(&pot);
    ASSERT_TRUE(load_object_proto(&pot, "pot.txt"));
    EXPECT_EQ(pot.depth_setting, 0);
    EXPECT_FLOAT_EQ(pot.mesh_value, 2.5f);
    EXPECT_EQ(pot.width, 10);
    EXPECT_EQ(pot.height, 12);
    EXPECT_STREQ(pot.frame_names[0], "pot.3d");
    EXPECT_EQ(pot.frames[0][0], -1);  // no such model file
}

TEST_F(object_test, HostileTextIsHeldToItsFieldsAndTable)
{
    std::string long_name(40, 'n');
    std::string long_frame(300, 'f');
    std::string text = long_name + " kind 2 w 8 h 8 anims 99";
    text += " a 40 : " + long_frame + " a.tga";  // too long to renumber: the next word is read
    for (int f = 2; f < 32; ++f)
        text += " g" + std::to_string(f) + ".tga";
    write_text("bad.txt", text);  // the file ends long before 16 animations
    object_proto& p = g_object_protos[0];
    reset_object_proto(&p);
    EXPECT_FALSE(load_object_proto(&p, "bad.txt"));  // what was read stays
    EXPECT_NE(log_text().find("bad.txt: poskodeny subor (konci predcasne), ostava hodnoty precitane pred koncom\n"), std::string::npos);
    EXPECT_EQ(log_text().find("nacital som prototyp bad.txt"), std::string::npos);
    EXPECT_EQ(std::strlen(p.name), 31u);
    EXPECT_EQ(p.anim_count, 16);
    EXPECT_EQ(p.frame_counts[0], 32);
    EXPECT_EQ(std::strlen(p.frame_names[0]), 255u);
    EXPECT_STREQ(p.frame_names[1], "a.tga");
    EXPECT_STREQ(p.frame_names[31], "g31.tga");
    for (int a = 1; a < 16; ++a)
        EXPECT_EQ(p.frame_counts[a], 0);  // empty words read as 0
    EXPECT_NE(log_text().find("animacii 99"), std::string::npos);
    EXPECT_NE(log_text().find("snimkov 40"), std::string::npos);
}

class surface_test : public object_test {
protected:
    // A surface prototype over the folder's tiles, of the given size and first tile.
    int32_t add_surface(const char* folder, int32_t columns, int32_t rows, float first_column = 0)
    {
        int32_t slot = add_empty_object_proto();
        object_proto& p = g_object_protos[slot];
        p.kind = k_proto_surface;
        p.anim_count = columns;
        p.frame_counts[0] = rows;
        p.spawn_offset[0] = first_column;
        std::snprintf(p.frame_names[0], sizeof p.frame_names[0], "%s\\0x0.tga", folder);
        return slot;
    }
};

TEST_F(surface_test, TwentyColumnsLoadAsSixteenAndTheMaskLeavesOutItsTiles)
{
    make_folder("tiles");
    for (int c = 0; c < 20; ++c)
        for (int r = 0; r < 2; ++r)
            write_test_image(("tiles/" + std::to_string(c * 64) + "x" + std::to_string(r * 64) + ".tga").c_str(), 8, 8);
    std::vector<uint8_t> mask(32, 0);
    mask[3 + 1 * 16] = 1;
    write_bytes("tiles/maska.dat", mask);
    int32_t slot = add_surface("tiles", 20, 2);
    load_proto_textures(slot, 0);

    object_proto& p = g_object_protos[slot];
    EXPECT_EQ(p.frames_loaded, 1);
    EXPECT_EQ(p.anim_count, 20);  // the record keeps what it had
    EXPECT_EQ(p.frames[3][1], -1);
    EXPECT_EQ(test_proto_mask(&p, 3, 1), 0);
    EXPECT_EQ(test_proto_mask(&p, 3, 0), 1);
    EXPECT_EQ(test_proto_mask(&p, 3, 2), 1);   // outside the mask: present
    EXPECT_EQ(test_proto_mask(&p, -1, 0), 1);
    EXPECT_EQ(texture_name(p.frames[2][1]), "tiles\\128x64.tga");
    EXPECT_NE(g_textures[p.frames[2][1]].surface, nullptr);  // not of the level: uploaded at once
    EXPECT_EQ(texture_name(p.frames[15][0]), "tiles\\960x0.tga");
    EXPECT_STREQ(p.frame_names[0], "tiles\\960x64.tga");  // the last tile's path
    int32_t columns = 0, rows = 0;
    ASSERT_NE(proto_mask(slot, &columns, &rows), nullptr);
    EXPECT_EQ(columns, 16);
    EXPECT_EQ(rows, 2);

    // Loading again does nothing; freeing releases the tiles and drops the mask.
    int32_t tile = p.frames[2][1];
    load_proto_textures(slot, 0);
    EXPECT_EQ(g_textures[tile].refcount, 1u);
    free_object_proto(&p, slot);
    EXPECT_EQ(g_textures[tile].surface, nullptr);
    EXPECT_EQ(proto_mask(slot, &columns, &rows), nullptr);
    EXPECT_EQ(p.kind, k_proto_free);
}

TEST_F(surface_test, TheMaskComesFromTheMaskFolderOrIsMissingOrShort)
{
    make_folder("data/masky/far");
    write_bytes("data/masky/far/maska.dat", {0, 1});
    int32_t far = add_surface("far", 2, 1, 3.0f);
    load_proto_textures(far, 1);
    object_proto& p = g_object_protos[far];
    EXPECT_EQ(texture_name(p.frames[0][0]), "far\\192x0.tga");  // from the first tile column on
    EXPECT_EQ(p.frames[1][0], -1);
    EXPECT_EQ(g_textures[p.frames[0][0]].in_level, 1u);

    int32_t bare = add_surface("bare", 2, 2);
    load_proto_textures(bare, 1);
    EXPECT_NE(log_text().find("data\\masky\\bare\\maska.dat: subor chyba, ostava vsetky dlazdice\n"), std::string::npos);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            EXPECT_GE(g_object_protos[bare].frames[c][r], 0);

    make_folder("short");
    write_bytes("short/maska.dat", {1});
    int32_t cut = add_surface("short", 2, 2);
    load_proto_textures(cut, 1);
    EXPECT_EQ(g_object_protos[cut].frames[0][0], -1);
    EXPECT_GE(g_object_protos[cut].frames[1][1], 0);  // beyond the file: present
}

TEST_F(object_test, PrFilesRoundTripAndKeepTheMaskSlotZero)
{
    write_test_image("spark00.tga", 8, 8);
    object_proto& source = g_object_protos[1001];
    fill_particle_proto(source);
    packed_stream* out = stream_open("sparks.pr", "wp");
    ASSERT_TRUE(write_object_proto(1001, out));
    ASSERT_EQ(stream_close(out), 0);

    std::vector<uint8_t> bytes = unpacked("sparks.pr");
    ASSERT_EQ(bytes.size(), 4u + k_object_proto_size);
    EXPECT_EQ(le_u32(bytes.data()), k_object_proto_size);
    EXPECT_EQ(le_u32(bytes.data() + 4 + 10544), 0u);
    EXPECT_EQ(le_i32(bytes.data() + 4 + 48), 3);
    EXPECT_EQ(le_f32(bytes.data() + 4 + 10524), 2.0f);

    packed_stream* in = stream_open("sparks.pr", "rp");
    ASSERT_TRUE(read_object_proto(1500, in, 0));
    stream_close(in);
    object_proto& read = g_object_protos[1500];
    EXPECT_EQ(read.frames_loaded, 1);  // its frames were loaded at once
    EXPECT_EQ(texture_name(read.frames[0][0]), "spark00.tga");
    EXPECT_NE(g_textures[read.frames[0][0]].surface, nullptr);
    // Apart from the frame table, which load fills, the records agree byte for byte.
    object_proto expected = source;
    std::memcpy(expected.frames, read.frames, sizeof expected.frames);
    EXPECT_EQ(std::memcmp(&expected, &read, sizeof read), 0);
}

TEST_F(object_test, PrRecordsOfOtherSizesAreCutOrPaddedAndTruncatedOnesChangeNothing)
{
    object_proto source;
    std::memset(&source, 0, sizeof source);
    fill_particle_proto(source);
    source.frame_counts[0] = 0;
    std::vector<uint8_t> record(k_object_proto_size + 48, 0xAB);
    {
        object_proto& slot = g_object_protos[1002];
        slot = source;
        packed_stream* out = stream_open("full.pr", "wp");
        write_object_proto(1002, out);
        stream_close(out);
        std::vector<uint8_t> bytes = unpacked("full.pr");
        std::copy(bytes.begin() + 4, bytes.end(), record.begin());
    }
    write_pr("long.pr", uint32_t(record.size()), record);
    packed_stream* in = stream_open("long.pr", "rp");
    ASSERT_TRUE(read_object_proto(1003, in, 0));
    stream_close(in);
    EXPECT_EQ(g_object_protos[1003].scale, 2.0f);
    EXPECT_EQ(g_object_protos[1003].format_choice, 1);

    write_pr("short.pr", 52, std::vector<uint8_t>(record.begin(), record.begin() + 52));
    object_proto& short_slot = g_object_protos[1004];
    fill_particle_proto(short_slot);
    in = stream_open("short.pr", "rp");
    ASSERT_TRUE(read_object_proto(1004, in, 0));
    stream_close(in);
    EXPECT_STREQ(short_slot.name, "sparks");
    EXPECT_EQ(short_slot.anim_count, 3);
    EXPECT_EQ(short_slot.width, 0);  // beyond the stored size the record is clear
    EXPECT_EQ(short_slot.scale, 0.0f);

    write_pr("cut.pr", k_object_proto_size, std::vector<uint8_t>(record.begin(), record.begin() + 5000));
    object_proto& kept = g_object_protos[1005];
    fill_particle_proto(kept);
    kept.width = 99;
    in = stream_open("cut.pr", "rp");
    EXPECT_FALSE(read_object_proto(1005, in, 0));
    stream_close(in);
    EXPECT_EQ(kept.width, 99);
    EXPECT_EQ(kept.frames_loaded, 1);
}

TEST_F(object_test, MapSectionClearsRunTimeFieldsAndHoldsTheCountToTheLevelSlots)
{
    for (int i = 0; i < 3; ++i) {
        int32_t slot = add_empty_object_proto();
        std::snprintf(g_object_protos[slot].name, k_proto_name_size, "proto%d", i);
        g_object_protos[slot].frames_loaded = 1;
        g_object_protos[slot].width = 10 + i;
    }
    packed_stream* out = stream_open("section.dat", "w");
    ASSERT_TRUE(write_object_protos(out));
    ASSERT_EQ(stream_close(out), 0);
    std::vector<uint8_t> bytes = read_bytes("section.dat");
    ASSERT_EQ(bytes.size(), 8u + 3u * k_object_proto_size);
    EXPECT_EQ(bytes[8 + k_object_proto_size + 10541], 1);  // stored as it was

    std::memset(g_object_protos, 0x5A, 3 * sizeof(object_proto));
    g_object_proto_count = 0;
    g_protos_all_loaded = 1;
    g_proto_loading = 2;
    packed_stream* in = stream_open("section.dat", "r");
    ASSERT_TRUE(read_object_protos(in, 0));
    stream_close(in);
    EXPECT_EQ(g_object_proto_count, 3u);
    EXPECT_EQ(g_protos_all_loaded, 0u);
    EXPECT_EQ(g_proto_loading, -1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g_object_protos[i].width, 10 + i);
        EXPECT_EQ(g_object_protos[i].frames_loaded, 0);
        EXPECT_EQ(g_object_protos[i].mask_slot, 0u);
    }

    // A stored count beyond the level slots keeps 1000 and reads past the rest; a cut section
    // keeps the records read whole.
    std::vector<uint8_t> big(8 + 1002 * 40, 0);
    put_le_u32(big.data(), 40);
    put_le_u32(big.data() + 4, 1002);
    write_bytes("big.dat", big);
    in = stream_open("big.dat", "r");
    EXPECT_TRUE(read_object_protos(in, 0));
    EXPECT_EQ(stream_read_u32le(in), -1);  // the whole section was consumed
    stream_close(in);
    EXPECT_EQ(g_object_proto_count, 1000u);
    big.resize(8 + 5 * 40 + 7);
    write_bytes("cut.dat", big);
    in = stream_open("cut.dat", "r");
    EXPECT_FALSE(read_object_protos(in, 0));
    stream_close(in);
    EXPECT_EQ(g_object_proto_count, 5u);
}

TEST_F(object_test, UnloadingWithReindexFreesItsObjectsAndMovesTheLaterPrototypesDown)
{
    int32_t a = add_test_proto("a", 1), b = add_test_proto("b", 2), c = add_test_proto("c", 1);
    for (int32_t s : {a, b, c})
        load_proto_textures(s, 0);
    int32_t on_a = add_object(0, 0, a, 1, 1, 0, 0);
    int32_t on_b = add_object(0, 0, b, 1, 1, 0, 0);
    int32_t on_c = add_object(0, 0, c, 1, 1, 0, 0);
    int32_t b_frame = g_object_protos[b].frames[0][1];

    unload_object_proto(b, true);
    EXPECT_EQ(g_object_proto_count, 2u);
    EXPECT_STREQ(g_object_protos[1].name, "c");
    EXPECT_EQ(g_objects[on_a].proto, a);
    EXPECT_EQ(g_objects[on_b].state, 0);
    EXPECT_EQ(g_objects[on_c].proto, 1);
    EXPECT_STREQ(g_textures[b_frame].name, "NULL");
    EXPECT_EQ(g_textures[b_frame].surface, nullptr);

    // Without reindex only the frames go; an unloaded prototype is left alone.
    unload_object_proto(a, false);
    EXPECT_EQ(g_object_protos[a].frames_loaded, 0);
    EXPECT_EQ(g_object_proto_count, 2u);
    EXPECT_EQ(g_objects[on_a].state, 3);
}

TEST_F(object_test, RemovingAFrameMovesTheLaterFramesDown)
{
    int32_t s = add_test_proto("r", 3);
    load_proto_textures(s, 0);
    object_proto& p = g_object_protos[s];
    int32_t second = p.frames[0][1], third = p.frames[0][2];
    remove_proto_frame(1, s);
    EXPECT_EQ(p.frame_counts[0], 2);
    EXPECT_EQ(p.frames[0][1], third);
    EXPECT_STREQ(p.frame_names[1], "r02.tga");
    EXPECT_STREQ(g_textures[second].name, "NULL");
    remove_proto_frame(5, s);  // no such frame
    EXPECT_EQ(p.frame_counts[0], 2);
}

TEST_F(object_test, LevelFramesLoadLazilyAndAllAtTheEndOfALevelChange)
{
    int32_t a = add_test_proto("a", 2), b = add_test_proto("b", 1);
    load_next_proto();
    EXPECT_EQ(g_object_protos[a].frames_loaded, 1);
    EXPECT_EQ(g_object_protos[b].frames_loaded, 1);
    EXPECT_EQ(g_textures[g_object_protos[a].frames[0][1]].in_level, 1u);
    EXPECT_EQ(g_textures[g_object_protos[a].frames[0][1]].surface, nullptr);  // made at its first draw
    EXPECT_EQ(g_protos_all_loaded, 0u);
    EXPECT_EQ(g_proto_loading, -1);
    load_next_proto();
    EXPECT_EQ(g_protos_all_loaded, 1u);

    // After a map is read every deferred texture gets its surface.
    load_all_proto_textures();
    EXPECT_NE(g_textures[g_object_protos[a].frames[0][1]].surface, nullptr);
}

TEST_F(object_test, FrameEntriesTheLoadersDoNotFillStartEmptyAndAReSavedMapKeepsItsCounts)
{
    write_test_image("other.tga", 8, 8);
    const int32_t other = get_texture("other.tga", 0, 0, 0, 0, 0, 0);
    // A sprite with a second animation and a mesh with a second part, whose stored entries name
    // a texture that belongs to neither; a surface of 20 columns.
    object_proto& sprite = g_object_protos[add_test_proto("s", 1)];
    sprite.anim_count = 2;
    sprite.frame_counts[1] = 1;
    sprite.frames[1][0] = other;
    object_proto& mesh = g_object_protos[add_empty_object_proto()];
    mesh.kind = k_proto_mesh;
    mesh.anim_count = 2;
    mesh.frames[1][0] = other;
    object_proto& surface = g_object_protos[add_empty_object_proto()];
    surface.kind = k_proto_surface;
    surface.anim_count = 20;
    surface.frame_counts[0] = 40;
    copy_bounded(surface.frame_names[0], sizeof surface.frame_names[0], "tiles\\0x0.tga");

    packed_stream* out = stream_open("section.dat", "w");
    ASSERT_TRUE(write_object_protos(out));
    ASSERT_EQ(stream_close(out), 0);
    packed_stream* in = stream_open("section.dat", "r");
    ASSERT_TRUE(read_object_protos(in, 0));
    stream_close(in);
    EXPECT_EQ(sprite.frames[1][0], -1);
    EXPECT_EQ(mesh.frames[1][0], -1);
    EXPECT_EQ(surface.anim_count, 20);
    EXPECT_EQ(surface.frame_counts[0], 40);

    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        load_proto_textures(int32_t(s), 0);
    out = stream_open("again.dat", "w");
    ASSERT_TRUE(write_object_protos(out));
    ASSERT_EQ(stream_close(out), 0);
    const std::vector<uint8_t> again = read_bytes("again.dat");
    EXPECT_EQ(le_i32(again.data() + 8 + 2 * k_object_proto_size + 48), 20);
    EXPECT_EQ(le_i32(again.data() + 8 + 2 * k_object_proto_size + 52), 40);

    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        unload_object_proto(int32_t(s), false);
    EXPECT_STREQ(g_textures[other].name, "other.tga");
    EXPECT_NE(g_textures[other].surface, nullptr);
}

TEST_F(object_test, APacksMaskFileHoldsTheSurfacesTileMasks)
{
    make_folder("tiles");
    write_bytes("tiles/maska.dat", {0, 1, 1, 0, 0, 1});
    const int32_t sprite = add_test_proto("a_sprite_whose_name_is_31_longx", 1);
    const int32_t surface = add_empty_object_proto();
    object_proto& p = g_object_protos[surface];
    copy_bounded(p.name, sizeof p.name, "ground");
    p.kind = k_proto_surface;
    p.anim_count = 3;
    p.frame_counts[0] = 2;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], "tiles\\0x0.tga");
    load_proto_textures(sprite, 0);
    load_proto_textures(surface, 0);
    g_pack_mask_file = proto_mask_file;  // as start-up links them
    const bool saved = save_texture_pack(0) == 0;
    g_pack_mask_file = nullptr;
    ASSERT_TRUE(saved);

    std::vector<uint8_t> expected = {2, 0, 0, 0};
    std::vector<uint8_t> name(30, 0);
    std::memcpy(name.data(), "a_sprite_whose_name_is_31_long", 30);  // the first 30 bytes
    expected.insert(expected.end(), name.begin(), name.end());
    expected.insert(expected.end(), {0xFF, 0xFF});
    name.assign(30, 0);
    std::memcpy(name.data(), "ground", 6);
    expected.insert(expected.end(), name.begin(), name.end());
    expected.insert(expected.end(), {1, 0, 0, 1, 1, 0, 0, 1});
    EXPECT_EQ(read_bytes("main.msk"), expected);
}

} // namespace
