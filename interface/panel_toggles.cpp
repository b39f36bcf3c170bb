#include "interface/panel_toggles.h"

#include "characters/char_inventory.h"
#include "characters/char_notices.h"
#include "core/game_globals.h"
#include "interface/held_item.h"
#include "interface/side_panel.h"
#include "world/dream_world.h"

void close_attunement_panel()
{
    g_interface.attunement_panel_open = 0;
    g_notices.attunement_seen = 1;
}

void close_side_panels()
{
    game_interface& gi = g_interface;
    cancel_item_drag();
    gi.side_panel_open = gi.character_panel_open = gi.quest_log_open = 0;
    if (gi.attunement_panel_open)
        close_attunement_panel();
}

void open_menu()
{
    game_interface& gi = g_interface;
    gi.settings_page = 4;
    gi.menu_open = 1;
    gi.overlay_screen = 1;
}

void toggle_menu()
{
    if (g_interface.menu_open)
        g_interface.menu_open = 0;
    else
        open_menu();
}

bool toggle_side_panel_page(uint8_t page)
{
    game_interface& gi = g_interface;
    if (gi.side_panel_page == page) {
        if (gi.side_panel_open)
            cancel_item_drag();
        gi.side_panel_open = !gi.side_panel_open;
        return gi.side_panel_open;
    }
    cancel_item_drag();
    gi.side_panel_page = page;
    gi.side_panel_open = 1;
    return true;
}

void toggle_character_panel()
{
    g_interface.character_panel_open = !g_interface.character_panel_open;
}

void toggle_quest_log()
{
    game_interface& gi = g_interface;
    if (gi.quest_log_open) {
        gi.quest_log_open = 0;
        return;
    }
    if (gi.attunement_panel_open)
        close_attunement_panel();
    gi.quest_log_open = 1;
}

void toggle_attunement_panel()
{
    game_interface& gi = g_interface;
    if (gi.attunement_panel_open) {
        close_attunement_panel();
        return;
    }
    gi.quest_log_open = 0;
    gi.attunement_panel_open = 1;
}

void switch_dream_world()
{
    if (g_dream_world.active)
        leave_dream_world(&g_dream_world, 0);
    else
        enter_dream_world(&g_dream_world, 0);
    if (char_record* hero = panel_hero()) {
        char_sync_attunements(hero);
        char_apply_item_effects(hero);
        char_refresh_equipment(hero);
    }
}
