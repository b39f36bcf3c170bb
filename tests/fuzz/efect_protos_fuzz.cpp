// Reads the input as "global/efects.dat" with one template file beside it, then saves the table
// and loads it again: the second loading must give the same entries.
#include "engine/packed_stream.h"
#include "level/level_effects.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"

#include <cstdlib>
#include <cstring>

namespace {

// "data/efects/glow.pr": a sprite template without frames.
void write_template()
{
    make_folder("data/efects");
    object_proto& p = g_object_protos[k_proto_slots - 1];
    reset_object_proto(&p);
    std::strcpy(p.name, "glow");
    p.kind = k_proto_sprite;
    packed_stream* out = stream_open("data/efects/glow.pr", "wp");
    if (!write_object_proto(k_proto_slots - 1, out) || stream_close(out) != 0)
        std::abort();
    reset_object_proto(&p);
}

void free_templates()
{
    for (int32_t s = k_proto_first_template; s < k_proto_slots; ++s)
        g_object_protos[s].kind = k_proto_free;
}

void check_entries()
{
    if (g_efect_proto_count < 0 || g_efect_proto_count > k_efect_proto_slots)
        std::abort();
    for (int16_t i = 0; i < g_efect_proto_count; ++i) {
        const efect_proto_entry& e = g_efect_protos[i];
        if (e.name[k_efect_name_size - 1] != '\0')
            std::abort();
        if (e.slot != k_efect_no_slot && (e.slot < k_proto_first_template || e.slot >= k_proto_slots ||
                                          g_object_protos[e.slot].kind == k_proto_free))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_template();
    write_fuzz_file("global/efects.dat", data, size);
    free_templates();
    g_efect_proto_count = 0;
    load_efect_protos();
    check_entries();

    static efect_proto_entry first[k_efect_proto_slots];
    std::memcpy(first, g_efect_protos, sizeof first);
    int16_t count = g_efect_proto_count;
    if (!save_efect_protos())
        std::abort();
    free_templates();
    g_efect_proto_count = 0;
    load_efect_protos();
    check_entries();
    if (g_efect_proto_count != count || std::memcmp(first, g_efect_protos, sizeof(efect_proto_entry) * size_t(count)) != 0)
        std::abort();
    return 0;
}
