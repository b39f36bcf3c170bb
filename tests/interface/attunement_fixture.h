// Tests of the attunement panel and the attunement selection window: the log panels' drawing
// fixture with a kept item table of attunements (tier thresholds 100, 200 and 300), a living
// player at level 1 in slot 0, each list widget and save/load button in a texture of its own and
// a release wait that lets the left button go and counts its calls.
#pragma once

#include "tests/interface/log_panels_fixture.h"

#include "characters/char_notices.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "engine/ui_texts.h"
#include "interface/attunement_panel.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "script/text_window.h"
#include "support/item_table_guard.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

inline int g_release_waits = 0;

class attunement_test : public log_panels_test {
protected:
    void SetUp() override
    {
        log_panels_test::SetUp();
        saved_.keep(g_chars[0]), saved_.keep(g_char_count), saved_.keep(g_player_char), saved_.keep(g_notices);
        saved_.keep(g_hud_click_latch), saved_.keep(g_interface_links), saved_.keep(g_message_window);
        saved_.keep(g_message_shown), saved_.keep(g_ui_text), saved_.keep(g_language), saved_.keep(g_mouse_state);
        saved_.keep(g_wheel_up), saved_.keep(g_wheel_down), saved_.keep(g_attunement_panel_scroll);
        saved_.keep(g_attunement_select_scroll), saved_.keep(g_text_viewer_open), saved_.keep(g_ambient_color);
        saved_.keep(g_lights), saved_.keep(g_light_count);
        for (int n = 0; n < k_ui_text_count; ++n)
            std::snprintf(g_ui_text[n], sizeof g_ui_text[n], "U%d", n);
        std::snprintf(g_language, sizeof g_language, "eng");
        g_item_proto_count = 0;
        g_attunement_thresholds[0] = 100, g_attunement_thresholds[1] = 200, g_attunement_thresholds[2] = 300;
        char_record& hero = g_chars[0];
        hero = char_record{};
        hero.kind = k_kind_player, hero.life = k_life_alive, hero.slot = 0, hero.level = 1, hero.object = -1;
        g_char_count = 1, g_player_char = 0;
        g_hud_click_latch = 0, g_text_viewer_open = 0;
        g_wheel_up = g_wheel_down = 0, g_mouse_state = mouse_state{};
        g_attunement_panel_scroll = g_attunement_select_scroll = 0;
        game_interface& gi = g_interface;
        std::fill(std::begin(gi.panel_tiles), std::end(gi.panel_tiles), k_no_texture_slot);
        for (int k = 0; k < 10; ++k)
            gi.list_widgets[k] = texture("widget" + std::to_string(k));
        for (int k = 0; k < 18; ++k)
            gi.save_load_buttons[k] = texture("button" + std::to_string(k));
        gi.side_panel_open = gi.character_panel_open = gi.quest_log_open = 0;
        gi.attunement_panel_open = gi.attunement_select_open = gi.attunement_select_first = 0;
        gi.attunement_page = 0, gi.overlay_click_latch = 0;
        clear_held_item(true);
        reset_text_window(&g_message_window);
        g_release_waits = 0;
        g_interface_links = interface_links{};
        g_interface_links.wait_until_released = [](bool (*held)()) {
            ++g_release_waits;
            g_mouse_left = 0;
            return !held();
        };
    }
    void TearDown() override
    {
        reset_text_window(&g_message_window);
        log_panels_test::TearDown();
    }

    static char_record& hero() { return g_chars[0]; }
    // Attunement `id` named "A<id>" of the tier with that many points; the table grows to hold it.
    static item_proto& attunement(int16_t id, int16_t points, uint8_t tier = 0)
    {
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        std::snprintf(p.key_name, sizeof p.key_name, "a%d", int(id));
        std::snprintf(p.display_name, sizeof p.display_name, "A%d", int(id));
        p.item_class = k_item_attunement;
        p.size = tier;
        p.damage = points;
        g_item_lists[id] = item_lists{};
        g_item_proto_count = std::max<int32_t>(g_item_proto_count, id + 1);
        return p;
    }
    // Learned attunements first to first + count - 1, of tier 0.
    static void learned(int16_t first, int count)
    {
        for (int16_t id = first; id < first + count; ++id)
            attunement(id, 100);
    }
    static void activate(std::initializer_list<int16_t> ids)
    {
        for (int16_t id : ids)
            hero().active_attunements[hero().active_attunement_count++] = id;
    }
    // The drawn strings as "x,y,colour" (colour 0xBBGGRR in hex), blank-separated.
    std::string drawn() const
    {
        std::string out;
        for (const drawn_string& s : strings())
            out += (out.empty() ? "" : " ") + std::to_string(s.x) + "," + std::to_string(s.y) + "," +
                   (std::ostringstream() << std::hex << s.colour).str();
        return out;
    }
    // How many strings were drawn at x.
    size_t drawn_at_x(int x) const
    {
        const std::vector<drawn_string> all = strings();
        return size_t(std::count_if(all.begin(), all.end(), [x](const drawn_string& s) { return s.x == x; }));
    }
    // A left press at (x, y) held for one frame more, then let go, each frame run by `frame`.
    template <class Frame>
    void click(float x, float y, Frame frame)
    {
        g_mouse_screen_x = x, g_mouse_screen_y = y;
        g_mouse_left = 1;
        frame();
        if (g_mouse_left)
            frame();
        g_mouse_left = 0;
        frame();
    }

    item_table_guard items_;
};
