#include "interface/quest_log_panel.h"

#include "characters/char_record.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "interface/list_widgets.h"
#include "interface/panel_drawing.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "script/text_window.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int k_visible_rows = 9;
constexpr int k_row_height = 16;
constexpr int32_t k_title_room = 220;     // pixels a title may take before it is cut
constexpr float k_guessed_height = 320.0f;
constexpr uint32_t k_heading_colour = 0xFFDCDC;  // red 220, green 220, blue 255
constexpr uint32_t k_row_colour = 0xCDCDCD;
constexpr uint32_t k_hover_colour = 0xFFFFFF;
constexpr int k_quest_list_bytes = sizeof(char_record::quest_bytes) - 1;  // after the count byte

// Where each of the two lists lies relative to the panel origin.
struct list_layout {
    bool completed;
    int heading_text;
    float heading_x, heading_y;
    float text_y;                     // row 0's text
    float band_top, band_bottom;      // row 0's hover band (strict)
    float bar_top;                    // the scroll bar's upper cap
};
constexpr list_layout k_lists[2] = {
    {false, 8, 97.0f, 27.0f, 47.0f, 47.0f, 63.0f, 60.0f},
    {true, 9, 90.0f, 202.0f, 222.0f, 220.0f, 232.0f, 234.0f},
};

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
        const bool over = cursor_strictly_on_screen(o.x + 25.0f, o.y + list.band_top + shift, o.x + 225.0f,
                                                 o.y + list.band_bottom + shift);
        if (over)
            hovered = index;
        char title[sizeof quest_record::title + 4];
        shown_title(g_quests[index], title);
        font_text_out(&g_font_small, int32_t(o.x + 45.0f), int32_t(o.y + list.text_y + shift), title,
                      over ? k_hover_colour : k_row_colour);
    }
    font_end(&g_font_small);
    if (n > k_visible_rows) {
        int32_t step = offset;
        update_list_scroll_bar(o.x, o.y + list.bar_top, n, k_visible_rows, 0, g_hud_click_latch, step);
        offset = uint16_t(step);
    }
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
    const panel_origin o = log_panel_origin();
    if (!begin_log_panel(o, [] { g_interface.quest_log_open = 0; }))
        return;
    int hovered = draw_list(o, k_lists[0], gi.quest_scroll_top);
    const int below = draw_list(o, k_lists[1], gi.quest_scroll_bottom);
    if (below >= 0)
        hovered = below;
    if (hovered >= 0)
        show_quest_tooltip(g_quests[hovered]);
}
