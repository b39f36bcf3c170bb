// The prototype editor: the filtered list and how a row finds its prototype, "update", the
// prototype menu (new, delete, delete_unused, export, import, import directory) and the frame
// menu (frames, surfaces from tile folders), with the record limits they must keep.
#include "editor/proto_editor_fixture.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/windows/file_name_dialog.h"
#include "engine/packed_stream.h"
#include "engine/textures.h"
#include "level/save_files.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <filesystem>

namespace {

class ProtoEditor : public page_test {
protected:
    dialog_handle open()
    {
        open_proto_editor();
        return g_proto_editor_window;
    }
    void pick(dialog_handle d, const std::string& row)
    {
        const std::vector<std::string> all = control_rows(d, k_proto_list);
        for (size_t r = 0; r < all.size(); ++r)
            if (all[r] == row) {
                user_choose(d, k_proto_list, int32_t(r));
                return;
            }
        ADD_FAILURE() << "no row " << row;
    }
};

} // namespace

TEST_F(ProtoEditor, TheFilterListsMatchingRowsThatFindTheirPrototypeByIndexAndTheBrushStepsThroughThem)
{
    add_named("stena a"), add_named("zem"), add_named("stena b"), add_named("stena b");
    std::filesystem::create_directories("global");
    write_text("global/select.txt", "2\r\nstena   \r\nzem\t\r\nignored\r\n");
    g_editor.brush_proto = 2;
    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(control_rows(d, k_proto_list), (std::vector<std::string>{"0-stena a", "1-zem", "2-stena b", "3-stena b"}));
    EXPECT_EQ(selected_row(d, k_proto_list), "2-stena b");
    EXPECT_EQ(control_rows(d, k_proto_select), (std::vector<std::string>{"", "stena", "zem"}));

    user_edit_text(d, k_proto_select, "stena");
    EXPECT_STREQ(g_proto_select_filter, "stena");
    EXPECT_EQ(control_rows(d, k_proto_list), (std::vector<std::string>{"0-stena a", "2-stena b", "3-stena b"}));

    // The second of two equal names is its own prototype.
    g_map_dirty = 0;
    pick(d, "3-stena b");
    EXPECT_EQ(g_shown_proto, 3);
    EXPECT_EQ(g_editor.brush_proto, 3);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(find_proto_by_list_name("2-stena b"), 2);
    EXPECT_EQ(find_proto_by_list_name("1-stena b"), -1);  // the index names another prototype
    EXPECT_EQ(find_proto_by_list_name("7-stena b"), -1);
    EXPECT_EQ(find_proto_by_list_name("stena b"), -1);

    select_next_proto();  // the last row stays
    EXPECT_EQ(selected_row(d, k_proto_list), "3-stena b");
    select_prev_proto(), select_prev_proto(), select_prev_proto();
    EXPECT_EQ(selected_row(d, k_proto_list), "0-stena a");
    EXPECT_EQ(g_editor.brush_proto, 0);
    set_list_sel(d, k_proto_list, -1);
    select_next_proto();
    EXPECT_EQ(selected_row(d, k_proto_list), "0-stena a");

    // The filter and the 3D part outlive the page; a missing select.txt gives the stock rows.
    user_choose(d, k_proto_3d_part, 5);
    destroy_dialog(d);
    EXPECT_EQ(g_proto_editor_window, 0u);
    std::filesystem::remove("global/select.txt");
    const dialog_handle again = open();
    EXPECT_EQ(field_text(again, k_proto_select), "stena");
    EXPECT_EQ(control_rows(again, k_proto_list).size(), 3u);
    EXPECT_EQ(get_combo_sel(again, k_proto_3d_part), 5);
    EXPECT_EQ(control_rows(again, k_proto_select).size(), 13u);
    EXPECT_EQ(control_rows(again, k_proto_select)[12], "kolaj");
}

TEST_F(ProtoEditor, UpdateStoresTheFieldsInOrderRewritesTheRowAndReachesTheObjects)
{
    add_named("ground"), add_named("tree");
    const int32_t a = place(1), b = place(1), other = place(0);
    const dialog_handle d = open();
    pick(d, "1-tree");
    EXPECT_EQ(field_text(d, k_proto_tcor), "0.000000");

    user_edit_text(d, k_proto_anim_type, "3"), user_edit_text(d, k_proto_anim_speed, "7x");
    user_edit_text(d, k_proto_povx, "5"), user_edit_text(d, k_proto_num_parts, "9");
    user_edit_text(d, k_proto_povy, "4"), user_edit_text(d, k_proto_tcor, "0");
    user_edit_text(d, k_proto_layer, "300"), user_edit_text(d, k_proto_name, "oak");
    user_choose(d, k_proto_kind, k_proto_surface);
    user_click(d, k_proto_update);
    const object_proto& p = g_object_protos[1];
    EXPECT_EQ(p.kind, k_proto_surface);
    EXPECT_EQ(p.anim_count, 5);  // "povx:" for every kind but a mesh
    EXPECT_EQ(p.frame_counts[0], 4);
    EXPECT_FLOAT_EQ(p.depth_correction, 0.008f);
    EXPECT_EQ(p.default_layer, uint8_t(300 & 0xFF));
    EXPECT_STREQ(p.name, "oak");
    EXPECT_EQ(control_rows(d, k_proto_list), (std::vector<std::string>{"0-ground", "1-oak"}));
    EXPECT_EQ(selected_row(d, k_proto_list), "1-oak");
    for (int32_t o : {a, b}) {
        EXPECT_EQ(g_objects[o].anim_mode, 3);
        EXPECT_EQ(g_objects[o].frame_delay, 7);
    }
    EXPECT_NE(g_objects[other].anim_mode, 3);

    user_choose(d, k_proto_kind, k_proto_mesh);
    user_click(d, k_proto_update);
    EXPECT_EQ(p.anim_count, 9);  // "num p:" for a mesh
    user_choose(d, k_proto_kind, k_proto_sprite);
    user_edit_text(d, k_proto_tcor, "0");
    user_click(d, k_proto_update);
    EXPECT_FLOAT_EQ(p.depth_correction, 0.0f);

    // The "Objects" group lists the shown prototype's objects.
    pick(d, "1-oak");
    EXPECT_EQ(control_rows(d, k_proto_objects),
              (std::vector<std::string>{"object " + std::to_string(a), "object " + std::to_string(b)}));
}

TEST_F(ProtoEditor, NewDeleteAndDeleteUnusedKeepRowsBrushAndShownPrototypeOnTheirPrototypes)
{
    add_named("a"), add_named("b"), add_named("c"), add_named("d");
    place(1), place(3);
    const dialog_handle d = open();
    user_pick_menu(d, k_proto_menu_new);
    EXPECT_EQ(g_object_proto_count, 5u);
    EXPECT_EQ(selected_row(d, k_proto_list), "4-new");
    EXPECT_EQ(g_shown_proto, 4);

    // Deleting "b" (row 1): the later rows renumber and the row before is shown.
    pick(d, "1-b");
    user_pick_menu(d, k_proto_menu_delete);
    EXPECT_EQ(control_rows(d, k_proto_list), (std::vector<std::string>{"0-a", "1-c", "2-d", "3-new"}));
    EXPECT_EQ(selected_row(d, k_proto_list), "0-a");
    EXPECT_EQ(g_shown_proto, 0);

    // Unused: "a" (0), "c" (1), "new" (3); "d" keeps its objects and becomes 0.
    pick(d, "2-d");
    user_pick_menu(d, k_proto_menu_delete_unused);
    EXPECT_EQ(g_object_proto_count, 1u);
    EXPECT_STREQ(g_object_protos[0].name, "d");
    EXPECT_EQ(control_rows(d, k_proto_list), (std::vector<std::string>{"0-d"}));
    EXPECT_EQ(g_editor.brush_proto, 0);
    EXPECT_EQ(g_shown_proto, 0);

    // The table's 1000 slots: the 1001st is refused with a console line.
    g_object_proto_count = k_max_level_protos;
    user_pick_menu(d, k_proto_menu_new);
    EXPECT_EQ(g_object_proto_count, k_max_level_protos);
    EXPECT_NE(log_text().find("prototypov je uz 1000"), std::string::npos);
    g_object_proto_count = 1;
}

TEST_F(ProtoEditor, ExportAndImportCarryAPrototypeAndADuplicateNameBecomesNew)
{
    const int32_t spark = add_named("spark", k_proto_particle);
    g_object_protos[spark].emit_interval = 77;
    const dialog_handle d = open();
    pick(d, "0-spark");
    choose({"spark.pr"});
    user_pick_menu(d, k_proto_menu_export);
    ASSERT_TRUE(std::filesystem::exists("spark.pr"));

    choose({"spark.pr"});
    user_pick_menu(d, k_proto_menu_import);
    ASSERT_EQ(g_object_proto_count, 2u);
    EXPECT_STREQ(g_object_protos[1].name, "new");
    EXPECT_EQ(g_object_protos[1].emit_interval, 77);
    EXPECT_EQ(boxes_, (std::vector<std::string>{"zmen meno:EXIST MENO"}));
    EXPECT_EQ(selected_row(d, k_proto_list), "1-new");
    EXPECT_EQ(g_shown_proto, 1);

    // A file that does not hold a whole record adds nothing.
    std::vector<uint8_t> bytes = read_bytes("spark.pr");
    bytes.resize(bytes.size() / 2);
    write_bytes("half.pr", bytes);
    choose({"half.pr"});
    user_pick_menu(d, k_proto_menu_import);
    EXPECT_EQ(g_object_proto_count, 2u);
    EXPECT_EQ(control_rows(d, k_proto_list).size(), 2u);
    EXPECT_NE(log_text().find("chybny prototyp"), std::string::npos);

    // Nor does one with bytes after its record, which the game refuses too.
    std::vector<uint8_t> body;
    ASSERT_TRUE(read_packed_file("spark.pr", &body));
    body.insert(body.end(), {1, 2, 3});
    packed_stream* out = stream_open("longer.pr", "wp");
    ASSERT_EQ(stream_write(body.data(), int(body.size()), out), int(body.size()));
    ASSERT_EQ(stream_close(out), 0);
    choose({"longer.pr"});
    user_pick_menu(d, k_proto_menu_import);
    EXPECT_EQ(g_object_proto_count, 2u);
    EXPECT_EQ(control_rows(d, k_proto_list).size(), 2u);
    EXPECT_NE(log_text().find("longer.pr: poskodeny subor (3 bajtov za koncom dat)"), std::string::npos);
}

TEST_F(ProtoEditor, FramesComeFromFilesAndFoldersWithinTheWorkingFolderAndTheTableLimits)
{
    std::filesystem::create_directories("pics");
    for (const char* name : {"pics/b.tga", "pics/a.tga", "pics/c.tga"})
        write_test_image(name, 8, 4);
    std::filesystem::create_directories("pics/sub");
    add_named("sprite");
    const dialog_handle d = open();
    pick(d, "0-sprite");
    choose({"pics/a.tga"});
    user_pick_menu(d, k_proto_menu_add);
    const object_proto& p = g_object_protos[0];
    EXPECT_EQ(p.frame_counts[0], 1);
    EXPECT_STREQ(p.frame_names[0], "pics\\a.tga");
    EXPECT_EQ(p.width, 8);
    EXPECT_EQ(p.height, 4);
    EXPECT_EQ(selected_row(d, k_proto_list), "0-sprite");

    choose({"pics/c.tga"});
    user_pick_menu(d, k_proto_menu_add_multiple);  // the folder's files in listing order
    EXPECT_EQ(control_rows(d, k_proto_textures),
              (std::vector<std::string>{"pics\\a.tga", "pics\\a.tga", "pics\\b.tga", "pics\\c.tga"}));

    // A file outside the working folder is refused.
    const std::filesystem::path outside = folder_->path().parent_path() / "outside-proto-test.tga";
    write_test_image(outside.c_str(), 2, 2);
    choose({outside.string()});
    user_pick_menu(d, k_proto_menu_add);
    std::filesystem::remove(outside);
    EXPECT_EQ(p.frame_counts[0], 4);
    EXPECT_NE(log_text().find("subor mimo pracovneho adresara"), std::string::npos);

    // The 33rd frame is refused.
    g_object_protos[0].frame_counts[0] = k_proto_frames;
    choose({"pics/a.tga"});
    user_pick_menu(d, k_proto_menu_add);
    EXPECT_EQ(p.frame_counts[0], k_proto_frames);

    // "delete" removes the selected frame row.
    g_object_protos[0].frame_counts[0] = 4;
    pick(d, "0-sprite");
    user_choose(d, k_proto_textures, 1);
    user_pick_menu(d, k_proto_menu_delete_frame);
    EXPECT_EQ(p.frame_counts[0], 3);
    EXPECT_EQ(control_rows(d, k_proto_textures).size(), 3u);

    // "import directory": one prototype per file, named by its place in the listing (".", "..",
    // "sub" come first), the selected prototype shown again.
    choose({"pics/b.tga"});
    user_pick_menu(d, k_proto_menu_import_directory);
    ASSERT_EQ(g_object_proto_count, 4u);
    EXPECT_EQ(control_rows(d, k_proto_list), (std::vector<std::string>{"0-sprite", "1-3", "2-4", "3-5"}));
    EXPECT_STREQ(g_object_protos[2].frame_names[0], "pics\\b.tga");
    EXPECT_EQ(g_object_protos[2].frame_counts[0], 1);
    EXPECT_EQ(g_object_protos[2].width, 8);
    EXPECT_EQ(selected_row(d, k_proto_list), "0-sprite");
}

TEST_F(ProtoEditor, ASurfaceIsBuiltFromItsTileFolderWithSizeHeldToTheTableAndAShortMaskZeroFilled)
{
    std::filesystem::create_directories("data/tiles/m");
    write_text("data/tiles/m/size.txt", "20 40\r\n");
    write_bytes("data/tiles/m/mask.dat", {0, 1, 0});
    write_test_image("data/tiles/m/64x0.tga", 64, 64);
    write_test_image("data/tiles/m/128x0.tga", 64, 64);
    add_named("meadow", k_proto_surface);
    const dialog_handle d = open();
    pick(d, "0-meadow");
    user_edit_text(d, k_proto_start_x, "1");
    choose({"data/tiles/m/64x0.tga"});
    user_pick_menu(d, k_proto_menu_add);
    const object_proto& p = g_object_protos[0];
    EXPECT_EQ(p.anim_count, k_proto_animations);
    for (int32_t c = 0; c < k_proto_animations; ++c)
        EXPECT_EQ(p.frame_counts[c], k_proto_frames);
    EXPECT_FLOAT_EQ(p.spawn_offset[0], 1.0f);
    EXPECT_STREQ(p.frame_names[0], "data\\tiles\\m\\64x0.tga");
    int32_t columns = 0, mask_rows = 0;
    const uint8_t* mask = proto_mask(0, &columns, &mask_rows);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(columns, 16);
    EXPECT_EQ(mask_rows, 32);
    EXPECT_EQ(mask[1], 1);
    EXPECT_EQ(mask[16 * 32 - 1], 0);
    EXPECT_EQ(p.frames[1][0], -1);  // hidden by the mask
    ASSERT_GE(p.frames[0][0], 0);
    EXPECT_STREQ(g_textures[p.frames[0][0]].name, "data\\tiles\\m\\64x0.tga");
    EXPECT_STREQ(g_textures[p.frames[2][0]].name, "data\\tiles\\m\\192x0.tga");
    EXPECT_EQ(p.width, 64);

    // Without size.txt the "povx:" and "povy:" counts stand, negative ones held to 0.
    std::filesystem::remove("data/tiles/m/size.txt");
    pick(d, "0-meadow");
    user_edit_text(d, k_proto_povx, "2"), user_edit_text(d, k_proto_tcor, "1");
    user_click(d, k_proto_update);
    user_edit_text(d, k_proto_povy, "-3");
    choose({"data/tiles/m/64x0.tga"});
    user_pick_menu(d, k_proto_menu_add);
    EXPECT_EQ(p.anim_count, 2);
    EXPECT_EQ(p.frame_counts[0], 0);
}
