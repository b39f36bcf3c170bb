// Reads the input as the rain template and as a blood variant's template, then starts and stops
// rain and spawns blood with whatever was accepted.
#include "core/settings.h"
#include "engine/textures.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/blood.h"
#include "world/object_protos.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <sys/stat.h>

namespace {

constexpr int32_t k_used_slots = 4;

void check(int16_t slot)
{
    if (slot == -1)
        return;
    if (slot < k_proto_first_template || slot >= k_proto_first_template + k_used_slots)
        std::abort();
    const object_proto& p = g_object_protos[slot];
    if (p.kind < k_proto_sprite || p.kind > k_proto_surface || p.anim_count != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    mkdir("data", 0755);
    mkdir("data/env", 0755);
    write_fuzz_file("data/env/rain.pr", data, size);
    write_fuzz_file("data/env/blood3.pr", data, size);
    clear_texture_table();
    for (int32_t s = k_proto_first_template; s < k_proto_slots; ++s)
        g_object_protos[s].kind = k_proto_free;

    load_rain(&g_rain);
    check(g_rain.template_slot);
    load_blood_templates(&g_blood);
    check(g_blood.blood[3]);
    for (int v = 0; v < k_blood_variants; ++v)
        if (v != 3 && (g_blood.blood[v] != -1 || g_blood.bleed[v] != -1))
            std::abort();

    g_settings.gr_displayweather = 1;
    start_rain(&g_rain, 2, 1.0f);
    stop_rain(&g_rain);
    spawn_blood(&g_blood, 10.0f, 10.0f, 4, 5.0f, 5.0f, 10, 3);
    free_objects();
    for (int32_t s = k_proto_first_template; s < k_proto_first_template + k_used_slots; ++s)
        free_object_proto(&g_object_protos[s], s);
    return 0;
}
