// Texture packs: save and load round trips, level packs and their names, entries without a
// surface, hostile indexes and entries, pixel entries from packed streams.
#include "engine/texture_fixture.h"

#include "engine/packed_stream.h"
#include "engine/quads.h"
#include "engine/sprite_font.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "level/level_saves.h"
#include "platform/files.h"

#include <cstring>

namespace {

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A pixel entry: header, then pitch × rows bytes counting up.
std::vector<uint8_t> pixel_entry(uint32_t width, uint32_t height, uint32_t format, uint32_t pitch, uint32_t rows)
{
    std::vector<uint8_t> e;
    for (uint32_t v : {width, height, format, pitch})
        put_u32(e, v);
    for (uint32_t i = 0; i < pitch * rows; ++i)
        e.push_back(static_cast<uint8_t>(i));
    return e;
}

// An index of the given names and offsets, claiming `claimed` entries.
std::vector<uint8_t> index_of(const std::vector<std::pair<std::string, int32_t>>& entries, uint32_t claimed)
{
    std::vector<uint8_t> out;
    put_u32(out, claimed);
    for (const auto& [name, offset] : entries) {
        char field[120] = {};
        std::strncpy(field, name.c_str(), sizeof field - 1);
        out.insert(out.end(), field, field + sizeof field);
        put_u32(out, static_cast<uint32_t>(offset));
    }
    return out;
}

TEST_F(texture_test, APackSavedWholeLoadsBackIntoAFreshTable)
{
    write_test_image("a.tga", 16, 8, 1);
    write_test_image("b.tga", 8, 8, 2);
    write_test_image("c.tga", 8, 4, 3);
    const int32_t a = get_texture("a.tga", 0, 0, 0, 0, 1, 0);
    get_texture("b.tga", 0, 0, 0, 0, 0, 0);
    get_texture("missing.tga", 0, 0, 0, 0, 0, 0);
    get_texture("c.tga", 0, 0, 0, 0, 2, 0);
    const std::vector<uint8_t> a_pixels = g_textures[a].surface->pixels;
    ASSERT_EQ(save_texture_pack(0), 0);

    const std::vector<uint8_t> dat = read_bytes("main.dat"), idx = read_bytes("main.idx");
    ASSERT_EQ(u32_at(idx, 0), 4u);
    ASSERT_EQ(idx.size(), 4u + 4 * 124);
    EXPECT_STREQ(reinterpret_cast<const char*>(idx.data() + 4 + 2 * 124), "missing.tga");
    const uint32_t missing_at = u32_at(idx, 124 + 2 * 124);
    EXPECT_EQ(u32_at(dat, missing_at), 0u);                 // the entry with no surface: four zero bytes
    EXPECT_EQ(u32_at(idx, 124 + 3 * 124), missing_at + 4);  // the next entry follows at once
    EXPECT_EQ(u32_at(dat, 0), 16u);
    EXPECT_EQ(u32_at(dat, 8), k_format_a8r8g8b8);
    EXPECT_EQ(u32_at(dat, 12), 64u);
    EXPECT_EQ(read_bytes("main.msk"), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(g_textures[2].pack_offset, static_cast<int32_t>(missing_at));

    // Loading replaces every earlier slot; the surfaces come from the language's main pack.
    make_folder("data/levels");
    ASSERT_TRUE(copy_file("main.dat", "data/levels/main_eng.dat"));
    for (int i = 0; i < 3; ++i)
        get_texture(("extra" + std::to_string(i) + ".tga").c_str(), 0, 0, 0, 0, 0, 0);
    write_test_image("d.tga", 4, 4);
    const int32_t d = get_texture("d.tga", 0, 0, 0, 0, 0, 0);
    load_texture_pack("main.idx");
    EXPECT_EQ(g_texture_count, 4);
    EXPECT_STREQ(g_map_path, "data/levels/main_eng.dat");
    EXPECT_NE(log_text().find("wahahahaha data/levels/main_eng.dat\n"), std::string::npos);
    EXPECT_EQ(g_textures[d].surface, nullptr);
    EXPECT_STREQ(g_textures[0].name, "a.tga");
    ASSERT_NE(g_textures[0].surface, nullptr);
    EXPECT_EQ(g_textures[0].surface->pixels, a_pixels);
    EXPECT_EQ(g_textures[0].refcount, 0u);
    EXPECT_EQ(g_textures[0].in_level, 0u);
    EXPECT_EQ(g_textures[1].surface->format, texture_format::a4r4g4b4);
    EXPECT_EQ(g_textures[3].surface->format, texture_format::dxt3);
    EXPECT_EQ(g_textures[3].width, 8u);
    EXPECT_EQ(g_textures[2].surface, nullptr); // draws nothing, never retried
    EXPECT_EQ(g_textures[2].loaded, 1u);
    EXPECT_EQ(draw_texture_screen(2, 10, 10, 1, 1, 0, 0, 0, 0, 1, 1, 1), -1);
    // A pack texture asked for by name is the pack's slot.
    EXPECT_EQ(get_texture("b.tga", 0, 0, 0, 0, 0, 0), 1);
}

TEST_F(texture_test, LoadingAMainPackKeepsTheSpriteFontAndTheFixedTextures)
{
    write_test_image("a.tga", 8, 8, 1);
    get_texture("a.tga", 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(save_texture_pack(0), 0);
    make_folder("data/levels");
    ASSERT_TRUE(copy_file("main.dat", "data/levels/main_eng.dat"));
    clear_texture_table();
    load_texture_pack("main.idx");

    // A font whose first glyph (character 33) has an image, and the nine fixed textures.
    load_test_font_and_fixed_textures();
    const device_texture* glyph = g_textures[g_sprite_font.glyphs[0]].surface;
    const device_texture* black = g_textures[g_fixed_textures[k_texture_black]].surface;
    ASSERT_NE(glyph, nullptr);
    ASSERT_NE(black, nullptr);

    load_texture_pack("main.idx");
    EXPECT_EQ(g_texture_count, 1 + 1 + k_fixed_texture_count);
    EXPECT_STREQ(g_textures[0].name, "a.tga");
    ASSERT_GE(g_sprite_font.glyphs[0], 1);
    EXPECT_EQ(g_textures[g_sprite_font.glyphs[0]].surface, glyph);
    EXPECT_EQ(g_sprite_font.glyphs[1], -1);
    EXPECT_EQ(g_textures[g_fixed_textures[k_texture_black]].surface, black);
    EXPECT_STREQ(g_textures[g_fixed_textures[k_texture_black]].name, "global/black.tga");
    for (int32_t slot : g_fixed_textures) {
        ASSERT_GE(slot, 1);
        EXPECT_NE(g_textures[slot].surface, nullptr);
    }
    EXPECT_EQ(draw_texture_direct_screen(g_sprite_font.glyphs[0], 10, 10, 1, 1, 1, 1, 1), 0);
}

TEST_F(texture_test, ALevelPackLivesBesideItsMapAndFillsReleasedSlotsFirst)
{
    make_folder("data/levels");
    std::strcpy(g_map_path, "data/levels/brana.sav");
    write_test_image("tree.tga", 32, 32, 7);
    write_test_image("hud.tga", 8, 8);
    get_texture("hud.tga", 0, 0, 0, 0, 0, 0);
    const int32_t tree = get_texture("tree.tga", 0, 0, 1, 0, 1, 0);
    const std::vector<uint8_t> tree_pixels = g_textures[tree].surface->pixels;
    ASSERT_EQ(save_texture_pack(1), 0);
    for (const char* name : {"data/levels/brana.dat", "data/levels/brana.idx", "data/levels/brana.msk"})
        EXPECT_TRUE(is_readable_file(name)) << name;
    EXPECT_FALSE(is_readable_file("data/levels/brana.sav"));
    EXPECT_EQ(u32_at(read_bytes("data/levels/brana.idx"), 0), 1u); // only the level's texture

    // The level is left: its textures are freed; the next level's pack refills the slot.
    free_texture(tree);
    write_test_image("x.tga", 4, 4);
    EXPECT_EQ(add_textures_from_pack("data/levels/brana.idx"), 0);
    EXPECT_EQ(g_texture_count, 2);
    EXPECT_STREQ(g_textures[tree].name, "tree.tga");
    EXPECT_EQ(g_textures[tree].in_level, 1u);
    EXPECT_EQ(g_textures[tree].loaded, 0u);
    EXPECT_EQ(g_textures[tree].surface, nullptr);
    ASSERT_EQ(draw_texture_world(tree, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1), 0); // made at the first draw
    EXPECT_EQ(g_textures[tree].surface->pixels, tree_pixels);
    EXPECT_EQ(g_textures[tree].width, 32u);
    // A second add appends: no slot is free.
    EXPECT_EQ(add_textures_from_pack("data/levels/brana.idx"), 0);
    EXPECT_EQ(g_texture_count, 3);

    // Uploads read the pixel file g_map_path names, and nothing when the path is too short.
    std::strcpy(g_map_path, "a.sav");
    EXPECT_EQ(upload_texture(2), -1);
    std::strcpy(g_map_path, "data/levels/brana.xyz");
    EXPECT_EQ(upload_texture(2), 0);

    char dat[256], idx[256], msk[256];
    ASSERT_TRUE(texture_pack_names("main.dat", dat, idx, msk));
    EXPECT_STREQ(idx, "main.idx");
    ASSERT_TRUE(texture_pack_names("x/bojovka01.sav", dat, idx, msk));
    EXPECT_STREQ(dat, "x/bojovka01.dat");
    EXPECT_STREQ(msk, "x/bojovka01.msk");
    EXPECT_FALSE(texture_pack_names("ab", dat, idx, msk));
}

TEST_F(texture_test, HostileIndexesAndEntriesAreCheckedBeforeUse)
{
    make_folder("data/levels");
    std::vector<uint8_t> dat;
    auto add = [&dat](const std::vector<uint8_t>& entry) {
        const int32_t at = static_cast<int32_t>(dat.size());
        dat.insert(dat.end(), entry.begin(), entry.end());
        return at;
    };
    const int32_t wide = add(pixel_entry(2000, 4, 2, 8000, 0));
    const int32_t padded = add(pixel_entry(2, 2, 2, 12, 2));     // pitch wider than the surface's 8
    const int32_t narrow = add(pixel_entry(4, 2, 2, 8, 2));      // pitch narrower than the surface's 16
    const int32_t strange = add(pixel_entry(4, 4, 7, 16, 4));    // unknown format
    const int32_t cut = add(pixel_entry(64, 64, 2, 256, 1));     // the rows are missing
    write_bytes("data/levels/main_eng.dat", dat);
    write_bytes("main.idx", index_of({{"wide", wide}, {"padded", padded}, {"narrow", narrow}, {"strange", strange},
                                      {"cut", cut}, {"beyond", 1 << 30}},
                                     100000));
    load_texture_pack("main.idx");
    EXPECT_EQ(g_texture_count, 6); // the claimed count is cut to the entries present
    EXPECT_NE(log_text().find("main.idx: poskodeny subor (100000 zaznamov, v subore 6), ostava 6 zaznamov"), std::string::npos);
    for (int32_t slot : {0, 3, 4, 5}) {
        EXPECT_EQ(g_textures[slot].surface, nullptr) << slot;
        EXPECT_EQ(g_textures[slot].loaded, 1u) << slot;
    }
    ASSERT_NE(g_textures[1].surface, nullptr);
    EXPECT_EQ(g_textures[1].surface->pixels, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15, 16, 17, 18, 19}));
    ASSERT_NE(g_textures[2].surface, nullptr);
    const std::vector<uint8_t>& narrow_pixels = g_textures[2].surface->pixels;
    EXPECT_EQ(narrow_pixels[7], 7);
    EXPECT_EQ(narrow_pixels[8], 0);
    EXPECT_EQ(narrow_pixels[16], 8);

    // A missing or empty index leaves the table as it was.
    load_texture_pack("none.idx");
    EXPECT_NE(log_text().find("none.idx: subor chyba, ostava textury bez balika"), std::string::npos);
    EXPECT_EQ(add_textures_from_pack("none.idx"), -1);
    write_bytes("empty.idx", {1, 0});
    load_texture_pack("empty.idx");
    EXPECT_EQ(add_textures_from_pack("empty.idx"), -1);
    EXPECT_EQ(g_texture_count, 6);
    EXPECT_NE(g_textures[1].surface, nullptr);
}

TEST_F(texture_test, AZeroedPackOrIndexIsLoggedByName)
{
    make_folder("data/levels");
    std::vector<uint8_t> dat = pixel_entry(2, 2, 2, 8, 2);
    const int32_t second = static_cast<int32_t>(dat.size());
    const std::vector<uint8_t> more = pixel_entry(4, 2, 2, 16, 2);
    dat.insert(dat.end(), more.begin(), more.end());
    const std::vector<uint8_t> index = index_of({{"a.tga", 0}, {"b.tga", second}}, 2);
    write_bytes("data/levels/main_eng.dat", dat);
    write_bytes("main.idx", index);
    load_texture_pack("main.idx");
    ASSERT_NE(g_textures[1].surface, nullptr);
    EXPECT_EQ(log_text().find("main.idx:"), std::string::npos);
    EXPECT_EQ(log_text().find("ziadny citatelny zaznam"), std::string::npos);

    write_bytes("data/levels/main_eng.dat", std::vector<uint8_t>(dat.size(), 0));
    load_texture_pack("main.idx");
    EXPECT_EQ(g_textures[1].surface, nullptr);
    EXPECT_NE(log_text().find("data/levels/main_eng.dat: poskodeny subor (ziadny citatelny zaznam), ostava textury bez balika\n"),
              std::string::npos);

    write_bytes("main.idx", std::vector<uint8_t>(index.size(), 0));
    load_texture_pack("main.idx");
    EXPECT_NE(log_text().find("main.idx: poskodeny subor (0 zaznamov v 252 bajtoch), ostava 0 zaznamov\n"), std::string::npos);
}

TEST_F(texture_test, PixelEntriesReadFromAPackedStream)
{
    packed_stream* out = stream_open("glyphs.fn", "wp");
    ASSERT_NE(out, nullptr);
    for (const auto& e : {pixel_entry(4, 2, 10, 8, 2), pixel_entry(2, 1, 4, 4, 1), pixel_entry(2, 2, 2, 8, 2)})
        ASSERT_EQ(stream_write(e.data(), int(e.size()), out), int(e.size()));
    ASSERT_EQ(stream_close(out), 0);

    const int32_t first = append_texture_slot("glyph");
    const int32_t video = append_texture_slot("intro.avi");
    const int32_t third = append_texture_slot("glyph3");
    packed_stream* in = stream_open("glyphs.fn", "rp");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(read_texture_pixels(first, in), 0);
    EXPECT_EQ(read_texture_pixels(video, in), 0); // read past: no surface
    EXPECT_EQ(read_texture_pixels(third, in), 0);
    EXPECT_EQ(read_texture_pixels(third, in), -1); // the stream is at its end: no surface
    stream_close(in);
    ASSERT_NE(g_textures[first].surface, nullptr);
    EXPECT_EQ(g_textures[first].surface->format, texture_format::a4r4g4b4);
    EXPECT_EQ(g_textures[first].surface->pixels[9], 9);
    EXPECT_EQ(g_textures[first].refcount, 0u);
    EXPECT_EQ(g_textures[video].surface, nullptr);
    EXPECT_EQ(g_textures[video].format, k_format_r5g6b5);
    EXPECT_NE(log_text().find("bude to avi\n"), std::string::npos);
    EXPECT_EQ(g_textures[third].surface, nullptr);
    EXPECT_EQ(read_texture_pixels(first, nullptr), -1);
    EXPECT_EQ(read_texture_record(first, nullptr), -1);
    EXPECT_EQ(write_texture_pixels(first, nullptr), -1);
}

} // namespace
