// A save's game.ss (packed) from any bytes: a refused file leaves the record as it was; a taken
// one keeps its counts and slot within their tables and is stored and read back the same.
#include "level/save_files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    std::vector<uint8_t> bytes;
    saved_game_state state;
    std::memset(&state, 0xA5, sizeof state);
    const saved_game_state before = state;
    if (!read_packed_file(path.c_str(), &bytes) || !parse_game_state(bytes, &state)) {
        if (std::memcmp(&before, &state, sizeof state) != 0)
            std::abort();
        return 0;
    }
    if (state.location_count < 0 || state.location_count > k_map_locations || state.player_char < 0 ||
        state.player_char > 3 || !state.map_path[0] || state.map_path[k_map_path_size - 1])
        std::abort();
    saved_game_state again;
    if (!parse_game_state(encode_game_state(state), &again) || encode_game_state(again) != encode_game_state(state))
        std::abort();
    return 0;
}
