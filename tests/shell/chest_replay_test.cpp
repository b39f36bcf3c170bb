// The demo gate's chest, played through the program's own frames with injected input: a click
// by the chest walks the hero there and opens it beside the inventory, and two clicks move an
// item from its first cell into the backpack.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/render_context.h"
#include "interface/held_item.h"
#include "items/containers.h"
#include "platform/input.h"
#include "shell/program.h"

namespace {

constexpr int k_walk_bound = 1500;  // frames the walk to the chest may take

} // namespace

TEST_F(shell_test, TheGateChestOpensBesideTheInventoryAndGivesUpAnItem)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());

    // A click by the chest: the hero walks there and the chest opens with the inventory.
    ASSERT_TRUE(click_at((965.0f - g_camera_x) * g_zoom, (600.0f - g_camera_y) * g_zoom));
    for (int frames = 0; !g_interface.container_open && frames < k_walk_bound; ++frames)
        ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, 0);
    EXPECT_EQ(g_interface.side_panel_open, 1u);

    // The first cell's item onto the cursor, then into the first free backpack slot.
    const container& chest = g_containers[0];
    const int16_t item = int16_t(chest.items[0]);
    ASSERT_NE(uint16_t(item), 0xFFFFu);
    const char_record& hero = *char_at(int32_t(g_player_char));
    int slot = 0;
    while (slot < 16 && last_entry_at(uint8_t(slot)) >= 0)
        ++slot;
    ASSERT_LT(slot, 16);
    ASSERT_TRUE(click_at(22 + 16, 45 + 415 + 16));
    EXPECT_EQ(g_interface.held_from_container, 1u);
    EXPECT_EQ(g_interface.held_item, item);
    EXPECT_EQ(chest.items[0], 0xFFFFu);
    ASSERT_TRUE(click_at(float(22 + 34 * (slot % 8) + 16), float(45 + 308 + 34 * (slot / 8) + 16)));
    EXPECT_TRUE(holding_nothing());
    const int32_t entry = last_entry_at(uint8_t(slot));
    ASSERT_GE(entry, 0);
    EXPECT_EQ(hero.inv_item[entry], item);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
