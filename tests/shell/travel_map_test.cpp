#include "shell/request_fixture.h"

#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "platform/input.h"
#include "level/level_change.h"
#include "script/entities.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstring>
#include <filesystem>

namespace {

// The demo map lays the locations out five to a row, 204.8 x 192 pixels each, the area 16
// pixels inside its cell.
void point_at(int32_t location)
{
    g_mouse_x = 204.8f * float(location % 5) + 100.0f;
    g_mouse_y = 192.0f * float(location / 5) + 96.0f;
}

class travel_map_test : public request_test {
protected:
    // The map level entered as the screen enters it, without its loop; the first draw pass fills
    // the entities' object lists.
    void enter_map(std::initializer_list<int32_t> known)
    {
        start();
        std::fill(std::begin(g_map_locations_open), std::end(g_map_locations_open), 0u);
        for (int32_t i : known)
            enable_map_location(i);
        change_level("mapa_eng.sav", 0, 0, 1);
        ASSERT_STREQ(g_current_level, "mapa_eng.sav");
        ASSERT_EQ(g_sector_count, k_map_locations);
        std::fill(std::begin(g_travel_map_fade_tick), std::end(g_travel_map_fade_tick), 0u);
        g_camera_x = g_camera_y = 0.0f;
        draw_objects();
        g_travel_map_running = 1;
        g_mouse_left = 0;
        g_ticks = 1;
    }

    float marker_alpha(int32_t location)
    {
        const entity_record& e = g_entities[k_travel_map_markers[location]];
        return g_objects[entity_objects(&e)[0]].alpha;
    }

    // One pass every 3 ticks, as the map's loop runs them.
    void passes(int n)
    {
        for (int i = 0; i < n; ++i) {
            g_ticks += 3;
            travel_map_frame();
        }
    }
};

} // namespace

TEST_F(travel_map_test, OnlyKnownLocationsReactAndMarkersBrightenInTenSteps)
{
    enter_map({0, 4});
    point_at(1);  // not known: its marker stays dark
    passes(3);
    EXPECT_FLOAT_EQ(marker_alpha(1), 0.0f);

    point_at(0);
    passes(1);
    travel_map_frame();  // the same tick: no second step
    EXPECT_FLOAT_EQ(marker_alpha(0), 0.1f);
    passes(8);
    EXPECT_LT(marker_alpha(0), 1.0f);
    passes(1);
    EXPECT_FLOAT_EQ(marker_alpha(0), 1.0f);
    passes(5);  // held at full
    EXPECT_FLOAT_EQ(marker_alpha(0), 1.0f);
    EXPECT_FLOAT_EQ(marker_alpha(4), 0.0f);

    point_at(4);  // moving on dims the first and brightens the second
    passes(3);
    EXPECT_NEAR(marker_alpha(0), 0.7f, 1e-5f);
    EXPECT_NEAR(marker_alpha(4), 0.3f, 1e-5f);
    EXPECT_EQ(g_travel_map_running, 1u);
}

TEST_F(travel_map_test, AClickEntersOnlyAKnownLocationThatExists)
{
    enter_map({0, 2, 7});
    g_mouse_left = 1;
    g_mouse_x = 5.0f;  // between the areas
    g_mouse_y = 5.0f;
    passes(1);
    point_at(3);  // not known
    passes(1);
    point_at(2);  // known, but the demo has no such level: the map stays
    passes(1);
    EXPECT_EQ(g_travel_map_running, 1u);
    EXPECT_STREQ(g_current_level, "mapa_eng.sav");

    point_at(0);
    g_mouse_left = 1;
    passes(1);
    EXPECT_EQ(g_travel_map_running, 0u);
    EXPECT_STREQ(g_current_level, "brana.sav");
    const world_object* hero = world_object_of(*char_at(int32_t(g_player_char)));
    ASSERT_NE(hero, nullptr);
    EXPECT_FLOAT_EQ(hero->x, g_scene_header.entry_x[0]);
    EXPECT_FLOAT_EQ(g_mouse_x, hero->x);
    EXPECT_FLOAT_EQ(g_mouse_y, hero->y);
    EXPECT_EQ(g_mouse_left, 0u);
}

TEST_F(travel_map_test, DestinationsFollowTheStoryAndBadIndicesAreIgnored)
{
    start();
    g_quests[3].state = 2;
    EXPECT_STREQ(travel_map_destination(1).level, "dedina01.sav");
    EXPECT_STREQ(travel_map_destination(6).level, "bojovka01.sav");
    g_quests[3].state = 3;
    EXPECT_STREQ(travel_map_destination(1).level, "dedina02.sav");
    EXPECT_STREQ(travel_map_destination(6).level, "bojovka02.sav");
    EXPECT_STREQ(travel_map_destination(2).level, "tabor.sav");
    EXPECT_EQ(travel_map_destination(2).entry, 1);
    EXPECT_EQ(travel_map_destination(18).entry, 0);
    EXPECT_EQ(travel_map_destination(19).level, nullptr);
    EXPECT_EQ(travel_map_destination(-1).level, nullptr);

    uint32_t before[k_map_locations];
    std::memcpy(before, g_map_locations_open, sizeof before);
    enable_map_location(-1);
    enable_map_location(19);
    EXPECT_EQ(std::memcmp(before, g_map_locations_open, sizeof before), 0);
}

TEST_F(travel_map_test, TheScreenShowsOnlyKnownLabelsAndRefusesAMapThatCannotBeLeft)
{
    start();
    std::fill(std::begin(g_map_locations_open), std::end(g_map_locations_open), 0u);
    // No known location: the player could never leave; the map does not open.
    travel_map_screen();
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_EQ(g_travel_map_running, 0u);

    // Without the map level the game goes on where it was.
    enable_map_location(0);
    enable_map_location(5);
    std::filesystem::rename("data/levels/mapa_eng.sav", "data/levels/mapa_eng.bak");
    travel_map_screen();
    EXPECT_STREQ(g_current_level, "brana.sav");
    std::filesystem::rename("data/levels/mapa_eng.bak", "data/levels/mapa_eng.sav");

    // The real map: known labels show; a closed window ends the loop.
    input_inject({input_event_kind::close});
    travel_map_screen();
    EXPECT_STREQ(g_current_level, "mapa_eng.sav");
    for (int32_t i = 0; i < k_map_locations; ++i)
        EXPECT_EQ(g_entities[k_travel_map_labels[i]].state, i == 0 || i == 5 ? 1 : 0) << i;
    EXPECT_EQ(g_travel_map_running, 0u);
    EXPECT_EQ(g_quit_all, 1u);
}
