#include "characters/char_machines.h"

void update_char(char_record* c, int32_t slot)
{
    switch (c->kind) {
    case k_kind_normal:
    case k_kind_netplayer:
        update_normal_char(c, slot);
        break;
    case k_kind_player:
        update_player_char(c, slot);
        break;
    case k_kind_enemy:
        update_enemy_char(c, slot);
        break;
    case k_kind_sidekick:
        update_sidekick_char(c, slot);
        break;
    default:
        break;  // any other kind does nothing
    }
}
