// The demo's HUD through the program's own start-up: the gate's script opens the dream world, the
// message log holds lines, the hero brings unspent points and a three-item quick bar, and a HUD
// frame at 1024 x 768 draws every one of its images from a loaded texture.
#include "shell/shell_fixture.h"

#include "tools/demo/demo_data.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "platform/recording_device.h"
#include "shell/program.h"

#include <cstring>
#include <set>
#include <vector>

TEST_F(shell_test, TheDemoDrawsAFullHudFrameWithNoImageMissing)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());

    EXPECT_EQ(g_interface.dream_switch_allowed, 1u);
    EXPECT_GE(g_message_log.count, 3u);  // the start's greeting lines, at least
    const char_record* hero = char_at(int32_t(g_player_char));
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(hero->skill_points, 250);
    EXPECT_TRUE(g_interface.quick_ids[2] == k_demo_wand && g_interface.quick_kinds[2] == 1);

    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(g_screen_width, 1024);
    ASSERT_EQ(g_screen_height, 768);
    device->clear_recording();
    update_game_interface();

    std::set<const device_texture*> drawn;
    for (const recorded_draw& d : device->draws())
        drawn.insert(d.texture);
    const game_interface& gi = g_interface;
    std::vector<uint16_t> images(std::begin(gi.hud_frame), std::end(gi.hud_frame));
    for (int button : {0, 1, 3, 4, 6, 7})
        images.push_back(gi.hud_buttons[button]);
    images.insert(images.end(), {gi.hud_divider, gi.bars[0], gi.bars[1]});
    for (int fixed : {k_texture_green, k_texture_red, k_texture_blue})
        images.push_back(uint16_t(g_fixed_textures[fixed]));
    for (uint16_t slot : images) {
        ASSERT_LT(int32_t(slot), g_texture_count);
        EXPECT_NE(g_textures[slot].surface, nullptr) << g_textures[slot].name;
        EXPECT_TRUE(drawn.count(g_textures[slot].surface)) << g_textures[slot].name;
    }
    program_shutdown(true);
    render_use_recording(false);
}
