// A fixed-width text field of a record as a string, whether or not it holds its terminator.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

template <size_t N>
std::string record_text(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}
