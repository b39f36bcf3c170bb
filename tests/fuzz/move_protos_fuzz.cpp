// Reads the input as "global/charpr.dat": the prototypes must hold terminated names and part
// models within the registry's capacity, and writing and reading them again must give the same
// records; a refused file must leave the table as it was. Then the input is a clip's "ini" file:
// the clip must still be registered.
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "engine/models.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_chars.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char_move_proto first[k_move_proto_capacity];
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file(k_charpr_file, data, size);
    g_move_proto_count = 1;
    init_move_proto(&g_move_protos[0]);
    const char_move_proto kept = g_move_protos[0];
    if (!read_charpr()) {
        if (g_move_proto_count != 1 || std::memcmp(&kept, &g_move_protos[0], sizeof kept) != 0)
            std::abort();
    } else {
        const int16_t count = g_move_proto_count;
        if (count < 0 || count > k_move_proto_capacity)
            std::abort();
        for (int16_t i = 0; i < count; ++i) {
            const char_move_proto& m = g_move_protos[i];
            if (!std::memchr(m.name, 0, sizeof m.name))
                std::abort();
            for (int16_t part : m.part_model)
                if (part < -1 || part >= k_chardata_capacity)
                    std::abort();
        }
        std::memcpy(first, g_move_protos, sizeof(char_move_proto) * size_t(count));
        if (!write_charpr() || !read_charpr() || g_move_proto_count != count ||
            std::memcmp(first, g_move_protos, sizeof(char_move_proto) * size_t(count)) != 0)
            std::abort();
    }

    ensure_part_model("3d/a/1/stand1/", "head.3d");
    write_fuzz_file("3d/a/1/stand1/ini", data, size);
    release_char_models();
    char_record& c = g_chars[1];
    c = char_record{};
    c.slot = 1;
    std::strcpy(c.appearance, "a");
    load_char_anims(&c, 1, true);
    if (c.clip_stand[0] != 0 || g_move_proto_count != 1 || g_chardata_count != 1)
        std::abort();
    free_model(&g_char_models[0]);
    release_char_models();
    return 0;
}
