#include "shell/window.h"

#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "editor/editor_state.h"
#include "editor/gui/imgui_backend.h"
#include "editor/store/table_edits.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "platform/gl_window.h"
#include "platform/key_codes.h"
#include "platform/window_services.h"
#include "shell/device_setup.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// How long one wait for a message lasts at most.
constexpr uint32_t k_wait_slice_ms = 100;

// Asks a question in a message box; when none can be shown the fallback answer is taken and
// logged. Returns the button chosen, or -1 when the box was closed without a choice.
int ask(const char* caption, const char* text, std::span<const char* const> buttons, int default_button,
        int fallback)
{
    int choice = -1;
    if (message_box_choose(caption, text, buttons, default_button, &choice))
        return choice;
    console_log("dialog \"%s\" sa neda zobrazit, odpoved: %s", text[0] ? text : caption, buttons[size_t(fallback)]);
    return fallback;
}

// Closing the window: an unsaved map in the editor may be saved first, to the map file read or
// written in this run (never to a pending level's name), and an edited table whose file did not
// read whole replaces its file at shutdown only after a Yes (No is the default, and the answer
// when no box can be shown); then every loop ends and the program shuts down without the
// closing fade.
void close_window()
{
    static const char* const answers[] = {"Yes", "No"};
    if (g_editor_enabled && g_map_dirty && ask("ZORV", "Map changed! Save?", answers, 0, 1) == 0)
        save_session_map();
    if (g_editor_enabled)
        for (table_file_state* file :
             {&g_monster_protos_file, &g_characters_file, &g_items_file, &g_efect_protos_file, &g_spells_file})
            if (file->changed && !file->read_whole && ask("ZORV", partial_table_question(*file).c_str(), answers, 1, 1) != 0)
                table_file_read(*file, false);
    g_quit = 1;
    g_quit_all = 1;
    g_travel_map_running = 0;
    g_ending_end_flag = 1;
    g_credits_end_flag = 1;
    g_no_game_running = 0;
    g_game_finished = 0;
    g_skip_exit_fade = 1;
}

// In the editor, whether the view has the keyboard, as the frame's focus step found it; and the
// keys that went down while it had not, which reach the view only once they have been let go.
bool g_view_has_keyboard = false;
bool g_key_held_elsewhere[256] = {};

// The pointer over the view: in the editor the view is a part of the window.
bool pointer_over_view(const cursor_position& cursor)
{
    const int32_t x = cursor.x - g_view_x, y = cursor.y - g_view_y;
    return cursor.inside && x >= 0 && y >= 0 && x < g_screen_width && y < g_screen_height;
}

// The keyboard of the frame for the view: keys down while it has the keyboard, less those that
// went down while the editor's windows had it and are still held.
void read_view_keys(bool view_keys)
{
    uint8_t keys[256] = {};
    input_read_keyboard(keys);
    for (int k = 0; k < 256; ++k) {
        const bool down = (keys[k] & k_key_down_bit) != 0;
        if (!view_keys)
            g_key_held_elsewhere[k] = g_key_held_elsewhere[k] || down;
        else if (!down)
            g_key_held_elsewhere[k] = false;
        g_key_state[k] = view_keys && !g_key_held_elsewhere[k] ? keys[k] : 0;
    }
}

} // namespace

int32_t create_main_window()
{
    int32_t desktop_width = 0, desktop_height = 0;
    desktop_size(&desktop_width, &desktop_height);
    g_view_x = g_view_y = 0;
    if (g_editor_enabled) {
        // One window over the desktop: the editor's windows on the left, the view beside them.
        const view_layout view = editor_view_layout(desktop_width, false);
        g_screen_width = view.width;
        g_screen_height = view.height;
        g_view_x = view.x;
        g_view_y = view.y;
        g_resolution_mode = 1;
        g_windowed = 1;
    }
    input_reset();
    g_view_has_keyboard = false;
    std::fill(std::begin(g_key_held_elsewhere), std::end(g_key_held_elsewhere), false);
    if (g_editor_enabled)
        input_set_display_size(std::max(desktop_width, 1), std::max(desktop_height, 1));
    else
        input_set_display_size(g_screen_width, g_screen_height);

    console_log("HWND created");
    // The device makes the window with it (and sets g_windowed as it chooses the mode).
    if (create_device_context() == -1)
        return -1;
    if (g_editor_enabled)
        move_program_window(0, 0);
    else if (g_windowed)
        move_program_window((desktop_width - g_screen_width) / 2, (desktop_height - g_screen_height) / 2);
    input_window_shown();
    // A first run of the game asks the language over its window, which has the focus back after.
    if (!g_editor_enabled && file_exists(k_config_file) != 1)
        language_dialog();
    init_render_states();
    return 1;
}

void close_main_window()
{
    release_device_context();
    gl_window_close();
    input_reset();
}

void language_dialog()
{
    static const char* const names[] = {"English", "Deutsch", "Francais", "Espa\xF1ol", "Italiano"};
    static const char* const codes[] = {"eng", "de", "fr", "es", "it"};
    int choice = ask("ZORV", "", names, 0, 0);
    const char* code = choice >= 0 && choice < 5 ? codes[choice] : "eng";
    const std::string refusal = language_refusal(code);
    if (!refusal.empty()) {
        console_log("jazyk %s %s, ostava jazyk eng", code, refusal.c_str());
        code = "eng";
    }
    copy_bounded(g_language, sizeof g_language, code);
}

void window_proc(const window_message& message)
{
    // The device keeps its surfaces through every switch, so nothing needs restoring here.
    switch (message.kind) {
    case window_message_kind::activate_app:
        input_set_acquired(true);
        if (message.param) {
            g_app_active = 1;
            g_input_focus = 1;
        } else {
            if (!g_windowed)
                g_app_active = 0;
            g_input_focus = 0;
            input_set_acquired(false);
        }
        break;
    case window_message_kind::activate:
        input_set_acquired(true);
        if (!g_windowed)
            break;
        g_app_active = 1;
        if (message.param == 1 || message.param == 2) {
            g_input_focus = 1;
        } else {
            // A window in the background keeps running with its input released.
            g_input_focus = 0;
            input_set_acquired(false);
        }
        break;
    case window_message_kind::set_focus:
        input_set_acquired(true);
        break;
    case window_message_kind::close:
        close_window();
        break;
    }
}

int32_t pump_messages()
{
    input_drain();
    window_message message;
    if (!input_next_message(&message))
        return 0;
    window_proc(message);
    return 1;
}

void wait_message()
{
    input_wait(k_wait_slice_ms);
}

void update_editor_focus()
{
    if (!g_editor_enabled)
        return;
    // The pointer over the view, outside the editor's windows, gives the keyboard back to it.
    const cursor_position cursor = input_cursor();
    const bool over_view = pointer_over_view(cursor) && !imgui_window_at(cursor.x, cursor.y);
    if (over_view)
        imgui_release_keyboard();
    g_view_has_keyboard = over_view && !imgui_wants_text();
}

void poll_input()
{
    // In the editor the view is a part of the window: keys reach it only while it has the
    // keyboard, buttons and the wheel only while the mouse is over it and no dialog takes them.
    cursor_position cursor = input_cursor();
    const int32_t view_cursor_x = cursor.x - g_view_x;
    const int32_t view_cursor_y = cursor.y - g_view_y;
    const bool over_view = pointer_over_view(cursor);
    read_view_keys(!g_editor_enabled || g_view_has_keyboard);

    mouse_reading reading;
    if (input_read_mouse(&reading)) {
        g_mouse_state.x = reading.dx;
        g_mouse_state.y = reading.dy;
        g_mouse_state.z = reading.wheel;
        std::memcpy(g_mouse_state.buttons, reading.buttons, sizeof reading.buttons);
    } else {
        g_mouse_state.z = 0;  // no wheel movement is read while the mouse is released
    }

    float x = float(view_cursor_x) / g_zoom + g_camera_x;
    float y = float(view_cursor_y) / g_zoom + g_camera_y;
    x = std::max(x, g_camera_x);
    x = std::min(x, g_camera_x + float(g_screen_width) / g_zoom);
    y = std::max(y, g_camera_y);
    y = std::min(y, g_camera_y + float(g_screen_height) / g_zoom);
    g_mouse_x = x;
    g_mouse_y = y;

    // The wheel turns in the view while the pointer is over it and over none of the editor's
    // windows; a button is pressed there only while no dialog takes the mouse either (one held
    // since a press on a dialog, an open pop-up), and released wherever it is let go.
    const bool on_view = over_view && !imgui_window_at(cursor.x, cursor.y);
    const bool presses = on_view && !imgui_wants_mouse();
    uint32_t* const buttons[] = {&g_mouse_left, &g_mouse_right, &g_mouse_middle, &g_mouse_button4};
    for (size_t b = 0; b < std::size(buttons); ++b) {
        if (!(g_mouse_state.buttons[b] & 0x80))
            *buttons[b] = 0;
        else if (presses)
            *buttons[b] = 1;
    }
    g_wheel_up = on_view && g_mouse_state.z > 0 ? 1 : 0;
    g_wheel_down = on_view && g_mouse_state.z < 0 ? 1 : 0;

    g_mouse_screen_x = (g_mouse_x - g_camera_x) * g_zoom;
    g_mouse_screen_y = (g_mouse_y - g_camera_y) * g_zoom;
    g_typed_char = read_typed_char();
    end_released_presses();
}

void drop_view_input()
{
    g_view_has_keyboard = false;
    read_view_keys(false);
    mouse_reading reading;
    input_read_mouse(&reading);
    g_mouse_state = {};
    g_mouse_left = g_mouse_right = g_mouse_middle = g_mouse_button4 = 0;
    g_wheel_up = g_wheel_down = 0;
    g_typed_char = 0;
}

bool wait_until_released(bool (*held)())
{
    for (;;) {
        while (pump_messages()) {
        }
        if (g_quit_all)
            return false;
        poll_input();
        if (!held())
            return true;
        wait_message();
    }
}
