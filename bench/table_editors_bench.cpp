// The container and spell editors on full tables: "Add item to container" opening over 1,000
// items, the cell list of a 255 x 255 container filled and drawn (on the recording device, CPU
// alone), and the spell editor opening over 200 spells and 1,000 items.
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/gui/dialog_screen.h"
#include "editor/windows/command_window.h"
#include "engine/render_context.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "platform/recording_device.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// 1,000 items, every third an effect item, each named by its id.
void fill_items()
{
    g_item_proto_count = k_item_slots;
    for (int32_t id = 0; id < k_item_slots; ++id) {
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        std::snprintf(p.display_name, sizeof p.display_name, "Item number %d", int(id));
        p.item_class = id % 3 == 0 ? k_item_efect : k_item_ring;
    }
}

// The container page over one level container of that size, half its cells filled, chosen.
dialog_handle open_page(uint8_t width, uint8_t height)
{
    fill_items();
    free_level_containers();
    container* c = &g_containers[0];
    container_init(c, "chest", width, height, 0);
    for (uint32_t cell = 0; cell < container_cells(c); cell += 2)
        container_put(c, int32_t(cell % width), int32_t(cell / width), int32_t(cell % k_item_slots), 1, 1.0f);
    g_level_container_count = 1;
    open_container_editor();
    user_choose(g_container_editor_window, k_cont_list, 0);
    return g_container_editor_window;
}

void close_all()
{
    set_modal_responder({});
    destroy_all_dialogs();
    free_level_containers();
}

void BM_ContainerAddOpening1000Items(benchmark::State& state)
{
    const dialog_handle page = open_page(8, 2);
    set_modal_responder([](dialog_handle modal) {
        user_click(modal, k_id_cancel);
        return false;
    });
    for (auto _ : state)
        user_click(page, k_cont_insert);
    close_all();
}
BENCHMARK(BM_ContainerAddOpening1000Items)->Unit(benchmark::kMillisecond);

void BM_ContainerCellList255x255Filled(benchmark::State& state)
{
    const dialog_handle page = open_page(255, 255);
    for (auto _ : state)
        fill_container_list(page);
    close_all();
}
BENCHMARK(BM_ContainerCellList255x255Filled)->Unit(benchmark::kMillisecond);

void BM_ContainerCellList255x255DrawnRecording(benchmark::State& state)
{
    recording_device device(1024, 768);
    render_device* saved = g_d3d_device;
    g_d3d_device = &device;
    open_page(255, 255);
    run_dialog_frame();
    for (auto _ : state) {
        device.clear_recording();
        run_dialog_frame();
    }
    state.counters["draws"] = double(device.draws().size());
    close_all();
    run_dialog_frame();
    g_d3d_device = saved;
}
BENCHMARK(BM_ContainerCellList255x255DrawnRecording)->Unit(benchmark::kMillisecond);

void BM_SpellEditorOpening200Spells1000Items(benchmark::State& state)
{
    fill_items();
    g_spell_proto_count = k_spell_slots;
    for (int32_t id = 0; id < k_spell_slots; ++id) {
        g_spell_protos[id] = spell_proto{};
        std::snprintf(g_spell_protos[id].name, k_spell_name_size, "Spell number %d", int(id));
    }
    for (auto _ : state) {
        open_spell_editor();
        destroy_dialog(g_spell_editor_window);
    }
    destroy_all_dialogs();
}
BENCHMARK(BM_SpellEditorOpening200Spells1000Items)->Unit(benchmark::kMillisecond);

} // namespace
