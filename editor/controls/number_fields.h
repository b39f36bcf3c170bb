// Numbers in the editor dialogs' text fields. A field is read as at most 19 characters and
// converted from its leading number: text that does not begin with one gives 0, a whole number
// beyond 32 bits is held to the nearest bound.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

constexpr int32_t k_number_field_size = 20;

int32_t parse_leading_int(const char* text);
float parse_leading_float(const char* text);

int32_t get_item_int(dialog_handle dialog, int32_t id);
float get_item_float(dialog_handle dialog, int32_t id);

// Shows the number with a printf format ("%d", "%i", "%f", "%.2f").
void set_item_int(dialog_handle dialog, int32_t id, const char* format, int32_t value);
void set_item_float(dialog_handle dialog, int32_t id, const char* format, float value);
