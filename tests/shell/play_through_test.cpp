// The demo played as a player meets it, through the program's own loops: start-up with the
// console word, the splash and the intro skipped, the new-hero screen, then the game at the gate:
// a walk, the villager's task, the yard and back, and the fight with the gate's enemies.
// Every input comes from the per-pass script; each step waits for its goal under a frame cap and
// fails naming itself.
#include "shell/shell_fixture.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/hooks.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "interface/front_end.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "level/level_change.h"
#include "platform/key_codes.h"
#include "script/dialogues.h"
#include "script/quests.h"
#include "support/saved_globals.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "shell/program.h"
#include "support/input_script.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

void inject_key(uint8_t code, bool down)
{
    input_event e{input_event_kind::key};
    e.code = code;
    e.down = down;
    input_inject(e);
}

// Screen pixel of world point (x, y) as the camera shows it now.
int32_t screen_x(float x)
{
    return int32_t(float(g_view_x) + (x - g_camera_x) * g_zoom);
}
int32_t screen_y(float y)
{
    return int32_t(float(g_view_y) + (y - g_camera_y) * g_zoom);
}

// The right button at the screen pixel (the pointer stays where it is for x < 0).
void inject_right_at(int32_t x, int32_t y, bool down)
{
    if (x >= 0) {
        input_event move{input_event_kind::mouse_move};
        move.x = x;
        move.y = y;
        input_inject(move);
    }
    input_event button{input_event_kind::mouse_button};
    button.code = 1;
    button.down = down;
    input_inject(button);
}

// The live enemy nearest the hero, -1 none.
int32_t live_enemy()
{
    const world_object* hero = world_object_of(g_chars[g_player_char]);
    int32_t best = -1;
    float best_distance = 0.0f;
    for (uint32_t slot = 0; slot < g_char_count; ++slot) {
        const world_object* o = world_object_of(g_chars[slot]);
        if (g_chars[slot].kind != k_kind_enemy || g_chars[slot].life != k_life_alive || !o || !hero)
            continue;
        const float d = std::hypot(o->x - hero->x, o->y - hero->y);
        if (best < 0 || d < best_distance)
            best = int32_t(slot), best_distance = d;
    }
    return best;
}

// The villager's world object on the level now, null when it has none.
const world_object* villager_world_object()
{
    for (uint32_t slot = 0; slot < g_char_count; ++slot)
        if (std::strcmp(g_chars[slot].name, "villager") == 0)
            return world_object_of(g_chars[slot]);
    return nullptr;
}

const world_object* hero_object()
{
    return world_object_of(g_chars[g_player_char]);
}

class play_through_test : public shell_test {
protected:
    // Frames until `goal` holds, at most `cap`; meanwhile `act` queues each pass's input, its
    // argument the passes since the step began. A step that misses its goal fails by name.
    bool step(const char* name, int cap, const std::function<bool()>& goal, std::function<void(uint32_t)> act = nullptr)
    {
        step_start_ = pass_;
        act_ = std::move(act);
        for (int i = 0; i < cap; ++i) {
            if (goal()) {
                act_ = nullptr;
                return true;
            }
            if (!program_frame()) {
                act_ = nullptr;
                ADD_FAILURE() << name << ": the program stopped";
                return false;
            }
            ++frames_;
        }
        act_ = nullptr;
        ADD_FAILURE() << name << ": not reached in " << cap << " frames";
        return goal();
    }

    // A left click at the screen pixel: the button held down for the step's first four passes
    // (a frame may drain input more than once), then let go.
    static std::function<void(uint32_t)> click(int32_t x, int32_t y)
    {
        return [x, y](uint32_t n) {
            if (n < 5)
                inject_left_at(x, y, n < 4);
        };
    }

    // A walk towards world point (x, y): every 60 passes a left click there, or at the screen's
    // edge on the way when the point is off the screen.
    static std::function<void(uint32_t)> walk_to(float x, float y)
    {
        return [x, y](uint32_t n) {
            if (n % 60 < 5)
                inject_left_at(std::clamp(screen_x(x), 8, 1016), std::clamp(screen_y(y), 8, 760), n % 60 < 4);
        };
    }

    // A talk: while none runs, a click at the screen pixel (none for x < 0); then the keys, one
    // for each laid-out dialogue window with options, in order.
    static std::function<void(uint32_t)> talk(int32_t x, int32_t y, std::vector<uint8_t> keys)
    {
        return [x, y, keys, clicked = false, next = size_t(0), held = uint8_t(0), waited = 0,
                answered = std::string()](uint32_t) mutable {
            if (held) {
                inject_key(held, false);
                held = 0;
                return;
            }
            if (!g_dialogue_running) {
                if (x >= 0)
                    inject_left_at(x, y, !clicked);
                clicked = !clicked;
                return;
            }
            const text_window& w = g_dialogue_window;
            const std::string shown = std::string(w.name) + " " + std::to_string(w.dialogue_node);
            if (shown == answered && ++waited > 40) {  // a key the window missed is pressed again
                waited = 0;
                held = keys[next - 1];
                inject_key(held, true);
                return;
            }
            if (w.first_pass || w.link_count == 0 || std::strcmp(w.name, w.requested_file) != 0 || shown == answered ||
                next >= keys.size())
                return;
            answered = shown;
            waited = 0;
            held = keys[next++];
            inject_key(held, true);
        };
    }

    std::function<void(uint32_t)> act_;
    uint32_t pass_ = 0, step_start_ = 0;
    uint32_t frames_ = 0;
};

TEST_F(play_through_test, FromTheMainMenuANewHeroTakesTheTaskBeatsTheGroupAndIsRewarded)
{
    // What the talks change beyond the run: the dialogue window and record, the option latches.
    saved_globals talk_state;
    talk_state.keep(g_dialogue_window), talk_state.keep(g_dialogue), talk_state.keep(g_option_latches);
    g_front_end = run_front_end;
    reset_hook_skip_log();  // every hook the run skips is logged once again
    input_script script([this](uint32_t pass) {
        pass_ = pass;
        if (act_)
            act_(pass - step_start_);
    });

    // 1. The splash plays out; Esc skips the intro; the menu shows with no game running.
    // 2. The menu's first button opens the new-hero screen; the name is typed; Start.
    bool intro_skipped = false, menu_seen = false, menu_without_game = false, typed = false;
    uint32_t typing_from = 0;
    const std::vector<uint8_t> name_keys = {k_key_back, k_key_back, k_key_back, k_key_back, k_key_back,
                                            k_key_back, k_key_back, k_key_back, k_key_back, k_key_back,
                                            k_key_m,    k_key_i,    k_key_r,    k_key_a};
    act_ = [&](uint32_t pass) {
        if (pass > 6000) {  // a run that never reaches the game ends here
            input_inject({input_event_kind::close});
            return;
        }
        if (g_splash.state != k_splash_done)
            return;
        if (g_intro_slides.active && g_intro_slides.state != k_slide_fade_out) {
            intro_skipped = true;
            inject_key(k_key_escape, pass % 2 == 0);
        } else if (!g_intro_slides.active && g_interface.overlay_screen == k_page_menu) {
            inject_key(k_key_escape, false);
            if (!menu_seen)
                menu_without_game = g_no_game_running == 1;
            menu_seen = true;
            inject_left_at(512, 498, true);  // the first button
            typing_from = 0;
        } else if (g_interface.overlay_screen == k_page_new_hero) {
            if (typing_from == 0) {
                typing_from = pass;
                inject_left_at(512, 498, false);
            }
            // A key a pass, let go on the next and a pass of nothing after, so each types once;
            // Shift with the first letter.
            const uint32_t n = pass - typing_from;
            if (n / 3 < name_keys.size()) {
                const uint8_t key = name_keys[n / 3];
                if (key == k_key_m)
                    inject_key(k_key_lshift, n % 3 == 0);
                if (n % 3 < 2)
                    inject_key(key, n % 3 == 0);
            } else if (std::strcmp(g_chars[0].display_name, "Mira_") == 0 || typed) {
                typed = true;
                inject_left_at(802, 622, true);  // Start
            }
        }
    };
    ASSERT_TRUE(program_startup("console"));
    act_ = nullptr;
    EXPECT_TRUE(intro_skipped) << "splash and intro";
    EXPECT_TRUE(menu_without_game) << "the menu";
    ASSERT_TRUE(typed) << "the new hero: " << g_chars[0].display_name;
    ASSERT_EQ(g_no_game_running, 0u) << "start";
    ASSERT_STREQ(g_current_level, "brana.sav");
    ASSERT_EQ(g_player_char, 0u);
    EXPECT_STREQ(g_chars[0].display_name, "Mira");
    ASSERT_NE(hero_object(), nullptr);
    EXPECT_EQ(hero_object()->x, g_scene_header.entry_x[0]);
    EXPECT_EQ(hero_object()->y, g_scene_header.entry_y[0]);
    const uint32_t start_passes = pass_;

    // The gate's greeting is passed with Space, the Start button let go first.
    bool greeted = false;
    ASSERT_TRUE(step("the greeting", 300,
                     [&] {
                         greeted = greeted || g_dialogue_running;
                         return greeted && !g_dialogue_running;
                     },
                     [](uint32_t n) {
                         if (n == 0)
                             inject_left_at(802, 622, false);
                         else
                             inject_key(k_key_space, n % 2 == 1);
                     }));

    // 3. A left click on open ground north-west of the entry: the hero walks there.
    const float goal_x = 430.0f, goal_y = 300.0f;
    ASSERT_TRUE(step("the walk", 600,
                     [&] { return std::hypot(hero_object()->x - goal_x, hero_object()->y - goal_y) <= 32.0f; },
                     click(screen_x(goal_x), screen_y(goal_y))))
        << "hero at " << hero_object()->x << "," << hero_object()->y << " state " << int(g_chars[g_player_char].state)
        << " click at " << screen_x(goal_x) << "," << screen_y(goal_y) << " camera " << g_camera_x << "," << g_camera_y
        << " view " << g_view_x << "," << g_view_y << " over ui " << int(g_interface.mouse_over_ui) << " mouse "
        << g_mouse_x << "," << g_mouse_y << " dialogue " << g_dialogue_running;

    // 4. A click on the villager opens its talk: "I have questions", then "Can I help?" start its
    // task, which assigns the quest.
    const world_object* villager_object = villager_world_object();
    ASSERT_NE(villager_object, nullptr);
    const int16_t quest = find_quest("watersupply");
    ASSERT_GE(quest, 0);
    ASSERT_EQ(g_quests[quest].assigned, 0u);
    const std::vector<uint8_t> answers = {k_key_2, k_key_2};
    ASSERT_TRUE(step("the talk", 600, [&] { return g_quests[quest].assigned == 1; },
                     talk(screen_x(villager_object->x), screen_y(villager_object->y - 30.0f), answers)));

    // 8. The task's second option leads to the yard; its arrival text is closed, and the yard's
    // south-east corner leads back to the gate's entry.
    ASSERT_TRUE(step("to the yard", 600, [] { return std::strcmp(g_current_level, "dvor.sav") == 0; },
                     talk(-1, -1, {k_key_2})));
    ASSERT_TRUE(step("the yard's arrival", 300, [] { return !g_dialogue_running; }, talk(-1, -1, {k_key_space})));
    ASSERT_TRUE(step("back to the gate", 900, [] { return std::strcmp(g_current_level, "brana.sav") == 0; },
                     click(screen_x(600.0f), screen_y(440.0f))));
    EXPECT_EQ(hero_object()->x, g_scene_header.entry_x[0]);
    EXPECT_EQ(hero_object()->y, g_scene_header.entry_y[0]);
    EXPECT_EQ(g_quests[quest].assigned, 1u);

    // 5. Key 1 takes the quick bar's sword; right clicks on the nearest live enemy whenever the
    // hero stands idle, until none lives: the hero stands and gains experience.
    const int32_t exp_before = g_chars[g_player_char].exp;
    EXPECT_TRUE(step("the fight", 4000, [] { return live_enemy() < 0 || g_chars[g_player_char].life != k_life_alive; },
                     [](uint32_t n) {
                         if (n < 2) {
                             inject_key(k_key_1, n == 0);
                             return;
                         }
                         if (g_dialogue_running)  // a greeting goes on with Space
                             inject_key(k_key_space, n % 2 == 0);
                         const int32_t enemy = live_enemy();
                         if (enemy < 0 || g_dialogue_running)
                             return;
                         const world_object* o = world_object_of(g_chars[enemy]);
                         inject_right_at(screen_x(o->x), screen_y(o->y - 35.0f),
                                         g_chars[g_player_char].state == 0 && !g_mouse_right);
                     }));
    ASSERT_EQ(g_chars[g_player_char].life, k_life_alive) << "the fight: the hero fell";
    if (live_enemy() >= 0) {
        const char_record& e = g_chars[live_enemy()];
        ADD_FAILURE() << "live enemy " << e.name << " at " << world_object_of(e)->x << "," << world_object_of(e)->y
                      << " state " << int(e.state) << " hero at " << hero_object()->x << "," << hero_object()->y
                      << " state " << int(g_chars[g_player_char].state) << " spell mode "
                      << int(g_chars[g_player_char].spell_mode);
    }
    EXPECT_GT(g_chars[g_player_char].exp, exp_before) << "the fight";
    int corpses = 0;
    for (uint32_t slot = 0; slot < g_char_count; ++slot)
        if (g_chars[slot].kind == k_kind_enemy && g_chars[slot].life == k_life_dead && world_object_of(g_chars[slot]))
            ++corpses;
    EXPECT_GE(corpses, 3) << "the fight";

    // 8 again, on foot: the gate's north-west corner leads to the yard, the yard's south-east
    // corner back; the group is still dead.
    ASSERT_TRUE(step("on foot to the yard", 1500, [] { return std::strcmp(g_current_level, "dvor.sav") == 0; },
                     walk_to(60.0f, 60.0f)));
    ASSERT_TRUE(step("on foot back to the gate", 1500, [] { return std::strcmp(g_current_level, "brana.sav") == 0; },
                     walk_to(600.0f, 440.0f)));
    EXPECT_LT(live_enemy(), 0) << "the group after the trip";

    // 7. Talked to again: the greeting goes on with Space, the question menu's third question
    // ("The bandits are gone.") brings the reward: the quest is completed, its experience and 100
    // gold arrive.
    const int32_t gold_before = g_chars[g_player_char].gold, exp_after_fight = g_chars[g_player_char].exp;
    villager_object = villager_world_object();  // the gate was entered again
    ASSERT_NE(villager_object, nullptr);
    ASSERT_TRUE(step("the report", 900,
                     [&] { return g_quests[quest].completed == 1u && g_chars[g_player_char].gold != gold_before; },
                     talk(screen_x(villager_object->x), screen_y(villager_object->y - 30.0f), {k_key_space, k_key_3})));
    EXPECT_EQ(g_chars[g_player_char].gold, gold_before + 100) << "the reward";
    EXPECT_GT(g_chars[g_player_char].exp, exp_after_fight) << "the reward";

    std::printf("play-through: %u start-up passes, %u frames\n", start_passes, frames_);
    g_quit = 1;
    program_shutdown(true);
    // Every hook the play-through needed was filled.
    const std::string log = read_text(k_console_log_file);
    EXPECT_NE(log.find("load ok"), std::string::npos);
    EXPECT_EQ(log.find("nie je, preskakujem"), std::string::npos) << log;
}

} // namespace
