// Reads the input as "global/spells.dat" over a table of one known record: a refused file leaves
// that table; a file with bytes after its records gives those records; either is logged by name in
// "global/konzola.log". A table taken holds at most 200 records with terminated texts, damage
// percents of 5 or more, effect slots of -1 or the template range and at most five sounds of each
// list. Then it is saved and loaded again: the same table.
#include "core/console_log.h"
#include "core/globals.h"
#include "engine/packed_stream.h"
#include "items/spells.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool terminated(const char* text, size_t size)
{
    return std::memchr(text, 0, size) != nullptr;
}

void check_table()
{
    if (g_spell_proto_count < 0 || g_spell_proto_count > k_spell_slots)
        std::abort();
    for (int32_t i = 0; i < g_spell_proto_count; ++i) {
        spell_proto& s = g_spell_protos[i];
        if (!terminated(s.name, sizeof s.name) || !terminated(s.sound_name, sizeof s.sound_name) ||
            !terminated(s.effect_key, sizeof s.effect_key) || !terminated(s.icon, sizeof s.icon) ||
            s.damage_percent < k_spell_min_damage_percent || s.cast_sound_count > uint32_t(k_spell_sounds) ||
            s.explosion_sound_count > uint32_t(k_spell_sounds))
            std::abort();
        for (int e = 0; e < k_spell_effects; ++e) {
            int16_t slot = *spell_effect_slot(s, e);
            if (slot != -1 && (slot < k_proto_first_template || slot >= k_proto_slots))
                std::abort();
        }
    }
}

std::string log_text()
{
    std::FILE* f = std::fopen("global/konzola.log", "rb");
    std::string text;
    if (!f)
        return text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        text.append(buffer, n);
    std::fclose(f);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    make_folder("data/spell");
    std::remove("global/konzola.log");
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot)
        g_object_protos[slot].kind = k_proto_free;
    g_console_enabled = 1;

    std::fill(std::begin(g_spell_protos), std::end(g_spell_protos), spell_proto{});
    std::snprintf(g_spell_protos[0].name, k_spell_name_size, "known");
    g_spell_protos[0].damage_percent = 100;
    for (int e = 0; e < k_spell_effects; ++e)
        *spell_effect_slot(g_spell_protos[0], e) = -1;
    g_spell_proto_count = 1;
    g_spells_file.read_whole = true;
    const spell_proto known = g_spell_protos[0];

    write_fuzz_file("global/spells.dat", data, size);
    load_spells();
    if (!g_spells_file.read_whole) {
        // A file that opens and did not read whole is logged by name; one that does not open
        // changes nothing. Only a file with bytes after its records gives them.
        packed_stream* opened = stream_open("global/spells.dat", "rp");
        const bool logged = !opened || log_text().find("global/spells.dat: ") != std::string::npos;
        stream_close(opened);
        if (!logged)
            std::abort();
        if (g_spells_file.found.bytes_after == 0) {
            if (g_spell_proto_count != 1 || std::memcmp(&known, &g_spell_protos[0], sizeof known) != 0)
                std::abort();
            return 0;
        }
    }
    check_table();

    static spell_proto first[k_spell_slots];
    std::memcpy(first, g_spell_protos, sizeof first);
    int32_t count = g_spell_proto_count;
    if (!save_spells())
        std::abort();
    g_spell_proto_count = 0;
    load_spells();
    if (g_spell_proto_count != count || std::memcmp(first, g_spell_protos, sizeof(spell_proto) * size_t(count)) != 0)
        std::abort();
    return 0;
}
