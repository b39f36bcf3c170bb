// Small helpers used across the program: the file test, the bounded copy and the line-end trim.
#pragma once

#include <cstddef>
#include <cstdint>

// 1 when the file opens for reading, -1 otherwise (a folder too). Callers compare with 1.
int32_t file_exists(const char* path);

// Copies text into a buffer of `size` bytes, cutting what does not fit; always terminated.
void copy_bounded(char* destination, size_t size, const char* text);

// Cuts trailing control characters (0 to 31 and 127) in place; bytes 128 to 255 and blanks stay.
char* trim_trailing_space(char* text);

// True when the text is, as a whole, one decimal number within the long long range (leading
// blanks and a sign allowed, nothing after the digits), with the number in *value; otherwise
// false and *value is left as it was.
bool parse_decimal(const char* text, long long* value);
