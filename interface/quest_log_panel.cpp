#include "interface/quest_log_panel.h"

#include "characters/char_record.h"
#include "core/game_globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/list_widgets.h"
#include "interface/side_panel.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "script/text_window.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float k_beside_panel = 315.0f;  // the log moves right by this for each open panel
constexpr float k_top = 45.0f;
constexpr int k_visible_rows = 9;
constexpr int k_row_height = 16;
constexpr int32_t k_title_room = 220;     // pixels a title may take before it is cut
constexpr float k_guessed_height = 320.0f;
constexpr uint32_t k_heading_colour = 0xFFDCDC;  // red 220, green 220, blue 255
constexpr uint32_t k_row_colour = 0xCDCDCD;
constexpr uint32_t k_hover_colour = 0xFFFFFF;
constexpr int k_quest_list_bytes = sizeof(char_record::quest_bytes) - 1;  // after the count byte

// The list widgets' texture slots in g_interface.list_widgets.
enum widget { w_slider = 4 };

// Where each of the two lists lies relative to the panel origin.
struct list_layout {
    bool completed;
    int heading_text;
    float heading_x, heading_y;
    float text_y;                     // row 0's text
    float band_top, band_bottom;      // row 0's hover band (strict)
    float bar_top;                    // the upper cap; the lower cap 114 below, the arrows 10 beyond
    float slider_top;
};
constexpr list_layout k_lists[2] = {
    {false, 8, 97.0f, 27.0f, 47.0f, 47.0f, 63.0f, 60.0f, 75.0f},
    {true, 9, 90.0f, 202.0f, 222.0f, 220.0f, 232.0f, 234.0f, 249.0f},
};

struct panel_origin {
    float x, y;
};

// The cursor lies strictly inside, in screen pixels.
bool cursor_strictly_inside(float x1, float y1, float x2, float y2)
{
    const float x = g_mouse_screen_x, y = g_mouse_screen_y;
    return x > x1 && x < x2 && y > y1 && y < y2;
}

bool mouse_left_held()
{
    return g_mouse_left != 0;
}

// The quest indices of the hero's list that belong to the list, in list order; indices not below
// the quest count are left out. Returns how many.
int list_quests(const list_layout& list, uint8_t (&out)[k_quest_list_bytes])
{
    const char_record* hero = panel_hero();
    if (!hero)
        return 0;
    const int count = std::min<int>(hero->quest_bytes[0], k_quest_list_bytes);
    int n = 0;
    for (int k = 1; k <= count; ++k) {
        const uint8_t index = hero->quest_bytes[k];
        if (index < g_quest_count && (g_quests[index].completed != 0) == list.completed)
            out[n++] = index;
    }
    return n;
}

// The title as shown: cut to the room, then "...".
void shown_title(const quest_record& quest, char (&out)[sizeof quest_record::title + 4])
{
    std::snprintf(out, sizeof out, "%.*s", int(sizeof quest.title), quest.title);
    cut_to_width(&g_font_small, out, sizeof out, k_title_room);
}

void scroll_bar(const panel_origin& o, const list_layout& list, int n, uint16_t& offset)
{
    const int step = list_scroll_bar(o.x + 300.0f, o.y + list.bar_top, 114.0f, 6, g_hud_click_latch);
    if ((step < 0 && offset > 0) || (step > 0 && offset + k_visible_rows < n))
        offset = uint16_t(offset + step);
    const int slider = int(offset) * 86 / (n - k_visible_rows);
    draw_list_widget(w_slider, o.x + 293.0f, o.y + list.slider_top + float(slider), 0);
}

// One list: heading, rows and, beyond nine quests, the scroll bar. Returns the hovered quest or -1.
int draw_list(const panel_origin& o, const list_layout& list, uint16_t& offset)
{
    uint8_t quests[k_quest_list_bytes];
    const int n = list_quests(list, quests);
    const int first = n > k_visible_rows ? int(offset) : 0;
    int hovered = -1;
    font_begin(&g_font_small);
    font_text_out(&g_font_small, int32_t(o.x + list.heading_x), int32_t(o.y + list.heading_y),
                  ui_text(list.heading_text), k_heading_colour);
    for (int r = 0; r < k_visible_rows && first + r < n; ++r) {
        const uint8_t index = quests[first + r];
        const float shift = float(k_row_height * r);
        const bool over = cursor_strictly_inside(o.x + 25.0f, o.y + list.band_top + shift, o.x + 225.0f,
                                                 o.y + list.band_bottom + shift);
        if (over)
            hovered = index;
        char title[sizeof quest_record::title + 4];
        shown_title(g_quests[index], title);
        font_text_out(&g_font_small, int32_t(o.x + 45.0f), int32_t(o.y + list.text_y + shift), title,
                      over ? k_hover_colour : k_row_colour);
    }
    font_end(&g_font_small);
    if (n > k_visible_rows)
        scroll_bar(o, list, n, offset);
    return hovered;
}

char g_quest_markup[4096];

// Composed at a guessed height, laid out, composed again at the height the layout reached.
void show_quest_tooltip(const quest_record& quest)
{
    show_fitted_message(g_quest_markup, k_guessed_height, [&](float height) {
        show_quest_text(&quest, g_quest_markup, sizeof g_quest_markup, height);
    });
}

} // namespace

void update_quest_log_panel()
{
    game_interface& gi = g_interface;
    panel_origin o{0.0f, k_top};
    if (gi.side_panel_open)
        o.x += k_beside_panel;
    if (gi.character_panel_open)
        o.x += k_beside_panel;
    draw_panel_frame(0, o.x, o.y, 1.0f);

    if (g_mouse_left && cursor_strictly_inside(o.x + 290.0f, o.y + 10.0f, o.x + 305.0f, o.y + 30.0f)) {
        if (!run_hook_or(g_interface_links.wait_until_released, "wait_until_released", true, mouse_left_held))
            return;
        cancel_item_drag();
        gi.quest_log_open = 0;
        return;
    }
    const float x = g_mouse_screen_x, y = g_mouse_screen_y;
    if (x >= o.x && x < o.x + 305.0f && y >= o.y && y < o.y + 405.0f)
        gi.mouse_over_ui = 1;

    int hovered = draw_list(o, k_lists[0], gi.quest_scroll_top);
    const int below = draw_list(o, k_lists[1], gi.quest_scroll_bottom);
    if (below >= 0)
        hovered = below;
    if (hovered >= 0)
        show_quest_tooltip(g_quests[hovered]);
}
