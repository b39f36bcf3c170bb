// The editor on the demo data driven by injected input: start-up with a map loaded through the
// command window's "load map", and key taps.
#pragma once

#include "editor/controls/dialog_user.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "shell/injected_input.h"
#include "shell/program.h"

#include <gtest/gtest.h>

#include <initializer_list>

// The keys down for one frame, then up for one.
inline bool tap(std::initializer_list<uint8_t> keys)
{
    for (uint8_t k : keys)
        inject_key(k, true);
    if (!program_frame())
        return false;
    for (uint8_t k : keys)
        inject_key(k, false);
    return program_frame();
}

// Starts the program in editor mode and loads the map file `path` through "load map"; the
// caller uses ASSERT_NO_FATAL_FAILURE.
inline void start_editor_on_map(const char* path)
{
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    static const char* s_path;
    s_path = path;
    set_modal_responder([](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, s_path);
        user_click(chooser, k_id_ok);
        return false;
    });
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
}
