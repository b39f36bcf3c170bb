#include "editor/controls/item_numbers.h"

#include "editor/controls/dialog_controls.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<char> field_text(dialog_handle dialog, int32_t id, int32_t max_chars)
{
    std::vector<char> text(size_t(max_chars > 0 ? max_chars : 0) + 1, '\0');
    get_item_text(dialog, id, text.data(), int32_t(text.size()));
    return text;
}

} // namespace

int64_t leading_int(const char* text)
{
    errno = 0;
    long long value = std::strtoll(text, nullptr, 10);
    return int64_t(value);
}

int64_t get_item_int(dialog_handle dialog, int32_t id, int32_t max_chars)
{
    return leading_int(field_text(dialog, id, max_chars).data());
}

float get_item_float(dialog_handle dialog, int32_t id, int32_t max_chars)
{
    return std::strtof(field_text(dialog, id, max_chars).data(), nullptr);
}

void set_item_int(dialog_handle dialog, int32_t id, int64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    set_item_text(dialog, id, text);
}

void set_item_float(dialog_handle dialog, int32_t id, const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    set_item_text(dialog, id, text);
}
