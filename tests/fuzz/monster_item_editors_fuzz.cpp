// Any bytes as monster classes, a level's monster-point block and items (records and lists taken
// raw, counts included) shown in the monster, monster-point and item editors: every row of every
// list and drop-down chosen, the unedited item updated and added again, every effect code with
// its boxes tried. Nothing may crash or read outside a table.
#include "tests/fuzz/fuzz_byte_reader.h"

#include "characters/monster_points.h"
#include "characters/monster_protos.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/monster_editor.h"
#include "editor/dialogs/monster_point_editor.h"
#include "editor/windows/command_window.h"
#include "items/items.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void fill_raw(fuzz_byte_reader& in, void* record, size_t size)
{
    auto* bytes = static_cast<uint8_t*>(record);
    for (size_t k = 0; k < size; ++k)
        bytes[k] = in.u8();
}

// Chooses every row of every list box and combo of the dialog, in control order.
void choose_everything(dialog_handle dialog)
{
    const dialog_record* d = find_dialog(dialog);
    if (!d)
        std::abort();
    std::vector<int32_t> ids;
    for (const control_record& c : d->controls)
        if (c.source.kind == control_kind::list_box || c.source.kind == control_kind::combo)
            ids.push_back(c.source.id);
    for (int32_t id : ids) {
        const int32_t rows = std::max(get_list_count(dialog, id), get_combo_count(dialog, id));
        for (int32_t row = 0; row < rows && row < 40; ++row)
            user_choose(dialog, id, row);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_byte_reader in{data, size};
    g_monster_proto_count = int16_t(in.u8() % 8);
    for (int32_t c = 0; c < g_monster_proto_count; ++c)
        fill_raw(in, &g_monster_protos[c], sizeof g_monster_protos[c]);
    fill_raw(in, &g_monster_points, 64);  // the count and the first points
    for (int k = 0; k < k_monster_kinds; ++k)
        g_monster_points.kind_class[k] = in.i16(), g_monster_points.kind_level[k] = in.i16();
    g_item_proto_count = in.u8() % 8;
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        fill_raw(in, &g_item_protos[i], 96);  // names, class, counts, flags
        g_item_protos[i].requirement_count = int16_t(in.i16() % 40);
        g_item_protos[i].efect_count = int16_t(in.i16() % 40);
        g_item_protos[i].attunement_link = in.i16();
        fill_raw(in, &g_item_lists[i], 18 * 6);
        fill_raw(in, &g_item_lists[i].efects, 18 * 6);
    }

    open_monster_editor();
    const dialog_handle monsters = g_monster_editor_window;
    for (int32_t c = 0; c < g_monster_proto_count; ++c) {
        user_choose(monsters, k_mon_list, c);
        user_choose(monsters, k_mon_weapon_list, 0);
        user_click(monsters, k_mon_weapon_rem);
        user_click(monsters, k_mon_treasure_add);
        user_pick_menu(monsters, k_mon_menu_copy_treasure);
    }
    choose_everything(monsters);

    open_monster_point_editor();
    const dialog_handle points = g_monster_point_editor_window;
    choose_everything(points);
    user_type(points, k_mpt_move_sector, "12");

    open_item_editor();
    const dialog_handle items = g_item_editor_window;
    for (int32_t row = 0; row < get_list_count(items, k_itm_list); ++row) {
        user_choose(items, k_itm_list, row);
        user_click(items, k_itm_upd);
        user_choose(items, k_itm_req_list, 0);
        user_click(items, k_itm_req_rem);
    }
    user_click(items, k_itm_add);
    for (int32_t code = 0; code < 69; ++code) {
        user_choose(items, k_itm_eff_code, code);
        user_choose(items, k_itm_eff_param + 1, 1);
        user_click(items, k_itm_eff_add);
    }
    choose_everything(items);
    for (int32_t row = 0; row < get_list_count(items, k_itm_list); ++row)
        if (get_list_sel(items, k_itm_list) >= get_list_count(items, k_itm_list))
            std::abort();

    destroy_all_dialogs();
    if (g_item_editor_window || g_monster_editor_window || g_monster_point_editor_window)
        std::abort();
    return 0;
}
