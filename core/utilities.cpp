#include "core/utilities.h"

#include "platform/files.h"

#include <cmath>
#include <cstring>

int32_t file_exists(const char* path)
{
    return path && is_readable_file(path) ? 1 : -1;
}

void copy_bounded(char* destination, size_t size, const char* text)
{
    if (size == 0)
        return;
    size_t n = std::strlen(text);
    if (n >= size)
        n = size - 1;
    std::memcpy(destination, text, n);
    destination[n] = '\0';
}

char* trim_trailing_space(char* text)
{
    for (size_t n = std::strlen(text); n > 0; --n) {
        auto c = static_cast<unsigned char>(text[n - 1]);
        if (c >= 32 && c != 127)
            break;
        text[n - 1] = '\0';
    }
    return text;
}

vec3 vec3_add(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 vec3_sub(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 vec3_scale(vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
vec3 vec3_div(vec3 a, float s) { return {a.x / s, a.y / s, a.z / s}; }
float vec3_length_sq(vec3 a) { return a.x * a.x + a.y * a.y + a.z * a.z; }
float vec3_length(vec3 a) { return std::sqrt(vec3_length_sq(a)); }

vec3 vec3_normalize(vec3 a)
{
    float length = vec3_length(a);
    return length > 0.0f ? vec3_div(a, length) : vec3{0, 0, 0};
}

vec3 vec3_cross(vec3 a, vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vec3_at(const vec3& a, int i) { return i == 0 ? a.x : i == 1 ? a.y : a.z; }
float& vec3_at_mut(vec3& a, int i) { return i == 0 ? a.x : i == 1 ? a.y : a.z; }
