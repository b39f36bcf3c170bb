// Start-up loads the language's texture pack and the nine fixed textures from the demo data; a
// level change neither uploads the textures it freed nor frees those a template still draws, and
// gives their slots back, so a long session does not fill the table. A second start-up in the
// process, with or without the language's files, keeps no surface of the device before it.
#include "shell/shell_fixture.h"

#include "core/settings.h"

#include "engine/render_context.h"
#include "engine/textures.h"
#include "level/level_change.h"
#include "level/level_saves.h"
#include "level/save_games.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "shell/device_setup.h"
#include "shell/level_requests.h"
#include "shell/program.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The textures the device made and has not released, a list it keeps to its back ends.
std::vector<device_texture*> textures_of(const render_device& device)
{
    struct census : render_device {
        static std::vector<device_texture*> of(const render_device& d) { return (d.*&census::live_textures)(); }
    };
    return census::of(device);
}

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

TEST_F(shell_test, LoadsLevelChangesAndNewGamesGiveBackTheTexturesTheyFree)
{
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(save_game(&g_save_list, "kept", 0, 1));
    // The first round meets every texture once (a picture the yard or the new game shows first
    // stays loaded); every later round takes no slot more.
    int32_t slots = 0;
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(load_game(&g_save_list, "kept"));
        change_level("dedina01.sav", 0, 0, 1);
        change_level("brana.sav", 0, 0, 1);
        g_new_game_request = 1;
        run_new_game_request();  // its fades draw the world the hero left
        change_level("brana.sav", 0, 0, 1);
        if (round == 0)
            slots = g_texture_count;
        EXPECT_EQ(g_texture_count, slots) << "round " << round;
    }
    // No freed texture was uploaded under the name a freed frame keeps.
    EXPECT_EQ(read_text("global/konzola.log").find("\nNULL: subor chyba"), std::string::npos);
    program_shutdown(true);
}

TEST_F(shell_test, ASecondStartUpInTheProcessKeepsNoSurfaceOfTheFirst)
{
    // With the language's pack the pack carries the fixed textures over into its table; without
    // it (the data holding the language's UI texts and title images alone) no pack replaces the
    // table, and the images are asked for by name. The box image is missing in both.
    const std::string config = read_text("config.cfg");
    const size_t at = config.find("language= ");
    ASSERT_NE(at, std::string::npos);
    copy_english_as("zzz");
    std::filesystem::remove("data/interface/box.tga");
    for (const std::string language : {"eng", "zzz"}) {
        std::string edited = config;
        edited.replace(at, edited.find('\n', at) - at, "language= " + language);
        write_text("config.cfg", edited);
        run("zorv console brana.sav", 1);
        ASSERT_TRUE(program_startup("zorv console brana.sav")) << language;
        int frames = 0;
        while (frames < 30 && program_frame())
            ++frames;
        EXPECT_EQ(frames, 30) << language << ": frames of the second start-up";
        const std::vector<device_texture*> live = textures_of(*g_d3d_device);
        for (int32_t slot = 0; slot < g_texture_count; ++slot) {
            device_texture* surface = g_textures[slot].surface;
            if (surface) {
                EXPECT_TRUE(std::find(live.begin(), live.end(), surface) != live.end())
                    << language << ": slot " << slot << " " << g_textures[slot].name << " holds a stale surface";
            }
        }
        // The image the data lacks is met as missing again, not found in the first run's slot.
        const std::string missing = "data/interface/box.tga: subor chyba";
        EXPECT_NE(read_text("global/konzola.log").find(missing), std::string::npos) << language;
        program_shutdown(true);
    }
}

} // namespace
