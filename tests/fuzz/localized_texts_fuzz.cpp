// The UI text table, the character and item names and a level's texts read from any bytes.
#include "tests/fuzz/fuzz_scratch.h"

#include "core/settings.h"
#include "engine/localized_names.h"
#include "engine/ui_texts.h"
#include "platform/files.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    make_folder("data/leveltext/eng/L");
    std::strcpy(g_language, "eng");
    write_fuzz_file("global/text_eng.txt", data, size);
    write_fuzz_file("global/chars_eng.txt", data, size);
    write_fuzz_file("global/itemnames_eng.txt", data, size);
    write_fuzz_file("data/leveltext/eng/L/levelname", data, size);
    write_fuzz_file("data/leveltext/eng/L/key.txt", data, size);

    load_ui_texts();
    for (const auto& text : g_ui_text)
        if (std::strlen(text) >= sizeof text)
            std::abort();
    // The language check reads the same table; what it names stays a short line.
    if (ui_text_table_fault("eng").size() > 80)
        std::abort();

    char names[3][60] = {"hero", "a", "B"};
    char_name_entry chars[] = {{names[0], 60}, {names[1], 60}, {names[2], 60}};
    load_char_names_into(chars);

    char display[2][100] = {"x", "y"};
    item_name_entry items[] = {{"a", display[0], 100, true}, {"b", display[1], 100, true}};
    load_item_names_into(items);

    char level[80] = "L";
    char text[256] = {};
    map_text_entry texts[] = {{"key", text, sizeof text}};
    load_level_texts_into(level, sizeof level, texts);
    if (std::strlen(level) >= sizeof level || std::strlen(text) >= sizeof text)
        std::abort();
    return 0;
}
