#include "interface/settings_screen.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/overlay_page.h"
#include "interface/panel_toggles.h"
#include "items/items.h"
#include "script/script_services.h"
#include "world/dream_world.h"
#include "world/game_clock.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

uint32_t g_settings_slider_drag[k_settings_sliders] = {};

namespace {

constexpr int32_t k_page_height = 448;
constexpr uint32_t k_white = 0xFFFFFF;
constexpr uint32_t k_grey = 0xC8C8C8;  // red, green and blue 200
constexpr int32_t k_mirrored = 2;
constexpr uint8_t k_page_graphics = 2, k_page_sound = 3, k_page_developer = 4;

// The images' places in g_interface.settings_images.
enum settings_image : int {
    s_game, s_game_lit, s_sound, s_sound_lit, s_graphics, s_graphics_lit, s_bar_middle, s_bar_end, s_knob,
    s_box, s_box_on
};

// A slider's knob runs over 330 pixels from x 50 of the page; the bar's box is open.
constexpr float k_bar_left = 50.0f, k_bar_right = 380.0f;
constexpr int32_t k_bar_length = 330;
constexpr int32_t k_gamma_centre = 165;  // the knob offset of gamma 0
// Knob pixels per volume unit: the single-precision 3.3, a little below 3.3, in double-precision
// arithmetic, so that 100 lies just below 330 and shows at 329.
constexpr double k_volume_step = double(3.3f);

int32_t volume_knob(int32_t volume)
{
    return int32_t(double(volume) * k_volume_step);
}

int32_t knob_volume(int32_t knob)
{
    return int32_t(double(knob) / k_volume_step);
}

// The page's texts, drawn in the large font at their top-left points over the page's images.
class page_texts {
public:
    explicit page_texts(const overlay_origin& o) : o_(o) {}
    void add(float x, float y, std::string text, uint32_t colour) { texts_.push_back({x, y, std::move(text), colour}); }
    // A text that is white while the cursor lies in its box and grey otherwise; true when it does.
    bool add_hovered(float x, float y, std::string text, float x1, float y1, float x2, float y2)
    {
        const bool over = overlay_cursor_in(o_, x1, y1, x2, y2);
        add(x, y, std::move(text), over ? k_white : k_grey);
        return over;
    }
    void draw() const
    {
        if (texts_.empty())
            return;
        font_begin(&g_font_large);
        for (const entry& t : texts_)
            font_text_out(&g_font_large, int32_t(o_.x + t.x), int32_t(o_.y + t.y), t.text.c_str(), t.colour);
        font_end(&g_font_large);
    }

private:
    struct entry {
        float x, y;
        std::string text;
        uint32_t colour;
    };
    overlay_origin o_;
    std::vector<entry> texts_;
};

bool latched_press(bool over)
{
    return overlay_latched_press(over, g_mouse_left, g_interface.overlay_click_latch);
}

// A tab button centred at (66, y) of the panel, drawn mirrored; while hovered it is lit, shows
// its tooltip and a left press opens its page.
void run_tab(const overlay_origin& o, settings_image image, float y, uint8_t page, int tooltip)
{
    const bool over = overlay_cursor_in(o, 34.0f, y - 32.0f, 98.0f, y + 32.0f);
    draw_overlay_image(o, g_interface.settings_images[image + (over ? 1 : 0)], 66.0f, y, k_mirrored);
    if (!over)
        return;
    if (g_mouse_left)
        g_interface.settings_page = page;
    const char* text = ui_text(tooltip);
    char markup[256];
    std::snprintf(markup, sizeof markup, "^window 10 0 %d 30  ^mouse_center ^gl_a 0.6 %s",
                  font_measure_text(&g_font_large, text) + 80, text);
    show_text_message(markup);
}

// The slider on row y: its drag flag follows the left button, and while it is set with the
// cursor over the bar's width the knob offset under the cursor (0 to 329) is returned; else -1.
int32_t drag_slider(const overlay_origin& p, settings_slider slider, float y)
{
    uint32_t& drag = g_settings_slider_drag[slider];
    const float x = g_mouse_screen_x - p.x, cursor_y = g_mouse_screen_y - p.y;
    const bool over_width = x > k_bar_left && x < k_bar_right;
    if (!g_mouse_left)
        drag = 0;
    else if (over_width && cursor_y > y - 8.0f && cursor_y < y + 8.0f)
        drag = 1;
    if (!drag || !over_width)
        return -1;
    return int32_t(std::floor(g_mouse_screen_x)) - int32_t(p.x + k_bar_left);
}

// The bar's end pieces, its 20 middle pieces and the knob, which stays on the bar whatever the
// stored value.
void draw_slider(const overlay_origin& p, float y, int64_t knob)
{
    const uint16_t* images = g_interface.settings_images;
    draw_overlay_image(p, images[s_bar_end], k_bar_left, y);
    for (int i = 0; i < 20; ++i)
        draw_overlay_image(p, images[s_bar_middle], float(58 + 16 * i), y);
    draw_overlay_image(p, images[s_bar_end], 378.0f, y, k_mirrored);
    draw_overlay_image(p, images[s_knob], k_bar_left + float(std::clamp<int64_t>(knob, 0, k_bar_length)), y);
}

// A volume slider on row y: dragging stores the volume under the knob; true when it did.
bool run_volume_slider(const overlay_origin& p, settings_slider slider, float y, uint16_t& volume)
{
    const int32_t knob = drag_slider(p, slider, y);
    if (knob >= 0)
        volume = uint16_t(knob_volume(knob));
    draw_slider(p, y, volume_knob(volume));
    return knob >= 0;
}

struct check_box {
    uint32_t game_settings::*flag;
    float x, y;                // the label's top-left point; the box is drawn at (x - 20, y + 9)
    float box_x1, box_x2;      // the label's box spans y to y + 19
    int label;                 // UI text
    uint32_t* follower;        // a switch of the program that takes the flag's value, or null
};

const check_box k_check_boxes[] = {
    {&game_settings::gr_lowparticles, 40.0f, 240.0f, 10.0f, 300.0f, 133, nullptr},
    {&game_settings::gr_displayshadows, 40.0f, 260.0f, 10.0f, 300.0f, 134, nullptr},
    {&game_settings::gr_force16bit, 40.0f, 280.0f, 10.0f, 300.0f, 135, nullptr},
    {&game_settings::gr_disablelight, 40.0f, 300.0f, 10.0f, 300.0f, 136, nullptr},
    {&game_settings::gr_displayweather, 40.0f, 320.0f, 10.0f, 300.0f, 137, nullptr},
    {&game_settings::gr_showstats, 40.0f, 340.0f, 10.0f, 300.0f, 138, &g_show_stats},
    {&game_settings::gr_runwindowed, 40.0f, 360.0f, 10.0f, 300.0f, 139, nullptr},
    {&game_settings::gr_enablewbuffer, 340.0f, 240.0f, 310.0f, 610.0f, 140, &g_wbuffer_switch},
};

void run_graphics_page(const overlay_origin& p, page_texts& texts)
{
    texts.add(0.0f, 10.0f, ui_text(129), k_white);

    texts.add(10.0f, 50.0f, ui_text(131), k_white);
    const int32_t knob = drag_slider(p, k_slider_gamma, 100.0f);
    if (knob >= 0 && knob - k_gamma_centre != g_settings.gr_gamma) {
        run_hook(g_interface_links.set_gamma, "set_gamma", (knob - k_gamma_centre) * 100);
        g_settings.gr_gamma = knob - k_gamma_centre;
    }
    draw_slider(p, 100.0f, int64_t(g_settings.gr_gamma) + k_gamma_centre);

    texts.add(10.0f, 150.0f, ui_text(132), k_white);
    const int32_t detail = drag_slider(p, k_slider_detail, 200.0f);
    if (detail >= 0)
        g_settings.slider_value = int16_t(knob_volume(detail));
    draw_slider(p, 200.0f, volume_knob(g_settings.slider_value));

    for (const check_box& box : k_check_boxes) {
        uint32_t& flag = g_settings.*box.flag;
        const bool over = texts.add_hovered(box.x, box.y, ui_text(box.label), box.box_x1, box.y, box.box_x2,
                                            box.y + 19.0f);
        if (latched_press(over)) {
            flag = flag ? 0 : 1;
            if (box.follower)
                *box.follower = flag;
        }
        draw_overlay_image(p, g_interface.settings_images[flag ? s_box_on : s_box], box.x - 20.0f, box.y + 9.0f);
    }
}

void run_sound_page(const overlay_origin& p, page_texts& texts)
{
    texts.add(0.0f, 10.0f, ui_text(130), k_white);
    texts.add(10.0f, 50.0f, ui_text(141), k_white);
    if (run_volume_slider(p, k_slider_music, 100.0f, g_settings.snd_musicvolume))
        set_music_volume(g_settings.snd_musicvolume);
    texts.add(10.0f, 150.0f, ui_text(142), k_white);
    run_volume_slider(p, k_slider_sound, 200.0f, g_settings.snd_soundvolume);
}

struct location {
    const char* name;
    const char* level;
};

const location k_locations[] = {
    {"Lost Canyons", "tab_prechod.sav"},
    {"War Camp", "tabor.sav"},
    {"Goblin Dungeon", "jaskyna_ent.sav"},
    {"Village of Ivelmoor", "dedina02.sav"},
    {"Monastery", "brana.sav"},
    {"Vale of Tears", "les.sav"},
    {"Holy Chamber", "sien.sav"},
    {"Magic Berries Meadow", "bojovka02.sav"},
    {"Corvallan Shrine", "shrine_ent.sav"},
    {"Vantielle", "vantiel_m2.sav"},
    {"Mines", "bana_p.sav"},
    {"Vell Wastes", "oracle_vell.sav"},
    {"Oracle", "oracle_ent.sav"},
    {"Arena", "arena.sav"},
    {"Reliquary", "relik1.sav"},
};

void heal(char_record* hero)
{
    hero->hp_ceiling = int16_t(std::clamp<int32_t>(hero->hp_max, INT16_MIN, INT16_MAX));
    hero->hp = hero->hp_ceiling;
    hero->mana = hero->mana_max;
    hero->life = k_life_alive;
}

void set_hour(uint8_t hour)
{
    g_game_clock.hour = hour;
    apply_daylight(&g_game_clock);
}

void enable_all_attunements()
{
    for (int32_t id = 0; id < g_item_proto_count; ++id) {
        item_proto& item = g_item_protos[id];
        if (item.item_class == k_item_attunement && item.damage < k_attunement_learned_points)
            item.damage = k_attunement_learned_points;
    }
}

struct special_function {
    float y;
    bool latched;      // once per press; otherwise in every frame the button is held over it
    bool needs_hero;
    std::string (*label)();
    void (*act)(char_record* hero);
};

const special_function k_special_functions[] = {
    {40.0f, false, true, [] { return std::string("Heal (Respawn)"); }, heal},
    {60.0f, true, false, [] { return std::string(g_editor.ai_on ? "AI (ON)" : "AI (OFF)"); },
     [](char_record*) { g_editor.ai_on = g_editor.ai_on ? 0 : 1; }},
    {80.0f, false, false, [] { return std::string("Set day"); }, [](char_record*) { set_hour(12); }},
    {100.0f, false, false, [] { return std::string("Set night"); }, [](char_record*) { set_hour(0); }},
    {140.0f, true, false,
     [] { return std::string(g_dream_world.active ? "Exit Dreamworld" : "Enter Dreamworld"); },
     [](char_record*) { switch_dream_world(); }},
    {160.0f, true, false, [] { return std::string("Language: ") + g_language; },
     [](char_record*) { std::strcpy(g_language, std::strcmp(g_language, "sk") == 0 ? "eng" : "sk"); }},
    {180.0f, true, true, [] { return std::string("add 1000 exp"); },
     [](char_record* hero) { award_experience(hero, 1000); }},
    {200.0f, true, true, [] { return std::string("add 100 000 exp"); },
     [](char_record* hero) { award_experience(hero, 100000); }},
    {220.0f, true, true, [] { return std::string("add 100 attunement points"); },
     [](char_record* hero) { add_attunement_charge(hero, 100); }},
    {240.0f, true, false, [] { return std::string("skip one day"); },
     [](char_record*) { rest_until_morning(&g_game_clock); }},
    {260.0f, true, false, [] { return std::string("enable all attunements"); },
     [](char_record*) { enable_all_attunements(); }},
    {280.0f, true, false,
     [] { return std::string(g_interface.player_invulnerable ? "godmode on" : "godmode off"); },
     [](char_record*) { g_interface.player_invulnerable = g_interface.player_invulnerable ? 0 : 1; }},
    {300.0f, true, true, [] { return std::string("add 10 000 shekels"); },
     [](char_record* hero) { hero->gold = int32_t(std::min<int64_t>(int64_t(hero->gold) + 10000, INT32_MAX)); }},
};

void run_developer_page(page_texts& texts)
{
    texts.add(10.0f, 10.0f, "Select location to travel", k_white);
    for (int k = 0; k < int(std::size(k_locations)); ++k) {
        const float y = float(40 + 20 * k);
        if (texts.add_hovered(10.0f, y, k_locations[k].name, 10.0f, y - 2.0f, 200.0f, y + 15.0f) && g_mouse_left) {
            request_level_change(k_locations[k].level, 0);
            g_interface.menu_open = 0;
            g_mouse_left = g_mouse_right = g_mouse_middle = 0;
        }
    }

    texts.add(200.0f, 10.0f, "Special functions", k_white);
    char_record* hero = panel_hero();
    for (const special_function& f : k_special_functions) {
        const bool over = texts.add_hovered(200.0f, f.y, f.label(), 200.0f, f.y - 2.0f, 300.0f, f.y + 15.0f);
        const bool pressed = f.latched ? latched_press(over) : over && g_mouse_left;
        if (pressed && (hero || !f.needs_hero))
            f.act(hero);
    }
}

} // namespace

void run_settings_screen()
{
    full_light_guard light;
    const overlay_origin o = overlay_page_origin(k_page_height);
    draw_overlay_page(o, k_page_height);
    clear_overlay_message();

    run_tab(o, s_graphics, 70.0f, k_page_graphics, 129);
    run_tab(o, s_sound, 150.0f, k_page_sound, 130);
    draw_overlay_divider(o, 110.0f, k_page_height);
    if (draw_overlay_button(o, k_button_ok, 690.0f, 410.0f, 626.0f, 394.0f, 722.0f, 418.0f) && g_mouse_left)
        g_interface.overlay_screen = 1;

    const overlay_origin p = {o.x + 125.0f, o.y + 32.0f};
    page_texts texts(p);
    switch (g_interface.settings_page) {
    case k_page_graphics:
        run_graphics_page(p, texts);
        break;
    case k_page_sound:
        run_sound_page(p, texts);
        break;
    case k_page_developer:
        if (!g_no_game_running)
            run_developer_page(texts);
        break;
    default:
        break;
    }
    texts.draw();
}
