// The demo gate level's map events, played through the program's own frames with injected
// input: a click on the signpost shows its map text in the message window, where the hero keeps
// reading it while a tooltip comes and goes, and the ways out lie in the corners a player sees:
// walking towards the screen's north-west corner takes the hero to the yard, the yard's
// south-east corner back, and the gate's north-east corner (the road) opens the travel map.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"

#include "support/input_script.h"
#include "support/saved_globals.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/render_context.h"
#include "engine/ui_texts.h"
#include "level/level_change.h"
#include "platform/input.h"
#include "platform/recording_device.h"
#include "script/map_events.h"
#include "script/text_window.h"
#include "shell/program.h"
#include "support/temp_folder.h"
#include "world/movement_map.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int k_walk_bound = 1500;  // frames the walk to a corner may take

recording_device* g_device = nullptr;

bool frame()
{
    g_device->clear_recording();
    return program_frame();
}

std::string message_words()
{
    std::string text;
    for (int32_t i = 0; i < g_message_window.word_count; ++i)
        text += std::string(g_message_window.words[i]) + " ";
    return text;
}

// The sector the named event's first condition tests, -1 when there is no such event.
int32_t event_sector(const char* event)
{
    for (uint32_t i = 0; i < g_event_count; ++i)
        if (std::strcmp(g_events[i].name, event) == 0)
            return g_events[i].condition_number[0][0];
    ADD_FAILURE() << "no event " << event;
    return -1;
}

// Whether the named way out lies in the corner of the level's walkable ground towards (dx, dy),
// each -1 or 1: its sector holds the cell one inside that corner.
bool in_corner(const char* event, int dx, int dy)
{
    const movement_map& m = g_movement_map;
    const float west = -float(m.origin_column * k_cell_size), north = -float(m.origin_row * k_cell_size);
    const float x = west + float((dx < 0 ? 1 : m.columns - 2) * k_cell_size);
    const float y = north + float((dy < 0 ? 1 : m.rows - 2) * k_cell_size);
    const int32_t sector = event_sector(event);
    return sector >= 0 && point_in_sector(x, y, sector);
}

// Frames of a player walking towards a screen corner: a click at the pixel (x, y) every 60
// frames, the view following the hero, until `arrived` holds; false when it never does.
bool walk_towards(int32_t x, int32_t y, const std::function<bool()>& arrived)
{
    for (int frames = 0; frames < k_walk_bound; ++frames) {
        if (arrived())
            return true;
        if (frames % 60 < 5)
            inject_left_at(x, y, frames % 60 < 4);
        if (!frame())
            return false;
    }
    return arrived();
}

bool in_level(const char* name)
{
    return std::strcmp(g_current_level, name) == 0;
}

} // namespace

TEST_F(shell_test, TheGateSignpostShowsItsTextAndTheWaysOutLieInTheCorners)
{
    saved_globals windows;
    windows.keep(g_message_window), windows.keep(g_dialogue_window);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    g_device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(g_device, nullptr);
    ASSERT_TRUE(frame());
    ASSERT_EQ(g_work_mode, uint32_t(k_work_play));

    // The click on the signpost shows the sign's text in that frame.
    const map_sector& sign = g_sectors[event_sector("sign")];
    const float x = (sign.x[0] + sign.x[2]) / 2, y = (sign.y[0] + sign.y[2]) / 2;
    inject_pointer_at_world(x, y);
    ASSERT_TRUE(frame());
    EXPECT_EQ(message_words().find("gate"), std::string::npos);
    inject_left_button(true);
    ASSERT_TRUE(frame());
    EXPECT_EQ(g_message_shown, 1u);
    EXPECT_NE(message_words().find("The gate of the old town."), std::string::npos) << message_words();
    // Held, it fires no more: the flag is down in the next frame.
    ASSERT_TRUE(frame());
    EXPECT_EQ(g_message_shown, 0u);
    EXPECT_EQ(g_message_window.word_count, 0);  // no longer up: the next message replaces it
    inject_left_button(false);
    ASSERT_TRUE(frame());

    // The click walked the hero onto the signpost, where it keeps reading the sign. The pointer
    // on a HUD button shows the button's tooltip instead; once it has left the button, the
    // sign's text is back.
    const std::string sign_text = "The gate of the old town.";
    for (int frames = 0; message_words().find(sign_text) == std::string::npos && frames < k_walk_bound; ++frames)
        ASSERT_TRUE(frame());
    ASSERT_NE(message_words().find(sign_text), std::string::npos) << message_words();
    inject_pointer(70.0f, float(g_screen_height) - 20.0f);  // the inventory button
    ASSERT_TRUE(frame());
    ASSERT_TRUE(frame());
    EXPECT_NE(message_words().find(ui_text(1)), std::string::npos) << message_words();
    inject_pointer_at_world(x, y);
    for (int frames = 0; frames < 3; ++frames)
        ASSERT_TRUE(frame());
    EXPECT_NE(message_words().find(sign_text), std::string::npos) << message_words();

    // The ways out lie in the corners of the walkable ground; a player walking towards the
    // screen's corners (clear of the HUD) reaches them.
    constexpr int32_t west = 60, east = 900, north = 120, south = 680;
    EXPECT_TRUE(in_corner("to_yard", -1, -1));
    EXPECT_TRUE(in_corner("road", 1, -1));
    ASSERT_TRUE(walk_towards(west, north, [] { return in_level("dedina01.sav"); })) << g_current_level;
    EXPECT_EQ(g_pending_level.pending, 0u);
    const world_object* hero = world_object_of(*char_at(int32_t(g_player_char)));
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(hero->x, 320.0f);  // at the yard's entry
    EXPECT_TRUE(in_corner("to_gate", 1, 1));
    ASSERT_TRUE(walk_towards(east, south, [] { return in_level("brana.sav"); })) << g_current_level;
    ASSERT_TRUE(pass_greeting());

    // The road: the travel map opens; a click on the gate's place there leads back.
    bool map_seen = false;
    input_script on_the_map([&](uint32_t pass) {
        if (g_travel_map_running) {
            map_seen = true;
            inject_left_at(102, 96, pass % 2 == 0);
        }
    });
    ASSERT_TRUE(walk_towards(east, north, [&] { return map_seen; }));
    EXPECT_STREQ(g_current_level, "brana.sav");
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

// Events that hold in every frame and name what cannot be had: a level outside the working
// folder, a level that is not there, a dialogue outside its folder and a creature that is not
// there. Each is reported once; the level stays, with no level change behind a dark screen, and
// the hero walks where it is sent.
TEST_F(shell_test, AnEventNamingWhatCannotBeHadIsReportedOnceAndTheLevelPlaysOn)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    g_device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(g_device, nullptr);
    struct refused {
        uint32_t action;
        const char* name;
        const char* line;
    };
    const refused names[] = {
        {k_act_load_map, "../elsewhere.sav", "../elsewhere.sav: mimo priecinka ., odmietnute\n"},
        {k_act_load_map, "nowhere.sav", "data/levels/nowhere.sav: subor chyba, ostava level brana.sav\n"},
        {k_act_start_dialogue, "../../x", "../../x/0.txt: mimo priecinka data/dialogs/eng/, odmietnute\n"},
        {k_act_add_creature, "nobody", "data/creature/nobody.chr: subor chyba, ostava bez postavy\n"},
    };
    for (const refused& r : names) {
        event_record* e = append_event(r.name);
        ASSERT_NE(e, nullptr);
        const int32_t entry[] = {0};
        add_event_action(e, r.action, entry, 1, nullptr, 0);
        std::snprintf(e->action_text[0], sizeof e->action_text[0], "%s", r.name);
    }
    write_text(k_console_log_file, "");
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    const float goal_x = 430.0f, goal_y = 300.0f;  // open ground north-west of the entry
    inject_pointer_at_world(goal_x, goal_y);
    inject_left_button(true);
    ASSERT_TRUE(frame());
    inject_left_button(false);
    for (int frames = 0; frames < 240; ++frames)
        ASSERT_TRUE(frame());
    g_shell_trace = nullptr;

    const std::string log = read_text(k_console_log_file);
    for (const refused& r : names) {
        size_t count = 0;
        for (size_t at = log.find(r.line); at != std::string::npos; at = log.find(r.line, at + 1))
            ++count;
        EXPECT_EQ(count, 1u) << r.line;
    }
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "change_level"), 0);
    const world_object* hero = world_object_of(*char_at(int32_t(g_player_char)));
    ASSERT_NE(hero, nullptr);
    EXPECT_LE(std::hypot(hero->x - goal_x, hero->y - goal_y), 32.0f) << hero->x << "," << hero->y;
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
