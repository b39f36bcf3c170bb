// Four talks with the demo's villager, replayed through the program's own frames as a player
// holds them: the first meeting, started by a click on the villager (a numbered option by its
// key, the single option by Space, the question menu left), then a greeting, a question picked
// with the mouse, its answer and the closing lines, then the shop, offered in every talk, then
// the offer of help that starts the villager's task and leads to the yard.
// Each spoken line reaches the message log once, every talk ends, and the hero is the centred
// character afterwards.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"


#include "characters/char_inventory.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/render_context.h"
#include "engine/ui_texts.h"
#include "interface/interface_state.h"
#include "level/level_change.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/dialogues.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "script/text_window_layout.h"
#include "shell/program.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr int k_frame_bound = 60;  // frames a step may take before it counts as hung

recording_device* g_device = nullptr;

bool frame()
{
    g_device->clear_recording();
    return program_frame();
}

// The shell's wait for the button to come up, with the player letting go of it.
int lines_holding(const char* text)
{
    int n = 0;
    for (uint32_t i = 0; i < g_message_log.count; ++i)
        n += std::strstr(g_message_log.lines[i], text) ? 1 : 0;
    return n;
}

const text_window& window()
{
    return g_dialogue_window;
}

// Frames until the window shows a laid-out dialogue with `links` option links (the pass that
// places the window is done); false when the dialogue ended or the bound ran out.
bool await_links(int32_t links)
{
    for (int i = 0; i < k_frame_bound; ++i) {
        if (!frame())
            return false;
        if (!g_dialogue_running)
            return false;
        if (!window().first_pass && window().link_count == links &&
            std::strcmp(window().name, window().requested_file) == 0)
            return true;
    }
    return false;
}

// A key pressed for one frame and let go in the next.
void press(uint8_t code)
{
    inject_key(code, true);
    ASSERT_TRUE(frame());
    inject_key(code, false);
    ASSERT_TRUE(frame());
}

// Frames until no dialogue runs.
bool await_end()
{
    for (int i = 0; i < k_frame_bound && g_dialogue_running; ++i)
        if (!frame())
            return false;
    return !g_dialogue_running;
}

// The question menu's last option (of `links`) leaves: the villager's closing lines, whose single
// option ends the talk and centres the hero again.
void leave_and_close(int32_t links)
{
    press(uint8_t(k_key_1 + links - 1));
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    EXPECT_NE(std::strstr(window().name, "villager/end0.dia2"), nullptr) << window().name;
    press(k_key_space);
    ASSERT_TRUE(await_end());
    EXPECT_EQ(g_scene_header.followed_char, int16_t(g_player_char));
}

// The first meeting with the villager, its first option and its single option: the question menu.
void open_first_question_menu(int32_t villager)
{
    g_char_rule_links.run_char_event(villager, 0);
    ASSERT_TRUE(await_links(2)) << window().requested_file;
    press(k_key_1);
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    press(k_key_space);
    ASSERT_TRUE(await_links(window().link_count > 1 ? window().link_count : 2)) << window().requested_file;
}

// The game started at the gate on the recording device and its greeting passed by
// `pass_greeting`; the villager's slot.
void start_at_the_gate(const std::function<bool()>& pass_greeting, int32_t* villager)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    g_device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(g_device, nullptr);
    for (uint32_t s = 0; s < g_char_count && *villager < 0; ++s)
        if (std::strcmp(g_chars[s].name, "villager") == 0)
            *villager = int32_t(s);
    ASSERT_GE(*villager, 0);
}

} // namespace

TEST_F(shell_test, TheHeroTalksWithTheVillagerAndTakesOnItsTask)
{
    int32_t villager = -1;
    start_at_the_gate([this] { return pass_greeting(); }, &villager);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(g_chars[villager].kind, k_kind_normal);
    ASSERT_NE(g_char_rule_links.run_char_event, nullptr);
    ASSERT_EQ(g_script_links.wait_until_released, wait_until_released);
    g_script_links.wait_until_released = release_then_wait;
    ASSERT_TRUE(frame());
    g_message_log.count = 0;
    const char* leave = ui_text(159);

    // The first meeting, started by a click on the villager under its name label: its first
    // node's two numbered options; the first leads on.
    const world_object* body = world_object_of(g_chars[villager]);
    ASSERT_NE(body, nullptr);
    inject_pointer_at_world(body->x, body->y - 30.0f);
    ASSERT_TRUE(frame());
    inject_left_button(true);
    ASSERT_TRUE(frame());
    inject_left_button(false);
    ASSERT_EQ(g_dialogue_running, 1u);
    ASSERT_TRUE(await_links(2)) << window().requested_file;
    EXPECT_NE(std::strstr(window().name, "villager/first0.dia2"), nullptr);
    press(k_key_1);
    // The second node's single option, taken by Space, opens the question menu.
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    EXPECT_EQ(window().dialogue_node, 1);
    press(k_key_space);
    ASSERT_TRUE(await_links(window().link_count > 1 ? window().link_count : 2)) << window().requested_file;
    ASSERT_EQ(window().dialogue_kind, k_dialogue_question_menu);
    const int32_t menu_links = window().link_count;
    ASSERT_GE(menu_links, 2);
    // Its last option leaves.
    leave_and_close(menu_links);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(lines_holding("Welcome, stranger."), 1);
    EXPECT_EQ(lines_holding("The spring up the hill"), 1);
    EXPECT_EQ(lines_holding("Where is the spring?"), 0);  // a question only when it is asked
    EXPECT_EQ(lines_holding("Safe travels"), 1);
    EXPECT_EQ(lines_holding(leave), 0);  // the leave option takes its own line away
    // The hero's header before its options names the hero.
    for (uint32_t i = 0; i < g_message_log.count; ++i)
        EXPECT_STRNE(g_message_log.lines[i], ":");

    // The second talk greets, and its single option opens the question menu.
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(frame());
    g_message_log.count = 0;
    g_char_rule_links.run_char_event(villager, 0);
    ASSERT_EQ(g_dialogue_running, 1u);
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    EXPECT_NE(std::strstr(window().name, "villager/start"), nullptr) << window().name;
    EXPECT_EQ(lines_holding("Back again, ") + lines_holding("Have you seen the bandits"), 1);
    press(k_key_space);
    ASSERT_TRUE(await_links(menu_links)) << window().requested_file;
    ASSERT_EQ(window().dialogue_kind, k_dialogue_question_menu);
    // The first question, clicked: the pointer over its line, the left button down for a frame.
    inject_pointer(window().x1 + 40.0f, window().links[0].y + 8.0f);
    ASSERT_TRUE(frame());
    inject_left_button(true);
    ASSERT_TRUE(frame());
    ASSERT_TRUE(frame());
    inject_pointer(-100.0f, -100.0f);
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    EXPECT_NE(std::strstr(window().name, "villager/question0.dia2"), nullptr) << window().name;
    EXPECT_EQ(window().dialogue_node, 1);
    EXPECT_EQ(lines_holding("Up the hill, past the old"), 1);
    // The answer's option returns to the menu; leaving it brings the closing lines and the end.
    press(k_key_space);
    ASSERT_TRUE(await_links(menu_links)) << window().requested_file;
    ASSERT_EQ(window().dialogue_kind, k_dialogue_question_menu);
    leave_and_close(menu_links);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(lines_holding("Up the hill, past the old"), 1);
    EXPECT_EQ(lines_holding("Safe travels"), 1);
    EXPECT_EQ(lines_holding(leave), 0);
    EXPECT_EQ(std::string(window().requested_file), "data/dialogs/eng/close.txt");

    // The third talk: the question menu offers the shop again; "Show me your wares." opens it.
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(frame());
    g_char_rule_links.run_char_event(villager, 0);
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    press(k_key_space);
    ASSERT_TRUE(await_links(menu_links)) << window().requested_file;
    press(uint8_t(k_key_1 + menu_links - 2));  // the question before the leave option
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    EXPECT_STREQ(window().name, "data/dialogs/eng/villager_shop/0.txt");
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, 1);
    press(k_key_space);
    ASSERT_TRUE(await_end());
    g_interface.side_panel_open = g_interface.container_open = 0;  // the shop put away

    // The fourth talk: "Can I help?" (the second question while the water quest is not given)
    // starts the task, which gives the quest and an elixir; its second option leads to the yard.
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(frame());
    const int16_t quest = find_quest("watersupply");
    ASSERT_GE(quest, 0);
    EXPECT_EQ(g_quests[quest].assigned, 0u);
    g_char_rule_links.run_char_event(villager, 0);
    ASSERT_TRUE(await_links(1)) << window().requested_file;
    press(k_key_space);
    ASSERT_TRUE(await_links(menu_links)) << window().requested_file;
    press(k_key_2);
    ASSERT_TRUE(await_links(2)) << window().requested_file;
    EXPECT_STREQ(window().name, "data/dialogs/eng/villager_task/0.txt");
    EXPECT_EQ(g_quests[quest].assigned, 1u);
    EXPECT_TRUE(char_has_item_named(char_at(int32_t(g_player_char)), "elixir"));
    press(k_key_2);
    for (int i = 0; i < k_frame_bound && std::strcmp(g_current_level, "dedina01.sav") != 0; ++i)
        ASSERT_TRUE(frame());
    EXPECT_STREQ(g_current_level, "dedina01.sav");

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, TheGateGreetsTheHeroAgainAfterATalkHasEnded)
{
    int32_t villager = -1;
    start_at_the_gate([this] { return pass_greeting(); }, &villager);
    if (HasFatalFailure())
        return;
    g_script_links.wait_until_released = release_then_wait;

    // A talk left by the question menu's leave option: its end asked for the closing file.
    open_first_question_menu(villager);
    if (HasFatalFailure())
        return;
    leave_and_close(window().link_count);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(std::string(window().requested_file), "data/dialogs/eng/close.txt");

    // The gate entered again from the console: its greeting comes up and stays until answered,
    // and the attunements it taught on the first entry are not taught and announced again.
    const auto announced = [] { return lines_holding("New attunement:"); };
    EXPECT_EQ(announced(), 3);
    ASSERT_TRUE(tap_keys({k_key_grave}));
    ASSERT_TRUE(type_keys("load brana.sav"));
    ASSERT_TRUE(tap_keys({k_key_return}));
    ASSERT_TRUE(tap_keys({k_key_grave}));
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(frame());
        ASSERT_EQ(g_dialogue_running, 1u) << "frame " << i << ": " << window().name;
    }
    EXPECT_STREQ(window().name, "data/scripts/brana.txt");
    EXPECT_TRUE(pass_greeting());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(frame());
    EXPECT_EQ(announced(), 3);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

// No dialogue holds the player, whatever its page holds: a greeting whose closing page cannot be
// read ends at once; one whose closing page is empty, and a level script that is a text without
// a link, and a talk whose part is missing (its node holds only "^start_dialog" of no page) are
// left by Space or a click on the window. The log names the page, and the play goes on.
TEST_F(shell_test, ADialogueWithNoWayOnIsLeftBySpaceOrAClick)
{
    const std::string dead_end = ": okno nema ziadnu moznost, dialog skoncil";
    std::filesystem::remove("data/dialogs/eng/close.txt");
    int32_t villager = -1;
    start_at_the_gate([this] { return pass_greeting(); }, &villager);
    if (HasFatalFailure())
        return;
    EXPECT_NE(read_text(k_console_log_file).find("data/dialogs/eng/close.txt: subor chyba, ostava okno zatvorene"),
              std::string::npos);
    g_script_links.wait_until_released = release_then_wait;
    write_text("data/dialogs/eng/close.txt", "");
    std::filesystem::remove("data/dialogs/eng/villager_task/0.txt");
    const auto enter_the_gate = [this] {
        return tap_keys({k_key_grave}) && type_keys("load brana.sav") && tap_keys({k_key_return}) &&
               tap_keys({k_key_grave}) && pass_greeting();
    };
    EXPECT_TRUE(enter_the_gate());
    EXPECT_NE(read_text(k_console_log_file).find("data/dialogs/eng/close.txt" + dead_end), std::string::npos);

    // The first meeting, its question menu, and the offer of help, whose talk has no page.
    open_first_question_menu(villager);
    if (HasFatalFailure())
        return;
    press(k_key_2);
    ASSERT_TRUE(await_links(0)) << window().requested_file;
    EXPECT_NE(read_text(k_console_log_file)
                  .find("data/dialogs/eng/villager_task/0.txt: subor chyba, ostava doterajsi text okna (chyba aj 1.txt)"),
              std::string::npos);
    const std::string shown = window().name;
    inject_pointer((window().x1 + window().x2) / 2, (window().y1 + window().y2) / 2);
    inject_left_button(true);
    EXPECT_TRUE(await_end()) << "a click on the window";
    inject_left_button(false);
    EXPECT_NE(read_text(k_console_log_file).find(shown + dead_end), std::string::npos) << shown;
    EXPECT_EQ(g_scene_header.followed_char, int16_t(g_player_char));

    // The gate entered again, its script a text without a link.
    write_text("data/scripts/brana.txt", "^window 50 420 900 700\n^dialog\n^l The gate stands open.\n");
    EXPECT_TRUE(enter_the_gate());
    EXPECT_NE(read_text(k_console_log_file).find("data/scripts/brana.txt" + dead_end), std::string::npos);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
