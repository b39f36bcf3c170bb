#include "interface/new_hero_screen.h"

#include "characters/char_drawing.h"
#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_interface.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/ui_texts.h"
#include "interface/character_panel.h"
#include "interface/overlay_page.h"
#include "items/item_tooltips.h"
#include "items/items.h"
#include "script/script_services.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

const int16_t k_start_attunement_ids[k_start_attunement_candidates] = {204, 208, 220, 216, 178, 151};
int16_t g_start_attunements[k_start_attunement_choices] = {};
uint32_t g_name_repeat_tick = 0;

namespace {

constexpr int32_t k_page_height = 576;
constexpr uint8_t k_backspace = '$';
constexpr uint32_t k_first_repeat_ticks = 30;
constexpr uint32_t k_repeat_ticks = 2;
constexpr int16_t k_skill_step_cost = 100;
constexpr uint8_t k_highest_raisable = 16;  // a skill rises to the top grade, 17, and no further
constexpr int16_t k_difficulties = 5;
constexpr float k_guessed_height = 320.0f;
constexpr int32_t k_upside_down = 1;
constexpr int32_t k_mirrored = 2;

// Colours 0x00BBGGRR.
constexpr uint32_t k_grey = 0x00C8C8C8;
constexpr uint32_t k_green = 0x0032FF32;
constexpr uint32_t k_red = 0x003232FF;
constexpr uint32_t k_header_colour = 0x00FFE1E1;
constexpr uint32_t k_chosen_colour = 0x006464C8;
constexpr uint32_t k_white = 0x00FFFFFF;

// The tab images' places in g_interface.new_hero_tabs.
enum tab_image : int { t_end, t_piece, t_separator, t_plus, t_plus_lit, t_minus, t_minus_lit, t_arrow, t_arrow_lit };

constexpr uint8_t char_record::*k_skills[4] = {&char_record::melee_base, &char_record::ranged_base,
                                                &char_record::magic_base, &char_record::speed_base};

void draw_tab(const overlay_origin& o, tab_image image, float x, float y, int32_t flip = 0)
{
    draw_overlay_image(o, g_interface.new_hero_tabs[image], x, y, flip);
}

void draw_text(const overlay_origin& o, float x, float y, const char* text, uint32_t colour)
{
    font_text_out(&g_font_large, int32_t(o.x + x), int32_t(o.y + y), text, colour);
}

// ---- The name.

// Types c into the name: a character replaces the cursor and the cursor follows it; backspace
// moves the cursor back over the last character.
void apply_name_char(char_record& hero, uint8_t c)
{
    int32_t& cursor = g_interface.name_cursor;
    if (c == k_backspace) {
        if (cursor > 0) {
            hero.display_name[cursor - 1] = '_';
            hero.display_name[cursor] = '\0';
            --cursor;
        }
        return;
    }
    hero.display_name[cursor] = char(c);
    hero.display_name[cursor + 1] = '_';
    hero.display_name[cursor + 2] = '\0';
    ++cursor;
}

// A new key types at once and again once 30 ticks have passed; held on, again each time 2 more
// ticks have passed.
void enter_name(char_record& hero)
{
    add_name_cursor(&hero);
    g_interface.name_cursor = int32_t(strnlen(hero.display_name, sizeof hero.display_name)) - 1;
    uint8_t c = read_typed_char();
    if (g_interface.name_cursor >= k_hero_name_max && c != k_backspace)
        c = 0;
    if (c == 0) {
        g_console_last_char = 0;
        return;
    }
    if (c != g_console_last_char) {
        g_name_repeat_tick = g_ticks + k_first_repeat_ticks;
    } else if (g_name_repeat_tick < g_ticks) {
        g_name_repeat_tick = g_ticks + k_repeat_ticks;
    } else {
        return;
    }
    apply_name_char(hero, c);
    g_console_last_char = c;
}

// ---- The panel.

// A field bar centred on row y: its ends and 18 pieces between them.
void draw_field_bar(const overlay_origin& o, float y)
{
    draw_tab(o, t_end, 50.0f, y, k_upside_down);
    for (int i = 0; i < 18; ++i)
        draw_tab(o, t_piece, float(66 + 16 * i), y, k_upside_down);
    draw_tab(o, t_end, 354.0f, y, k_mirrored);
}

void draw_field_bars(const overlay_origin& o)
{
    for (float y : {80.0f, 120.0f}) {
        draw_field_bar(o, y);
        draw_tab(o, t_separator, 166.0f, y, k_mirrored);
    }
    for (int r = 0; r < 5; ++r) {
        const float y = float(160 + 31 * r);
        draw_field_bar(o, y);
        draw_tab(o, t_separator, 246.0f, y, k_mirrored);
        if (r < 4) {
            draw_tab(o, t_separator, 330.0f, y, k_mirrored);
            draw_tab(o, t_separator, 297.5f, y, k_mirrored);
        }
    }
    for (int r = 0; r < k_start_attunement_candidates; ++r)
        draw_field_bar(o, float(360 + 31 * r));
}

// An image button centred at (x, y) with its lit image while the cursor is in its box (x1 .. x2,
// y - half_height .. y + half_height); true on a press (one per press).
bool tab_button(const overlay_origin& o, tab_image normal, tab_image lit, float x, float y, float x1, float x2,
                float half_height, int32_t flip = 0)
{
    const bool over = overlay_cursor_in(o, x1, y - half_height, x2, y + half_height);
    draw_tab(o, over ? lit : normal, x, y, flip);
    return overlay_latched_press(over, g_mouse_left, g_interface.overlay_click_latch);
}

// The arrows of one look: next at x 720 (mirrored), previous at x 680.
void look_arrows(const overlay_origin& o, float y, uint8_t look, int32_t last, void (*setup)(int32_t))
{
    if (tab_button(o, t_arrow, t_arrow_lit, 720.0f, y, 704.0f, 736.0f, 16.0f, k_mirrored) && look < last)
        setup(look + 1);
    if (tab_button(o, t_arrow, t_arrow_lit, 680.0f, y, 664.0f, 696.0f, 16.0f) && look > 1)
        setup(look - 1);
}

// Plus spends 100 points on a skill; minus takes back a step added on this page.
void skill_buttons(const overlay_origin& o, char_record& hero)
{
    for (int r = 0; r < 4; ++r) {
        const float y = float(160 + 31 * r);
        uint8_t& skill = hero.*k_skills[r];
        uint8_t& added = g_interface.skill_added[r];
        if (tab_button(o, t_plus, t_plus_lit, 313.0f, y, 305.0f, 321.0f, 8.0f) &&
            hero.skill_points >= k_skill_step_cost && skill <= k_highest_raisable) {
            ++skill, ++added;
            hero.skill_points = int16_t(hero.skill_points - k_skill_step_cost);
            recompute_char_stats(&hero, false);
        }
        if (tab_button(o, t_minus, t_minus_lit, 345.5f, y, 337.5f, 353.5f, 8.0f) && added > 0 && skill > 0) {
            --skill, --added;
            hero.skill_points = int16_t(hero.skill_points + k_skill_step_cost);
            recompute_char_stats(&hero, false);
        }
    }
}

void buttons(const overlay_origin& o)
{
    if (draw_overlay_button(o, k_button_cancel, 580.0f, 530.0f, 516.0f, 514.0f, 612.0f, 538.0f) && g_mouse_left)
        g_interface.overlay_screen = 1;
    draw_overlay_button(o, k_button_start, 690.0f, 530.0f, 626.0f, 514.0f, 722.0f, 538.0f);
}

// ---- The texts.

// A left press raises the difficulty, a right press lowers it, each wrapping round 0 to 4.
void difficulty_field(const overlay_origin& o, char_record& hero)
{
    hero.difficulty = int16_t(std::clamp<int16_t>(hero.difficulty, 0, k_difficulties - 1));
    const bool over = overlay_cursor_in(o, 166.0f, 110.0f, 366.0f, 130.0f);
    if (overlay_latched_press(over, g_mouse_left, g_interface.overlay_click_latch))
        hero.difficulty = int16_t((hero.difficulty + 1) % k_difficulties);
    if (overlay_latched_press(over, g_mouse_right, g_interface.right_click_latch))
        hero.difficulty = int16_t((hero.difficulty + k_difficulties - 1) % k_difficulties);
    draw_text(o, 171.0f, 110.0f, ui_text(167 + hero.difficulty), over ? k_red : k_green);
}

void draw_texts(const overlay_origin& o, char_record& hero)
{
    char name[sizeof hero.display_name + 1] = {};
    std::memcpy(name, hero.display_name, sizeof hero.display_name);
    draw_text(o, 55.0f, 70.0f, ui_text(127), k_grey);
    draw_text(o, 55.0f, 110.0f, ui_text(166), k_grey);
    draw_text(o, 171.0f, 70.0f, name, k_green);
    difficulty_field(o, hero);
    for (int r = 0; r < 4; ++r) {
        const float y = float(150 + 31 * r);
        draw_text(o, 55.0f, y, ui_text(12 + r), k_grey);
        draw_text(o, 251.0f, y, skill_grade(hero.*k_skills[r]), k_green);
    }
    char points[16];
    std::snprintf(points, sizeof points, "%d", int(hero.skill_points));
    draw_text(o, 55.0f, 274.0f, ui_text(16), k_grey);
    draw_text(o, 251.0f, 274.0f, points, k_green);
    draw_text(o, 40.0f, 320.0f, ui_text(146 + std::min<int>(g_interface.start_attunement_count, 2)), k_header_colour);
}

// ---- The attunements.

char g_tooltip_markup[4096];

int chosen_count()
{
    return std::min<int>(g_interface.start_attunement_count, k_start_attunement_choices);
}

// The place of id among the chosen ones, or -1.
int chosen_place(int16_t id)
{
    for (int k = 0; k < chosen_count(); ++k)
        if (g_start_attunements[k] == id)
            return k;
    return -1;
}

// Choosing sets the attunement's points to the first tier's threshold; taking it back sets them
// to 0 and moves a later choice up. A third choice is refused.
void toggle_choice(int16_t id, item_proto& attunement)
{
    uint8_t& count = g_interface.start_attunement_count;
    count = uint8_t(chosen_count());
    const int place = chosen_place(id);
    if (place < 0) {
        if (count >= k_start_attunement_choices)
            return;
        g_start_attunements[count++] = id;
        const int16_t threshold = int16_t(g_attunement_thresholds[0]);
        if (attunement.damage != threshold)
            attunement.damage = threshold;
        return;
    }
    attunement.damage = 0;
    for (int k = place; k + 1 < count; ++k)
        g_start_attunements[k] = g_start_attunements[k + 1];
    --count;
}

// A candidate that is not in the item table (or was deleted from it) has no row.
item_proto* candidate(int16_t id)
{
    item_proto* p = item_proto_at(id);
    return p && !p->deleted ? p : nullptr;
}

// Hover shows a row's tooltip and a press chooses or takes it back; then the names are drawn.
void attunement_rows(const overlay_origin& o)
{
    clear_overlay_message();
    int hovered = -1;
    for (int r = 0; r < k_start_attunement_candidates; ++r) {
        const int16_t id = k_start_attunement_ids[r];
        item_proto* p = candidate(id);
        const float y = float(350 + 31 * r);
        if (!p || !overlay_cursor_in(o, 55.0f, y, 365.0f, y + 20.0f))
            continue;
        hovered = r;
        show_fitted_message(g_tooltip_markup, k_guessed_height, [&](float height) {
            draw_attunement_tooltip(id, g_tooltip_markup, sizeof g_tooltip_markup, height);
        });
        if (overlay_latched_press(true, g_mouse_left, g_interface.overlay_click_latch))
            toggle_choice(id, *p);
    }
    font_begin(&g_font_large);
    for (int r = 0; r < k_start_attunement_candidates; ++r) {
        const item_proto* p = candidate(k_start_attunement_ids[r]);
        if (!p)
            continue;
        char name[sizeof p->display_name + 1] = {};
        std::memcpy(name, p->display_name, sizeof p->display_name);
        const uint32_t colour = chosen_place(k_start_attunement_ids[r]) >= 0 ? k_chosen_colour
                                : r == hovered                               ? k_white
                                                                             : k_grey;
        draw_text(o, 55.0f, float(350 + 31 * r), name, colour);
    }
    font_end(&g_font_large);
}

// ---- The looks.

void setup_hero_look(int part, int32_t look)
{
    char_record* c = char_at(0);
    if (!c)
        return;
    (part == 0 ? c->head_variant : c->body_variant) = uint8_t(look);
    clear_char_clips(c);
    load_char_anims(c, c->anim_set, true);
    char_apply_item_effects(c);
    char_refresh_equipment(c);
    if (c->clip_stand[0] >= 0)
        c->stand_variant = 0;
    if (c->clip_move[0] >= 0)
        c->move_variant = 0;
    if (c->clip_attack[0] >= 0)
        c->attack_variant = 0;
    if (c->clip_death[0] >= 0)
        c->death_variant = 0;
    if (c->clip_hit[0] >= 0)
        c->hit_variant = 0;
    set_char_anim(c, k_action_move, 1, 0);
    set_char_anim(c, k_action_attack, 1, 0);
    set_char_anim(c, k_action_stand, 1, 0);
}

} // namespace

void setup_hero_look_a(int32_t head)
{
    setup_hero_look(0, head);
}

void setup_hero_look_b(int32_t body)
{
    setup_hero_look(1, body);
}

void reset_new_hero_page()
{
    game_interface& gi = g_interface;
    const char_record* hero = char_at(int32_t(g_player_char));
    gi.name_cursor = hero ? int32_t(strnlen(hero->display_name, sizeof hero->display_name)) - 1 : -1;
    std::memset(gi.skill_added, 0, sizeof gi.skill_added);
    for (int k = 0; k < chosen_count(); ++k)
        if (item_proto* p = item_proto_at(g_start_attunements[k]))
            p->damage = 0;
    gi.start_attunement_count = 0;
}

void add_name_cursor(char_record* hero)
{
    char* name = hero->display_name;
    const size_t n = strnlen(name, sizeof hero->display_name);
    if (n > 0 && name[n - 1] == '_')
        return;
    const size_t at = std::min(n, sizeof hero->display_name - 2);
    name[at] = '_';
    name[at + 1] = '\0';
}

void run_new_hero_screen()
{
    char_record* hero = char_at(int32_t(g_player_char));
    if (hero && !g_console_shown)
        enter_name(*hero);

    full_light_guard light;
    const overlay_origin o = overlay_page_origin(k_page_height);
    draw_overlay_page(o, k_page_height);
    draw_overlay_divider(o, 384.0f, k_page_height);
    draw_field_bars(o);
    if (const char_record* slot0 = char_at(0)) {
        look_arrows(o, 110.0f, slot0->head_variant, k_hero_heads, setup_hero_look_a);
        look_arrows(o, 460.0f, slot0->body_variant, k_hero_bodies, setup_hero_look_b);
    }
    if (hero)
        skill_buttons(o, *hero);
    buttons(o);
    if (hero)
        draw_chars(hero, g_camera_x + o.x + 500.0f, g_camera_y + o.y + 410.0f, 1.0f, 1.0f, 1.0f, 0, 180, 0, 1.0f,
                   1.0f, 1.0f, 1);
    if (hero) {
        font_begin(&g_font_large);
        draw_texts(o, *hero);
        font_end(&g_font_large);
    }
    attunement_rows(o);
}
