// Start-up loads the demo's spells and links the character rules to their costs and cast frames.
#include "shell/shell_fixture.h"

#include "characters/char_rule_links.h"
#include "items/spells.h"

#include "platform/files.h"

#include <tuple>
#include <vector>

namespace {

TEST_F(shell_test, StartUpLoadsTheSpellsAndAnswersTheirCostAndCastFrame)
{
    run("zorv", 1);
    ASSERT_EQ(g_spell_proto_count, 115);
    EXPECT_NE(g_spell_protos[0].missile_slot, -1);
    ASSERT_NE(g_char_rule_links.spell_cost, nullptr);
    ASSERT_NE(g_char_rule_links.spell_cast_frame, nullptr);
    int32_t cost = 0, frame = 0;
    uint32_t pause = 0;
    EXPECT_TRUE(g_char_rule_links.spell_cost(0, &cost, &pause));
    EXPECT_TRUE(g_char_rule_links.spell_cast_frame(0, &frame));
    EXPECT_EQ(std::make_tuple(cost, pause, frame), std::make_tuple(5, 40u, 2));
    EXPECT_FALSE(g_char_rule_links.spell_cost(115, &cost, &pause));
}

// A file the loader refused is not overwritten by the editor's shutdown; a taken one is written
// back with the same records.
TEST_F(shell_test, AnEditorRunKeepsASpellFileThatWasRefused)
{
    std::vector<uint8_t> whole;
    ASSERT_TRUE(read_whole_file("global/spells.dat", &whole));
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(whole.size() / 2));
    write_bytes("global/spells.dat", cut);
    run("zorv editor", 1);
    std::vector<uint8_t> after;
    ASSERT_TRUE(read_whole_file("global/spells.dat", &after));
    EXPECT_EQ(after, cut);

    write_bytes("global/spells.dat", whole);
    run("zorv editor", 1);
    ASSERT_EQ(g_spell_proto_count, 115);
    std::vector<spell_proto> first(g_spell_protos, g_spell_protos + 115);
    g_spell_proto_count = 0;
    load_spells();
    ASSERT_EQ(g_spell_proto_count, 115);
    for (int32_t i = 0; i < 115; ++i)
        EXPECT_STREQ(g_spell_protos[i].name, first[size_t(i)].name) << i;
}

} // namespace
