#include "editor/dialogs/move_proto_editor.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/store/table_edits.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

dialog_handle g_move_proto_editor_window = 0;
char g_part_model_filter[k_part_model_filter_size] = "";
int16_t g_edited_move_proto = -1;
uint8_t g_edited_body_part = 0;

static_assert(offsetof(char_move_proto, part_values[1]) == 376);
static_assert(offsetof(char_move_proto, part_values[2]) == 472);
static_assert(offsetof(char_move_proto, part_values[3]) == 568);
static_assert(offsetof(char_move_proto, part_values[4]) == 664);

namespace {

constexpr char k_charpr_filter[] = "CHARPR FILE\0*.chpr\0ALL\0*.*\0";
constexpr int32_t k_name_size = 60;  // 59 characters and the terminator

const char* const k_part_labels[k_edited_parts] = {
    "head:", "body:", "l arm:", "r arm:", "legs:", "feet:", "cloak:", "w left:", "w right", "spec1",
    "spec2", "spec3", "spec4",  "Ahead",  "Abody", "Alarm", "Ararm",  "Aleg",    "Afeet"};

int32_t selected_proto(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_mpe_list);
    return row >= 0 && row < g_move_proto_count ? row : -1;
}

// The first row of each text of a drop-down.
std::unordered_map<std::string, int32_t> rows_by_text(dialog_handle dialog, int32_t id)
{
    std::unordered_map<std::string, int32_t> rows;
    const int32_t count = get_combo_count(dialog, id);
    rows.reserve(size_t(std::max(count, 0)));
    char text[k_chardata_text_size];
    for (int32_t row = 0; row < count; ++row) {
        get_combo_text(dialog, id, row, text, sizeof text);
        rows.emplace(text, row);
    }
    return rows;
}

void add_proto(dialog_handle dialog)
{
    if (g_move_proto_count >= k_move_proto_capacity) {
        console_log("tabulka pohybovych prototypov je plna (%d)", k_move_proto_capacity);
        return;
    }
    char_move_proto& m = g_move_protos[g_move_proto_count];
    init_move_proto(&m);
    add_list_string(dialog, k_mpe_list, m.name);
    ++g_move_proto_count;
}

void update_proto(dialog_handle dialog)
{
    const int32_t p = selected_proto(dialog);
    if (p < 0)
        return;
    char_move_proto& m = g_move_protos[p];
    char name[k_name_size];
    get_item_text(dialog, k_mpe_name, name, sizeof name);
    copy_bounded(m.name, sizeof m.name, name);
    delete_list_string(dialog, k_mpe_list, p);
    insert_list_string(dialog, k_mpe_list, p, m.name);
    set_list_sel(dialog, k_mpe_list, p);
    m.frame_time = int16_t(get_item_int(dialog, k_mpe_speed));
    for (int32_t part = 0; part < k_edited_parts; ++part) {
        const int32_t row = get_combo_sel(dialog, k_mpe_part + part);
        if (row < 0)
            continue;  // no row shown: the part stays
        char text[k_chardata_text_size];
        get_combo_text(dialog, k_mpe_part + part, row, text, sizeof text);
        const int32_t entry = find_chardata_by_name(text);
        if (entry >= -1)
            m.part_model[part] = int16_t(entry);
    }
}

// A clip index after prototype `removed` went: the later ones move down, the removed one is none.
void follow_removal(int16_t& id, int32_t removed)
{
    if (id == removed)
        id = -1;
    else if (id > removed)
        --id;
}

void delete_proto(dialog_handle dialog)
{
    const int32_t p = selected_proto(dialog);
    if (p < 0)
        return;
    delete_list_string(dialog, k_mpe_list, p);
    std::copy(g_move_protos + p + 1, g_move_protos + g_move_proto_count, g_move_protos + p);
    --g_move_proto_count;
    init_move_proto(&g_move_protos[g_move_proto_count]);
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s) {
        char_record& c = g_chars[s];
        for (int16_t& id : c.clip_stand) follow_removal(id, p);
        for (int16_t& id : c.clip_move) follow_removal(id, p);
        for (int16_t& id : c.clip_attack) follow_removal(id, p);
        for (int16_t& id : c.clip_death) follow_removal(id, p);
        for (int16_t& id : c.clip_hit) follow_removal(id, p);
        for (int16_t& id : c.clip_spell) follow_removal(id, p);
        for (int16_t& id : c.clip_special) follow_removal(id, p);
    }
    follow_removal(g_edited_move_proto, p);
    console_log("pohybovy prototyp %d zmazany, postavy v suboroch si drzia stare cisla", p);
}

void edit_part(dialog_handle dialog, int32_t part)
{
    const int32_t p = selected_proto(dialog);
    if (p < 0)
        return;
    g_edited_body_part = uint8_t(part);
    g_edited_move_proto = int16_t(p);
    open_body_part_editor();
}

// The registry's file is written as a page's write (editor/store/table_edits.h); the move
// prototypes' file, which nothing reads, only after an edit of its table.
void save_all(dialog_handle dialog)
{
    write_table_from_page(dialog, g_chardata_file, write_chardata);
    write_table_file(g_charpr_file, write_charpr);
}

void save_proto(dialog_handle dialog)
{
    const int32_t p = selected_proto(dialog);
    if (p < 0)
        return;
    const std::string path = ask_file_name("save char move prototype", k_charpr_filter, "chpr", 2, dialog);
    if (!path.empty() && !export_move_proto(path.c_str(), p))
        console_log("%.200s: zapis zlyhal", path.c_str());
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (id >= k_mpe_edit && id < k_mpe_edit + k_edited_parts) {
        edit_part(dialog, id - k_mpe_edit);
        return;
    }
    switch (id) {
    case k_mpe_select:
        get_item_text(dialog, k_mpe_select, g_part_model_filter, sizeof g_part_model_filter);
        clear_part_combos(dialog);
        fill_part_combos(dialog);
        if (const int32_t p = selected_proto(dialog); p >= 0)
            show_move_proto_in_editor(dialog, p);
        break;
    case k_mpe_list:
        if (const int32_t p = selected_proto(dialog); p >= 0)
            show_move_proto_in_editor(dialog, p);
        break;
    case k_mpe_add:
        add_proto(dialog);
        break;
    case k_mpe_update:
        update_proto(dialog);
        break;
    case k_mpe_delete:
        delete_proto(dialog);
        break;
    case k_mpe_save_all:
        save_all(dialog);
        break;
    case k_mpe_menu_save:
        save_proto(dialog);
        break;
    default:
        break;  // "load movepr" has no action
    }
}

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    set_item_text(dialog, k_mpe_select, g_part_model_filter);  // fills the part drop-downs
    for (int32_t p = 0; p < g_move_proto_count; ++p)
        add_list_string(dialog, k_mpe_list, g_move_protos[p].name);
}

// The page fits a 768-pixel screen under the tabs; a body part's row is 14 units high.
constexpr int32_t k_height = 400;
constexpr int32_t k_row = 14;

dialog_template page_template()
{
    dialog_template t;
    t.caption = "MoveG";
    t.width = 190;
    t.height = k_height;
    t.x = 0;
    t.y = k_tab_window_top;
    t.menu = {{"file", 0, {{"save movepr", k_mpe_menu_save, {}}, {"load movepr", k_mpe_menu_load, {}}}}};
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
        return &t.controls.back();
    };
    // The part drop-downs first: the controls are found by a scan in template order, and the
    // filter refills these nineteen row by row.
    for (int32_t part = 0; part < k_edited_parts; ++part)
        add(control_kind::combo, k_mpe_part + part, 36, 38 + part * k_row, 118, 160);
    add(control_kind::static_text, -1, 4, 6, 24, 10, "sel");
    add(control_kind::edit, k_mpe_select, 30, 4, 156, 13)->limit = k_part_model_filter_size - 1;
    add(control_kind::static_text, -1, 4, 22, 30, 10, "m proto");
    add(control_kind::edit, k_mpe_name, 36, 20, 90, 13)->limit = k_name_size - 1;
    add(control_kind::static_text, -1, 130, 22, 26, 10, "speed:");
    add(control_kind::edit, k_mpe_speed, 158, 20, 28, 13);
    for (int32_t part = 0; part < k_edited_parts; ++part) {
        const int32_t y = 38 + part * k_row;
        add(control_kind::static_text, -1, 4, y + 2, 30, 10, k_part_labels[part]);
        add(control_kind::button, k_mpe_edit + part, 158, y, 28, 13, "edit");
    }
    const int32_t buttons = 38 + k_edited_parts * k_row + 2;
    add(control_kind::button, k_mpe_add, 4, buttons, 40, 14, "ADD");
    add(control_kind::button, k_mpe_update, 48, buttons, 40, 14, "UPD.");
    add(control_kind::button, k_mpe_delete, 92, buttons, 40, 14, "DEL");
    add(control_kind::button, k_mpe_save_all, 136, buttons, 50, 14, "save all");
    add(control_kind::list_box, k_mpe_list, 4, buttons + 18, 182, k_height - buttons - 22);
    return t;
}

} // namespace

void clear_part_combos(dialog_handle dialog)
{
    for (int32_t part = 0; part < k_edited_parts; ++part)
        for (int32_t row = get_combo_count(dialog, k_mpe_part + part) - 1; row >= 0; --row)
            delete_combo_string(dialog, k_mpe_part + part, row);
}

void fill_part_combos(dialog_handle dialog)
{
    const uint32_t count = std::min(g_chardata_count, uint32_t(k_chardata_capacity));
    std::vector<uint32_t> shown;
    for (uint32_t i = 0; i < count; ++i)
        if (g_chardata[i].loaded && chardata_name_contains(i, g_part_model_filter))
            shown.push_back(i);
    for (int32_t part = 0; part < k_edited_parts; ++part) {
        add_combo_string(dialog, k_mpe_part + part, "nothing");
        for (uint32_t i : shown)
            add_combo_string(dialog, k_mpe_part + part, g_chardata[i].name);
        set_combo_sel(dialog, k_mpe_part + part, 0);
    }
}

void show_move_proto_in_editor(dialog_handle dialog, int32_t proto)
{
    if (proto < 0 || proto >= g_move_proto_count)
        return;
    const char_move_proto& m = g_move_protos[proto];
    set_item_text(dialog, k_mpe_name, std::string(m.name, strnlen(m.name, sizeof m.name)).c_str());
    set_item_int(dialog, k_mpe_speed, m.frame_time);
    // Every part drop-down holds the same rows.
    const std::unordered_map<std::string, int32_t> rows = rows_by_text(dialog, k_mpe_part);
    for (int32_t part = 0; part < k_edited_parts; ++part) {
        const int32_t entry = m.part_model[part];
        int32_t row = -1;
        if (entry == -1) {
            row = 0;
        } else if (entry >= 0 && entry < k_chardata_capacity) {
            const char* name = g_chardata[entry].name;
            const auto found = rows.find(std::string(name, strnlen(name, k_chardata_text_size)));
            row = found == rows.end() ? -1 : found->second;
        }
        if (row >= 0)
            set_combo_sel(dialog, k_mpe_part + part, row);
    }
}

bool move_proto_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_move_proto_editor_window, {init_page, run_command}, dialog, m);
}

void create_move_proto_editor()
{
    create_dialog(page_template(), move_proto_editor_proc);
}
