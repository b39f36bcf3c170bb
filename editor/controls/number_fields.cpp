#include "editor/controls/number_fields.h"

#include "editor/controls/dialog_controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int32_t get_item_int(dialog_handle dialog, int32_t id)
{
    char text[64];
    get_item_text(dialog, id, text, sizeof text);
    const long long value = std::strtoll(text, nullptr, 10);
    return int32_t(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

float get_item_real(dialog_handle dialog, int32_t id, int32_t max_chars)
{
    char text[64];
    get_item_text(dialog, id, text, std::clamp(max_chars + 1, 1, int32_t(sizeof text)));
    return std::strtof(text, nullptr);
}

void set_item_int(dialog_handle dialog, int32_t id, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    set_item_text(dialog, id, text);
}

void set_item_real(dialog_handle dialog, int32_t id, float value, const char* format)
{
    char text[64];
    std::snprintf(text, sizeof text, format, double(value));
    set_item_text(dialog, id, text);
}
