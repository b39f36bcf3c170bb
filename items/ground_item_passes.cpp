// The per-frame passes over the ground items: placement, traps, the hover text, the player's
// pick-up, and the labels shown while the left Alt key is held.
#include "characters/char_inventory.h"
#include "characters/char_movement.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "engine/math.h"
#include "engine/primitives.h"
#include "engine/ui_texts.h"
#include "items/casting.h"
#include "items/ground_items.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "items/spell_impact.h"
#include "platform/key_codes.h"
#include "script/script_services.h"
#include "world/world_objects.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr int32_t k_item_reach = 16;         // half the side of an item's square on the ground
constexpr float k_pick_up_distance = 60.0f;
constexpr int16_t k_essence_points = 5;
constexpr int k_text_attunement_points = 102;
constexpr int k_text_damage = 28;
constexpr int32_t k_label_rise = 24;
constexpr int32_t k_label_step = 12;
constexpr uint32_t k_label_colour = 0xF0F0F0;
constexpr float k_label_row_limit = 1.0e9f;  // rows are held inside this on either side
constexpr uint32_t k_label_hover_colour = 0x0000FF;

bool playing()
{
    return g_work_mode == k_work_play;
}

bool left_alt_held()
{
    return (g_key_state[k_key_lmenu] & k_key_down_bit) != 0;
}

int32_t ground_item_count()
{
    return std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots);
}

// The prototype of a record that lies (state 2 or 3) and has a name to show, else null.
const item_proto* shown_item(const ground_item& g)
{
    if (g.state != k_ground_item_lying && g.state != k_ground_item_taken)
        return nullptr;
    const item_proto* p = item_proto_at(g.item);
    return p && strnlen(p->display_name, sizeof p->display_name) > 1 ? p : nullptr;
}

bool strictly_near(float px, float py, const ground_item& g)
{
    return px > float(g.x - k_item_reach) && px < float(g.x + k_item_reach) && py > float(g.y - k_item_reach) &&
           py < float(g.y + k_item_reach);
}

// Every enemy with a world object that stands strictly inside the trap's square sets it off: the
// trap's ground-step spells are cast from the trap, without caster. A trap that went off is gone.
void fire_trap(ground_item& g, int32_t index)
{
    const item_proto* p = item_proto_at(g.item);
    if (!p || p->item_class != k_item_trap)
        return;
    const item_lists& lists = g_item_lists[g.item];
    const int32_t efects = std::clamp<int32_t>(p->efect_count, 0, k_item_list_entries);
    bool fired = false;
    const int32_t chars = int32_t(std::min<uint32_t>(g_char_count, k_char_slots));
    for (int32_t c = 0; c < chars; ++c) {
        const char_record& ch = g_chars[c];
        if (ch.object <= 0 || ch.kind != k_kind_enemy)
            continue;
        const world_object* o = world_object_of(ch);
        if (!o || !strictly_near(float(int32_t(o->x)), float(int32_t(o->y)), g))
            continue;
        const float layer = float(o->layer);
        for (int32_t e = 0; e < efects; ++e) {
            const item_property& prop = lists.efects[e];
            if (prop.code != k_efect_cast_spell_when_groundstep)
                continue;
            spawn_cast_particles_of(prop.args[0], -1, float(g.x), float(g.y), layer);
            cast_spell_by_id(prop.args[0], -1, float(g.x), float(g.y), float(g.x), float(g.y), 0, 0);
        }
        console_log("ground item %d: the trap went off under character %d", int(index), int(c));
        fired = true;
    }
    if (fired) {
        remove_ground_item(&g);
        g.state = k_ground_item_free;
    }
}

// The name under the mouse in the message window; a click marks the item to be picked up.
void show_hover_text(ground_item& g)
{
    const item_proto* p = shown_item(g);
    if (!p || !strictly_near(g_mouse_x, g_mouse_y, g))
        return;
    const int32_t w = font_measure_text(&g_font_large, p->display_name) + 40;
    char markup[256];
    if (p->item_class == k_item_gold) {
        const int32_t width = g.amount >= 1000 ? w + 60 : g.amount >= 100 ? w + 40 : w + 20;
        std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^gl_a 0.6 %d %s ^l ^mouse_center", int(width),
                      int(g.amount), p->display_name);
    } else {
        std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^gl_a 0.6 %s ^l ^mouse_center", int(w + 20),
                      p->display_name);
    }
    show_text_message(markup);
    if (g_mouse_left && playing())
        g.state = k_ground_item_taken;
}

// The player, standing, takes a marked item within reach; farther away the mark is dropped.
void pick_up_when_near(ground_item& g, int32_t index)
{
    char_record* player = char_at(int32_t(g_player_char));
    float px, py;
    if (!player || player->anim_action != 0 || !char_position(*player, &px, &py))
        return;
    if (distance2d(px, py, float(g.x), float(g.y)) >= k_pick_up_distance) {
        g.state = k_ground_item_lying;
        return;
    }
    const item_proto* p = item_proto_at(g.item);
    if (!p)
        return;
    if (p->item_class == k_item_essence) {
        console_log("%s received 5 attunement points", player->display_name);
        log_add_line(&g_message_log, 0, "%s %s", player->display_name, ui_text(k_text_attunement_points));
        play_item_inventory_sound(g.item, px, py);
        add_attunement_charge(player, k_essence_points);
        remove_ground_item(&g);
        g.state = k_ground_item_free;
        return;
    }
    if (ground_item_object(index) && int32_t(g.object) != player->object)
        pick_up_ground_item(&g, int32_t(g_player_char), index);
}

// Rows of the labels drawn in a frame. Each used row leads to a lower row to try next, and the
// search compresses the rows it passes, so that many labels starting on one row are found their
// place in near constant time.
class label_rows {
public:
    void clear()
    {
        std::fill(std::begin(keys_), std::end(keys_), k_empty);
    }
    // The first row from ly upwards (in steps of 12) that is not yet used; it becomes used.
    int32_t take(int32_t ly)
    {
        int32_t row = ly;
        while (const int32_t* next = find(row))
            row = *next;
        for (int32_t s = ly; s != row;) {
            int32_t* next = find(s);
            const int32_t after = *next;
            *next = row - k_label_step;
            s = after;
        }
        insert(row, row - k_label_step);
        return row;
    }

private:
    static constexpr int32_t k_empty = INT32_MIN;
    static constexpr uint32_t k_size = 4096;  // more than twice the records of a table

    static uint32_t hash(int32_t key)
    {
        return (uint32_t(key) * 2654435761u) >> 20;
    }
    int32_t* find(int32_t key)
    {
        for (uint32_t i = hash(key);; i = (i + 1) % k_size) {
            if (keys_[i] == key)
                return &next_[i];
            if (keys_[i] == k_empty)
                return nullptr;
        }
    }
    void insert(int32_t key, int32_t next)
    {
        uint32_t i = hash(key);
        while (keys_[i] != k_empty)
            i = (i + 1) % k_size;
        keys_[i] = key;
        next_[i] = next;
    }

    int32_t keys_[k_size];
    int32_t next_[k_size];
};

void label_text(const ground_item& g, const item_proto& p, char* text, size_t size)
{
    if (p.item_class == k_item_gold)
        std::snprintf(text, size, "%d %s", int(g.amount), p.display_name);
    else if (p.item_class >= k_item_fast_weapon && p.item_class <= k_item_focus)
        std::snprintf(text, size, "%s (%d - %d %s)", p.display_name, int(p.damage * 0.75), int(p.damage * 1.25),
                      ui_text(k_text_damage));
    else
        std::snprintf(text, size, "%s", p.display_name);
}

} // namespace

void update_ground_items(int quiet)
{
    if (g_text_viewer_open)
        return;
    for (int32_t i = 0; i < ground_item_count(); ++i) {
        ground_item& g = g_ground_items[i];
        if (g.state == k_ground_item_free)
            continue;
        if (g.state == k_ground_item_dropped)
            place_ground_item(&g, i, quiet != 0);
        if (playing() && (g.state == k_ground_item_lying || g.state == k_ground_item_taken))
            fire_trap(g, i);
        if (!left_alt_held())
            show_hover_text(g);
        if (playing() && g.state == k_ground_item_taken)
            pick_up_when_near(g, i);
    }
}

void draw_ground_item_labels()
{
    if (!left_alt_held())
        return;
    static label_rows rows;
    rows.clear();
    font_begin(&g_font_small);
    char text[256];
    for (int32_t i = 0; i < ground_item_count(); ++i) {
        ground_item& g = g_ground_items[i];
        const item_proto* p = shown_item(g);
        if (!p)
            continue;
        label_text(g, *p, text, sizeof text);
        const int32_t w = font_text_width(&g_font_small, text);
        const float sx = float(g.x) * g_zoom - g_camera_x * g_zoom - float(w) / 2.0f;
        const float row = float(g.y) * g_zoom - g_camera_y * g_zoom - float(k_label_rise);
        const int32_t ly = rows.take(int32_t(std::clamp(row, -k_label_row_limit, k_label_row_limit)));
        draw_colored_rect(sx - 2.0f, float(ly - 1), sx + float(w + 3), float(ly + 13), 1.0f, 1.0f, 1.0f, 0.5f, 0);
        const bool hover = g_mouse_screen_x > sx && g_mouse_screen_x < sx + float(w) && g_mouse_screen_y > float(ly) &&
                           g_mouse_screen_y < float(ly + k_label_step);
        font_text_out(&g_font_small, int32_t(sx), ly, text, hover ? k_label_hover_colour : k_label_colour);
        if (hover && g_mouse_left && playing())
            g.state = k_ground_item_taken;
    }
    font_end(&g_font_small);
}
