// Reads the input as the light records of a level map file's objects section, then runs the
// per-frame pass and the fades over the table it left.
#include "core/frame_timing.h"
#include "engine/lights.h"
#include "tests/fuzz/fuzz_sections.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_lights);
    if (g_light_count > k_light_slots)
        std::abort();
    for (int i = 0; i < g_light_count; ++i)
        light_fade_out(&g_lights[i]);
    for (int frame = 0; frame < 3; ++frame) {
        g_ticks += 3;
        apply_lights();
    }
    raise_lights_z(1.0f, 3.0f);
    create_light(k_light_kind_spot, 1.0f, 2.0f, 3.0f, 1.0f, 1.0f, 1.0f);
    return 0;
}
