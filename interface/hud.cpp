// The HUD pass: the frame, the level name and clock, the message log, the quick bar, the six
// buttons and the two bars, then the open panels and the notice icons, all in full light.
#include "interface/hud.h"

#include "characters/char_notices.h"
#include "characters/char_record.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/surround.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/attunement_panel.h"
#include "interface/character_panel.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "interface/message_log_window.h"
#include "interface/panel_toggles.h"
#include "interface/quest_log_panel.h"
#include "interface/quick_bar.h"
#include "interface/side_panel.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "script/text_window_layout.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t k_hud_text_colour = 0x00DCDCDC;
constexpr float k_frame_inset = 0.008f;

// Draws the image centred at (x, y) at scale 1; the screen rectangle it covers.
pointer_area draw_hud_image(uint16_t slot, float x, float y, int32_t flip, float inset)
{
    draw_texture_screen(slot, x, y, 1.0f, 1.0f, flip, 0.0f, 0.0f, inset, 1.0f, 1.0f, 1.0f);
    return texture_screen_area(slot, x, y);
}

// A band of the frame, drawn piece by piece from left to right, takes the pointer wherever a piece
// covers: the pieces that meet at the same height claim one rectangle together.
class frame_band {
public:
    void add(const pointer_area& piece)
    {
        if (piece.x1 >= piece.x2 || piece.y1 >= piece.y2)
            return;
        if (open_ && piece.y1 == run_.y1 && piece.y2 == run_.y2 && piece.x1 <= run_.x2) {
            run_.x2 = std::max(run_.x2, piece.x2);
            return;
        }
        claim();
        run_ = piece;
        open_ = true;
    }
    void claim()
    {
        if (open_)
            claim_pointer_area(run_);
        open_ = false;
    }

private:
    pointer_area run_{};
    bool open_ = false;
};

// Indices into g_interface.hud_frame.
enum { k_top_corner, k_top_strip_a, k_top_strip_b, k_bottom_corner, k_bottom_strip_a, k_bottom_strip_b };

void draw_hud_frame(float w, float h)
{
    const game_interface& gi = g_interface;
    const int strips = hud_strip_count(int32_t(w));
    frame_band top, bottom;
    auto piece = [&](frame_band& band, int image, float x, float y, int32_t flip) {
        band.add(draw_hud_image(gi.hud_frame[image], x, y, flip, k_frame_inset));
    };
    piece(top, k_top_corner, 32.0f, 32.0f, 0);
    piece(bottom, k_bottom_corner, 32.0f, h - 16.0f, 0);
    for (int i = 0; i < strips; ++i) {
        const float x = 96.0f + 64.0f * float(i);
        piece(top, i % 2 ? k_top_strip_b : k_top_strip_a, x, 32.0f, 0);
        piece(bottom, i % 2 ? k_bottom_strip_b : k_bottom_strip_a, x, h - 16.0f, 0);
    }
    piece(top, k_top_corner, w - 32.0f, 32.0f, 2);
    piece(bottom, k_bottom_corner, w - 32.0f, h - 16.0f, 2);
    top.claim();
    bottom.claim();
}

// The line in the small font with its top-left corner at (x, y); the box it is drawn in takes the
// pointer.
void draw_hud_line(int32_t x, int32_t y, const char* text)
{
    const int32_t width = font_text_out(&g_font_small, x, y, text, k_hud_text_colour);
    claim_pointer_area({float(x), float(y), float(x + width), float(y + g_font_small.extent.cy)});
}

void draw_hud_texts(const char_record* hero, int32_t w, int32_t h)
{
    font_begin(&g_font_small);
    char name[sizeof g_scene_header.display_name + 1] = {};
    std::memcpy(name, g_scene_header.display_name, sizeof g_scene_header.display_name);
    draw_hud_line(25, 15, name);
    char line[256];
    std::snprintf(line, sizeof line, "%s %d", ui_text(7), int(g_game_clock.day));
    draw_hud_line(w - 70, h - 43, line);
    std::snprintf(line, sizeof line, "%.2d.%.2d", int(g_game_clock.hour), int(g_game_clock.minute));
    draw_hud_line(w - 70, h - 30, line);
    if (g_settings.gr_showstats) {
        const world_object* body =
            hero && hero->object >= 0 && uint32_t(hero->object) < g_object_count ? &g_objects[hero->object] : nullptr;
        std::snprintf(line, sizeof line,
                      "fps %d  / obj %d / textures %d / attackers %d / rot %d / ai:%d-%d-%d / num play snd: %d",
                      int(g_fps), int(g_objects_drawn), int(g_texture_count), int(g_surround.count),
                      body ? int(body->angle_a) : 0, hero ? hero->script_flags[0] : 0,
                      hero ? hero->script_flags[1] : 0, hero ? hero->script_flags[2] : 0,
                      int(g_sound.playing_count));
        draw_hud_line(25, 25, line);
    }
    font_end(&g_font_small);
}

void press_inventory() { toggle_side_panel_page(2); }

struct hud_button {
    float left;
    int image;        // index into g_interface.hud_buttons
    int text;         // UI text of the tooltip
    bool wide_tip;
    bool in_dialogue; // acts while a dialogue runs
    void (*press)();
};

const hud_button k_buttons[] = {
    {23.0f, 0, 0, true, true, toggle_menu},
    {55.0f, 1, 1, false, false, press_inventory},
    {87.0f, 4, 2, false, false, toggle_character_panel},
    {119.0f, 3, 3, false, false, toggle_quest_log},
    {151.0f, 7, 4, false, false, toggle_attunement_panel},
    {183.0f, 6, 5, true, false, switch_dream_world},
};
constexpr size_t k_dream_button = 5;

// The button's hover area takes the pointer; true while the cursor is in it.
bool claim_hud_button(float left, float h)
{
    return claim_pointer_area({left, h - 42.0f, left + 32.0f, h});
}

void update_hud_buttons(float h)
{
    game_interface& gi = g_interface;
    for (size_t i = 0; i < std::size(k_buttons); ++i) {
        if (i == k_dream_button && !gi.dream_switch_allowed)
            continue;
        const hud_button& b = k_buttons[i];
        const bool hovered = claim_hud_button(b.left, h);
        draw_texture_screen(gi.hud_buttons[b.image], b.left + 16.0f, h - 28.0f, 1.0f, hovered ? 1.1f : 1.0f, 0, 0.0f,
                            0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        if (!hovered)
            continue;
        char markup[200];
        std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^mouse_center ^gl_a 0.6 %s", b.wide_tip ? 220 : 150,
                      ui_text(b.text));
        replace_text_message(markup);
        if (!g_mouse_left) {
            g_hud_click_latch = 0;
            continue;
        }
        if (g_hud_click_latch || g_console_shown || (g_dialogue_running && !b.in_dialogue))
            continue;
        g_hud_click_latch = 1;
        b.press();
    }
}

void show_bar_tooltip(const char* text, int32_t margin)
{
    char markup[256];
    // At least as wide as the text needs to stay on one line.
    const int32_t width = std::max<int32_t>(10 * int32_t(std::strlen(text)) + margin, window_width_for_one_line(text));
    std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^mouse_center ^gl_a 0.6 %s", int(width), text);
    replace_text_message(markup);
}

void update_hud_bars(char_record* hero, float w, float h)
{
    if (!hero)
        return;
    const hud_bar_rects r = hud_bar_layout(hero, w, h);
    draw_colored_rect(r.health.x1, r.health.y1, r.health.x2, r.health.y2, 0.1f, 1.0f, 0.1f, 0.8f, k_rect_green);
    draw_colored_rect(r.trail.x1, r.trail.y1, r.trail.x2, r.trail.y2, 1.0f, 0.1f, 0.1f, 0.8f, k_rect_red);
    if (claim_pointer_area({w - 60.0f, h - 200.0f, w - 30.0f, h - 55.0f})) {
        char text[160];
        std::snprintf(text, sizeof text, "%s: %d/%d/%d", ui_text(6), int(shown_hit_points(*hero)),
                      int(hero->hp_ceiling), int(hero->hp_max));
        show_bar_tooltip(text, 10);
    }
    draw_colored_rect(r.pool.x1, r.pool.y1, r.pool.x2, r.pool.y2, 0.1f, 0.3f, 1.0f, 0.8f, k_rect_blue);
    if (claim_pointer_area({w - 28.0f, h - 200.0f, w, h - 55.0f})) {
        char text[40];
        std::snprintf(text, sizeof text, "%d s", int(hero->mana));
        show_bar_tooltip(text, 30);
    }
    const game_interface& gi = g_interface;
    draw_texture_screen(gi.bars[1], w - 13.0f, h - 111.0f, 1.0f, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    draw_texture_screen(gi.bars[0], w - 30.0f, h - 95.0f, 1.0f, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
}

// The panels below the HUD; false when the side panel ends the pass.
bool update_open_panels()
{
    const game_interface& gi = g_interface;
    if (gi.quest_log_open)
        update_quest_log_panel();
    if (gi.attunement_panel_open)
        update_attunement_panel();
    if (gi.character_panel_open)
        update_character_panel();
    if (gi.side_panel_open && !update_side_panel())
        return false;
    return true;
}

} // namespace

int32_t hud_strip_count(int32_t screen_width)
{
    return screen_width / 64 - 2 + (g_editor_enabled ? 1 : 0);
}

hud_bar_rects hud_bar_layout(char_record* hero, float w, float h)
{
    if (hero->hp > hero->hp_max) {
        hero->hp = hero->hp_max;
        hero->hp_ceiling = int16_t(std::clamp(hero->hp_max, -32768, 32767));
    }
    float f1 = 0.0f, f2 = 0.0f;
    if (hero->hp > 0 && hero->hp_max > 0) {
        f1 = float(hero->hp) / float(hero->hp_max);
        f2 = float(hero->hp_ceiling) / float(hero->hp_max);
    }
    const float g = hero->mana_max > 0 ? float(hero->mana) / float(hero->mana_max) : 0.0f;
    hud_bar_rects r;
    r.health = {w - 60.0f, h - 65.0f - 132.0f * f1, w - 30.0f, h - 65.0f};
    r.trail = {w - 60.0f, h - 65.0f - 132.0f * f2, w - 30.0f, h - 65.0f - 132.0f * f1};
    r.pool = {w - 20.0f, h - 55.0f - 95.0f * g, w - 5.0f, h - 55.0f};
    return r;
}

void update_game_interface()
{
    if (!g_interface.shown)
        return;
    full_light_guard light;
    const float w = float(g_screen_width), h = float(g_screen_height);
    char_record* hero = panel_hero();
    draw_hud_frame(w, h);
    draw_hud_texts(hero, g_screen_width, g_screen_height);
    draw_message_log(&g_message_log);
    claim_pointer_area(draw_hud_image(g_interface.hud_divider, 232.0f, h - 14.0f, 0, 0.0f));
    update_quick_bar();
    update_hud_buttons(h);
    update_hud_bars(hero, w, h);
    if (g_dialogue_running)
        return;
    if (!update_open_panels())
        return;
    draw_notice_icons(&g_notices);
}
