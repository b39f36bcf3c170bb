// The draw pass of text windows with a font whose every byte is 10 pixels wide and draws one
// pixel: where words and option links are drawn and in which colour, the message log of a running
// dialogue, and the option choice by mouse, number key and Space.
#include "script/text_window_fixture.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "drawn_texts.h"
#include "fixed_advance_font.h"
#include "platform/key_codes.h"
#include "script/script_links.h"
#include "script/text_window_draw.h"
#include "support/saved_globals.h"
#include "world/scene_header.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_waits = 0;

class TextWindowDraw : public text_window_test {
protected:
    void SetUp() override
    {
        text_window_test::SetUp();
        if (!font_.make_drawable())
            GTEST_SKIP() << "no font face to draw with";
        saved_.keep(g_interface);
        saved_.keep(g_mouse_screen_x);
        saved_.keep(g_mouse_screen_y);
        saved_.keep(g_mouse_left);
        saved_.keep(g_key_state);
        saved_.keep(g_press_latches);
        saved_.keep(g_message_log);
        saved_.keep(g_scene_header);
        saved_.keep(g_char_count);
        saved_.keep(g_player_char);
        saved_.keep(g_chars[0]);
        saved_.keep(g_chars[1]);
        for (uint16_t& slot : g_interface.text_frame)
            slot = k_no_texture_slot;
        g_interface.text_background_texture = k_no_texture_slot;
        g_mouse_screen_x = g_mouse_screen_y = -100.0f;
        g_mouse_left = 0;
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_press_latches = {};
        g_message_log.count = 0;
        g_waits = 0;
        // The shell's wait: the button is let go at once.
        g_script_links.wait_until_released = [](bool (*held)()) {
            ++g_waits;
            g_mouse_left = 0;
            return !held();
        };
    }
    void TearDown() override
    {
        saved_.restore();
        text_window_test::TearDown();
    }

    // The window shows the text from (x1, y1) to (x2, y2), past its first pass.
    void load(const std::string& text, float x1, float y1, float x2, float y2)
    {
        parse(text);
        window_->x1 = x1, window_->y1 = y1, window_->x2 = x2, window_->y2 = y2;
        window_->first_pass = 0;
    }

    // One frame of the window: the presses let go end, as at each input poll; the run pass, then
    // the draw pass.
    void frame()
    {
        end_released_presses();
        run_text_window(window_.get());
        draw_text_window(window_.get());
    }

    std::vector<drawn_text> texts() const { return drawn_texts(*device_); }

    std::vector<std::string> log_lines() const
    {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < g_message_log.count; ++i)
            out.emplace_back(g_message_log.lines[i]);
        return out;
    }

    void point_at_link_line(int32_t line)
    {
        g_mouse_screen_x = window_->x1 + 60.0f;
        g_mouse_screen_y = window_->links[0].y + 16.0f * float(line) + 8.0f;
    }

    static void press(uint8_t key, bool down) { g_key_state[key] = down ? 0x80 : 0; }

    fixed_advance_font font_{10};
    saved_globals saved_;
};

TEST_F(TextWindowDraw, WordsAndLinksAreDrawnWhereTheLayoutPutsThemInTheirColours)
{
    load("aaa bbb ccc ddd ^c 1 0 0 0.2 eee ^l ^lnst 1. go ^lnend n1.txt ^l "
         "^lnst 2. xx yyyyyyyyyy zzzzzzzzzz wwww ^lnend n2.txt",
         0.0f, 0.0f, 200.0f, 300.0f);
    window_->alpha = 0.3f;
    g_mouse_screen_x = 100.0f, g_mouse_screen_y = 70.0f;  // over the first line of option 2
    frame();

    const float w = 1.0f;
    const std::vector<drawn_text> expected = {
        // A full row justified to end at x2 - 16; the word after "^c" in its own colour, opaque.
        {3, 16, 16, w, w, w}, {3, 62, 16, w, w, w}, {3, 108, 16, w, w, w}, {3, 154, 16, w, w, w},
        {3, 16, 32, 1, 0, 0},
        // Option 1 in white, its number set apart by 10 pixels.
        {2, 16, 48, w, w, w}, {2, 46, 48, w, w, w},
        // Option 2 under the pointer, red, on the lines after option 1: a full line justified to
        // the continuation width (slack 145 - 128), wrapped lines from x1 + 39.
        {2, 16, 64, 1, 0, 0}, {2, 46, 64, 1, 0, 0}, {10, 91, 64, 1, 0, 0}, {10, 39, 80, 1, 0, 0},
        {4, 39, 96, 1, 0, 0},
    };
    EXPECT_EQ(texts(), expected);

    // Scrolled, everything moves up; with no-draw or before its first pass, nothing is drawn.
    device_->clear_recording();
    window_->scroll_y = 5.0f;
    frame();
    ASSERT_EQ(texts().size(), expected.size());
    EXPECT_EQ(texts()[0].y, 11.0f);
    EXPECT_EQ(texts()[11].y, 91.0f);
    for (const bool no_draw : {true, false}) {
        SCOPED_TRACE(no_draw);
        load("aaa ^lnst 1. go ^lnend n1.txt ^lnst 2. x ^lnend n2.txt", 0.0f, 0.0f, 200.0f, 300.0f);
        window_->no_draw = no_draw ? 1 : 0;
        window_->first_pass = no_draw ? 0 : 1;
        device_->clear_recording();
        draw_text_window(window_.get());
        EXPECT_TRUE(texts().empty());
    }
    // Without being drawn, the links still take the mouse.
    load("^lnst 1. go ^lnend n1.txt ^lnst 2. x ^lnend n2.txt", 0.0f, 0.0f, 200.0f, 300.0f);
    window_->no_draw = 1;
    frame();
    point_at_link_line(1);
    g_mouse_left = 1;
    frame();
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/n2.txt");
}

TEST_F(TextWindowDraw, ADialogueReachesTheMessageLogOnceWithTheHerosHeaderAndTheClickedOption)
{
    std::snprintf(g_ui_text[159], k_ui_text_size, "Goodbye");
    g_dialogue_running = 1;
    load("^l Mara: ^l Well met, traveller. ^l ^lnst 1. Who are you? ^lnend who.txt ^l ^lnst 2. Bye ^lnend bye.txt",
         0.0f, 0.0f, 400.0f, 300.0f);
    g_message_log.count = 1;
    std::strcpy(g_message_log.lines[0], "earlier");
    frame();
    frame();
    EXPECT_EQ(log_lines(), (std::vector<std::string>{"earlier", "Mara: ", "Well met, traveller. ", "Aren:"}));
    EXPECT_EQ(window_->log_pending, 0u);

    // A number key away from the pointer picks its option without logging it; held, it picks
    // nothing more.
    press(k_key_2, true);
    frame();
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/bye.txt");
    window_->requested_file[0] = '\0';
    frame();
    EXPECT_STREQ(window_->requested_file, "");
    press(k_key_2, false);
    EXPECT_EQ(log_lines().size(), 4u);

    // A click logs the option's words after the header, waits for the release, and acts once.
    point_at_link_line(0);
    g_mouse_left = 1;
    frame();
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/who.txt");
    EXPECT_EQ(log_lines().back(), "Who are you? ");
    EXPECT_EQ(g_waits, 1);
    EXPECT_EQ(g_press_latches.left, 1u);
    frame();
    EXPECT_EQ(g_press_latches.left, 0u);
    // Without the shell's wait the latch alone keeps a held button from picking twice.
    g_script_links.wait_until_released = nullptr;
    g_mouse_left = 1;
    frame();
    window_->requested_file[0] = '\0';
    frame();
    EXPECT_STREQ(window_->requested_file, "");
    g_mouse_left = 0;
    EXPECT_EQ(log_lines().size(), 6u);

    // A fresh question menu keeps the header out; a line equal to UI text 159 takes the last log
    // line away; a message on screen keeps the dialogue's lines out.
    load("^l gOODBYE ^l ^lnst 1. Ask ^lnend q.txt ^lnst 2. Leave ^lnend a", 0.0f, 0.0f, 400.0f, 300.0f);
    window_->skip_header = 1;
    frame();
    EXPECT_EQ(log_lines().size(), 5u);
    EXPECT_EQ(window_->skip_header, 0u);
    g_message_shown = 1;
    load("^l Unseen ^lnst 1. Ask ^lnend q.txt ^lnst 2. Leave ^lnend a", 0.0f, 0.0f, 400.0f, 300.0f);
    frame();
    EXPECT_EQ(log_lines().size(), 5u);
    // Outside a dialogue nothing is logged.
    g_message_shown = 0;
    g_dialogue_running = 0;
    load("^l Plain ^lnst 1. Ask ^lnend q.txt ^lnst 2. Leave ^lnend a", 0.0f, 0.0f, 400.0f, 300.0f);
    frame();
    EXPECT_EQ(log_lines().size(), 5u);
}

TEST_F(TextWindowDraw, SpacePicksASingleContinueLinkAndNumberKeysNeedTwoLinks)
{
    load("Well. ^l ^lnst Continue ^lnend next.txt", 0.0f, 0.0f, 400.0f, 300.0f);
    press(k_key_1, true);
    frame();
    EXPECT_STREQ(window_->requested_file, "");
    press(k_key_1, false);
    press(k_key_space, true);
    frame();
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/next.txt");
    window_->requested_file[0] = '\0';
    frame();
    EXPECT_STREQ(window_->requested_file, "");  // held: once per press
    press(k_key_space, false);
    frame();
    EXPECT_EQ(g_press_latches.keys[k_key_space], 0u);
    // Numbered options ignore Space.
    load("^lnst 1. A ^lnend a.txt ^lnst 2. B ^lnend b.txt", 0.0f, 0.0f, 400.0f, 300.0f);
    press(k_key_space, true);
    frame();
    EXPECT_STREQ(window_->requested_file, "");
}

TEST_F(TextWindowDraw, TheQuestionMenuAsksAQuestionOrLeavesAndTheEndGivesTheHeroTheCentre)
{
    g_dialogue_running = 1;
    g_char_count = 2;
    g_player_char = 0;
    g_chars[1] = {};
    g_chars[1].inv_count = 1;
    g_chars[1].inv_item[0] = 329;
    g_chars[1].inv_location[0] = 0;
    g_scene_header.followed_char = 1;
    const auto menu = [&] {
        load("^l Dovan: ^l ^lnst 1. Where? ^lnend data/dia/eng/mara/question0.dia2 ^l "
             "^lnst 2. Goodbye ^lnend a",
             0.0f, 0.0f, 400.0f, 300.0f);
        std::strcpy(window_->name, "aaaa");
        window_->dialogue_record_mode = 1;
        window_->dialogue_kind = k_dialogue_question_menu;
        window_->dialogue_char = 1;
        window_->end_dialogue_picked = 0;
    };
    menu();
    press(k_key_1, true);
    frame();
    press(k_key_1, false);
    EXPECT_STREQ(window_->requested_file, "data/dia/eng/mara/question0.dia2");
    EXPECT_STREQ(window_->name, "");
    EXPECT_EQ(window_->dialogue_kind, 4);
    EXPECT_EQ(window_->dialogue_node, 1);
    EXPECT_EQ(g_dialogue_running, 1u);

    // The leave option with no closing lines to pick ends the dialogue; so does it once closing
    // lines were picked.
    for (uint32_t picked : {0u, 1u}) {
        SCOPED_TRACE(picked);
        menu();
        window_->end_dialogue_picked = picked;
        g_dialogue_running = 1;
        g_scene_header.followed_char = 1;
        frame();  // the key seen up
        press(k_key_2, true);
        frame();
        press(k_key_2, false);
        EXPECT_EQ(g_dialogue_running, 0u);
        EXPECT_EQ(window_->dialogue_record_mode, 0u);
        EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/close.txt");
        EXPECT_EQ(window_->word_count, 0);
        EXPECT_EQ(g_scene_header.followed_char, 0);
        EXPECT_EQ(g_chars[1].inv_count, 0);
        frame();  // the rest of the pass, and the next, go over the emptied window
    }
}

} // namespace
