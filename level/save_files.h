// The files of a save game folder as their bytes: game.ss (414 bytes), quest.ss, attune.ss, the
// hero file's frame, container.ss and the level copies. Each parser checks the whole file (its length, its counts and indices)
// and fills its record only when every check holds, so a damaged file is refused whole.
#pragma once

#include "core/game_globals.h"
#include "core/globals.h"
#include "script/quests.h"
#include "world/game_clock.h"

#include <cstdint>
#include <vector>

struct packed_stream;

constexpr uint32_t k_game_state_size = 414;
constexpr int k_hero_flags = 8;

// game.ss: where the game stands.
struct saved_game_state {
    game_clock clock;
    char map_path[k_map_path_size];  // the current level's map file
    int32_t player_char;             // the hero's slot, one of the global characters
    float x, y;                      // the hero's world position
    int32_t object_value;            // the hero object's second angle
    int16_t hero_flags[k_hero_flags];  // the hero's script flags
    uint32_t dream_switch_allowed;
    uint32_t dream_active;
    int16_t location_count;          // 0 to 19
    uint32_t locations[k_map_locations];
};

// quest.ss: u8 quest count, the 124-byte quest records, i16 flag count, the 36-byte flag records.
struct saved_story {
    uint8_t quest_count;
    quest_record quests[k_quest_slots];
    int16_t flag_count;
    flag_record flags[k_flag_slots];
};

// attune.ss: i16 count, then per attunement an i32 item id and its i16 points.
struct saved_attunement {
    int32_t item;
    int16_t points;
};
struct saved_attunements {
    int16_t count;
    std::vector<saved_attunement> entries;
};

std::vector<uint8_t> encode_game_state(const saved_game_state& state);
// Exactly 414 bytes, a location count of 0 to 19, a global hero slot and a terminated, non-empty
// map path.
bool parse_game_state(const std::vector<uint8_t>& bytes, saved_game_state* state);

std::vector<uint8_t> encode_story(const saved_story& story);
// Counts within the tables (at most 100 quests, 0 to 200 flags) and exactly their records.
bool parse_story(const std::vector<uint8_t>& bytes, saved_story* story);

std::vector<uint8_t> encode_attunements(const saved_attunements& attunements);
// Exactly `count` entries, each item id within the item slots. The item table is not consulted:
// the file reads whole or not whether or not the items are loaded yet.
bool parse_attunements(const std::vector<uint8_t>& bytes, saved_attunements* attunements);
// Every entry names a loaded item prototype (below g_item_proto_count) of the attunement class.
bool attunements_fit_items(const saved_attunements& attunements);

// A hero file is complete: a u32 record size, then exactly that many bytes.
bool hero_file_complete(const std::vector<uint8_t>& bytes);

// container.ss holds exactly what its reader takes: an i16 count, then that many containers in
// the level form (a negative count is none).
bool char_containers_whole(const std::vector<uint8_t>& bytes);

// A level's change file holds exactly what its readers take, section by section: character
// placements, entities, map events, level containers, their state blocks, ground items and the
// monster points.
bool level_changes_whole(const std::vector<uint8_t>& bytes);

// Decodes a whole packed file ("rp") into `out`; false when it cannot be opened, fails to decode
// or holds more than `limit` bytes.
bool read_packed_file(const char* path, std::vector<uint8_t>* out, size_t limit = size_t(64) << 20);
// Writes `bytes` as a packed file ("wp"); the file appears only after a complete write.
bool write_packed_file(const char* path, const std::vector<uint8_t>& bytes);
