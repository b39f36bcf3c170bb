// Test helper: the strings a recording device drew with a fixed-advance font made drawable (see
// fixed_advance_font.h), each as its byte count, top-left pixel and colour.
#pragma once

#include "platform/recording_device.h"

#include <cmath>
#include <cstddef>
#include <ostream>
#include <vector>

struct drawn_text {
    size_t bytes;
    float x, y;
    float red, green, blue;
};

inline bool operator==(const drawn_text& a, const drawn_text& b)
{
    return a.bytes == b.bytes && a.x == b.x && a.y == b.y && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

inline std::ostream& operator<<(std::ostream& out, const drawn_text& t)
{
    return out << t.bytes << " bytes at (" << t.x << ", " << t.y << ") colour " << t.red << " " << t.green << " "
               << t.blue;
}

// The strings the device drew, in order.
inline std::vector<drawn_text> drawn_texts(const recording_device& device)
{
    std::vector<drawn_text> out;
    for (const recorded_draw& d : device.draws()) {
        if (d.type != primitive_type::triangle_list)
            continue;
        float x = 0, y = 0, z = 0;
        device.screen_position(d, 0, x, y, z);
        const device_colour& c = device.material_of(d).emissive;
        out.push_back({d.vertex_count / 6, std::round(x + 0.5f), std::round(y + 0.5f), c.r, c.g, c.b});
    }
    return out;
}
