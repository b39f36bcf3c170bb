// The demo played as a player meets it, through the program's own loops: start-up with the
// console word, the splash and the intro skipped, the new-hero screen, then the game at the gate:
// a walk, the villager's task, the yard and back, the fight with the gate's enemies, the chest's
// sword, blows with a dagger and a battle axe, the reward, a save from the menu, the quit to the
// title menu and the load of that save, a death in a new game, after a visit to the villager's
// shop, and the load from its menu; then the save list damaged, the next run's save and every
// earlier save still listed and loaded.
// Every input comes from the per-pass script; each step waits for its goal under a frame cap and
// fails naming itself.
#include "shell/shell_fixture.h"

#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/hooks.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "interface/front_end.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/quick_bar.h"
#include "interface/save_load_screen.h"
#include "interface/side_panel.h"
#include "items/containers.h"
#include "items/items.h"
#include "interface/slide_shows.h"
#include "level/level_change.h"
#include "level/save_games.h"
#include "platform/clock.h"
#include "platform/key_codes.h"
#include "script/dialogues.h"
#include "script/quests.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "shell/program.h"
#include "shell/window.h"
#include "support/input_script.h"
#include "tests/shell/new_game_input.h"
#include "tests/shell/side_panel_pixels.h"
#include "tools/demo/demo_data.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

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

// The left button let go where the pointer is.
void release_left()
{
    input_event button{input_event_kind::mouse_button};
    button.down = false;
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

// The screen's corners, clear of the HUD: walking towards them reaches the ways out of a level.
constexpr int32_t k_west = 60, k_east = 900, k_north = 120, k_south = 680;

// The words the dialogue window shows now, each followed by a blank.
std::string dialogue_words()
{
    std::string text;
    for (int32_t i = 0; i < g_dialogue_window.word_count; ++i)
        text += std::string(g_dialogue_window.words[i]) + " ";
    return text;
}

// The villager's world object on the level now, null when it has none.
const world_object* villager_world_object()
{
    for (uint32_t slot = 0; slot < g_char_count; ++slot)
        if (std::strcmp(g_chars[slot].name, "villager") == 0)
            return world_object_of(g_chars[slot]);
    return nullptr;
}

// The first sidekick's world object, null when none has one.
const world_object* sidekick_object()
{
    for (uint32_t slot = 0; slot < g_char_count; ++slot)
        if (g_chars[slot].kind == k_kind_sidekick && world_object_of(g_chars[slot]))
            return world_object_of(g_chars[slot]);
    return nullptr;
}

const world_object* hero_object()
{
    return world_object_of(g_chars[g_player_char]);
}

// The hero's entries of the item at the location.
int count_entries(int16_t item, uint8_t location)
{
    const char_record& hero = g_chars[g_player_char];
    int n = 0;
    for (int i = 0; i < hero.inv_count; ++i)
        n += hero.inv_item[i] == item && hero.inv_location[i] == location;
    return n;
}

// The save's place in the list, -1 when not listed.
int32_t listed_at(const char* name)
{
    for (int32_t i = 0; i < g_save_list.count; ++i)
        if (std::strcmp(g_save_list.names[i], name) == 0)
            return i;
    return -1;
}

// What a save keeps of the game, as the test compares it.
struct game_snapshot {
    std::string level;
    float x = 0.0f, y = 0.0f;
    std::vector<std::pair<int16_t, uint8_t>> inventory;  // item and location per entry
    int32_t gold = 0, exp = 0;
    std::vector<std::array<uint32_t, 3>> quests;  // state, assigned, completed
    std::vector<int32_t> flags;
    std::vector<std::string> roster;  // each slot's name, kind and life
    int live_enemies = 0;
    std::vector<uint16_t> chest;    // the gate chest's cells
    std::vector<int32_t> quick_bar;  // each slot's id and kind, then the selected slot
    bool operator==(const game_snapshot&) const = default;
};

game_snapshot take_snapshot()
{
    game_snapshot s;
    s.level = g_current_level;
    const char_record& hero = g_chars[g_player_char];
    if (const world_object* o = world_object_of(hero))
        s.x = o->x, s.y = o->y;
    for (int i = 0; i < hero.inv_count; ++i)
        s.inventory.emplace_back(hero.inv_item[i], hero.inv_location[i]);
    s.gold = hero.gold, s.exp = hero.exp;
    for (int i = 0; i < g_quest_count; ++i)
        s.quests.push_back({g_quests[i].state, g_quests[i].assigned, g_quests[i].completed});
    for (int i = 0; i < g_flag_count; ++i)
        s.flags.push_back(g_flags[i].value);
    for (uint32_t slot = 0; slot < g_char_count; ++slot) {
        const char_record& c = g_chars[slot];
        s.roster.push_back(std::string(c.name, strnlen(c.name, sizeof c.name)) + " " + std::to_string(c.kind) + " " +
                           std::to_string(c.life));
        s.live_enemies += c.kind == k_kind_enemy && c.life == k_life_alive;
    }
    const container& chest = g_containers[0];
    s.chest.assign(chest.items, chest.items + container_cells(&chest));
    for (int i = 0; i < k_quick_key_slots; ++i)
        s.quick_bar.insert(s.quick_bar.end(), {g_interface.quick_ids[i], g_interface.quick_kinds[i]});
    s.quick_bar.push_back(g_interface.quick_selected);
    return s;
}

std::ostream& operator<<(std::ostream& out, const game_snapshot& s)
{
    out << s.level << " at " << s.x << "," << s.y << ", " << s.inventory.size() << " entries, gold " << s.gold
        << ", exp " << s.exp << ", " << s.roster.size() << " characters, " << s.live_enemies
        << " live enemies, quests";
    for (const auto& q : s.quests)
        out << " " << q[0] << "/" << q[1] << "/" << q[2];
    out << ", quick bar";
    for (int32_t v : s.quick_bar)
        out << " " << v;
    return out;
}

// Taken while the menu's save writes the hero's file: the game exactly as saved.
game_snapshot g_saved_snapshot;
void snapshot_on_hero_file(const char* file)
{
    if (std::strcmp(file, "char.ss") == 0)
        g_saved_snapshot = take_snapshot();
}

// ---- The item in hand across saves, loads and a level change ----

// The copies of `item` a player can see or hold: in the hero's backpack and equipment, in the
// cells of the level's containers and on the cursor.
int visible_copies(int16_t item)
{
    const char_record& hero = g_chars[g_player_char];
    int n = 0;
    for (int i = 0; i < hero.inv_count; ++i)
        n += hero.inv_item[i] == item && hero.inv_location[i] <= k_inv_legs;
    for (int c = 0; c < g_level_container_count && c < k_level_container_slots; ++c)
        if (const container& box = g_containers[c]; box.items)
            n += int(std::count(box.items, box.items + container_cells(&box), uint16_t(item)));
    if (holding_container_item())
        n += g_interface.held_item == item;
    else if (holding_inventory_item())
        n += hero.inv_item[g_interface.held_item] == item;
    return n;
}

// The hero's first entry in the backpack, -1 none.
int32_t first_backpack_entry()
{
    const char_record& hero = g_chars[g_player_char];
    for (int i = 0; i < hero.inv_count; ++i)
        if (hero.inv_location[i] <= k_inv_backpack_last)
            return i;
    return -1;
}

// The first cell of the chest that holds an item other than gold (gold goes to the purse at once).
int32_t chest_item_cell()
{
    const container& chest = g_containers[0];
    for (uint32_t k = 0; chest.items && k < container_cells(&chest); ++k) {
        const item_proto* p = item_proto_at(chest.items[k]);
        if (chest.items[k] != k_container_cell_empty && p && p->item_class != k_item_gold)
            return int32_t(k);
    }
    return -1;
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
            const bool running = program_frame();
            note_pending_steps();
            if (!running) {
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

    // A left click on the side panel's slot code, looked for from the step's first pass on (a
    // window just opened is laid out when drawn): the button let go, held for four passes, let go.
    static std::function<void(uint32_t)> click_code(uint8_t code)
    {
        return [code, at = std::pair<int32_t, int32_t>{-1, -1}, from = 0u](uint32_t n) mutable {
            if (at.first < 0) {
                at = pixel_of_code(code);
                from = n;
            }
            if (at.first >= 0 && n - from < 6)
                inject_left_at(at.first, at.second, n - from >= 1 && n - from < 5);
        };
    }

    // A walk towards the screen pixel (x, y) as the view follows the hero: every 60 passes a left
    // click there.
    static std::function<void(uint32_t)> towards(int32_t x, int32_t y)
    {
        return [x, y](uint32_t n) {
            if (n % 60 < 5)
                inject_left_at(x, y, n % 60 < 4);
        };
    }

    // A talk: while none runs, a click at the screen pixel (none for x < 0), let go once the talk
    // runs; then the keys, one for each laid-out dialogue window with options, in order.
    static std::function<void(uint32_t)> talk(int32_t x, int32_t y, std::vector<uint8_t> keys)
    {
        return [x, y, keys, clicked = false, next = size_t(0), held = uint8_t(0), waited = 0,
                answered = std::string()](uint32_t) mutable {
            if (held) {
                inject_key(held, false);
                held = 0;
                return;
            }
            if (!g_dialogue_running || clicked) {
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

    // --- Blows by weapon -------------------------------------------------------------------

    // The hero wields the item from its backpack through the inventory: I opens it, a click takes
    // the item, a click on the hero wields it, the weapon it replaced goes into a free slot, and
    // Esc closes the panel.
    bool wield_from_backpack(int16_t item)
    {
        const char_record& hero = g_chars[g_player_char];
        const bool opened = step("the inventory", 60, [] { return g_interface.side_panel_open != 0; },
                                 [](uint32_t n) { inject_key(k_key_i, n % 8 >= 4); });  // up first: an edge
        inject_key(k_key_i, false);
        if (!opened)
            return false;
        int32_t at = -1;
        for (int i = 0; i < hero.inv_count && at < 0; ++i)
            if (hero.inv_item[i] == item && hero.inv_location[i] <= k_inv_backpack_last)
                at = hero.inv_location[i];
        if (at < 0) {
            ADD_FAILURE() << "item " << item << " is not in the backpack";
            return false;
        }
        if (!step("the weapon taken", 60, [&] { return held_item_id() == item; }, click_code(uint8_t(at))) ||
            !step("the weapon wielded", 60, [&] { return char_weapon_item(&hero) == item; }, click_code(k_code_hero)))
            return false;
        if (!holding_nothing() &&
            !step("the old weapon put away", 60, [] { return holding_nothing(); },
                  click_code(uint8_t(free_backpack_location()))))
            return false;
        const bool closed = step("the inventory closed", 60, [] { return !g_interface.side_panel_open; },
                                 [](uint32_t n) { inject_key(k_key_escape, n % 8 >= 4); });
        inject_key(k_key_escape, false);
        return closed;
    }

    // With the item wielded, the right button held on open ground beside the hero: the mean time
    // from the second blow (strike frame) to the seventh, in game milliseconds, at 2 ms frames so
    // that the frame's length hardly rounds it (then back to the fixture's 16 ms). 0 when the
    // blows do not come.
    double ms_per_blow(int16_t item)
    {
        if (!wield_from_backpack(item))
            return 0.0;
        const char_record& hero = g_chars[g_player_char];
        std::vector<uint32_t> strikes;
        uint32_t state = hero.state;
        // Away from the squire, so that no companion comes under the cursor.
        const world_object* squire = sidekick_object();
        const float side = squire && squire->x > hero_object()->x ? -1.0f : 1.0f;
        const float x = hero_object()->x + side * 100.0f, y = hero_object()->y;
        clock_set_manual_step(2);
        step("the blows", 6000, [&] { return strikes.size() >= 7; }, [&](uint32_t n) {
            if (hero.state == k_state_recover && state != k_state_recover)
                strikes.push_back(g_elapsed_ms);
            state = hero.state;
            if (g_dialogue_running)  // a greeting goes on with Space
                inject_key(k_key_space, n % 2 == 0);
            inject_right_at(screen_x(x), screen_y(y), !g_dialogue_running);
        });
        clock_set_manual_step(16);
        step("the button let go", 10, [] { return !g_mouse_right; }, [](uint32_t) { inject_right_at(-1, -1, false); });
        if (strikes.size() < 7)
            return 0.0;
        return double(strikes.back() - strikes[1]) / double(strikes.size() - 2);
    }


    // Frames until a greeting has come up and been answered with Space; Space is let go after.
    bool pass_greeting_by_space(const char* name)
    {
        bool greeted = false;
        const bool passed = step(name, 300,
                                 [&] {
                                     greeted = greeted || g_dialogue_running;
                                     return greeted && !g_dialogue_running;
                                 },
                                 [](uint32_t n) { inject_key(k_key_space, n % 2 == 0); });
        inject_key(k_key_space, false);
        return passed && program_frame();
    }

    // Frames after an entry of the gate once its bandits are dead: its greeting, which speaks of
    // them, is not given.
    bool no_greeting(const char* name)
    {
        uint32_t frame = 0;
        while (frame < 10 && program_frame() && !g_dialogue_running)
            ++frame, ++frames_;
        EXPECT_EQ(frame, 10u) << name << ": greeted, or the program stopped";
        return frame == 10;
    }

    // A step whose input is keys pressed one after the other, each held for four passes (a frame
    // may drain input more than once) and let go for four; every key is up again after it.
    bool key_step(const char* name, int cap, const std::function<bool()>& goal, std::vector<uint8_t> pressed)
    {
        const bool reached = step(name, cap, goal, [pressed](uint32_t n) {
            if (n / 8 < pressed.size())
                inject_key(pressed[n / 8], n % 8 < 4);
        });
        for (uint8_t key : pressed)
            inject_key(key, false);
        return program_frame() && reached;
    }

    // The keys that show the console and type the line (lower-case letters, digits, "." and
    // spaces) into it.
    static std::vector<uint8_t> console_typing(const char* line)
    {
        std::vector<uint8_t> pressed = {k_key_grave};
        for (const char* p = line; *p; ++p)
            pressed.push_back(*p == ' '   ? k_key_space
                              : *p == '.' ? k_key_period
                              : *p >= '0' && *p <= '9' ? uint8_t(*p == '0' ? k_key_0 : k_key_1 + (*p - '1'))
                                                        : letter_key(*p));
        return pressed;
    }

    static uint8_t letter_key(char c)
    {
        static constexpr uint8_t letters[26] = {k_key_a, k_key_b, k_key_c, k_key_d, k_key_e, k_key_f, k_key_g,
                                                k_key_h, k_key_i, k_key_j, k_key_k, k_key_l, k_key_m, k_key_n,
                                                k_key_o, k_key_p, k_key_q, k_key_r, k_key_s, k_key_t, k_key_u,
                                                k_key_v, k_key_w, k_key_x, k_key_y, k_key_z};
        return letters[c - 'a'];
    }

    // With the chest open beside the inventory: a backpack item in hand across a quick save, a
    // chest item in hand across a quick load, and the backpack item in hand across a level change
    // to the yard; each goes back where it came from first, so no item is lost or doubled. The
    // quick load from the yard then brings the game back to the chest.
    void hold_items_across_saves_and_a_level_change()
    {
        const char_record& hero = g_chars[g_player_char];
        const int32_t entry = first_backpack_entry();
        const int32_t cell = chest_item_cell();
        ASSERT_GE(entry, 0);
        ASSERT_GE(cell, 0);
        const uint8_t slot = hero.inv_location[entry];
        const int16_t pack_item = hero.inv_item[entry], chest_item = int16_t(g_containers[0].items[cell]);
        const int pack_copies = visible_copies(pack_item), chest_copies = visible_copies(chest_item);
        const uint32_t entries = hero.inv_count;
        auto unchanged = [&](const char* when) {
            EXPECT_EQ(visible_copies(pack_item), pack_copies) << when;
            EXPECT_EQ(visible_copies(chest_item), chest_copies) << when;
            EXPECT_EQ(hero.inv_count, entries) << when;
            EXPECT_EQ(last_entry_at(slot), entry) << when;
            EXPECT_EQ(g_containers[0].items[cell], uint16_t(chest_item)) << when;
        };

        ASSERT_TRUE(step("the backpack item in hand", 60, [] { return holding_inventory_item(); },
                         click_code(slot)));
        ASSERT_TRUE(key_step("F5 with it in hand", 60, [] { return holding_nothing(); }, {k_key_f5}));
        EXPECT_TRUE(std::filesystem::exists("save/quick/game.ss"));
        unchanged("after F5");

        ASSERT_TRUE(step("the chest item in hand", 60, [] { return holding_container_item(); },
                         click_code(uint8_t(k_code_first_cell + cell))));
        const int32_t bar_x = int32_t(quick_bar_left()) + 33 + 16, bar_y = g_screen_height - 28;
        ASSERT_TRUE(step("the second quick slot's pull-down", 10, [] { return g_interface.quick_menu_slot == 1; },
                         [&](uint32_t) {
                             release_left();
                             inject_right_at(bar_x, bar_y, true);
                         }));
        ASSERT_TRUE(step("the right button let go", 10, [] { return !g_mouse_right; },
                         [](uint32_t) { inject_right_at(-1, -1, false); }));
        ASSERT_TRUE(key_step("F6 with it in hand", 60, [] { return holding_nothing(); }, {k_key_f6}));
        unchanged("after F6");
        // The load closed the chest's window and the pull-down whole.
        EXPECT_EQ(g_interface.container_open, 0u);
        EXPECT_EQ(g_interface.quick_menu_slot, -1);

        // The load entered the gate again, without a greeting; the hero walks where the ground is
        // clicked.
        ASSERT_TRUE(no_greeting("the load after F6"));
        const float from_x = hero_object()->x, from_y = hero_object()->y;
        EXPECT_TRUE(step("a walk after F6", 120,
                         [&] { return std::hypot(hero_object()->x - from_x, hero_object()->y - from_y) > 30.0f; },
                         click(screen_x(from_x - 120.0f), screen_y(from_y))));
        // The console's line is typed first (its Space closes the panels and puts a held item
        // away); the console is hidden for I to open the inventory again, then shown to run it.
        ASSERT_TRUE(key_step("the console line", 200,
                             [] { return std::strcmp(g_console_line, "load dedina01.sav_") == 0; },
                             console_typing("load dedina01.sav")))
            << g_console_line;
        ASSERT_TRUE(key_step("the inventory again", 60, [] { return g_console_shown && g_interface.side_panel_open; },
                             {k_key_grave, k_key_i, k_key_grave}));
        ASSERT_TRUE(step("the backpack item in hand again", 60, [] { return holding_inventory_item(); },
                         click_code(slot)));
        ASSERT_TRUE(key_step("to the yard with it in hand", 600,
                             [] { return std::strcmp(g_current_level, "dedina01.sav") == 0; }, {k_key_return}))
            << g_console_line;
        ASSERT_TRUE(key_step("the console hidden", 60, [] { return !g_console_shown; }, {k_key_grave}));
        EXPECT_TRUE(holding_nothing());
        EXPECT_EQ(hero.inv_count, entries) << "in the yard";
        EXPECT_EQ(last_entry_at(slot), entry) << "in the yard";

        // Back at the chest by the quick load once the yard's arrival text is closed.
        ASSERT_TRUE(step("the yard's arrival closed", 300, [] { return !g_dialogue_running; },
                         [](uint32_t n) { inject_key(k_key_space, n % 2 == 0); }));
        inject_key(k_key_space, false);
        ASSERT_TRUE(
            key_step("back by F6", 600, [] { return std::strcmp(g_current_level, "brana.sav") == 0; }, {k_key_f6}));
        ASSERT_TRUE(no_greeting("the load from the yard"));
        unchanged("back at the gate");
    }

    // ---- Death in a new game ----

    // One pass of a load from the menu: its load button, then on the load page the save's row and
    // the Load button; the left button let go on any other page.
    static void load_from_menu(const char* save, uint32_t n)
    {
        const game_interface& gi = g_interface;
        if (gi.overlay_screen == k_page_menu) {
            inject_left_at(512, 538, n % 2 == 0);  // load, pressed anew: the quit's press is used
        } else if (gi.overlay_screen == k_page_save_load) {
            const int32_t row = listed_at(save);
            if (row < 0)
                return;
            if (gi.selected_save != row)
                inject_left_at(200, 216 + 16 * (row - g_save_list_scroll), n % 2 == 0);
            else
                inject_left_at(580, 566, n % 2 == 0);
        } else {
            release_left();
        }
    }

    // From the running game the menu's quit leads to the title menu and a new game; there the
    // villager's task is taken again and its shop visited: Space, held as a player holds it,
    // ends the talk and leaves the shop open. Then the hero walks into the gate's bandits, takes
    // the sword out of the weapon slot once hit and falls without striking back. The death puts
    // the sword back and opens the menu, whose load brings back the save with its quick bar.
    void die_in_a_new_game_then_load(const char* save, const game_snapshot& saved)
    {
        new_game_input player;
        bool title_seen = false;
        ASSERT_TRUE(step("a new game", 6000, [&] { return title_seen && !g_no_game_running; },
                         [&](uint32_t n) {
                             if (g_no_game_running || title_seen) {  // from the title menu on
                                 title_seen = true;
                                 player(n);
                             } else if (!g_interface.menu_open) {
                                 inject_key(k_key_escape, n % 2 == 0);
                             } else {
                                 inject_left_at(512, 670, true);  // quit
                             }
                         }));
        ASSERT_TRUE(player.typed);
        ASSERT_STREQ(g_current_level, "brana.sav");
        inject_left_at(k_new_hero_start_x, k_new_hero_start_y, false);
        ASSERT_TRUE(pass_greeting_by_space("the new game's greeting"));

        const world_object* villager = villager_world_object();
        ASSERT_NE(villager, nullptr);
        ASSERT_TRUE(step("the shop", 900,
                         [] { return g_dialogue_running && g_interface.container_open && g_interface.container_id == 1; },
                         talk(screen_x(villager->x), screen_y(villager->y - 30.0f), {k_key_2, k_key_2, k_key_1})));
        ASSERT_TRUE(step("the talk ended by a held Space", 120,
                         [] { return !g_dialogue_running && !(g_key_state[k_key_space] & k_key_down_bit); },
                         [](uint32_t n) { inject_key(k_key_space, n < 8); }));
        EXPECT_TRUE(g_interface.side_panel_open && g_interface.container_open && g_interface.container_id == 1)
            << "the shop after the talk";
        ASSERT_TRUE(step("the shop closed", 60, [] { return !g_interface.side_panel_open; },
                         [](uint32_t n) { inject_key(k_key_escape, n < 4); }));

        const char_record& hero = g_chars[g_player_char];
        ASSERT_TRUE(step("the hero is hit", 12000, [&] { return hero.hp < hero.hp_max * 9 / 10; },
                         [](uint32_t n) {
                             if (g_dialogue_running) {
                                 inject_key(k_key_space, n % 2 == 0);
                                 return;
                             }
                             const int32_t enemy = live_enemy();
                             if (enemy < 0 || n % 60 >= 5)
                                 return;
                             const world_object* o = world_object_of(g_chars[enemy]);
                             inject_left_at(std::clamp(screen_x(o->x + 40.0f), 8, 1016),
                                            std::clamp(screen_y(o->y), 8, 760), n % 60 < 4);
                         }))
            << "live enemies: " << (live_enemy() >= 0);
        const bool opened = step("the inventory", 60, [] { return g_interface.side_panel_open != 0; },
                                 [](uint32_t n) { inject_key(k_key_i, n % 8 >= 4); });
        inject_key(k_key_i, false);
        ASSERT_TRUE(opened);
        ASSERT_TRUE(step("the sword out of the weapon slot", 60, [] { return held_item_id() == k_demo_sword; },
                         click_code(k_inv_weapon)));
        ASSERT_TRUE(step("the hero falls", 12000, [&] { return hero.hp <= 0; }));
        ASSERT_TRUE(step("the death opens the menu", 600,
                         [] { return g_interface.menu_open && g_interface.overlay_screen == k_page_menu; },
                         [](uint32_t) { release_left(); }))
            << "menu " << g_interface.menu_open << " page " << int(g_interface.overlay_screen);
        EXPECT_TRUE(holding_nothing()) << "the dead hero";
        EXPECT_EQ(count_entries(k_demo_sword, k_inv_weapon), 1) << "the dead hero's sword";
        ASSERT_TRUE(step("the death menu's load", 1200,
                         [] { return g_chars[g_player_char].life == k_life_alive && !g_interface.menu_open; },
                         [save](uint32_t n) { load_from_menu(save, n); }));
        EXPECT_EQ(take_snapshot(), saved);
    }

    // Keeps the names of the shell's pending steps the last frames ran and empties the trace.
    void note_pending_steps()
    {
        constexpr std::string_view pending = " (pending)";
        for (const std::string& t : trace_)
            if (t.ends_with(pending))
                pending_.insert(t);
        trace_.clear();
    }

    std::vector<std::string> trace_;
    std::set<std::string> pending_;
    std::function<void(uint32_t)> act_;
    uint32_t pass_ = 0, step_start_ = 0;
    uint32_t frames_ = 0;
};

TEST_F(play_through_test, FromTheMainMenuToAReloadedSave)
{
    g_front_end = run_front_end;
    g_shell_trace = &trace_;
    reset_hook_skip_log();  // every hook the run skips is logged once again
    input_script script([this](uint32_t pass) {
        pass_ = pass;
        if (act_)
            act_(pass - step_start_);
    });

    // 1. The splash plays out; Esc skips the intro; the menu shows with no game running.
    // 2. The menu's first button opens the new-hero screen; the name is typed; Start.
    new_game_input player;
    act_ = [&player](uint32_t pass) { player(pass); };
    const bool started = program_startup("console");
    note_pending_steps();
    act_ = nullptr;
    ASSERT_TRUE(started);
    EXPECT_TRUE(player.intro_skipped) << "splash and intro";
    EXPECT_TRUE(player.menu_without_game) << "the menu";
    ASSERT_TRUE(player.typed) << "the new hero: " << g_chars[0].display_name;
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
                             inject_left_at(k_new_hero_start_x, k_new_hero_start_y, false);
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
    ASSERT_TRUE(step("to the yard", 600, [] { return std::strcmp(g_current_level, "dedina01.sav") == 0; },
                     talk(-1, -1, {k_key_2})));
    ASSERT_TRUE(step("the yard's arrival", 300, [] { return !g_dialogue_running; }, talk(-1, -1, {k_key_space})));
    ASSERT_TRUE(step("back to the gate", 900, [] { return std::strcmp(g_current_level, "brana.sav") == 0; },
                     towards(k_east, k_south)));
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

    // 6. Clicks towards the chest's crate, then on it, open the chest; the sword's cell goes into the backpack,
    // from there onto the hero, who wields it (the old weapon back into the backpack).
    const container& chest = g_containers[0];
    constexpr uint32_t k_sword_cell = 8;
    const int16_t sword = int16_t(chest.items[k_sword_cell]);
    ASSERT_GE(sword, 0);
    const int entries = g_chars[g_player_char].inv_count;
    ASSERT_TRUE(step("the chest opens", 1500,
                     [] { return g_interface.container_open && g_interface.container_id == 0; },
                     [](uint32_t n) {
                         const int32_t x = screen_x(900.0f), y = screen_y(612.0f);
                         if (n % 60 < 5)
                             inject_left_at(std::clamp(x, 8, 1016), std::clamp(y, 8, 760), n % 60 < 4);
                     }))
        << "hero at " << hero_object()->x << "," << hero_object()->y;
    ASSERT_TRUE(step("the sword taken", 60, [&] { return g_interface.held_item == sword; },
                     click_code(uint8_t(100 + k_sword_cell))));
    EXPECT_EQ(chest.items[k_sword_cell], 0xFFFF) << "the sword's cell";
    const int32_t pack = free_backpack_location();
    ASSERT_GE(pack, 0);
    ASSERT_TRUE(step("the sword in the backpack", 60, [&] { return count_entries(sword, uint8_t(pack)) == 1; },
                     click_code(uint8_t(pack))));
    ASSERT_TRUE(step("the sword held again", 60, [] { return g_interface.held_item >= 0; },
                     click_code(uint8_t(pack))));
    ASSERT_TRUE(step("the sword wielded", 60, [&] { return count_entries(sword, k_inv_weapon) == 1; },
                     click_code(k_code_hero)));
    if (g_interface.held_item >= 0) {  // the weapon it replaced
        const int32_t free = free_backpack_location();
        ASSERT_TRUE(step("the old weapon put away", 60, [] { return g_interface.held_item < 0; },
                         click_code(uint8_t(free))));
    }
    EXPECT_EQ(g_chars[g_player_char].inv_count, entries + 1) << "the chest's sword";
    hold_items_across_saves_and_a_level_change();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(step("the chest closed", 60, [] { return !g_interface.side_panel_open; },
                     [](uint32_t n) { inject_key(k_key_escape, n < 4); }));

    // 8 again, on foot: the gate's north-west corner leads to the yard, the yard's south-east
    // corner back; the group is still dead.
    ASSERT_TRUE(step("on foot to the yard", 1500, [] { return std::strcmp(g_current_level, "dedina01.sav") == 0; },
                     towards(k_west, k_north)));
    ASSERT_TRUE(step("on foot back to the gate", 1500, [] { return std::strcmp(g_current_level, "brana.sav") == 0; },
                     towards(k_east, k_south)));
    EXPECT_LT(live_enemy(), 0) << "the group after the trip";
    // No greeting holds the hero: the walk's last click, still down, sends it on; a click at the
    // entry brings it back where the blows below are measured.
    release_left();
    ASSERT_TRUE(no_greeting("the gate entered again"));
    const float entry_x = g_scene_header.entry_x[0], entry_y = g_scene_header.entry_y[0];
    ASSERT_TRUE(step("back at the entry", 600,
                     [&] {
                         return std::hypot(hero_object()->x - entry_x, hero_object()->y - entry_y) <= 32.0f &&
                                g_chars[g_player_char].state == 0;
                     },
                     [&](uint32_t n) {
                         if (n % 60 < 5)
                             inject_left_at(screen_x(entry_x), screen_y(entry_y), n % 60 < 4);
                     }));
    release_left();

    // --- Blows by weapon: the dagger and the two-handed battle axe from the backpack, each held
    // to the right button on open ground; the dagger's blows come faster by the ratio of the two
    // attack speeds. The sword is wielded again after them.
    {
        const double dagger_ms = ms_per_blow(k_demo_dagger);
        const float dagger_speed = char_attack_speed(&g_chars[g_player_char]);
        const double axe_ms = ms_per_blow(k_demo_axe);
        const float axe_speed = char_attack_speed(&g_chars[g_player_char]);
        ASSERT_GT(dagger_ms, 0.0) << "the dagger's blows";
        ASSERT_GT(axe_ms, 0.0) << "the axe's blows";
        std::printf("play-through: %.1f ms a blow with the dagger (attack speed %.2f), %.1f with the axe (%.2f)\n",
                    dagger_ms, double(dagger_speed), axe_ms, double(axe_speed));
        EXPECT_LT(dagger_ms, axe_ms);
        const double expected = double(axe_speed) / double(dagger_speed);
        EXPECT_NEAR(axe_ms / dagger_ms, expected, 0.1 * expected);
        ASSERT_TRUE(wield_from_backpack(k_demo_sword));
    }

    // 7. Talked to again: the greeting knows the bandits are dead and goes on with Space; the
    // question menu's second question ("The bandits are gone.") brings the reward: the quest is
    // completed, its experience and 100 gold arrive.
    const int32_t gold_before = g_chars[g_player_char].gold, exp_after_fight = g_chars[g_player_char].exp;
    villager_object = villager_world_object();  // the gate was entered again
    ASSERT_NE(villager_object, nullptr);
    std::string greeting;
    ASSERT_TRUE(step("the report", 900,
                     [&] {
                         if (greeting.empty() && std::strstr(g_dialogue_window.name, "/start"))
                             greeting = dialogue_words();
                         return g_quests[quest].completed == 1u && g_chars[g_player_char].gold != gold_before;
                     },
                     talk(screen_x(villager_object->x), screen_y(villager_object->y - 30.0f), {k_key_space, k_key_2})));
    EXPECT_NE(greeting.find("The bandits are quiet."), std::string::npos) << greeting;
    EXPECT_EQ(g_chars[g_player_char].gold, gold_before + 100) << "the reward";
    EXPECT_GT(g_chars[g_player_char].exp, exp_after_fight) << "the reward";

    // Space takes the reward window's single option, which ends the talk.
    ASSERT_TRUE(step("the farewell", 300, [] { return !g_dialogue_running; }, talk(-1, -1, {k_key_space})));

    // Talked to once more, the villager offers no second reward.
    const int32_t gold_rewarded = g_chars[g_player_char].gold;
    ASSERT_TRUE(step("the second report", 900, [] { return g_dialogue_running != 0; },
                     talk(screen_x(villager_object->x), screen_y(villager_object->y - 30.0f), {})));
    // Every window's last option, by its number key (the question menu's is "leave") or, when it
    // is the only one, by Space; the talk is over once no window shows for 30 frames.
    uint32_t closed_frames = 0;
    ASSERT_TRUE(step("the second report's end", 900,
                     [&] {
                         closed_frames = g_dialogue_running ? 0 : closed_frames + 1;
                         return closed_frames > 30;
                     },
                     [held = uint8_t(0)](uint32_t n) mutable {
                         release_left();  // the click that began the talk is over
                         if (held) {
                             inject_key(held, false);
                             held = 0;
                             return;
                         }
                         const text_window& w = g_dialogue_window;
                         if (!g_dialogue_running || n % 20 != 0 || w.first_pass || w.link_count == 0)
                             return;
                         held = w.link_count > 1 ? uint8_t(k_key_1 + w.link_count - 1) : uint8_t(k_key_space);
                         inject_key(held, true);
                     }))
        << g_dialogue_window.name << " links " << int(g_dialogue_window.link_count);
    EXPECT_EQ(g_chars[g_player_char].gold, gold_rewarded) << "the reward arrives once";

    // 9. Esc opens the menu; its save button saves under the automatic name, which is listed.
    ASSERT_TRUE(step("the menu", 60, [] { return g_interface.menu_open && g_interface.overlay_screen == k_page_menu; },
                     [](uint32_t n) { inject_key(k_key_escape, n % 8 < 4); }))
        << "panels " << g_interface.side_panel_open << g_interface.character_panel_open
        << g_interface.attunement_panel_open << g_interface.quest_log_open << " dialogue " << g_dialogue_running;
    const int16_t saves_before = g_save_list.count;
    char expected_name[k_save_name_size];
    make_automatic_save_name(expected_name, sizeof expected_name);
    g_saved_snapshot = {};
    g_save_file_written = snapshot_on_hero_file;
    const bool saved = step("the save", 300, [] { return !g_saved_snapshot.level.empty() && !g_interface.menu_open; },
                            [](uint32_t n) { inject_left_at(512, 571, n >= 4); });  // up first: a new press
    g_save_file_written = nullptr;
    ASSERT_TRUE(saved) << "dialogue " << g_dialogue_running << ", combat " << int(g_in_combat);
    ASSERT_TRUE(step("the button let go", 30, [] { return !g_mouse_left; },
                     [](uint32_t) { release_left(); }));
    ASSERT_GE(g_save_list.count, saves_before);
    ASSERT_GE(listed_at(expected_name), 0) << "the save is listed";
    const game_snapshot saved_game = g_saved_snapshot;
    EXPECT_EQ(saved_game.level, "brana.sav");
    EXPECT_EQ(saved_game.live_enemies, 0) << saved_game;

    // 10. The menu's quit brings back the front end; its load button, the save's row and Load
    // restore the game as it was saved.
    bool front_end_seen = false;
    ASSERT_TRUE(step("quit and load", 3000, [&] { return front_end_seen && !g_no_game_running; },
                     [&](uint32_t n) {
                         const game_interface& gi = g_interface;
                         if (g_no_game_running)
                             front_end_seen = true;
                         if (!g_no_game_running) {  // the game: Esc, then the quit button held
                             if (!gi.menu_open)
                                 inject_key(k_key_escape, n % 2 == 0);
                             else
                                 inject_left_at(512, 670, true);
                         } else if (g_intro_slides.active && g_intro_slides.state != k_slide_fade_out) {
                             inject_key(k_key_escape, n % 2 == 0);
                         } else if (g_splash.state == k_splash_done) {
                             load_from_menu(expected_name, n);
                         } else {
                             release_left();
                         }
                     }));
    EXPECT_EQ(take_snapshot(), saved_game);
    die_in_a_new_game_then_load(expected_name, saved_game);
    if (HasFatalFailure())
        return;

    std::printf("play-through: %u start-up passes, %u frames\n", start_passes, frames_);
    g_quit = 1;
    program_shutdown(true);
    note_pending_steps();
    EXPECT_TRUE(pending_.empty()) << *pending_.begin();
    // Every hook the play-through needed was filled.
    const std::string log = read_text(k_console_log_file);
    EXPECT_NE(log.find("load ok"), std::string::npos);
    EXPECT_EQ(log.find("nie je, preskakujem"), std::string::npos) << log;

    // 11. The save list damaged between two runs: the next run starts in the yard, where F5
    // saves; every earlier save stays listed and loads.
    const std::vector<std::string> earlier(g_save_list.names, g_save_list.names + g_save_list.count);
    ASSERT_GE(earlier.size(), 3u);
    std::filesystem::resize_file("save/save.dat", 20);
    close_main_window();  // as a new process starts: no window, talk, item table or list
    g_quit = g_dialogue_running = 0;
    g_item_proto_count = 0;
    g_save_list.count = 0;
    ASSERT_TRUE(program_startup("dedina01.sav console"));
    ASSERT_TRUE(step("the yard's arrival again", 300, [] { return !g_dialogue_running; }, talk(-1, -1, {k_key_space})));
    const auto quick_time = std::filesystem::last_write_time("save/quick/game.ss");
    ASSERT_TRUE(key_step("F5 in the yard", 120,
                         [&] { return std::filesystem::last_write_time("save/quick/game.ss") != quick_time; },
                         {k_key_f5}));
    for (const std::string& name : earlier) {
        EXPECT_GE(listed_at(name.c_str()), 0) << name;
        EXPECT_TRUE(load_game(&g_save_list, name.c_str())) << name;
    }
    g_quit = 1;
    program_shutdown(true);
}

} // namespace
