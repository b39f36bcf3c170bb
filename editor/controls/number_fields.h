// Numbers in a dialog's text fields: shown with printf formats, read back by their leading
// characters as the fields' users type them.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// The field's text as a decimal integer: optional blanks and sign, then the leading digits;
// text that does not begin with a number gives 0. Values beyond 32 bits are held to them.
int32_t get_item_int(dialog_handle dialog, int32_t id);
// The field's text as a decimal real by the standard conversion (0 when it does not begin with
// one); at most `max_chars` characters are read.
float get_item_real(dialog_handle dialog, int32_t id, int32_t max_chars = 63);

// Sets the field to "%d" of the value, or to the value with a printf real format ("%.2f").
void set_item_int(dialog_handle dialog, int32_t id, int32_t value);
void set_item_real(dialog_handle dialog, int32_t id, float value, const char* format = "%.2f");
