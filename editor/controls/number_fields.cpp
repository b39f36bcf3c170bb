#include "editor/controls/number_fields.h"

#include "editor/controls/dialog_controls.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

int32_t parse_leading_int(const char* text)
{
    const long long v = std::strtoll(text, nullptr, 10);
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return int32_t(v);
}

float parse_leading_float(const char* text)
{
    return std::strtof(text, nullptr);
}

int32_t get_item_int(dialog_handle dialog, int32_t id)
{
    char text[k_number_field_size] = {};
    get_item_text(dialog, id, text, sizeof text);
    return parse_leading_int(text);
}

float get_item_float(dialog_handle dialog, int32_t id)
{
    char text[k_number_field_size] = {};
    get_item_text(dialog, id, text, sizeof text);
    return parse_leading_float(text);
}

void set_item_int(dialog_handle dialog, int32_t id, const char* format, int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    set_item_text(dialog, id, text);
}

void set_item_float(dialog_handle dialog, int32_t id, const char* format, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, double(value));
    set_item_text(dialog, id, text);
}
