// Fuzz targets: the input read byte by byte; past its end every read is 0.
#pragma once

#include <cstddef>
#include <cstdint>

struct fuzz_byte_reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t u8() { return at < size ? data[at++] : 0; }
    int16_t i16()  // little-endian
    {
        const uint8_t lo = u8();
        return int16_t(uint16_t(lo | (u8() << 8)));
    }
};
