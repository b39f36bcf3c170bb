// Replays a fuzz target over the files of a seed folder, plus a few fixed hostile inputs,
// so that every target is built and run by the ordinary test suite without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::vector<std::vector<uint8_t>> inputs = {
        {},
        {0x00},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {'A', 'G', 'P', '!'},
        {'A', 'G', 'P', '.'},
    };
    uint32_t x = 12345;
    std::vector<uint8_t> noise(70000);
    for (auto& b : noise) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    inputs.push_back(noise);

    if (argc > 1 && std::filesystem::is_directory(argv[1])) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[1])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    // An empty input still comes at a valid address, as libFuzzer hands it over.
    static const uint8_t nothing = 0;
    for (const auto& input : inputs)
        LLVMFuzzerTestOneInput(input.empty() ? &nothing : input.data(), input.size());
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
