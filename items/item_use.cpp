#include "items/item_use.h"

#include "characters/char_animation.h"
#include "characters/char_damage.h"
#include "characters/char_inventory.h"
#include "characters/char_movement.h"
#include "core/console_log.h"
#include "core/settings.h"
#include "engine/math.h"
#include "engine/ui_texts.h"
#include "items/casting.h"
#include "items/item_looks.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "items/spell_impact.h"
#include "items/spells.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint8_t k_message_colour = 0;
constexpr float k_attunement_factor = 1.5f;

// "add life"; false when the user is not alive and the walk stops.
bool add_life(const item_proto& item, char_record* c)
{
    if (c->life != k_life_alive)
        return false;
    int32_t d = int32_t(c->hp_ceiling) - c->hp;
    if (d < 1)
        return true;
    float r = float(item.damage);
    if (char_has_attunement(c, k_healing_attunement))
        r *= k_attunement_factor;
    // A divisor of 0 or below heals nothing extra: q stays within 1 to d.
    float q = r > 0.0f ? float(d) / r : float(d);
    q = std::clamp(q, 1.0f, float(d));
    int32_t taken = int32_t(q);
    c->hp_ceiling = int16_t(std::max<int32_t>(c->hp_ceiling - taken, INT16_MIN));
    c->hp = c->hp_ceiling;
    log_add_line(&g_message_log, k_message_colour, "%s %d %s", ui_text(k_heal_text_first), int(d),
                 ui_text(k_heal_text_first + 1));
    log_add_line(&g_message_log, k_message_colour, "%s %d %s", ui_text(k_heal_text_first + 2), int(taken),
                 ui_text(k_heal_text_first + 3));
    return true;
}

void add_mana(char_record* c, const int16_t* a)
{
    int32_t n = roll_damage_dice(a[0], a[1]);
    console_log("pridavam si %d many", int(n));
    log_add_line(&g_message_log, k_message_colour, "Restoring %d points of mana", int(n));
    int64_t sum = int64_t(c->mana) + n;
    c->mana = sum >= c->mana_max ? c->mana_max : int32_t(sum);
}

void learn_spell(char_record* c, int16_t spell)
{
    const spell_proto* s = spell_proto_at(spell);
    if (!s) {
        console_log("predmet: kuzlo %d neexistuje, preskakujem", int(spell));
        return;
    }
    console_log("Ucim sa kuzlo %s", s->name);
    log_add_line(&g_message_log, k_message_colour, "Learning spell %s", s->name);
    char_learn_spell(c, spell);
}

void cast_quick_spell(char_record* c, int16_t spell)
{
    if (!is_spell_id(spell)) {
        console_log("predmet: kuzlo %d neexistuje, preskakujem", int(spell));
        return;
    }
    float x = c->pos_x, y = c->pos_y;
    char_position(*c, &x, &y);
    float layer = 0.0f;
    if (g_objects && c->object >= 0 && uint32_t(c->object) < g_object_count)
        layer = float(g_objects[c->object].layer);
    int32_t caster = int32_t(uint8_t(c->slot));
    spawn_cast_particles_of(spell, caster, x, y, layer);
    cast_spell_by_id(spell, caster, x, y, 0.0f, 0.0f, 0, 0);
}

} // namespace

void use_item(int32_t item, char_record* c, int16_t)
{
    const item_proto* p = item_proto_at(item);
    int32_t count;
    const item_property* list = item_efects(item, &count);
    for (int32_t i = 0; i < count; ++i) {
        const item_property& e = list[i];
        switch (e.code) {
        case k_efect_add_life:
            if (!add_life(*p, c))
                return;
            break;
        case k_efect_add_mana: add_mana(c, e.args); break;
        case k_efect_learn_spell: learn_spell(c, e.args[0]); break;
        case k_efect_cast_spell_when_quickused: cast_quick_spell(c, e.args[0]); break;
        default: break;
        }
    }
}

void deal_item_damage(int32_t item, char_record* target, int32_t)
{
    int32_t count;
    const item_property* list = item_efects(item, &count);
    for (int32_t i = 0; i < count; ++i) {
        const item_property& e = list[i];
        if (e.code != k_efect_critical_chance_add)
            continue;
        int32_t n = roll_damage_dice(e.args[0], e.args[1]);
        if (n >= 1)
            char_take_hit(target, -n, -1, e.args[2], 100, -1);
    }
}
