#include "script/dialogue_fixture.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "engine/ui_texts.h"
#include "platform/files.h"
#include "script/quests.h"

#include <cstring>

void dialogue_test::SetUp()
{
    text_window_test::SetUp();
    saved_.keep(g_chars);
    saved_.keep(g_char_count);
    saved_.keep(g_player_char);
    saved_.keep(g_quests);
    saved_.keep(g_quest_count);
    saved_.keep(g_flags);
    saved_.keep(g_flag_count);
    saved_.keep(g_dialogue);
    saved_.keep(g_dialogue_partner);
    std::memset(g_chars, 0, sizeof(char_record) * 2);
    std::strcpy(g_chars[0].name, "hero_key");
    std::strcpy(g_chars[0].display_name, "Aren");
    g_chars[0].kind = k_kind_player;
    std::strcpy(g_chars[1].name, "villager");
    std::strcpy(g_chars[1].display_name, "Old Miller");
    for (int s = 0; s < 2; ++s) {
        g_chars[s].slot = int16_t(s);
        g_chars[s].object = -1;
    }
    g_char_count = 2;
    g_player_char = 0;
    g_quest_count = 0;
    g_flag_count = 0;
    std::memset(&g_dialogue, 0, sizeof g_dialogue);
    std::snprintf(g_ui_text[159], k_ui_text_size, "Farewell.");
}

void dialogue_test::TearDown()
{
    saved_.restore();
    text_window_test::TearDown();
}

std::unique_ptr<dialogue_record> dialogue_test::make_dialogue(const char* name, int nodes)
{
    auto d = std::make_unique<dialogue_record>();
    std::snprintf(d->name, sizeof d->name, "%s", name);
    for (int n = 0; n < nodes; ++n)
        set_dialogue_node(d.get(), n, "villager", ("n" + std::to_string(n)).c_str(),
                          ("text " + std::to_string(n)).c_str());
    return d;
}

void dialogue_test::write_villager_file(const std::string& file, const dialogue_record& d)
{
    ASSERT_TRUE(make_folder("data/dia/eng/villager"));
    ASSERT_TRUE(write_dialogue_file(("data/dia/eng/villager/" + file + ".dia2").c_str(), d));
}
