#include "tools/tour/screen_tour.h"

#include "characters/char_damage.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/settings.h"
#include "interface/credits.h"
#include "interface/endings.h"
#include "interface/front_end.h"
#include "interface/interface_state.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "level/level_change.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "script/dialogues.h"
#include "script/map_texts.h"
#include "script/text_window.h"
#include "shell/console_commands.h"
#include "shell/program.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// A stop of the tour: once `ready` has held for `settle` ticks the screen is seen (a step
// without a name is a stop on the way), then `inputs` run one a pass and `then` runs in the main
// loop between two frames.
struct tour_step {
    std::string name;
    std::function<bool()> ready;
    uint32_t settle;
    std::vector<std::function<void()>> inputs;
    std::function<void()> then;
};

constexpr uint32_t k_pass_bound = 3000;  // passes a screen may take to come up

void key(uint8_t code, bool down)
{
    input_event e{input_event_kind::key};
    e.code = code;
    e.down = down;
    input_inject(e);
}

void pointer(int32_t x, int32_t y)
{
    input_event e{input_event_kind::mouse_move};
    e.x = x;
    e.y = y;
    input_inject(e);
}

void button(uint8_t code, bool down)
{
    input_event e{input_event_kind::mouse_button};
    e.code = code;
    e.down = down;
    input_inject(e);
}

void left(bool down)
{
    button(0, down);
}

// A key pressed in one pass and let go in the next.
std::vector<std::function<void()>> tap(uint8_t code)
{
    return {[code] { key(code, true); }, [code] { key(code, false); }};
}

std::vector<std::function<void()>> taps(std::initializer_list<uint8_t> codes)
{
    std::vector<std::function<void()>> out;
    for (uint8_t c : codes)
        for (auto& f : tap(c))
            out.push_back(f);
    return out;
}

// The left button pressed at a screen pixel; the tour lets it go once the next screen is up.
std::vector<std::function<void()>> press(int32_t x, int32_t y)
{
    return {[x, y] {
        pointer(x, y);
        left(true);
    }};
}

// The left button pressed over a world point as the camera shows it then; the tour lets it go
// once the next screen is up.
std::vector<std::function<void()>> press_world(float x, float y)
{
    return {[x, y] {
        pointer(g_view_x + int32_t((x - g_camera_x) * g_zoom), g_view_y + int32_t((y - g_camera_y) * g_zoom));
        left(true);
    }};
}

// The left button pressed and let go at a screen pixel, held for a few passes so that a page
// that reads its clicks every 3 ticks sees it.
std::vector<std::function<void()>> click(int32_t x, int32_t y)
{
    std::vector<std::function<void()>> out = press(x, y);
    for (int i = 0; i < 6; ++i)
        out.push_back([] {});
    out.push_back([] { left(false); });
    out.push_back([] {});
    return out;
}

std::vector<std::function<void()>> join(std::vector<std::function<void()>> a,
                                        const std::vector<std::function<void()>>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const game_interface& ui()
{
    return g_interface;
}

bool playing()
{
    return g_no_game_running == 0 && g_travel_map_running == 0;
}

bool menu_page(uint8_t page)
{
    return ui().menu_open && ui().overlay_screen == page && g_menu_alpha >= 1.0f;
}

// A slide show past its fade-in and before its fade-out.
bool showing(uint32_t slide_state)
{
    return slide_state != k_slide_fade_in && slide_state != k_slide_fade_out;
}

bool in_world()
{
    return playing() && !ui().menu_open && !g_dialogue_running && !ui().side_panel_open &&
           !ui().character_panel_open && !ui().quest_log_open && !ui().attunement_panel_open &&
           !ui().attunement_select_open;
}

int32_t half_width()
{
    return g_screen_width / 2;
}

int32_t half_height()
{
    return g_screen_height / 2;
}

// The framed pages' origin: a 768-pixel-wide page centred on the screen.
int32_t page_x()
{
    return (g_screen_width - 768) / 2;
}

int32_t page_y(int32_t height)
{
    return (g_screen_height - height) / 2;
}

int32_t find_char(const char* key)
{
    for (uint32_t i = 0; i < g_char_count; ++i)
        if (strcasecmp(g_chars[i].name, key) == 0)
            return int32_t(i);
    return -1;
}

// As the map events start a dialogue by its folder name.
void start_dialogue_folder(const char* name)
{
    std::snprintf(g_dialogue_window.requested_file, sizeof g_dialogue_window.requested_file,
                  "data/dialogs/%s/%s/0.txt", g_language, name);
    g_dialogue_window.name[0] = '\0';
    g_dialogue_window.dialogue_record_mode = 0;
    g_dialogue_running = 1;
}

std::vector<tour_step> make_steps()
{
    const int32_t w2 = half_width(), h2 = half_height();
    std::vector<tour_step> s;
    s.push_back({"splash", [] { return g_splash.state == k_splash_hold_first; }, 5, {}, nullptr});
    s.push_back({"intro",
                 [] { return g_intro_slides.active && showing(g_intro_slides.state); }, 40, tap(k_key_escape), nullptr});
    s.push_back({"title_menu",
                 [] { return !g_intro_slides.active && g_no_game_running && menu_page(k_page_menu); }, 10,
                 press(w2 - 5, h2 + 250), nullptr});
    s.push_back({"credits", [] { return g_credits.active != 0; }, 150, tap(k_key_escape),
                 nullptr});
    s.push_back({"", [] { return !g_credits.active && g_no_game_running && menu_page(k_page_menu); }, 10,
                 press(w2, h2 + 114), nullptr});
    s.push_back({"new_hero", [] { return ui().menu_open && ui().overlay_screen == k_page_new_hero; }, 20,
                 click(802, 622), nullptr});
    s.push_back({"greeting", [] { return playing() && g_dialogue_running && g_dialogue_window.link_count > 0; },
                 80, taps({k_key_space, k_key_space}), nullptr});
    // The gate with the HUD, then every panel the keys open, one after the other.
    s.push_back({"gate", in_world, 30, {}, nullptr});
    // The notice of skill points to spend, "+" at the top right, explains itself under the pointer.
    s.back().inputs = {[] { pointer(g_screen_width - 32, 64); }};
    s.push_back({"points_notice", [] { return in_world() && g_message_shown != 0; }, 10, {}, nullptr});
    // The statue described at length while the right button is held over it.
    s.back().inputs = {[] {
        pointer(g_view_x + int32_t((790.0f - g_camera_x) * g_zoom), g_view_y + int32_t((680.0f - g_camera_y) * g_zoom));
        button(1, true);
    }};
    s.push_back({"statue", [] { return in_world() && g_message_shown != 0 && g_message_window.y2 - g_message_window.y1 > 50; },
                 10, {}, nullptr});
    s.back().inputs = join({[] { button(1, false); }}, join(tap(k_key_i), {[] { pointer(38, 369); }}));
    s.push_back({"inventory", [] { return ui().side_panel_open && ui().side_panel_page == 2; }, 20,
                 taps({k_key_space, k_key_c}), nullptr});
    s.push_back({"character", [] { return ui().character_panel_open != 0; }, 20, taps({k_key_space, k_key_s}),
                 nullptr});
    s.push_back({"skills", [] { return ui().side_panel_open && ui().side_panel_page == 3; }, 20,
                 taps({k_key_space, k_key_q}), nullptr});
    s.push_back({"quests", [] { return ui().quest_log_open != 0; }, 20, taps({k_key_space, k_key_a}), nullptr});
    // A click on the shrine.
    s.push_back({"attunements", [] { return ui().attunement_panel_open != 0; }, 20,
                 join(tap(k_key_space), press_world(120.0f, 520.0f)), nullptr});
    // The first learned attunement chosen: it moves into the first slot on the right.
    s.push_back({"", [] { return ui().attunement_select_open != 0; }, 20, click(w2 - 300 + 60, h2 - 200 + 63), nullptr});
    s.push_back({"attunement_selection",
                 [] { return ui().attunement_select_open != 0 && g_chars[g_player_char].active_attunement_count > 0; },
                 20, {}, [] { g_interface.attunement_select_open = 0; }});
    s.push_back({"message_log", [] { return in_world() && g_message_log.window_shown; }, 10, {}, [] {
                     const int32_t villager = find_char("villager");
                     if (villager >= 0)
                         run_char_event(villager, 0);
                 }});
    s.push_back({"dialogue", [] { return g_dialogue_running && g_dialogue_window.link_count > 1; }, 30,
                 {}, [] {
                     reset_text_window(&g_dialogue_window);  // the talk ends here
                     g_dialogue_running = 0;
                 }});
    s.push_back({"", [] { return !g_dialogue_running; }, 10, press_world(600.0f, 290.0f), nullptr});
    // The hero walks to the signpost and keeps reading it there.
    s.push_back({"signpost", [] { return g_message_shown != 0; }, 40, {}, [] {
                     g_interface.container_open = 1;
                     g_interface.container_id = 0;
                     g_interface.side_panel_open = 1;
                     g_interface.side_panel_page = 2;
                 }});
    s.push_back({"chest", [] { return ui().side_panel_open && ui().container_open && ui().container_id == 0; }, 20,
                 tap(k_key_space), [] { start_dialogue_folder("villager_task"); }});
    s.push_back({"", [] { return g_dialogue_running && g_dialogue_window.link_count > 1; }, 10, tap(k_key_1),
                 nullptr});
    s.push_back({"", [] { return ui().container_id == 1 && g_dialogue_running; }, 20, tap(k_key_space), nullptr});
    // The panels stay hidden while the villager talks: the shop shows once the talk ends.
    s.push_back({"shop",
                 [] { return !g_dialogue_running && ui().side_panel_open && ui().container_open && ui().container_id == 1; },
                 20, tap(k_key_space), nullptr});
    // The fight at the gate is over before the hero saves: the enemies stand still.
    s.push_back({"", [] { return in_world(); }, 10, tap(k_key_escape), [] { g_editor.ai_on = 0; }});
    // The menu, its save, the load page with the new save chosen, the settings.
    s.push_back({"menu", [] { return playing() && menu_page(k_page_menu); }, 10, press(w2, h2 + 187), nullptr});
    s.push_back({"saved", [] { return in_world(); }, 30, tap(k_key_escape), [] { g_editor.ai_on = 1; }});
    s.push_back({"", [] { return playing() && menu_page(k_page_menu); }, 10, press(w2, h2 + 155), nullptr});
    s.push_back({"", [] { return ui().menu_open && ui().overlay_screen == k_page_save_load; }, 10,
                 click(page_x() + 80, page_y(448) + 56), nullptr});
    s.push_back({"load", [] { return ui().overlay_screen == k_page_save_load && ui().selected_save >= 0; }, 10,
                 click(page_x() + 690, page_y(448) + 410), nullptr});
    s.push_back({"", [] { return playing() && menu_page(k_page_menu); }, 10, press(w2, h2 + 220), nullptr});
    s.push_back({"settings", [] { return ui().menu_open && ui().overlay_screen == k_page_settings; }, 20,
                 click(page_x() + 674, page_y(448) + 406), nullptr});
    s.push_back({"", [] { return playing() && menu_page(k_page_menu); }, 10, tap(k_key_escape), nullptr});
    // The travel map, left by its gate; a chapter show.
    s.push_back({"", in_world, 10, {}, [] { request_level_change("worldmap", 0); }});
    s.push_back({"travel_map", [] { return g_travel_map_running != 0; }, 40, click(102, 96), nullptr});
    s.push_back({"", [] { return playing() && g_dialogue_running && g_dialogue_window.link_count > 0; }, 10,
                 taps({k_key_space, k_key_space}), nullptr});  // the gate greets the hero again
    s.push_back({"", in_world, 20, {}, [] { run_console_command_table("slide data/slides/chapter1.txt"); }});
    s.push_back({"chapter", [] { return g_chapter_slides_running && showing(g_chapter_slides.state); }, 40, tap(k_key_escape), nullptr});
    // Death, and a load of the tour's save from the menu it opens.
    s.push_back({"", in_world, 20, {}, [] {
                     char_record& hero = g_chars[g_player_char];
                     apply_effect_damage(&hero, hero.hp + 1000, 0, -1);
                 }});
    s.push_back({"death", [] { return playing() && g_chars[g_player_char].hp <= 0 && menu_page(k_page_menu); }, 10,
                 press(w2, h2 + 155), nullptr});
    s.push_back({"", [] { return ui().menu_open && ui().overlay_screen == k_page_save_load; }, 10,
                 click(page_x() + 80, page_y(448) + 56), nullptr});
    s.push_back({"", [] { return ui().overlay_screen == k_page_save_load && ui().selected_save >= 0; }, 10,
                 click(page_x() + 470, page_y(448) + 410), nullptr});
    s.push_back({"", [] { return playing() && g_dialogue_running && g_dialogue_window.link_count > 0; }, 10,
                 taps({k_key_space, k_key_space}), nullptr});  // the loaded gate's greeting
    // The road home: the epilogue and the ending, in which the tour closes the window.
    // The road home's text, as a click on its patch shows it.
    s.push_back({"", [] { return in_world() && g_chars[g_player_char].hp > 0; }, 20, {}, [] {
                     reset_text_window(&g_message_window);
                     show_map_text_by_key("outro");
                 }});
    s.push_back({"epilogue", [] { return g_epilogue_slides.active && showing(g_epilogue_slides.state); }, 40, tap(k_key_escape), nullptr});
    s.push_back({"ending", [] { return g_ending.phase != 0 && std::strncmp(g_current_level, "final", 5) == 0; }, 60,
                 {}, nullptr});
    return s;
}

class tour_machine {
public:
    explicit tour_machine(const tour_watch& watch) : watch_(watch) {}

    void pass()
    {
        if (steps_.empty())
            steps_ = make_steps();  // once the window has its size
        bool seen = false;
        if (index_ < steps_.size() && !failed_)
            seen = step();
        if (!seen && watch_.passed)
            watch_.passed();
    }

    bool done() const { return !steps_.empty() && index_ >= steps_.size(); }
    bool failed() const { return failed_; }
    const std::string& failure() const { return failure_; }
    std::function<void()> take_action()
    {
        std::function<void()> f;
        f.swap(action_);
        return f;
    }

private:
    // One pass of the current step; true when its screen was seen in this pass.
    bool step()
    {
        tour_step& s = steps_[index_];
        if (!acting_) {
            if (!s.ready()) {
                ready_since_.reset();
                if (std::getenv("ZORV_TOUR_TRACE") && waited_ % 500 == 0)
                    std::fprintf(stderr, "tour: waiting for step %zu, tick %u, menu %u/%u, dialogue %u, panels %u%u%u%u%u, "
                                 "no game %u, map %u, hp %d, level %s, file %s, splash %u, intro %u/%u, menu alpha %.2f next %u\n", index_, g_ticks, ui().menu_open, ui().overlay_screen,
                                 g_dialogue_running, ui().side_panel_open, ui().character_panel_open,
                                 ui().quest_log_open, ui().attunement_panel_open, ui().attunement_select_open,
                                 g_no_game_running, g_travel_map_running, int(g_chars[g_player_char].hp), g_current_level, g_dialogue_window.requested_file,
                                 g_splash.state, g_intro_slides.active, g_intro_slides.state, double(g_menu_alpha), g_menu_next_tick);
                if (++waited_ > k_pass_bound) {
                    failed_ = true;
                    failure_ = s.name.empty() ? "the way after " + last_name_ : s.name;
                    input_inject({input_event_kind::close});
                }
                return false;
            }
            if (!ready_since_) {
                ready_since_ = g_ticks;
                left(false);  // a button pressed to get here is let go
            }
            if (g_ticks - *ready_since_ < s.settle)
                return false;
            acting_ = true;
            input_ = 0;
            if (std::getenv("ZORV_TOUR_TRACE"))
                std::fprintf(stderr, "tour: step %zu %s at tick %u\n", index_, s.name.c_str(), g_ticks);
            if (!s.name.empty()) {
                last_name_ = s.name;
                if (watch_.seen)
                    watch_.seen(s.name);
                return true;
            }
            return false;
        }
        if (input_ < s.inputs.size()) {
            s.inputs[input_++]();
            return false;
        }
        action_ = s.then;
        acting_ = false;
        ready_since_.reset();
        waited_ = 0;
        if (++index_ == steps_.size())
            input_inject({input_event_kind::close});
        return false;
    }

    tour_watch watch_;
    std::vector<tour_step> steps_;
    size_t index_ = 0, input_ = 0;
    bool acting_ = false, failed_ = false;
    std::optional<uint32_t> ready_since_;
    uint32_t waited_ = 0;
    std::string failure_, last_name_ = "the start";
    std::function<void()> action_;
};

} // namespace

const std::vector<std::string>& tour_screen_names()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const tour_step& s : make_steps())
            if (!s.name.empty())
                out.push_back(s.name);
        return out;
    }();
    return names;
}

bool run_screen_tour(const tour_watch& watch, std::string& failure)
{
    clock_use_manual(true);
    clock_set_manual(1000);
    clock_set_manual_step(16);
    tour_machine machine(watch);
    input_set_script([&machine](uint32_t) { machine.pass(); });
    const bool started = program_startup("zorv");
    bool running = started;
    while (running && !machine.done() && !machine.failed()) {
        running = program_frame();
        if (std::function<void()> action = machine.take_action())
            action();
    }
    // The ending returns to the title menu: the last frames run there until the window closes.
    while (running)
        running = program_frame();
    program_shutdown(started);
    input_set_script(nullptr);
    clock_set_manual_step(0);
    clock_use_manual(false);
    if (!started)
        failure = "start-up";
    else if (!machine.done())
        failure = machine.failed() ? machine.failure() : "the window closed before the end";
    return started && machine.done();
}
