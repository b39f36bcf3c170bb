// The ending's choice from quests, flags and attunements, and its loop on the demo's final level.
#include "interface/pass_script.h"
#include "shell/injected_input.h"
#include "shell/request_fixture.h"
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "interface/endings.h"
#include "interface/interface_state.h"
#include "interface/slide_shows.h"
#include "items/items.h"
#include "level/level_change.h"
#include "script/entities.h"
#include "script/quests.h"
#include "script/text_window.h"
#include "shell/level_requests.h"
#include "shell/program.h"
#include "shell/window.h"
#include "support/saved_globals.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class ending_choice_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept_.keep(g_quests), kept_.keep(g_quest_count), kept_.keep(g_flags), kept_.keep(g_flag_count);
        kept_.keep(g_item_protos), kept_.keep(g_item_proto_count), kept_.keep(g_attunement_thresholds);
        g_quest_count = 0;
        for (const char* name : {"marriage", "appease", "tharp", "ombrikill", "ombrikill2"})
            set_quest_name(&g_quests[g_quest_count++], name);
        g_flag_count = 0;
        for (const char* name : {"apprentice", "branch_a1", "branch_a2", "branch_a3", "sacred_boar", "lunette_letter"}) {
            flag_record& f = g_flags[g_flag_count++];
            std::memset(&f, 0, sizeof f);
            std::strcpy(f.name, name);
        }
        g_item_proto_count = 0;
        g_attunement_thresholds[0] = 50, g_attunement_thresholds[1] = 200, g_attunement_thresholds[2] = 1000;
    }

    static void quest(const char* name, uint8_t state) { g_quests[find_quest(name)].state = state; }
    static void flag(const char* name, int32_t value) { g_flags[find_flag(name)].value = value; }

    // n more item prototypes of the class, tier and points.
    static void add_items(int n, uint8_t item_class, uint8_t tier, int16_t points, uint32_t deleted = 0)
    {
        for (int i = 0; i < n; ++i) {
            item_proto& p = g_item_protos[g_item_proto_count++];
            std::memset(&p, 0, sizeof p);
            p.item_class = item_class;
            p.size = tier;
            p.damage = points;
            p.deleted = deleted;
        }
    }

private:
    saved_globals kept_;
};

TEST_F(ending_choice_test, DeedsChooseBenevolentAtThreeAndDefenderUpToOne)
{
    // All zero: "tharp" below 5 alone scores 1 (mercenary); the second score 0 (defender).
    EXPECT_EQ(check_benevolent_ending(), 0u);
    EXPECT_EQ(check_second_ending_branch(), 1u);

    quest("marriage", 3);
    EXPECT_EQ(check_benevolent_ending(), 0u);  // 2
    quest("appease", 5);
    EXPECT_EQ(check_benevolent_ending(), 1u);  // 3
    quest("tharp", 4);                         // +1 and -1 cancel: 2; the second test gains 2
    EXPECT_EQ(check_benevolent_ending(), 0u);
    EXPECT_EQ(check_second_ending_branch(), 0u);
    flag("apprentice", 1);
    EXPECT_EQ(check_benevolent_ending(), 1u);
    for (const char* f : {"branch_a1", "branch_a2", "branch_a3"}) {
        flag(f, 1);
        EXPECT_EQ(check_benevolent_ending(), 0u) << f;
        flag(f, 0);
    }
    quest("ombrikill2", 4);
    EXPECT_EQ(check_benevolent_ending(), 0u);
    quest("tharp", 5);  // not below 5: no term
    quest("ombrikill2", 0);
    EXPECT_EQ(check_benevolent_ending(), 1u);
    quest("marriage", 1);
    EXPECT_EQ(check_benevolent_ending(), 0u);

    quest("tharp", 0);
    flag("sacred_boar", 1);
    EXPECT_EQ(check_second_ending_branch(), 1u);  // 1: defender
    quest("ombrikill", 2);
    EXPECT_EQ(check_second_ending_branch(), 0u);  // 2: betrayer
    flag("lunette_letter", 1);
    EXPECT_EQ(check_second_ending_branch(), 1u);  // 1
    quest("ombrikill2", 3);
    quest("tharp", 3);
    EXPECT_EQ(check_second_ending_branch(), 1u);  // 1 + 1 + 1 - 1 - 1 = 1
    quest("tharp", 4);
    EXPECT_EQ(check_second_ending_branch(), 0u);  // 1 + 2 + 1 + 1 - 1 = 4

    // Without the quests and flags in the tables everything counts as zero.
    g_quest_count = 0;
    g_flag_count = 0;
    EXPECT_EQ(check_benevolent_ending(), 0u);
    EXPECT_EQ(check_second_ending_branch(), 1u);
}

TEST_F(ending_choice_test, RankFollowsTheMasteredAttunementsOfTheirTier)
{
    EXPECT_EQ(count_mastered_attunements(), 0);
    // Not counted: below the tier's threshold, deleted, another class, a tier outside 0 to 2.
    add_items(5, k_item_attunement, 1, 199);
    add_items(5, k_item_attunement, 2, 1999, 1);
    add_items(5, k_item_attunement - 1, 0, 1999);
    add_items(120, k_item_attunement, 3, 1999);
    EXPECT_EQ(count_mastered_attunements(), 0);
    g_item_proto_count = 15;

    add_items(54, k_item_attunement, 0, 50);
    add_items(1, k_item_attunement, 1, 200);   // 55
    EXPECT_EQ(count_mastered_attunements(), 0);
    const struct {
        int mastered;
        int16_t rank;
    } bounds[] = {{56, 1}, {82, 1}, {83, 2}, {98, 2}, {99, 3}, {109, 3}, {110, 4}, {130, 4}};
    int mastered = 55;
    for (const auto& b : bounds) {
        add_items(b.mastered - mastered, k_item_attunement, 2, 1000);
        mastered = b.mastered;
        EXPECT_EQ(count_mastered_attunements(), b.rank) << b.mastered;
    }
    g_attunement_thresholds[2] = 1001;  // the tier's threshold is read from the table
    EXPECT_EQ(count_mastered_attunements(), 0);
}

// The ending as the end sequence runs it on the demo's final level.
class ending_loop_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        kept_.keep(g_slide_narration_active);
        started_ = program_startup("zorv console");
        ASSERT_TRUE(started_);
        // The window's first messages make the application active.
        while (pump_messages()) {
        }
        ASSERT_EQ(g_app_active, 1u);
    }
    void TearDown() override
    {
        program_shutdown(started_);
        shell_test::TearDown();
        kept_.restore();
    }

    static bool shown(int32_t entity) { return g_entities[entity].state == 1; }
    static std::string narration() { return std::filesystem::path(g_ending.narration_path).filename().string(); }

    bool started_ = false;

private:
    saved_globals kept_;
};

TEST_F(ending_loop_test, TheChainPlaysMercenaryDefenderAndTitleThenWaits)
{
    static bool playing;
    playing = true;
    g_slide_narration_active = [](uint32_t stream) { return stream != 0 && playing; };
    struct sample {
        int16_t phase;
        uint8_t step;
        std::string narration;
        uint32_t ticks;
        float title_alpha;
    };
    std::vector<sample> samples;
    pass_script script([&](int pass) {
        g_ending_end_flag |= pass > 3000;  // a fault ends the loop
        if (pass == 0) {
            // The set-up chose the first part: entity 0 with the mercenary and defender pictures.
            EXPECT_EQ(narration(), "mercenary.ogg");
            EXPECT_TRUE(shown(0) && shown(1) && shown(5));
            EXPECT_FALSE(shown(2) || shown(4) || shown(14));
            EXPECT_FLOAT_EQ(entity_alpha(1), 1.0f);
            EXPECT_FLOAT_EQ(entity_alpha(2), 0.0f);
        }
        samples.push_back({g_ending.phase, g_ending.narration_step, narration(), g_ticks, entity_alpha(14)});
        playing = pass % 10 != 9;  // each narration ends at the next tenth pass
    });
    g_game_finished = g_quit = 1;
    ASSERT_TRUE(run_ending_if_finished());
    EXPECT_EQ(g_ending_end_flag, 0u);
    EXPECT_EQ(g_new_game_request, 1u);

    // Each sample shows what the pass before it left. Pass 9 finds the deed narration ended and
    // opens the second, pass 19 finds that ended: the title part begins.
    ASSERT_GT(samples.size(), 31u);
    EXPECT_EQ(samples[9].narration, "mercenary.ogg");
    EXPECT_EQ(samples[10].narration, "defender.ogg");
    EXPECT_EQ(samples[10].step, 1);
    EXPECT_EQ(samples[19].phase, 1);
    EXPECT_EQ(samples[20].phase, 2);
    EXPECT_EQ(samples[20].narration, "warrior.ogg");  // the demo hero masters no attunement
    EXPECT_FLOAT_EQ(entity_alpha(0), 0.0f);  // the title part hid the first part
    EXPECT_FALSE(shown(0) || shown(1) || shown(5));
    for (int32_t entity = 8; entity <= 14; ++entity)
        EXPECT_TRUE(shown(entity)) << entity;
    EXPECT_FLOAT_EQ(entity_alpha(8), 1.0f);
    // The title fades in from 0 over 20 steps at least 4 ticks apart.
    EXPECT_NEAR(entity_alpha(14), 1.0f, 1e-5f);
    int fade_steps = 0;
    for (size_t i = 21; i < samples.size(); ++i)
        if (samples[i].title_alpha != samples[i - 1].title_alpha) {
            ++fade_steps;
        }
    EXPECT_EQ(fade_steps, 20);
    // Pass 29 finds the title narration ended; the ending waits until 200 ticks have passed.
    EXPECT_EQ(samples[29].step, 0);
    EXPECT_EQ(samples[30].step, 1);
    EXPECT_GE(samples.back().ticks - samples[30].ticks, 199u);
    EXPECT_LE(samples.back().ticks - samples[30].ticks, 200u);
}

TEST_F(ending_loop_test, WithEveryNarrationMissingItEndsAfterTheWait)
{
    for (const char* name : {"benevolant", "mercenary", "defender", "betrayer", "warrior", "adept", "archmage",
                             "legend", "immortal"})
        std::filesystem::remove(std::string("data/sound/slide/eng/") + name + ".ogg");
    std::vector<uint32_t> ticks;
    std::vector<int16_t> phases;
    pass_script script([&](int pass) {
        g_ending_end_flag |= pass > 3000;
        ticks.push_back(g_ticks);
        phases.push_back(g_ending.phase);
    });
    g_game_finished = g_quit = 1;
    ASSERT_TRUE(run_ending_if_finished());
    // The first pictures stay two passes; the wait starts in the third.
    ASSERT_GE(phases.size(), 4u);
    EXPECT_EQ(phases[1], 1);
    EXPECT_EQ(phases[2], 2);
    EXPECT_GT(ticks.back() - ticks[3], 199u);
    EXPECT_LE(ticks.back() - ticks[3], 202u);
    EXPECT_EQ(g_ending.narration_stream, 0u);
    bool logged = false;
    for (int32_t i = 0; i < g_console_history_count; ++i)
        logged = logged || std::strstr(g_console_history[i], "warrior.ogg") != nullptr;
    EXPECT_TRUE(logged);
    EXPECT_EQ(g_new_game_request, 1u);
}

} // namespace

namespace {

TEST_F(request_test, TheDemoSignpostLeadsThroughTheEpilogueAndTheEndingBackToTheMenu)
{
    saved_globals kept;
    kept.keep(g_message_window), kept.keep(g_dialogue_window), kept.keep(g_epilogue_slides);
    start();
    ASSERT_TRUE(pass_greeting());
    inject_pointer_at_world(240.0f, 200.0f);
    for (int i = 0; i < 3; ++i)  // the level's greeting leaves the message window
        ASSERT_TRUE(program_frame());
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    inject_left_button(false);
    for (int i = 0; i < 20 && !g_epilogue_slides_active; ++i)
        ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_epilogue_slides_active, 1u);
    int frames = 0;
    while (program_frame() && frames < 20000)
        ++frames;
    ASSERT_EQ(g_game_finished, 1u);
    EXPECT_FALSE(program_shutdown(true));  // the ending ran instead of the shutdown
    EXPECT_EQ(traced({"play_ending"}).size(), 1u);
    EXPECT_EQ(g_new_game_request, 1u);
    ASSERT_TRUE(program_frame());
    EXPECT_STREQ(g_current_level, "start.sav");
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_EQ(g_interface.overlay_screen, 1);
}

} // namespace
