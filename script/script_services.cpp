#include "script/script_services.h"

#include "platform/files.h"
#include "script/script_links.h"

#include <cmath>

script_links g_script_links = {};


float float_atan(float x)
{
    if (std::isnan(x))
        return 0.0f;
    return float(std::atan(double(x)));
}

uint32_t get_file_size(const char* path)
{
    return path ? file_size(path) : 0;
}

const char* hero_file_key()
{
    const int32_t hero = run_hook_or(g_script_links.player_char, "player_char", -1);
    return hero < 0 ? nullptr : run_hook_or(g_script_links.char_file_key, "char_file_key", nullptr, hero);
}

const char* hero_display_name()
{
    const int32_t hero = run_hook_or(g_script_links.player_char, "player_char", -1);
    return hero < 0 ? nullptr : run_hook_or(g_script_links.char_display_name, "char_display_name", nullptr, hero);
}
