// Level changes between the demo levels: what each kind of level gets, the change files on
// leaving and returning, the refusals that keep the current level, the loading screen, and the
// two levels drawn on the OpenGL device.
#include "level/level_fixture.h"

#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/editor_state.h"
#include "engine/lights.h"
#include "engine/models.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/interface_state.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_change.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "script/text_window.h"
#include "shell/device_setup.h"
#include "world/game_clock.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

class level_change_test : public level_test {
protected:
    void SetUp() override
    {
        level_test::SetUp();
        std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder_->path().string() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::strcpy(g_language, "eng");
        load_ui_texts();
        g_no_game_running = 1;
        std::memset(&g_message_log, 0, sizeof g_message_log);
        record_links();
    }

    void TearDown() override
    {
        g_no_game_running = 0;
        level_test::TearDown();
    }

    static bool called(const char* what)
    {
        return std::find(link_calls().begin(), link_calls().end(), what) != link_calls().end();
    }

    static bool loading_picture_kept()
    {
        for (int32_t t = 0; t < g_texture_count; ++t)
            if (std::strncmp(g_textures[t].name, "data/loading", 12) == 0)
                return true;
        return false;
    }
};

TEST_F(level_change_test, AGuiLevelSkipsTheChangeFileTheSpawnsAndTheScript)
{
    g_char_placements.count = 2;
    std::strcpy(g_char_placements.entries[0].creature_file, "x");
    ASSERT_TRUE(save_level_changes("start.sav"));  // would restore two placements if read
    link_calls().clear();

    change_level("start.sav", 0, 0, 1);
    EXPECT_STREQ(g_current_level, "start.sav");
    EXPECT_EQ(g_scene_header.level_type, k_level_gui);
    EXPECT_EQ(g_object_proto_count, 5u);
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_EQ(g_change_file_read, 0u);
    // The crossing characters' presence is set before their names are localized; they are
    // prepared last.
    EXPECT_EQ(link_calls(), (std::vector<std::string>{"release_char_models", "set_dream_presence", "load_char_names",
                                                      "prepare_crossing_chars"}));
    EXPECT_EQ(g_work_mode, k_work_play);

    link_calls().clear();
    change_level("brana.sav", 0, 0, 1);
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_EQ(link_calls(), (std::vector<std::string>{"clear_player_interior", "release_char_models",
                                                      "spawn_level_chars_full_health", "spawn_monsters_at_points",
                                                      "start_script:brana.txt", "set_dream_presence",
                                                      "load_char_names", "prepare_crossing_chars"}));
    EXPECT_EQ(g_change_file_read, 0u);
    EXPECT_STREQ(g_scene_header.display_name, "The Gate");  // localized from "Brana"
    EXPECT_STREQ(g_map_path, "data/levels/brana.sav");
}

TEST_F(level_change_test, TheGateKeepsItsChestAndShopAndTheBagContainerLoads)
{
    change_level("brana.sav", 0, 0, 1);
    ASSERT_EQ(g_level_container_count, 2);
    container& chest = g_containers[0];
    container& shop = g_containers[1];
    EXPECT_STREQ(chest.name, "truhla");
    EXPECT_EQ(chest.shop, 0u);
    EXPECT_STREQ(shop.name, "obchod");
    EXPECT_NE(shop.shop, 0u);
    ASSERT_EQ(container_cells(&shop), 30u);
    EXPECT_EQ(shop.items[0], 0);  // the sword at its price
    EXPECT_EQ(shop.prices[0], 40);
    EXPECT_EQ(shop.items[18], k_container_cell_empty);
    // Its tidying keeps every ware: a player finds the bag there.
    container_tidy(&shop);
    int wares = 0;
    bool bag_on_sale = false;
    for (uint32_t k = 0; k < container_cells(&shop); ++k) {
        wares += shop.items[k] != k_container_cell_empty;
        bag_on_sale |= shop.items[k] == 13;  // the demo's bag
    }
    EXPECT_EQ(wares, 18);
    EXPECT_TRUE(bag_on_sale);
    ASSERT_EQ(container_cells(&chest), 12u);
    EXPECT_EQ(chest.items[2], 2);  // 40 gold
    EXPECT_EQ(chest.flags[2], 40);

    // The dagger taken from the chest stays taken.
    chest.items[0] = k_container_cell_empty;
    chest.x = 500.0f;
    change_level("start.sav", 0, 0, 1);
    EXPECT_EQ(g_level_container_count, 0);
    change_level("brana.sav", 0, 0, 1);
    ASSERT_EQ(g_level_container_count, 2);
    EXPECT_EQ(g_containers[0].items[0], k_container_cell_empty);
    EXPECT_EQ(g_containers[0].x, 500.0f);

    ASSERT_TRUE(load_char_containers());
    ASSERT_EQ(g_char_container_count, 1);
    const container& bag = g_containers[k_char_container_first];
    EXPECT_STREQ(bag.name, "ch_cont");
    ASSERT_EQ(container_cells(&bag), 16u);
    EXPECT_EQ(std::vector<uint16_t>(bag.items, bag.items + 4), (std::vector<uint16_t>{10, 9, 2, 0xFFFF}));
    EXPECT_EQ(bag.flags[2], 15);
    container_free(&g_containers[k_char_container_first]);
    g_char_container_count = 0;
}

TEST_F(level_change_test, ALevelLeftAndEnteredAgainGetsItsChangesBack)
{
    change_level("brana.sav", 0, 0, 1);
    g_monster_points.count = 3;
    g_monster_points.points[2].x = 640.0f;
    g_ground_item_count = 1;
    g_ground_items[0].state = k_ground_item_dropped;
    g_ground_items[0].item = 42;

    change_level("start.sav", 0, 0, 1);
    EXPECT_TRUE(is_readable_file("global/brana.sav"));
    EXPECT_EQ(g_monster_points.count, 0);

    link_calls().clear();
    change_level("brana.sav", 0, 0, 1);
    EXPECT_EQ(g_change_file_read, 1u);
    EXPECT_EQ(g_char_placements.change_file_read, 1u);
    EXPECT_TRUE(called("spawn_level_chars"));
    EXPECT_FALSE(called("spawn_level_chars_full_health"));
    EXPECT_TRUE(called("place_ground_item:0"));
    EXPECT_EQ(g_monster_points.count, 3);
    EXPECT_FLOAT_EQ(g_monster_points.points[2].x, 640.0f);
    EXPECT_EQ(g_ground_items[0].item, 42);
}

TEST_F(level_change_test, RestoringASavedGameWritesNoChangeFileAndSpawnsNoMonsters)
{
    change_level("brana.sav", 0, 0, 1);
    delete_file("global/brana.sav");
    link_calls().clear();
    change_level("start.sav", 1, 1, 1);
    EXPECT_FALSE(is_readable_file("global/brana.sav"));
    change_level("brana.sav", 1, 1, 1);
    EXPECT_FALSE(called("spawn_monsters_at_points"));
    EXPECT_TRUE(called("spawn_level_chars_full_health"));
}

TEST_F(level_change_test, AMissingOrBadMapKeepsTheCurrentLevel)
{
    change_level("brana.sav", 0, 0, 1);
    int32_t model_count = g_model_count;
    int32_t level_textures = 0;
    for (int32_t t = 0; t < g_texture_count; ++t)
        level_textures += g_textures[t].in_level && g_textures[t].name[0] ? 1 : 0;
    ASSERT_GT(level_textures, 0);
    level_snapshot before = level_snapshot::take();
    write_text("data/levels/bad.sav", "AGP.ele002\0\0\0\0");

    for (const char* target : {"nowhere.sav", "bad.sav"}) {
        std::strcpy(g_map_path, target);  // as a pending level change leaves it
        link_calls().clear();
        change_level(target, 0, 0, 1);
        EXPECT_STREQ(g_current_level, "brana.sav") << target;
        EXPECT_STREQ(g_map_path, "data/levels/brana.sav") << target;
        EXPECT_FALSE(is_readable_file("global/brana.sav")) << target;
        EXPECT_FALSE(is_readable_file((std::string("global/") + target).c_str())) << target;
        EXPECT_FALSE(called("release_char_models")) << target;
        EXPECT_EQ(g_model_count, model_count) << target;
        int32_t still = 0;
        for (int32_t t = 0; t < g_texture_count; ++t)
            still += g_textures[t].in_level && g_textures[t].name[0] ? 1 : 0;
        EXPECT_EQ(still, level_textures) << target;
        expect_same(before, level_snapshot::take());
        EXPECT_EQ(g_work_mode, k_work_play);
    }
    std::string log = log_text();
    EXPECT_NE(log.find(": subor chyba, ostava level brana.sav\n"), std::string::npos);
    EXPECT_NE(log.find(": poskodeny subor (nespravna verzia mapy), ostava level brana.sav\n"), std::string::npos);
    EXPECT_EQ(log.find("nowhere.sav nacitana"), std::string::npos);
    EXPECT_EQ(log.find("bad.sav nacitana"), std::string::npos);
}

TEST_F(level_change_test, TheLoadingScreenShowsOnlyWhileAGameRuns)
{
    change_level("start.sav", 0, 0, 1);
    auto presents = [&] {
        return std::count_if(device_->calls().begin(), device_->calls().end(),
                             [](const recorded_call& c) { return c.kind == device_call::present; });
    };
    EXPECT_EQ(presents(), 0);

    g_no_game_running = 0;
    g_message_log.count = 0;
    make_folder("data/hints/eng");
    write_text("data/hints/eng/brana.txt", "A hint.");
    device_->clear_recording();
    link_calls().clear();
    change_level("brana.sav", 0, 0, 1);
    EXPECT_EQ(presents(), 1);
    EXPECT_FALSE(device_->draws().empty());
    EXPECT_TRUE(called("show_hint:data/hints/eng/brana.txt"));
    EXPECT_FALSE(loading_picture_kept());
    EXPECT_FLOAT_EQ(g_ambient_color.red, 0.9f);  // the level's own light after the white screen
    ASSERT_EQ(g_message_log.count, 1u);
    EXPECT_EQ(std::string(g_message_log.lines[0]), std::string(ui_text(109)) + " The Gate");

    // Without a hint of its own a random one is chosen; a missing random hint shows none.
    link_calls().clear();
    change_level("start.sav", 0, 0, 1);
    EXPECT_FALSE(called("show_hint:data/hints/eng/brana.txt"));
    EXPECT_NE(log_text().find("zvolena random hlaska"), std::string::npos);
    EXPECT_EQ(g_message_log.count, 1u);  // a level shown as "new map" is not announced
}

TEST_F(level_change_test, TheLoadingScreenParsesTheHintIntoTheMessageWindowAndEmptiesIt)
{
    const auto saved = std::make_unique<text_window>(g_message_window);
    const std::string voice_name = g_sound.voice_name;  // the parse forgets the narration name
    install_text_window_links();
    g_no_game_running = 0;
    g_message_shown = 1;
    change_level("brana.sav", 0, 0, 1);
    EXPECT_STREQ(g_message_window.name, "data/hints/eng/brana.txt");
    EXPECT_EQ(g_message_window.word_count, 0);
    EXPECT_EQ(g_message_shown, 0u);
    g_message_window = *saved;
    std::strcpy(g_sound.voice_name, voice_name.c_str());
}

// The two demo levels on the OpenGL device: each frame has a picture, and they differ.
class level_picture_test : public level_change_test {
protected:
    void SetUp() override
    {
        level_change_test::SetUp();
        std::string why;
        if (!use_gl_device(why))
            GTEST_SKIP() << "no OpenGL device: " << why;
    }

    std::vector<uint32_t> draw_level()
    {
        apply_ambient_light(&g_scene_header);
        g_d3d_device->begin_scene();
        g_d3d_device->clear(k_clear_target | k_clear_depth, 0xFF000000u);
        apply_lights();
        for (int frame = 0; frame < 3; ++frame)  // a surface shows from its second pass
            draw_objects();
        g_d3d_device->end_scene();
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(gl_->read_frame(pixels));
        return pixels;
    }
};

size_t lit_pixels(const std::vector<uint32_t>& frame)
{
    return size_t(std::count_if(frame.begin(), frame.end(), [](uint32_t p) { return (p & 0xFFFFFF) != 0; }));
}

TEST_F(level_picture_test, TheTwoDemoLevelsDrawDifferentPictures)
{
    change_level("start.sav", 0, 0, 1);
    g_camera_x = -2366.0f;  // where the first level's start-up puts the camera
    g_camera_y = -414.0f;
    std::vector<uint32_t> start = draw_level();

    change_level("brana.sav", 0, 0, 1);
    place_hero_at_entry(&g_scene_header, 0);
    std::vector<uint32_t> gate = draw_level();

    ASSERT_EQ(start.size(), size_t(1024 * 768));
    ASSERT_EQ(gate.size(), start.size());
    EXPECT_GT(lit_pixels(start), start.size() * 9 / 10);
    EXPECT_GT(lit_pixels(gate), gate.size() * 9 / 10);
    size_t different = 0;
    for (size_t i = 0; i < start.size(); ++i)
        different += start[i] != gate[i] ? 1 : 0;
    EXPECT_GT(different, start.size() / 2);
}

} // namespace
