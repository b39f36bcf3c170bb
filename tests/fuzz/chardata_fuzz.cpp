// Reads the input as "global/chardata.dat" with one model file present: the registry must hold
// terminated names and paths and load only files below the working folder that exist; writing and
// loading it again must give the same entries. A refused file must leave the registry empty.
#include "characters/char_models.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_chars.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void empty_registry()
{
    for (uint32_t i = 0; i < g_chardata_count; ++i)
        free_model(&g_char_models[i]);
    release_char_models();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    ensure_part_model("3d/a/", "head.3d");
    write_fuzz_file(k_chardata_file, data, size);
    empty_registry();
    if (!load_chardata()) {
        if (g_chardata_count != 0)
            std::abort();
        return 0;
    }
    if (g_chardata_count > uint32_t(k_chardata_capacity))
        std::abort();
    for (uint32_t i = 0; i < g_chardata_count; ++i) {
        const chardata_entry& e = g_chardata[i];
        if (std::strlen(e.name) >= k_chardata_stored_name_size || !std::memchr(e.path, 0, sizeof e.path))
            std::abort();
        if (e.loaded && (!stays_in_working_folder(e.path) || file_exists(e.path) != 1))
            std::abort();
    }
    std::vector<chardata_entry> first(g_chardata, g_chardata + g_chardata_count);
    if (!write_chardata())
        std::abort();
    empty_registry();
    if (!load_chardata() || g_chardata_count != first.size())
        std::abort();
    for (uint32_t i = 0; i < g_chardata_count; ++i)
        if (std::strcmp(first[i].name, g_chardata[i].name) != 0 || std::strcmp(first[i].path, g_chardata[i].path) != 0 ||
            first[i].loaded != g_chardata[i].loaded)
            std::abort();
    empty_registry();
    return 0;
}
