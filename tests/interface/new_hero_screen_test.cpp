#include "tests/interface/log_panels_fixture.h"

#include "characters/char_fixture.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/models.h"
#include "engine/ui_texts.h"
#include "interface/new_hero_screen.h"
#include "items/item_tooltips.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "support/item_table_guard.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr float k_x0 = 128.0f, k_y0 = 96.0f;  // the page's origin on the 1024 x 768 screen

class new_hero_screen_test : public log_panels_test {
protected:
    void SetUp() override
    {
        log_panels_test::SetUp();
        saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_player_char), saved_.keep(g_ui_text);
        saved_.keep(g_console_last_char), saved_.keep(g_console_shown), saved_.keep(g_name_repeat_tick);
        saved_.keep(g_start_attunements), saved_.keep(g_message_window), saved_.keep(g_message_shown);
        saved_.keep(g_camera_x), saved_.keep(g_camera_y), saved_.keep(g_zoom), saved_.keep(g_language);
        std::strcpy(g_language, "eng");
        g_camera_x = g_camera_y = 0.0f, g_zoom = 1.0f;
        g_char_count = 0, g_player_char = 0;
        hero_ = &make_char(0, "hero", k_kind_player);
        std::strcpy(hero_->display_name, "Ab_");
        hero_->head_variant = hero_->body_variant = 1;
        g_console_last_char = 0, g_console_shown = 0, g_name_repeat_tick = 0;
        g_ticks = 100;
        for (int n = 0; n < k_ui_text_count; ++n)
            std::snprintf(g_ui_text[n], sizeof g_ui_text[n], "t%d", n);
        game_interface& gi = g_interface;
        gi.overlay_screen = 5;
        gi.overlay_click_latch = gi.right_click_latch = 0;
        gi.start_attunement_count = 0;
        std::memset(gi.skill_added, 0, sizeof gi.skill_added);
        std::fill(std::begin(gi.new_hero_tabs), std::end(gi.new_hero_tabs), k_no_texture_slot);
        std::fill(std::begin(gi.save_load_frame), std::end(gi.save_load_frame), k_no_texture_slot);
        std::fill(std::begin(gi.save_load_buttons), std::end(gi.save_load_buttons), k_no_texture_slot);
        gi.text_background = k_no_texture_slot;
    }
    void TearDown() override
    {
        release_char_models();
        for (model& m : g_char_models)
            free_model(&m);
        g_mouse_left = g_mouse_right = 0;
        log_panels_test::TearDown();
    }
    void frame()
    {
        device_.clear_recording();
        run_new_hero_screen();
    }
    // A key held for one frame at the tick.
    void key_at(uint8_t key, uint32_t tick)
    {
        g_ticks = tick;
        std::memset(g_key_state, 0, sizeof g_key_state);
        if (key)
            g_key_state[key] = k_key_down_bit;
        frame();
        std::memset(g_key_state, 0, sizeof g_key_state);
    }
    // A press at a page point held over three frames, then released there.
    void click(float x, float y, bool right = false)
    {
        g_mouse_screen_x = k_x0 + x, g_mouse_screen_y = k_y0 + y;
        (right ? g_mouse_right : g_mouse_left) = 1;
        frame();
        frame();
        frame();
        (right ? g_mouse_right : g_mouse_left) = 0;
        frame();
    }
    // The string drawn at a page point, or none.
    const drawn_string* text_at(float x, float y)
    {
        static drawn_string found;
        for (const drawn_string& s : strings())
            if (s.x == int(k_x0 + x) && s.y == int(k_y0 + y))
                return &(found = s);
        return nullptr;
    }
    char_record* hero_ = nullptr;
    item_table_guard items_;
};

TEST_F(new_hero_screen_test, TheNameTakesKeysOncePerPressRepeatsHeldKeysAndHoldsTwentyFourCharacters)
{
    std::strcpy(hero_->display_name, "Ab");  // without its cursor: one is added before typing
    key_at(0, 100);
    EXPECT_STREQ(hero_->display_name, "Ab_");
    EXPECT_EQ(g_interface.name_cursor, 2);

    // Held: once at once, again once 30 ticks have passed, then each time 2 more have.
    const std::pair<uint32_t, const char*> held[] = {{100, "Abc_"},  {110, "Abc_"},  {130, "Abc_"},   {131, "Abcc_"},
                                                     {133, "Abcc_"}, {134, "Abccc_"}, {136, "Abccc_"}, {137, "Abcccc_"}};
    for (auto [tick, typed] : held) {
        key_at(k_key_c, tick);
        EXPECT_STREQ(hero_->display_name, typed) << tick;
    }
    key_at(0, 138);  // released and pressed again: at once
    key_at(k_key_c, 139);
    EXPECT_STREQ(hero_->display_name, "Abccccc_");
    EXPECT_EQ(g_interface.name_cursor, 7);
    const drawn_string* name = text_at(171.0f, 70.0f);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->bytes, 8u);
    EXPECT_EQ(name->colour, 0x32FF32u);

    // 24 characters fill it; another key does nothing, backspace still works.
    std::strcpy(hero_->display_name, (std::string(23, 'n') + "_").c_str());
    key_at(k_key_x, 200);
    key_at(0, 201);
    key_at(k_key_c, 202);
    EXPECT_EQ(std::string(hero_->display_name), std::string(23, 'n') + "x_");
    key_at(0, 203);
    key_at(k_key_back, 204);
    EXPECT_EQ(std::string(hero_->display_name), std::string(23, 'n') + "_");

    // Backspace on the bare cursor does nothing; nothing is typed while the console is shown.
    std::strcpy(hero_->display_name, "_");
    key_at(k_key_back, 300);
    EXPECT_STREQ(hero_->display_name, "_");
    EXPECT_EQ(g_interface.name_cursor, 0);
    g_console_shown = 1;
    key_at(k_key_x, 400);
    EXPECT_STREQ(hero_->display_name, "_");
}

TEST_F(new_hero_screen_test, DifficultyWrapsSkillsTradePointsOncePerPressAndCancelGoesBackToTheMenu)
{
    g_interface.save_load_frame[0] = texture("corner");
    hero_->difficulty = 9;  // from a damaged record: brought into range before its label is chosen
    frame();
    EXPECT_EQ(hero_->difficulty, 4);
    click(200.0f, 120.0f);  // held over three frames: one step
    EXPECT_EQ(hero_->difficulty, 0);
    click(200.0f, 120.0f, true);
    EXPECT_EQ(hero_->difficulty, 4);
    click(200.0f, 120.0f, true);
    EXPECT_EQ(hero_->difficulty, 3);
    g_mouse_screen_x = k_x0 + 200.0f, g_mouse_screen_y = k_y0 + 120.0f;
    frame();
    ASSERT_NE(text_at(171.0f, 110.0f), nullptr);
    EXPECT_EQ(text_at(171.0f, 110.0f)->colour, 0x3232FFu);  // red while hovered
    EXPECT_EQ(text_at(171.0f, 110.0f)->bytes, 4u);           // "t170"
    // The taller page's bottom corners.
    EXPECT_TRUE(places(centres_of(device_, g_interface.save_load_frame[0]), {{144.0f, 656.0f}, {880.0f, 656.0f}}));

    hero_->melee_base = 5, hero_->speed_base = 17;
    hero_->skill_points = 150;
    click(313.0f, 160.0f);  // melee plus
    EXPECT_EQ(hero_->melee_base, 6);
    EXPECT_EQ(hero_->skill_points, 50);
    click(313.0f, 160.0f);  // too few points
    EXPECT_EQ(hero_->melee_base, 6);
    hero_->skill_points = 500;
    click(313.0f, 253.0f);  // speed is at the top grade
    EXPECT_EQ(hero_->speed_base, 17);
    click(345.5f, 160.0f);  // melee minus
    click(345.5f, 160.0f);  // nothing more was added here
    click(345.5f, 191.0f);  // nor to ranged
    EXPECT_EQ(hero_->melee_base, 5);
    EXPECT_EQ(hero_->skill_points, 600);
    EXPECT_EQ(g_interface.skill_added[0], 0);
    ASSERT_NE(text_at(251.0f, 274.0f), nullptr);
    EXPECT_EQ(text_at(251.0f, 274.0f)->bytes, 3u);  // "600"
    EXPECT_EQ(text_at(251.0f, 243.0f)->bytes, 1u);  // speed's grade "S"

    click(600.0f, 530.0f);
    EXPECT_EQ(g_interface.overlay_screen, 1);
}

TEST_F(new_hero_screen_test, TwoAttunementsAreChosenInOrderAThirdIsRefusedAndMissingOnesHaveNoRow)
{
    g_attunement_thresholds[0] = 50;
    const int16_t ids[] = {204, 208, 220, 216, 178};
    for (int16_t id : ids)
        make_item(id, ("a" + std::to_string(id)).c_str(), ("Att" + std::to_string(id)).c_str(), k_item_attunement);
    make_item(151, "gone", "Gone", k_item_attunement).deleted = 1;
    g_item_protos[204].damage = 30;
    g_item_protos[220].damage = 7;
    ASSERT_TRUE(make_folder("data/attunements/eng"));
    write_text("data/attunements/eng/a216.txt", "A long description ^l of the fourth ^l candidate.");

    frame();
    for (int r = 0; r < 5; ++r)
        EXPECT_NE(text_at(55.0f, float(350 + 31 * r)), nullptr) << r;
    EXPECT_EQ(text_at(55.0f, 505.0f), nullptr);  // the deleted sixth candidate
    EXPECT_EQ(text_at(40.0f, 320.0f)->bytes, 4u);  // "t146"

    click(100.0f, 360.0f);
    EXPECT_EQ(g_item_protos[204].damage, 50);
    click(100.0f, 391.0f);
    click(100.0f, 422.0f);  // a third: refused
    EXPECT_EQ(g_interface.start_attunement_count, 2);
    EXPECT_EQ(g_start_attunements[0], 204);
    EXPECT_EQ(g_start_attunements[1], 208);
    EXPECT_EQ(g_item_protos[220].damage, 7);
    EXPECT_EQ(text_at(55.0f, 381.0f)->colour, 0x6464C8u);

    // Taking the first back clears its points and moves the second up.
    click(100.0f, 360.0f);
    EXPECT_EQ(g_interface.start_attunement_count, 1);
    EXPECT_EQ(g_start_attunements[0], 208);
    EXPECT_EQ(g_item_protos[204].damage, 0);
    EXPECT_EQ(text_at(55.0f, 350.0f)->colour, 0xFFFFFFu);  // hovered, no longer chosen

    // The hovered row's tooltip is composed again at the height its layout reached.
    g_mouse_screen_x = k_x0 + 100.0f, g_mouse_screen_y = k_y0 + 453.0f;
    frame();
    char markup[4096];
    draw_attunement_tooltip(216, markup, sizeof markup, 320.0f);
    text_window guess;
    reset_text_window(&guess);
    parse_text_window(&guess, markup);
    const float height = run_text_window(&guess) + 32.0f - guess.y1;
    reset_text_window(&guess);
    EXPECT_NE(height, 320.0f);
    ASSERT_GE(g_message_window.word_count, 5);
    EXPECT_EQ(std::string(g_message_window.words[4]), std::to_string(height));
    EXPECT_EQ(g_message_shown, 1u);
}

TEST_F(new_hero_screen_test, LookArrowsKeepHeadOneToTwelveAndBodyOneToNineAndRebuildTheModel)
{
    write_clip("hero", 1, "stand1", {"head", "head12", "body", "body9"}, 2);
    load_char_anims(hero_, 1, true);
    hero_->head_variant = 11, hero_->body_variant = 8;
    auto head_path = [&] {
        const int16_t part = g_move_protos[hero_->clip_stand[0]].part_model[0];
        return std::string(g_chardata[part].path);
    };
    click(720.0f, 110.0f);
    EXPECT_EQ(hero_->head_variant, 12);
    EXPECT_EQ(head_path(), "3d/hero/1/stand1/head12.3d");
    EXPECT_EQ(hero_->part_model[0], g_move_protos[hero_->clip_stand[0]].part_model[0]);  // stand runs
    EXPECT_EQ(hero_->stand_variant, 0);
    click(720.0f, 110.0f);
    EXPECT_EQ(hero_->head_variant, 12);
    click(720.0f, 460.0f);
    click(720.0f, 460.0f);
    EXPECT_EQ(hero_->body_variant, 9);

    hero_->head_variant = hero_->body_variant = 2;
    click(680.0f, 110.0f);
    click(680.0f, 110.0f);
    click(680.0f, 460.0f);
    click(680.0f, 460.0f);
    EXPECT_EQ(hero_->head_variant, 1);
    EXPECT_EQ(hero_->body_variant, 1);
    EXPECT_EQ(head_path(), "3d/hero/1/stand1/head.3d");
}

} // namespace
