// The input's first 428 bytes are a spell record (zeros where it is shorter) and the rest its
// description file. The tooltip is built into a buffer of a size the input chooses, under the
// record's own name and under a plain name that finds the description: always terminated, never
// past the buffer, the description cut at 1,999 bytes. Then the record explodes at a point of the
// input on a small world and its cast effect is spawned there: at most the objects its counts
// allow, none for an id outside the table, and a hit spell outside the table is logged in
// "global/konzola.log", as is every sound chosen.
#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "items/spell_impact.h"
#include "items/spell_tooltip.h"
#include "items/spells.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int32_t k_hostile = 0, k_benign = 1;  // spell ids of the table

std::string log_text()
{
    std::vector<uint8_t> bytes;
    read_whole_file(k_console_log_file, &bytes);
    return std::string(bytes.begin(), bytes.end());
}

// The tooltip into a buffer of `size` bytes inside guard bytes.
void check_tooltip(const spell_proto& spell, size_t size, float height)
{
    constexpr char k_guard = '#';
    std::vector<char> buffer(size + 16, k_guard);
    size_t n = draw_spell_tooltip(spell, buffer.data() + 8, size, height);
    for (size_t i = 0; i < 8; ++i)
        if (buffer[i] != k_guard || buffer[size + 8 + i] != k_guard)
            std::abort();
    if (size > 0 && (n >= size || buffer[8 + n] != 0 || std::strlen(buffer.data() + 8) != n))
        std::abort();
}

void set_template(int32_t slot, int32_t kind)
{
    reset_object_proto(&g_object_protos[slot]);
    g_object_protos[slot].kind = kind;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    make_folder("data/spell");
    std::remove(k_console_log_file);
    g_console_enabled = 1;

    spell_proto hostile{};
    std::memcpy(&hostile, data, std::min<size_t>(size, sizeof hostile));
    const uint8_t* rest = data + std::min<size_t>(size, sizeof hostile);
    size_t rest_size = size - size_t(rest - data);
    uint8_t pick = rest_size ? rest[0] : 0;

    // Tooltips: the record's own name (its description file if that name is a plain one), then
    // the plain name "fz" whose description is the rest of the input.
    float height = 0.0f;
    std::memcpy(&height, hostile.pad_61, std::min<size_t>(sizeof height, 3));
    check_tooltip(hostile, size_t(pick) * 13, height);
    write_fuzz_file("data/spell/fz.txt", rest, rest_size);
    spell_proto named = hostile;
    std::snprintf(named.name, sizeof named.name, "fz");
    check_tooltip(named, 8192, 320.0f);
    check_tooltip(named, 1, 1.0f);

    // Impacts on a small world: three template prototypes of each drawable kind, an empty level.
    for (int32_t slot = 0; slot < k_proto_slots; ++slot)
        g_object_protos[slot].kind = k_proto_free;
    set_template(k_proto_first_template, k_proto_sprite);
    set_template(k_proto_first_template + 1, k_proto_particle);
    set_template(k_proto_first_template + 2, k_proto_mesh);
    if (!reserve_objects(64))
        std::abort();
    reset_scene_header(&g_scene_header);
    g_settings.gr_disablelight = pick & 1;
    g_light_count = 0;
    for (light_record& l : g_lights)
        l.state = k_light_free;

    std::fill(std::begin(g_spell_protos), std::end(g_spell_protos), spell_proto{});
    g_spell_protos[k_hostile] = hostile;
    // The hit spell is none, the benign one or one outside the table (a hostile record cast
    // whole is the casting target's input).
    const uint16_t hits[] = {0, k_benign + 1, uint16_t(200 + pick)};
    g_spell_protos[k_hostile].hit_spell = hits[pick % 3];
    spell_proto& benign = g_spell_protos[k_benign];
    for (int e = 0; e < k_spell_effects; ++e)
        *spell_effect_slot(benign, e) = -1;
    benign.explosion_slot = k_proto_first_template;
    g_spell_proto_count = 2;

    const spell_proto& s = g_spell_protos[k_hostile];
    auto count = [](uint8_t n) { return n ? uint32_t(n) : 1u; };
    const uint32_t most = count(s.third_explosion_count) + count(s.second_explosion_count) +
                          count(s.explosion_count) + count(s.cast_effect_count) + 64;
    int32_t hit = int32_t(int8_t(pick)), layer = int32_t(int16_t(hostile.pad_42));
    float x = float(int16_t(hostile.pad_102)), y = float(int16_t(hostile.pad_110));
    uint32_t before = g_object_count;
    spell_impact_of(k_hostile, hit, x, y, layer);
    spawn_cast_particles_of(k_hostile, hit, x, y, float(layer));
    if (g_object_count - before > most)
        std::abort();
    std::string log = log_text();
    if (g_spell_protos[k_hostile].hit_spell > 2 && log.find("zasahove kuzlo") == std::string::npos)
        std::abort();
    if (s.explosion_sound_count > 0 && log.find("chcem zahrat zvuk") == std::string::npos)
        std::abort();
    before = g_object_count;
    spell_impact_of(k_spell_slots + pick, hit, x, y, layer);
    spawn_cast_particles_of(-1 - pick, hit, x, y, float(layer));
    if (g_object_count != before)
        std::abort();

    free_objects();
    for (int32_t slot = k_proto_first_template; slot < k_proto_first_template + 3; ++slot)
        g_object_protos[slot].kind = k_proto_free;
    g_spell_proto_count = 0;
    g_console_enabled = 0;
    return 0;
}
