// The item editor on a full table of 1,000 items: opening it and choosing an item with 16
// requirements and 16 effects; refilling the "add efect3d" boxes (100 effect prototypes, 1,600
// vertex rows), alternating with "add efect3d2", which offers the same boxes; and a frame drawn on the recording device with the vertex drop-down open.
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/item_editor.h"
#include "editor/gui/dialog_screen.h"
#include "editor/windows/command_window.h"
#include "engine/render_context.h"
#include "items/item_editing.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "level/level_effects.h"
#include "platform/recording_device.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int32_t k_busy_item = 500;

// 1,000 items, item 500 with full lists; 100 effect prototypes.
void fill_tables()
{
    g_item_proto_count = k_item_slots;
    for (int32_t id = 0; id < k_item_slots; ++id) {
        item_proto& item = g_item_protos[id];
        item = item_proto{};
        std::snprintf(item.display_name, sizeof item.display_name, "item number %d", id);
        item.item_class = uint8_t(id % 27);
        item.attunement_link = -1;
        g_item_lists[id] = item_lists{};
    }
    for (int32_t k = 0; k < k_item_list_entries; ++k) {
        add_item_requirement(k_busy_item, k_req_element, k % 4, -1, -1);
        add_item_effect(k_busy_item, 1 + k * 4, {40, 3, 2, 1, 0, 0});
    }
    g_efect_proto_count = k_efect_proto_slots;
    for (int32_t e = 0; e < k_efect_proto_slots; ++e)
        std::snprintf(g_efect_protos[e].name, sizeof g_efect_protos[e].name, "efect%d", e);
}

int32_t busy_row(dialog_handle editor)
{
    char text[128];
    for (int32_t row = 0; row < get_list_count(editor, k_itm_list); ++row) {
        get_list_text(editor, k_itm_list, row, text, sizeof text);
        if (find_item_by_list_row(text) == k_busy_item)
            return row;
    }
    return -1;
}

void BM_ItemEditorOpenAndChoose(benchmark::State& state)
{
    fill_tables();
    for (auto _ : state) {
        open_item_editor();
        const dialog_handle editor = g_item_editor_window;
        user_choose(editor, k_itm_list, k_busy_item);
        destroy_dialog(editor);
    }
    open_item_editor();
    user_choose(g_item_editor_window, k_itm_list, busy_row(g_item_editor_window));
    if (get_list_count(g_item_editor_window, k_itm_eff_list) != k_item_list_entries)
        state.SkipWithError("the item's effects were not shown");
    destroy_all_dialogs();
}
BENCHMARK(BM_ItemEditorOpenAndChoose)->Unit(benchmark::kMillisecond);

void BM_ItemEditorEfect3dBoxes(benchmark::State& state)
{
    fill_tables();
    open_item_editor();
    const dialog_handle editor = g_item_editor_window;
    int i = 0;
    for (auto _ : state)  // a change of the code is what refills the boxes: 28 and 42 alike
        user_choose(editor, k_itm_eff_code, (i++ & 1) ? k_efect_add_efect3d2 : k_efect_add_efect3d);
    if (get_combo_count(editor, k_itm_eff_param + 2) != 1600)
        state.SkipWithError("the vertex box was not filled");
    destroy_all_dialogs();
}
BENCHMARK(BM_ItemEditorEfect3dBoxes)->Unit(benchmark::kMicrosecond);

void BM_ItemEditorFrameWithVertexBoxOpen(benchmark::State& state)
{
    fill_tables();
    recording_device device(1024, 768);
    render_device* saved = g_d3d_device;
    g_d3d_device = &device;
    open_item_editor();
    const dialog_handle editor = g_item_editor_window;
    user_choose(editor, k_itm_list, busy_row(editor));
    user_choose(editor, k_itm_eff_code, k_efect_add_efect3d);
    user_open_combo(editor, k_itm_eff_param + 2, true);
    run_dialog_frame();
    for (auto _ : state) {
        device.clear_recording();
        run_dialog_frame();
    }
    state.counters["draws"] = double(device.draws().size());
    destroy_all_dialogs();
    run_dialog_frame();
    g_d3d_device = saved;
}
BENCHMARK(BM_ItemEditorFrameWithVertexBoxOpen)->Unit(benchmark::kMicrosecond);

} // namespace
