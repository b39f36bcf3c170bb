#include "characters/char_fixture.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "script/text_window.h"
#include "engine/fonts.h"
#include "items/ground_items.h"
#include "platform/key_codes.h"
#include "support/item_table_guard.h"
#include "support/section_files.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int32_t k_model_slot = k_proto_first_template;

size_t count_of(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class ground_item_passes_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        items_ = std::make_unique<item_table_guard>();
        saved_.keep(g_ground_items), saved_.keep(g_ground_item_count), saved_.keep(g_work_mode);
        saved_.keep(g_key_state), saved_.keep(g_mouse_x), saved_.keep(g_mouse_y), saved_.keep(g_mouse_left);
        saved_.keep(g_mouse_screen_x), saved_.keep(g_mouse_screen_y), saved_.keep(g_text_viewer_open);
        saved_.keep(g_scene_header), saved_.keep(g_object_protos[k_model_slot]), saved_.keep(g_message_log);
        saved_.keep(g_movement_map);
        g_movement_map = movement_map{};
        g_movement_map.valid = 1;  // without cells: every cell is free
        saved_.keep(g_message_window);
        g_ground_item_count = 0;
        g_work_mode = k_work_play;
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_mouse_x = g_mouse_y = -1000.0f;
        g_mouse_left = 0;
        g_text_viewer_open = 0;
        g_scene_header.scale = 1.0f;
        object_proto& model = g_object_protos[k_model_slot];
        reset_object_proto(&model);
        model.kind = k_proto_sprite;
        model.frame_counts[0] = 3;
        auto with_model = [](item_proto& p) -> item_proto& {
            p.ground_model = uint16_t(k_model_slot);
            return p;
        };
        with_model(make_item(0, "mec", "Sword", k_item_medium_weapon)).damage = 10;
        with_model(make_item(1, "zlato", "Gold", k_item_gold));
        with_model(make_item(2, "pasca", "Trap", k_item_trap)).efect_count = 1;
        g_item_lists[2].efects[0].code = 45;
        g_item_lists[2].efects[0].args[0] = 900;  // no such spell: nothing is cast
        with_model(make_item(3, "esencia", "Essence", k_item_essence));
        make_item(4, "nic", "Unseen", k_item_normal).ground_model = k_item_no_ground_model;
        ASSERT_EQ(add_object(0.0f, 0.0f, -1, 1.0f, 1.0f, 0, 0), 0);  // characters' objects start at 1
        player_ = &make_char(0, "hero", k_kind_player);
        put_in_world(*player_, 500.0f, 500.0f);
    }
    void TearDown() override
    {
        free_movemap(&g_movement_map);
        saved_.restore();
        items_.reset();
        char_test::TearDown();
    }
    static void put_in_world(char_record& c, float x, float y)
    {
        c.object = add_object(x, y, -2 - c.slot, 1.0f, 1.0f, 0, 0);
        ASSERT_GE(c.object, 1);
    }
    static ground_item& lying(int32_t index, uint16_t item, int16_t x, int16_t y)
    {
        ground_item& g = g_ground_items[index];
        g = ground_item{};
        g.owner = 255;
        init_ground_item(&g, item, 1, x, y, k_ground_item_no_element);
        g_ground_item_count = std::max<int16_t>(g_ground_item_count, int16_t(index + 1));
        place_ground_item(&g, index, true);
        return g;
    }

    char_record* player_ = nullptr;
    std::unique_ptr<item_table_guard> items_;
    saved_globals saved_;
};

} // namespace

TEST_F(ground_item_passes_test, DropsSearchRingsUpFirstClockwiseWithinTheMapAndRefuseWhenFull)
{
    ASSERT_TRUE(create_movemap(&g_movement_map, 20, 20, 0, 0));
    ASSERT_TRUE(drop_ground_item(0, 1, 10, 10, false, 255, 0xFFFF));
    ASSERT_TRUE(drop_ground_item(1, 250, 10, 10, false, 255, 0xFFFF));
    ASSERT_TRUE(drop_ground_item(0, 7, 10, 10, false, 255, 0xFFFF));
    EXPECT_EQ(g_ground_items[0].x, 240);
    EXPECT_EQ(g_ground_items[0].y, 240);
    EXPECT_EQ(g_ground_items[1].x, 240);  // up first
    EXPECT_EQ(g_ground_items[1].y, 216);
    EXPECT_EQ(g_ground_items[1].amount, 250);  // gold keeps its amount
    EXPECT_EQ(g_ground_items[2].x, 264);  // then clockwise
    EXPECT_EQ(g_ground_items[2].y, 216);
    EXPECT_EQ(g_ground_items[2].amount, 1);

    // A walled-in cell: the rings end at the map's edge and the start is kept.
    set_movemap_cell(&g_movement_map, 240, 216, 1);
    for (int16_t row = 0; row < 20; ++row)
        for (int16_t column = 0; column < 20; ++column)
            set_movemap_cell(&g_movement_map, column * 32, row * 32, 1);
    ASSERT_TRUE(drop_ground_item(0, 1, 10, 10, false, 255, 0xFFFF));
    EXPECT_EQ(g_ground_items[3].x, 240);
    EXPECT_EQ(g_ground_items[3].y, 240);
    EXPECT_EQ(count_of(log_text(), "no free cell around 240, 240"), 1u);

    EXPECT_FALSE(drop_ground_item(uint16_t(g_item_proto_count), 1, 1, 1, false, 255, 0xFFFF));
    for (int i = 0; i < k_ground_item_max_count; ++i)
        g_ground_items[i].state = k_ground_item_lying;
    g_ground_item_count = k_ground_item_max_count;
    EXPECT_FALSE(drop_ground_item(0, 1, 0, 0, true, 0, 0xFFFF));
    EXPECT_NE(log_text().find("the table is full; Sword is lost"), std::string::npos);
    g_ground_items[500].state = k_ground_item_free;  // a free record below the count is reused
    EXPECT_TRUE(drop_ground_item(0, 1, 0, 0, true, 0, 3));
    EXPECT_EQ(g_ground_items[500].state, k_ground_item_dropped);
    EXPECT_EQ(g_ground_items[500].element, 3);
}

TEST_F(ground_item_passes_test, DropsAtTheWalkingPlayerLieDownOnceTheyStandAndReloadedRecordsArePlacedAgain)
{
    player_->anim_action = 1;
    ASSERT_TRUE(drop_ground_item(0, 1, 0, 0, true, 0, 2));
    ASSERT_TRUE(drop_ground_item(0, 1, 0, 0, true, 0, 0xFFFF));
    ASSERT_TRUE(drop_ground_item(4, 1, 3, 3, false, 255, 0xFFFF));  // no ground model
    g_ground_items[3] = g_ground_items[0];
    g_ground_items[3].item = uint16_t(g_item_proto_count + 5);
    g_ground_item_count = 4;
    update_ground_items(1);
    EXPECT_EQ(g_ground_items[0].state, k_ground_item_dropped);
    EXPECT_EQ(g_ground_items[3].state, k_ground_item_free);  // a bad item id is freed, not placed
    EXPECT_NE(log_text().find("is not in the table; the record is freed"), std::string::npos);

    player_->anim_action = 0;
    update_ground_items(1);
    for (int i : {0, 1}) {
        const ground_item& g = g_ground_items[i];
        ASSERT_EQ(g.state, k_ground_item_lying);
        const world_object* o = ground_item_object(i);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->layer, 20);
        EXPECT_EQ(o->proto, k_model_slot);
        EXPECT_LT(o->frame, 3);
        EXPECT_EQ(o->x, float(g.x));
    }
    EXPECT_EQ(g_ground_items[0].x, 480);  // the player's cell of the grid
    EXPECT_EQ(g_ground_items[0].y, 480);
    EXPECT_EQ(g_ground_items[1].y, 456);  // the next drop falls on the cell above
    EXPECT_EQ(g_ground_items[2].state, k_ground_item_dropped);

    // Written while lying or marked: read back dropped, then placed with a new object.
    g_ground_items[1].state = k_ground_item_taken;
    const uint16_t old_object = g_ground_items[0].object;
    purge_ground_items();
    EXPECT_EQ(g_ground_items[0].state, k_ground_item_dropped);
    EXPECT_EQ(g_objects[old_object].state, 0);
    EXPECT_EQ(g_ground_items[1].state, k_ground_item_taken);  // only lying records are purged
    ASSERT_TRUE(write_section(save_ground_items));
    ASSERT_TRUE(read_section(load_ground_items));
    EXPECT_EQ(g_ground_items[1].state, k_ground_item_dropped);
    update_ground_items(0);
    EXPECT_EQ(g_ground_items[0].state, k_ground_item_lying);
    EXPECT_EQ(g_ground_items[1].state, k_ground_item_lying);
    EXPECT_NE(ground_item_object(0), nullptr);

    // Nothing at all while a text viewer is open.
    g_ground_items[2] = g_ground_items[0];
    g_ground_items[2].state = k_ground_item_dropped;
    g_ground_items[2].item = 0;
    g_text_viewer_open = 1;
    update_ground_items(1);
    EXPECT_EQ(g_ground_items[2].state, k_ground_item_dropped);
}

TEST_F(ground_item_passes_test, TrapsGoOffOnceUnderEachEnemyStrictlyInsideAndNeverUnderOthers)
{
    ground_item& trap = lying(0, 2, 240, 240);
    ASSERT_EQ(trap.state, k_ground_item_lying);
    put_in_world(make_char(1, "vlk", k_kind_normal), 250.0f, 230.0f);
    put_in_world(make_char(2, "vlk", k_kind_sidekick), 240.0f, 240.0f);
    put_in_world(make_char(3, "vlk", k_kind_enemy), 256.0f, 240.0f);  // on the edge: outside
    player_->object = -1;
    put_in_world(*player_, 241.0f, 239.0f);
    update_ground_items(0);
    EXPECT_EQ(trap.state, k_ground_item_lying);

    g_work_mode = k_work_insert;  // traps only go off while playing
    put_in_world(make_char(4, "vlk", k_kind_enemy), 226.0f, 253.0f);
    put_in_world(make_char(5, "vlk", k_kind_enemy), 255.9f, 230.0f);
    put_in_world(make_char(6, "vlk", k_kind_enemy), 224.5f, 240.0f);  // truncated to 224: outside
    update_ground_items(0);
    EXPECT_EQ(trap.state, k_ground_item_lying);

    g_work_mode = k_work_play;
    const world_object* o = ground_item_object(0);
    ASSERT_NE(o, nullptr);
    update_ground_items(0);
    EXPECT_EQ(trap.state, k_ground_item_free);
    EXPECT_EQ(o->state, 0);
    const std::string log = log_text();
    EXPECT_EQ(count_of(log, "the trap went off under character"), 2u);
    EXPECT_NE(log.find("under character 4"), std::string::npos);
    EXPECT_NE(log.find("under character 5"), std::string::npos);
    update_ground_items(0);
    EXPECT_EQ(count_of(log_text(), "the trap went off under character"), 2u);
}

TEST_F(ground_item_passes_test, ClickedItemsAreTakenWithinReachOnceThePlayerStandsAndEssencesGivePoints)
{
    ground_item& sword = lying(0, 0, 600, 600);
    ground_item& essence = lying(1, 3, 504, 480);
    g_mouse_x = 610.0f, g_mouse_y = 590.0f;
    update_ground_items(0);
    EXPECT_EQ(sword.state, k_ground_item_lying);  // hovering alone marks nothing
    EXPECT_GT(g_message_window.word_count, 0);
    g_mouse_left = 1;
    update_ground_items(0);
    EXPECT_EQ(sword.state, k_ground_item_lying);  // marked, but the player is 141 away: back to lying
    g_mouse_left = 0;

    sword.state = k_ground_item_taken;
    player_->anim_action = 1;
    g_objects[player_->object].x = 560.0f, g_objects[player_->object].y = 560.0f;
    update_ground_items(0);
    EXPECT_EQ(sword.state, k_ground_item_taken);  // walking: it waits
    player_->anim_action = 0;
    for (int i = 0; i < 16; ++i) {  // a full backpack: the take is tried again
        player_->inv_item[i] = 0;
        player_->inv_location[i] = uint8_t(i);
    }
    player_->inv_count = 16;
    update_ground_items(0);
    EXPECT_EQ(sword.state, k_ground_item_taken);
    player_->inv_count = 0;
    const uint16_t object = sword.object;
    update_ground_items(0);
    EXPECT_EQ(sword.state, k_ground_item_free);
    EXPECT_EQ(g_objects[object].state, 0);
    ASSERT_EQ(player_->inv_count, 1);
    EXPECT_EQ(player_->inv_item[0], 0);

    copy_bounded(player_->display_name, sizeof player_->display_name, "Dovan");
    essence.state = k_ground_item_taken;
    g_objects[player_->object].x = 500.0f, g_objects[player_->object].y = 500.0f;
    update_ground_items(0);  // 20.4 away
    EXPECT_EQ(essence.state, k_ground_item_free);
    EXPECT_EQ(player_->inv_count, 1);
    EXPECT_NE(log_text().find("Dovan received 5 attunement points"), std::string::npos);
    EXPECT_NE(std::string(g_message_log.lines[g_message_log.count - 1]).find("Dovan"), std::string::npos);
}

TEST_F(ground_item_passes_test, AltLabelsStackUpwardByTwelveAndAClickedLabelMarksItsItem)
{
    font_create(&g_font_small, "", "Georgia", 14);
    struct font_guard {
        ~font_guard() { font_remove(&g_font_small); }
    } fonts;
    if (font_measure_text(&g_font_small, "Sword") <= 0)
        GTEST_SKIP() << "no font installed";
    for (int i = 0; i < 3; ++i)
        lying(i, uint16_t(i == 1 ? 1 : 0), 300, 300);  // one cell, bypassing the search
    g_ground_items[1].amount = 120;
    g_key_state[k_key_lmenu] = k_key_down_bit;
    g_camera_x = 100.0f, g_camera_y = 200.0f;
    g_mouse_left = 1;
    g_mouse_x = 300.0f, g_mouse_y = 300.0f;  // no hover text while Alt is held
    const int32_t w = font_measure_text(&g_font_small, "120 Gold");
    // Rows 76, 64 and 52; the second label (the gold) is centred on x 200.
    g_mouse_screen_x = 200.0f - float(w) / 2.0f + 1.0f;
    g_mouse_screen_y = 65.0f;
    update_ground_items(0);
    draw_ground_item_labels();
    EXPECT_EQ(g_ground_items[0].state, k_ground_item_lying);
    EXPECT_EQ(g_ground_items[1].state, k_ground_item_taken);
    EXPECT_EQ(g_ground_items[2].state, k_ground_item_lying);
    g_ground_items[1].state = k_ground_item_lying;
    g_mouse_screen_y = 53.0f;
    g_mouse_screen_x = 200.0f;
    draw_ground_item_labels();
    EXPECT_EQ(g_ground_items[2].state, k_ground_item_taken);

    g_key_state[k_key_lmenu] = 0;  // no labels without Alt
    g_ground_items[2].state = k_ground_item_lying;
    draw_ground_item_labels();
    EXPECT_EQ(g_ground_items[2].state, k_ground_item_lying);
}
