// Start-up loads the language's texture pack and the nine fixed textures from the demo data.
#include "shell/shell_fixture.h"

#include "engine/textures.h"
#include "level/level_saves.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"

namespace {

TEST_F(shell_test, StartupLoadsTheLanguagePackAndTheFixedTextures)
{
    recording_device device(1024, 768);
    render_use_recording(true);
    g_d3d_device = &device;
    clear_texture_table();
    delete_file("data/levels/start.sav");  // reading a first level would name its own map
    run("zorv console", 1);

    EXPECT_STREQ(g_map_path, "data/levels/main_eng.dat");
    EXPECT_NE(read_text("global/konzola.log").find("wahahahaha data/levels/main_eng.dat\n"), std::string::npos);
    ASSERT_GE(g_texture_count, 5 + k_fixed_texture_count);
    EXPECT_STREQ(g_textures[0].name, "data/tiles/grass.tga");
    for (int32_t slot = 0; slot < 5; ++slot) {
        EXPECT_NE(g_textures[slot].surface, nullptr) << slot;
        EXPECT_EQ(g_textures[slot].in_level, 0u);
    }
    for (int i = 0; i < k_fixed_texture_count; ++i) {
        ASSERT_GE(g_fixed_textures[i], 5);
        EXPECT_NE(g_textures[g_fixed_textures[i]].surface, nullptr) << i;
    }
    clear_texture_table();
    g_d3d_device = nullptr;
    render_use_recording(false);
}

} // namespace
