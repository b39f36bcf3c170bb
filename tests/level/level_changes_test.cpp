// Per-level change files: the changeable tables written and read back, the links made again
// after reading, and the refusals.
#include "level/level_fixture.h"

#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_links.h"
#include "level/level_saves.h"
#include "level/save_files.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "support/file_size_limit.h"
#include "world/sectors.h"
#include "world/world_objects.h"


namespace {

class level_changes_test : public level_test {
protected:
    void SetUp() override
    {
        level_test::SetUp();
        fill_every_section();
        for (uint32_t i = 0; i < g_object_count; ++i)
            g_objects[i].entity = -1;
        g_objects[1].entity = 2;
        g_objects[3].entity = 4;
        g_objects[4].entity = 1;
        g_objects[4].object_class = k_class_attached;  // an item model: not an entity's object
        g_monster_points.points[3].stamp = 4321;
        g_containers[1].x = 12.5f;
        g_containers[1].y = -3.0f;
    }

    // Empties the tables a change file holds.
    static void forget_changes()
    {
        g_char_placements.count = 0;
        g_entity_count = 0;
        g_event_count = 0;
        free_level_containers();
        g_ground_item_count = 0;
        reset_monster_points(&g_monster_points);
    }
};

TEST_F(level_changes_test, TheChangeableTablesComeBackAsTheyWere)
{
    record_links();
    level_snapshot before = level_snapshot::take();
    ASSERT_TRUE(save_level_changes("brana.sav"));
    EXPECT_EQ(link_calls(), std::vector<std::string>{"clear_player_interior"});
    ASSERT_TRUE(is_readable_file("global/brana.sav"));

    forget_changes();
    int32_t parameter = g_sectors[0].parameter;
    g_sectors[0].parameter = 77;  // a table the change file does not hold
    link_calls().clear();
    EXPECT_EQ(load_level_changes("brana.sav"), 1);
    EXPECT_EQ(g_sectors[0].parameter, 77);
    g_sectors[0].parameter = parameter;
    expect_same(before, level_snapshot::take());
    EXPECT_EQ(g_monster_points.points[3].stamp, 4321u);  // a change file keeps the stamps
    EXPECT_FLOAT_EQ(g_containers[1].x, 12.5f);
    EXPECT_FLOAT_EQ(g_containers[1].y, -3.0f);

    // Objects of entities join their lists again; the dropped ground items are placed again.
    std::vector<std::string> expected = {"add_entity_object:2,1", "add_entity_object:4,3"};
    for (int16_t i = 0; i < g_ground_item_count; ++i)
        expected.push_back("place_ground_item:" + std::to_string(i));
    EXPECT_EQ(link_calls(), expected);
    std::string log = log_text();
    EXPECT_NE(log.find("Chcem citat zmeny z brana.sav\ncitam zmeny z brana.sav\n"), std::string::npos);
    EXPECT_NE(log.find("zmeny nacitane\n"), std::string::npos);
}

TEST_F(level_changes_test, AMissingFileReadsNothing)
{
    level_snapshot before = level_snapshot::take();
    EXPECT_EQ(load_level_changes("brana.sav"), 0);
    expect_same(before, level_snapshot::take());
    EXPECT_NE(log_text().find("nepodarilo sa nacitat zmeny z brana.sav\n"), std::string::npos);
}

TEST_F(level_changes_test, ALevelNameMustStayInTheFolder)
{
    make_folder("global/sub");
    for (const char* name : {"../outside.sav", "sub/inner.sav", "sub\\inner.sav", "..", ""}) {
        EXPECT_FALSE(save_level_changes(name)) << name;
        EXPECT_EQ(load_level_changes(name), 0) << name;
    }
    EXPECT_FALSE(is_readable_file("outside.sav"));
    EXPECT_TRUE(list_folder("global/sub").empty());
}

TEST_F(level_changes_test, ADamagedChangeFileIsNamedAndNeverLoggedAsRead)
{
    ASSERT_TRUE(save_level_changes("brana.sav"));
    std::vector<uint8_t> body;
    ASSERT_TRUE(read_packed_file("global/brana.sav", &body));
    const uint16_t placements = uint16_t(g_char_placements.count);
    const uint16_t entities = uint16_t(g_entity_count);

    // Cut inside the map events: the placements and entities before them are applied, the
    // containers after them are not.
    body.resize(body.size() / 2);
    ASSERT_TRUE(write_packed_file("global/brana.sav", body));
    forget_changes();
    write_text(k_console_log_file, "");
    EXPECT_EQ(load_level_changes("brana.sav"), 0);
    EXPECT_EQ(uint16_t(g_char_placements.count), placements);
    EXPECT_EQ(uint16_t(g_entity_count), entities);
    EXPECT_EQ(g_level_container_count, 0);
    std::string log = log_text();
    EXPECT_NE(log.find("global/brana.sav: poskodeny subor (sekcia udalosti), ostava zmeny pred nou, zvysok z mapy\n"),
              std::string::npos) << log;
    EXPECT_EQ(log.find("zmeny nacitane"), std::string::npos) << log;

    // Its packed head zeroed: nothing read.
    std::vector<uint8_t> bytes = read_bytes("global/brana.sav");
    std::fill(bytes.begin(), bytes.begin() + 4, 0);
    write_bytes("global/brana.sav", bytes);
    forget_changes();
    write_text(k_console_log_file, "");
    EXPECT_EQ(load_level_changes("brana.sav"), 0);
    EXPECT_EQ(g_char_placements.count, 0);
    log = log_text();
    EXPECT_NE(log.find("global/brana.sav: poskodeny subor (hlavicka), ostava level z mapy\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("zmeny nacitane"), std::string::npos) << log;
}

TEST_F(level_changes_test, AFailedWriteKeepsTheOldChangeFile)
{
    ASSERT_TRUE(save_level_changes("brana.sav"));
    std::vector<uint8_t> old = read_bytes("global/brana.sav");
    g_char_placements.count = 1;
    {
        file_size_limit limit(100);
        EXPECT_FALSE(save_level_changes("brana.sav"));
    }
    EXPECT_EQ(read_bytes("global/brana.sav"), old);
    // The size limit holds the log file too: the line is looked for in the console's history.
    EXPECT_EQ(std::string(g_console_history[0]).find("zmeny: zapis global/brana.sav zlyhal"), 0u);
}

} // namespace
