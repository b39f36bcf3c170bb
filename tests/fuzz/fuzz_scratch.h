// Fuzz targets: a scratch folder, made the working folder the first time it is asked for and
// removed when the process exits, and the input written as a file in it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
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

} // namespace fuzz_scratch

// Makes a fresh folder under the temporary folder the working folder, the first time only.
inline void enter_fuzz_folder()
{
    std::string& folder = fuzz_scratch::folder();
    if (!folder.empty())
        return;
    std::string pattern = (std::filesystem::temp_directory_path() / "zorv-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0)
        std::abort();
    folder = pattern;
    std::atexit(fuzz_scratch::remove_folder);
}

// Writes bytes as a file of the working folder; aborts when the write fails.
inline void write_fuzz_file(const char* name, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(name, "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        std::abort();
}

// Enters the scratch folder and writes the input as its file "input.dat"; returns that file's
// full path.
inline std::string fuzz_input_file(const uint8_t* data, size_t size)
{
    enter_fuzz_folder();
    write_fuzz_file("input.dat", data, size);
    return fuzz_scratch::folder() + "/input.dat";
}
