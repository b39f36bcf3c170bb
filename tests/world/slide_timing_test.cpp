#include "world/slide_timing.h"

#include "core/console_log.h"
#include "engine/texture_fixture.h"
#include "engine/textures.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class slide_timing_test : public texture_test {
protected:
    void SetUp() override
    {
        texture_test::SetUp();
        audio_init_headless(k_audio_rate);
    }
    void TearDown() override
    {
        audio_shutdown();
        texture_test::TearDown();
    }

    // Reads `text` as a slide list into a record whose entries all hold 7 and 8 beforehand.
    slide_timing read_list(const std::string& text)
    {
        write_text("list.txt", text);
        slide_timing t;
        for (int i = 0; i < k_slide_list_size; ++i) {
            t.pictures[i] = 7;
            t.narrations[i] = 8;
        }
        load_slide_timing(&t, "list.txt");
        return t;
    }
};

} // namespace

TEST_F(slide_timing_test, ReadsTheCountAndThePairsSeparatedByAnyWhiteSpace)
{
    slide_timing t = read_list("2 10 1 20 2");
    EXPECT_EQ(t.count, 2);
    EXPECT_EQ(t.pictures[0], 10);
    EXPECT_EQ(t.narrations[0], 1);
    EXPECT_EQ(t.pictures[1], 20);
    EXPECT_EQ(t.narrations[1], 2);
    EXPECT_EQ(t.pictures[2], 7);  // past the count: as it was

    t = read_list("1\r\n\t-3\r\n  70000\r\n");
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.pictures[0], -3);
    EXPECT_EQ(t.narrations[0], int16_t(70000));  // each value kept in 16 bits
    EXPECT_EQ(log_text().find("list.txt"), std::string::npos);
}

TEST_F(slide_timing_test, BadListsKeepWhatWasReadWholeAndLogOneLine)
{
    struct bad_list {
        std::string text;
        int32_t count;
        const char* logged;  // null: nothing logged
        int16_t first_narration = 11;
    };
    std::string long_list = "25";
    std::string full_list = "24";
    for (int i = 1; i <= 25; ++i) {
        long_list += " " + std::to_string(i) + " " + std::to_string(100 + i);
        if (i <= 24)
            full_list += " " + std::to_string(i) + " " + std::to_string(100 + i);
    }
    const bad_list lists[] = {
        {full_list, 24, nullptr, 101},
        {long_list, 24, "list.txt: poskodeny subor (pocet 25 nad 24), ostava prve snimky, ktore sa zmestia\n", 101},
        {"0 1 1", 0, nullptr},
        {"-1 1 1", 0, "list.txt: poskodeny subor (pocet -1), ostava prazdny zoznam snimok\n"},
        {"two 1 1", 0, "list.txt: poskodeny subor (chyba pocet), ostava prazdny zoznam snimok\n"},
        {"", 0, "list.txt: poskodeny subor (chyba pocet), ostava prazdny zoznam snimok\n"},
        {"3 1 11 2 12 3", 2, "list.txt: poskodeny subor (konci po 2 z 3), ostava snimky pred koncom\n"},
        {"2 1 11 x 12", 1, "list.txt: poskodeny subor (konci po 1 z 2), ostava snimky pred koncom\n"},
    };
    for (const bad_list& list : lists) {
        SCOPED_TRACE(list.text);
        write_text(k_console_log_file, "");
        slide_timing t = read_list(list.text);
        EXPECT_EQ(t.count, list.count);
        EXPECT_EQ(log_text(), list.logged ? list.logged : "");
        for (int i = 0; i < t.count; ++i) {
            EXPECT_EQ(t.pictures[i], i + 1);
            EXPECT_EQ(t.narrations[i], list.first_narration + i);
        }
        if (t.count < k_slide_list_size) {
            EXPECT_EQ(t.narrations[t.count], 8);  // the entry after the count: as it was
        }
    }
}

TEST_F(slide_timing_test, ANewListStopsTheShowAndReleasesOneReferenceOfEachTile)
{
    write_test_image("a.tga", 64, 64);
    write_test_image("b.tga", 64, 64);
    slide_timing t;
    t.running = 1;
    t.index = 3;
    t.count = 5;
    // A picture listed twice: both sets hold "a.tga"; "b.tga" is also held by something else.
    t.current.slot[0][0] = uint16_t(get_texture("a.tga", 0, 0, 0, 0, 1, 0));
    t.next.slot[0][0] = uint16_t(get_texture("a.tga", 0, 0, 0, 0, 1, 0));
    t.current.slot[15][11] = uint16_t(get_texture("b.tga", 0, 0, 0, 0, 1, 0));
    const int32_t b = get_texture("b.tga", 0, 0, 0, 0, 1, 0);
    const int32_t a = t.current.slot[0][0];
    ASSERT_EQ(g_textures[a].refcount, 2u);

    std::vector<int16_t> pcm(2000, 100);
    ASSERT_TRUE(write_wav_file("voice.ogg", pcm.data(), 1, k_audio_rate, pcm.size()));
    t.narration_stream = audio_stream_create_file("voice.ogg", false);
    ASSERT_TRUE(audio_stream_play(t.narration_stream));
    const uint32_t stream = t.narration_stream;

    load_slide_timing(&t, "missing.txt");  // a missing list still releases the pictures
    EXPECT_EQ(t.running, 0u);
    EXPECT_EQ(t.index, 0);
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(t.narration_stream, 0u);
    EXPECT_FALSE(audio_channel_get_attributes(stream, nullptr, nullptr, nullptr));  // freed
    EXPECT_EQ(g_textures[a].refcount, 0u);
    EXPECT_EQ(g_textures[a].surface, nullptr);
    EXPECT_EQ(g_textures[b].refcount, 1u);
    EXPECT_NE(g_textures[b].surface, nullptr);
    for (uint16_t slot : tile_slots(t.current))
        EXPECT_EQ(slot, k_no_tile);
    for (uint16_t slot : tile_slots(t.next))
        EXPECT_EQ(slot, k_no_tile);
    EXPECT_NE(log_text().find("missing.txt: subor chyba, ostava prazdny zoznam snimok\n"), std::string::npos);

    // Sets that hold nothing release nothing, again.
    load_slide_timing(&t, "missing.txt");
    EXPECT_EQ(g_textures[b].refcount, 1u);
}
