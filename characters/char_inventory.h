// A character's inventory and the player's attunements, kept in its record.
//
// Entry i (0 to inv_count - 1) is spread over the record's parallel arrays inv_item,
// inv_location, inv_value, inv_damage_type, inv_expire and inv_timer; the list stays dense and
// holds at most 200 entries. Locations 0 to 15 are the backpack (one entry per slot), 16 to 254
// are equipped (77 the attunements), 255 none. A count or id read from a file that is out of
// range is held to the list: entries beyond 200 and item ids outside the item table carry
// nothing.
//
// The player is the character of kind PLAYER. Messages for the player go to the message log in
// colour 0 with UI text 117 ("taken") or 118 ("lost").
#pragma once

#include "characters/char_record.h"

#include <cstdint>

constexpr int k_backpack_slots = 16;
constexpr int k_max_active_attunements = 16;

// 200.
int32_t char_inventory_capacity();
// A location from 16 to 254: an equipment location or the attunements' 77.
inline bool is_equipped_location(uint8_t location)
{
    return location > k_inv_backpack_last && location != k_inv_none;
}

// Appends an entry (item, value, location). The damage-type byte is damage_type, or the item's
// own for -1. Gold given to the player is not stored: damage_type is the amount added to the purse.
// A container item gets, for the player, a new character container (its index as the value), for
// others -1. An item with a duration sets the entry's expiry to g_ticks + duration, one with a
// period its timer to g_ticks + period. Then the running clip restarts, the item effects are
// applied and, unless the item is an attunement, the equipment is refreshed. Refused (false,
// logged) for an item id outside the table and when the list holds 200 entries.
bool char_give_item(char_record* c, int16_t item, uint32_t value, uint8_t location, int32_t damage_type);

// Puts the item into the first free backpack slot: gold taken by the player adds `value` to the
// purse instead. The damage-type byte comes from the ground item of that index when one is given
// and it carries one, else from the item; containers and timers as when giving. Nothing is
// refreshed. False when the item id is outside the table, every backpack slot is taken or the list
// is full.
bool char_take_item(char_record* c, int16_t item, uint32_t value, int32_t ground_item);

// Removes the entry; later entries move down one place, and for the player the interface's
// selected entry keeps to its own. For the player, unless quiet, the loss is
// told (no message log line for an item with the no-loss flag). Then the running clip restarts,
// the item effects are applied and, unless the item is an attunement, the equipment is refreshed.
// Nothing for an index outside the list.
void char_remove_item_at(char_record* c, int32_t index, bool quiet);
// Removes every entry of the item; when any was removed, outside a running dialogue and for a
// living character, restarts the clip, applies effects and, unless the item is an attunement,
// refreshes the equipment.
void char_remove_item(char_record* c, int16_t item, bool quiet);
// A dead enemy's loot: every entry without the no-loss flag falls to the ground at the character
// and its body part is cleared; then every entry is removed quietly and the effects reapplied.
void char_drop_all_items(char_record* c);
// Each frame: removes every entry at a location below 255 whose item has a duration, whose expiry
// has passed, and whose item has the destroy flag or is an efect.
void char_drop_expired_items(char_record* c);

bool char_has_item_id(const char_record* c, int16_t item);
// Key names compared ignoring case.
bool char_has_item_named(const char_record* c, const char* key_name);

// The index of the last entry at the weapon location, or -1.
int32_t char_weapon_entry(const char_record* c);
// The item of that entry, or -1.
int32_t char_weapon_item(const char_record* c);
// The weapon's stamina cost per attack, 0 without a weapon.
int32_t char_weapon_stamina_cost(const char_record* c);
// The attunement is equipped (an entry at a location from 16 up) and of the attunement class.
bool char_has_attunement(const char_record* c, int16_t id);

// The last entry at the weapon location moves to the first free backpack slot (it stays when none
// is free) and the item is appended there with value 1 and its own damage-type byte; then the
// attunements are synchronised, the effects applied and the equipment refreshed; for the player
// the interface records the item and its icon as the last equipped weapon. False (nothing
// changed) for an item id outside the table or a full list.
bool char_equip_weapon(char_record* c, int16_t item);

// Uses on the character the first entry of the item that quick slot names.
void char_use_item(char_record* c, int32_t quick_index);

// The character's light (when it has one) turns 0.6 grey, then every equipped item applies its
// looks to the character.
void char_apply_item_effects(char_record* c);
// Removes every world object the character owns (not its own), and for a living character loads
// each weapon's animation set (load_char_anims: nothing for set 0 or the set it has) and builds
// every equipped item's models and attached effects; attack_variant becomes 0. An item given
// while this runs (by an equipment spell) is built too, without casting its equipment spells,
// and asks for no refresh of its own: one refresh casts each worn item's spells once.
void char_refresh_equipment(char_record* c);

// For the player: each equipped item that is not an attunement and whose link names an attunement
// (id 1 or more in the table, of the attunement class) adds n to that attunement's points while
// they are below its tier's threshold and its requirements are met. The points stop at 32767.
void add_attunement_charge(char_record* c, int32_t n);

// The size of the active attunement list by level: 4 at levels 1 to 3, two more every four
// levels, 16 from level 24 (and below level 1).
int32_t char_max_active_attunements(const char_record* c);
// For each active id: when id's upgrade chain (its link, that one's link, ...) reaches the active
// id before it ends or comes back to id, id replaces that entry (false). Otherwise id is appended
// (true) unless the list is full (false). A chain is walked at most item-count steps.
bool active_attunement_add(char_record* c, int16_t id);
// Later ids move down one place; nothing for an index outside the list.
void active_attunement_remove_at(char_record* c, int32_t index);
bool active_attunement_has(const char_record* c, int16_t id);
// Gives the attunement at location 77 with value 1 unless it is equipped already.
void char_give_attunement(char_record* c, int16_t id);
// For the player: removes every attunement entry quietly, then gives back each active id whose
// requirements are met.
void char_sync_attunements(char_record* c);
