// The movement map's editor overlays on the recording device: the filled cells within the view
// and the grid of screens, in screen pixels.
#include "tests/engine/overlay_test_support.h"

#include "world/movement_map.h"

#include <cmath>

namespace {

class movemap_drawing : public overlay_test {
protected:
    void TearDown() override
    {
        free_movemap(&map);
        g_show_grid = 0;
        overlay_test::TearDown();
    }

    void set_cell(int column, int row, uint8_t value) { map.cells[row * map.columns + column] = value; }

    // The top-left pixels of the filled cells drawn.
    std::vector<pixel> filled_corners() const
    {
        std::vector<pixel> out;
        for (const drawn_box& box : boxes())
            if (!box.texture)
                out.push_back(box.low);
        return out;
    }

    movement_map map{};
};

bool has_corner(const std::vector<pixel>& corners, float x, float y)
{
    for (pixel p : corners)
        if (std::fabs(p.x - x) < 0.5f && std::fabs(p.y - y) < 0.5f)
            return true;
    return false;
}

} // namespace

TEST_F(movemap_drawing, BlockedAndMarkedCellsAreFilledByValue)
{
    ASSERT_TRUE(create_movemap(&map, 10, 8, 2, 3));
    set_cell(2, 3, k_cell_blocked);      // world (0, 0)
    set_cell(3, 3, k_cell_blocked_soft); // world (32, 0)
    set_cell(4, 4, k_cell_editor_mark);  // world (64, 32)
    set_cell(5, 3, 7);                   // no value of the overlay: not drawn
    draw_movemap(&map);

    auto drawn = boxes();
    ASSERT_EQ(drawn.size(), 3u);
    const struct {
        float x, y, r, g, b;
    } expected[] = {{0, 0, 1, 0, 0}, {32, 0, 0, 1, 0}, {64, 32, 0, 0, 1}};
    for (size_t i = 0; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(drawn[i].texture, nullptr);
        expect_pixel(drawn[i].low, expected[i].x, expected[i].y);
        expect_pixel(drawn[i].high, expected[i].x + 32, expected[i].y + 32);
        expect_colour(drawn[i].colour, expected[i].r, expected[i].g, expected[i].b, 0.4f);
    }

    // Zoom 2 around the camera at (16, 0): cell (3, 3) spans pixels (32, 0) to (96, 64).
    dev.clear_recording();
    g_zoom = 2.0f;
    g_camera_x = 16.0f;
    draw_movemap(&map);
    drawn = boxes();
    ASSERT_EQ(drawn.size(), 3u);
    expect_pixel(drawn[1].low, 32, 0);
    expect_pixel(drawn[1].high, 96, 64);
}

TEST_F(movemap_drawing, OnlyTheCellsInViewAreDrawn)
{
    ASSERT_TRUE(create_movemap(&map, 100, 100, 10, 10));
    for (int i = 0; i < 100 * 100; ++i)
        map.cells[i] = k_cell_blocked;
    // The camera at world (320, 64) sits on cell (20, 12); a 1024 × 768 view at zoom 1 spans
    // 1024 / 32 + 2 = 34 columns and 768 / 32 + 2 = 26 rows.
    g_camera_x = 320.0f;
    g_camera_y = 64.0f;
    draw_movemap(&map);
    auto corners = filled_corners();
    EXPECT_EQ(corners.size(), 34u * 26u);
    EXPECT_TRUE(has_corner(corners, 0, 0));                   // cell (20, 12)
    EXPECT_TRUE(has_corner(corners, 33 * 32, 25 * 32));       // cell (53, 37)
    EXPECT_FALSE(has_corner(corners, -32, 0));                // cell (19, 12)
    EXPECT_FALSE(has_corner(corners, 34 * 32, 0));            // cell (54, 12)
    EXPECT_FALSE(has_corner(corners, 0, 26 * 32));            // cell (20, 38)

    // Zoom 2 halves the span: 18 columns and 14 rows.
    dev.clear_recording();
    g_zoom = 2.0f;
    draw_movemap(&map);
    EXPECT_EQ(filled_corners().size(), 18u * 14u);

    // A camera before the grid starts at column and row 0; the grid's end bounds the span.
    dev.clear_recording();
    g_zoom = 1.0f;
    g_camera_x = g_camera_y = -100000.0f;
    draw_movemap(&map);
    EXPECT_EQ(filled_corners().size(), 34u * 26u);
    dev.clear_recording();
    g_camera_x = 89.0f * 32.0f - 320.0f;  // on column 89: 11 columns remain
    g_camera_y = 0.0f;
    draw_movemap(&map);
    EXPECT_EQ(filled_corners().size(), 11u * 26u);
    dev.clear_recording();
    g_camera_x = 100000.0f;
    draw_movemap(&map);
    EXPECT_TRUE(dev.draws().empty());
}

TEST_F(movemap_drawing, NoCellsOrNoZoomDrawNothing)
{
    ASSERT_TRUE(create_movemap(&map, 4, 4, 0, 0));
    set_cell(0, 0, k_cell_blocked);
    for (float zoom : {0.0f, -1.0f, std::nanf("")}) {
        g_zoom = zoom;
        draw_movemap(&map);
    }
    g_zoom = 1.0f;
    map.valid = 0;
    draw_movemap(&map);
    free_movemap(&map);
    draw_movemap(&map);
    EXPECT_TRUE(dev.draws().empty());
}

TEST_F(movemap_drawing, TheGridOutlinesTheMapAndItsScreensWhileShown)
{
    ASSERT_TRUE(create_movemap(&map, 200, 200, 100, 100));
    draw_movemap_grid(&map);
    EXPECT_TRUE(dev.draws().empty());  // the grid display is off

    g_show_grid = 1;
    g_camera_x = g_camera_y = -3200.0f;
    g_zoom = 0.125f;  // world (x, y) is pixel ((x + 3200) / 8, (y + 3200) / 8)
    draw_movemap_grid(&map);
    auto drawn = lines();
    // The outline, 200 / 32 = 6 lines across and 200 / 24 = 8 lines down.
    ASSERT_EQ(drawn.size(), 4u + 6u + 8u);
    expect_pixel(drawn[0].from, 0, 0);
    expect_pixel(drawn[0].to, 0, 800);
    expect_pixel(drawn[1].from, 800, 0);
    expect_pixel(drawn[1].to, 800, 800);
    expect_pixel(drawn[2].to, 800, 0);
    expect_pixel(drawn[3].from, 0, 800);
    for (int i = 0; i < 4; ++i)
        expect_colour(drawn[size_t(i)].colour, 1, 1, 1, 1);
    for (int i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        const drawn_line& line = drawn[size_t(3 + i)];
        expect_pixel(line.from, 128.0f * float(i), 0);
        expect_pixel(line.to, 128.0f * float(i), 800);
        expect_colour(line.colour, 0.6f, 0.6f, 0.6f, 1);
    }
    for (int j = 1; j <= 8; ++j) {
        SCOPED_TRACE(j);
        const drawn_line& line = drawn[size_t(9 + j)];
        expect_pixel(line.from, 0, 96.0f * float(j));
        expect_pixel(line.to, 800, 96.0f * float(j));
        expect_colour(line.colour, 0.6f, 0.6f, 0.6f, 1);
    }
}
