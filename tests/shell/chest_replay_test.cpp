// The demo gate's chest, played through the program's own frames with injected input: a click
// by the chest walks the hero there and opens it beside the inventory, two clicks move an item
// from its first cell into the backpack, and once closed it opens again only when clicked.
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
#include "world/world_objects.h"

#include <cmath>

namespace {

constexpr int k_walk_bound = 1500;  // frames the walk to the chest may take

} // namespace

TEST_F(shell_test, TheGateChestOpensBesideTheInventoryAndGivesUpAnItem)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());
    // The bandits stay out of it: nobody fights the hero here.
    for (uint32_t s = 0; s < g_char_count; ++s)
        if (g_chars[s].kind == k_kind_enemy)
            g_chars[s].life = k_life_gone;

    // A click by the chest: the hero walks there and the chest opens with the inventory.
    ASSERT_TRUE(click_at((880.0f - g_camera_x) * g_zoom, (600.0f - g_camera_y) * g_zoom));
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

    // Closed, the chest stays closed while the hero goes where the player clicks last: the first
    // click after the chest walks away from it; a click on the chest and then, on the way, one on
    // the ground beside it leads to that ground.
    ASSERT_TRUE(tap_keys({k_key_escape}));
    ASSERT_EQ(g_interface.container_open, 0u);
    auto walk_to = [&](float x, float y, int clicked_frames) {
        // The distance from (x, y) of the hero, whose world object may move in the object array.
        auto off = [&] {
            const world_object* body = world_object_of(hero);
            return body ? std::hypot(body->x - x, body->y - y) : 1e9f;
        };
        ASSERT_TRUE(click_at((x - g_camera_x) * g_zoom, (y - g_camera_y) * g_zoom));
        int frames = clicked_frames;
        for (; frames < k_walk_bound && off() > 40.0f; ++frames) {
            ASSERT_TRUE(program_frame());
            ASSERT_EQ(g_interface.container_open, 0u) << "frame " << frames << ", " << off() << " from " << x;
        }
        EXPECT_LE(off(), 40.0f) << x << "," << y;
    };
    walk_to(700.0f, 450.0f, 0);
    ASSERT_TRUE(click_at((900.0f - g_camera_x) * g_zoom, (612.0f - g_camera_y) * g_zoom));
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_interface.container_open, 0u) << "the hero is still on its way to the chest";
    walk_to(795.0f, 600.0f, 10);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
