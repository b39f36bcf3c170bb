#include "interface/character_panel.h"

#include "characters/char_record.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/combat_rules.h"
#include "characters/rule_tables.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "engine/fonts.h"
#include "engine/quads.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/side_panel.h"
#include "world/object_draw_internal.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* k_grades[k_skill_values] = {"00", "F",  "E-", "E",  "E+", "D-", "D",  "D+", "C-",
                                                  "C",  "C+", "B-", "B",  "B+", "A-", "A",  "A+", "S"};

constexpr float k_side_panel_width = 315.0f;  // the panel moves right by this beside the side panel
constexpr float k_top = 45.0f;
constexpr int16_t k_frame_panel = 0;  // the panel background drawn as the frame
constexpr int32_t k_label_x = 15;
constexpr int32_t k_value_x = 155;
constexpr int32_t k_plus_x = 175;
constexpr int16_t k_raise_cost = 100;
constexpr uint8_t k_highest_raisable = 16;

// Colours 0x00BBGGRR.
constexpr uint32_t k_name_colour = 0x00FFDCDC;
constexpr uint32_t k_label_colour = 0x00FFFFFF;
constexpr uint32_t k_value_colour = 0x0032FF32;
constexpr uint32_t k_changed_colour = 0x006464FF;
constexpr uint32_t k_plus_hover_colour = 0x003232FF;

struct skill_row {
    uint8_t char_record::*base;
    uint8_t char_record::*effective;
    int32_t label;  // UI text
    int32_t y;
};
constexpr skill_row k_skill_rows[4] = {{&char_record::melee_base, &char_record::melee, 12, 100},
                                       {&char_record::ranged_base, &char_record::ranged, 13, 115},
                                       {&char_record::magic_base, &char_record::magic, 14, 130},
                                       {&char_record::speed_base, &char_record::speed, 15, 145}};

constexpr float k_divider_rows[4] = {90.0f, 200.0f, 260.0f, 335.0f};

bool cursor_strictly_between(float x1, float y1, float x2, float y2)
{
    return g_mouse_screen_x > x1 && g_mouse_screen_x < x2 && g_mouse_screen_y > y1 && g_mouse_screen_y < y2;
}

bool mouse_left_held()
{
    return g_mouse_left != 0;
}

// True when the close box closed the panel this frame.
bool closed_by_close_box(float px)
{
    if (!g_mouse_left || !cursor_strictly_between(px + 290.0f, 55.0f, px + 305.0f, 75.0f))
        return false;
    if (!run_hook_or(g_interface_links.wait_until_released, "wait_until_released", true, mouse_left_held))
        return false;
    cancel_item_drag();
    g_interface.character_panel_open = 0;
    return true;
}

void draw_text(int32_t x, int32_t y, const char* text, uint32_t colour)
{
    font_text_out(&g_font_small, x, y, text, colour);
}

// A labelled row: the label in white at the left, the value in the value colour.
void draw_row(int32_t px, int32_t y, int32_t label, const char* value, uint32_t colour = k_value_colour)
{
    draw_text(px + k_label_x, y, ui_text(label), k_label_colour);
    draw_text(px + k_value_x, y, value, colour);
}

// The "+" of a skill row; one press raises the skill by one for 100 points.
void raise_button(char_record* hero, const skill_row& row, int32_t px)
{
    if (hero->skill_points < k_raise_cost || hero->*row.base > k_highest_raisable)
        return;
    const float x = float(px);
    const float y = float(row.y);
    const bool over = cursor_strictly_between(x + 170.0f, y, x + 185.0f, y + 15.0f);
    draw_text(px + k_plus_x, row.y, "+", over ? k_plus_hover_colour : k_value_colour);
    if (!over)
        return;
    g_interface.mouse_over_ui = 1;
    if (!press_edge(g_mouse_left, g_hud_click_latch))
        return;
    hero->*row.base = uint8_t(hero->*row.base + 1);
    recompute_char_stats(hero, false);
    hero->skill_points = int16_t(hero->skill_points - k_raise_cost);
}

void draw_name(const char_record* hero, int32_t px)
{
    char name[sizeof hero->display_name + 1] = {};
    std::memcpy(name, hero->display_name, sizeof hero->display_name);
    const int32_t width = font_measure_text(&g_font_small, name);
    draw_text(px + 155 - width / 2, 70, name, k_name_colour);
}

void draw_skills(char_record* hero, int32_t px)
{
    for (const skill_row& row : k_skill_rows) {
        const uint8_t effective = hero->*row.effective;
        draw_row(px, row.y, row.label, skill_grade(effective),
                 effective != hero->*row.base ? k_changed_colour : k_value_colour);
        raise_button(hero, row, px);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d", int(hero->skill_points));
    draw_row(px, 170, 16, text);
}

void draw_progress(const char_record* hero, int32_t px)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", int(hero->level));
    draw_row(px, 210, 17, text);
    std::snprintf(text, sizeof text, "%d", int(hero->exp));
    draw_row(px, 225, 18, text);
    const int32_t next = hero->level < INT32_MAX ? xp_for_level(hero->level + 1) : xp_for_level(hero->level);
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(next) - hero->exp);
    draw_row(px, 240, 19, text);
}

void draw_combat_values(const char_record* hero, int32_t slot, int32_t px)
{
    char text[96];
    const float speed = char_attack_speed(hero);
    const int32_t percent = speed > 0.0f ? safe_int(400.0f / speed) : 0;
    std::snprintf(text, sizeof text, "%d%% (%.2f)", int(percent), speed > 0.0f ? double(speed) : 0.0);
    draw_row(px, 270, 22, text);
    const float damage = damage_base(slot, -1, -1, 100);
    std::snprintf(text, sizeof text, "%d - %d %s", int(safe_int(0.75f * damage)), int(safe_int(1.25f * damage)),
                  ui_text(28));
    draw_row(px, 285, 23, text);
    std::snprintf(text, sizeof text, "%d%%", int(critical_chance(slot, -1, -1)));
    draw_row(px, 300, 20, text);
    std::snprintf(text, sizeof text, "x%.2f", double(critical_multiplier(slot, -1, -1)));
    draw_row(px, 315, 21, text);

    const int32_t armour_class = char_armor_class(slot, -1);
    const int32_t weight = char_armor_weight(hero);
    if (weight != 0) {
        const bool light = char_light_armor_value(hero) >= char_heavy_armor_value(hero);
        std::snprintf(text, sizeof text, "%d %s (%s)", int(armour_class), ui_text(28), ui_text(light ? 120 : 121));
    } else {
        std::snprintf(text, sizeof text, "%d %s", int(armour_class), ui_text(28));
    }
    draw_row(px, 345, 24, text);
    // The weight counts in the unit word of the armour class (the gold word would read as a price).
    std::snprintf(text, sizeof text, "%d %s", int(weight), ui_text(28));
    draw_row(px, 360, 25, text);
    const int32_t block = block_chance(slot, -1);
    if (char_shield_item(hero) >= 0)
        std::snprintf(text, sizeof text, "%d%% (%s)", int(block), ui_text(31));
    else
        std::snprintf(text, sizeof text, "%d%%", int(block));
    draw_row(px, 375, 26, text);
    std::snprintf(text, sizeof text, "%d%%", int(dodge_chance(slot, -1)));
    draw_row(px, 390, 27, text);
}

} // namespace

const char* skill_grade(int32_t value)
{
    return k_grades[skill_index(value)];
}

void update_character_panel()
{
    const float px = g_interface.side_panel_open ? k_side_panel_width : 0.0f;
    draw_panel_frame(k_frame_panel, px, k_top, 1.0f);
    if (closed_by_close_box(px))
        return;
    claim_pointer_area(panel_frame_area(k_frame_panel, px, k_top));
    const int32_t slot = int32_t(g_player_char);
    char_record* hero = panel_hero();
    if (!hero)
        return;
    for (float y : k_divider_rows)
        draw_texture_screen(g_interface.list_widgets[0], px + 157.0f, y, 1.0f, 1.0f, 0, 0.0f, 0.0f, 0.008f, 1.0f,
                            1.0f, 1.0f);
    const int32_t x = int32_t(px);
    font_begin(&g_font_small);
    draw_name(hero, x);
    draw_skills(hero, x);
    draw_progress(hero, x);
    draw_combat_values(hero, slot, x);
    font_end(&g_font_small);
}
