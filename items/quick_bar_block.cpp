#include "items/quick_bar_block.h"

#include "engine/record_io.h"
#include "items/items.h"

#include <cstring>

namespace {

constexpr uint32_t k_icons_at = 2 * k_quick_slots;
constexpr uint32_t k_kinds_at = 4 * k_quick_slots;
constexpr uint32_t k_selected_at = 5 * k_quick_slots;
static_assert(k_selected_at + 1 == k_quick_bar_block_size);

template <class Io, class Block>
void quick_bar_fields(Io& io, Block& block)
{
    for (uint32_t i = 0; i < k_quick_slots; ++i) {
        io.i16(2 * i, block.ids[i]);
        io.u16(k_icons_at + 2 * i, block.icons[i]);
    }
    io.bytes(k_kinds_at, block.kinds, k_quick_slots);
    io.u8(k_selected_at, block.selected);
}

} // namespace

quick_bar_block quick_bar_of(const game_interface& ui)
{
    quick_bar_block block;
    std::memcpy(block.ids, ui.quick_ids, sizeof block.ids);
    std::memcpy(block.icons, ui.quick_icons, sizeof block.icons);
    std::memcpy(block.kinds, ui.quick_kinds, sizeof block.kinds);
    block.selected = ui.quick_selected;
    return block;
}

void apply_quick_bar(const quick_bar_block& block, game_interface& ui)
{
    std::memcpy(ui.quick_ids, block.ids, sizeof block.ids);
    std::memcpy(ui.quick_icons, block.icons, sizeof block.icons);
    std::memcpy(ui.quick_kinds, block.kinds, sizeof block.kinds);
    ui.quick_selected = block.selected;
    // A stored texture number belongs to the run that wrote it: the icons come from the slots'
    // items again; a spell's is found when the bar is first drawn (none until then).
    for (uint32_t i = 0; i < k_quick_slots; ++i) {
        const int16_t id = ui.quick_ids[i];
        if (ui.quick_kinds[i] == k_quick_bar_spell)
            ui.quick_icons[i] = k_quick_icon_unknown;
        else if (id >= 0 && id < g_item_proto_count)
            ui.quick_icons[i] = g_item_protos[id].icon_texture;
    }
}

void encode_quick_bar(const quick_bar_block& block, uint8_t* bytes)
{
    record_writer io{bytes};
    quick_bar_fields(io, block);
}

quick_bar_block decode_quick_bar(const uint8_t* bytes)
{
    quick_bar_block block;
    record_reader io{bytes};
    quick_bar_fields(io, block);
    return block;
}

bool read_quick_bar_block(packed_stream* stream, quick_bar_block* block)
{
    uint8_t bytes[k_quick_bar_block_size];
    if (!read_stored_record(stream, bytes, k_quick_bar_block_size, k_quick_bar_block_size))
        return false;
    *block = decode_quick_bar(bytes);
    return true;
}
