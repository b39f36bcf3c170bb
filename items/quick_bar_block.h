// The quick bar as files store it: 81 bytes of the interface's quick-bar fields (16 i16 ids,
// 16 u16 icons, 16 kind bytes and the selected slot byte), little-endian.
#pragma once

#include "core/game_interface.h"

#include <cstdint>

struct packed_stream;

constexpr uint32_t k_quick_bar_block_size = 81;

struct quick_bar_block {
    int16_t ids[k_quick_slots];
    uint16_t icons[k_quick_slots];
    uint8_t kinds[k_quick_slots];
    uint8_t selected;
};

constexpr uint8_t k_quick_bar_spell = 3;            // the slot kind of a spell
constexpr uint16_t k_quick_icon_unknown = 0xFFFF;   // a spell slot's icon not looked up yet

quick_bar_block quick_bar_of(const game_interface& ui);
// The block's slots become the interface's; each item slot takes its item's icon, each spell
// slot k_quick_icon_unknown (the stored icon numbers are not used).
void apply_quick_bar(const quick_bar_block& block, game_interface& ui);

// The block as its 81 bytes, and back.
void encode_quick_bar(const quick_bar_block& block, uint8_t* bytes);
quick_bar_block decode_quick_bar(const uint8_t* bytes);

// Reads 81 bytes into `block`; false (block untouched) when the stream ends first.
bool read_quick_bar_block(packed_stream* stream, quick_bar_block* block);
