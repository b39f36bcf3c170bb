#include "editor/view/char_mode.h"

#include "characters/char_spawning.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "editor/view/view_picking.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

int32_t g_selected_char = -1;

namespace {

constexpr float k_char_half = 8.0f;
constexpr int16_t k_new_placement_angle2 = 40;
constexpr float k_copy_offset = 50.0f;
constexpr float k_default_scale = 1.35f;

int32_t char_count()
{
    return int32_t(std::min<uint32_t>(g_char_count, k_char_slots));
}

int32_t placement_count()
{
    return std::clamp<int32_t>(g_char_placements.count, 0, k_placement_slots);
}

// The character's world object when it has one inside the object array.
world_object* object_of(int32_t slot)
{
    return slot >= 0 && slot < char_count() ? world_object_of(g_chars[slot]) : nullptr;
}

bool hit(int32_t slot)
{
    const world_object* o = object_of(slot);
    return o && view_pick_hit(o->x, o->y, k_char_half);
}

void pick_char()
{
    if (!g_mouse_left) {
        g_selected_char = -1;
        return;
    }
    if (g_selected_char != -1)
        return;
    for (int32_t i = 0; i < char_count(); ++i)
        if (hit(i))
            g_selected_char = i;
}

// The last placement made from the live character of the slot, -1 none.
int32_t placement_of(int32_t slot)
{
    int32_t found = -1;
    for (int32_t i = 0; i < placement_count(); ++i)
        if (g_char_placements.entries[i].char_slot == slot)
            found = i;
    return found;
}

void add_char(const editor_state& e)
{
    if (e.creature_choice < 0 || e.creature_choice >= g_creature_files.count ||
        size_t(e.creature_choice) >= g_creature_files.names.size()) {
        console_log("postava: subor %d nie je v zozname", int(e.creature_choice));
        return;
    }
    if (placement_count() >= k_placement_slots) {
        console_log("postava: zoznam postav je plny");
        return;
    }
    char file[k_creature_name_size + 1] = {};
    std::memcpy(file, g_creature_files.names[size_t(e.creature_choice)].name, k_creature_name_size);
    add_char_placement(&g_char_placements, file, g_mouse_x, g_mouse_y, k_new_placement_angle2);
    const int32_t last = placement_count() - 1;
    const int32_t source = g_selected_char != -1 ? placement_of(g_selected_char) : -1;
    if (source >= 0 && source != last) {
        char_placement& copy = g_char_placements.entries[last];
        copy = g_char_placements.entries[source];
        copy.x = g_mouse_x + k_copy_offset;
        copy.y = g_mouse_y + k_copy_offset;
    }
    spawn_char_from_placement(&g_char_placements, last, true);
    g_map_dirty = 1;
}

void show_info(const char_record& c, const world_object& o)
{
    std::snprintf(g_mode_info_text, sizeof g_mode_info_text,
                  "\nchar: %d, dream: %d, scale: %f, alfa: %f, rot: %d//%d//%d, rgb: %f//%f//%f", int(g_selected_char),
                  int(c.world), double(c.scale_x), double(o.alpha), int(o.angle_a), int(o.angle_b), int(o.angle_c),
                  double(o.red), double(o.green), double(o.blue));
}

void step(float& value, uint8_t up, uint8_t down_key, float by)
{
    if (view_key_down(up))
        value += by;
    if (view_key_down(down_key))
        value -= by;
}

void step(int32_t& value, uint8_t up, uint8_t down_key)
{
    value += (view_key_down(up) ? 1 : 0) - (view_key_down(down_key) ? 1 : 0);
}

void tune(char_record& c, world_object& o)
{
    if (view_key_down(k_key_a))
        c.scale_x = c.scale_y = c.scale_x + 0.01f;
    if (view_key_down(k_key_z))
        c.scale_x = c.scale_y = c.scale_x - 0.01f;
    if (view_key_down(k_key_q))
        c.scale_x = c.scale_y = k_default_scale;
    step(o.alpha, k_key_s, k_key_x, 0.01f);
    if (view_key_down(k_key_w))
        o.alpha = 1.0f;
    step(o.angle_a, k_key_e, k_key_r);
    step(o.angle_b, k_key_d, k_key_f);
    step(o.angle_c, k_key_c, k_key_v);
    step(o.red, k_key_y, k_key_t, 0.01f);
    step(o.green, k_key_h, k_key_g, 0.01f);
    step(o.blue, k_key_n, k_key_b, 0.01f);
    for (uint8_t k = 0; k < 3; ++k)
        if (view_key_down(uint8_t(k_key_1 + k)))
            c.world = k;
    if (view_key_down(k_key_0)) {
        c.scale_x = c.scale_y = k_default_scale;
        o.alpha = 1.0f;
        o.angle_a = 45;
        o.angle_b = 40;
        o.angle_c = 1;
        o.red = o.green = o.blue = 1.0f;
    }
}

void hold_char()
{
    char_record& c = g_chars[g_selected_char];
    world_object* o = object_of(g_selected_char);
    if (!o)
        return;
    show_info(c, *o);
    o->x = g_mouse_x;
    o->y = g_mouse_y;
    tune(c, *o);
    const int32_t p = placement_of(g_selected_char);
    char_placement before = {};
    if (p >= 0)
        before = g_char_placements.entries[p];
    update_placement_from_char(&g_char_placements, g_selected_char);
    if (p >= 0 && std::memcmp(&before, &g_char_placements.entries[p], sizeof before) != 0)
        g_map_dirty = 1;
}

void remove_hit_chars()
{
    for (int32_t i = 0; i < char_count(); ++i) {
        if (!hit(i))
            continue;
        reset_object(object_of(i));
        remove_char_placement(&g_char_placements, i);
        g_chars[i].object = -1;
        g_map_dirty = 1;
    }
}

} // namespace

void run_char_mode(editor_state& e)
{
    pick_char();
    if (press_edge(view_key_down(k_key_return) || view_key_down(k_key_space), e.action_latch)) {
        add_char(e);
        return;
    }
    g_mode_info_text[0] = '\0';
    if (g_selected_char >= 0 && g_selected_char < char_count())
        hold_char();
    if (g_mouse_right && g_selected_char == -1)
        remove_hit_chars();
}
