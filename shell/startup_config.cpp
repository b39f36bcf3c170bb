#include "shell/startup_config.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "platform/files.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

void split_command_line(const char* command_line)
{
    g_start_level[0] = '\0';
    char words[5][100] = {};
    const char* p = command_line;
    for (auto& word : words) {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')
            ++p;
        if (!*p)
            break;
        size_t n = 0;
        for (; *p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r'; ++p)
            if (n < sizeof word - 1)
                word[n++] = *p;
        word[n] = '\0';
        if (std::strstr(word, ".sav"))
            copy_bounded(g_start_level, sizeof g_start_level, word);
    }
}

bool display_mode_size(int32_t mode, int32_t* width, int32_t* height, int32_t* bpp)
{
    static const int32_t sizes[5][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
    if (mode < 1 || mode > 10)
        return false;
    *width = sizes[(mode - 1) / 2][0];
    *height = sizes[(mode - 1) / 2][1];
    *bpp = mode % 2 ? 16 : 32;
    return true;
}

void read_startup_config(const char* command_line)
{
    if (FILE* log = std::fopen(resolve_path(k_console_log_file).c_str(), "w"))
        std::fclose(log);

    if (std::strstr(command_line, "editor"))
        g_editor_enabled = 1;
    if (std::strstr(command_line, "console") || g_editor_enabled)
        g_console_enabled = 1;

    int fd = open_file_read("game.cfg");
    if (fd < 0)
        return;
    console_log("Nacitavam rozlisenie z cfg suboru");
    uint8_t bytes[12] = {};
    ssize_t got = read(fd, bytes, sizeof bytes);
    close(fd);
    if (got < 8) {
        report_damaged_file("game.cfg", "kratky subor", "predvolena obrazovka");
        return;
    }
    int32_t mode = int32_t(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | uint32_t(bytes[7]) << 24);
    display_mode_size(mode, &g_screen_width, &g_screen_height, &g_screen_bpp);
}

void remove_write_leftovers()
{
    for (const std::string& name : remove_stale_temporaries("."))
        console_log("zmazal som zvysok nedokonceneho zapisu %s", name.c_str());
}
