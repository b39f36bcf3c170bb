// Reads the input as a ".3d" model file, then checks what was kept against the model's limits
// and steps through its frames, skins and placement.
#include "engine/model_draw.h"
#include "engine/models.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static model m;
    std::string path = fuzz_input_file(data, size);
    read_model(&m, path.c_str());
    if (!m.mesh || m.frame_count < 0 || m.frame_count > k_model_max_frames ||
        m.mesh->material_count > uint32_t(k_model_max_materials))
        std::abort();
    uint64_t runs = 0;
    for (uint32_t i = 0; i < m.mesh->material_count; ++i)
        runs += m.mesh->materials[i].index_count;
    if (runs > m.mesh->indices.size())
        std::abort();
    for (uint16_t index : m.mesh->indices)
        if (index >= m.mesh->vertices.size())
            std::abort();
    for (int32_t f = -1; f <= m.frame_count; ++f)
        set_model_frame(&m, f);
    scale_model(&m, 0.5f);
    select_model_skin(&m, 3, 2);
    float out[4];
    get_model_vertex_world_pos(&m, 10, 20, 5, 1, 30, 60, 90, 0, out);
    draw_model(&m, 10, 20, 5, 1, 30, 60, 90, 1, 1, 0, 0, 0, 1, 1, -1); // no device: frames only
    return 0;
}
