#include "characters/char_notices.h"

#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "core/settings.h"
#include "engine/quads.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "items/items.h"
#include "script/script_services.h"
#include "script/text_window_layout.h"

#include <algorithm>
#include <cstdio>

notice_icons g_notices;

namespace {

constexpr int k_points_hint_text = 162;
constexpr int k_attunement_hint_text = 161;
constexpr int k_learned_text = 100;
constexpr int16_t k_notice_skill_points = 100;
constexpr float k_icon_step = 36.0f;
constexpr float k_icon_hover = 16.0f;
constexpr float k_icon_alpha = 0.9f;

void load_icon(uint16_t* slot, const char* name)
{
    if (*slot != k_no_notice_texture)
        release_texture(*slot);
    const int32_t texture = get_texture(name, 0, 0, 0, 0, 0, 0);
    *slot = texture < 0 ? k_no_notice_texture : uint16_t(texture);
}

// Draws one icon centred at (x, y); true while the mouse is over it.
bool draw_icon(uint16_t texture, float x, float y, int hint_text)
{
    if (texture != k_no_notice_texture)
        draw_texture_screen(texture, x, y, k_icon_alpha, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    if (!claim_pointer_area({x - k_icon_hover, y - k_icon_hover, x + k_icon_hover, y + k_icon_hover, 0}))
        return false;
    // One line, at least 220 wide, wider when the hint needs it.
    const char* hint = ui_text(hint_text);
    const int32_t width = std::max<int32_t>(220, window_width_for_one_line(hint));
    char markup[256];
    std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^mouse_center ^gl_a 0.6 %s ^l", int(width), hint);
    reset_text_window(&g_message_window);
    show_text_message(markup);
    return true;
}

} // namespace

int32_t learn_attunement(notice_icons* notices, int32_t item)
{
    item_proto* p = item_proto_at(item);
    if (!p || p->damage == k_attunement_learned_points || notices->last_attunement == item)
        return 0;
    run_hook(g_char_rule_links.cast_learn_attunement, "cast_learn_attunement", int32_t(g_player_char));
    console_log("New Attunement acquired: %s!", p->display_name);
    log_add_line(&g_message_log, 1, "%s %s!", ui_text(k_learned_text), p->display_name);
    p->damage = k_attunement_learned_points;
    notices->last_attunement = int16_t(item);
    notices->attunement_seen = 0;
    return 1;
}

void load_notice_icons(notice_icons* notices)
{
    load_icon(&notices->new_attunement_texture, "data/interface/new_att.tga");
    load_icon(&notices->level_up_texture, "data/interface/level_up.tga");
    load_icon(&notices->new_points_texture, "data/interface/new_points.tga");
    load_icon(&notices->new_map_texture, "data/interface/new_map.tga");
}

void draw_notice_icons(notice_icons* notices)
{
    if (!g_interface.shown)
        return;
    const float x = float(g_screen_width) - 32.0f;
    float y = 64.0f;
    const char_record* player = char_at(int32_t(g_player_char));
    if (player && player->skill_points >= k_notice_skill_points) {
        if (draw_icon(notices->new_points_texture, x, y, k_points_hint_text) && g_mouse_left)
            g_interface.skill_panel_request = 1;
        y += k_icon_step;
    }
    if (notices->attunement_seen == 0) {
        if (draw_icon(notices->new_attunement_texture, x, y, k_attunement_hint_text) && g_mouse_left)
            g_interface.attunement_panel_request = 1;
    }
}
