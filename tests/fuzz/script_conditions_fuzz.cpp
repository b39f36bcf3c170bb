// Conditions over any words: the input is parsed as a markup text, and also laid raw into the
// window's word slots (unterminated words, any word count). Every "^if" (and a few indices
// around the ends) is evaluated against a small world with a hero, entities, quests and flags:
// each stretch goes on at a word after its "^if" and within the text, an evaluation gives 0 or
// 1, and the window is left as it was.
#include "tests/fuzz/fuzz_scratch.h"

#include "characters/char_table.h"
#include "characters/surround.h"
#include "core/globals.h"
#include "items/items.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/markup_keywords.h"
#include "script/script_conditions.h"
#include "script/script_links.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

bool quest_state(const char* name, uint8_t* state)
{
    *state = 3;
    return markup_equal(name, "oracle");
}

bool flag_value(const char* name, int32_t* value)
{
    *value = -7;
    return markup_equal(name, "door");
}

void set_up_world()
{
    g_item_proto_count = 2;
    g_item_protos[1] = item_proto{};
    std::snprintf(g_item_protos[1].key_name, sizeof g_item_protos[1].key_name, "staff");
    g_item_protos[1].item_class = k_item_focus;

    for (int slot = 0; slot < 3; ++slot) {
        char_record& c = g_chars[slot];
        c = char_record{};
        std::snprintf(c.name, sizeof c.name, slot == 0 ? "hero" : "guard");
        c.life = uint8_t(slot);
        c.gold = 10 * slot;
        c.object = -1;
    }
    char_record& hero = g_chars[0];
    hero.inv_count = 3;
    hero.inv_item[0] = 1, hero.inv_location[0] = k_inv_weapon, hero.inv_damage_type[0] = 4;
    hero.inv_item[1] = 900, hero.inv_location[1] = k_inv_weapon;  // outside the item table
    hero.inv_item[2] = -5, hero.inv_location[2] = 0;
    g_char_count = 3;
    g_player_char = 0;

    g_entities[0] = entity_record{};
    std::memset(g_entities[0].name, 'x', sizeof g_entities[0].name);  // unterminated
    g_entities[1] = entity_record{};
    std::snprintf(g_entities[1].name, sizeof g_entities[1].name, "door");
    g_entity_count = 2;
    g_surround.count = 2;

    g_script_links.last_quest_state = quest_state;
    g_script_links.last_flag_value = flag_value;
    g_console_enabled = 1;
}

void check_stretches(const text_window* window, text_window* copy)
{
    std::memcpy(copy, window, sizeof(text_window));
    const int32_t count = std::clamp<int32_t>(window->word_count, 0, k_window_word_slots);
    auto check = [&](int32_t p) {
        const int32_t next = next_word_after_condition(window, p);
        if (next < std::min(p + 1, count) || next > count)
            std::abort();
        const int32_t holds = eval_script_condition(window, p + 1, p + 4);
        if (holds != 0 && holds != 1)
            std::abort();
    };
    for (int32_t p : {-1, 0, count - 1, count, count + 3})
        check(p);
    int32_t checked = 0;
    for (int32_t p = 0; p < count && checked < 300; ++p) {
        char word[k_window_word_size] = {};
        std::memcpy(word, window->words[p], strnlen(window->words[p], k_window_word_size - 1));
        if (markup_equal(word, "^if")) {
            check(p);
            ++checked;
        }
    }
    if (std::memcmp(copy, window, sizeof(text_window)) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const auto window = std::make_unique<text_window>();
    static const auto copy = std::make_unique<text_window>();
    in_fuzz_folder folder;
    make_folder("global");
    std::remove("global/konzola.log");
    set_up_world();

    const std::string text(reinterpret_cast<const char*>(data), size);
    parse_text_window(window.get(), text.c_str());
    check_stretches(window.get(), copy.get());

    // Raw words: the first four bytes are the word count, the rest fills the slots.
    std::memset(window->words, 0, sizeof window->words);
    int32_t count = 0;
    if (size > 0)
        std::memcpy(&count, data, std::min<size_t>(size, sizeof count));
    window->word_count = count;
    if (size > sizeof count)
        std::memcpy(window->words, data + sizeof count, std::min(size - sizeof count, sizeof window->words));
    check_stretches(window.get(), copy.get());
    return 0;
}
