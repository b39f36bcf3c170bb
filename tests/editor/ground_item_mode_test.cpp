// Ground-item and monster-point modes: drops on the 24-pixel grid once per press, removal of
// every item within 16 pixels, the item choice within the table and its preview, and picking,
// dragging and adding monster points, with the guards and the dirty flag.
#include "editor/view_mode_fixture.h"

#include "items/items.h"
#include "support/item_table_guard.h"
#include "world/object_protos.h"

#include <memory>
#include <string>

namespace {

constexpr int32_t k_model_slot = k_proto_first_template;

class GroundItemMode : public view_mode_test {
protected:
    void SetUp() override
    {
        view_mode_test::SetUp();
        items_ = std::make_unique<item_table_guard>();
        kept_.keep(g_object_protos[k_model_slot]);
        object_proto& model = g_object_protos[k_model_slot];
        reset_object_proto(&model);
        model.kind = k_proto_sprite;
        model.frame_counts[0] = 1;
        g_item_proto_count = 0;
        for (int32_t id = 0; id < 10; ++id)
            make_item(id, "vec", "Thing", k_item_normal).ground_model = uint16_t(k_model_slot);
        g_item_protos[3].ground_model = k_item_no_ground_model;
        g_movement_map.valid = 1;  // without cells: every cell is free
        g_map_dirty = 0;
    }
    void TearDown() override
    {
        view_mode_test::TearDown();
        items_.reset();
    }
    static void run(std::initializer_list<uint8_t> keys = {}, bool left = false, bool right = false)
    {
        frame(run_ground_item_mode, keys, left, right);
    }
    static int32_t used_items()
    {
        int32_t n = 0;
        for (int32_t i = 0; i < g_ground_item_count; ++i)
            n += g_ground_items[i].state != k_ground_item_free ? 1 : 0;
        return n;
    }

private:
    std::unique_ptr<item_table_guard> items_;
};

class MonsterPointMode : public view_mode_test {
protected:
    static void run(std::initializer_list<uint8_t> keys = {}, bool left = false)
    {
        frame(run_monster_point_mode, keys, left);
    }
};

} // namespace

TEST_F(GroundItemMode, ClicksDropOneItemPerPressOnTheCellTruncatedTowardZero)
{
    std::snprintf(g_mode_info_text, sizeof g_mode_info_text, "\nprevious");
    mouse(50.0f, 70.0f);
    run({}, true);
    run({k_key_return, k_key_space}, true);  // held: no more drops
    run({k_key_space});
    run();
    ASSERT_EQ(g_ground_item_count, 1);
    EXPECT_EQ(g_ground_items[0].x, 48);
    EXPECT_EQ(g_ground_items[0].y, 48);
    EXPECT_EQ(g_ground_items[0].item, 0);
    EXPECT_EQ(g_ground_items[0].amount, 1);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(std::string(g_mode_info_text), "\nprevious");

    mouse(-30.0f, 10.0f);
    run({k_key_return});
    run();
    ASSERT_EQ(g_ground_item_count, 2);
    EXPECT_EQ(g_ground_items[1].x, -24);
    EXPECT_EQ(g_ground_items[1].y, 0);

    // An empty item table drops nothing.
    g_item_proto_count = 0;
    run({k_key_space});
    run();
    EXPECT_EQ(g_ground_item_count, 2);
}

TEST_F(GroundItemMode, TheRightButtonRemovesEveryItemWithinSixteenPixelsWithItsObject)
{
    for (auto [x, y] : {std::pair{100, 100}, std::pair{120, 100}, std::pair{126, 100}}) {
        ASSERT_TRUE(drop_ground_item(0, 1, 0, 0, false, 255, k_ground_item_no_element));
        ground_item& g = g_ground_items[g_ground_item_count - 1];
        g.x = int16_t(x);
        g.y = int16_t(y);
        place_ground_item(&g, g_ground_item_count - 1, true);
        ASSERT_EQ(g.state, k_ground_item_lying);
    }
    const uint16_t first_object = g_ground_items[0].object;
    // A record whose object index lies outside the array is freed without touching objects.
    ASSERT_TRUE(drop_ground_item(0, 1, 0, 0, false, 255, k_ground_item_no_element));
    g_ground_items[3].state = k_ground_item_lying;
    g_ground_items[3].object = 60000;
    g_ground_items[3].x = 105;
    g_ground_items[3].y = 95;

    mouse(110.0f, 100.0f);
    run({}, false, true);
    EXPECT_EQ(g_ground_items[0].state, k_ground_item_free);
    EXPECT_EQ(g_ground_items[1].state, k_ground_item_free);
    EXPECT_EQ(g_ground_items[2].state, k_ground_item_lying);  // exactly 16 away
    EXPECT_EQ(g_ground_items[3].state, k_ground_item_free);
    EXPECT_EQ(g_objects[first_object].state, 0);
    EXPECT_EQ(g_map_dirty, 1u);
}

TEST_F(GroundItemMode, TheChoiceStaysWithinTheTableAndThePreviewShowsItsGroundModel)
{
    g_editor.ground_item_choice = 9;
    g_brush_preview.x = -50.0f;
    press(run_ground_item_mode, k_key_next);
    EXPECT_EQ(g_editor.ground_item_choice, 9);
    EXPECT_EQ(g_brush_preview.x, 300.0f);  // rebuilt all the same
    EXPECT_EQ(g_brush_preview.proto, k_model_slot);
    EXPECT_EQ(g_brush_preview.anim_mode, 10);
    g_wheel_down = 1;
    g_brush_preview.x = -50.0f;
    run();
    EXPECT_EQ(g_brush_preview.x, -50.0f);  // the wheel rebuilds only on a change
    g_wheel_down = 0;
    g_wheel_up = 1;
    for (int i = 0; i < 5; ++i)
        run();
    g_wheel_up = 0;
    EXPECT_EQ(g_editor.ground_item_choice, 4);
    press(run_ground_item_mode, k_key_prior);
    EXPECT_EQ(g_editor.ground_item_choice, 3);
    EXPECT_EQ(g_brush_preview.state, 0);  // item 3 has no ground model: no preview
    g_editor.ground_item_choice = 0;
    press(run_ground_item_mode, k_key_prior);
    EXPECT_EQ(g_editor.ground_item_choice, 0);

    g_item_proto_count = 0;
    press(run_ground_item_mode, k_key_next);
    EXPECT_EQ(g_editor.ground_item_choice, 0);
    EXPECT_EQ(g_brush_preview.state, 0);
}

TEST_F(MonsterPointMode, PointsArePickedStrictlyDraggedAndAddedUntilTheTableIsFull)
{
    ASSERT_TRUE(add_monster_point(&g_monster_points, 100.0f, 100.0f));
    ASSERT_TRUE(add_monster_point(&g_monster_points, 105.0f, 100.0f));
    g_map_dirty = 0;
    mouse(108.0f, 100.0f);  // exactly 8 from the first
    run({}, true);
    EXPECT_EQ(g_selected_monster_point, 1);
    EXPECT_EQ(std::string(g_mode_info_text), "\nmonster point: 1");
    EXPECT_EQ(g_monster_points.points[1].x, 108.0f);
    mouse(300.0f, 250.0f);
    run({}, true);
    EXPECT_EQ(g_monster_points.points[1].x, 300.0f);
    EXPECT_EQ(g_monster_points.points[1].y, 250.0f);
    EXPECT_EQ(g_monster_points.points[0].x, 100.0f);
    EXPECT_EQ(g_map_dirty, 1u);
    run();
    EXPECT_EQ(g_selected_monster_point, -1);
    EXPECT_EQ(g_mode_info_text[0], '\0');

    mouse(40.0f, 50.0f);
    run({k_key_return});
    run({k_key_return, k_key_space});
    run();
    ASSERT_EQ(g_monster_points.count, 3);
    EXPECT_EQ(g_monster_points.points[2].x, 40.0f);
    EXPECT_EQ(g_monster_points.points[2].slots[1], -1);

    g_monster_points.count = k_monster_point_slots;
    g_map_dirty = 0;
    press(run_monster_point_mode, k_key_space);
    EXPECT_EQ(g_monster_points.count, k_monster_point_slots);
    EXPECT_EQ(g_map_dirty, 0u);
    EXPECT_NE(console_line().find("plna"), std::string::npos);
}
