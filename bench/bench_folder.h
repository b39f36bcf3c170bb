// A scratch working folder for a benchmark: made under /tmp and entered once, removed when the
// process exits. Aborts when it cannot be made, since no figure would mean anything.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

inline std::string& bench_folder()
{
    static std::string folder;
    return folder;
}

inline void enter_bench_folder()
{
    if (!bench_folder().empty())
        return;
    char pattern[] = "/tmp/zorv-bench-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        std::abort();
    bench_folder() = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(bench_folder(), ignored);
    });
}
