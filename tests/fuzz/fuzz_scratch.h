// Fuzz targets: a scratch working folder for the run and the input written as a file in it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz_scratch {

inline std::string& folder()
{
    static std::string path;
    return path;
}

inline void remove_folder()
{
    std::error_code ec;
    std::filesystem::remove_all(folder(), ec);
}

// Makes the scratch folder the working folder, once.
inline void enter()
{
    if (!folder().empty())
        return;
    char pattern[] = "/tmp/zorv-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0)
        std::abort();
    folder() = pattern;
    std::atexit(remove_folder);
}

// Writes bytes as a file of the scratch folder.
inline void write(const char* name, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(name, "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        std::abort();
}

} // namespace fuzz_scratch
