// Reads the input as a ".x" file and checks the arrays handed on.
#include "platform/x_importer.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    x_mesh mesh;
    std::string error;
    if (!import_x_file(path.c_str(), mesh, error))
        return 0;
    uint64_t runs = 0;
    for (const x_material& material : mesh.materials)
        runs += material.index_count;
    if (runs != mesh.indices.size() || mesh.indices.size() % 3 != 0 || mesh.vertices.size() > 65536)
        std::abort();
    for (uint16_t index : mesh.indices)
        if (index >= mesh.vertices.size())
            std::abort();
    return 0;
}
