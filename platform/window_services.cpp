#include "platform/window_services.h"

#include "platform/gl_window.h"

#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The characters of Windows-1252 at 0x80 to 0x9F (0 where the code page has none).
constexpr uint16_t k_cp1252_high[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

std::string utf8_from_cp1252(const char* text)
{
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        uint32_t c = *p;
        if (c >= 0x80 && c < 0xA0)
            c = k_cp1252_high[c - 0x80] ? k_cp1252_high[c - 0x80] : '?';
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

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

bool message_box_choose(const char* caption, const char* text, std::span<const char* const> buttons,
                        int default_button, int* choice)
{
    if (!window_is_interactive())
        return false;
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
