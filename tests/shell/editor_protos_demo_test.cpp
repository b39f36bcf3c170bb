// The editor on a scratch copy of the demo gate map: the "Prtyp" page builds a surface from the
// meadow's tile folder, the particle window recolours the sparks, the "Level" page adds an entry
// point and a music name, the brush places the surface and Ctrl+S saves; the game's loader then
// finds all of it in the map file.
#include "shell/shell_fixture.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/level_editor.h"
#include "editor/dialogs/particle_editor.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "level/level_map.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The next chooser takes the file of the working folder, whichever folder it shows.
void answer_chooser(const std::string& name)
{
    const std::string full = std::filesystem::absolute(name).string();
    set_modal_responder([full](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, full);
        user_click(chooser, k_id_ok);
        return false;
    });
}

bool show_tab(int32_t tab)
{
    set_tab_sel(g_tabs_window, k_mode_tabs_control, tab);
    mode_tabs_tick();
    return program_frame();
}

int32_t row_of(dialog_handle d, const std::string& text)
{
    char buffer[64];
    for (int32_t r = 0; r < get_list_count(d, k_proto_list); ++r)
        if (get_list_text(d, k_proto_list, r, buffer, sizeof buffer) >= 0 && text == buffer)
            return r;
    return -1;
}

int32_t colour_red_field()
{
    const particle_field_table t = particle_fields();
    for (int32_t i = 0; i < t.count; ++i)
        if (std::strcmp(t.fields[i].row, "color:") == 0 && std::strcmp(t.fields[i].column, "r") == 0)
            return k_particle_first_field + i;
    return 0;
}

// The keys down for one frame, then up for one.
bool tap(uint8_t key, uint8_t with = 0)
{
    inject_key(key, true);
    if (with)
        inject_key(with, true);
    if (!program_frame())
        return false;
    inject_key(key, false);
    if (with)
        inject_key(with, false);
    return program_frame();
}

int32_t proto_named(const char* name)
{
    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        if (std::strcmp(g_object_protos[s].name, name) == 0)
            return int32_t(s);
    return -1;
}

} // namespace

TEST_F(shell_test, TheEditorBuildsASurfaceRecoloursTheSparksAndSetsTheLevelThatTheGameLoadsBack)
{
    saved_globals saved;
    saved.keep(g_undo_counter), saved.keep(g_brush_corner_mode), saved.keep(g_brush_latches);
    saved.keep(g_proto_select_filter), saved.keep(g_shown_proto), saved.keep(g_current_3d_part);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    answer_chooser("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    const float view_x = float(g_view_x + 200), view_y = 150.0f;
    inject_pointer(view_x, view_y);
    ASSERT_TRUE(tap(k_key_f1));
    ASSERT_EQ(g_work_mode, k_work_insert);

    // The prototype page lists the level's prototypes, the filter names from select.txt.
    ASSERT_TRUE(show_tab(1));
    const dialog_handle page = g_proto_editor_window;
    ASSERT_NE(page, 0u);
    ASSERT_EQ(get_list_count(page, k_proto_list), int32_t(g_object_proto_count));
    EXPECT_EQ(get_combo_count(page, k_proto_select), 6);
    const uint32_t protos_before = g_object_proto_count;

    // The brush's Page Down and Page Up step the page's list while it is shown.
    const int32_t first = g_editor.brush_proto;
    ASSERT_TRUE(tap(k_key_next));
    EXPECT_EQ(get_list_sel(page, k_proto_list), first + 1);
    EXPECT_EQ(g_editor.brush_proto, first + 1);
    ASSERT_TRUE(tap(k_key_prior));
    EXPECT_EQ(g_editor.brush_proto, first);

    // A new prototype becomes a surface of the meadow's tiles (size.txt 4 x 3, mask.dat).
    ASSERT_TRUE(user_pick_menu(page, k_proto_menu_new));
    const int32_t surface = int32_t(protos_before);
    user_edit_text(page, k_proto_name, "meadow2");
    user_choose(page, k_proto_kind, k_proto_surface);
    user_edit_text(page, k_proto_tcor, "0.01");
    user_click(page, k_proto_update);
    answer_chooser("data/tiles/meadow/0x0.tga");
    ASSERT_TRUE(user_pick_menu(page, k_proto_menu_add));
    ASSERT_EQ(g_object_protos[surface].anim_count, 4);
    ASSERT_EQ(g_object_protos[surface].frame_counts[0], 3);
    EXPECT_EQ(g_object_protos[surface].frames[3][1], -1);  // the mask leaves it out

    // The sparks turn blue.
    const int32_t sparks = proto_named("sparks");
    ASSERT_GE(sparks, 0);
    user_choose(page, k_proto_list, row_of(page, std::to_string(sparks) + "-sparks"));
    ASSERT_TRUE(user_click(page, k_proto_particles));
    ASSERT_NE(g_particle_editor_window, 0u);
    user_edit_text(g_particle_editor_window, colour_red_field(), "0.2");
    user_click(g_particle_editor_window, k_particle_update);
    user_close(g_particle_editor_window);

    // The level page: an entry point at the hero (Tab brings the hero in) and a music name.
    ASSERT_TRUE(tap(k_key_tab));
    ASSERT_TRUE(tap(k_key_f1));
    ASSERT_EQ(g_work_mode, k_work_insert);
    ASSERT_TRUE(show_tab(8));
    const dialog_handle level = g_level_editor_window;
    ASSERT_NE(level, 0u);
    const int32_t entries = g_scene_header.entry_count;
    user_click(level, k_level_add_entry);
    user_edit_text(level, k_level_music, "meadowsong");
    user_click(level, k_level_update);

    // The surface placed with the brush, then Ctrl+S.
    ASSERT_TRUE(show_tab(1));
    user_choose(g_proto_editor_window, k_proto_list, row_of(g_proto_editor_window, std::to_string(surface) + "-meadow2"));
    EXPECT_EQ(g_editor.brush_proto, surface);
    ASSERT_TRUE(click_at(view_x, view_y));
    ASSERT_TRUE(tap(k_key_lcontrol, k_key_s));
    EXPECT_EQ(g_map_dirty, 0u);
    const bool hero_entry = g_scene_header.entry_count == entries + 1;

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    load_level_map("data/levels/brana.sav");
    ASSERT_EQ(g_object_proto_count, protos_before + 1);
    const object_proto& built = g_object_protos[surface];
    EXPECT_STREQ(built.name, "meadow2");
    EXPECT_EQ(built.kind, k_proto_surface);
    EXPECT_EQ(built.anim_count, 4);
    EXPECT_FLOAT_EQ(g_object_protos[sparks].colour[0], 0.2f);
    EXPECT_STREQ(g_scene_header.music_name, "meadowsong");
    EXPECT_TRUE(hero_entry);
    EXPECT_EQ(g_scene_header.entry_count, entries + (hero_entry ? 1 : 0));
    int32_t placed = 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        placed += g_objects[i].state != 0 && g_objects[i].proto == surface;
    EXPECT_EQ(placed, 1);
}
