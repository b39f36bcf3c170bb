// Numbers in the editor dialogs' text fields: shown with printf formats, read back from their
// leading characters as the fields' users type them. A field is read as at most `max_chars`
// characters; text that does not begin with a number gives 0, and a whole number beyond 32 bits
// is held to the nearest bound.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

constexpr int32_t k_number_field_size = 20;
constexpr int32_t k_number_field_chars = k_number_field_size - 1;
constexpr int32_t k_long_number_field_chars = 63;

int32_t parse_leading_int(const char* text);
float parse_leading_float(const char* text);

int32_t get_item_int(dialog_handle dialog, int32_t id, int32_t max_chars = k_number_field_chars);
float get_item_float(dialog_handle dialog, int32_t id, int32_t max_chars = k_number_field_chars);

// Shows the value as "%d", or with a printf format ("%d", "%i", "%f", "%.2f").
void set_item_int(dialog_handle dialog, int32_t id, int32_t value);
void set_item_int(dialog_handle dialog, int32_t id, const char* format, int32_t value);
void set_item_float(dialog_handle dialog, int32_t id, const char* format, float value);
