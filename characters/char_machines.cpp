#include "characters/char_machines.h"

void update_char(char_record* c, int32_t slot)
{
    switch (c->kind) {
    case k_kind_player:
        update_player_char(c, slot);
        break;
    case k_kind_enemy:
        update_enemy_char(c, slot);
        break;
    default:
        // The NORMAL, NETPLAYER and SIDEKICK machines come with the companion rules; until
        // then those characters keep their state.
        break;
    }
}
