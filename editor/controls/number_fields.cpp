#include "editor/controls/number_fields.h"

#include "editor/controls/dialog_controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t k_read_room = k_long_number_field_chars + 1;

// The field's first `max_chars` characters (1 to 63).
void read_field(dialog_handle dialog, int32_t id, int32_t max_chars, char (&text)[k_read_room])
{
    text[0] = 0;
    get_item_text(dialog, id, text, std::clamp(max_chars + 1, 1, k_read_room));
}

} // namespace

int32_t parse_leading_int(const char* text)
{
    const long long v = std::strtoll(text, nullptr, 10);
    return int32_t(std::clamp<long long>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

float parse_leading_float(const char* text)
{
    return std::strtof(text, nullptr);
}

int32_t get_item_int(dialog_handle dialog, int32_t id, int32_t max_chars)
{
    char text[k_read_room];
    read_field(dialog, id, max_chars, text);
    return parse_leading_int(text);
}

float get_item_float(dialog_handle dialog, int32_t id, int32_t max_chars)
{
    char text[k_read_room];
    read_field(dialog, id, max_chars, text);
    return parse_leading_float(text);
}

void set_item_int(dialog_handle dialog, int32_t id, int32_t value)
{
    set_item_int(dialog, id, "%d", value);
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
