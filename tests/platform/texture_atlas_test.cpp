// Atlas pages: where rectangles go and the border around an image.
#include "platform/texture_atlas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TextureAtlas, RectanglesStayOnTheirPagesApartAndAreReusedOnceReleased)
{
    atlas_packer packer(64, 2);
    std::vector<atlas_slot> placed;
    const uint32_t sizes[][2] = {{18, 18}, {18, 18}, {10, 12}, {34, 20}, {18, 18}, {66, 2}, {30, 30}, {12, 10}};
    for (int round = 0; round < 4; ++round)
        for (const auto& s : sizes)
            if (atlas_slot slot = packer.place(s[0], s[1]); slot.page >= 0)
                placed.push_back(slot);
    ASSERT_GT(placed.size(), 10u);
    std::vector<int> covered(2 * 64 * 64, 0);
    for (const atlas_slot& s : placed) {
        ASSERT_LT(s.page, 2);
        ASSERT_LE(s.x + s.width, 64u);
        ASSERT_LE(s.y + s.height, 64u);
        for (uint32_t y = s.y; y < s.y + s.height; ++y)
            for (uint32_t x = s.x; x < s.x + s.width; ++x)
                EXPECT_EQ(++covered[(size_t(s.page) * 64 + y) * 64 + x], 1) << "overlap at " << x << ", " << y;
    }
    EXPECT_EQ(packer.place(66, 2).page, -1); // wider than a page
    EXPECT_EQ(packer.place(40, 40).page, -1); // no room left on two pages

    // A released rectangle is the next one of its size; a page whose rectangles all go is empty.
    packer.release(placed[1]);
    const atlas_slot again = packer.place(18, 18);
    EXPECT_EQ(again.page, placed[1].page);
    EXPECT_EQ(again.x, placed[1].x);
    EXPECT_EQ(again.y, placed[1].y);
    for (const atlas_slot& s : placed)
        if (s.page == 1)
            packer.release(s);
    EXPECT_EQ(packer.live(1), 0u);
    EXPECT_EQ(packer.place(60, 60).page, 1);
}

TEST(TextureAtlas, TheBorderRepeatsTheOppositeEdges)
{
    const std::vector<uint32_t> image = {1, 2, 3, 4, 5, 6}; // 3 × 2
    std::vector<uint32_t> out;
    add_wrapped_border(image, 3, 2, out);
    const std::vector<uint32_t> expected = {6, 4, 5, 6, 4, //
                                            3, 1, 2, 3, 1, //
                                            6, 4, 5, 6, 4, //
                                            3, 1, 2, 3, 1};
    EXPECT_EQ(out, expected);
}

} // namespace
