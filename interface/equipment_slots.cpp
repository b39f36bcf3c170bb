#include "interface/equipment_slots.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "items/items.h"
#include "items/quick_bar_block.h"
#include "items/spells.h"
#include "level/save_files.h"
#include "platform/files.h"

#include <vector>

namespace {

constexpr const char* k_quick_bar_path = "global/quick.dat";
constexpr int32_t k_slot_count = 28;
constexpr int32_t k_first_equip_slot = 16;
constexpr int32_t k_class_count = 27;  // item classes 0 to 26

constexpr uint32_t bit(uint8_t item_class)
{
    return uint32_t(1) << item_class;
}

// The item classes each equipment slot 16 to 27 takes, as bits.
constexpr uint32_t k_slot_classes[k_slot_count - k_first_equip_slot] = {
    bit(k_item_cloak),                                           // 16 cloak
    bit(k_item_helm),                                            // 17 helm
    bit(k_item_neclace),                                         // 18 neclace
    bit(k_item_ring),                                            // 19 ring1
    bit(k_item_boots),                                           // 20 bots
    bit(k_item_ring),                                            // 21 ring2
    bit(k_item_left_hand_armor),                                 // 22 rhand
    bit(k_item_armor),                                           // 23 armor
    bit(k_item_fast_weapon) | bit(k_item_medium_weapon) | bit(k_item_heavy_weapon) |
        bit(k_item_ranged_weapon) | bit(k_item_focus),           // 24 weapon
    bit(k_item_right_hand_armor),                                // 25 lhand
    bit(k_item_shield) | bit(k_item_lantern),                    // 26 shield
    bit(k_item_legs),                                            // 27 legs
};

// The home slot of each item class, -1 for none; rings fall back to ring2 when ring1 is taken.
constexpr int8_t k_home_slots[k_class_count] = {
    -1,                           // 0 normal
    k_inv_weapon, k_inv_weapon, k_inv_weapon, k_inv_weapon, k_inv_weapon,  // 1-5 weapons
    k_inv_armor,                  // 6
    k_inv_helm,                   // 7
    k_inv_bots,                   // 8
    k_inv_shield,                 // 9
    k_inv_ring1,                  // 10
    k_inv_neclace,                // 11
    k_inv_cloak,                  // 12
    k_inv_legs,                   // 13
    k_inv_rhand,                  // 14
    k_inv_lhand,                  // 15
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 16-26
};

bool class_fits_slot(int32_t slot, uint8_t item_class)
{
    if (slot < 0 || slot >= k_slot_count)
        return false;
    if (slot < k_first_equip_slot)
        return true;
    return item_class < 32 && (k_slot_classes[slot - k_first_equip_slot] & bit(item_class)) != 0;
}

const char_record* hero()
{
    return char_at(int32_t(g_player_char));
}

bool slot_taken(int32_t slot)
{
    return find_item_in_slot(slot) >= 0;
}

// An entry as the file may hold it: an id the tables do not know, or an unknown kind, is empty.
// Start-up reads the bar before the spells load, so a spell id is held to the table's capacity;
// the quick bar empties a slot whose spell is not loaded.
bool quick_entry_valid(int16_t id, uint8_t kind)
{
    switch (kind) {
    case 1:
    case 2: return id >= 0 && id < g_item_proto_count;
    case 3: return id >= 0 && id < k_spell_slots;
    default: return kind == 0;
    }
}

} // namespace

int32_t inventory_item_fits_slot(int32_t slot, int32_t entry)
{
    const char_record* c = hero();
    if (!c || entry < 0 || entry >= int32_t(c->inv_count))
        return 0;
    return item_proto_fits_slot(slot, c->inv_item[entry]);
}

int32_t item_proto_fits_slot(int32_t slot, int32_t item_id)
{
    if (item_id < 0 || item_id >= g_item_proto_count)
        return 0;
    return class_fits_slot(slot, g_item_protos[item_id].item_class) ? 1 : 0;
}

int32_t free_equip_slot_for_type(int32_t item_class)
{
    const int32_t home = equip_slot_for_type(item_class);
    if (home < 0)
        return -1;
    if (!slot_taken(home))
        return home;
    if (item_class == k_item_ring && !slot_taken(k_inv_ring2))
        return k_inv_ring2;
    return -1;
}

int32_t equip_slot_for_type(int32_t item_class)
{
    if (item_class < 0 || item_class >= k_class_count)
        return -1;
    return k_home_slots[item_class];
}

int32_t find_item_in_slot(int32_t slot)
{
    const char_record* c = hero();
    if (!c)
        return -1;
    for (int32_t i = 0; i < int32_t(c->inv_count); ++i) {
        if (int32_t(c->inv_location[i]) == slot)
            return i;
    }
    return -1;
}

bool write_quick_bar()
{
    std::vector<uint8_t> bytes(k_quick_bar_block_size);
    encode_quick_bar(quick_bar_of(g_interface), bytes.data());
    if (!write_packed_file(k_quick_bar_path, bytes)) {
        console_log("%s sa neda zapisat", k_quick_bar_path);
        return false;
    }
    make_user_writable(k_quick_bar_path);
    return true;
}

void read_quick_bar()
{
    std::vector<uint8_t> bytes;
    if (!is_readable_file(k_quick_bar_path)) {
        report_missing_file(k_quick_bar_path, "doterajsi rychly panel");
        return;
    }
    if (!read_packed_file(k_quick_bar_path, &bytes, k_quick_bar_block_size) ||
        bytes.size() != k_quick_bar_block_size) {
        report_damaged_file(k_quick_bar_path, "velkost alebo hlavicka", "doterajsi rychly panel");
        return;
    }
    quick_bar_block block = decode_quick_bar(bytes.data());
    for (int32_t i = 0; i < k_quick_slots; ++i) {
        if (!quick_entry_valid(block.ids[i], block.kinds[i])) {
            block.ids[i] = -1;
            block.kinds[i] = 0;
            block.icons[i] = 0;
        }
    }
    apply_quick_bar(block, g_interface);
}
