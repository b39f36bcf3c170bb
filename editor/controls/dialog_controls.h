// The helpers every editor dialog reads and changes its controls with, each addressing one
// control by its dialog and identifier. Rows count from 0 and -1 means none.
//
// A stale dialog, a missing identifier or a control of another kind changes nothing and answers
// -1 where the answer is a row or a length (so it is never taken for row 0), 0 elsewhere.
// Helpers that change a control send nothing to the procedure, except set_item_text on an edit,
// which reports the change at once (the procedure runs again inside the call).
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Enables (flag non-zero) or greys out the control; non-zero when it was greyed out before.
int32_t enable_item(dialog_handle dialog, int32_t id, int32_t enable);

// Check boxes and radio buttons: 0 unchecked, 1 checked, 2 the third state of a three-state
// box. Setting one radio button leaves the others of its group alone. set_check answers 0.
int32_t set_check(dialog_handle dialog, int32_t id, int32_t state);
int32_t get_check(dialog_handle dialog, int32_t id);

// Sliders: only the low 16 bits of the minimum and the maximum are kept; the position is held
// within the range.
void set_slider_range(dialog_handle dialog, int32_t id, int32_t minimum, int32_t maximum);
void set_slider_pos(dialog_handle dialog, int32_t id, int32_t position);
int32_t get_slider_pos(dialog_handle dialog, int32_t id);

// The control's text (an edit's text, a label, a combo's shown text; on a drop-down list combo
// it selects the row of that text and fails when there is none). Non-zero on success.
int32_t set_item_text(dialog_handle dialog, int32_t id, const char* text);
// Copies at most size - 1 characters and a terminating zero; the number copied.
int32_t get_item_text(dialog_handle dialog, int32_t id, char* buffer, int32_t size);

// List boxes.
int32_t add_list_string(dialog_handle dialog, int32_t id, const char* text);      // index of the new row
int32_t insert_list_string(dialog_handle dialog, int32_t id, int32_t row, const char* text); // before row; -1 appends
int32_t delete_list_string(dialog_handle dialog, int32_t id, int32_t row);        // rows left
int32_t get_list_count(dialog_handle dialog, int32_t id);
int32_t get_list_sel(dialog_handle dialog, int32_t id);
int32_t set_list_sel(dialog_handle dialog, int32_t id, int32_t row); // -1 clears; the row or -1
// Copies at most size - 1 characters of the row's text and a terminating zero; the number copied.
int32_t get_list_text(dialog_handle dialog, int32_t id, int32_t row, char* buffer, int32_t size);

// Combo boxes: the same on the drop-down list; selecting a row shows its text in the box.
int32_t add_combo_string(dialog_handle dialog, int32_t id, const char* text);
int32_t insert_combo_string(dialog_handle dialog, int32_t id, int32_t row, const char* text);
int32_t delete_combo_string(dialog_handle dialog, int32_t id, int32_t row);
int32_t get_combo_count(dialog_handle dialog, int32_t id);
int32_t get_combo_sel(dialog_handle dialog, int32_t id);
int32_t set_combo_sel(dialog_handle dialog, int32_t id, int32_t row); // -1 clears the box
int32_t get_combo_text(dialog_handle dialog, int32_t id, int32_t row, char* buffer, int32_t size);
// The first row after `start` (-1: from the top), wrapping round, that begins with the text in
// any letter case; -1 when none. select_combo_string also selects it; a miss keeps the selection.
int32_t find_combo_string(dialog_handle dialog, int32_t id, int32_t start, const char* text);
int32_t select_combo_string(dialog_handle dialog, int32_t id, int32_t start, const char* text);

// A dialog's caption. Non-zero on success.
int32_t set_window_text(dialog_handle window, const char* text);

// Report list views. Column 0 inserts a new top row with the text and the value; another column
// sets that column of the top row (1 on success, 0 without rows or beyond the columns). The
// answer for column 0 is the new row's index, 0.
int32_t set_listview_cell(dialog_handle dialog, int32_t id, int32_t column, intptr_t value, const char* text);
void clear_listview(dialog_handle dialog, int32_t id);
void delete_listview_selection(dialog_handle dialog, int32_t id);
// The first selected row, -1 when none.
int32_t get_listview_selection(dialog_handle dialog, int32_t id);

// Tab controls: the selected tab (-1 none), and selecting one (-1: none) without a notification.
int32_t get_tab_sel(dialog_handle dialog, int32_t id);
int32_t set_tab_sel(dialog_handle dialog, int32_t id, int32_t tab);

// Empties a list box or a combo box (no row selected, a combo's text cleared).
void clear_list(dialog_handle dialog, int32_t id);
void clear_combo(dialog_handle dialog, int32_t id);
