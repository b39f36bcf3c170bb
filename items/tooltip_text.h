// What the tooltip composers share: bounded appends to a markup buffer, numbers as the "C"
// locale writes them, and the description files.
#pragma once

#include <cstddef>

// Appends printf-style text to the terminated text in buffer (size bytes), cutting what does not
// fit; the buffer stays terminated. Nothing for a buffer that is already full.
void append_markup(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// value with `decimals` digits after the point as the "C" locale writes it ("%.<decimals>f");
// "" when out is too small.
void format_fixed(float value, int decimals, char* out, size_t size);

// The file's first size - 1 bytes into text, terminated, trailing white space cut; false when the
// file does not exist. A file that exists but cannot be opened is logged and reads as "".
bool read_description(const char* path, char* text, size_t size);
