#include "world/object_protos.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "world/object_models.h"
#include "world/object_proto_internal.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

object_proto g_object_protos[k_proto_slots];
uint32_t g_object_proto_count = 0;
uint32_t g_protos_all_loaded = 0;
int32_t g_proto_loading = -1;
uint32_t g_frames_generation[k_proto_slots];

namespace {

struct tile_mask {
    std::vector<uint8_t> bytes;  // columns x rows, row-major
    int32_t columns = 0;
    int32_t rows = 0;
};

tile_mask g_masks[k_proto_slots];

// The kind as files store it: its value.
void kind_field(record_writer& io, uint32_t at, object_proto_kind kind)
{
    io.i32(at, kind);
}

void kind_field(record_reader& io, uint32_t at, object_proto_kind& kind)
{
    int32_t value = 0;
    io.i32(at, value);
    kind = value;
}

// The 10,552-byte record of ".pr" files and map section 2.
template <class Io, class Proto>
void proto_fields(Io& io, Proto& p)
{
    io.bytes(0, p.name, k_proto_name_size);
    kind_field(io, 32, p.kind);
    io.i32(36, p.depth_setting);
    io.f32(40, p.mesh_value);
    io.f32(44, p.depth_correction);
    io.i32(48, p.anim_count);
    for (uint32_t a = 0; a < k_proto_animations; ++a) {
        io.i32(52 + 4 * a, p.frame_counts[a]);
        for (uint32_t f = 0; f < k_proto_frames; ++f)
            io.i32(116 + 4 * (a * k_proto_frames + f), p.frames[a][f]);
    }
    io.bytes(2164, p.frame_names, sizeof p.frame_names);
    io.i32(10356, p.width);
    io.i32(10360, p.height);
    io.i32(10364, p.anim_mode);
    io.i32(10368, p.frame_delay);
    io.i32(10372, p.emit_interval);
    io.i32(10376, p.particle_lifetime);
    io.f32(10380, p.alpha_mode_value);
    io.f32(10384, p.second_param_value);
    for (uint32_t i = 0; i < 3; ++i) {
        io.f32(10388 + 4 * i, p.spawn_offset[i]);
        io.f32(10400 + 4 * i, p.spawn_spread[i]);
        io.f32(10412 + 4 * i, p.velocity[i]);
        io.f32(10424 + 4 * i, p.velocity_spread[i]);
        io.f32(10436 + 4 * i, p.acceleration[i]);
        io.f32(10448 + 4 * i, p.acceleration_spread[i]);
    }
    for (uint32_t i = 0; i < 4; ++i) {
        io.f32(10460 + 4 * i, p.colour[i]);
        io.f32(10476 + 4 * i, p.colour_spread[i]);
        io.f32(10492 + 4 * i, p.colour_change[i]);
        io.f32(10508 + 4 * i, p.colour_change_spread[i]);
    }
    io.f32(10524, p.scale);
    io.f32(10528, p.scale_spread);
    io.f32(10532, p.scale_change);
    io.f32(10536, p.scale_change_spread);
    io.u8(10540, p.default_layer);
    io.u8(10541, p.frames_loaded);
    io.bytes(10542, p.pad10542, 2);
    io.u32(10544, p.mask_slot);
    io.u8(10548, p.format_choice);
    io.u8(10549, p.aim_at_centre);
    io.bytes(10550, p.pad10550, 2);
}

bool known_kind(int32_t kind)
{
    return kind >= k_proto_free && kind <= k_proto_surface;
}

bool valid_slot(int32_t slot)
{
    return slot >= 0 && slot < k_proto_slots;
}

void drop_mask(int32_t slot)
{
    if (valid_slot(slot))
        g_masks[slot] = tile_mask{};
}

// The frame table entries of a surface's tiles: columns x rows as the surface loads them.
void release_surface_tiles(object_proto& p)
{
    int32_t columns = std::clamp(p.anim_count, 0, k_proto_animations);
    int32_t rows = std::clamp(p.frame_counts[0], 0, k_proto_frames);
    for (int32_t c = 0; c < columns; ++c)
        for (int32_t r = 0; r < rows; ++r)
            if (p.frames[c][r] >= 0)
                release_texture(p.frames[c][r]);
}

// Gives back the prototype's reference to a frame texture; the last one frees it and marks its
// record as gone ("NULL"). A texture another holder asked for by the same name (a template
// prototype's frame) stays with that holder.
void drop_frame_texture(int32_t texture)
{
    if (texture < 0)
        return;
    release_texture(texture);
    if (texture_slot_empty(texture))
        copy_bounded(g_textures[texture].name, sizeof g_textures[texture].name, "NULL");
}

// Releases what a prototype's frames hold: a surface's tiles (one reference each) and its mask,
// a mesh's models, or every frame texture (one reference each, with mark_gone the last marked as
// gone). Textures taken from a table that a texture pack has replaced since went with it.
void release_proto_frames(object_proto& p, int32_t slot, bool mark_gone)
{
    const uint32_t generation = valid_slot(slot) ? std::exchange(g_frames_generation[slot], 0u) : 0u;
    const bool textures_held = generation == 0 || generation == g_texture_table_generation;
    if (p.kind == k_proto_surface) {
        if (textures_held)
            release_surface_tiles(p);
    } else if (p.kind == k_proto_mesh) {
        int32_t parts = std::clamp(p.anim_count, 0, k_proto_animations);
        for (int32_t i = 0; i < parts; ++i)
            free_proto_model(p.frames[i][0]);
    } else if (textures_held) {
        int32_t animations = std::clamp(p.anim_count, 0, k_proto_animations);
        for (int32_t a = 0; a < animations; ++a) {
            for (int32_t f = 0; f < std::clamp(p.frame_counts[a], 0, k_proto_frames); ++f) {
                if (mark_gone)
                    drop_frame_texture(p.frames[a][f]);
                else if (p.frames[a][f] >= 0)
                    release_texture(p.frames[a][f]);
            }
        }
    }
    drop_mask(slot);
}

bool write_proto_record(const object_proto& p, packed_stream* stream)
{
    object_proto copy = p;
    copy.mask_slot = 0;
    uint8_t bytes[k_object_proto_size];
    record_writer out{bytes};
    proto_fields(out, copy);
    return stream_write(bytes, int(sizeof bytes), stream) == int(sizeof bytes);
}

} // namespace

void sanitize_proto_record(object_proto* p)
{
    p->name[k_proto_name_size - 1] = '\0';
    for (auto& name : p->frame_names)
        name[k_proto_frame_name_size - 1] = '\0';
    // Loading fills animation 0 (a mesh's first model part) and every tile of a surface; the
    // other entries would name textures or models of another run.
    int32_t first_empty = 0;
    switch (p->kind) {
    case k_proto_sprite:
    case k_proto_particle:
    case k_proto_sprite16:
    case k_proto_mesh:
        first_empty = 1;
        break;
    case k_proto_surface:
        first_empty = k_proto_animations;
        break;
    default:
        break;
    }
    for (int32_t a = first_empty; a < k_proto_animations; ++a)
        std::fill(std::begin(p->frames[a]), std::end(p->frames[a]), -1);
    p->mask_slot = 0;
    p->frames_loaded = 0;
}

bool read_proto_record(packed_stream* stream, uint32_t stored_size, object_proto* out)
{
    uint8_t bytes[k_object_proto_size] = {};
    if (!read_stored_record(stream, bytes, k_object_proto_size, stored_size))
        return false;
    record_reader in{bytes};
    proto_fields(in, *out);
    sanitize_proto_record(out);
    return true;
}

void set_proto_mask(int32_t slot, std::vector<uint8_t> bytes, int32_t columns, int32_t rows)
{
    if (!valid_slot(slot))
        return;
    g_masks[slot].bytes = std::move(bytes);
    g_masks[slot].columns = columns;
    g_masks[slot].rows = rows;
}

int32_t proto_slot_of(const object_proto* prototype)
{
    if (prototype < g_object_protos || prototype >= g_object_protos + k_proto_slots)
        return -1;
    return int32_t(prototype - g_object_protos);
}

void reset_object_proto(object_proto* p)
{
    p->kind = k_proto_free;
    copy_bounded(p->name, sizeof p->name, "new");
    p->anim_count = 1;
    p->width = p->height = k_tile_size;
    std::fill(std::begin(p->frame_counts), std::end(p->frame_counts), 0);
    p->depth_correction = 0.0f;
    p->depth_setting = 1;
    p->default_layer = 0;
    p->emit_interval = 50;
    p->particle_lifetime = 100;
    std::fill(std::begin(p->colour), std::end(p->colour), 1.0f);
    p->scale = 1.0f;
}

int32_t add_empty_object_proto()
{
    if (g_object_proto_count >= uint32_t(k_proto_first_template))
        return -1;
    int32_t slot = int32_t(g_object_proto_count);
    reset_object_proto(&g_object_protos[slot]);
    drop_mask(slot);  // a new prototype never takes the tile mask of the slot's last holder
    g_object_protos[slot].kind = k_proto_sprite;
    ++g_object_proto_count;
    return slot;
}

void free_object_proto(object_proto* p, int32_t slot)
{
    release_proto_frames(*p, slot, false);
    reset_object_proto(p);
}

void remove_proto_frame(int32_t frame, int32_t slot)
{
    object_proto* p = proto_at(slot);
    int32_t count = p ? std::clamp(p->frame_counts[0], 0, k_proto_frames) : 0;
    if (frame < 0 || frame >= count)
        return;
    if (p->kind == k_proto_mesh)
        free_proto_model(p->frames[0][frame]);
    else
        drop_frame_texture(p->frames[0][frame]);
    for (int32_t f = frame; f + 1 < count; ++f) {
        p->frames[0][f] = p->frames[0][f + 1];
        std::memcpy(p->frame_names[f], p->frame_names[f + 1], k_proto_frame_name_size);
    }
    p->frame_counts[0] = count - 1;
}

void unload_object_proto(int32_t slot, bool reindex)
{
    object_proto* p = proto_at(slot);
    if (!p)
        return;
    if (p->frames_loaded) {
        console_log("%s", p->name);
        release_proto_frames(*p, slot, true);
        p->frames_loaded = 0;
    }
    if (!reindex || slot >= int32_t(g_object_proto_count))
        return;

    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (o.state == 0)
            continue;
        if (o.proto == slot)
            reset_object(&o);
        else if (o.proto > slot && o.proto < int32_t(g_object_proto_count))
            --o.proto;
    }
    for (int32_t s = slot; s + 1 < int32_t(g_object_proto_count); ++s) {
        g_object_protos[s] = g_object_protos[s + 1];
        g_masks[s] = std::move(g_masks[s + 1]);
    }
    --g_object_proto_count;
    reset_object_proto(&g_object_protos[g_object_proto_count]);
    drop_mask(int32_t(g_object_proto_count));
}

bool write_object_proto(int32_t slot, packed_stream* stream)
{
    const object_proto* p = proto_at(slot);
    if (!p || !stream)
        return false;
    return stream_write_u32le(k_object_proto_size, stream) >= 0 && write_proto_record(*p, stream);
}

bool read_object_proto(int32_t slot, packed_stream* stream, int32_t)
{
    if (!valid_slot(slot) || !stream)
        return false;
    int64_t stored = stream_read_u32le(stream);
    auto record = std::make_unique<object_proto>();
    std::memset(record.get(), 0, sizeof *record);
    if (stored < 0 || !read_proto_record(stream, uint32_t(stored), record.get())) {
        console_log("prototyp %d: neuplny zaznam", int(slot));
        return false;
    }
    unload_object_proto(slot, false);
    drop_mask(slot);
    g_object_protos[slot] = *record;
    load_proto_textures(slot, 0);
    return true;
}

bool read_object_proto_file(int32_t slot, const char* path, const char* kept)
{
    packed_stream* in = open_data_file(path, kept);
    if (!in)
        return false;
    const bool read = read_object_proto(slot, in, 0);
    if (close_read_file(in, read, path, kept) > 0) {
        free_object_proto(&g_object_protos[slot], slot);
        return false;
    }
    if (!read)
        report_damaged_file(path, "zaznam prototypu", kept);
    return read;
}

bool write_object_protos(packed_stream* stream)
{
    if (!stream)
        return false;
    if (stream_write_u32le(k_object_proto_size, stream) < 0 || stream_write_u32le(g_object_proto_count, stream) < 0)
        return false;
    for (uint32_t i = 0; i < g_object_proto_count; ++i)
        if (!write_proto_record(g_object_protos[i], stream))
            return false;
    return true;
}

bool read_object_protos(packed_stream* stream, int32_t)
{
    if (!stream)
        return false;
    g_protos_all_loaded = 0;
    g_proto_loading = -1;
    int64_t stored = stream_read_u32le(stream);
    int64_t count = stream_read_u32le(stream);
    if (stored < 0 || count < 0) {
        g_object_proto_count = 0;
        return false;
    }
    if (count > k_proto_first_template)
        console_log("prototypov %u, beriem %d", unsigned(count), k_proto_first_template);
    uint32_t read = 0;
    bool complete = true;
    int64_t kept = std::min<int64_t>(count, k_proto_first_template);
    for (int64_t i = 0; i < kept && complete; ++i) {
        object_proto* target = &g_object_protos[i];
        std::memset(target, 0, sizeof *target);
        drop_mask(int32_t(i));
        complete = read_proto_record(stream, uint32_t(stored), target);
        if (complete)
            read = uint32_t(i + 1);
        if (complete && !known_kind(target->kind))
            console_log("%s: prototyp %lld (%s): nepoznany druh %d, nekreslim ho", stream_name(stream),
                        static_cast<long long>(i), target->name, int(target->kind));
    }
    // The records beyond the level slots are skipped whole, so the next section stays in place.
    if (complete)
        complete = skip_stream_bytes(stream, uint64_t(count - kept) * uint64_t(stored));
    g_object_proto_count = read;
    return complete;
}

int32_t test_proto_mask(const object_proto* prototype, int32_t column, int32_t row)
{
    int32_t slot = proto_slot_of(prototype);
    if (slot < 0)
        return 1;
    const tile_mask& mask = g_masks[slot];
    if (mask.bytes.empty() || column < 0 || row < 0 || column >= mask.columns || row >= mask.rows)
        return 1;
    return mask.bytes[size_t(column) + size_t(row) * size_t(mask.columns)] == 0 ? 1 : 0;
}

const uint8_t* proto_mask(int32_t slot, int32_t* columns, int32_t* rows)
{
    if (!valid_slot(slot) || g_masks[slot].bytes.empty())
        return nullptr;
    *columns = g_masks[slot].columns;
    *rows = g_masks[slot].rows;
    return g_masks[slot].bytes.data();
}

// The mask file of texture packs: u32 level prototype count, then per prototype the first 30
// bytes of its name, an i16 marker (1: its tile mask follows, -1: it has none) and the mask.
std::vector<uint8_t> proto_mask_file()
{
    constexpr size_t k_name_bytes = 30;
    std::vector<uint8_t> out(4);
    put_le_u32(out.data(), g_object_proto_count);
    for (uint32_t s = 0; s < g_object_proto_count; ++s) {
        const tile_mask& mask = g_masks[s];
        const char* name = g_object_protos[s].name;
        out.insert(out.end(), name, name + k_name_bytes);
        uint8_t marker[2];
        put_le_u16(marker, mask.bytes.empty() ? uint16_t(0xFFFF) : uint16_t(1));
        out.insert(out.end(), marker, marker + 2);
        out.insert(out.end(), mask.bytes.begin(), mask.bytes.end());
    }
    return out;
}
