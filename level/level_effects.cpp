#include "level/level_effects.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/frame_timing.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/render_context.h"
#include "script/entities.h"
#include "world/game_clock.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <string>

level_effect g_level_effects[k_level_effect_slots];
uint32_t g_level_effect_count = 0;
efect_proto_entry g_efect_protos[k_efect_proto_slots];
int16_t g_efect_proto_count = 0;
table_file_state g_efect_protos_file = {k_efect_protos_file, false, false, [] {
    return int32_t(std::clamp<int16_t>(g_efect_proto_count, 0, k_efect_proto_slots));
}};

namespace {

constexpr const char* k_efect_protos_kept = "doterajsie efekty";

// The 76-byte record of the level map file.
template <class Io, class Effect>
void effect_fields(Io& io, Effect& e)
{
    io.u32(0, e.active);
    io.i32(4, e.target);
    io.u32(8, e.kind);
    io.u32(12, e.next_tick);
    io.u32(16, e.period);
    for (uint32_t i = 0; i < 3; ++i)
        io.i32(20 + 4 * i, e.direction[i]);
    io.i32(32, e.editor_value);
    io.i32(36, e.counter);
    for (uint32_t i = 0; i < 3; ++i) {
        io.f32(40 + 12 * i, e.channel[i].lower);
        io.f32(44 + 12 * i, e.channel[i].upper);
        io.f32(48 + 12 * i, e.channel[i].step);
    }
}

// The 28-byte record of "global/efects.dat".
template <class Io, class Entry>
void efect_proto_fields(Io& io, Entry& e)
{
    io.text(0, e.name, k_efect_name_size);
    io.u16(20, e.slot);
    io.bytes(22, e.pad22, 2);
    io.f32(24, e.scale);
}

// Adds without overflow: the angles and the counter wrap around.
int32_t wrapping_add(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

// One pulsing channel: the value moves by the step in its direction, and the direction turns
// once the value has passed a bound.
void pulse(float& value, int32_t& direction, const effect_channel& c)
{
    if (direction == 0)
        value += c.step;
    else if (direction == 1)
        value -= c.step;
    if (value < c.lower && direction == 1)
        direction = 0;
    if (value > c.upper && direction == 0)
        direction = 1;
}

// The ambient render state of the pulsing ambient light: 0x00RRGGBB, each channel the value
// times 255 truncated and held to a byte.
uint32_t ambient_state(const ambient_colour& c)
{
    auto channel = [](float v) {
        float x = v * 255.0f;
        return !(x > 0.0f) ? 0u : x >= 255.0f ? 255u : uint32_t(x);
    };
    return channel(c.red) << 16 | channel(c.green) << 8 | channel(c.blue);
}

// The world object that turning effects turn: the first of the target entity's objects.
world_object* turned_object(int32_t entity)
{
    if (entity < 0 || entity >= k_entity_slots || uint32_t(entity) >= g_entity_count)
        return nullptr;
    const entity_record& e = g_entities[entity];
    const uint16_t* list = entity_objects(&e);
    if (!list || e.object_count == 0 || list[0] >= g_object_count || !g_objects)
        return nullptr;
    return &g_objects[list[0]];
}

void turn(level_effect* effect)
{
    world_object* o = turned_object(effect->target);
    if (!o)
        return;
    int32_t step = effect->direction[0];
    if (effect->kind == k_effect_turn_x)
        o->angle_a = wrapping_add(o->angle_a, step);
    else if (effect->kind == k_effect_turn_y)
        o->angle_b = wrapping_add(o->angle_b, step);
    else
        o->angle_c = wrapping_add(o->angle_c, step);
}

} // namespace

void update_level_effect(level_effect* effect)
{
    if (effect->next_tick > g_ticks)
        return;
    effect->next_tick = g_ticks + effect->period;
    switch (effect->kind) {
    case k_effect_counter:
        effect->counter = wrapping_add(effect->counter, 1);
        break;
    case k_effect_light_pulse:
        if (effect->target >= 0 && effect->target < k_light_slots) {
            light_record& light = g_lights[effect->target];
            pulse(light.r, effect->direction[0], effect->channel[0]);
            pulse(light.g, effect->direction[1], effect->channel[1]);
            pulse(light.b, effect->direction[2], effect->channel[2]);
        }
        break;
    case k_effect_ambient_pulse:
        pulse(g_ambient_color.red, effect->direction[0], effect->channel[0]);
        pulse(g_ambient_color.green, effect->direction[1], effect->channel[1]);
        pulse(g_ambient_color.blue, effect->direction[2], effect->channel[2]);
        if (g_d3d_device)
            g_d3d_device->set_render_state(render_state::ambient, ambient_state(g_ambient_color));
        break;
    case k_effect_turn_x:
    case k_effect_turn_y:
    case k_effect_turn_z:
        turn(effect);
        break;
    default:
        break;
    }
}

void update_level_effects()
{
    uint32_t count = std::min<uint32_t>(g_level_effect_count, k_level_effect_slots);
    for (uint32_t i = 0; i < count; ++i)
        if (g_level_effects[i].active == 1)
            update_level_effect(&g_level_effects[i]);
}

bool write_level_effects(packed_stream* stream)
{
    if (!stream)
        return false;
    uint32_t count = std::min<uint32_t>(g_level_effect_count, k_level_effect_slots);
    if (stream_write_u32le(k_level_effect_size, stream) < 0 || stream_write_u32le(count, stream) < 0)
        return false;
    return write_table_records<k_level_effect_size>(stream, count, [](uint32_t i, uint8_t* bytes) {
        record_writer out{bytes};
        effect_fields(out, g_level_effects[i]);
    });
}

bool read_level_effects(packed_stream* stream)
{
    if (!stream)
        return false;
    g_level_effect_count = 0;
    int64_t stored_size = stream_read_u32le(stream);
    if (stored_size < 0) {
        console_log("ziadne efecty");
        return false;
    }
    int64_t count = stream_read_u32le(stream);
    if (count < 0) {
        console_log("level effects: the count is missing");
        return false;
    }
    table_read got = read_table_records<k_level_effect_size>(
        stream, uint32_t(stored_size), uint64_t(count), k_level_effect_slots, nullptr,
        [](uint32_t i, const uint8_t* bytes) {
            record_reader in{bytes};
            effect_fields(in, g_level_effects[i]);
            g_level_effects[i].next_tick = 0;
        });
    g_level_effect_count = got.kept;
    if (count > k_level_effect_slots)
        console_log("level effects: %lld stored, the first %d kept", static_cast<long long>(count), k_level_effect_slots);
    if (!got.complete)
        console_log("level effects: the section ends early; %u effects read", got.kept);
    return got.complete;
}

void init_efect_proto_entry(efect_proto_entry* entry)
{
    copy_bounded(entry->name, sizeof entry->name, "new");
    entry->slot = k_efect_no_slot;
    entry->scale = 1.0f;
}

void attach_efect_proto(efect_proto_entry* entry)
{
    entry->name[k_efect_name_size - 1] = '\0';
    if (entry->slot != k_efect_no_slot) {
        if (object_proto* held = proto_at(entry->slot); held && entry->slot >= k_proto_first_template) {
            free_object_proto(held, entry->slot);
            held->kind = k_proto_free;
        }
        entry->slot = k_efect_no_slot;
    }
    if (!is_plain_file_name(entry->name)) {
        console_log("efekt: nepovolene meno %s", entry->name);
        return;
    }
    int32_t slot = k_proto_first_template;
    while (slot < k_proto_slots && g_object_protos[slot].kind != k_proto_free)
        ++slot;
    if (slot == k_proto_slots)
        return;
    std::string path = std::string("data/efects/") + entry->name + ".pr";
    const bool read = read_object_proto_file(slot, path.c_str(), "efekt bez prototypu");
    if (!read || g_object_protos[slot].kind == k_proto_free) {
        if (read)
            report_damaged_file(path.c_str(), "prazdny prototyp", "efekt bez prototypu");
        g_object_protos[slot].kind = k_proto_free;
        return;
    }
    entry->slot = uint16_t(slot);
    console_log("pridal som efectu %s prototyp %d typu %d", entry->name, int(slot), int(g_object_protos[slot].kind));
}

void load_efect_protos()
{
    table_file_read(g_efect_protos_file, false);
    bool missing = false;
    packed_stream* in = open_data_file(k_efect_protos_file, k_efect_protos_kept, &missing);
    if (!in) {
        table_file_read(g_efect_protos_file, missing);
        return;
    }
    int count = stream_read_u16le(in);
    int64_t stored_size = count < 0 ? -1 : stream_read_u32le(in);
    if (stored_size < 0) {
        report_damaged_file(k_efect_protos_file, "hlavicka tabulky", k_efect_protos_kept);
        stream_close(in);
        return;
    }
    if (int16_t(count) < 0) {
        const std::string where = "zaporny pocet " + std::to_string(int16_t(count));
        report_damaged_file(k_efect_protos_file, where.c_str(), "ziadne efekty");
    }
    if (stored_size > k_efect_proto_size)
        console_log("%s: zaznamy maju %lld bajtov, beriem %u", k_efect_protos_file,
                    static_cast<long long>(stored_size), k_efect_proto_size);
    int16_t stored_count = std::max<int16_t>(int16_t(count), 0);
    table_read got = read_table_records<k_efect_proto_size>(
        in, uint32_t(stored_size), uint64_t(stored_count), k_efect_proto_slots, nullptr,
        [](uint32_t i, const uint8_t* bytes) {
            record_reader r{bytes};
            efect_proto_fields(r, g_efect_protos[i]);
            g_efect_protos[i].slot = k_efect_no_slot;
        });
    const table_file_contents found{int16_t(count), int64_t(got.whole),
                                    close_read_file(in, got.complete, k_efect_protos_file)};
    g_efect_proto_count = int16_t(got.kept);
    if (stored_count > k_efect_proto_slots) {
        const std::string where = "pocet " + std::to_string(stored_count) + " nad " + std::to_string(k_efect_proto_slots);
        report_damaged_file(k_efect_protos_file, where.c_str(), "prve efekty, ktore sa zmestia");
    }
    if (!got.complete) {
        const std::string where = "konci po " + std::to_string(got.kept) + " efektoch";
        report_damaged_file(k_efect_protos_file, where.c_str(), "cele efekty pred koncom");
    }
    table_file_read(g_efect_protos_file,
                    got.complete && int16_t(count) >= 0 && stored_count <= k_efect_proto_slots &&
                        stored_size <= k_efect_proto_size && found.bytes_after == 0,
                    found);
    for (int16_t i = 0; i < g_efect_proto_count; ++i)
        attach_efect_proto(&g_efect_protos[i]);
}

bool save_efect_protos()
{
    int16_t count = std::clamp<int16_t>(g_efect_proto_count, 0, k_efect_proto_slots);
    packed_stream* out = stream_open(k_efect_protos_file, "wp");
    bool written = out && stream_write_u16le(uint16_t(count), out) >= 0 &&
                   stream_write_u32le(k_efect_proto_size, out) >= 0 &&
                   write_table_records<k_efect_proto_size>(out, uint32_t(count), [](uint32_t i, uint8_t* bytes) {
                       record_writer w{bytes};
                       efect_proto_fields(w, g_efect_protos[i]);
                   });
    if (!finish_written_file(out, written)) {
        console_log("%s: zapis zlyhal, stary subor ostava", k_efect_protos_file);
        return false;
    }
    return true;
}
