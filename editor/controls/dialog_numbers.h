// Numbers and record texts in a dialog's text fields. A typed number is taken from the leading
// characters of the field's text: blanks, an optional sign and digits up to the first other
// character; text that does not begin with a number gives 0. The caller stores it in its field's
// width without a range check.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// The leading whole number of the control's text, held to the 32-bit range.
int32_t get_item_int(dialog_handle dialog, int32_t id);
// The leading decimal fraction of the control's text.
float get_item_float(dialog_handle dialog, int32_t id);
// Shows the number with "%d", or with that many decimals.
void set_item_int(dialog_handle dialog, int32_t id, int32_t value);
void set_item_float(dialog_handle dialog, int32_t id, float value, int32_t decimals);

// A record's fixed-width text field as a terminated text, whether or not it holds its terminator.
template <size_t N>
std::string record_text(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}
