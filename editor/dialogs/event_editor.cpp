#include "editor/dialogs/event_editor.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/dialogs/editor_window_parts.h"
#include "editor/windows/command_window.h"
#include "editor/windows/page_procedure.h"
#include "script/map_events.h"

#include <algorithm>
#include <cstring>

namespace {

using B = event_box;

} // namespace

const event_kind k_condition_kind_table[k_condition_kinds] = {
    {"nothing", {B::none, B::none, B::none}},
    {"mouse in sector", {B::number1, B::none, B::none}},
    {"lmb in sector", {B::number1, B::none, B::none}},
    {"rmb in sector", {B::number1, B::none, B::none}},
    {"item in inv.", {B::text19, B::none, B::none}},
    {"player in sector", {B::number1, B::none, B::none}},
    {"id state", {B::number1, B::number2, B::none}},
    {"char mem", {B::text24, B::number1, B::number2}},
    {"click on char", {B::text24, B::none, B::none}},
    {"quest state", {B::text24, B::number1, B::none}},
    {"hero armed", {B::none, B::none, B::none}},
    {"active attunement", {B::text19, B::none, B::none}},
    {"no enemy on map", {B::none, B::none, B::none}},
    {"no real enemy on map", {B::none, B::none, B::none}},
    {"no dream enemy on map", {B::none, B::none, B::none}},
};

// "open container" edits number 1, the container the event pass opens.
const event_kind k_action_kind_table[k_action_kinds] = {
    {"nothing", {B::none, B::none, B::none}},
    {"debug", {B::none, B::none, B::none}},
    {"delete event", {B::text19, B::none, B::none}},
    {"game text", {B::number1, B::text19, B::none}},
    {"add item", {B::number1, B::text19, B::none}},
    {"remove item", {B::text19, B::none, B::none}},
    {"set id state", {B::number1, B::number2, B::none}},
    {"load map", {B::text19, B::number1, B::none}},
    {"start dialog", {B::text24, B::none, B::none}},
    {"move character", {B::text19, B::decimal1, B::decimal2}},
    {"char set mem", {B::text19, B::number1, B::number2}},
    {"add char", {B::text19, B::decimal1, B::decimal2}},
    {"break", {B::none, B::none, B::none}},
    {"set id ob phase", {B::number1, B::number2, B::none}},
    {"add creature", {B::text19, B::decimal1, B::decimal2}},
    {"open container", {B::number1, B::none, B::none}},
    {"open woldmap", {B::none, B::none, B::none}},
    {"enable location", {B::number1, B::none, B::none}},
};

namespace {

constexpr int32_t k_width = 420;
constexpr int32_t k_height = 200;

// One condition or action row of an event: where its kind and values live.
struct event_row {
    uint32_t* kind;
    int32_t* numbers;
    float* decimals;  // null for conditions
    char* text;
    int32_t combo, first_box;
    const event_kind* kinds;
    int32_t kind_count;
};

event_row condition_row(event_record& e, int r)
{
    return {&e.condition_kind[r], e.condition_number[r], nullptr, e.condition_text[r], k_evt_condition + r,
            k_evt_condition_box + r * k_event_boxes, k_condition_kind_table, k_condition_kinds};
}

event_row action_row(event_record& e, int r)
{
    return {&e.action_kind[r], e.action_number[r], e.action_coord[r], e.action_text[r], k_evt_action + r,
            k_evt_action_box + r * k_event_boxes, k_action_kind_table, k_action_kinds};
}

int32_t event_count()
{
    return int32_t(std::min<uint32_t>(g_event_count, k_event_slots));
}

int32_t selected_event(dialog_handle dialog)
{
    return selected_record(dialog, k_evt_list, g_event_count, k_event_slots);
}

const event_kind* kind_of(const event_row& row)
{
    return *row.kind < uint32_t(row.kind_count) ? &row.kinds[*row.kind] : nullptr;
}

// Where a box of the row keeps its value: a number, a decimal, or the text with its size.
struct box_target {
    int32_t* number = nullptr;
    float* decimal = nullptr;
    char* text = nullptr;
    int32_t text_size = 0;
};

box_target target_of(const event_row& row, event_box box)
{
    switch (box) {
    case B::number1:
        return {.number = &row.numbers[0]};
    case B::number2:
        return {.number = &row.numbers[1]};
    case B::decimal1:
        return {.decimal = &row.decimals[0]};
    case B::decimal2:
        return {.decimal = &row.decimals[1]};
    case B::text19:
        return {.text = row.text, .text_size = 20};
    case B::text24:
        return {.text = row.text, .text_size = 25};
    case B::none:
        break;
    }
    return {};
}

void show_row(dialog_handle dialog, const event_row& row)
{
    const event_kind* kind = kind_of(row);
    set_combo_sel(dialog, row.combo, kind ? int32_t(*row.kind) : -1);
    for (int b = 0; kind && b < k_event_boxes; ++b) {
        const box_target t = target_of(row, kind->boxes[b]);
        if (t.number)
            set_item_int(dialog, row.first_box + b, "%d", *t.number);
        else if (t.decimal)
            set_item_float(dialog, row.first_box + b, "%.2f", *t.decimal);
        else if (t.text)
            set_item_text(dialog, row.first_box + b, std::string(t.text, strnlen(t.text, k_event_text_size)).c_str());
    }
}

void read_row(dialog_handle dialog, const event_row& row)
{
    const int32_t chosen = get_combo_sel(dialog, row.combo);
    if (chosen >= 0)
        *row.kind = uint32_t(chosen);
    const event_kind* kind = kind_of(row);
    for (int b = 0; kind && b < k_event_boxes; ++b) {
        const box_target t = target_of(row, kind->boxes[b]);
        if (t.number)
            *t.number = get_item_int(dialog, row.first_box + b);
        else if (t.decimal)
            *t.decimal = get_item_float(dialog, row.first_box + b);
        else if (t.text)
            get_item_text(dialog, row.first_box + b, t.text, t.text_size);
    }
}

void show_event(dialog_handle dialog, int32_t i)
{
    event_record& e = g_events[i];
    set_item_text(dialog, k_evt_name, record_text(e.name).c_str());
    for (int r = 0; r < k_event_rows; ++r)
        for (int b = 0; b < k_event_boxes; ++b) {
            set_item_text(dialog, k_evt_condition_box + r * k_event_boxes + b, "");
            set_item_text(dialog, k_evt_action_box + r * k_event_boxes + b, "");
        }
    for (int r = 0; r < k_event_rows; ++r) {
        show_row(dialog, condition_row(e, r));
        show_row(dialog, action_row(e, r));
    }
}

void update_event(dialog_handle dialog)
{
    const int32_t i = selected_event(dialog);
    if (i < 0) {
        say_nothing_chosen(dialog, "event");
        return;
    }
    event_record& e = g_events[i];
    char name[k_number_field_size] = {};
    get_item_text(dialog, k_evt_name, name, sizeof name);
    copy_bounded(e.name, sizeof e.name, name);
    delete_list_string(dialog, k_evt_list, i);
    insert_list_string(dialog, k_evt_list, i, record_text(e.name).c_str());
    set_list_sel(dialog, k_evt_list, i);
    for (int r = 0; r < k_event_rows; ++r)
        read_row(dialog, condition_row(e, r));
    for (int r = 0; r < k_event_rows; ++r)
        read_row(dialog, action_row(e, r));
    g_map_dirty = 1;
}

// A new event's rows start empty, whatever its slot held.
void new_event(dialog_handle dialog)
{
    event_record* e = append_event("new");
    if (!e)
        return;  // append_event logged the full table
    std::fill(std::begin(e->condition_kind), std::end(e->condition_kind), 0u);
    std::memset(e->condition_value, 0, sizeof e->condition_value);
    std::memset(e->condition_number, 0, sizeof e->condition_number);
    std::memset(e->condition_text, 0, sizeof e->condition_text);
    std::fill(std::begin(e->action_kind), std::end(e->action_kind), 0u);
    std::memset(e->action_coord, 0, sizeof e->action_coord);
    std::memset(e->action_number, 0, sizeof e->action_number);
    std::memset(e->action_text, 0, sizeof e->action_text);
    add_list_string(dialog, k_evt_list, record_text(e->name).c_str());
    g_map_dirty = 1;
}

void delete_event(dialog_handle dialog)
{
    const int32_t i = selected_event(dialog);
    if (i < 0)
        return;
    remove_event_at(i);
    delete_list_string(dialog, k_evt_list, i);
    g_map_dirty = 1;
}

void fill_event_list(dialog_handle dialog)
{
    for (int32_t i = 0; i < event_count(); ++i)
        add_list_string(dialog, k_evt_list, record_text(g_events[i].name).c_str());
}

void fill_window(dialog_handle dialog)
{
    fill_event_list(dialog);
    for (int r = 0; r < k_event_rows; ++r) {
        for (const event_kind& kind : k_condition_kind_table)
            add_combo_string(dialog, k_evt_condition + r, kind.label);
        for (const event_kind& kind : k_action_kind_table)
            add_combo_string(dialog, k_evt_action + r, kind.label);
    }
}

dialog_template event_template()
{
    dialog_template t;
    t.caption = "Events";
    t.width = k_width;
    t.height = k_height;
    centre_on_screen(t);
    t.menu = {{"event", 0, {{"new", k_evt_menu_new, {}}, {"delete", k_evt_menu_delete, {}}}}};
    add_control(t, control_kind::static_text, 0, 4, 4, 40, 10, "Event:");
    add_control(t, control_kind::list_box, k_evt_list, 4, 16, 90, 180);
    add_control(t, control_kind::static_text, 0, 100, 6, 30, 10, "Name:");
    add_control(t, control_kind::edit, k_evt_name, 132, 4, 120, 13)->limit = k_number_field_size - 1;
    add_control(t, control_kind::button, k_evt_update, 258, 4, 46, 13, "update");
    add_control(t, control_kind::static_text, 0, 100, 24, 80, 10, "Pre condition:");
    add_control(t, control_kind::static_text, 0, 100, 110, 80, 10, "Post event:");
    for (int r = 0; r < k_event_rows; ++r) {
        const int32_t yc = 36 + r * 18, ya = 122 + r * 18;
        add_control(t, control_kind::combo, k_evt_condition + r, 100, yc, 100, 120);
        add_control(t, control_kind::combo, k_evt_action + r, 100, ya, 100, 120);
        for (int b = 0; b < k_event_boxes; ++b) {
            add_control(t, control_kind::edit, k_evt_condition_box + r * k_event_boxes + b, 204 + b * 72, yc, 68, 13);
            add_control(t, control_kind::edit, k_evt_action_box + r * k_event_boxes + b, 204 + b * 72, ya, 68, 13);
        }
    }
    return t;
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (id == k_evt_list) {
        if (const int32_t i = selected_event(dialog); i >= 0)
            show_event(dialog, i);
    } else if (id == k_evt_update) {
        update_event(dialog);
    } else if (id == k_evt_menu_new) {
        new_event(dialog);
    } else if (id == k_evt_menu_delete) {
        delete_event(dialog);
    }
}

} // namespace

void refresh_event_list()
{
    if (!g_event_editor_window)
        return;
    clear_list(g_event_editor_window, k_evt_list);
    fill_event_list(g_event_editor_window);
}

void show_renumbered_event()
{
    const dialog_handle dialog = g_event_editor_window;
    const int32_t i = dialog ? selected_event(dialog) : -1;
    if (i >= 0)
        show_event(dialog, i);
}

bool event_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_event_editor_window, {fill_window, run_command}, dialog, m);
}

void open_event_editor()
{
    if (!g_event_editor_window)
        create_dialog(event_template(), event_editor_proc);
}
