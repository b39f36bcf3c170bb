// Fuzz targets of containers: a container's name, size and grids as bytes, for comparing what two
// readings left.
#pragma once

#include "items/containers.h"

#include <cstdlib>
#include <cstring>
#include <vector>

// Appends the container's name, width, height and grids; aborts when its name is unterminated.
inline void append_container_bytes(std::vector<uint8_t>& all, const container& c)
{
    if (std::strlen(c.name) >= k_container_name_size)
        std::abort();
    uint32_t n = container_cells(&c);
    all.insert(all.end(), c.name, c.name + std::strlen(c.name) + 1);
    all.push_back(c.width);
    all.push_back(c.height);
    all.insert(all.end(), reinterpret_cast<const uint8_t*>(c.items), reinterpret_cast<const uint8_t*>(c.items + n));
    all.insert(all.end(), reinterpret_cast<const uint8_t*>(c.prices), reinterpret_cast<const uint8_t*>(c.prices + n));
    all.insert(all.end(), c.flags, c.flags + n);
}
