// Sector mode: drawing and closing the active sector, picking, turning, snapping, dragging,
// copying and deleting a held sector, the sector table's limit, the movement-map keys, and the
// dirty flag for every change.
#include "editor/view_mode_fixture.h"

#include <cmath>
#include <string>

namespace {

class SectorMode : public view_mode_test {
protected:
    static void run(std::initializer_list<uint8_t> keys = {}, bool left = false, bool right = false)
    {
        frame(run_sector_mode, keys, left, right);
    }
    static void space_at(float x, float y)
    {
        mouse(x, y);
        run({k_key_space});
        run();
    }
};

} // namespace

TEST_F(SectorMode, SpaceDrawsTheActiveSectorUntilItClosesThenStartsANewSlotAndBackspaceReopens)
{
    g_map_dirty = 0;
    space_at(0.0f, 0.0f);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(g_sector_count, 1);  // the slot in use counts, so a new slot is not this one
    space_at(100.0f, 0.0f);
    space_at(0.0f, 100.0f);
    space_at(0.0f, 0.0f);
    const map_sector& first = g_sectors[0];
    EXPECT_EQ(first.count, 4);
    EXPECT_EQ(first.closed, 1u);
    EXPECT_EQ(first.parameter, -1);
    EXPECT_EQ(g_editor.active_sector, 1);
    space_at(500.0f, 500.0f);
    EXPECT_EQ(g_sectors[1].active, 1);
    EXPECT_EQ(g_sectors[1].count, 1);
    EXPECT_EQ(first.count, 4);

    // Space held adds one point per press.
    mouse(600.0f, 500.0f);
    run({k_key_space});
    run({k_key_space});
    EXPECT_EQ(g_sectors[1].count, 2);
    run();

    g_editor.active_sector = 0;
    run({k_key_back});
    EXPECT_EQ(first.count, 3);
    EXPECT_EQ(first.closed, 0u);

    // No active sector: Space and Backspace do nothing.
    g_editor.active_sector = -1;
    space_at(1.0f, 1.0f);
    run({k_key_back});
    EXPECT_EQ(first.count, 3);
}

TEST_F(SectorMode, AFullTableKeepsTheActiveSectorAndMakesNoCopy)
{
    for (int32_t i = 0; i < k_sector_slots; ++i) {
        begin_sector(&g_sectors[i], 1, float(i * 300), 0.0f);
        add_sector_point(&g_sectors[i], float(i * 300) + 50.0f, 0.0f);
    }
    g_sector_count = k_sector_slots;
    g_editor.active_sector = 99;
    space_at(29700.0f, 50.0f);
    space_at(29700.0f, 0.0f);  // closes sector 99
    EXPECT_EQ(g_sectors[99].closed, 1u);
    EXPECT_EQ(g_editor.active_sector, 99);
    EXPECT_NE(console_line().find("plna"), std::string::npos);

    mouse(0.0f, 0.0f);
    run({k_key_return}, true);
    run();
    EXPECT_EQ(g_sector_count, k_sector_slots);
    EXPECT_EQ(g_sectors[0].x[0], 0.0f);
    EXPECT_EQ(g_sectors[0].count, 2);
}

TEST_F(SectorMode, AHeldSectorTakesTypeParameterTurnsSnapsMovesCopiesOnceAndDeletes)
{
    // A closed triangle (0,0) (100,0) (0,100).
    begin_sector(&g_sectors[0], 3, 0.0f, 0.0f);
    for (auto [x, y] : {std::pair{100.0f, 0.0f}, std::pair{0.0f, 100.0f}, std::pair{0.0f, 0.0f}})
        add_sector_point(&g_sectors[0], x, y);
    g_sector_count = 1;
    g_sectors[0].parameter = 7;
    g_editor.active_sector = -1;

    // A damaged map's points beyond the int range or not numbers are never picked.
    begin_sector(&g_sectors[1], 3, 3.0e12f, -3.0e12f);
    add_sector_point(&g_sectors[1], NAN, 100.5f);
    g_sector_count = 2;
    mouse(2147483647.0f, -2147483648.0f);
    run({}, true);
    EXPECT_EQ(g_selected_sector, -1);
    g_sector_count = 1;

    mouse(100.5f, 3.9f);
    run({k_key_5, k_key_numpad2}, true);
    EXPECT_EQ(g_selected_sector, 0);
    EXPECT_EQ(g_sectors[0].selected[1], 1u);
    EXPECT_EQ(g_sectors[0].type, 5);
    EXPECT_EQ(g_sectors[0].parameter, 2);
    run({k_key_decimal}, true);
    EXPECT_EQ(g_sectors[0].parameter, -1);
    // The line is written before the keys act.
    EXPECT_EQ(std::string(g_mode_info_text), "\nsektor: 0 : pocet uzlov: 4 : typ: 5 : param: 2 : uzavrety 1");

    // Enter copies once per press, 64 right and down, closed, with the type, not the parameter.
    run({k_key_return}, true);
    run({k_key_return}, true);
    run({}, true);
    ASSERT_EQ(g_sector_count, 2);
    const map_sector& copy = g_sectors[1];
    EXPECT_EQ(copy.count, 4);
    EXPECT_EQ(copy.closed, 1u);
    EXPECT_EQ(copy.type, 5);
    EXPECT_EQ(copy.x[1], 164.0f);
    EXPECT_EQ(copy.y[2], 164.0f);
    EXPECT_EQ(copy.parameter, 0);

    // Without Shift the held sector follows the marker's motion.
    g_marker_dx = 10;
    g_marker_dy = -5;
    run({}, true);
    g_marker_dx = g_marker_dy = 0;
    EXPECT_EQ(g_sectors[0].x[0], 10.0f);
    EXPECT_EQ(g_sectors[0].y[2], 95.0f);
    EXPECT_EQ(copy.x[0], 64.0f);

    // ] turns about the held point 1 (110, -5), one step every second tick.
    const float x0 = g_sectors[0].x[0], y0 = g_sectors[0].y[0];
    g_ticks = 500;
    run({k_key_rbracket}, true);
    run({k_key_rbracket}, true);  // same tick: no step
    g_ticks = 501;
    run({k_key_rbracket}, true);  // not past the due tick yet
    g_ticks = 502;
    run({k_key_rbracket, k_key_lbracket}, true);  // one step in a frame
    const float a = 0.2f, dx = x0 - 110.0f, dy = y0 + 5.0f;
    EXPECT_NEAR(g_sectors[0].x[0], 110.0f + std::cos(a) * dx - std::sin(a) * dy, 1e-3);
    EXPECT_NEAR(g_sectors[0].y[0], -5.0f + std::sin(a) * dx + std::cos(a) * dy, 1e-3);
    EXPECT_NEAR(g_sectors[0].x[1], 110.0f, 1e-4);

    // Shift snaps the held points to the marker.
    mouse(400.0f, 300.0f);
    run({k_key_lshift}, true);
    EXPECT_EQ(g_sectors[0].x[1], 400.0f);
    EXPECT_EQ(g_sectors[0].y[1], 300.0f);
    EXPECT_NE(g_sectors[0].x[0], 400.0f);

    g_map_dirty = 0;
    run({k_key_delete}, true);
    EXPECT_EQ(g_sectors[0].active, 0);
    EXPECT_EQ(g_sectors[0].count, 0);
    EXPECT_EQ(g_map_dirty, 1u);
    run();
    EXPECT_EQ(g_selected_sector, -1);
    EXPECT_EQ(g_sectors[1].selected[1], 0u);

    // Picking again skips the deleted sector; a point exactly 4 away is not hit.
    mouse(168.0f, 64.0f);
    run({}, true);
    EXPECT_EQ(g_selected_sector, -1);
}

TEST_F(SectorMode, MovementMapKeysPaintAtTheMarkerAndTheRightButtonTellsSectorZero)
{
    ASSERT_TRUE(create_movemap(&g_movement_map, 10, 10, 0, 0));
    g_map_dirty = 0;
    mouse(40.0f, 40.0f);  // cell (1, 1)
    run({k_key_a});
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 40, 40), 1);
    EXPECT_EQ(g_map_dirty, 1u);
    g_map_dirty = 0;
    run({k_key_a});
    EXPECT_EQ(g_map_dirty, 0u);  // nothing changed
    run({k_key_lcontrol, k_key_z});
    run({k_key_lcontrol, k_key_s});
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 40, 40), 1);
    run({k_key_z});
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 40, 40), 0);
    run({k_key_s});
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 40, 40), 2);

    // A wall across column 3, then a fill left of it.
    for (int32_t row = 0; row < 10; ++row) {
        mouse(100.0f, float(row * 32));
        run({k_key_a});
    }
    mouse(10.0f, 300.0f);
    run({k_key_d});
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 0, 0), 1);
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 40, 40), 2);  // blocked cells are not filled
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 200, 200), 0);
    mouse(200.0f, 200.0f);
    run({k_key_f});
    EXPECT_EQ(movemap_cell_value(&g_movement_map, 300, 300), 2);

    begin_sector(&g_sectors[0], 0, 0.0f, 0.0f);
    for (auto [x, y] : {std::pair{100.0f, 0.0f}, std::pair{0.0f, 100.0f}, std::pair{0.0f, 0.0f}})
        add_sector_point(&g_sectors[0], x, y);
    g_sector_count = 1;
    mouse(20.0f, 20.0f);
    run({}, false, true);
    EXPECT_EQ(std::string(g_mode_info_text), "\nv sektore 0");
    mouse(90.0f, 90.0f);
    run({}, false, true);
    EXPECT_EQ(std::string(g_mode_info_text), "\nnie v sektore 0");
}
