// Any bytes cut into a character's candidate dialogue files (start, end and question families,
// each a stored packed file): every pick gives -1 or the number of an existing file, the question
// menu stays in its buffer and ends with the leave option, and a talk requests an existing file
// or starts nothing.
#include "tests/fuzz/fuzz_scratch.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "platform/files.h"
#include "script/dialogues.h"
#include "script/text_window.h"

#include <cstring>
#include <filesystem>
#include <string>

namespace {

constexpr int k_files = 6;

void write_candidate(const std::string& path, const uint8_t* data, size_t size)
{
    std::string bytes = "AGP.";
    bytes.append(reinterpret_cast<const char*>(data), size);
    write_fuzz_file(path.c_str(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool candidate_exists(const char* family, int32_t n)
{
    return n == -1 || (n >= 0 && n < k_files &&
                       is_readable_file(("data/dia/eng/villager/" + std::string(family) + std::to_string(n) + ".dia2").c_str()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    std::filesystem::remove_all("data");
    std::filesystem::create_directories("data/dia/eng/villager");
    std::strcpy(g_language, "eng");
    std::memset(g_chars, 0, sizeof(char_record) * 2);
    std::strcpy(g_chars[0].name, "hero_key");
    std::strcpy(g_chars[1].name, "villager");
    g_char_count = 2;
    g_player_char = 0;
    g_dialogue_running = 0;

    // The first byte says which files exist; the rest is cut into equal pieces, one a file.
    const uint8_t present = size ? data[0] : 0;
    const size_t piece = size > 1 ? (size - 1) / k_files : 0;
    for (int n = 0; n < k_files; ++n) {
        if (!(present & (1 << n)))
            continue;
        const uint8_t* bytes = data + 1 + size_t(n) * piece;
        for (const char* family : {"start", "end", "question"})
            write_candidate("data/dia/eng/villager/" + std::string(family) + std::to_string(n) + ".dia2", bytes, piece);
    }
    if (!candidate_exists("start", pick_start_dialogue(1)) || !candidate_exists("end", pick_end_dialogue(1)))
        std::abort();

    char menu[k_dialogue_markup_size];
    build_question_menu(menu, sizeof menu, 1);
    const void* end = std::memchr(menu, 0, sizeof menu);
    if (!end || !std::string(menu).ends_with(" ^lnend a\n"))
        std::abort();

    run_char_event(1, 0);
    if (g_dialogue_running && !is_readable_file(g_dialogue_window.requested_file))
        std::abort();
    g_dialogue_running = 0;
    return 0;
}
