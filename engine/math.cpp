#include "engine/math.h"

#include "platform/random.h"

#include <cmath>

float rand_range(float a, float b)
{
    int r = game_rand() & 0x7FFF;
    float u = float(double(r) / 32767.0);
    return a + (b - a) * u;
}

int32_t roll_dice(int32_t sides, int32_t count, int32_t base)
{
    int32_t total = base;
    for (int32_t i = 0; i < count; ++i)
        total += int32_t(rand_range(1.0f, float(sides)));
    return total < 0 ? 0 : total;
}

int32_t roll_damage_dice(int16_t code, int16_t base)
{
    static constexpr int32_t k_sides[5] = {3, 6, 8, 10, 12};
    if (code < 0 || code > 14)
        return 0;
    return roll_dice(k_sides[code % 5], code / 5 + 1, base);
}

float distance2d_sq(float x1, float y1, float x2, float y2)
{
    float dx = x2 - x1;
    float dy = y2 - y1;
    return dx * dx + dy * dy;
}

float distance2d(float x1, float y1, float x2, float y2)
{
    return float_sqrt(distance2d_sq(x1, y1, x2, y2));
}

float float_sqrt(float x)
{
    return float(std::sqrt(double(x)));
}

uint32_t normal_to_argb(const float n[3], float alpha)
{
    auto component = [](float c) { return uint32_t(int32_t(127.0f * c + 128.0f)) & 0xFF; };
    uint32_t a = uint32_t(int32_t(255.0f * alpha)) & 0xFF;
    return a << 24 | component(n[0]) << 16 | component(n[1]) << 8 | component(n[2]);
}

bool set_view_matrices(vec3 eye, vec3 target, vec3 up, float separation, view_matrices& out)
{
    view_matrices views;
    if (!matrix_look_at_lh(eye, target, up, views.centre))
        return false;
    const vec3 side = vec3_scale(vec3_normalize(vec3_cross(vec3_sub(target, eye), up)), separation);
    views.left = views.right = views.centre;
    matrix_look_at_lh(vec3_add(eye, side), target, up, views.left);
    matrix_look_at_lh(vec3_sub(eye, side), target, up, views.right);
    out = views;
    return true;
}

void plane_from_points(float out[4], vec3 p1, vec3 p2, vec3 p3)
{
    const vec3 n = vec3_normalize(vec3_cross(vec3_sub(p3, p2), vec3_sub(p3, p1)));
    out[0] = n.x;
    out[1] = n.y;
    out[2] = n.z;
    out[3] = -vec3_dot(n, p3);
}
