// Shell tests of the editor on the demo data: start-up in editor mode on the recording device,
// a level map loaded through the command window's "load map" and the file chooser.
#pragma once

#include "editor/controls/dialog_user.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "core/editor_globals.h"
#include "platform/key_codes.h"
#include "shell/injected_input.h"
#include "platform/recording_device.h"
#include "shell/program.h"

#include <string>

// False when start-up, the frame or the menu fails.
inline bool open_editor_on_map(const char* path)
{
    render_use_recording(true);
    if (!program_startup("zorv editor") || !program_frame())
        return false;
    const std::string chosen = path;
    set_modal_responder([chosen](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, chosen);
        user_click(chooser, k_id_ok);
        return false;
    });
    const bool loaded = user_pick_menu(g_command_window, k_menu_load_map);
    set_modal_responder({});
    return loaded;
}

// Numpad 2 tapped until the editing mode's active layer is `layer`, at most one tap a layer.
// False when a frame fails or the layer is not reached (the keys did not reach the view).
inline bool step_to_layer(uint8_t layer)
{
    for (int taps = 0; taps <= layer && g_active_layer < layer; ++taps)
        if (!tap_keys({k_key_numpad2}))
            return false;
    return g_active_layer == layer;
}
