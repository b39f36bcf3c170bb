// The level map file: every section written and read back, the objects section's rules, the
// level's texture pack, the refusals that change nothing, and the writers that keep the old file.
#include "level/level_fixture.h"

#include "characters/char_table.h"
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "editor/editor_state.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_effects.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "support/file_size_limit.h"
#include "support/section_files.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace {

using level_map_test = level_test;

TEST_F(level_map_test, EverySectionIsWrittenAndReadBackFieldForField)
{
    fill_every_section();
    level_snapshot written = level_snapshot::take();
    write_text("data/levels/full.sav", "");
    ASSERT_EQ(save_level_map("data/levels/full.sav"), 0);

    clear_level_tables();
    fill_pattern(&g_scene_header, 1);
    load_level_map("full.sav");
    level_snapshot read = level_snapshot::take();
    expect_same(written, read);
    EXPECT_EQ(g_light_count, 18);
    EXPECT_STREQ(g_map_path, "data/levels/full.sav");
    std::string log = log_text();
    size_t at = 0;
    for (const char* line : {"zacinam citat data/levels/full.sav", "prototypy in", "sektory in", "udalosti in",
                             "textures in", "identity in", "objecty ok", "svetla ok", "Uspesne som nacital mapu",
                             "objecty in", "efecty in", "pohybova mapa in", "kontainery in", "char info in",
                             "load ok", "final load ok"}) {
        at = log.find(std::string(line) + "\n", at);
        EXPECT_NE(at, std::string::npos) << line;
    }
}

TEST_F(level_map_test, ReadersNormaliseWhatALevelFileMayHold)
{
    fill_every_section();
    g_movement_map.cells[0] = k_cell_editor_mark;
    g_ground_items[1].state = k_ground_item_lying;
    g_objects[2].entry_kinds[1] = 9;
    g_objects[2].entry_count = 3;
    g_objects[2].entry_ints[1][4] = 77;
    g_objects[4].reserved = 0.0f;
    g_objects[4].next_particle_tick = 55;
    g_level_effects[0].next_tick = 1234;
    g_monster_points.points[0].stamp = 99;
    write_text("level.sav", "");
    ASSERT_EQ(save_level_map("level.sav"), 0);
    EXPECT_EQ(g_monster_points.points[0].stamp, 0u);  // a map file keeps no stamps

    clear_level_tables();
    load_level_map("level.sav");
    EXPECT_EQ(g_movement_map.cells[0], k_cell_free);
    EXPECT_EQ(g_ground_items[1].state, k_ground_item_dropped);
    EXPECT_EQ(g_objects[2].entry_ints[1][4], 0);
    EXPECT_FLOAT_EQ(g_objects[4].reserved, 1.0f);
    EXPECT_EQ(g_objects[4].next_particle_tick, 0u);
    EXPECT_EQ(g_level_effects[0].next_tick, 0u);
}

// A hand-built objects section: records, then the lights and the effects section behind it.
struct objects_section_file {
    std::vector<world_object> objects;
    uint32_t stored_count = 0;  // 0: the number of records
    std::vector<int32_t> lights_on;

    void write(const char* path) const
    {
        packed_stream* out = stream_open(path, "wp");
        uint32_t count = stored_count ? stored_count : uint32_t(objects.size());
        stream_write_u32le(k_world_object_size, out);
        stream_write_u32le(count, out);
        stream_write_u32le(15000, out);
        for (const world_object& o : objects) {
            uint8_t bytes[k_world_object_size];
            encode_world_object(o, bytes);
            stream_write(bytes, int(sizeof bytes), out);
        }
        std::memset(g_lights, 0, sizeof g_lights);
        for (int32_t slot : lights_on)
            light_init(&g_lights[slot], k_light_kind_point, 1, 2, 3, 4);
        write_lights(out);
        g_level_effect_count = 2;
        write_level_effects(out);
        ASSERT_EQ(stream_close(out), 0);
        std::memset(g_lights, 0, sizeof g_lights);
        g_level_effect_count = 0;
    }
};

world_object kept_object(int32_t proto, uint8_t layer)
{
    world_object o{};
    o.state = 3;
    o.layer = layer;
    o.proto = proto;
    o.owner = k_no_owner;
    o.reserved = 1.0f;
    return o;
}

TEST_F(level_map_test, ObjectsStopAtABadPrototypeAndFreeRecordsAreDropped)
{
    g_object_proto_count = 3;
    objects_section_file file;
    world_object weather = kept_object(1, 5);
    weather.object_class = k_class_weather;
    world_object unused = kept_object(1, 5);
    unused.state = 0;
    world_object no_proto = kept_object(-1, 5);
    file.objects = {kept_object(2, 7), weather, kept_object(1, 3), unused, no_proto, kept_object(3, 1), kept_object(0, 1)};
    file.lights_on = {2, 9};
    file.write("objects.dat");

    packed_stream* in = stream_open("objects.dat", "rp");
    EXPECT_FALSE(read_objects_section(in));
    // The section's bytes were skipped whole: the lights and the next section are read in place.
    EXPECT_TRUE(read_level_effects(in));
    stream_close(in);
    EXPECT_EQ(g_level_effect_count, 2u);
    ASSERT_EQ(g_object_count, 2u);  // sorted by layer, the free slots trimmed
    EXPECT_EQ(g_objects[0].proto, 1);
    EXPECT_EQ(g_objects[1].proto, 2);
    EXPECT_EQ(g_object_capacity, k_object_growth);
    EXPECT_EQ(g_light_count, 10);
    EXPECT_EQ(g_lights[9].state, k_light_on);
    EXPECT_NE(log_text().find("prototyp 3 nie je v leveli"), std::string::npos);
}

TEST_F(level_map_test, ObjectsOfAMapWithoutPrototypesAllStop)
{
    objects_section_file file;
    file.objects = {kept_object(0, 1), kept_object(0, 2)};
    file.lights_on = {0};
    file.write("objects.dat");
    packed_stream* in = stream_open("objects.dat", "rp");
    EXPECT_FALSE(read_objects_section(in));
    stream_close(in);
    EXPECT_EQ(g_object_count, 0u);
    EXPECT_EQ(g_light_count, 1);
}

TEST_F(level_map_test, AStoredCountBeyondTheDataKeepsTheObjectsReadAndNoLights)
{
    g_object_proto_count = 1;
    section_bytes s;
    s.u32(k_world_object_size).u32(4000000000u).u32(15000);
    for (uint8_t layer : {2, 1}) {
        uint8_t bytes[k_world_object_size];
        encode_world_object(kept_object(0, layer), bytes);
        s.raw(bytes, sizeof bytes);
    }
    g_lights[5].state = k_light_on;
    EXPECT_FALSE(read_last_section(s.bytes, read_objects_section));
    ASSERT_EQ(g_object_count, 2u);
    EXPECT_EQ(g_objects[0].layer, 1);
    EXPECT_EQ(g_object_capacity, k_object_growth);
    EXPECT_EQ(g_lights[5].state, k_light_on);  // the lights were not read
}

TEST_F(level_map_test, RecordsOfNoBytesHoldNoObjects)
{
    section_bytes s;
    s.u32(0).u32(4000000000u).u32(15000).u32(k_light_record_size).fill(k_light_record_size * k_light_slots, 0);
    raw_read r = read_raw_section(s.bytes, read_objects_section);
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(r.aligned);
    EXPECT_EQ(g_object_count, 0u);
}

TEST_F(level_map_test, ObjectsBeyondTheArrayBlockGrowTheArray)
{
    g_object_proto_count = 1;
    objects_section_file file;
    for (uint32_t i = 0; i < k_object_growth + 10; ++i)
        file.objects.push_back(kept_object(0, uint8_t(i % 200)));
    file.write("objects.dat");
    packed_stream* in = stream_open("objects.dat", "rp");
    EXPECT_TRUE(read_objects_section(in));
    stream_close(in);
    EXPECT_EQ(g_object_count, k_object_growth + 10);
    EXPECT_EQ(g_object_capacity, 2 * k_object_growth);
    for (uint32_t i = 1; i < g_object_count; ++i)
        ASSERT_LE(g_objects[i - 1].layer, g_objects[i].layer);
}

TEST_F(level_map_test, ALevelKeepsAtMostTenBlocksOfObjects)
{
    g_object_proto_count = 1;
    const uint32_t stored = 10 * k_object_growth + 10;
    section_bytes s;
    s.u32(1).u32(stored).u32(15000).fill(stored, 1);  // one-byte records: state 1, prototype 0
    s.u32(k_light_record_size).fill(k_light_record_size * k_light_slots, 0);
    raw_read r = read_raw_section(s.bytes, read_objects_section);
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(r.aligned);
    EXPECT_EQ(g_object_count, 10 * k_object_growth);
    EXPECT_NE(log_text().find("objektov 150010, beriem 150000"), std::string::npos);
}

TEST_F(level_map_test, ShorterAndLongerStoredObjectRecordsLoad)
{
    g_object_proto_count = 1;
    for (uint32_t size : {60u, 500u}) {
        section_bytes s;
        s.u32(size).u32(1).u32(15000);
        world_object o = kept_object(0, 4);
        o.x = 123.0f;
        uint8_t bytes[k_world_object_size];
        encode_world_object(o, bytes);
        s.raw(bytes, std::min(size, k_world_object_size)).fill(size > k_world_object_size ? size - k_world_object_size : 0, 0xEE);
        s.u32(k_light_record_size).fill(k_light_record_size * k_light_slots, 0);
        raw_read r = read_raw_section(s.bytes, read_objects_section);
        EXPECT_TRUE(r.complete) << size;
        EXPECT_TRUE(r.aligned) << size;
        ASSERT_EQ(g_object_count, 1u) << size;
        EXPECT_FLOAT_EQ(g_objects[0].x, 123.0f);
        EXPECT_EQ(g_objects[0].owner, k_no_owner);
        EXPECT_FLOAT_EQ(g_objects[0].reserved, 1.0f);
    }
}

TEST_F(level_map_test, PackCandidatesAndThePackMark)
{
    std::string a, b;
    level_pack_candidates("bojovka01.sav", &a, &b);
    EXPECT_EQ(a, "data/levels/bojovka01.idx");
    EXPECT_EQ(b, "data/levels/bojovka.idx");
    level_pack_candidates("brana.sav", &a, &b);
    EXPECT_EQ(a, "data/levels/brana.idx");
    EXPECT_EQ(b, "data/levels/bra.idx");
    level_pack_candidates("ab", &a, &b);
    EXPECT_TRUE(a.empty());
    EXPECT_TRUE(b.empty());

    g_object_proto_count = 2;
    write_text("data/levels/bojovka01.sav", "");
    ASSERT_EQ(save_level_map("data/levels/bojovka01.sav"), 0);
    std::vector<uint8_t> empty_index(4, 0);

    write_bytes("data/levels/bojovka.idx", empty_index);
    load_level_map("bojovka01.sav");
    EXPECT_EQ(g_object_protos[0].frames_loaded, 1);
    EXPECT_EQ(g_object_protos[1].frames_loaded, 1);

    write_bytes("data/levels/bojovka01.idx", empty_index);
    load_level_map("bojovka01.sav");
    EXPECT_EQ(g_object_protos[0].frames_loaded, 0);
}

TEST_F(level_map_test, AMissingFileOrAWrongTagChangesNoTable)
{
    fill_every_section();
    write_text("data/levels/good.sav", "");
    ASSERT_EQ(save_level_map("data/levels/good.sav"), 0);
    level_snapshot before = level_snapshot::take();

    load_level_map("absent.sav");
    EXPECT_NE(log_text().find("data/levels/absent.sav: subor chyba, ostava doterajsia mapa\n"), std::string::npos);

    std::vector<uint8_t> file = read_bytes("data/levels/good.sav");
    packed_stream* out = stream_open("data/levels/other.sav", "wp");
    const char wrong[10] = "ele002";
    stream_write(wrong, 10, out);
    stream_write(file.data(), int(file.size()), out);  // never read: the tag is wrong
    ASSERT_EQ(stream_close(out), 0);
    load_level_map("other.sav");
    EXPECT_NE(log_text().find("data/levels/other.sav: poskodeny subor (nespravna verzia mapy), ostava doterajsia mapa\n"),
              std::string::npos);
    EXPECT_EQ(log_text().find("final load ok"), std::string::npos);  // neither was read

    write_text("data/levels/short.sav", "AGP.ele");
    load_level_map("short.sav");
    expect_same(before, level_snapshot::take());
    EXPECT_STREQ(g_map_path, "data/levels/good.sav");
}

TEST_F(level_map_test, TheSecondTagIsReadButNotCompared)
{
    fill_every_section();
    write_text("a.sav", "");
    ASSERT_EQ(save_level_map("a.sav"), 0);
    level_snapshot written = level_snapshot::take();
    // Unpack, change the second tag's bytes and pack again.
    packed_stream* in = stream_open("a.sav", "rp");
    std::vector<uint8_t> body;
    for (int c; (c = stream_getc(in)) >= 0;)
        body.push_back(uint8_t(c));
    stream_close(in);
    std::vector<uint8_t> tag(k_map_tag, k_map_tag + k_map_tag_size);
    auto second = std::search(body.begin() + k_map_tag_size, body.end(), tag.begin(), tag.end());
    ASSERT_NE(second, body.end());
    std::memcpy(&*second, "zzzzzzzzzz", k_map_tag_size);
    packed_stream* out = stream_open("a.sav", "wp");
    stream_write(body.data(), int(body.size()), out);
    ASSERT_EQ(stream_close(out), 0);

    clear_level_tables();
    load_level_map("a.sav");
    expect_same(written, level_snapshot::take());
}

TEST_F(level_map_test, SavingNeedsAnExistingPathAndClearsTheDirtyFlag)
{
    record_links();
    g_map_dirty = 1;
    EXPECT_EQ(save_level_map("data/levels/new.sav"), -1);
    EXPECT_FALSE(is_readable_file("data/levels/new.sav"));
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_TRUE(link_calls().empty());

    write_text("data/levels/new.sav", "old");
    EXPECT_EQ(save_level_map("data/levels/new.sav"), 0);
    EXPECT_EQ(g_map_dirty, 0u);
    EXPECT_STREQ(g_map_path, "data/levels/new.sav");

    // A path the map path cannot hold: nothing written, the map path and the dirty flag kept.
    g_map_dirty = 1;
    std::string folder = "data";
    while (folder.size() < 260)
        folder += "/" + std::string(40, 'f');
    std::filesystem::create_directories(folder);
    const std::string long_path = folder + "/new.sav";
    EXPECT_EQ(save_level_map_as(long_path.c_str()), -1);
    EXPECT_FALSE(std::filesystem::exists(long_path));
    EXPECT_STREQ(g_map_path, "data/levels/new.sav");
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(check_level_map("data/levels/new.sav"), map_check::ok);
    EXPECT_EQ(link_calls(), std::vector<std::string>{"purge_ground_items"});
}

TEST_F(level_map_test, AFailedWriteKeepsTheOldFileAndTheDirtyFlag)
{
    fill_every_section();
    write_text("level.sav", "the old map");
    g_map_dirty = 1;
    {
        file_size_limit limit(2000);
        EXPECT_EQ(save_level_map("level.sav"), -1);
    }
    EXPECT_EQ(read_text("level.sav"), "the old map");
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_NE(log_text().find("zapis zlyhal"), std::string::npos);
    for (const folder_entry& e : list_folder("."))  // no temporary left beside the file
        EXPECT_TRUE(e.name == "global" || e.name == "data" || e.name == "level.sav") << e.name;
}

TEST_F(level_map_test, TheCloseTimeSaveWritesOnlyToTheMapOfThisRun)
{
    g_map_dirty = 1;
    EXPECT_EQ(save_session_map(), -1);

    write_text("data/levels/a.sav", "");
    ASSERT_EQ(save_level_map("data/levels/a.sav"), 0);
    std::strcpy(g_map_path, "data/levels/pending.sav");  // a pending level change's target
    write_text("data/levels/pending.sav", "keep");
    g_sector_count = 1;
    g_sectors[0].active = 1;
    EXPECT_EQ(save_session_map(), 0);
    EXPECT_EQ(read_text("data/levels/pending.sav"), "keep");
    EXPECT_STREQ(g_map_path, "data/levels/a.sav");

    write_text(k_empty_map_file, "");
    clear_level_tables();
    ASSERT_EQ(save_level_map(k_empty_map_file), 0);
    load_empty_map();
    EXPECT_EQ(save_session_map(), -1);  // the template replaced the map read
}

TEST_F(level_map_test, TheEmptyTemplateReadsTheFirstGroupAndKeepsTheRest)
{
    g_sector_count = 1;
    g_sectors[0].active = 1;
    g_scene_header.entry_count = 2;
    ASSERT_TRUE(create_movemap(&g_movement_map, 4, 4, 0, 0));
    write_text(k_empty_map_file, "");
    ASSERT_EQ(save_level_map(k_empty_map_file), 0);

    clear_level_tables();
    ASSERT_TRUE(container_init(&g_containers[0], "kept", 2, 2, 0));
    g_level_container_count = 1;
    g_char_placements.count = 3;
    g_char_count = 9;  // the earlier level's characters
    g_ground_item_count = 2;
    g_monster_points.count = 5;
    load_empty_map();
    EXPECT_EQ(g_char_count, uint32_t(k_global_char_slots));  // a new placement follows the global slots
    EXPECT_EQ(g_sector_count, 1);
    EXPECT_EQ(g_scene_header.entry_count, 2);
    EXPECT_EQ(g_movement_map.columns, 4);
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_EQ(g_level_container_count, 1);
    EXPECT_EQ(g_ground_item_count, 2);
    EXPECT_EQ(g_monster_points.count, 5);
}

} // namespace

TEST_F(level_map_test, ASceneHeaderWithImpossibleNumbersIsADamagedSectionAndNotTaken)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* what;
        void (*spoil)(scene_header&, float nan, float inf);
    } spoiled[] = {
        {"scale nan", [](scene_header& h, float nan, float) { h.scale = nan; }},
        {"scale 0", [](scene_header& h, float, float) { h.scale = 0.0f; }},
        {"bound inf", [](scene_header& h, float, float inf) { h.camera_max_y = inf; }},
        {"entry far", [](scene_header& h, float, float) { h.entry_x[4] = 1e30f; }},
    };
    for (const auto& s : spoiled) {
        fill_every_section();
        const level_snapshot written = level_snapshot::take();
        s.spoil(g_scene_header, nan, inf);
        ASSERT_TRUE(write_level_map("spoiled.sav"));
        clear_level_tables();
        g_scene_header.entry_count = 2;  // the previous level's entry points
        const size_t logged = log_text().size();
        EXPECT_EQ(load_level_map_file("spoiled.sav"), map_read::damaged) << s.what;
        const std::string log = log_text().substr(logged);
        EXPECT_NE(log.find("hlavicka sceny odmietnuta: mierka "), std::string::npos) << s.what;
        EXPECT_NE(log.find("spoiled.sav: poskodeny subor (sekcia hlavicka sceny)"), std::string::npos) << s.what;
        EXPECT_EQ(log.find("load ok"), std::string::npos) << s.what;
        // The header keeps what it held, with no entry points; the sections after it are read.
        EXPECT_EQ(g_scene_header.scale, 1.0f) << s.what;
        EXPECT_EQ(g_scene_header.camera_max_y, 100000.0f) << s.what;
        EXPECT_EQ(g_scene_header.entry_count, 0) << s.what;
        EXPECT_STREQ(g_scene_header.display_name, "new map") << s.what;
        const level_snapshot read = level_snapshot::take();
        EXPECT_EQ(read.cells, written.cells) << s.what;
        EXPECT_EQ(read.placements, written.placements) << s.what;
        EXPECT_EQ(read.monster_points, written.monster_points) << s.what;
    }
}
