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
