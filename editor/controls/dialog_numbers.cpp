#include "editor/controls/dialog_numbers.h"

#include "editor/controls/dialog_controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Room for any text a number field is read from; longer text is cut.
constexpr int32_t k_number_text = 64;

} // namespace

int32_t get_item_int(dialog_handle dialog, int32_t id)
{
    char text[k_number_text] = {};
    get_item_text(dialog, id, text, sizeof text);
    const long long value = std::strtoll(text, nullptr, 10);
    return int32_t(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

float get_item_float(dialog_handle dialog, int32_t id)
{
    char text[k_number_text] = {};
    get_item_text(dialog, id, text, sizeof text);
    return std::strtof(text, nullptr);
}

void set_item_int(dialog_handle dialog, int32_t id, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", int(value));
    set_item_text(dialog, id, text);
}

void set_item_float(dialog_handle dialog, int32_t id, float value, int32_t decimals)
{
    char text[k_number_text];
    std::snprintf(text, sizeof text, "%.*f", int(decimals), double(value));
    set_item_text(dialog, id, text);
}
