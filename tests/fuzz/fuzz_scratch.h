// Fuzz targets: a scratch folder, made once per process and removed when the process exits,
// and the input written as a file in it.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fuzz_scratch {

// Scratch folders are named "zorv-fuzz-<process id>-XXXXXX" in the temporary folder.
constexpr const char* k_prefix = "zorv-fuzz-";

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

// A run that ends without its exit handlers (libFuzzer leaves a timeout, a crash or an interrupt
// by _Exit) leaves its folder behind: the folders whose process no longer runs are removed.
inline void remove_folders_of_ended_runs(const std::filesystem::path& temp)
{
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(temp, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(k_prefix, 0) != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + std::char_traits<char>::length(k_prefix), &end, 10);
        if (pid <= 0 || *end != '-' || kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        std::error_code ignored;
        std::filesystem::remove_all(it->path(), ignored);
    }
}

} // namespace fuzz_scratch

// The full path of `name` in the scratch folder, which is made the first time (after the folders
// of ended runs are removed).
inline std::string fuzz_scratch_path(const char* name)
{
    std::string& folder = fuzz_scratch::folder();
    if (folder.empty()) {
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        fuzz_scratch::remove_folders_of_ended_runs(temp);
        std::string pattern =
            (temp / (fuzz_scratch::k_prefix + std::to_string(getpid()) + "-XXXXXX")).string();
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
