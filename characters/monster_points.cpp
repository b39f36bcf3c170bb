#include "characters/monster_points.h"

#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"

#include <algorithm>

monster_point_block g_monster_points;

namespace {

// The 7,180-byte block of level and change files.
template <class Io, class Block>
void block_fields(Io& io, Block& b)
{
    io.i16(0, b.count);
    io.bytes(2, b.reserved2, 2);
    for (uint32_t i = 0; i < k_monster_point_slots; ++i) {
        auto& p = b.points[i];
        uint32_t at = 4 + k_monster_point_size * i;
        io.u8(at, p.reserved0);
        io.bytes(at + 1, p.reserved1, 3);
        io.u32(at + 4, p.stamp);
        io.f32(at + 8, p.x);
        io.f32(at + 12, p.y);
        for (uint32_t k = 0; k < 3; ++k)
            io.i16(at + 16 + 2 * k, p.slots[k]);
        io.i16(at + 22, p.move_sector);
        io.u8(at + 24, p.reserved24);
        io.bytes(at + 25, p.reserved25, 3);
    }
    for (uint32_t k = 0; k < k_monster_kinds; ++k) {
        io.i16(7144 + 2 * k, b.kind_class[k]);
        io.i16(7162 + 2 * k, b.kind_level[k]);
    }
}

} // namespace

void reset_monster_points(monster_point_block* block)
{
    block->count = 0;
    for (int k = 0; k < k_monster_kinds; ++k) {
        block->kind_class[k] = -1;
        block->kind_level[k] = 1;
    }
}

monster_point* monster_point_at(monster_point_block* block, int32_t index)
{
    if (!block || index < 0 || index >= std::clamp<int32_t>(block->count, 0, k_monster_point_slots))
        return nullptr;
    return &block->points[index];
}

bool write_monster_points(packed_stream* stream, bool clear_stamps)
{
    if (!stream)
        return false;
    if (clear_stamps)
        for (monster_point& p : g_monster_points.points)
            p.stamp = 0;
    monster_point_block stored = g_monster_points;
    stored.count = int16_t(std::clamp<int32_t>(stored.count, 0, k_monster_point_slots));
    uint8_t bytes[k_monster_point_block_size];
    record_writer out{bytes};
    block_fields(out, stored);
    return stream_write_u32le(k_monster_point_block_size, stream) >= 0 &&
           write_stream_bytes(stream, bytes, sizeof bytes);
}

bool read_monster_points(packed_stream* stream)
{
    if (!stream)
        return false;
    int64_t stored_size = stream_read_u32le(stream);
    if (stored_size < 0) {
        console_log("monster points: the section is missing; the points are kept");
        return false;
    }
    monster_point_block blank_block{};
    reset_monster_points(&blank_block);
    uint8_t bytes[k_monster_point_block_size];
    record_writer blank_out{bytes};
    block_fields(blank_out, blank_block);

    if (!read_stored_record(stream, bytes, sizeof bytes, uint32_t(stored_size))) {
        console_log("monster points: the section ends early; no monster points");
        g_monster_points = monster_point_block{};
        reset_monster_points(&g_monster_points);
        return false;
    }
    record_reader in{bytes};
    block_fields(in, g_monster_points);
    if (g_monster_points.count < 0 || g_monster_points.count > k_monster_point_slots) {
        console_log("monster points: count %d held to 0 to %d", int(g_monster_points.count), k_monster_point_slots);
        g_monster_points.count = int16_t(std::clamp<int32_t>(g_monster_points.count, 0, k_monster_point_slots));
    }
    return true;
}
