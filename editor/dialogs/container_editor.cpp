#include "editor/dialogs/container_editor.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/dialogs/level_references.h"
#include "editor/dialogs/table_references.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "items/containers.h"
#include "items/items.h"

#include <algorithm>
#include <cstdio>

dialog_handle g_container_editor_window = 0;
uint16_t g_container_add_target = k_container_no_target;

namespace {

constexpr int32_t k_most_numbers = 500;  // rows "1" to "500" of "number:"
constexpr int32_t k_largest_side = 255;  // a side is kept in one byte

int32_t level_containers()
{
    return std::clamp<int32_t>(g_level_container_count, 0, k_level_container_slots);
}

// The level container in slot `slot` when it has grids, else null.
container* level_container(int32_t slot)
{
    if (slot < 0 || slot >= level_containers() || !g_containers[slot].items)
        return nullptr;
    return &g_containers[slot];
}

container* selected_container(dialog_handle dialog)
{
    return level_container(get_list_sel(dialog, k_cont_list));
}

// The cell's row: the item's display name ("?" for an id outside the item table) and "%dx" of
// its flag byte, or "no item in slot" and nothing.
void insert_cell_row(dialog_handle dialog, const container& c, uint32_t cell)
{
    const uint16_t item = c.items[cell];
    if (item == k_container_cell_empty) {
        set_listview_cell(dialog, k_cont_cells, 0, intptr_t(cell), "no item in slot");
        return;
    }
    const item_proto* proto = item_proto_at(item);
    set_listview_cell(dialog, k_cont_cells, 0, intptr_t(cell),
                      proto ? record_text(proto->display_name).c_str() : "?");
    char number[16];
    std::snprintf(number, sizeof number, "%dx", int(c.flags[cell]));
    set_listview_cell(dialog, k_cont_cells, 1, intptr_t(cell), number);
}

void show_container(dialog_handle dialog, const container& c)
{
    set_item_text(dialog, k_cont_name, record_text(c.name).c_str());
    set_item_int(dialog, k_cont_width, c.width);
    set_item_int(dialog, k_cont_height, c.height);
    set_check(dialog, k_cont_shop, c.shop ? 1 : 0);
    fill_container_list(dialog);
}

void update_container(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_cont_list);
    container* c = level_container(row);
    if (!c)
        return;
    char name[k_container_name_size] = {};
    get_item_text(dialog, k_cont_name, name, sizeof name);
    copy_bounded(c->name, k_container_name_size, name);
    delete_list_string(dialog, k_cont_list, row);
    insert_list_string(dialog, k_cont_list, row, c->name);
    set_list_sel(dialog, k_cont_list, row);
    c->shop = uint32_t(get_check(dialog, k_cont_shop));
    g_map_dirty = 1;
}

// Empties the cell of the selected row; its price and flag byte stay.
void empty_selected_cell(dialog_handle dialog)
{
    container* c = selected_container(dialog);
    const int32_t cell = get_listview_selection(dialog, k_cont_cells);
    if (!c || cell < 0 || uint32_t(cell) >= container_cells(c))
        return;
    c->items[cell] = k_container_cell_empty;
    delete_listview_selection(dialog, k_cont_cells);
    fill_container_list(dialog);
    g_map_dirty = 1;
}

// A modal dialog of the page: its caption and client size, at a fixed place over the page.
dialog_template modal_template(const char* caption, int32_t width, int32_t height)
{
    dialog_template t;
    t.caption = caption;
    t.width = width;
    t.height = height;
    t.x = 60;
    t.y = 200;
    return t;
}

control_template* add_control(dialog_template& t, control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w,
                              int32_t h, const char* text = "", uint32_t style = 0)
{
    t.controls.push_back(make_control(kind, id, x, y, w, h, text, style));
    return &t.controls.back();
}

dialog_template new_container_template()
{
    dialog_template t = modal_template("Create new container", 150, 76);
    const struct {
        const char* label;
        int32_t id;
        const char* text;
    } fields[] = {{"name:", k_cont_new_name, "container"}, {"x size:", k_cont_new_width, "8"},
                  {"y size:", k_cont_new_height, "2"}};
    int32_t y = 6;
    for (const auto& f : fields) {
        add_control(t, control_kind::static_text, 0, 6, y + 2, 40, 10, f.label);
        const bool name = f.id == k_cont_new_name;
        add_control(t, control_kind::edit, f.id, 50, y, name ? 94 : 30, 12, f.text)->limit =
            name ? int32_t(k_container_name_size) - 1 : 0;
        y += 16;
    }
    add_control(t, control_kind::button, k_id_ok, 40, 58, 45, 13, "OK");
    add_control(t, control_kind::button, k_id_cancel, 94, 58, 45, 13, "Cancel");
    return t;
}

dialog_template container_add_template()
{
    dialog_template t = modal_template("Add item to container", 170, 92);
    const struct {
        const char* label;
        int32_t id;
        int32_t width;
    } boxes[] = {{"item:", k_cont_add_item, 114}, {"x pos:", k_cont_add_x, 40}, {"y pos:", k_cont_add_y, 40},
                 {"number:", k_cont_add_number, 40}};
    int32_t y = 6;
    for (const auto& b : boxes) {
        add_control(t, control_kind::static_text, 0, 6, y + 2, 40, 10, b.label);
        add_control(t, control_kind::combo, b.id, 50, y, b.width, 120);
        y += 16;
    }
    add_control(t, control_kind::button, k_id_ok, 50, 74, 45, 13, "OK");
    add_control(t, control_kind::button, k_id_cancel, 104, 74, 45, 13, "Cancel");
    return t;
}

// Menu "new": refused once the level holds its 100 containers.
void new_container(dialog_handle dialog)
{
    if (level_containers() >= k_level_container_slots) {
        console_log("level ma uz %d kontajnerov, novy sa nevytvori", k_level_container_slots);
        return;
    }
    run_modal_dialog(new_container_template(), new_container_dialog_proc, 0, dialog);
}

void delete_container(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_cont_list);
    if (row < 0 || row >= level_containers())
        return;
    remove_level_container(row);
    delete_list_string(dialog, k_cont_list, row);
    renumber_container_references(row);
    g_map_dirty = 1;
    show_changed_table({record_table::containers, row});
}

void run_command(dialog_handle dialog, int32_t id)
{
    switch (id) {
    case k_cont_list:
        if (const container* c = selected_container(dialog))
            show_container(dialog, *c);
        break;
    case k_cont_update: update_container(dialog); break;
    case k_cont_insert: {
        const int32_t row = get_list_sel(dialog, k_cont_list);
        g_container_add_target = row >= 0 ? uint16_t(row) : k_container_no_target;
        if (selected_container(dialog))
            run_modal_dialog(container_add_template(), container_add_dialog_proc, 0, dialog);
        break;
    }
    case k_cont_delete: empty_selected_cell(dialog); break;
    case k_cont_menu_new: new_container(dialog); break;
    case k_cont_menu_delete: delete_container(dialog); break;
    default: break;  // menu "update" and the fields do nothing
    }
}

dialog_template container_editor_template()
{
    dialog_template t;
    t.caption = "CONTAINER";
    t.width = 190;
    t.height = 240;
    t.y = k_tab_window_top;
    t.menu = {{"container",
               0,
               {{"new", k_cont_menu_new, {}}, {"update", k_cont_menu_update, {}}, {"delete", k_cont_menu_delete, {}}}}};
    add_control(t, control_kind::list_box, k_cont_list, 4, 4, 80, 60);
    add_control(t, control_kind::group_box, 0, 88, 2, 98, 62, "Details");
    add_control(t, control_kind::edit, k_cont_name, 92, 12, 90, 12)->limit = k_container_name_size - 1;
    add_control(t, control_kind::static_text, 0, 92, 30, 8, 10, "x:");
    add_control(t, control_kind::edit, k_cont_width, 100, 28, 18, 12, "", k_style_read_only);
    add_control(t, control_kind::static_text, 0, 120, 30, 8, 10, "y:");
    add_control(t, control_kind::edit, k_cont_height, 128, 28, 18, 12, "", k_style_read_only);
    add_control(t, control_kind::check, k_cont_shop, 150, 30, 34, 10, "shop");
    add_control(t, control_kind::button, k_cont_update, 92, 46, 50, 13, "UPDATE");
    add_control(t, control_kind::list_view, k_cont_cells, 4, 68, 182, 148, "", k_style_single_row)->items = {"item",
                                                                                                        "number"};
    add_control(t, control_kind::button, k_cont_insert, 4, 222, 50, 13, "Insert");
    add_control(t, control_kind::button, k_cont_delete, 60, 222, 50, 13, "Delete");
    return t;
}

// The first empty cell row by row, or -1 when the container is full.
int32_t first_empty_cell(const container& c)
{
    const uint32_t cells = container_cells(&c);
    for (uint32_t cell = 0; cell < cells; ++cell)
        if (c.items[cell] == k_container_cell_empty)
            return int32_t(cell);
    return -1;
}

void fill_numbers(dialog_handle dialog, int32_t id, int32_t first, int32_t last)
{
    char text[16];
    for (int32_t n = first; n <= last; ++n) {
        std::snprintf(text, sizeof text, "%d", int(n));
        add_combo_string(dialog, id, text);
    }
}

void fill_add_dialog(dialog_handle dialog)
{
    const int32_t items = std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots);
    for (int32_t id = 0; id < items; ++id)
        add_combo_string(dialog, k_cont_add_item, record_text(g_item_protos[id].display_name).c_str());
    set_combo_sel(dialog, k_cont_add_item, 0);
    fill_numbers(dialog, k_cont_add_number, 1, k_most_numbers);
    set_combo_sel(dialog, k_cont_add_number, 0);
    const container* c = level_container(g_container_add_target);
    if (!c)
        return;
    fill_numbers(dialog, k_cont_add_x, 0, c->width - 1);
    fill_numbers(dialog, k_cont_add_y, 0, c->height - 1);
    const int32_t cell = first_empty_cell(*c);
    if (cell >= 0) {
        set_combo_sel(dialog, k_cont_add_x, cell % c->width);
        set_combo_sel(dialog, k_cont_add_y, cell / c->width);
    }
}

// "OK" of "Add item to container": the chosen item into the chosen cell (replacing what is there),
// its flag byte the chosen number for gold, else the item's damage type, at the item's price.
void put_chosen_item(dialog_handle dialog)
{
    container* c = level_container(g_container_add_target);
    const int32_t item = get_combo_sel(dialog, k_cont_add_item);
    const int32_t x = get_combo_sel(dialog, k_cont_add_x);
    const int32_t y = get_combo_sel(dialog, k_cont_add_y);
    const item_proto* proto = item_proto_at(item);
    if (!c || !proto || x < 0 || y < 0)
        return;
    const int32_t number = get_combo_sel(dialog, k_cont_add_number) + 1;
    const uint8_t flag = proto->item_class == k_item_gold ? uint8_t(number) : proto->damage_type;
    if (!container_put(c, x, y, item, flag, 1.0f))
        return;
    fill_container_list(g_container_editor_window);
    g_map_dirty = 1;
}

// "OK" of "Create new container": refused (the dialog stays) for a side the record cannot keep.
void make_new_container(dialog_handle dialog)
{
    const int32_t width = get_item_int(dialog, k_cont_new_width);
    const int32_t height = get_item_int(dialog, k_cont_new_height);
    if (width < 1 || width > k_largest_side || height < 1 || height > k_largest_side) {
        console_log("kontajner %d x %d: strany musia byt 1 az %d", int(width), int(height), k_largest_side);
        return;
    }
    const int32_t slot = level_containers();
    if (slot >= k_level_container_slots) {
        console_log("level ma uz %d kontajnerov, novy sa nevytvori", k_level_container_slots);
        end_dialog(dialog, k_id_cancel);
        return;
    }
    char name[k_container_name_size] = {};
    get_item_text(dialog, k_cont_new_name, name, sizeof name);
    container* c = &g_containers[slot];
    if (!container_init(c, name, uint8_t(width), uint8_t(height), 0)) {
        console_log("kontajner %s sa nevytvoril: chyba pamat", name);
        end_dialog(dialog, k_id_cancel);
        return;
    }
    g_level_container_count = int16_t(slot + 1);
    add_list_string(g_container_editor_window, k_cont_list, c->name);
    g_map_dirty = 1;
    show_changed_table({record_table::containers});
    end_dialog(dialog, k_id_ok);
}

} // namespace

void fill_container_list(dialog_handle dialog)
{
    const container* c = selected_container(dialog);
    if (!c)
        return;
    clear_listview(dialog, k_cont_cells);
    for (uint32_t cell = container_cells(c); cell-- > 0;)
        insert_cell_row(dialog, *c, cell);
}

bool new_container_dialog_proc(dialog_handle dialog, const dialog_message& m)
{
    if (m.kind != dialog_message_kind::command)
        return m.kind == dialog_message_kind::init;
    if (m.id == k_id_ok)
        make_new_container(dialog);
    else if (m.id == k_id_cancel)
        end_dialog(dialog, k_id_cancel);
    return true;
}

bool container_add_dialog_proc(dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init: fill_add_dialog(dialog); return true;
    case dialog_message_kind::command:
        if (m.id == k_id_ok) {
            put_chosen_item(dialog);
            end_dialog(dialog, k_id_ok);
        } else if (m.id == k_id_cancel) {
            end_dialog(dialog, k_id_cancel);
        }
        return true;
    default: return false;
    }
}

namespace {

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    for (int32_t slot = 0; slot < level_containers(); ++slot)
        add_list_string(dialog, k_cont_list, record_text(g_containers[slot].name).c_str());
}

} // namespace

bool container_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_container_editor_window, {init_page, run_command}, dialog, m);
}

void open_container_editor()
{
    create_dialog(container_editor_template(), container_editor_proc);
}
