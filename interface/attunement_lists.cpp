#include "interface/attunement_lists.h"

#include "characters/char_inventory.h"
#include "characters/char_record.h"
#include "core/game_globals.h"
#include "engine/fonts.h"
#include "interface/panel_drawing.h"
#include "items/item_tooltips.h"
#include "script/script_services.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float k_band_width = 200.0f;
constexpr float k_guessed_height = 320.0f;

bool learned(const item_proto& p)
{
    return !p.deleted && p.item_class == k_item_attunement && p.size < k_attunement_tiers &&
           p.damage >= g_attunement_thresholds[p.size];
}

char g_attunement_markup[4096];

} // namespace

int32_t learned_inactive_attunements(const char_record* hero, int16_t (&out)[k_item_slots])
{
    if (!hero)
        return 0;
    const int32_t count = std::clamp(g_item_proto_count, 0, k_item_slots);
    int32_t n = 0;
    for (int32_t id = 0; id < count; ++id)
        if (learned(g_item_protos[id]) && !active_attunement_has(hero, int16_t(id)))
            out[n++] = int16_t(id);
    return n;
}

int32_t draw_attunement_rows(const attunement_rows& rows, const int16_t* ids, int32_t count,
                             uint32_t (*colour)(int16_t id, bool hovered))
{
    int32_t hovered = -1;
    font_begin(&g_font_small);
    for (int32_t k = 0; k < count; ++k) {
        const float top = rows.text_y + rows.pitch * float(k);
        const bool over =
            cursor_strictly_on_screen(rows.band_left, top, rows.band_left + k_band_width, top + rows.pitch);
        if (over)
            hovered = k;
        if (const item_proto* p = item_proto_at(ids[k])) {
            char name[sizeof p->display_name + 1];
            std::snprintf(name, sizeof name, "%.*s", int(sizeof p->display_name), p->display_name);
            font_text_out(&g_font_small, int32_t(rows.text_x), int32_t(top), name, colour(ids[k], over));
        }
    }
    font_end(&g_font_small);
    return hovered;
}

void show_attunement_tooltip(int16_t id, bool whole_height)
{
    if (!item_proto_at(id))
        return;
    const uint32_t dialogue = g_dialogue_running;
    g_dialogue_running = 0;
    show_fitted_message(g_attunement_markup, k_guessed_height, [=](float height) {
        if (whole_height)
            height = std::trunc(height);
        draw_attunement_tooltip(id, g_attunement_markup, sizeof g_attunement_markup, height);
    });
    g_dialogue_running = dialogue;
}
