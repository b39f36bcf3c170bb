// Fuzz targets: a scratch folder, made once per process and removed when the process exits,
// and the input written as a file in it.
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

// The full path of `name` in the scratch folder, which is made the first time.
inline std::string fuzz_scratch_path(const char* name)
{
    std::string& folder = fuzz_scratch::folder();
    if (folder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorv-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder = pattern;
        std::atexit(fuzz_scratch::remove_folder);
    }
    return folder + "/" + name;
}

// While it lives, the scratch folder is the working folder, for loaders that take fixed names;
// the previous working folder comes back after each input, so that the fuzzer's own relative
// paths (corpus folders, new inputs) keep their meaning.
class in_fuzz_folder {
public:
    in_fuzz_folder()
    {
        std::error_code ec;
        previous_ = std::filesystem::current_path(ec);
        if (ec || chdir(fuzz_scratch_path("").c_str()) != 0)
            std::abort();
    }
    ~in_fuzz_folder()
    {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        if (ec)
            std::abort();
    }
    in_fuzz_folder(const in_fuzz_folder&) = delete;
    in_fuzz_folder& operator=(const in_fuzz_folder&) = delete;

private:
    std::filesystem::path previous_;
};

// Writes bytes as a file (a name relative to the working folder, or a full path); aborts when
// the write fails.
inline void write_fuzz_file(const char* name, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(name, "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        std::abort();
}

// Writes the input as the scratch folder's file "input.dat"; returns that file's full path.
inline std::string fuzz_input_file(const uint8_t* data, size_t size)
{
    std::string path = fuzz_scratch_path("input.dat");
    write_fuzz_file(path.c_str(), data, size);
    return path;
}
