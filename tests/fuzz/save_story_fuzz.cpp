// A save's quest.ss (packed) from any bytes: taken counts stay within the tables, every name and
// title is terminated, and the records are stored and read back the same.
#include "level/save_files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    std::vector<uint8_t> bytes;
    static saved_story story, again;
    if (!read_packed_file(path.c_str(), &bytes) || !parse_story(bytes, &story))
        return 0;
    if (story.quest_count > k_quest_slots || story.flag_count < 0 || story.flag_count > k_flag_slots)
        std::abort();
    for (int i = 0; i < story.quest_count; ++i)
        if (story.quests[i].name[29] || story.quests[i].title[79])
            std::abort();
    for (int i = 0; i < story.flag_count; ++i)
        if (story.flags[i].name[31])
            std::abort();
    if (!parse_story(encode_story(story), &again) || encode_story(again) != encode_story(story))
        std::abort();
    return 0;
}
