// The container, spell and quest editors over fuzzed tables. The input is three parts: u32
// length and a level containers section, u32 length and a spell file, then a quest file. Beside
// a small item table (two effect items of one name, ids the grids may miss), each editor opens,
// every container and spell row is chosen and updated unedited, the first cell rows chosen, an item
// put into each container, and the quest list shown. Nothing may crash; the rows follow the
// tables, and an unedited update changes no container name and no spell's texts, numbers or hit
// spell.
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_sections.h"

#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/quest_list.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/windows/command_window.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "script/quests.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// The next bytes of the input: a u32 length, then that many bytes (fewer at the end).
std::pair<const uint8_t*, size_t> next_part(fuzz_byte_reader& in)
{
    const uint32_t low = uint16_t(in.i16());
    const size_t wanted = low | uint32_t(uint16_t(in.i16())) << 16;
    const size_t start = std::min(in.at, in.size);
    const size_t n = std::min(wanted, in.size - start);
    in.at = start + n;
    return {in.data + start, n};
}

void make_items()
{
    g_item_proto_count = 4;
    const char* names[] = {"Stone", "Glow", "Gold", "Glow"};
    const uint8_t classes[] = {k_item_normal, k_item_efect, k_item_gold, k_item_efect};
    for (int32_t id = 0; id < 4; ++id) {
        g_item_protos[id] = item_proto{};
        copy_bounded(g_item_protos[id].display_name, sizeof g_item_protos[id].display_name, names[id]);
        g_item_protos[id].item_class = classes[id];
    }
}

int32_t view_rows(dialog_handle d, int32_t id)
{
    const control_record* c = find_control(d, id, control_kind::list_view);
    return c ? int32_t(c->view_rows.size()) : -1;
}

void run_container_editor()
{
    open_container_editor();
    const dialog_handle page = g_container_editor_window;
    if (!page || get_list_count(page, k_cont_list) != g_level_container_count)
        std::abort();
    set_modal_responder([](dialog_handle modal) {
        user_click(modal, k_id_ok);
        return false;
    });
    for (int32_t row = 0; row < g_level_container_count; ++row) {
        char name[k_container_name_room];
        std::memcpy(name, g_containers[row].name, sizeof name);
        user_choose(page, k_cont_list, row);
        user_click(page, k_cont_update);
        if (std::strncmp(name, g_containers[row].name, k_container_name_size) != 0)
            std::abort();
        const int32_t cells = int32_t(container_cells(&g_containers[row]));
        if (view_rows(page, k_cont_cells) != cells)
            std::abort();
        for (int32_t cell = 0; cell < std::min(cells, 64); ++cell)
            user_choose(page, k_cont_cells, cell);
        user_click(page, k_cont_insert);
        user_click(page, k_cont_delete);
        if (view_rows(page, k_cont_cells) != cells)
            std::abort();
    }
    set_modal_responder({});
}

void run_spell_editor()
{
    open_spell_editor();
    const dialog_handle editor = g_spell_editor_window;
    if (!editor || get_list_count(editor, k_spell_list) != g_spell_proto_count)
        std::abort();
    for (int32_t id = 0; id < g_spell_proto_count; ++id) {
        const spell_proto before = g_spell_protos[id];
        user_choose(editor, k_spell_list, id);
        user_click(editor, k_spell_update);
        const spell_proto& s = g_spell_protos[id];
        if (std::strncmp(before.name, s.name, k_spell_name_size) != 0 ||
            std::strncmp(before.effect_key, s.effect_key, k_spell_name_size) != 0 ||
            before.mana_cost != s.mana_cost || before.hit_spell != s.hit_spell || before.pause != s.pause ||
            std::memcmp(before.damage_per_level, s.damage_per_level, sizeof s.damage_per_level) != 0 ||
            (s.item_effect != before.item_effect && s.item_effect != -1))
            std::abort();
    }
}

void run_quest_list()
{
    open_quest_list();
    if (view_rows(g_quest_list_window, k_quest_list_view) != std::min<int32_t>(g_quest_count, k_quest_slots))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    std::filesystem::create_directories("global");
    fuzz_byte_reader in{data, size};
    make_items();

    const auto [containers, containers_size] = next_part(in);
    free_level_containers();
    read_fuzz_section(containers, containers_size, load_level_containers);
    const auto [spells, spells_size] = next_part(in);
    g_spell_proto_count = 0;
    read_fuzz_section(spells, spells_size, [](packed_stream* in) { return read_spell_protos(in); });
    write_fuzz_file("global/quest_eng.txt", data + std::min(in.at, size), size - std::min(in.at, size));
    g_quest_count = 0;
    load_quests();

    run_container_editor();
    run_spell_editor();
    run_quest_list();
    destroy_all_dialogs();
    if (g_container_editor_window || g_spell_editor_window || g_quest_list_window)
        std::abort();
    free_level_containers();
    return 0;
}
