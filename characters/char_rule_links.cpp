#include "characters/char_rule_links.h"

char_rule_links g_char_rule_links = {};

bool slide_show_on_screen()
{
    return g_char_rule_links.slide_show_running && g_char_rule_links.slide_show_running();
}
