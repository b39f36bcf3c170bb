// Sector outlines on the recording device: lines and point markers in screen pixels under the
// camera and zoom, the colours of the types, the curves of types 8 and above, the scaled outline
// of a character's polygon, and which slots the per-frame pass draws.
#include "tests/engine/overlay_test_support.h"

#include "world/sectors.h"

#include <cstring>

namespace {

class sector_drawing : public overlay_test {
protected:
    void SetUp() override
    {
        overlay_test::SetUp();
        std::memcpy(saved_, g_sectors, sizeof saved_);
        saved_count_ = g_sector_count;
    }
    void TearDown() override
    {
        std::memcpy(g_sectors, saved_, sizeof saved_);
        g_sector_count = saved_count_;
        overlay_test::TearDown();
    }

    std::vector<drawn_line> lines_coloured(float r, float g, float b) const
    {
        std::vector<drawn_line> out;
        for (const drawn_line& line : lines())
            if (line.colour.r == r && line.colour.g == g && line.colour.b == b)
                out.push_back(line);
        return out;
    }

private:
    map_sector saved_[k_sector_slots];
    int16_t saved_count_ = 0;
};

map_sector sector_of(uint8_t type, std::initializer_list<std::pair<float, float>> points)
{
    map_sector s{};
    for (auto [x, y] : points)
        add_sector_point(&s, x, y);
    s.type = type;
    return s;
}

// Points 0 to n - 1 along a zigzag, open.
map_sector zigzag(uint8_t type, int n)
{
    map_sector s{};
    for (int i = 0; i < n; ++i)
        add_sector_point(&s, 100.0f + 40.0f * float(i), i % 2 ? 300.0f : 200.0f);
    s.type = type;
    return s;
}

// The lines join the points in order, all in one colour.
void expect_polyline(const std::vector<drawn_line>& drawn, const std::vector<pixel>& points, device_colour colour)
{
    ASSERT_EQ(drawn.size() + 1, points.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        expect_pixel(drawn[i].from, points[i].x, points[i].y);
        expect_pixel(drawn[i].to, points[i + 1].x, points[i + 1].y);
        expect_colour(drawn[i].colour, colour.r, colour.g, colour.b, colour.a);
    }
}

} // namespace

TEST_F(sector_drawing, AClosedOutlineJoinsItsPointsUnderCameraAndZoom)
{
    g_camera_x = 100.0f;
    g_camera_y = 50.0f;
    g_zoom = 2.0f;
    map_sector s = sector_of(3, {{150, 100}, {250, 100}, {250, 180}, {150, 180}, {150, 100}});
    ASSERT_EQ(s.closed, 1u);
    draw_sector(&s);

    // World (x, y) is pixel ((x - 100) × 2, (y - 50) × 2).
    const std::vector<pixel> corners = {{100, 100}, {300, 100}, {300, 260}, {100, 260}, {100, 100}};
    expect_polyline(lines(), corners, {0, 1, 0, 1});  // the closing line ends on the first point
    for (const recorded_draw& d : dev.draws()) {
        if (d.type == primitive_type::line_strip) {
            EXPECT_EQ(d.texture, nullptr);
        }
    }

    // A marker on every stored point, the closing one included, 8 pixels at unit scale.
    auto markers = sprites_of(select_surface);
    ASSERT_EQ(markers.size(), 5u);
    for (size_t i = 0; i < markers.size(); ++i) {
        SCOPED_TRACE(i);
        expect_pixel(markers[i].centre(), corners[i].x, corners[i].y);
        EXPECT_NEAR(markers[i].width(), 16.0f, 0.5f);
    }
}

TEST_F(sector_drawing, TheTypeChoosesTheLineColourAndSomeTypesDrawNoLines)
{
    struct expected {
        uint8_t type;
        float r, g, b;
    };
    const expected coloured[] = {{0, 1, 1, 1}, {1, 1, 1, 1}, {2, 1, 0, 0}, {3, 0, 1, 0}, {4, 0, 0, 1},
                                 {5, 1, 1, 0}, {6, 1, 0, 1}, {7, 0, 1, 1}, {8, 1, 1, 1}};
    for (const expected& e : coloured) {
        SCOPED_TRACE(int(e.type));
        dev.clear_recording();
        map_sector s = zigzag(e.type, 3);  // too few points for a curve
        draw_sector(&s);
        auto drawn = lines();
        ASSERT_EQ(drawn.size(), 2u);
        for (const drawn_line& line : drawn)
            expect_colour(line.colour, e.r, e.g, e.b, 1);
        EXPECT_EQ(sprites_of(select_surface).size(), 3u);
    }
    for (uint8_t type : {9, 40, 255}) {
        SCOPED_TRACE(int(type));
        dev.clear_recording();
        map_sector s = zigzag(type, 3);
        draw_sector(&s);
        EXPECT_TRUE(lines().empty());
        EXPECT_EQ(sprites_of(select_surface).size(), 3u);
    }
}

TEST_F(sector_drawing, CurveTypesDrawARedCurveThroughEachRunOfFourPoints)
{
    // 0 curves below 4 points, 1 for 4 to 6, (count - 1) / 3 from 7.
    const std::pair<int, int> curve_counts[] = {{1, 0}, {3, 0}, {4, 1}, {6, 1}, {7, 2}, {10, 3}, {19, 6}};
    for (auto [points, curves] : curve_counts) {
        SCOPED_TRACE(points);
        dev.clear_recording();
        map_sector s = zigzag(9, points);
        draw_sector(&s);
        EXPECT_EQ(lines_coloured(1, 0, 0).size(), size_t(201 * curves));
        EXPECT_EQ(lines().size(), size_t(201 * curves));  // type 9 draws no straight lines
    }

    // Type 8: white straight lines as well, then curve k from point 3k to point 3k + 3.
    map_sector s = zigzag(8, 7);
    dev.clear_recording();
    draw_sector(&s);
    EXPECT_EQ(lines_coloured(1, 1, 1).size(), 6u);
    auto red = lines_coloured(1, 0, 0);
    ASSERT_EQ(red.size(), 402u);
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const drawn_line& first = red[size_t(201 * k)];
        const drawn_line& last = red[size_t(201 * k + 200)];
        // A fresh curve's first segment has no length: it starts at its first point.
        expect_pixel(first.from, s.x[3 * k], s.y[3 * k]);
        expect_pixel(first.to, s.x[3 * k], s.y[3 * k]);
        expect_pixel(last.to, s.x[3 * k + 3], s.y[3 * k + 3], 3.0f);
        expect_colour(first.colour, 1, 0, 0, 1);
    }
    // The curve leaves its first point toward the second control point.
    EXPECT_GT(red[5].to.y, s.y[0]);
}

TEST_F(sector_drawing, AScaledOutlineIsWhiteOrRedAndNeverCurved)
{
    map_sector s = sector_of(3, {{10, 0}, {20, 0}, {20, 10}, {10, 0}});
    draw_sector_scaled(&s, 300.0f, 200.0f, 2.0f);
    expect_polyline(lines(), {{320, 200}, {340, 200}, {340, 220}, {320, 200}}, {1, 1, 1, 1});
    auto markers = sprites_of(select_surface);
    ASSERT_EQ(markers.size(), 4u);
    expect_pixel(markers[2].centre(), 340, 220);

    dev.clear_recording();
    s.type = 2;
    draw_sector_scaled(&s, 0.0f, 0.0f, 1.0f);
    for (const drawn_line& line : lines())
        expect_colour(line.colour, 1, 0, 0, 1);

    dev.clear_recording();
    map_sector curved = zigzag(9, 7);
    draw_sector_scaled(&curved, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(lines_coloured(1, 1, 1).size(), 6u);
    EXPECT_EQ(lines().size(), 6u);
}

TEST_F(sector_drawing, ThePassDrawsTheActiveSlotsBelowTheCount)
{
    std::memset(g_sectors, 0, sizeof g_sectors);
    g_sectors[0] = zigzag(2, 2);  // red
    g_sectors[1] = zigzag(3, 2);  // green, but inactive
    g_sectors[1].active = 0;
    g_sectors[2] = zigzag(4, 2);  // blue, beyond the count
    g_sector_count = 2;
    draw_all_sectors();
    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 1u);
    expect_colour(drawn[0].colour, 1, 0, 0, 1);

    dev.clear_recording();
    g_sector_count = 3;
    draw_all_sectors();
    EXPECT_EQ(lines_coloured(1, 0, 0).size(), 1u);
    EXPECT_EQ(lines_coloured(0, 0, 1).size(), 1u);
    EXPECT_TRUE(lines_coloured(0, 1, 0).empty());

    // A count read past the table draws no slot twice and none beyond it.
    dev.clear_recording();
    g_sector_count = 500;
    draw_all_sectors();
    EXPECT_EQ(lines().size(), 2u);
}
