// The "ChAnim", "MoveG" and "ChData" pages: clip slots, move prototypes with their part editor,
// and the model registry.
#include "tests/editor/char_editors_support.h"

#include "tests/support/temp_folder.h"

#include <cstring>

namespace {

using CharAnimEditor = char_editors_test;
using MoveProtoEditor = char_editors_test;
using ChardataEditor = char_editors_test;

TEST_F(CharAnimEditor, ClipDropDownsShowAndStoreSlotsAndLeaveSlotsBeyondTheTable)
{
    for (const char* key : {"hero", "orc", "wolf"})
        add_character(key);
    add_proto("stand1a");
    add_proto("move1a");
    char_record& orc = g_chars[1];
    orc.clip_stand[0] = -1;
    orc.clip_move[1] = 1;
    orc.clip_spell[2] = 40;  // beyond the table
    create_char_anim_editor();
    const dialog_handle page = g_char_anim_editor_window;
    EXPECT_EQ(list_rows(page, k_anim_chars), (std::vector<std::string>{"hero", "orc", "wolf"}));
    EXPECT_EQ(combo_rows(page, k_anim_clip), (std::vector<std::string>{"nothing", "stand1a", "move1a"}));

    user_click(page, k_anim_update);  // no character chosen
    EXPECT_EQ(orc.clip_move[1], 1);
    ASSERT_TRUE(user_choose(page, k_anim_chars, 1));
    EXPECT_EQ(get_combo_sel(page, k_anim_clip + 0), 0);   // stand 1st: -1
    EXPECT_EQ(get_combo_sel(page, k_anim_clip + 4), 2);   // move 2nd: 1
    EXPECT_EQ(get_combo_sel(page, k_anim_clip + 15), -1); // spell 3rd: 40
    user_choose(page, k_anim_clip + 4, 0);
    user_choose(page, k_anim_clip + 5, 1);   // attack 1st
    user_choose(page, k_anim_clip + 12, 2);  // hit 2nd
    ASSERT_TRUE(user_click(page, k_anim_update));
    EXPECT_EQ(orc.clip_move[1], -1);
    EXPECT_EQ(orc.clip_attack[0], 0);
    EXPECT_EQ(orc.clip_hit[1], 1);
    EXPECT_EQ(orc.clip_spell[2], 40);
    EXPECT_EQ(&anim_clip_slot(orc, 15), &orc.clip_spell[2]);
    EXPECT_EQ(&anim_clip_slot(orc, 9), &orc.clip_death[0]);
}

TEST_F(ChardataEditor, AddRegistersFilesBelowTheWorkingFolderInTheLowestFreeEntry)
{
    write_model_file("3d/orc/head.3d");
    write_model_file("3d/orc/body.3d");
    for (int i = 0; i < 10; ++i)
        add_entry(("m" + std::to_string(i)).c_str());
    add_proto("walk");
    g_move_protos[0].part_model[0] = 3;
    g_move_protos[0].part_model[18] = 3;
    g_move_protos[0].part_model[23] = 3;
    g_move_protos[0].part_model[1] = 4;
    create_chardata_editor();
    const dialog_handle page = g_chardata_editor_window;
    ASSERT_EQ(get_list_count(page, k_chd_list), 10);

    ASSERT_TRUE(user_choose(page, k_chd_list, 3));
    EXPECT_EQ(field_text(page, k_chd_name), "m3");
    ASSERT_TRUE(user_click(page, k_chd_delete));
    EXPECT_EQ(g_chardata[3].loaded, 0u);
    EXPECT_EQ(g_move_protos[0].part_model[0], -1);
    EXPECT_EQ(g_move_protos[0].part_model[18], -1);
    EXPECT_EQ(g_move_protos[0].part_model[23], -1);
    EXPECT_EQ(g_move_protos[0].part_model[1], 4);
    EXPECT_EQ(get_list_count(page, k_chd_list), 9);

    // A duplicate of a loaded name: the message box, nothing asked or added.
    user_edit_text(page, k_chd_name, "m5");
    answer_with("3d/orc/head.3d");
    user_click(page, k_chd_add);
    EXPECT_EQ(message_boxes, 1);
    EXPECT_EQ(g_chardata[3].loaded, 0u);

    user_edit_text(page, k_chd_name, "");
    answer_with((folder_->path() / "3d/orc/head.3d").string());
    ASSERT_TRUE(user_click(page, k_chd_add));
    EXPECT_EQ(message_boxes, 1);
    EXPECT_STREQ(g_chardata[3].name, "new");
    EXPECT_STREQ(g_chardata[3].path, "3d/orc/head.3d");
    EXPECT_EQ(g_chardata[3].loaded, 1u);
    EXPECT_NE(g_char_models[3].mesh, nullptr);
    EXPECT_EQ(g_chardata_count, 10u);
    EXPECT_EQ(last_console_line(), "pridal som 3d file 3 pre charaktery");
    EXPECT_EQ(list_rows(page, k_chd_list).back(), "new");
    EXPECT_EQ(get_list_sel(page, k_chd_list), 9);

    // No free entry below the count: the entry at the count, which grows.
    user_edit_text(page, k_chd_name, "orc body");
    answer_with((folder_->path() / "3d/orc/body.3d").string());
    user_click(page, k_chd_add);
    EXPECT_EQ(g_chardata_count, 11u);
    EXPECT_STREQ(g_chardata[10].name, "orc body");

    // Outside the working folder, or a path too long for an entry: refused with a line.
    temp_folder outside;  // now the working folder; the page's files lie outside it
    std::filesystem::current_path(folder_->path());
    user_edit_text(page, k_chd_name, "far");
    answer_with((outside.path() / "x.3d").string());
    write_model_file((outside.path() / "x.3d").string());
    user_click(page, k_chd_add);
    EXPECT_EQ(g_chardata_count, 11u);
    EXPECT_NE(last_console_line().find("nie je v pracovnom"), std::string::npos);
    const std::string deep = "3d/" + std::string(130, 'd') + "/x.3d";
    write_model_file(deep);
    answer_with((folder_->path() / deep).string());
    user_click(page, k_chd_add);
    EXPECT_EQ(g_chardata_count, 11u);
    EXPECT_NE(last_console_line().find("pridlha"), std::string::npos);

    // Update renames the entry and its row.
    user_choose(page, k_chd_list, 0);
    user_edit_text(page, k_chd_name, "orc head");
    ASSERT_TRUE(user_click(page, k_chd_update));
    EXPECT_STREQ(g_chardata[0].name, "orc head");
    EXPECT_EQ(list_rows(page, k_chd_list)[0], "orc head");

    // The filter keeps loaded names containing it, also across a rebuilt page.
    user_edit_text(page, k_chd_select, "orc");
    EXPECT_EQ(list_rows(page, k_chd_list), (std::vector<std::string>{"orc head", "orc body"}));
    destroy_dialog(page);
    create_chardata_editor();
    EXPECT_EQ(get_list_count(g_chardata_editor_window, k_chd_list), 2);
}

// A registry read with two entries named "x": each row shows, renames and deletes its own entry.
TEST_F(ChardataEditor, EachButtonActsOnTheRowChosenAndUpdateRefusesANameTaken)
{
    add_entry("stand1/head");
    add_entry("x", "3d/body.3d");
    add_entry("x", "3d/legs.3d");
    add_proto("walk");
    g_move_protos[0].part_model[0] = 1;
    g_move_protos[0].part_model[1] = 2;
    create_chardata_editor();
    const dialog_handle page = g_chardata_editor_window;
    answer_with("");  // message boxes are counted

    ASSERT_TRUE(user_choose(page, k_chd_list, 0));
    user_edit_text(page, k_chd_name, "x");
    ASSERT_TRUE(user_click(page, k_chd_update));
    EXPECT_EQ(message_boxes, 1);
    EXPECT_STREQ(g_chardata[0].name, "stand1/head");

    ASSERT_TRUE(user_choose(page, k_chd_list, 2));
    EXPECT_EQ(field_text(page, k_chd_file), "3d/legs.3d");
    ASSERT_TRUE(user_choose(page, k_chd_list, 1));
    ASSERT_TRUE(user_click(page, k_chd_delete));
    EXPECT_EQ(g_chardata[1].loaded, 0u);
    EXPECT_EQ(g_move_protos[0].part_model[0], -1);
    EXPECT_EQ(g_move_protos[0].part_model[1], 2);

    // The freed entry keeps its name; the loaded one of that name is still renamed and deleted.
    ASSERT_TRUE(user_choose(page, k_chd_list, 1));
    user_edit_text(page, k_chd_name, "legs");
    ASSERT_TRUE(user_click(page, k_chd_update));
    EXPECT_STREQ(g_chardata[2].name, "legs");
    ASSERT_TRUE(user_click(page, k_chd_delete));
    EXPECT_EQ(g_chardata[2].loaded, 0u);
    EXPECT_EQ(g_move_protos[0].part_model[1], -1);
}

TEST_F(MoveProtoEditor, PartDropDownsFollowTheFilterAndUpdStoresTheEntriesTheyName)
{
    add_entry("orc head");
    add_entry("elf body");
    add_entry("orc legs");
    add_entry("orcish");
    g_chardata[3].loaded = 0;  // free: never listed
    const int32_t walk = add_proto("walk");
    g_move_protos[walk].part_model[0] = 2;
    g_move_protos[walk].part_model[1] = 1;
    g_move_protos[walk].scale[0] = 2.5f;
    std::strcpy(g_part_model_filter, "orc");
    create_move_proto_editor();
    const dialog_handle page = g_move_proto_editor_window;
    EXPECT_EQ(field_text(page, k_mpe_select), "orc");
    for (int32_t part = 0; part < k_edited_parts; ++part)
        ASSERT_EQ(combo_rows(page, k_mpe_part + part), (std::vector<std::string>{"nothing", "orc head", "orc legs"}));
    ASSERT_TRUE(user_choose(page, k_mpe_list, walk));
    EXPECT_EQ(get_combo_sel(page, k_mpe_part + 0), 2);  // "orc legs"
    EXPECT_EQ(get_combo_sel(page, k_mpe_part + 1), 0);  // "elf body" is filtered out: stays
    EXPECT_EQ(field_text(page, k_mpe_speed), "4");

    user_edit_text(page, k_mpe_name, "walk2");
    user_edit_text(page, k_mpe_speed, "70000");
    user_choose(page, k_mpe_part + 0, 1);
    user_choose(page, k_mpe_part + 2, 2);
    std::strcpy(g_chardata[2].name, "renamed");  // the row's name is no entry's now: kept
    ASSERT_TRUE(user_click(page, k_mpe_update));
    const char_move_proto& m = g_move_protos[walk];
    EXPECT_STREQ(m.name, "walk2");
    EXPECT_EQ(list_rows(page, k_mpe_list), (std::vector<std::string>{"walk2"}));
    EXPECT_EQ(m.frame_time, int16_t(70000));
    EXPECT_EQ(m.part_model[0], 0);
    EXPECT_EQ(m.part_model[1], -1);  // "nothing" was shown
    EXPECT_EQ(m.part_model[2], -1);  // kept: the name is unknown
    EXPECT_FLOAT_EQ(m.scale[0], 2.5f);

    user_edit_text(page, k_mpe_select, "");
    EXPECT_EQ(combo_rows(page, k_mpe_part + 5).size(), 4u);  // nothing and three loaded names
    EXPECT_EQ(get_combo_sel(page, k_mpe_part + 0), 1);         // the prototype shown again
    EXPECT_EQ(get_combo_sel(page, k_mpe_part + 1), 0);
}

// A deleted entry keeps its name: a part set to that name takes the loaded entry named so since.
TEST_F(MoveProtoEditor, UpdTakesTheLoadedEntryOfANameThatAFreedEntryKeeps)
{
    add_entry("head");
    add_entry("head");
    g_chardata[0].loaded = 0;
    const int32_t walk = add_proto("walk");
    create_move_proto_editor();
    const dialog_handle page = g_move_proto_editor_window;
    ASSERT_TRUE(user_choose(page, k_mpe_list, walk));
    ASSERT_EQ(combo_rows(page, k_mpe_part + 0), (std::vector<std::string>{"nothing", "head"}));
    user_choose(page, k_mpe_part + 0, 1);
    ASSERT_TRUE(user_click(page, k_mpe_update));
    EXPECT_EQ(g_move_protos[walk].part_model[0], 1);
}

TEST_F(MoveProtoEditor, ThePartEditorWritesItsTargetAndDeleteMovesEveryReferenceDown)
{
    add_entry("head model");
    for (const char* name : {"p0", "p1", "p2", "p3", "p4"})
        add_proto(name);
    g_move_protos[1].part_model[0] = 0;
    g_move_protos[1].part_values[0][0] = 0.5f;
    g_move_protos[1].part_extra_byte[0] = 2;
    g_move_protos[1].part_mode[4] = 7;
    create_move_proto_editor();
    const dialog_handle page = g_move_proto_editor_window;
    user_click(page, k_mpe_edit + 0);  // no prototype chosen
    EXPECT_EQ(g_body_part_editor_window, 0u);
    user_choose(page, k_mpe_list, 1);
    ASSERT_TRUE(user_click(page, k_mpe_edit + 0));
    const dialog_handle part = g_body_part_editor_window;
    ASSERT_NE(part, 0u);
    EXPECT_EQ(find_dialog(part)->caption, "editing head model");
    EXPECT_EQ(get_slider_pos(part, k_bpe_red), 50);
    EXPECT_EQ(get_combo_sel(part, k_bpe_anim_type), 2);
    EXPECT_EQ(field_text(part, k_bpe_scale), "1.00");

    // "edit" of the legs while open: the target moves, the editor keeps showing the head.
    user_click(page, k_mpe_edit + 4);
    EXPECT_EQ(g_body_part_editor_window, part);
    EXPECT_EQ(g_edited_body_part, 4);
    user_slide(part, k_bpe_red, 150);
    user_edit_text(part, k_bpe_scale, "0.75");
    user_edit_text(part, k_bpe_anim_speed, "9");
    ASSERT_TRUE(user_click(part, k_bpe_update));
    EXPECT_FLOAT_EQ(g_move_protos[1].part_values[0][4], 1.5f);
    EXPECT_FLOAT_EQ(g_move_protos[1].part_values[4][4], 0.75f);
    EXPECT_EQ(g_move_protos[1].part_extra[4], 9);
    EXPECT_EQ(g_move_protos[1].part_extra_byte[4], 2);
    EXPECT_EQ(g_move_protos[1].part_mode[4], 7);  // the skin drop-down shows no row
    EXPECT_FLOAT_EQ(g_move_protos[1].part_values[0][0], 0.5f);

    // Deleting prototype 1 moves 2 to 4 down, with the characters' clips and the target.
    const int32_t slot = add_character("c");
    g_chars[slot].clip_stand[0] = 1;
    g_chars[slot].clip_attack[3] = 3;
    g_chars[slot].clip_special[5] = 0;
    user_choose(page, k_mpe_list, 3);
    user_click(page, k_mpe_edit + 2);
    user_choose(page, k_mpe_list, 1);
    ASSERT_TRUE(user_click(page, k_mpe_delete));
    EXPECT_EQ(g_move_proto_count, 4);
    EXPECT_EQ(list_rows(page, k_mpe_list), (std::vector<std::string>{"p0", "p2", "p3", "p4"}));
    EXPECT_STREQ(g_move_protos[2].name, "p3");
    EXPECT_EQ(g_chars[slot].clip_stand[0], -1);
    EXPECT_EQ(g_chars[slot].clip_attack[3], 2);
    EXPECT_EQ(g_chars[slot].clip_special[5], 0);
    EXPECT_EQ(g_edited_move_proto, 2);

    // A part without a model: "(none)" and no skins. A target gone: "U P D A T E" refuses.
    destroy_dialog(part);
    user_choose(page, k_mpe_list, 0);
    user_click(page, k_mpe_edit + 3);
    EXPECT_EQ(find_dialog(g_body_part_editor_window)->caption, "editing (none)");
    EXPECT_EQ(get_combo_count(g_body_part_editor_window, k_bpe_skin), 0);
    user_click(page, k_mpe_delete);
    EXPECT_EQ(g_edited_move_proto, -1);
    user_click(g_body_part_editor_window, k_bpe_update);
    EXPECT_NE(last_console_line().find("neexistuje"), std::string::npos);
}

TEST_F(MoveProtoEditor, AddStopsAtTheTableSizeAndSaveAllWritesBothTables)
{
    write_model_file("3d/h.3d");
    add_entry("head model", "3d/h.3d");
    add_proto("p0");
    g_move_protos[0].part_model[2] = 0;
    create_move_proto_editor();
    const dialog_handle page = g_move_proto_editor_window;
    ASSERT_TRUE(user_click(page, k_mpe_add));
    EXPECT_EQ(g_move_proto_count, 2);
    EXPECT_EQ(g_move_protos[1].part_model[0], -1);
    EXPECT_FLOAT_EQ(g_move_protos[1].part_values[4][0], 1.0f);
    EXPECT_EQ(get_list_count(page, k_mpe_list), 2);

    std::filesystem::create_directory("global");
    ASSERT_TRUE(user_click(page, k_mpe_save_all));
    const std::vector<char_move_proto> saved(g_move_protos, g_move_protos + 2);
    const chardata_entry entry = g_chardata[0];
    g_move_proto_count = 0;
    g_chardata_count = 0;
    ASSERT_TRUE(read_charpr());
    ASSERT_EQ(g_move_proto_count, 2);
    EXPECT_EQ(std::memcmp(g_move_protos, saved.data(), sizeof(char_move_proto) * 2), 0);
    g_chardata[0] = chardata_entry{};
    ASSERT_TRUE(load_chardata());
    ASSERT_EQ(g_chardata_count, 1u);
    EXPECT_STREQ(g_chardata[0].name, entry.name);
    EXPECT_STREQ(g_chardata[0].path, entry.path);
    EXPECT_EQ(g_chardata[0].loaded, 1u);

    // A failed write is logged.
    std::filesystem::remove_all("global");
    user_click(page, k_mpe_save_all);
    EXPECT_EQ(last_console_line(), "global/charpr.dat: zapis zlyhal, stary subor ostava");

    g_move_proto_count = k_move_proto_capacity;
    user_click(page, k_mpe_add);
    EXPECT_EQ(g_move_proto_count, k_move_proto_capacity);
    EXPECT_NE(last_console_line().find("plna"), std::string::npos);
}

} // namespace
