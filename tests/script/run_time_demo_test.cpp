// The demo inhabitant's task through the passes: its dialogue parts, read from the demo data,
// assign the quest, set the flag, open the gate's shop and ask for the yard level; the gate's
// level script and the encounter script give the screen back.
#include "script/text_window_fixture.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "characters/char_inventory.h"
#include "items/containers.h"
#include "items/items.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "script/text_window_draw.h"
#include "support/saved_globals.h"
#include "world/scene_header.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class run_time_demo_test : public text_window_test {
protected:
    void SetUp() override
    {
        text_window_test::SetUp();
        const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        kept_.keep(g_chars[0]), kept_.keep(g_char_count), kept_.keep(g_player_char);
        kept_.keep(g_quests), kept_.keep(g_quest_count), kept_.keep(g_flags), kept_.keep(g_flag_count);
        kept_.keep(g_interface), kept_.keep(g_pending_level), kept_.keep(g_map_path);
        kept_.keep(g_scene_header), kept_.keep(g_press_latches), kept_.keep(g_mouse_left);
        g_chars[0] = char_record{};
        std::strcpy(g_chars[0].name, "hero_key");
        g_chars[0].object = -1;
        g_char_count = 1;
        g_player_char = 0;
        g_pending_level = {};
        std::strcpy(g_map_path, "data/levels/brana.sav");
        load_quests();
        kept_.keep(g_item_protos), kept_.keep(g_item_lists), kept_.keep(g_item_proto_count);
        kept_.keep(g_attunement_thresholds);
        load_items();
        g_script_links.wait_until_released = [](bool (*)()) {
            g_mouse_left = 0;
            return true;
        };
        // The gate level's shop, as the level file holds it.
        ASSERT_TRUE(container_init(&g_containers[1], "obchod", 5, 4, 1));
    }
    void TearDown() override
    {
        container_free(&g_containers[1]);
        kept_.restore();
        text_window_test::TearDown();
    }

    // Loads a dialogue part or script into the dialogue window and shows it for two frames.
    void show(const char* path)
    {
        ASSERT_EQ(load_markup_file(&g_dialogue_window, path), 1) << path;
        for (int frame = 0; frame < 2; ++frame) {
            run_text_window(&g_dialogue_window);
            draw_text_window(&g_dialogue_window);
        }
    }

    saved_globals kept_;
};

TEST_F(run_time_demo_test, TheInhabitantsTaskGivesAQuestAFlagTheShopAndTheYard)
{
    const int16_t quest = find_quest("watersupply");
    const int16_t flag = find_flag("spring_told");
    ASSERT_GE(quest, 0);
    ASSERT_GE(flag, 0);

    g_dialogue_running = 1;
    show("data/dialogs/eng/villager_task/0.txt");
    EXPECT_EQ(g_quests[quest].assigned, 1u);
    EXPECT_EQ(g_quests[quest].state, 1);
    EXPECT_EQ(g_flags[flag].value, 1);
    EXPECT_TRUE(char_has_item_named(&g_chars[0], "elixir"));
    ASSERT_EQ(g_dialogue_window.link_count, 2);

    choose_text_window_option(&g_dialogue_window, 0, false);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/villager_shop/0.txt");
    show(g_dialogue_window.requested_file);
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, 1);
    // The shop buys at half the price and sells at the full one: no gold comes of trading.
    EXPECT_EQ(g_interface.shop_buy_factor, 50);
    EXPECT_EQ(g_interface.shop_sell_factor, 100);

    show("data/dialogs/eng/villager_task/0.txt");
    choose_text_window_option(&g_dialogue_window, 1, false);
    show(g_dialogue_window.requested_file);
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "dedina01.sav");
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/villager_task/arrive.txt");
    EXPECT_EQ(g_dialogue_running, 1u);

    // The level's greeting: on the first entry the gate's lessons take its place and set their
    // flag; later, while the villager (as the level places him) knows nothing of the bandits'
    // end, it waits for its single option, which closes it.
    kept_.keep(g_chars[1]);
    g_chars[1] = char_record{};
    std::strcpy(g_chars[1].name, "villager");
    g_char_count = 2;
    g_script_links.last_flag_value = last_flag_value;
    g_script_links.last_quest_state = last_quest_state;
    g_dialogue_running = 1;
    show("data/scripts/brana.txt");
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/gate_lessons/0.txt");
    show(g_dialogue_window.requested_file);
    EXPECT_EQ(g_flags[find_flag("gate_lessons")].value, 1);
    show("data/scripts/brana.txt");
    ASSERT_EQ(g_dialogue_window.link_count, 1);
    choose_text_window_option(&g_dialogue_window, 0, false);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/close.txt");
}

TEST_F(run_time_demo_test, TheRewardCompletesTheQuestOnceAndOffersItsFarewell)
{
    const int16_t quest = find_quest("watersupply");
    ASSERT_GE(quest, 0);
    g_dialogue_running = 1;
    show("data/dialogs/eng/villager_task/0.txt");
    show("data/dialogs/eng/villager_reward/0.txt");
    EXPECT_EQ(g_quests[quest].completed, 1u);
    EXPECT_EQ(g_quests[quest].state, 3);  // told: the road's first detour waits
    EXPECT_EQ(g_chars[0].gold, 100);
    ASSERT_EQ(g_dialogue_window.link_count, 1);
    choose_text_window_option(&g_dialogue_window, 0, false);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/close.txt");
}

} // namespace
