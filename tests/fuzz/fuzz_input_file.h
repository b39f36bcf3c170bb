// Fuzz targets of section readers: the input is written to a scratch file that the reader's
// stream then opens, as a level map file would be.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz_scratch {

inline std::string& folder()
{
    static std::string name;
    return name;
}

inline void remove_all()
{
    unlink((folder() + "/input.dat").c_str());
    rmdir(folder().c_str());
}

} // namespace fuzz_scratch

// Writes the input to the scratch file and returns its path.
inline std::string fuzz_input_file(const uint8_t* data, size_t size)
{
    std::string& folder = fuzz_scratch::folder();
    if (folder.empty()) {
        char pattern[] = "/tmp/zorv-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            std::abort();
        folder = pattern;
        std::atexit(fuzz_scratch::remove_all);
    }
    std::string path = folder + "/input.dat";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0)
        std::abort();
    return path;
}
