// Reads the input as the skin file of a model of three materials, then selects skins and
// variants all over the table.
#include "engine/models.h"
#include "engine/textures.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static model m;
    if (!m.mesh) {
        m.mesh = std::make_unique<model_mesh>();
        m.mesh->material_count = 3;
    }
    std::string path = fuzz_input_file(data, size);
    load_model_skins(&m, path.c_str());
    if (m.skin_count < 0 || m.variant_count < 0 || m.variant_count > 32 ||
        m.skin_textures.size() > size_t(k_model_skin_entries))
        std::abort();
    for (int32_t variant = -1; variant <= 33; ++variant)
        for (int32_t skin = -1; skin <= 130; skin += 7) {
            select_model_skin(&m, skin, variant);
            for (int i = 0; i < 3; ++i)
                if (m.material_textures[i] < -1 || m.material_textures[i] >= g_texture_count)
                    std::abort();
        }
    if (g_texture_count > 20000) {
        clear_texture_table();
        m.skin_textures.clear();
    }
    return 0;
}
