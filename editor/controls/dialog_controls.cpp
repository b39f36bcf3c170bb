#include "editor/controls/dialog_controls.h"

#include "editor/controls/dialog_records.h"
#include "editor/controls/text_compare.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

std::string text_of(const char* text)
{
    return text ? text : "";
}

// Copies at most size - 1 characters and a terminating zero; the number copied.
int32_t copy_out(const std::string& text, char* buffer, int32_t size)
{
    if (!buffer || size <= 0)
        return 0;
    const size_t n = std::min(text.size(), size_t(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return int32_t(n);
}

bool row_valid(const control_record* c, int32_t row)
{
    return row >= 0 && row < int32_t(c->rows.size());
}

int32_t add_row(control_record* c, const char* text)
{
    if (!c)
        return -1;
    std::string t = text_of(text);
    auto at = c->rows.end();
    if (c->source.style & k_style_sorted)
        at = std::upper_bound(c->rows.begin(), c->rows.end(), t, case_blind_less);
    const int32_t row = int32_t(at - c->rows.begin());
    c->rows.insert(at, std::move(t));
    if (c->selection >= row)
        ++c->selection;
    return row;
}

int32_t insert_row(control_record* c, int32_t row, const char* text)
{
    if (!c)
        return -1;
    if (row == -1)
        row = int32_t(c->rows.size());
    if (row < 0 || row > int32_t(c->rows.size()))
        return -1;
    c->rows.insert(c->rows.begin() + row, text_of(text));
    if (c->selection >= row)
        ++c->selection;
    return row;
}

int32_t delete_row(control_record* c, int32_t row)
{
    if (!c || !row_valid(c, row))
        return -1;
    c->rows.erase(c->rows.begin() + row);
    if (c->selection == row) {
        c->selection = -1;
        if (c->source.kind == control_kind::combo && !(c->source.style & k_style_editable))
            c->text.clear();
    } else if (c->selection > row) {
        --c->selection;
    }
    return int32_t(c->rows.size());
}

int32_t row_text(const control_record* c, int32_t row, char* buffer, int32_t size)
{
    if (!c || !row_valid(c, row)) {
        copy_out("", buffer, size);
        return -1;
    }
    return copy_out(c->rows[size_t(row)], buffer, size);
}

int32_t find_row(const control_record* c, int32_t start, const char* text)
{
    if (!c || c->rows.empty())
        return -1;
    const std::string prefix = text_of(text);
    const int32_t n = int32_t(c->rows.size());
    const int32_t first = start < 0 || start >= n ? 0 : start + 1;
    for (int32_t k = 0; k < n; ++k) {
        const int32_t row = (first + k) % n;
        if (case_blind_prefix(c->rows[size_t(row)], prefix))
            return row;
    }
    return -1;
}

control_record* list_box(dialog_handle dialog, int32_t id)
{
    return find_control(dialog, id, control_kind::list_box);
}

control_record* combo_box(dialog_handle dialog, int32_t id)
{
    return find_control(dialog, id, control_kind::combo);
}

control_record* slider(dialog_handle dialog, int32_t id)
{
    return find_control(dialog, id, control_kind::slider);
}

control_record* list_view(dialog_handle dialog, int32_t id)
{
    return find_control(dialog, id, control_kind::list_view);
}

// A combo shows the selected row's text; -1 or a bad row clears it.
int32_t select_combo_row(control_record* c, int32_t row)
{
    if (!row_valid(c, row)) {
        c->selection = -1;
        c->text.clear();
        return -1;
    }
    c->selection = row;
    c->text = c->rows[size_t(row)];
    return row;
}

bool checkable(const control_record* c)
{
    return c && (c->source.kind == control_kind::check || c->source.kind == control_kind::radio);
}

} // namespace

int32_t enable_item(dialog_handle dialog, int32_t id, int32_t enable)
{
    dialog_record* d = find_dialog(dialog);
    control_record* c = find_control(d, id);
    if (!c)
        return 0;
    const int32_t was_disabled = c->enabled ? 0 : 1;
    c->enabled = enable != 0;
    if (!c->enabled && d->focus == int32_t(c - d->controls.data()))
        move_focus(dialog, -1);
    return was_disabled;
}

int32_t set_check(dialog_handle dialog, int32_t id, int32_t state)
{
    control_record* c = find_control(find_dialog(dialog), id);
    if (!checkable(c))
        return 0;
    const uint32_t most = c->source.style & k_style_three_state ? 2 : 1;
    c->check = int32_t(std::min(uint32_t(state), most));
    return 0;
}

int32_t get_check(dialog_handle dialog, int32_t id)
{
    const control_record* c = find_control(find_dialog(dialog), id);
    return checkable(c) ? c->check : 0;
}

void set_slider_range(dialog_handle dialog, int32_t id, int32_t minimum, int32_t maximum)
{
    control_record* c = slider(dialog, id);
    if (!c)
        return;
    c->range_min = int32_t(uint16_t(minimum));
    c->range_max = int32_t(uint16_t(maximum));
    set_slider_pos(dialog, id, c->position);
}

void set_slider_pos(dialog_handle dialog, int32_t id, int32_t position)
{
    control_record* c = slider(dialog, id);
    if (!c)
        return;
    c->position = std::min(std::max(position, c->range_min), c->range_max);
}

int32_t get_slider_pos(dialog_handle dialog, int32_t id)
{
    const control_record* c = slider(dialog, id);
    return c ? c->position : 0;
}

int32_t set_item_text(dialog_handle dialog, int32_t id, const char* text)
{
    control_record* c = find_control(find_dialog(dialog), id);
    if (!c)
        return 0;
    if (c->source.kind == control_kind::combo && !(c->source.style & k_style_editable)) {
        const std::string wanted = text_of(text);
        for (size_t row = 0; row < c->rows.size(); ++row)
            if (case_blind_equal(c->rows[row], wanted)) {
                select_combo_row(c, int32_t(row));
                return 1;
            }
        return 0;
    }
    c->text = text_of(text);
    if (c->source.kind == control_kind::edit)
        send_command(dialog, id, k_notify_changed);
    return 1;
}

int32_t get_item_text(dialog_handle dialog, int32_t id, char* buffer, int32_t size)
{
    const control_record* c = find_control(find_dialog(dialog), id);
    return copy_out(c ? c->text : std::string(), buffer, size);
}

int32_t add_list_string(dialog_handle dialog, int32_t id, const char* text)
{
    return add_row(list_box(dialog, id), text);
}

int32_t insert_list_string(dialog_handle dialog, int32_t id, int32_t row, const char* text)
{
    return insert_row(list_box(dialog, id), row, text);
}

int32_t delete_list_string(dialog_handle dialog, int32_t id, int32_t row)
{
    return delete_row(list_box(dialog, id), row);
}

int32_t get_list_count(dialog_handle dialog, int32_t id)
{
    const control_record* c = list_box(dialog, id);
    return c ? int32_t(c->rows.size()) : 0;
}

int32_t get_list_sel(dialog_handle dialog, int32_t id)
{
    const control_record* c = list_box(dialog, id);
    return c ? c->selection : -1;
}

int32_t set_list_sel(dialog_handle dialog, int32_t id, int32_t row)
{
    control_record* c = list_box(dialog, id);
    if (!c)
        return -1;
    if (row == -1)
        c->selection = -1;
    if (!row_valid(c, row))
        return -1;
    c->selection = row;
    return row;
}

int32_t get_list_text(dialog_handle dialog, int32_t id, int32_t row, char* buffer, int32_t size)
{
    return row_text(list_box(dialog, id), row, buffer, size);
}

int32_t add_combo_string(dialog_handle dialog, int32_t id, const char* text)
{
    return add_row(combo_box(dialog, id), text);
}

int32_t insert_combo_string(dialog_handle dialog, int32_t id, int32_t row, const char* text)
{
    return insert_row(combo_box(dialog, id), row, text);
}

int32_t delete_combo_string(dialog_handle dialog, int32_t id, int32_t row)
{
    return delete_row(combo_box(dialog, id), row);
}

int32_t get_combo_count(dialog_handle dialog, int32_t id)
{
    const control_record* c = combo_box(dialog, id);
    return c ? int32_t(c->rows.size()) : 0;
}

int32_t get_combo_sel(dialog_handle dialog, int32_t id)
{
    const control_record* c = combo_box(dialog, id);
    return c ? c->selection : -1;
}

int32_t set_combo_sel(dialog_handle dialog, int32_t id, int32_t row)
{
    control_record* c = combo_box(dialog, id);
    return c ? select_combo_row(c, row) : -1;
}

int32_t get_combo_text(dialog_handle dialog, int32_t id, int32_t row, char* buffer, int32_t size)
{
    return row_text(combo_box(dialog, id), row, buffer, size);
}

int32_t find_combo_string(dialog_handle dialog, int32_t id, int32_t start, const char* text)
{
    return find_row(combo_box(dialog, id), start, text);
}

int32_t select_combo_string(dialog_handle dialog, int32_t id, int32_t start, const char* text)
{
    control_record* c = combo_box(dialog, id);
    const int32_t row = find_row(c, start, text);
    return row < 0 ? -1 : select_combo_row(c, row);
}

int32_t set_window_text(dialog_handle window, const char* text)
{
    dialog_record* d = find_dialog(window);
    if (!d)
        return 0;
    d->caption = text_of(text);
    return 1;
}

int32_t set_listview_cell(dialog_handle dialog, int32_t id, int32_t column, intptr_t value, const char* text)
{
    control_record* c = list_view(dialog, id);
    const size_t columns = c ? std::max<size_t>(c->source.items.size(), 1) : 0;
    if (column == 0) {
        if (!c)
            return -1;
        list_view_row row;
        row.cells.resize(columns);
        row.cells[0] = text_of(text);
        row.value = value;
        c->view_rows.insert(c->view_rows.begin(), std::move(row));
        return 0;
    }
    if (!c || c->view_rows.empty() || column < 0 || size_t(column) >= columns)
        return 0;
    c->view_rows.front().cells[size_t(column)] = text_of(text);
    return 1;
}

void clear_listview(dialog_handle dialog, int32_t id)
{
    if (control_record* c = list_view(dialog, id))
        c->view_rows.clear();
}

void delete_listview_selection(dialog_handle dialog, int32_t id)
{
    if (control_record* c = list_view(dialog, id))
        std::erase_if(c->view_rows, [](const list_view_row& row) { return row.selected; });
}

int32_t get_listview_selection(dialog_handle dialog, int32_t id)
{
    const control_record* c = list_view(dialog, id);
    if (!c)
        return -1;
    for (size_t row = 0; row < c->view_rows.size(); ++row)
        if (c->view_rows[row].selected)
            return int32_t(row);
    return -1;
}

int32_t get_tab_sel(dialog_handle dialog, int32_t id)
{
    const control_record* c = find_control(dialog, id, control_kind::tabs);
    return c ? c->selection : -1;
}

int32_t set_tab_sel(dialog_handle dialog, int32_t id, int32_t tab)
{
    control_record* c = find_control(dialog, id, control_kind::tabs);
    if (!c || (tab != -1 && !row_valid(c, tab)))
        return -1;
    const int32_t previous = c->selection;
    c->selection = tab;
    return previous;
}

void clear_list(dialog_handle dialog, int32_t id)
{
    if (control_record* c = list_box(dialog, id)) {
        c->rows.clear();
        c->selection = -1;
    }
}

void clear_combo(dialog_handle dialog, int32_t id)
{
    if (control_record* c = combo_box(dialog, id)) {
        c->rows.clear();
        select_combo_row(c, -1);
    }
}
