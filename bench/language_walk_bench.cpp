// The walk for the files English has under its code over 20,000 files "text<n>_eng.txt" of one
// folder, none with its copy in the language beside it: the folder listed once and each copy
// looked up in that listing. Wall time with the folder in the system's cache.
#include "bench_folder.h"
#include "core/data_files.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int k_files = 20000;

// The bench folder's "language_walk" with its English files, made once; returns its path.
const std::filesystem::path& language_folder()
{
    static std::filesystem::path folder;
    if (!folder.empty())
        return folder;
    enter_bench_folder();
    folder = std::filesystem::path(bench_folder()) / "language_walk";
    std::filesystem::create_directories(folder / "data/texts");
    for (int i = 0; i < k_files; ++i) {
        const std::filesystem::path file = folder / ("data/texts/text" + std::to_string(i) + "_eng.txt");
        std::FILE* f = std::fopen(file.c_str(), "w");
        if (!f || std::fclose(f) != 0)
            std::abort();
    }
    return folder;
}

void BM_LanguageWalk20000Missing(benchmark::State& state)
{
    if (chdir(language_folder().c_str()) != 0)
        std::abort();
    for (auto _ : state) {
        const std::vector<language_file> files = language_files("de");
        if (files.size() != k_files || files.front().translated_exists)
            state.SkipWithError("language_files missed files");
        benchmark::DoNotOptimize(files.data());
    }
    if (chdir(bench_folder().c_str()) != 0)
        std::abort();
}
BENCHMARK(BM_LanguageWalk20000Missing)->Unit(benchmark::kMillisecond);

} // namespace
