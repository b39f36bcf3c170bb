// The texture table: sharing by name, reference counts, missing and failed files, deferred
// surfaces, formats, limits, the fixed textures and video textures.
#include "engine/texture_fixture.h"

#include "engine/quads.h"
#include "engine/textures.h"
#include "platform/avi_fixture.h"
#include "platform/clock.h"

#include <string>

namespace {

TEST_F(texture_test, OneNameSharesASlotUntilItsLastRelease)
{
    write_test_image("a.tga", 16, 16);
    const int32_t a = get_texture("a.tga", 0, 0, 0, 0, 0, 0);
    ASSERT_GE(a, 0);
    EXPECT_EQ(get_texture("a.tga", 0, 0, 0, 0, 1, 1), a); // other arguments ignored
    EXPECT_EQ(g_textures[a].refcount, 2u);
    EXPECT_EQ(g_textures[a].format, k_format_a4r4g4b4);
    release_texture(a);
    EXPECT_NE(g_textures[a].surface, nullptr);
    release_texture(a);
    EXPECT_EQ(g_textures[a].surface, nullptr);
    EXPECT_STREQ(g_textures[a].name, "");
    EXPECT_EQ(g_textures[a].loaded, 0u);
    EXPECT_EQ(g_textures[a].pack_offset, -1);

    // Letter case makes another texture (the file is still found); it takes the released slot
    // again, so the table does not grow.
    write_test_image("b.tga", 8, 8);
    const int32_t upper = get_texture("A.TGA", 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(upper, a);
    EXPECT_STREQ(g_textures[upper].name, "A.TGA");
    EXPECT_NE(g_textures[upper].surface, nullptr);
    EXPECT_EQ(g_texture_count, 1);

    // The count does not wrap past 255 requests.
    for (int i = 0; i < 299; ++i)
        get_texture("A.TGA", 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(g_textures[upper].refcount, 300u);
    for (int i = 0; i < 299; ++i)
        release_texture(upper);
    EXPECT_NE(g_textures[upper].surface, nullptr);
    free_texture(upper);
    EXPECT_EQ(g_textures[upper].surface, nullptr);
}

TEST_F(texture_test, AMissingFileGetsASlotThatDrawsNothingAndIsTriedAgain)
{
    const int32_t slot = get_texture("gone.tga", 0, 0, 0, 0, 0, 0);
    ASSERT_GE(slot, 0);
    EXPECT_NE(log_text().find("gone.tga: subor chyba, ostava prazdna textura\n"), std::string::npos);
    EXPECT_EQ(ensure_texture(slot), -1);
    EXPECT_EQ(draw_texture_screen(slot, 100, 100, 1, 1, 0, 0, 0, 0, 1, 1, 1), -1);
    EXPECT_TRUE(device_->draws().empty());
    write_test_image("gone.tga", 20, 10);
    EXPECT_EQ(ensure_texture(slot), 0); // the next draw finds it, at the image's own size
    EXPECT_EQ(g_textures[slot].width, 20u);
    EXPECT_EQ(g_textures[slot].height, 10u);
}

TEST_F(texture_test, AFailedCreationIsNeverRetriedAndItsSlotGoesToTheNextName)
{
    write_text("bad.tga", "not an image at all");
    const int32_t bad = get_texture("bad.tga", 0, 0, 0, 0, 0, 0);
    EXPECT_NE(log_text().find("bad.tga: poskodeny subor ("), std::string::npos);
    EXPECT_EQ(g_textures[bad].loaded, 1u);
    write_test_image("bad.tga", 8, 8);
    EXPECT_EQ(ensure_texture(bad), -1);
    write_test_image("next.tga", 8, 8);
    EXPECT_EQ(get_texture("next.tga", 0, 0, 1, 0, 0, 0), bad);
    EXPECT_NE(g_textures[bad].surface, nullptr);
    EXPECT_EQ(g_textures[bad].in_level, 1u);
    EXPECT_EQ(g_texture_count, 1);
}

TEST_F(texture_test, DeferredSurfacesAreMadeAtTheirFirstDrawInTheirFormat)
{
    write_test_image("frame.bmp", 40, 20);
    const int32_t slot = get_texture("frame.bmp", 40, 20, 1, 0, 2, 1);
    EXPECT_EQ(g_textures[slot].surface, nullptr);
    EXPECT_EQ(g_textures[slot].loaded, 0u);
    EXPECT_EQ(g_textures[slot].width, 0u);
    EXPECT_EQ(g_textures[slot].format, k_format_dxt3);
    EXPECT_EQ(draw_texture_world(slot, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1), 0);
    ASSERT_NE(g_textures[slot].surface, nullptr);
    EXPECT_EQ(g_textures[slot].surface->format, texture_format::dxt3);
    EXPECT_EQ(g_textures[slot].width, 40u);  // the image's own size
    EXPECT_EQ(g_textures[slot].height, 20u);
    EXPECT_EQ(g_textures[slot].loaded, 1u);

    // Format choices 0, 1, 2 and one that keeps the slot's code (0 on a fresh slot: the
    // file's own format).
    const uint32_t expected[] = {k_format_a4r4g4b4, k_format_a8r8g8b8, k_format_dxt3, k_format_file_own};
    const char* names[] = {"f0.bmp", "f1.bmp", "f2.bmp", "f9.bmp"};
    for (int choice = 0; choice < 4; ++choice) {
        write_test_image(names[choice], 8, 8);
        const int32_t s = get_texture(names[choice], 0, 0, 0, 0, choice == 3 ? 9 : choice, 0);
        EXPECT_EQ(g_textures[s].format, expected[choice]);
        ASSERT_NE(g_textures[s].surface, nullptr);
    }
    EXPECT_EQ(g_textures[g_texture_count - 1].surface->format, texture_format::a8r8g8b8);
}

TEST_F(texture_test, ADeferredImageThatCannotBeReadIsLoggedOnceByName)
{
    write_text("sprite00.tga", "cut short");
    const int32_t slot = get_texture("sprite00.tga", 0, 0, 1, 0, 0, 1);
    EXPECT_EQ(log_text(), "");  // nothing is read before the first draw
    for (int draw = 0; draw < 3; ++draw)
        EXPECT_EQ(draw_texture_world(slot, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1), -1);
    EXPECT_EQ(log_text(), "sprite00.tga: poskodeny subor (unknown image type), ostava prazdna textura\n");
    EXPECT_TRUE(device_->draws().empty());

    // Mended, the file is read at the next draw; a new fill logs again.
    write_test_image("sprite00.tga", 8, 8);
    EXPECT_EQ(ensure_texture(slot), 0);
    write_text("sprite01.tga", "");
    const int32_t other = get_texture("sprite01.tga", 0, 0, 1, 0, 0, 1);
    EXPECT_EQ(ensure_texture(other), -1);
    EXPECT_NE(log_text().find("sprite01.tga: poskodeny subor ("), std::string::npos);
}

TEST_F(texture_test, LongNamesAFullTableAndSlotsOutOfRangeAreRefused)
{
    const std::string longest(119, 'n');
    const std::string too_long(120, 'n');
    EXPECT_GE(get_texture(longest.c_str(), 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(get_texture(too_long.c_str(), 0, 0, 0, 0, 0, 0), -1);
    EXPECT_NE(log_text().find("pridlhe meno 120\n"), std::string::npos);
    EXPECT_EQ(get_texture(nullptr, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(g_texture_count, 1);

    g_texture_count = k_texture_slots;  // every slot held
    for (int32_t t = 1; t < k_texture_slots; ++t)
        g_textures[t].refcount = 1;
    EXPECT_EQ(get_texture("one.tga", 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(append_texture_slot("two.tga"), -1);
    for (int32_t t = 1; t < k_texture_slots; ++t)
        g_textures[t].refcount = 0;
    g_texture_count = 1;

    for (int32_t slot : {-1, 0xFFFF, k_texture_slots, 70000}) {
        release_texture(slot);
        free_texture(slot);
        set_texture_size(slot, 1, 1);
        create_texture_from_file(slot, "x.tga", 0, 0, 0, 0, 0);
        EXPECT_EQ(ensure_texture(slot), -1);
        EXPECT_EQ(upload_texture(slot), -1);
        EXPECT_EQ(draw_texture_world(slot, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1), -1);
        EXPECT_EQ(draw_quad_screen(slot, 0, 0, 0, 1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1), -1);
        EXPECT_EQ(draw_texture_direct_screen(slot, 0, 0, 1, 1, 1, 1, 1), -1);
    }
    EXPECT_TRUE(device_->draws().empty());
    EXPECT_EQ(find_free_texture(), 0);
}

TEST_F(texture_test, TheNineFixedTexturesLoadIntoSlotsOfTheirOwn)
{
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string()).c_str()), 0);
    load_fixed_textures();
    EXPECT_EQ(g_texture_count, k_fixed_texture_count);
    for (int i = 0; i < k_fixed_texture_count; ++i) {
        const texture_record& t = g_textures[g_fixed_textures[i]];
        ASSERT_NE(t.surface, nullptr) << t.name;
        EXPECT_EQ(t.format, k_format_a4r4g4b4);
        EXPECT_EQ(t.refcount, 1u);
    }
    EXPECT_STREQ(g_textures[g_fixed_textures[k_texture_blue]].name, "global/blue.tga");
    EXPECT_EQ(g_textures[g_fixed_textures[k_texture_black]].width, 64u);
}

class video_texture_test : public texture_test {
protected:
    // The texel of surface row `row` at x as 5-6-5 bits.
    uint16_t texel(int32_t slot, uint32_t x, uint32_t row)
    {
        const device_texture* s = g_textures[slot].surface;
        const uint8_t* p = s->pixels.data() + row * s->pitch + 2 * x;
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    static uint16_t packed(uint32_t rgb)
    {
        return static_cast<uint16_t>(((rgb >> 16) & 0xF8) << 8 | ((rgb >> 8) & 0xFC) << 3 | (rgb & 0xFF) >> 3);
    }
};

TEST_F(video_texture_test, FramesFollowTheClockUpsideDownAndRestartAfterTheLast)
{
    write_bytes("clip.avi", make_test_avi(20, 12, 5, 10, 1, gradient_pixel));
    const int32_t slot = get_texture("clip.avi", 30, 12, 0, 0, 0, 0);
    const texture_record& t = g_textures[slot];
    ASSERT_EQ(t.is_video, 1u);
    EXPECT_EQ(t.format, k_format_r5g6b5);
    EXPECT_EQ(t.width, 32u);
    EXPECT_EQ(t.height, 16u);
    EXPECT_EQ(t.video_width, 32u);
    EXPECT_EQ(t.video_frames, 5u);
    EXPECT_EQ(t.video_last_frame, -1);
    EXPECT_EQ(t.loaded, 0u);
    EXPECT_EQ(g_live_videos, 1);

    update_all_avi_textures();
    EXPECT_EQ(t.video_last_frame, 0);
    // The picture's bottom row lands in the surface's first row; only the frame's 20 × 12
    // pixels are written.
    EXPECT_EQ(texel(slot, 3, 0), packed(gradient_pixel(0, 3, 11)));
    EXPECT_EQ(texel(slot, 19, 11), packed(gradient_pixel(0, 19, 0)));
    EXPECT_EQ(texel(slot, 25, 0), 0);
    EXPECT_EQ(texel(slot, 3, 14), 0);

    clock_advance_manual(250); // 10 frames a second: frame 2
    update_all_avi_textures();
    EXPECT_EQ(t.video_last_frame, 2);
    EXPECT_EQ(texel(slot, 0, 0), packed(gradient_pixel(2, 0, 11)));
    clock_advance_manual(300); // frame 5: past the end, restart at frame 1
    update_all_avi_textures();
    EXPECT_EQ(t.video_last_frame, 1);
    EXPECT_EQ(texel(slot, 0, 0), packed(gradient_pixel(1, 0, 11)));
    EXPECT_FLOAT_EQ(t.video_start, 10.55f);
    // The quad family draws the surface as it is.
    EXPECT_EQ(draw_texture_screen(slot, 100, 100, 1, 1, 0, 0, 0, 0, 1, 1, 1), 0);

    release_texture(slot);
    EXPECT_EQ(g_live_videos, 0);
    EXPECT_EQ(t.is_video, 0u);
    EXPECT_EQ(g_video_slots[0].file, nullptr);
}

TEST_F(video_texture_test, VideoSlotsAreReusedAndAnEleventhVideoIsRefused)
{
    write_bytes("v.avi", make_test_avi(8, 8, 2, 10, 1, gradient_pixel));
    int32_t slots[k_video_slots];
    for (int i = 0; i < k_video_slots; ++i) {
        const std::string link = "v" + std::to_string(i) + ".avi";
        write_bytes(link, read_bytes("v.avi"));
        slots[i] = get_texture(link.c_str(), 8, 8, 0, 0, 0, 0);
        EXPECT_EQ(g_textures[slots[i]].video_slot, i);
    }
    EXPECT_EQ(g_live_videos, k_video_slots);
    EXPECT_GE(get_texture("v.avi", 8, 8, 0, 0, 0, 0), 0);
    EXPECT_NE(log_text().find("too many video textures: v.avi"), std::string::npos);
    EXPECT_EQ(g_textures[g_texture_count - 1].surface, nullptr);

    release_texture(slots[3]); // not the last one made
    EXPECT_EQ(g_live_videos, k_video_slots - 1);
    write_bytes("w.avi", read_bytes("v.avi"));
    const int32_t w = get_texture("w.avi", 8, 8, 0, 0, 0, 0);
    EXPECT_EQ(g_textures[w].video_slot, 3);
    EXPECT_EQ(g_textures[w].is_video, 1u);
    update_all_avi_textures();
    for (int i = 0; i < k_video_slots; ++i)
        EXPECT_EQ(g_textures[i == 3 ? w : slots[i]].video_last_frame, 0);

    // A damaged video gets a slot without a surface.
    release_texture(w);
    write_text("bad.avi", "RIFF....AVI junk");
    const int32_t bad = get_texture("bad.avi", 8, 8, 0, 0, 0, 0);
    EXPECT_EQ(g_textures[bad].surface, nullptr);
    EXPECT_EQ(g_textures[bad].is_video, 0u);
    EXPECT_NE(log_text().find("could not open video: bad.avi"), std::string::npos);
}

} // namespace
