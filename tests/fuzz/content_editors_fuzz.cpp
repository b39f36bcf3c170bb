// The level content editors over a fuzzed level: the input is read as a level map file, and its
// last bytes then overwrite the links, kinds, targets and owners of the tables it left with any
// numbers. Each editor is opened, every row selected, "update" pressed on it and the row deleted,
// and "new" pressed over a full table. Nothing may crash, the lists keep one row per record, a
// free slot below a full count is taken, and every refusal adds one line to the console log.
#include "core/console_log.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/effect_editor.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/map_text_editor.h"
#include "editor/windows/command_window.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

size_t log_lines()
{
    std::ifstream file(k_console_log_file);
    return size_t(std::count(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>(), '\n'));
}

void twist_tables(fuzz_byte_reader& in)
{
    for (uint32_t i = 0; i < g_entity_count; ++i) {
        entity_record& e = g_entities[i];
        e.type = in.u8();
        e.link = in.i16(), e.description = in.i16(), e.container = in.i16(), e.spell = in.i16();
        e.key_item = in.i16();
    }
    for (uint32_t i = 0; i < g_level_effect_count; ++i) {
        g_level_effects[i].kind = uint32_t(in.i16());
        g_level_effects[i].target = in.i16();
    }
    for (uint32_t i = 0; i < g_event_count; ++i)
        for (int r = 0; r < k_event_parts; ++r) {
            g_events[i].condition_kind[r] = uint32_t(in.i16());
            g_events[i].action_kind[r] = uint32_t(in.i16());
            g_events[i].action_number[r][0] = in.i16();
        }
    for (uint32_t i = 0; g_objects && i < g_object_count && i < 256; ++i) {
        g_objects[i].entity = in.i16();
        g_objects[i].proto = in.i16();
    }
}

// Presses a menu item, or a button when the page has one for it.
void press(dialog_handle d, int32_t id, bool button)
{
    if (button)
        user_click(d, id);
    else
        user_pick_menu(d, id);
}

// Selects, updates and deletes every row of the list from the last one; with `count`, the table
// must shrink with the list.
void work_rows(dialog_handle d, int32_t list, int32_t update, int32_t remove, bool button, const uint32_t* count)
{
    for (int32_t row = get_list_count(d, list) - 1; row >= 0; --row) {
        user_choose(d, list, row);
        user_click(d, update);
        press(d, remove, button);
        if (count && uint32_t(get_list_count(d, list)) != *count)
            std::abort();
    }
}

// "new" until the table is full, then once more: a table that still has a free slot below its count
// (`has_free`) takes the new record there (one more row); one without adds no row and logs one
// line.
template <typename Count>
void press_new_when_full(dialog_handle d, int32_t list, int32_t add, bool button, const Count& count, int slots,
                         bool (*has_free)() = [] { return false; })
{
    for (int n = 0; int64_t(count) < slots && n < slots; ++n)
        press(d, add, button);
    const int32_t rows = get_list_count(d, list);
    const size_t lines = log_lines();
    const bool room = has_free();
    press(d, add, button);
    const bool taken = room ? get_list_count(d, list) == rows + 1 : get_list_count(d, list) == rows && log_lines() == lines + 1;
    if (int64_t(count) != slots || !taken)
        std::abort();
}

// A level effect slot below the count that is not active, which "new" takes first.
bool inactive_effect_slot()
{
    for (uint32_t i = 0; i < g_level_effect_count && i < uint32_t(k_level_effect_slots); ++i)
        if (g_level_effects[i].active != 1)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    std::remove(k_console_log_file);
    g_console_enabled = 1;
    write_fuzz_file("level.sav", data, size);
    if (read_level_map_file("level.sav", "level.sav") == map_read::unread)
        return 0;
    fuzz_byte_reader in{data, size, size > 512 ? size - 512 : 0};
    twist_tables(in);

    open_entity_editor();
    const dialog_handle entities = g_entity_editor_window;
    work_rows(entities, k_ent_list, k_ent_update, k_ent_menu_delete, false, &g_entity_count);
    press_new_when_full(entities, k_ent_list, k_ent_menu_new, false, g_entity_count, k_entity_slots);

    open_effect_editor();
    const dialog_handle effects = g_effect_editor_window;
    work_rows(effects, k_efe_list, k_efe_update, k_efe_menu_delete, false, nullptr);
    work_rows(effects, k_efe_proto_list, k_efe_proto_upd, k_efe_proto_rem, true, nullptr);
    press_new_when_full(effects, k_efe_list, k_efe_menu_new, false, g_level_effect_count, k_level_effect_slots,
                        inactive_effect_slot);
    press_new_when_full(effects, k_efe_proto_list, k_efe_proto_add, true, g_efect_proto_count, k_efect_proto_slots);

    open_event_editor();
    const dialog_handle events = g_event_editor_window;
    work_rows(events, k_evt_list, k_evt_update, k_evt_menu_delete, false, &g_event_count);
    press_new_when_full(events, k_evt_list, k_evt_menu_new, false, g_event_count, k_event_slots);

    open_map_text_editor();
    const dialog_handle texts = g_text_editor_window;
    work_rows(texts, k_txt_list, k_txt_update, k_txt_menu_delete, false, &g_map_text_count);
    press_new_when_full(texts, k_txt_list, k_txt_menu_new, false, g_map_text_count, k_map_text_slots);

    destroy_all_dialogs();
    if (g_entity_editor_window || g_effect_editor_window || g_event_editor_window || g_text_editor_window)
        std::abort();
    return 0;
}
