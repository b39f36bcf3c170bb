// Small helpers used across the program: the file test, the line-end trim and 3-vectors.
#pragma once

#include "platform/device_types.h"

#include <cstddef>
#include <cstdint>

// 1 when the file opens for reading, -1 otherwise (a folder too). Callers compare with 1.
int32_t file_exists(const char* path);

// Copies text into a buffer of `size` bytes, cutting what does not fit; always terminated.
void copy_bounded(char* destination, size_t size, const char* text);

// Cuts trailing control characters (0 to 31 and 127) in place; bytes 128 to 255 and blanks stay.
char* trim_trailing_space(char* text);

vec3 vec3_add(vec3 a, vec3 b);
vec3 vec3_sub(vec3 a, vec3 b);
vec3 vec3_scale(vec3 a, float s);
vec3 vec3_div(vec3 a, float s);
float vec3_length_sq(vec3 a);
float vec3_length(vec3 a);
vec3 vec3_normalize(vec3 a);  // a zero vector gives a zero vector
vec3 vec3_cross(vec3 a, vec3 b);
float vec3_at(const vec3& a, int i);  // 0 x, 1 y, 2 z
float& vec3_at_mut(vec3& a, int i);
