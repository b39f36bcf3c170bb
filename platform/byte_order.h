// Little-endian fixed-width values at byte offsets of a buffer.
#pragma once

#include <bit>
#include <cstdint>

inline uint16_t le_u16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline int16_t le_i16(const uint8_t* p)
{
    return int16_t(le_u16(p));
}

inline uint32_t le_u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline int32_t le_i32(const uint8_t* p)
{
    return int32_t(le_u32(p));
}

inline float le_f32(const uint8_t* p)
{
    return std::bit_cast<float>(le_u32(p));
}

inline void put_le_u16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void put_le_u32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

inline void put_le_f32(uint8_t* p, float v)
{
    put_le_u32(p, std::bit_cast<uint32_t>(v));
}
