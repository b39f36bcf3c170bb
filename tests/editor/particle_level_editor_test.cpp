// The particle window over the shown emitter, and the level settings page over the scene
// header, its entry points, the editor's switches and the object list that centres the view.
#include "editor/proto_editor_fixture.h"

#include "characters/creature_files.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/dialogs/effect_editor.h"
#include "editor/dialogs/level_editor.h"
#include "editor/dialogs/particle_editor.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/windows/mode_tabs.h"
#include "engine/packed_stream.h"
#include "engine/render_context.h"
#include "items/item_properties.h"
#include "level/level_effects.h"
#include "tests/support/item_table_guard.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>

namespace {

// The control of the field with that row and column label.
int32_t field_id(const char* row, const char* column)
{
    const particle_field_table t = particle_fields();
    for (int32_t i = 0; i < t.count; ++i)
        if (std::strcmp(t.fields[i].row, row) == 0 && std::strcmp(t.fields[i].column, column) == 0)
            return k_particle_first_field + i;
    ADD_FAILURE() << row << column;
    return 0;
}

float float_at(const object_proto& p, uint32_t offset)
{
    float value;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&p) + offset, sizeof value);
    return value;
}

class ParticleEditor : public page_test {
protected:
    // The prototype page showing prototype `index`.
    dialog_handle show(int32_t index)
    {
        if (!g_proto_editor_window)
            open_proto_editor();
        user_choose(g_proto_editor_window, k_proto_list, index);
        return g_proto_editor_window;
    }
};

class LevelEditor : public page_test {
protected:
    void SetUp() override
    {
        page_test::SetUp();
        saved_.keep(g_scene_header), saved_.keep(g_scene_hero), saved_.keep(g_ambient_color);
        saved_.keep(g_map_path), saved_.keep(g_work_mode), saved_.keep(g_active_layer);
        saved_.keep(g_screen_width), saved_.keep(g_screen_height);
        saved_creatures_ = g_creature_files;
        reset_scene_header(&g_scene_header);
        g_screen_width = 800, g_screen_height = 600;
        g_creature_files.count = 2;
        g_creature_files.names = {{"goblin.chr"}, {"wolf.chr"}};
    }
    void TearDown() override
    {
        g_creature_files = saved_creatures_;
        page_test::TearDown();
    }
    creature_file_list saved_creatures_;
};

float hero_x = 0;

} // namespace

TEST_F(ParticleEditor, FieldsShowTheirOwnRecordPositionsCutToSixCharactersAndUpdateGoesToTheShownPrototype)
{
    add_named("lamp", k_proto_sprite);
    const int32_t sparks = add_named("sparks", k_proto_particle);
    const int32_t smoke = add_named("smoke", k_proto_particle);
    object_proto& p = g_object_protos[sparks];
    p.colour_spread[1] = 0.25f;   // "vg" at 10480
    p.colour_spread[2] = 1234.5f; // "vb" at 10484
    p.colour_change_spread[1] = 0.000001f;
    p.particle_lifetime = 1234567;
    p.aim_at_centre = 1;

    // A sprite shown: the fields stay empty and "update" stores nothing.
    const dialog_handle page = show(0);
    user_click(page, k_proto_particles);
    const dialog_handle w = g_particle_editor_window;
    ASSERT_NE(w, 0u);
    user_click(page, k_proto_particles);
    EXPECT_EQ(g_particle_editor_window, w);  // no second window
    EXPECT_EQ(field_text(w, field_id("color:", "vb")), "");
    const object_proto lamp = g_object_protos[0];
    user_click(w, k_particle_update);
    EXPECT_EQ(std::memcmp(&lamp, &g_object_protos[0], sizeof lamp), 0);
    user_close(w);
    EXPECT_EQ(g_particle_editor_window, 0u);

    show(sparks);
    user_click(page, k_proto_particles);
    const dialog_handle v = g_particle_editor_window;
    EXPECT_EQ(field_text(v, field_id("color:", "vb")), "1234.5");
    EXPECT_EQ(field_text(v, field_id("color:", "vg")), "0.2500");
    EXPECT_EQ(field_text(v, field_id("color ch:", "vg")), "0.0000");
    EXPECT_EQ(field_text(v, field_id("", "live")), "123456");
    EXPECT_EQ(field_text(v, field_id("color:", "r")), "1.0000");
    EXPECT_EQ(get_check(v, k_particle_centre), 1);
    EXPECT_EQ(particle_fields().fields[field_id("color:", "vb") - k_particle_first_field].offset, 10484u);
    EXPECT_EQ(particle_fields().fields[field_id("color ch:", "vg") - k_particle_first_field].offset, 10512u);

    // "update" stores the cut texts into the prototype shown now, not the one shown at opening.
    show(smoke);
    user_edit_text(v, field_id("speed:", "vy"), "-2.5");
    user_click(v, k_particle_centre);
    g_map_dirty = 0;
    user_click(v, k_particle_update);
    const object_proto& s = g_object_protos[smoke];
    EXPECT_FLOAT_EQ(s.colour_spread[2], 1234.5f);
    EXPECT_FLOAT_EQ(s.colour_change_spread[1], 0.0f);
    EXPECT_EQ(s.particle_lifetime, 123456);
    EXPECT_FLOAT_EQ(s.velocity_spread[1], -2.5f);
    EXPECT_FLOAT_EQ(float_at(s, 10484), 1234.5f);
    EXPECT_EQ(s.aim_at_centre, get_check(v, k_particle_centre) == 1 ? 1 : 0);
    EXPECT_EQ(g_map_dirty, 1u);
    EXPECT_EQ(g_object_protos[sparks].particle_lifetime, 1234567);
}

TEST_F(LevelEditor, TheHeaderIsShownAndUpdatedAtOnceAndTheEntryPointsKeepTheirOrderAndCap)
{
    std::snprintf(g_map_path, sizeof g_map_path, "data/levels/brana.sav");
    std::snprintf(g_scene_header.display_name, sizeof g_scene_header.display_name, "Gate");
    g_scene_header.level_type = k_level_inside;
    g_scene_header.ground_type = 4;
    g_scene_header.fog_duration = 12;
    g_scene_hero.player_position = [](float* x, float* y, int16_t* facing) {
        *x = hero_x, *y = 2.0f, *facing = 90;
        return true;
    };
    open_level_editor();
    const dialog_handle d = g_level_editor_window;
    ASSERT_NE(d, 0u);
    EXPECT_EQ(field_text(d, k_level_file), "data/levels/brana.sav");
    EXPECT_EQ(field_text(d, k_level_name), "Gate");
    EXPECT_EQ(field_text(d, k_level_xmin), "-100000.00");
    EXPECT_EQ(get_combo_sel(d, k_level_type), 1);
    EXPECT_EQ(get_combo_sel(d, k_level_ground), 4);
    EXPECT_EQ(field_text(d, k_level_duration + 2), "12");
    EXPECT_EQ(control_rows(d, k_level_creatures), (std::vector<std::string>{"goblin.chr", "wolf.chr"}));

    user_edit_text(d, k_level_xmin, "abc");
    user_edit_text(d, k_level_scale, "1.5");
    user_edit_text(d, k_level_music, "a-very-long-music-name-indeed");
    user_edit_text(d, k_level_chance, "30");
    user_choose(d, k_level_type, 2);
    user_choose(d, k_level_ground, 8);
    g_map_dirty = 0;
    user_click(d, k_level_update);
    EXPECT_FLOAT_EQ(g_scene_header.camera_min_x, 0.0f);
    EXPECT_FLOAT_EQ(g_scene_header.scale, 1.5f);
    EXPECT_STREQ(g_scene_header.music_name, "a-very-long-music-n");
    EXPECT_EQ(g_scene_header.rain_chance, 30);
    EXPECT_EQ(g_scene_header.level_type, k_level_gui);
    EXPECT_EQ(g_scene_header.ground_type, 8);
    EXPECT_EQ(g_map_dirty, 1u);
    // A scale no level file may hold is refused with the bounds; the fields show what was kept.
    user_edit_text(d, k_level_scale, "nan");
    user_edit_text(d, k_level_ymax, "5");
    user_click(d, k_level_update);
    EXPECT_FLOAT_EQ(g_scene_header.scale, 1.5f);
    EXPECT_FLOAT_EQ(g_scene_header.camera_max_y, 100000.0f);
    EXPECT_EQ(field_text(d, k_level_scale), "1.50");

    for (int32_t n = 0; n < 9; ++n) {
        hero_x = float(n);
        user_click(d, k_level_add_entry);
    }
    EXPECT_EQ(g_scene_header.entry_count, k_entry_points);
    EXPECT_EQ(control_rows(d, k_level_entries).size(), 8u);
    EXPECT_EQ(control_rows(d, k_level_entries)[0], "x:0.00  y:2.00 rot:90");
    user_choose(d, k_level_entries, 1);
    user_click(d, k_level_remove_entry);
    EXPECT_EQ(g_scene_header.entry_count, 7);
    EXPECT_FLOAT_EQ(g_scene_header.entry_x[1], 2.0f);
    EXPECT_EQ(control_rows(d, k_level_entries)[1], "x:2.00  y:2.00 rot:90");

    g_ambient_color = {0.25f, 0.5f, 0.75f};
    user_click(d, k_level_save_ambient);
    EXPECT_FLOAT_EQ(g_scene_header.light_blue, 0.75f);
    user_choose(d, k_level_creatures, 1);
    EXPECT_EQ(g_editor.creature_choice, 1);
    user_click(d, k_level_use_ai);
    EXPECT_EQ(g_editor.ai_on, uint32_t(get_check(d, k_level_use_ai)));
}

TEST_F(LevelEditor, RefusalsOfThePagesAreSaidInABoxThatNamesWhatWasRefusedAndChangeNothing)
{
    const item_table_guard items;
    saved_.keep(g_efect_protos), saved_.keep(g_efect_proto_count), saved_.keep(g_efect_protos_file);
    saved_.keep(g_effect_editor_window);
    g_effect_editor_window = 0;
    choose({"longer.pr"});  // every box answered OK and kept in boxes_

    // Prtyp "import" of a prototype file with three bytes after its record.
    const int32_t spark = add_named("spark");
    packed_stream* out = stream_open("longer.pr", "wp");
    ASSERT_TRUE(write_object_proto(spark, out));
    ASSERT_EQ(stream_write("abc", 3, out), 3);
    ASSERT_EQ(stream_close(out), 0);
    open_proto_editor();
    user_pick_menu(g_proto_editor_window, k_proto_menu_import);
    EXPECT_EQ(g_object_proto_count, 1u);
    EXPECT_EQ(control_rows(g_proto_editor_window, k_proto_list).size(), 1u);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].substr(0, boxes_[0].find(':')), "prototype import");
    EXPECT_NE(boxes_[0].find("longer.pr\nThe file could not be read whole; the prototypes stay as they were"),
              std::string::npos);

    // Efect "Rem" of the prototype an item's effect names.
    g_efect_proto_count = 1;
    init_efect_proto_entry(&g_efect_protos[0]);
    copy_bounded(g_efect_protos[0].name, k_efect_name_size, "fx0");
    g_item_proto_count = 1;
    copy_bounded(g_item_protos[0].key_name, sizeof g_item_protos[0].key_name, "torch");
    g_item_protos[0].efect_count = 1;
    g_item_lists[0].efects[0] = {k_efect_add_efect2d, {0, 0}};
    const dialog_handle efect = create_editor_window(g_mode_tab_pages[2], 0, k_tab_window_top);
    user_choose(efect, k_efe_proto_list, 0);
    user_click(efect, k_efe_proto_rem);
    EXPECT_EQ(g_efect_proto_count, 1);
    EXPECT_EQ(control_rows(efect, k_efe_proto_list), (std::vector<std::string>{"fx0"}));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1], "Rem:The effect prototype fx0 is not removed: item 0 torch uses it.");

    // A scale and a bound out of range typed on the Level page.
    open_level_editor();
    const dialog_handle level = g_level_editor_window;
    const scene_header kept = g_scene_header;
    user_edit_text(level, k_level_xmin, "-1e9");
    user_edit_text(level, k_level_scale, "1000");
    user_click(level, k_level_update);
    EXPECT_FLOAT_EQ(g_scene_header.camera_min_x, kept.camera_min_x);
    EXPECT_FLOAT_EQ(g_scene_header.scale, kept.scale);
    ASSERT_EQ(boxes_.size(), 3u);
    EXPECT_EQ(boxes_[2].substr(0, boxes_[2].find('\n')), "UPDATE:xmin -1e9, scale 1000");
    EXPECT_NE(boxes_[2].find("the scale must be above 0 and at most 100,"), std::string::npos);
}

TEST_F(LevelEditor, ObjectInfoListsPlacedObjectsAndCenterSelectsOneOnItsLayer)
{
    add_named("tree");
    const int32_t a = place(0, 3);
    const int32_t b = place(0, 7);
    g_objects[b].depth_sorted = 1;
    g_objects[b].has_corners = 1;
    g_objects[b].corners[0] = 500.0f, g_objects[b].corners[1] = 400.0f;
    const int32_t particle = place(0);
    g_objects[particle].particle_role = k_role_particle;
    open_level_editor();
    const dialog_handle d = g_level_editor_window;
    user_click(d, k_level_object_info);
    user_click(d, k_level_object_info);  // appended again, not replaced
    const std::vector<std::string> list = control_rows(d, k_level_objects);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1], std::to_string(b) + "-pr0-tree-layer7-srt1");
    EXPECT_EQ(list[2], list[0]);

    g_work_mode = k_work_insert;
    user_choose(d, k_level_objects, 1);
    user_click(d, k_level_centre);
    EXPECT_FLOAT_EQ(g_camera_x, 100.0f);
    EXPECT_FLOAT_EQ(g_camera_y, 100.0f);
    EXPECT_EQ(g_objects[b].highlight, 1u);
    EXPECT_EQ(g_work_mode, k_work_select);
    EXPECT_EQ(g_active_layer, 7);

    // A row whose object is gone changes nothing.
    reset_object(&g_objects[a]);
    g_camera_x = 1.0f;
    user_choose(d, k_level_objects, 0);
    user_click(d, k_level_centre);
    EXPECT_FLOAT_EQ(g_camera_x, 1.0f);
}
