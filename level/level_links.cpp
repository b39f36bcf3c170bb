#include "level/level_links.h"

#include "script/text_window.h"

void install_text_window_links()
{
    g_level_links.show_hint = [](const char* path) {
        if (load_markup_file(&g_message_window, path) != 1)
            return false;
        g_message_window.first_pass = 0;
        draw_text_window(&g_message_window);
        return true;
    };
    g_level_links.reset_message_window = [] { reset_text_window(&g_message_window); };
}
