// Test helpers: what a dialog's controls show, as strings. A row that is not there reads
// "(no row)", so it never passes for a row the editor shows as "?" or "-".
#pragma once

#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_records.h"

#include <cstdint>
#include <string>
#include <vector>

inline std::string field_text(dialog_handle d, int32_t id)
{
    char buffer[2048] = {};  // a dialogue text field holds 1,024 characters
    get_item_text(d, id, buffer, sizeof buffer);
    return buffer;
}

inline std::string list_row(dialog_handle d, int32_t id, int32_t row)
{
    char buffer[300] = {};
    return get_list_text(d, id, row, buffer, sizeof buffer) >= 0 ? buffer : "(no row)";
}

inline std::string combo_row(dialog_handle d, int32_t id, int32_t row)
{
    char buffer[300] = {};
    return get_combo_text(d, id, row, buffer, sizeof buffer) >= 0 ? buffer : "(no row)";
}

// The combo's chosen row; "" when none is chosen.
inline std::string combo_shown(dialog_handle d, int32_t id)
{
    const int32_t row = get_combo_sel(d, id);
    return row >= 0 ? combo_row(d, id, row) : "";
}

// The list's chosen row; "(none)" when none is chosen.
inline std::string selected_row(dialog_handle d, int32_t id)
{
    const int32_t row = get_list_sel(d, id);
    return row >= 0 ? list_row(d, id, row) : "(none)";
}

inline std::vector<std::string> list_rows(dialog_handle d, int32_t id)
{
    std::vector<std::string> rows;
    for (int32_t r = 0; r < get_list_count(d, id); ++r)
        rows.push_back(list_row(d, id, r));
    return rows;
}

inline std::vector<std::string> combo_rows(dialog_handle d, int32_t id)
{
    std::vector<std::string> rows;
    for (int32_t r = 0; r < get_combo_count(d, id); ++r)
        rows.push_back(combo_row(d, id, r));
    return rows;
}

// The rows of a list box or of a combo, whichever the control is.
inline std::vector<std::string> control_rows(dialog_handle d, int32_t id)
{
    return find_control(d, id, control_kind::combo) ? combo_rows(d, id) : list_rows(d, id);
}

// The labels of a dialog, in order: what a message box says.
inline std::string label_texts(dialog_handle d)
{
    std::string text;
    if (const dialog_record* r = find_dialog(d))
        for (const control_record& c : r->controls)
            if (c.source.kind == control_kind::static_text)
                text += c.text;
    return text;
}
