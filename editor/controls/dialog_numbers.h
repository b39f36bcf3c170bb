// Record texts in a dialog's text fields, beside the number fields of number_fields.h.
#pragma once

#include "editor/controls/number_fields.h"

#include <cstddef>
#include <cstring>
#include <string>

// A record's fixed-width text field as a terminated text, whether or not it holds its terminator.
template <size_t N>
std::string record_text(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}
