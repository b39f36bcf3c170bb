// Writing dialogue files (".dia2") for the demo data, the tests and the benchmarks, through the
// game's own dialogue writer.
#pragma once

#include "script/dialogues.h"

#include <cstdio>
#include <cstring>
#include <memory>

// Writes `d` as a dialogue file with its first `nodes` nodes (its node count when negative).
// False when the file could not be written whole; the old file then stays.
inline bool write_dialogue_file(const char* path, const dialogue_record& d, int nodes = -1)
{
    if (nodes < 0)
        return write_dialogue_record(path, d);
    auto cut = std::make_unique<dialogue_record>(d);
    cut->node_count = int16_t(nodes);
    return write_dialogue_record(path, *cut);
}

// A node of a dialogue record under construction: speaker, node name and text; its options are
// set with set_dialogue_option.
inline void set_dialogue_node(dialogue_record* d, int n, const char* speaker, const char* node_name, const char* text)
{
    std::snprintf(d->speaker[n], sizeof d->speaker[n], "%s", speaker);
    std::snprintf(d->node_name[n], sizeof d->node_name[n], "%s", node_name);
    std::snprintf(d->text[n], sizeof d->text[n], "%s", text);
    if (d->node_count <= n)
        d->node_count = int16_t(n + 1);
}

inline void set_dialogue_option(dialogue_record* d, int n, int o, const char* text, uint16_t link)
{
    std::snprintf(d->option_text[n][o], sizeof d->option_text[n][o], "%s", text);
    d->option_link[n][o] = link;
}

inline void set_dialogue_condition(dialogue_record* d, int i, uint16_t kind, const char* name, int32_t a, int32_t b = 0)
{
    d->condition_kind[i] = kind;
    std::snprintf(d->condition_name[i], sizeof d->condition_name[i], "%s", name);
    d->condition_a[i] = a;
    d->condition_b[i] = b;
}
