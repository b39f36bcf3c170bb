// A scratch working folder for fuzz targets, made once per process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Makes a fresh folder under the temporary folder the working folder, the first time only.
inline void enter_fuzz_folder()
{
    static bool entered = false;
    if (entered)
        return;
    entered = true;
    std::string pattern = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/zorv_fuzz_XXXXXX";
    if (char* folder = mkdtemp(pattern.data()))
        if (chdir(folder) != 0)
            std::abort();
}

// Writes the input as a file of the working folder.
inline void write_fuzz_file(const char* name, const uint8_t* data, size_t size)
{
    if (std::FILE* file = std::fopen(name, "wb")) {
        if (size)
            std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
}
