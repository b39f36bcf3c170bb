#include "interface/held_item.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "items/items.h"
#include "world/world_objects.h"

uint32_t g_hud_click_latch = 0;

char_record* panel_hero()
{
    return char_at(int32_t(g_player_char));
}

bool holding_nothing()
{
    return g_interface.held_origin == k_code_none;
}

bool holding_container_item()
{
    return !holding_nothing() && (g_interface.held_from_container || g_interface.held_from_second_container);
}

bool holding_inventory_item()
{
    return !holding_nothing() && !holding_container_item();
}

int32_t held_item_id()
{
    if (holding_container_item())
        return g_interface.held_item;
    const char_record* hero = panel_hero();
    const int32_t entry = g_interface.held_item;
    if (!holding_inventory_item() || !hero || entry < 0 || entry >= int32_t(hero->inv_count))
        return -1;
    return hero->inv_item[entry];
}

void clear_held_item(bool all)
{
    game_interface& gi = g_interface;
    gi.held_item = -1;
    gi.held_origin = k_code_none;
    gi.held_icon = -1;
    if (all) {
        gi.held_word = 0;
        gi.held_flag = 0;
        gi.held_from_container = gi.held_from_second_container = 0;
    }
}

int32_t last_entry_at(uint8_t location)
{
    const char_record* hero = panel_hero();
    if (!hero)
        return -1;
    for (int32_t i = int32_t(hero->inv_count); i-- > 0;)
        if (hero->inv_location[i] == location)
            return i;
    return -1;
}

void play_held_item_sound(int32_t item)
{
    const char_record* hero = panel_hero();
    const world_object* o = hero ? world_object_of(*hero) : nullptr;
    if (o)
        play_item_inventory_sound(item, o->x, o->y);
}

void clear_weapon_selection_if(uint8_t code)
{
    if (code == k_weapon_slot)
        g_interface.quick_selected = 255;
}

namespace {

bool is_attunement_entry(const char_record& hero, int32_t entry)
{
    const item_proto* p = item_proto_at(hero.inv_item[entry]);
    return p && p->item_class == k_item_attunement;
}

} // namespace

void recompute_hero_equipment()
{
    char_record* hero = panel_hero();
    if (!hero)
        return;
    // The attunements are removed and given again, which moves the entries behind them: the
    // held entry is found again by its place among the other entries.
    int32_t held_rank = -1;
    const int32_t held = g_interface.held_item;
    if (holding_inventory_item() && held >= 0 && held < int32_t(hero->inv_count)) {
        held_rank = 0;
        for (int32_t i = 0; i < held; ++i)
            held_rank += !is_attunement_entry(*hero, i);
    }
    set_char_anim(hero, hero->anim_action, 1, 0);
    char_sync_attunements(hero);
    char_apply_item_effects(hero);
    char_refresh_equipment(hero);
    for (int32_t i = 0; held_rank >= 0 && i < int32_t(hero->inv_count); ++i) {
        if (is_attunement_entry(*hero, i))
            continue;
        if (held_rank-- == 0)
            g_interface.held_item = int16_t(i);
    }
}
