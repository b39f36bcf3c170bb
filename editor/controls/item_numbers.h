// Numbers in dialog fields: shown with a printf format and read back from the field's text the
// way every editor dialog reads them: a whole number from its leading digits, a real by the
// standard decimal conversion, text that does not begin with a number giving 0.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// The field's text, at most max_chars characters of it, as a number.
int64_t get_item_int(dialog_handle dialog, int32_t id, int32_t max_chars = 29);
float get_item_float(dialog_handle dialog, int32_t id, int32_t max_chars = 29);

// Whole numbers of text ("12abc" 12, "abc" 0), held to the 64-bit range.
int64_t leading_int(const char* text);

void set_item_int(dialog_handle dialog, int32_t id, int64_t value);
void set_item_float(dialog_handle dialog, int32_t id, const char* format, double value);
