// After start-up in game mode and in editor mode, every call point through which a lower layer
// reaches a higher one has its function: each member of every hook table, the single hooks, and
// every step of the shell's tables. The test names any that has none.
#include "shell/shell_fixture.h"

#include "characters/char_rule_links.h"
#include "core/globals.h"
#include "core/settings.h"
#include "editor/controls/dialog_model.h"
#include "editor/editor_links.h"
#include "engine/texture_packs.h"
#include "interface/interface_links.h"
#include "interface/slide_shows.h"
#include "items/item_looks.h"
#include "level/level_links.h"
#include "platform/recording_device.h"
#include "script/script_links.h"
#include "shell/program.h"
#include "shell/window.h"
#include "world/dream_world.h"
#include "world/object_behaviour.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <string>
#include <vector>

namespace {

struct call_point {
    const char* name;
    bool (*filled)();
    bool editor_only;  // called only by the editor's windows
};

#define HOOK(table, member) {#table "." #member, [] { return table.member != nullptr; }, false}
#define EDITOR_HOOK(table, member) {#table "." #member, [] { return table.member != nullptr; }, true}

// Each table is listed whole: a member added to a table without a line here fails to compile.
template <class Table>
constexpr bool listed(int members)
{
    return sizeof(Table) == size_t(members) * sizeof(void (*)());
}
static_assert(listed<level_links>(22));
static_assert(listed<world_object_links>(21));
static_assert(listed<behaviour_links>(5));
static_assert(listed<interface_links>(11));
static_assert(listed<script_links>(16));
static_assert(listed<char_rule_links>(9));
static_assert(listed<editor_links>(11));
static_assert(listed<item_look_links>(1));
static_assert(listed<dialog_loop_links>(1));
static_assert(listed<scene_hero_link>(5));
static_assert(listed<dream_hero_link>(3));

const call_point k_call_points[] = {
    HOOK(g_level_links, clear_char_objects), HOOK(g_level_links, forget_player_object),
    HOOK(g_level_links, clear_player_interior), HOOK(g_level_links, release_char_models),
    HOOK(g_level_links, spawn_level_chars), HOOK(g_level_links, spawn_level_chars_full_health),
    HOOK(g_level_links, spawn_monsters_at_points), HOOK(g_level_links, set_dream_presence),
    HOOK(g_level_links, prepare_crossing_chars), HOOK(g_level_links, load_char_names),
    HOOK(g_level_links, start_script), HOOK(g_level_links, show_hint), HOOK(g_level_links, reset_message_window),
    HOOK(g_level_links, open_mode_tabs), HOOK(g_level_links, map_replaced), HOOK(g_level_links, purge_ground_items),
    HOOK(g_level_links, place_ground_item), HOOK(g_level_links, fade_to_black), HOOK(g_level_links, fade_from_black),
    HOOK(g_level_links, picture_world),
    HOOK(g_level_links, put_back_held_item), HOOK(g_level_links, close_item_windows),

    HOOK(g_object_links, char_object), HOOK(g_object_links, set_char_object), HOOK(g_object_links, char_life_state),
    HOOK(g_object_links, char_drawn_alpha), HOOK(g_object_links, char_last_position),
    HOOK(g_object_links, char_count), HOOK(g_object_links, char_kind), HOOK(g_object_links, char_world_fade),
    HOOK(g_object_links, char_outline_contains), HOOK(g_object_links, char_leave_world),
    HOOK(g_object_links, char_take_hit), HOOK(g_object_links, char_hit_reaction), HOOK(g_object_links, draw_char),
    HOOK(g_object_links, draw_attached_model), HOOK(g_object_links, clear_entity_objects),
    HOOK(g_object_links, add_entity_object), HOOK(g_object_links, entity_hidden),
    HOOK(g_object_links, clear_weather_members), HOOK(g_object_links, offer_weather_member),
    HOOK(g_object_links, dream_alpha), HOOK(g_object_links, draw_object_marker),

    HOOK(g_behaviour_links, missile_spell), HOOK(g_behaviour_links, spell_impact), HOOK(g_behaviour_links, cast_spell),
    HOOK(g_behaviour_links, ground_item_count), HOOK(g_behaviour_links, set_ground_item_object),

    HOOK(g_interface_links, wait_until_released), HOOK(g_interface_links, modal_pass_begin),
    HOOK(g_interface_links, poll_input), HOOK(g_interface_links, toggle_console_on_key),
    HOOK(g_interface_links, fade_to_black), HOOK(g_interface_links, fade_from_black),
    HOOK(g_interface_links, reset_message_window), HOOK(g_interface_links, show_text_file),
    HOOK(g_interface_links, draw_message_window), HOOK(g_interface_links, cancel_item_drag),
    HOOK(g_interface_links, set_gamma),

    HOOK(g_script_links, wait_until_released), HOOK(g_script_links, pump_messages), HOOK(g_script_links, fade_out_scene),
    HOOK(g_script_links, fade_in_scene), HOOK(g_script_links, player_char), HOOK(g_script_links, char_file_key),
    HOOK(g_script_links, char_display_name), HOOK(g_script_links, read_dialogue),
    HOOK(g_script_links, build_dialogue_node_markup), HOOK(g_script_links, build_question_menu),
    HOOK(g_script_links, save_game), HOOK(g_script_links, last_quest_state), HOOK(g_script_links, last_flag_value),
    HOOK(g_script_links, level_enterable),
    HOOK(g_script_links, start_chapter_slide_show), HOOK(g_script_links, start_epilogue_slide_show),

    HOOK(g_char_rule_links, cast_spell), HOOK(g_char_rule_links, spawn_cast_particles), HOOK(g_char_rule_links, spell_cost),
    HOOK(g_char_rule_links, spell_cast_frame), HOOK(g_char_rule_links, cast_learn_attunement),
    HOOK(g_char_rule_links, run_char_event), HOOK(g_char_rule_links, cancel_item_drag),
    HOOK(g_char_rule_links, close_item_windows),
    HOOK(g_char_rule_links, slide_show_running),

    HOOK(g_editor_links, run_brush_mode), HOOK(g_editor_links, run_object_mode), HOOK(g_editor_links, run_light_mode),
    HOOK(g_editor_links, run_sector_mode), HOOK(g_editor_links, run_char_mode), HOOK(g_editor_links, run_ground_item_mode),
    HOOK(g_editor_links, run_monster_point_mode), HOOK(g_editor_links, pop_undo_snapshot),
    HOOK(g_editor_links, apply_view_layout), HOOK(g_editor_links, select_next_proto), HOOK(g_editor_links, select_prev_proto),

    HOOK(g_item_look_links, efect_proto_slot),
    HOOK(g_settings_links, language_data_fault),
    EDITOR_HOOK(g_dialog_loop_links, modal_pass),

    HOOK(g_scene_hero, player_slot), HOOK(g_scene_hero, player_alive), HOOK(g_scene_hero, put_player),
    HOOK(g_scene_hero, player_position), HOOK(g_scene_hero, reassign_attackers),
    HOOK(g_dream_hero, mana), HOOK(g_dream_hero, set_mana), HOOK(g_dream_hero, has_attunement),

    {"g_pack_mask_file", [] { return g_pack_mask_file != nullptr; }, false},
    {"g_slide_narration_active", [] { return g_slide_narration_active != nullptr; }, false},
    {"g_front_end", [] { return g_front_end != nullptr; }, false},
};

#undef HOOK
#undef EDITOR_HOOK

// The call points without a function after the start-up named on the command line and a frame,
// each prefixed with the mode; then the run ends.
std::vector<std::string> empty_call_points(const char* command_line, const char* mode, bool editor)
{
    std::vector<std::string> empty;
    if (!program_startup(command_line) || !program_frame()) {
        empty.push_back(std::string(mode) + ": the start-up or its first frame failed");
        return empty;
    }
    for (const call_point& point : k_call_points)
        if ((editor || !point.editor_only) && !point.filled())
            empty.push_back(std::string(mode) + ": " + point.name);
    for (const std::string& step : steps_without_function())
        empty.push_back(std::string(mode) + ": step " + step);
    g_quit = 1;
    program_shutdown(true);
    g_quit = 0;
    close_main_window();
    return empty;
}

} // namespace

TEST_F(shell_test, EveryCallPointHasItsFunctionAfterStartUpInGameAndEditorMode)
{
    render_use_recording(true);
    std::vector<std::string> empty = empty_call_points("zorv console brana.sav", "game", false);
    const std::vector<std::string> editor = empty_call_points("zorv editor", "editor", true);
    empty.insert(empty.end(), editor.begin(), editor.end());
    render_use_recording(false);
    std::string names;
    for (const std::string& name : empty)
        names += "\n  " + name;
    EXPECT_TRUE(empty.empty()) << "call points without a function:" << names;
}
