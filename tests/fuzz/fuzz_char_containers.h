// Fuzz targets of the character containers' files: the input read as the file over a table of
// two character containers, then checks of what the reader left. A refused file must leave the
// table as it was and be logged; a taken one must come back the same through the writer and the
// reader.
#pragma once

#include "core/console_log.h"
#include "core/globals.h"
#include "items/containers.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_containers.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fuzz_char_containers {

// Every character slot: whether it has grids, and the name, size and grids of those that have.
inline std::vector<uint8_t> char_slots()
{
    std::vector<uint8_t> all;
    for (int i = k_char_container_first; i < k_container_slots; ++i) {
        const container& c = g_containers[i];
        all.push_back(c.items ? 1 : 0);
        if (c.items)
            append_container_bytes(all, c);
    }
    return all;
}

inline void free_char_slots()
{
    for (int i = k_char_container_first; i < k_container_slots; ++i)
        container_free(&g_containers[i]);
    g_char_container_count = 0;
}

inline uintmax_t log_size()
{
    std::error_code ec;
    uintmax_t size = std::filesystem::file_size(k_console_log_file, ec);
    return ec ? 0 : size;
}

} // namespace fuzz_char_containers

// Writes the input as the file `path` (inside the scratch folder) and runs load() and save().
template <class Load, class Save>
int fuzz_char_container_file(const uint8_t* data, size_t size, const char* path, Load load, Save save)
{
    using namespace fuzz_char_containers;
    in_fuzz_folder scratch;
    make_folder("global");
    std::remove(k_console_log_file);
    g_console_enabled = 1;
    free_char_slots();
    for (int i = 0; i < 2; ++i)
        if (!container_init(&g_containers[k_char_container_first + i], "ch_cont", 3, 2, 0))
            std::abort();
    g_char_container_count = 2;
    std::vector<uint8_t> before = char_slots();

    write_fuzz_file(path, data, size);
    uintmax_t logged = log_size();
    bool taken = load(path);
    if (g_char_container_count < 0 || g_char_container_count > k_container_slots - k_char_container_first)
        std::abort();
    for (int i = k_char_container_first + g_char_container_count; i < k_container_slots; ++i)
        if (g_containers[i].items)
            std::abort();
    if (!taken && (char_slots() != before || log_size() <= logged))
        std::abort();

    if (taken) {
        std::vector<uint8_t> first = char_slots();
        int16_t count = g_char_container_count;
        if (!save(path))
            std::abort();
        free_char_slots();
        if (!load(path) || g_char_container_count != count || char_slots() != first)
            std::abort();
    }
    free_char_slots();
    g_console_enabled = 0;
    return 0;
}
