#include "shell/console_commands.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/avi_capture.h"
#include "engine/packed_stream.h"
#include "engine/sprite_font.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "items/items.h"
#include "level/level_fixture.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "script/map_texts.h"
#include "script/quests.h"
#include "support/saved_globals.h"
#include "world/camera_shake.h"
#include "world/game_clock.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

class console_commands : public level_test {
protected:
    void SetUp() override
    {
        saved_.keep(g_console_enabled), saved_.keep(g_console_history), saved_.keep(g_console_history_count);
        saved_.keep(g_chars), saved_.keep(g_camera_shake), saved_.keep(g_sprite_font);
        saved_.keep(g_rain), saved_.keep(g_game_clock), saved_.keep(g_ambient_color);
        saved_.keep(g_scene_header), saved_.keep(g_language), saved_.keep(g_item_proto_count);
        saved_.keep(g_item_protos), saved_.keep(g_editor.brush_efect_type), saved_.keep(g_editor.brush_efect_float);
        saved_.keep(g_editor.brush_efect_int), saved_.keep(g_settings), saved_.keep(g_show_stats);
        saved_.keep(g_pending_level), saved_.keep(g_quests), saved_.keep(g_quest_count), saved_.keep(g_interface);
        saved_.keep(g_editor.tex_move_x), saved_.keep(g_editor.tex_move_y), saved_.keep(g_wbuffer_switch);
        saved_.keep(g_capture_on), saved_.keep(g_capture_file_counter);
        level_test::SetUp();
        g_console_enabled = 1;
        make_folder("global");
        g_char_count = 0;
        g_player_char = 0;
        g_item_proto_count = 0;
        g_settings.gr_displayweather = 1;
        reset_camera_shake(&g_camera_shake);
        reset_scene_header(&g_scene_header);
        std::strcpy(g_language, "eng");
    }
    void TearDown() override
    {
        if (g_rain.active)
            stop_rain(&g_rain);
        avi_capture_close();  // "video on" opened one
        level_test::TearDown();
        saved_.restore();
    }

    // Three objects of one sprite prototype; the second one selected.
    void three_objects()
    {
        const int32_t proto = add_test_proto("tree", 1);
        for (int i = 0; i < 3; ++i)
            obj_[i] = add_object(100.0f * float(i), 50.0f, proto, 1.0f, 1.0f, 0, 0);
        o(1).highlight = 1;
    }
    world_object& o(int i) const { return g_objects[obj_[i]]; }
    static bool run(const char* line) { return run_console_command_table(line); }

    saved_globals saved_;
    int32_t obj_[3] = {};
};

TEST_F(console_commands, LinesNameTheFirstWordTheyBeginWithAndAFewWordsMustBeWhole)
{
    ASSERT_EQ(console_command_count(), 100);
    std::set<std::string> words;
    for (int i = 0; i < console_command_count(); ++i)
        words.insert(console_command_word(i));
    EXPECT_EQ(words.size(), 100u);
    g_object_protos[k_proto_first_template] = g_object_protos[add_test_proto("drop", 1, k_proto_particle)];
    g_rain.template_slot = k_proto_first_template;

    struct { const char* line; bool known; } cases[] = {
        {"rainy", true}, {"gamex", false}, {"game", true}, {"learn", true}, {"learnspell", true},
        {"abou", true}, {"resetobjs x", false}, {"resetchars", true}, {"colorall ", false},
        {"lear", false}, {"", false}, {"Rain", false}, {"video", false}, {"video on", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.line), c.known) << c.line;
    // "rainy" started the rain with strength 1, "abou" logged the banner, and "rain" stops it.
    EXPECT_EQ(g_rain.active, 1);
    EXPECT_EQ(g_rain.density, 1);
    EXPECT_NE(log_text().find("0.85"), std::string::npos);
    run("rain 3");
    EXPECT_EQ(g_rain.active, 0);
}

TEST_F(console_commands, QuakeTakesItsDefaultsAndStopsWhenTypedAgain)
{
    g_ticks = 1000;
    ASSERT_TRUE(run("quake"));
    EXPECT_EQ(g_camera_shake.active, 1u);
    EXPECT_FLOAT_EQ(g_camera_shake.amplitude_x, 4.0f);
    EXPECT_FLOAT_EQ(g_camera_shake.amplitude_y, 4.0f);
    EXPECT_EQ(g_camera_shake.end_tick, 1400u);
    run("quake 9 9 9");
    EXPECT_EQ(g_camera_shake.active, 0u);
    run("quake 2.5 3 10");
    EXPECT_FLOAT_EQ(g_camera_shake.amplitude_x, 2.5f);
    EXPECT_FLOAT_EQ(g_camera_shake.amplitude_y, 3.0f);
    EXPECT_EQ(g_camera_shake.end_tick, 1010u);
}

TEST_F(console_commands, SetHourCommandsChangeTheDaylightAtOnce)
{
    g_scene_header.level_type = k_level_outside;
    g_game_clock.hour = 0;
    g_game_clock.minute = 0;
    g_ambient_color = {0.2f, 0.2f, 0.5f};
    run("setday");
    EXPECT_EQ(g_game_clock.hour, 12);
    EXPECT_FLOAT_EQ(g_ambient_color.red, 1.0f);
    EXPECT_FLOAT_EQ(g_ambient_color.blue, 1.0f);
    run("setnight");
    EXPECT_EQ(g_game_clock.hour, 0);
    EXPECT_FLOAT_EQ(g_ambient_color.red, 0.2f);
    run("setmorning");
    EXPECT_EQ(g_game_clock.hour, 6);
    run("setevening");
    EXPECT_EQ(g_game_clock.hour, 18);
}

TEST_F(console_commands, ObjectCommandsTouchTheSelectionOrEveryObjectAsTheirWordSays)
{
    three_objects();
    run("colorit 1 0 0");
    EXPECT_FLOAT_EQ(o(0).green, 1.0f);
    EXPECT_FLOAT_EQ(o(1).red, 1.0f);
    EXPECT_FLOAT_EQ(o(1).green, 0.0f);
    EXPECT_FLOAT_EQ(o(1).blue, 0.0f);
    run("colorit");  // defaults 1, 1, 1
    EXPECT_FLOAT_EQ(o(1).green, 1.0f);
    for (int i = 0; i < 3; ++i)
        o(i).red = o(i).green = 0.5f;
    run("colorall");
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(o(i).green, 1.0f) << i;

    run("sort");
    run("psort 12.5");
    run("layer 9");
    EXPECT_EQ(o(1).depth_sorted, 1u);
    EXPECT_FLOAT_EQ(o(1).depth_offset, 12.5f);
    EXPECT_EQ(o(1).layer, 9);
    EXPECT_EQ(o(0).depth_sorted, 0u);
    EXPECT_EQ(o(0).layer, 0);
    run("sort");
    EXPECT_EQ(o(1).depth_sorted, 0u);

    g_editor.brush_efect_type = 7;
    run("epf2 0.25");
    run("epi4 -3");
    run("addefect");
    EXPECT_EQ(o(1).entry_count, 1);
    EXPECT_EQ(o(1).entry_kinds[0], 7);
    EXPECT_FLOAT_EQ(o(1).entry_floats[0][2], 0.25f);
    EXPECT_EQ(o(1).entry_ints[0][4], -3);
    EXPECT_EQ(o(0).entry_count, 0);
    run("removeefect");
    EXPECT_EQ(o(1).entry_count, 0);

    const float x1 = o(0).x;
    run("posunall 5 -7");
    EXPECT_FLOAT_EQ(o(0).x, x1 + 5.0f);
    EXPECT_FLOAT_EQ(o(2).y, 43.0f);
    run("count");
    EXPECT_NE(log_text().find("num tris in scene 6"), std::string::npos);
}

TEST_F(console_commands, TypedNumbersOutsideTheirTablesAreRefusedWithoutEffect)
{
    three_objects();
    create_movemap(&g_movement_map, 4, 3, 1, 1);
    for (int s = 0; s < 2; ++s) {
        g_chars[s] = {};
        g_chars[s].hp_max = 10;
        g_chars[s].object = -1;
    }
    g_char_count = 2;
    g_item_proto_count = 1;
    std::strcpy(g_item_protos[0].key_name, "ring");
    g_item_protos[0].attunement_link = 0;

    const char* refused[] = {
        "odjeb 3000", "odjeb -1", "setplayer 2", "setplayer -1", "fadedeath 2", "clonesec 0 100",
        "addsec 5 0", "addsec 0 -1", "resetmap 0 10 0 0", "resetmap 5000 2 0 0", "addmap -1 0",
        "addmap 5000 0", "addmap 0 2147483647", "layer 250", "slayer -1", "setiattunement ring 1", "welement 8", "epf5 1",
        "epx1 1", "skin -1", "id 4", "setqstate q 256", "rain -1", "sethead 256",
    };
    const level_snapshot before = level_snapshot::take();
    std::vector<uint8_t> chars(reinterpret_cast<uint8_t*>(g_chars), reinterpret_cast<uint8_t*>(g_chars + 2));
    const float floats[5] = {g_editor.brush_efect_float[0], g_editor.brush_efect_float[1], g_editor.brush_efect_float[2],
                             g_editor.brush_efect_float[3], g_editor.brush_efect_float[4]};
    for (const char* line : refused) {
        const size_t logged = log_text().size();
        EXPECT_TRUE(run(line)) << line;
        EXPECT_GT(log_text().size(), logged) << line << ": the refusal is logged";
    }
    expect_same(before, level_snapshot::take());
    EXPECT_EQ(std::memcmp(chars.data(), g_chars, chars.size()), 0);
    EXPECT_EQ(g_player_char, 0u);
    EXPECT_EQ(g_item_protos[0].attunement_link, 0);
    EXPECT_EQ(std::memcmp(floats, g_editor.brush_efect_float, sizeof floats), 0);
    EXPECT_EQ(g_rain.active, 0);
}

TEST_F(console_commands, MovementMapCommandsRemakeAndGrowKeepingTheCells)
{
    run("resetmap 3 2 -1 4");
    ASSERT_EQ(g_movement_map.columns, 3);
    ASSERT_EQ(g_movement_map.rows, 2);
    EXPECT_EQ(g_movement_map.origin_column, -1);
    EXPECT_EQ(g_movement_map.origin_row, 4);
    g_movement_map.cells[1 * 3 + 2] = k_cell_blocked;
    run("addmap 2 1");
    ASSERT_EQ(g_movement_map.columns, 5);
    ASSERT_EQ(g_movement_map.rows, 3);
    EXPECT_EQ(g_movement_map.origin_column, -1);
    EXPECT_EQ(g_movement_map.cells[1 * 5 + 2], k_cell_blocked);
    int blocked = 0;
    for (int i = 0; i < 15; ++i)
        blocked += g_movement_map.cells[i];
    EXPECT_EQ(blocked, 1);
}

TEST_F(console_commands, ExportsWriteWhereTheReadersLookAndStayInTheirFolders)
{
    std::strcpy(g_scene_header.display_name, "Gate");
    g_map_text_count = 3;
    g_map_texts[0].tag = 1;
    std::strcpy(g_map_texts[0].key, "intro");
    std::strcpy(g_map_texts[0].text, "Hello ^c1");
    g_map_texts[1].tag = 1;
    std::strcpy(g_map_texts[1].key, "../escape");
    std::strcpy(g_map_texts[1].text, "out");
    g_map_texts[2].tag = k_map_text_empty;
    for (int s = 0; s < 3; ++s)
        g_chars[s] = {};
    std::strcpy(g_chars[1].display_name, "Bandit");
    std::strcpy(g_chars[2].name, "orc");
    g_char_count = 3;
    g_item_proto_count = 2;
    g_item_protos[0] = {};
    std::strcpy(g_item_protos[0].key_name, "sword");
    std::strcpy(g_item_protos[0].display_name, "Sword");
    g_item_protos[1] = {};
    g_item_protos[1].deleted = 1;

    run("export");
    run("export");
    run("savenames");
    EXPECT_EQ(read_text("chars.txt"), "Bandit;Bandit\norc;orc\nBandit;Bandit\norc;orc\n");
    EXPECT_EQ(read_text("data/leveltext/eng/Gate/intro.txt"), "Hello ^c1");
    EXPECT_EQ(read_text("data/leveltext/eng/Gate/levelname"), "Gate");
    EXPECT_FALSE(std::filesystem::exists("data/leveltext/eng/escape.txt"));
    EXPECT_EQ(read_text("itemnames.txt"), "0;sword;Sword\n");

    // A level name that would leave the folder exports no texts.
    std::strcpy(g_scene_header.display_name, "../../x");
    std::filesystem::remove_all("data/leveltext");
    run("export");
    EXPECT_FALSE(std::filesystem::exists("data/leveltext/eng"));
    EXPECT_FALSE(std::filesystem::exists("x"));
}

TEST_F(console_commands, FloadReadsTheMapHeadAndKeepsTheFontAndFixedImages)
{
    // A map of one prototype and two objects, and a pack index of one entry beside it.
    make_folder("data/levels");
    const int32_t proto = add_test_proto("rock", 1);
    add_object(10, 10, proto, 1, 1, 0, 0);
    add_object(20, 10, proto, 1, 1, 0, 0);
    ASSERT_TRUE(write_level_map("data/levels/t.sav"));
    std::vector<uint8_t> index(4 + 124, 0);
    index[0] = 1;
    std::memcpy(index.data() + 4, "a.tga", 5);
    write_bytes("data/levels/t.idx", index);
    // The level's own pixel file holds the entry: 2 x 1 texels of format 2 (not the main pack's).
    write_bytes("data/levels/t.dat", {2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 8, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    write_bytes("data/levels/main_eng.dat", {0, 0, 0, 0});
    write_text("data/levels/bad.sav", "not a map");
    clear_level_tables();

    // The font's first glyph and the nine fixed images with surfaces.
    load_test_font_and_fixed_textures();
    const device_texture* glyph = g_textures[g_sprite_font.glyphs[0]].surface;
    ASSERT_NE(glyph, nullptr);

    run("fload data/levels/missing.sav");
    EXPECT_NE(log_text().find("data/levels/missing.sav: subor chyba"), std::string::npos);
    run("fload data/levels/bad.sav");
    EXPECT_NE(log_text().find("data/levels/bad.sav: poskodeny subor (nespravna verzia mapy)"), std::string::npos);
    EXPECT_EQ(g_object_proto_count, 0u);

    run("fload data/levels/t.sav");
    EXPECT_EQ(g_object_proto_count, 1u);
    int used = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        used += g_objects[i].state != 0;
    EXPECT_EQ(used, 2);
    EXPECT_STREQ(g_textures[0].name, "a.tga");
    ASSERT_NE(g_textures[0].surface, nullptr);
    EXPECT_EQ(g_textures[0].width, 2u);
    ASSERT_GE(g_sprite_font.glyphs[0], 1);
    EXPECT_EQ(g_textures[g_sprite_font.glyphs[0]].surface, glyph);
    for (int32_t slot : g_fixed_textures) {
        ASSERT_GE(slot, 1);
        EXPECT_NE(g_textures[slot].surface, nullptr);
    }
}

TEST_F(console_commands, CharacterCommandsWorkOnThePlayerAndCheckedSlots)
{
    for (int s = 0; s < 3; ++s) {
        g_chars[s] = {};
        g_chars[s].object = -1;
        g_chars[s].hp_max = g_chars[s].hp_ceiling = 30;
        g_chars[s].hp = 5;
        g_chars[s].mana_max = 8;
        g_chars[s].world = 2;
        g_chars[s].script_flags[3] = 9;
    }
    g_char_count = 3;
    g_player_char = 1;
    g_chars[1].inv_count = 2;
    g_chars[1].inv_location[0] = k_inv_weapon;
    g_chars[1].inv_location[1] = 3;
    g_chars[1].gold = 5;
    g_sectors[4].active = 1;
    g_sectors[4].count = 3;
    g_sectors[4].x[1] = 50;

    run("heal");
    run("addgold");
    run("welement");
    EXPECT_EQ(g_chars[1].hp, 30);
    EXPECT_EQ(g_chars[1].mana, 8);
    EXPECT_EQ(g_chars[1].life, k_life_alive);
    EXPECT_EQ(g_chars[0].hp, 5);
    EXPECT_EQ(g_chars[1].gold, 1005);
    EXPECT_EQ(g_chars[1].inv_damage_type[0], 4);
    EXPECT_EQ(g_chars[1].inv_damage_type[1], 0);

    run("addsec 2 4");
    EXPECT_EQ(g_chars[2].outline.count, 3);
    EXPECT_FLOAT_EQ(g_chars[2].outline.x[1], 50.0f);
    run("clonesec 2 9");
    EXPECT_EQ(g_sectors[9].count, 3);
    EXPECT_EQ(g_sector_count, 10);

    run("fadedeath 2");
    EXPECT_EQ(g_chars[2].fade_parts, 1);
    run("resetplayer");
    EXPECT_EQ(g_chars[1].skill_points, 800);
    EXPECT_EQ(g_chars[1].difficulty, 1);
    run("resetchars");
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(g_chars[s].hp, 30);
        EXPECT_EQ(g_chars[s].world, 0);
        EXPECT_EQ(g_chars[s].script_flags[3], 0);
    }
}

TEST_F(console_commands, GameStateCommandsReachQuestsLevelRequestsQuickBarAndDevice)
{
    g_quest_count = 3;
    for (int i = 0; i < 3; ++i)
        set_quest_name(&g_quests[i], i == 1 ? "other" : "Gate");
    run("setqstate gate 7");
    EXPECT_EQ(g_quests[0].state, 7);
    EXPECT_EQ(g_quests[1].state, 0);
    EXPECT_EQ(g_quests[2].state, 7);
    run("setquest GATE 4");
    EXPECT_EQ(g_quests[0].state, 4);
    EXPECT_EQ(g_quests[2].state, 7);

    g_pending_level = {};
    g_pending_level.mode = 3;
    run("load brana.sav 9");  // no such map: nothing is requested
    EXPECT_EQ(g_pending_level.pending, 0u);
    make_folder("data/levels");
    ASSERT_TRUE(write_level_map("data/levels/brana.sav"));
    g_mouse_left = g_mouse_right = g_mouse_middle = 1;
    run("load brana.sav 9");
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "brana.sav");
    EXPECT_EQ(g_pending_level.mode, 3);
    EXPECT_EQ(g_mouse_left + g_mouse_right + g_mouse_middle, 0u);

    for (int i = 0; i < k_quick_slots; ++i) {
        g_interface.quick_ids[i] = int16_t(i - 1);
        g_interface.quick_icons[i] = uint16_t(0x100 + i);
        g_interface.quick_kinds[i] = uint8_t(i);
    }
    g_interface.quick_selected = 9;
    run("qitemsave");
    packed_stream* in = stream_open("global/quick.dat", "rp");
    ASSERT_NE(in, nullptr);
    uint8_t bytes[82] = {};
    EXPECT_EQ(stream_read(bytes, 82, in), 81);
    stream_close(in);
    EXPECT_EQ(bytes[0], 0xFF);  // id -1
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[32 + 2 * 5], 0x05);  // icon 0x105
    EXPECT_EQ(bytes[32 + 2 * 5 + 1], 0x01);
    EXPECT_EQ(bytes[64 + 15], 15);
    EXPECT_EQ(bytes[80], 9);

    run("wireframe");
    EXPECT_EQ(device_->get_render_state(render_state::fill_mode), uint32_t(fill_mode::wireframe));
    run("solid");
    EXPECT_EQ(device_->get_render_state(render_state::fill_mode), uint32_t(fill_mode::solid));
    run("ambient 1 0.5 0");
    EXPECT_FLOAT_EQ(g_ambient_color.green, 0.5f);
    EXPECT_EQ(device_->get_render_state(render_state::ambient), 0xFFFF7F00u);
    g_show_stats = 0;
    run("fps");
    EXPECT_EQ(g_show_stats, 1u);
    EXPECT_EQ(g_settings.gr_showstats, 1u);
    run("tspeed 64 -128");
    EXPECT_FLOAT_EQ(g_editor.tex_move_x, 0.5f);
    EXPECT_FLOAT_EQ(g_editor.tex_move_y, -1.0f);
}

} // namespace
