#include "platform/window_services.h"

#include "platform/gl_window.h"
#include "platform/input.h"
#include "platform/text_encoding.h"

#include <SDL.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

void desktop_size(int32_t* width, int32_t* height)
{
    *width = 1024;
    *height = 768;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return;
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        *width = bounds.w;
        *height = bounds.h;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void move_program_window(int32_t x, int32_t y)
{
    if (SDL_Window* window = gl_window_handle())
        SDL_SetWindowPosition(window, x, y);
}

bool window_is_interactive()
{
    if (!gl_window_is_open())
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

namespace {

message_box_answerer g_answerer;

// The box on the screen; false when the system refused it.
bool show_box(const char* caption, const char* text, std::span<const char* const> buttons, int default_button,
              int* choice)
{
    std::vector<std::string> labels;
    for (const char* label : buttons)
        labels.push_back(utf8_from_cp1252(label));
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < labels.size(); ++i) {
        SDL_MessageBoxButtonData button = {};
        if (int(i) == default_button)
            button.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        button.buttonid = int(i);
        button.text = labels[i].c_str();
        data.push_back(button);
    }
    std::string caption_text = utf8_from_cp1252(caption);
    std::string message_text = utf8_from_cp1252(text);
    SDL_MessageBoxData box = {};
    box.flags = SDL_MESSAGEBOX_INFORMATION;
    box.window = gl_window_handle();
    box.title = caption_text.c_str();
    box.message = message_text.c_str();
    box.numbuttons = int(data.size());
    box.buttons = data.data();
    int id = -1;
    if (SDL_ShowMessageBox(&box, &id) != 0)
        return false;
    *choice = id;
    return true;
}

} // namespace

void set_message_box_answerer(message_box_answerer answerer)
{
    g_answerer = std::move(answerer);
}

bool message_box_choose(const char* caption, const char* text, std::span<const char* const> buttons,
                        int default_button, int* choice)
{
    if (!gl_window_is_open())
        return false;
    if (!g_answerer && !window_is_interactive())
        return false;
    input_lend_focus();
    const bool shown = g_answerer ? g_answerer(caption, text, buttons, default_button, choice)
                                  : show_box(caption, text, buttons, default_button, choice);
    input_focus_returned();
    return shown;
}
