// Writing dialogue files (".dia2") for the demo data, the tests and the benchmarks: the game only
// reads them. The fields of a dialogue record in the file's order, through a packed stream.
#pragma once

#include "engine/packed_stream.h"
#include "script/dialogues.h"

#include <cstdio>
#include <cstring>

// Writes `d` as a dialogue file with its first `nodes` nodes (its node count when negative).
// False when the file could not be written whole; the old file then stays.
inline bool write_dialogue_file(const char* path, const dialogue_record& d, int nodes = -1)
{
    packed_stream* s = stream_open(path, "wp");
    if (!s)
        return false;
    bool ok = true;
    auto bytes = [&](const void* p, int n) { ok = ok && stream_write(p, n, s) == n; };
    auto u16 = [&](uint16_t v) { ok = ok && stream_write_u16le(v, s) >= 0; };
    auto u32 = [&](uint32_t v) { ok = ok && stream_write_u32le(v, s) >= 0; };
    for (int i = 0; i < k_dialogue_conditions; ++i) {
        u16(d.condition_kind[i]);
        bytes(d.condition_name[i], k_dialogue_condition_name_size);
        u32(uint32_t(d.condition_a[i]));
        u32(uint32_t(d.condition_b[i]));
    }
    bytes(d.name, k_dialogue_name_size);
    u16(d.language);
    const int16_t count = int16_t(nodes < 0 ? d.node_count : nodes);
    u16(uint16_t(count));
    for (int n = 0; n < count && n < k_dialogue_nodes; ++n) {
        bytes(d.speaker[n], k_dialogue_speaker_size);
        bytes(d.node_name[n], k_dialogue_node_name_size);
        bytes(d.text[n], k_dialogue_text_size);
        bytes(d.option_text[n], k_dialogue_options * k_dialogue_option_size);
        for (uint16_t link : d.option_link[n])
            u16(link);
    }
    bytes(&d.any_of, 1);
    return finish_written_file(s, ok);
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
