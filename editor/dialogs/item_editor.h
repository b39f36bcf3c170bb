// The item editor: a window over the item table g_item_protos. The item list shows one row
// "%d-%s" (id, display name) per item that is not removed; ADD, REM and UPD and the REQUIREMENTS
// and EFECTS buttons change the table at once and act on the item of the selected row. The
// fields are shown when an item is chosen and written back only by UPD (ADD takes most of them).
#pragma once

#include "editor/controls/dialog_model.h"
#include "editor/dialogs/table_change.h"

#include <cstdint>

// Controls of the window.
enum : int32_t {
    k_itm_list = 1501,  // list box: the items
    k_itm_add,
    k_itm_rem,
    k_itm_upd,
    k_itm_name,          // edit "name:": key name
    k_itm_desc,          // edit "desc:": display name
    k_itm_class,         // combo "type:": the 27 classes
    k_itm_size,          // combo: hands, weight, tier
    k_itm_category,      // combo "weapon cathegory:"
    k_itm_damage,        // edit "dam:"
    k_itm_critical,      // edit "critical:" (percent)
    k_itm_multiplier,    // edit: critical multiplier "%.2f"
    k_itm_damage_type,   // combo beside "X"
    k_itm_hit_frame,     // edit "hit frame:"
    k_itm_attunement,    // combo "attunement:": "%d-%s" of the attunements
    k_itm_price,
    k_itm_range,
    k_itm_attack_bonus,
    k_itm_ac_bonus,
    k_itm_duration,
    k_itm_uses,          // edit "Num of use:": the byte characters read as attack delay
    k_itm_period,
    k_itm_destroy,       // check "Destroy after use (or after duration)"
    k_itm_no_container,  // check "Do not move to container"
    k_itm_anim,          // combo "anim prototype:"
    k_itm_attack_sound,  // edit "attack sound:": the sound stem
    k_itm_hit_sound,
    k_itm_stamina_move,
    k_itm_stamina_attack,
    k_itm_container_x,
    k_itm_container_y,
    k_itm_image,         // edit "interface name:"
    k_itm_model,         // edit "model name:"
    k_itm_filter,        // 15 radio buttons from here, in the order the filter tests them
    k_itm_req_code = k_itm_filter + 15,  // combo: the REQUIREMENTS codes
    k_itm_req_param,                     // three combos
    k_itm_req_list = k_itm_req_param + 3,
    k_itm_req_add,
    k_itm_req_rem,
    k_itm_eff_code,                      // combo: the EFECTS codes
    k_itm_eff_param,                     // six combos
    k_itm_eff_list = k_itm_eff_param + 6,
    k_itm_eff_add,
    k_itm_eff_rem,
};
constexpr int k_item_filters = 15;

// Opens the editor; nothing while it is open.
void open_item_editor();

// After the spell or effect prototype table changed: the open editor's effect parameter boxes
// that list that table list it as it is now, the record each showed chosen under its new number
// (none when it was removed), and the chosen item's EFECTS rows name the records as they are now,
// the row chosen staying chosen.
void refill_item_editor_boxes(const table_change& change);

// The window's procedure.
bool item_editor_proc(dialog_handle dialog, const dialog_message& m);
