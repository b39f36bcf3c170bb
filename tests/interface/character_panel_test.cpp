#include "characters/char_fixture.h"
#include "characters/char_table.h"
#include "characters/rule_tables.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/draw_test_support.h"
#include "engine/ui_texts.h"
#include "interface/character_panel.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "platform/recording_device.h"
#include "tests/platform/device_test_support.h"
#include "tests/script/drawn_texts.h"
#include "tests/script/fixed_advance_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class character_panel_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        if (!font_.make_drawable())
            GTEST_SKIP() << "no font face to draw with";
        saved_.keep(g_interface), saved_.keep(g_mouse_screen_x), saved_.keep(g_mouse_screen_y);
        saved_.keep(g_hud_click_latch), saved_.keep(g_interface_links), saved_.keep(g_ui_text);
        saved_.keep(g_dialogue_running), saved_.keep(attack_speed_table);
        device_ = std::make_unique<recording_device>(1024, 768);
        device_guard_ = std::make_unique<use_device>(device_.get());
        use_fixed_camera(*device_);
        g_interface_links = interface_links{};
        g_hud_click_latch = 0;
        g_dialogue_running = 0;
        g_interface.shown = 1;
        g_interface.side_panel_open = 0;
        g_interface.character_panel_open = 1;
        hero_ = &make_char(0, "hero", k_kind_player);
        std::strcpy(hero_->display_name, "Rovan");
        hero_->level = 1;
        hero_->melee_base = hero_->melee = 5;
        hero_->ranged_base = hero_->ranged = 16;
        hero_->magic_base = 9, hero_->magic = 11;  // raised by an item
        hero_->speed_base = hero_->speed = 17;
        mouse_at(900.0f, 600.0f);
    }
    void TearDown() override
    {
        g_mouse_left = 0;
        device_guard_.reset();
        device_.reset();
        saved_.restore();
        char_test::TearDown();
    }

    static void mouse_at(float x, float y)
    {
        g_mouse_screen_x = x;
        g_mouse_screen_y = y;
    }
    // One frame of the panel alone, its draws only.
    void frame(bool left_down)
    {
        device_->clear_recording();
        g_mouse_left = left_down ? 1 : 0;
        update_character_panel();
        g_mouse_left = 0;
    }
    // The texts drawn with their top-left corner at (x, y).
    std::vector<drawn_text> texts_at(float x, float y) const
    {
        std::vector<drawn_text> all = drawn_texts(*device_), out;
        std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                     [&](const drawn_text& t) { return std::fabs(t.x - x) <= 1.0f && std::fabs(t.y - y) <= 1.0f; });
        return out;
    }
    // The "+" buttons drawn this frame by their row's y.
    std::vector<float> plus_rows(float px) const
    {
        std::vector<float> rows;
        for (const drawn_text& t : drawn_texts(*device_))
            if (t.bytes == 1 && std::fabs(t.x - (px + 175.0f)) <= 1.0f)
                rows.push_back(t.y);
        return rows;
    }

    fixed_advance_font font_{10, g_font_small};
    char_record* hero_ = nullptr;
    std::unique_ptr<recording_device> device_;
    std::unique_ptr<use_device> device_guard_;
    saved_globals saved_;
};

bool colour_is(const drawn_text& t, float r, float g, float b)
{
    return std::fabs(t.red - r) < 0.01f && std::fabs(t.green - g) < 0.01f && std::fabs(t.blue - b) < 0.01f;
}

} // namespace

TEST_F(character_panel_test, EachPressSpendsAHundredPointsUntilTooFewRemainAndTheTopGradeTakesNoPlus)
{
    hero_->skill_points = 99;
    frame(false);
    EXPECT_TRUE(plus_rows(0.0f).empty());

    hero_->skill_points = 250;
    mouse_at(177.0f, 107.0f);  // over the melee row's "+"
    frame(false);
    // Melee, ranged (16) and magic; speed at 17 ("S") has none.
    EXPECT_EQ(plus_rows(0.0f), (std::vector<float>{100.0f, 115.0f, 130.0f}));
    const std::vector<drawn_text> hovered = texts_at(175.0f, 100.0f);
    ASSERT_EQ(hovered.size(), 1u);
    EXPECT_TRUE(colour_is(hovered[0], 1.0f, 50.0f / 255, 50.0f / 255));
    EXPECT_EQ(g_interface.mouse_over_ui, 1u);
    // The magic grade differs from its base and is drawn pale red; the melee grade green.
    ASSERT_EQ(texts_at(155.0f, 130.0f).size(), 1u);
    EXPECT_TRUE(colour_is(texts_at(155.0f, 130.0f)[0], 1.0f, 100.0f / 255, 100.0f / 255));
    EXPECT_TRUE(colour_is(texts_at(155.0f, 100.0f)[0], 50.0f / 255, 1.0f, 50.0f / 255));

    // Held over three frames: one step. Released over the "+" and pressed again: a second step.
    frame(true);
    frame(true);
    frame(true);
    EXPECT_EQ(hero_->melee_base, 6);
    EXPECT_EQ(hero_->melee, 6) << "statistics recomputed";
    EXPECT_EQ(hero_->skill_points, 150);
    frame(false);
    frame(true);
    EXPECT_EQ(hero_->melee_base, 7);
    EXPECT_EQ(hero_->skill_points, 50);
    frame(false);
    frame(true);
    EXPECT_EQ(hero_->melee_base, 7);
    EXPECT_EQ(hero_->skill_points, 50);
    EXPECT_TRUE(plus_rows(0.0f).empty());
    ASSERT_EQ(texts_at(155.0f, 170.0f).size(), 1u);
    EXPECT_EQ(texts_at(155.0f, 170.0f)[0].bytes, 2u);  // "50"

}

TEST_F(character_panel_test, GradesClampToTheTableAndANonPositiveAttackSpeedShowsNoPercent)
{
    EXPECT_STREQ(skill_grade(-5), "00");
    EXPECT_STREQ(skill_grade(0), "00");
    EXPECT_STREQ(skill_grade(9), "C");
    EXPECT_STREQ(skill_grade(17), "S");
    EXPECT_STREQ(skill_grade(255), "S");

    // Grades of stored values beyond the table: drawn, one letter each.
    hero_->melee_base = hero_->melee = 200;
    std::strcpy(g_ui_text[28], "pts");
    std::strcpy(g_ui_text[30], "gold coins");
    for (float& time : attack_speed_table.base)
        time = 0.0f;
    frame(false);
    ASSERT_EQ(texts_at(155.0f, 100.0f).size(), 1u);
    EXPECT_EQ(texts_at(155.0f, 100.0f)[0].bytes, 1u);  // "S"
    ASSERT_EQ(texts_at(155.0f, 270.0f).size(), 1u);
    EXPECT_EQ(texts_at(155.0f, 270.0f)[0].bytes, std::strlen("0% (0.00)"));
    // No armour: the armour class and its word, no bracketed part ("N pts"); the weight counts in
    // the same unit, never in the gold word.
    ASSERT_EQ(texts_at(155.0f, 345.0f).size(), 1u);
    EXPECT_LE(texts_at(155.0f, 345.0f)[0].bytes, std::strlen("-99 pts"));
    EXPECT_EQ(texts_at(155.0f, 360.0f)[0].bytes, std::strlen("0 pts"));
}

TEST_F(character_panel_test, BesideTheSidePanelItsCloseBoxWaitsCancelsTheDragAndAPassInADialogueSkipsIt)
{
    g_interface.side_panel_open = 1;
    g_interface.container_open = 1;
    hero_->skill_points = 100;
    frame(false);
    EXPECT_EQ(plus_rows(315.0f).size(), 3u);
    EXPECT_EQ(texts_at(315.0f + 155.0f, 170.0f).size(), 1u);

    static int waits;
    waits = 0;
    g_interface_links.wait_until_released = [](bool (*held)()) {
        ++waits;
        EXPECT_TRUE(held());
        g_mouse_left = 0;
        return !held();
    };
    mouse_at(315.0f + 291.0f, 65.0f);
    frame(true);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(g_interface.character_panel_open, 0u);
    EXPECT_EQ(g_interface.container_open, 0u) << "the drag was cancelled";

    // Over the box but not pressed, or just outside it: nothing closes.
    g_interface.character_panel_open = 1;
    mouse_at(315.0f + 290.0f, 65.0f);
    frame(true);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(g_interface.character_panel_open, 1u);

    // While a dialogue runs the interface pass draws the HUD but not the panel.
    g_interface.side_panel_open = 0;
    g_dialogue_running = 1;
    device_->clear_recording();
    update_game_interface();
    EXPECT_TRUE(texts_at(155.0f, 170.0f).empty());
    g_dialogue_running = 0;
    device_->clear_recording();
    update_game_interface();
    EXPECT_EQ(texts_at(155.0f, 170.0f).size(), 1u);
}
