#include "characters/char_inventory.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "items/item_looks.h"
#include "items/item_requirements.h"
#include "items/item_use.h"
#include "items/items.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <climits>
#include <limits>
#include <strings.h>
#include <vector>

namespace {

constexpr int k_text_taken = 117;
constexpr int k_text_lost = 118;
constexpr uint8_t k_message_colour = 0;
constexpr float k_light_grey = 0.6f;

bool is_player(const char_record* c)
{
    return c->slot >= 0 && uint32_t(c->slot) == g_player_char;
}

// The running action starts its clip again, keeping its variant.
void restart_running_clip(char_record* c)
{
    set_char_anim(c, c->anim_action, 1, 1);
}
// The hero's entry `index` was removed: the interface's selected entry keeps to its own entry.
void follow_selected_entry_removed(const char_record* c, int32_t index)
{
    int16_t& selected = g_interface.selected_entry;
    if (!is_player(c) || selected < 0 || selected < index)
        return;
    selected = selected == index ? int16_t(-1) : int16_t(selected - 1);
}
// The interface records the weapon the hero equipped, with its icon.
void note_equipped_weapon(const char_record* c, int16_t item, const item_proto& p)
{
    if (!is_player(c))
        return;
    g_interface.last_weapon = item;
    g_interface.last_weapon_icon = p.icon_texture;
    g_interface.last_weapon_changed = 1;
}
// The item id quick slot `slot` holds, -1 for an empty slot or one outside the bar.
int32_t quick_bar_item(int32_t slot)
{
    return slot >= 0 && slot < k_quick_slots ? g_interface.quick_ids[slot] : -1;
}
// A dropped item waits at the character until the ground-item pass places it.
void drop_ground_item_at(const char_record* c, int16_t item, uint32_t value, uint8_t element)
{
    drop_ground_item(uint16_t(item), uint16_t(std::min<uint32_t>(value, INT16_MAX)), 0, 0, true, uint16_t(c->slot),
                     element);
}
bool requirements_met_for(int32_t id, const char_record* c)
{
    return item_requirements_met_by(id, *c, id) != 0;
}

int32_t entry_count(const char_record* c)
{
    return std::min<int32_t>(c->inv_count, k_inventory_entries);
}

int32_t active_count(const char_record* c)
{
    return std::clamp<int32_t>(c->active_attunement_count, 0, k_max_active_attunements);
}

const char* name_of(const item_proto* p)
{
    return p ? p->display_name : "";
}

bool is_attunement(const item_proto* p)
{
    return p && p->item_class == k_item_attunement;
}

// The item of the entry, or null when its id is not in the table.
const item_proto* entry_item(const char_record* c, int32_t i)
{
    return item_proto_at(c->inv_item[i]);
}

int32_t first_free_backpack_slot(const char_record* c)
{
    bool taken[k_backpack_slots] = {};
    for (int32_t i = 0; i < entry_count(c); ++i)
        if (c->inv_location[i] <= k_inv_backpack_last)
            taken[c->inv_location[i]] = true;
    for (int32_t slot = 0; slot < k_backpack_slots; ++slot)
        if (!taken[slot])
            return slot;
    return -1;
}

void take_gold(char_record* c, const item_proto& gold, int32_t amount)
{
    int64_t sum = int64_t(c->gold) + amount;
    c->gold = int32_t(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    console_log("You have taken %d %s", int(amount), gold.display_name);
    log_add_line(&g_message_log, k_message_colour, "%s %d %s", ui_text(k_text_taken), int(amount), gold.display_name);
}

// Appends an entry with the item's container and timers; its index, or -1 when the list is full.
int32_t append_entry(char_record* c, int16_t item, const item_proto& p, uint32_t value, uint8_t location,
                     uint8_t damage_type)
{
    int32_t n = entry_count(c);
    if (n >= k_inventory_entries) {
        console_log("inventory full: %s not added", p.display_name);
        return -1;
    }
    if (p.item_class == k_item_container)
        value = uint32_t(is_player(c) ? new_char_container(item) : -1);
    c->inv_item[n] = item;
    c->inv_location[n] = location;
    c->inv_value[n] = value;
    c->inv_damage_type[n] = damage_type;
    c->inv_expire[n] = p.duration != 0 ? g_ticks + uint32_t(int32_t(p.duration)) : 0;
    c->inv_timer[n] = p.period != 0 ? g_ticks + p.period : 0;
    c->inv_count = uint8_t(n + 1);
    return n;
}

// The item of an id to be added, or null (logged) when the id is not in the table.
const item_proto* item_to_add(int16_t item)
{
    const item_proto* p = item_proto_at(item);
    if (!p)
        console_log("item %d is not in the item table; not added", int(item));
    return p;
}

// Removes entry index (inside the list) with the loss told unless quiet; nothing is refreshed.
void erase_entry(char_record* c, int32_t index, bool quiet)
{
    const item_proto* p = entry_item(c, index);
    if (is_player(c) && !quiet) {
        if (p && !p->no_loss)
            log_add_line(&g_message_log, k_message_colour, "%s %s", ui_text(k_text_lost), p->display_name);
        console_log("You have lost %s", name_of(p));
    }
    int32_t n = entry_count(c);
    int32_t later = n - index - 1;
    std::memmove(&c->inv_item[index], &c->inv_item[index + 1], sizeof c->inv_item[0] * later);
    std::memmove(&c->inv_location[index], &c->inv_location[index + 1], sizeof c->inv_location[0] * later);
    std::memmove(&c->inv_value[index], &c->inv_value[index + 1], sizeof c->inv_value[0] * later);
    std::memmove(&c->inv_damage_type[index], &c->inv_damage_type[index + 1], sizeof c->inv_damage_type[0] * later);
    std::memmove(&c->inv_expire[index], &c->inv_expire[index + 1], sizeof c->inv_expire[0] * later);
    std::memmove(&c->inv_timer[index], &c->inv_timer[index + 1], sizeof c->inv_timer[0] * later);
    follow_selected_entry_removed(c, index);
    c->inv_count = uint8_t(n - 1);
}

// After an entry came or went: the clip restarts, effects apply, and the equipment is rebuilt
// unless the item was an attunement.
void after_inventory_change(char_record* c, const item_proto* p)
{
    restart_running_clip(c);
    char_apply_item_effects(c);
    if (!is_attunement(p))
        char_refresh_equipment(c);
}

// Item id's upgrade chain reaches `target` before it ends or comes back to id; at most
// item-count links are followed, so a loop that does not pass id ends too.
bool upgrade_chain_reaches(int16_t id, int16_t target)
{
    int16_t at = id;
    for (int32_t step = 0; step < g_item_proto_count; ++step) {
        const item_proto* p = item_proto_at(at);
        if (!p)
            return false;
        at = p->attunement_link;
        if (at == id || !item_proto_at(at))
            return false;
        if (at == target)
            return true;
    }
    return false;
}

// Removes every world object the character owns, except its own object.
void remove_owned_objects(const char_record* c)
{
    if (c->slot < 0 || !g_objects)
        return;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (o.state != 0 && o.owner == c->slot && o.proto != -2 - int32_t(c->slot))
            reset_object(&o);
    }
}

} // namespace

int32_t char_inventory_capacity()
{
    return k_inventory_entries;
}

bool char_give_item(char_record* c, int16_t item, uint32_t value, uint8_t location, int32_t damage_type)
{
    const item_proto* p = item_to_add(item);
    if (!p)
        return false;
    if (p->item_class == k_item_gold && is_player(c)) {
        take_gold(c, *p, damage_type);
        return true;
    }
    uint8_t type = damage_type == -1 ? p->damage_type : uint8_t(damage_type);
    if (append_entry(c, item, *p, value, location, type) < 0)
        return false;
    after_inventory_change(c, p);
    return true;
}

bool char_take_item(char_record* c, int16_t item, uint32_t value, int32_t ground_item)
{
    const item_proto* p = item_to_add(item);
    if (!p)
        return false;
    if (p->item_class == k_item_gold && is_player(c)) {
        take_gold(c, *p, int32_t(value));
        return true;
    }
    int32_t slot = first_free_backpack_slot(c);
    if (slot < 0)
        return false;
    uint8_t type = p->damage_type;
    if (ground_item >= 0 && ground_item < k_ground_item_slots &&
        g_ground_items[ground_item].element != k_ground_item_no_element)
        type = uint8_t(g_ground_items[ground_item].element);
    if (append_entry(c, item, *p, value, uint8_t(slot), type) < 0)
        return false;
    console_log("You have taken %s", p->display_name);
    log_add_line(&g_message_log, k_message_colour, "%s %s", ui_text(k_text_taken), p->display_name);
    return true;
}

void char_remove_item_at(char_record* c, int32_t index, bool quiet)
{
    if (index < 0 || index >= entry_count(c))
        return;
    const item_proto* p = entry_item(c, index);
    erase_entry(c, index, quiet);
    after_inventory_change(c, p);
}

void char_remove_item(char_record* c, int16_t item, bool quiet)
{
    bool removed = false;
    for (int32_t i = 0; i < entry_count(c);) {
        if (c->inv_item[i] == item) {
            erase_entry(c, i, quiet);
            removed = true;
        } else {
            ++i;
        }
    }
    if (removed && !g_dialogue_running && c->life == k_life_alive)
        after_inventory_change(c, item_proto_at(item));
}

void char_drop_all_items(char_record* c)
{
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = entry_item(c, i);
        if (p && !p->no_loss) {
            drop_ground_item_at(c, c->inv_item[i], c->inv_value[i], c->inv_damage_type[i]);
            clear_char_model_parts(c->inv_item[i], c);
        }
    }
    while (entry_count(c) > 0)
        erase_entry(c, entry_count(c) - 1, true);
    char_apply_item_effects(c);
}

void char_drop_expired_items(char_record* c)
{
    for (int32_t i = 0; i < entry_count(c);) {
        const item_proto* p = entry_item(c, i);
        bool expired = c->inv_location[i] != k_inv_none && p && p->duration != 0 && c->inv_expire[i] < g_ticks &&
                       (p->destroy_after || p->item_class == k_item_efect);
        if (expired)
            char_remove_item_at(c, i, false);
        else
            ++i;
    }
}

bool char_has_item_id(const char_record* c, int16_t item)
{
    for (int32_t i = 0; i < entry_count(c); ++i)
        if (c->inv_item[i] == item)
            return true;
    return false;
}

bool char_has_item_named(const char_record* c, const char* key_name)
{
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = entry_item(c, i);
        if (p && strcasecmp(p->key_name, key_name) == 0)
            return true;
    }
    return false;
}

int32_t char_weapon_entry(const char_record* c)
{
    for (int32_t i = entry_count(c) - 1; i >= 0; --i)
        if (c->inv_location[i] == k_inv_weapon)
            return i;
    return -1;
}

int32_t char_weapon_item(const char_record* c)
{
    int32_t i = char_weapon_entry(c);
    return i < 0 ? -1 : c->inv_item[i];
}

int32_t char_weapon_stamina_cost(const char_record* c)
{
    const item_proto* p = item_proto_at(char_weapon_item(c));
    return p ? p->stamina_cost : 0;
}

bool char_has_attunement(const char_record* c, int16_t id)
{
    for (int32_t i = 0; i < entry_count(c); ++i)
        if (c->inv_item[i] == id && is_equipped_location(c->inv_location[i]) && is_attunement(entry_item(c, i)))
            return true;
    return false;
}

bool char_equip_weapon(char_record* c, int16_t item)
{
    const item_proto* p = item_to_add(item);
    if (!p || entry_count(c) >= k_inventory_entries)
        return false;
    int32_t old = char_weapon_entry(c);
    int32_t slot = first_free_backpack_slot(c);
    if (old >= 0 && slot >= 0)
        c->inv_location[old] = uint8_t(slot);
    append_entry(c, item, *p, 1, k_inv_weapon, p->damage_type);
    char_sync_attunements(c);
    char_apply_item_effects(c);
    char_refresh_equipment(c);
    note_equipped_weapon(c, item, *p);
    return true;
}

void char_use_item(char_record* c, int32_t quick_index)
{
    int32_t item = quick_bar_item(quick_index);
    console_log("item type %d", int(item));
    for (int32_t i = 0; i < entry_count(c); ++i) {
        if (c->inv_item[i] == item) {
            if (entry_item(c, i))
                use_item(item, c, int16_t(item));
            return;
        }
    }
}

void char_apply_item_effects(char_record* c)
{
    if (c->light < k_light_slots)
        light_set_colour(&g_lights[c->light], k_light_grey, k_light_grey, k_light_grey);
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = entry_item(c, i);
        if (p && is_equipped_location(c->inv_location[i]))
            apply_item_looks(c->inv_item[i], c);
    }
}

void char_refresh_equipment(char_record* c)
{
    // An equipment spell may give the character an item (the spell's item effect), whose refresh
    // would cast the spell again: the refresh running takes the item in, without its spells.
    static std::vector<const char_record*> refreshing;
    if (std::find(refreshing.begin(), refreshing.end(), c) != refreshing.end())
        return;
    refreshing.push_back(c);
    remove_owned_objects(c);
    if (c->life == k_life_alive) {
        for (int32_t i = 0; i < entry_count(c); ++i) {
            const item_proto* p = entry_item(c, i);
            if (p && c->inv_location[i] == k_inv_weapon)
                load_char_anims(c, p->anim_set, false);
        }
        const int32_t held = entry_count(c);
        for (int32_t i = 0; i < entry_count(c); ++i) {
            const item_proto* p = entry_item(c, i);
            if (p && is_equipped_location(c->inv_location[i])) {
                build_char_model_set(c->inv_item[i], c);
                attach_item_effects(c->inv_item[i], c, c->inv_item[i], i < held);
            }
        }
    }
    c->attack_variant = 0;
    refreshing.pop_back();
}

void add_attunement_charge(char_record* c, int32_t n)
{
    if (!is_player(c))
        return;
    for (int32_t i = 0; i < entry_count(c); ++i) {
        const item_proto* p = entry_item(c, i);
        if (!p || !is_equipped_location(c->inv_location[i]) || is_attunement(p) || p->attunement_link < 1)
            continue;
        item_proto* a = item_proto_at(p->attunement_link);
        if (!is_attunement(a) || a->damage >= attunement_threshold(a->size) || !requirements_met_for(p->attunement_link, c))
            continue;
        a->damage = int16_t(std::clamp<int32_t>(a->damage + n, std::numeric_limits<int16_t>::min(),
                                                std::numeric_limits<int16_t>::max()));
    }
}

int32_t char_max_active_attunements(const char_record* c)
{
    if (c->level < 1 || c->level > 23)
        return k_max_active_attunements;
    return 4 + 2 * (c->level / 4);
}

bool active_attunement_add(char_record* c, int16_t id)
{
    int32_t n = active_count(c);
    for (int32_t i = 0; i < n; ++i) {
        if (upgrade_chain_reaches(id, c->active_attunements[i])) {
            c->active_attunements[i] = id;
            return false;
        }
    }
    if (n >= char_max_active_attunements(c))
        return false;
    c->active_attunements[n] = id;
    c->active_attunement_count = int16_t(n + 1);
    return true;
}

void active_attunement_remove_at(char_record* c, int32_t index)
{
    int32_t n = active_count(c);
    if (index < 0 || index >= n)
        return;
    std::memmove(&c->active_attunements[index], &c->active_attunements[index + 1],
                 sizeof c->active_attunements[0] * (n - index - 1));
    c->active_attunement_count = int16_t(n - 1);
}

bool active_attunement_has(const char_record* c, int16_t id)
{
    const int16_t* first = c->active_attunements;
    const int16_t* last = first + active_count(c);
    return std::find(first, last, id) != last;
}

void char_give_attunement(char_record* c, int16_t id)
{
    if (!char_has_attunement(c, id))
        char_give_item(c, id, 1, k_inv_attunement, -1);
}

void char_sync_attunements(char_record* c)
{
    if (!is_player(c))
        return;
    for (int32_t i = 0; i < entry_count(c);) {
        if (is_attunement(entry_item(c, i)))
            char_remove_item_at(c, i, true);
        else
            ++i;
    }
    for (int32_t i = 0; i < active_count(c); ++i) {
        const item_proto* p = item_proto_at(c->active_attunements[i]);
        if (p && requirements_met_for(c->active_attunements[i], c))
            char_give_attunement(c, c->active_attunements[i]);
    }
}
