// Shutdown: what outlives the run is written; the running game itself is not saved.
#include "shell/program_steps.h"

#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "engine/avi_capture.h"
#include "engine/fonts.h"
#include "interface/interface_state.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_effects.h"
#include "level/level_saves.h"
#include "level/save_games.h"
#include "script/script_services.h"
#include "shell/fades.h"
#include "shell/level_requests.h"

namespace {

bool g_started = false;  // start-up reached the main loop (window and devices exist)

// In editor mode, after a start-up that loaded the tables: writes a table back unless it did not
// load whole and was not edited since (it would replace its file by the part that was read).
void save_editor_table(table_file_state& file, bool (*save)())
{
    if (g_started && g_editor_enabled)
        write_table_file(file, save);
}

const program_step k_shutdown_steps[] = {
    {"log_ending", [] { console_log("koncim samotny program"); return true; }},
    {"ending", [] {
         // The ending shows and the main loop resumes with a new game instead of shutting down.
         return !(g_started && run_ending_if_finished());
     }},
    {"fade_to_black", [] {
         // No closing fade after closing the window, nor when there is no device.
         if (g_started && !g_skip_exit_fade)
             fade_to_black();
         return true;
     }},
    {"close_capture", [] { avi_capture_close(); return true; }},
    {"save_list_write", [] {
         if (g_started)  // a list that was never read is not written over its file
             write_table_file(g_save_list_file, save_list_write);
         return true;
     }},
    {"reset_dialogue_window", [] { reset_dialogue_window(); return true; }},
    {"font_remove", [] {
         font_remove(&g_font_large);
         font_remove(&g_font_small);
         return true;
     }},
    {"shutdown_interface", [] { shutdown_interface(); return true; }},
    {"free_level_containers", [] { free_level_containers(); return true; }},
    {"delete_level_saves", [] { delete_level_saves(); return true; }},
    {"config_write", [] { config_write_back(); return true; }},
    {"save_monster_protos", [] { save_editor_table(g_monster_protos_file, save_monster_protos); return true; }},
    {"write_characters", [] { save_editor_table(g_characters_file, write_characters); return true; }},
    {"save_items", [] { save_editor_table(g_items_file, save_items); return true; }},
    {"save_effect_protos", [] { save_editor_table(g_efect_protos_file, save_efect_protos); return true; }},
    {"save_spells", [] { save_editor_table(g_spells_file, save_spells); return true; }},
};
const step_table_registration k_shutdown_steps_registration{"shutdown", k_shutdown_steps};

} // namespace

bool program_shutdown(bool started)
{
    g_started = started;
    return run_program_steps(k_shutdown_steps);
}
