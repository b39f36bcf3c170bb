#include "editor/dialogs/table_references.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "items/spells.h"
#include "script/entities.h"
#include "script/map_events.h"

#include <algorithm>

namespace {

// A 0-based reference after the removal: none for the removed record, one less above it;
// references below it and negative ones stay.
template <typename T>
bool renumber_index(T& value, int32_t removed, T none)
{
    if (int32_t(value) < removed)
        return false;
    value = int32_t(value) == removed ? none : T(value - 1);
    return true;
}

// A reference stored as number + 1, 0 for none.
template <typename T>
bool renumber_link(T& value, int32_t removed)
{
    if (int32_t(value) - 1 < removed)
        return false;
    value = int32_t(value) - 1 == removed ? T(0) : T(value - 1);
    return true;
}

int32_t level_entities()
{
    return int32_t(std::min<uint32_t>(g_entity_count, k_entity_slots));
}

} // namespace

int32_t efect_spell_argument(int32_t code)
{
    switch (code) {
    case k_efect_cast_spell_when_attack:
    case k_efect_learn_spell:
    case k_efect_cast_spell_when_hit:
    case k_efect_cast_spell_when_death:
    case k_efect_cast_spell_when_groundstep:
    case k_efect_cast_spell_when_quickused:
    case k_efect_equipment_spell:
    case k_efect_cast_spell_when_critical_on_foe:
    case k_efect_cast_spell_when_hit_on_foe:
    case k_efect_cast_onspell_when_critical:
    case k_efect_cast_spell_on_attunement_spell:
        return 0;
    case k_efect_add_residual_when_hit_on_foe:
    case k_efect_add_residual_when_critical_on_foe:
        return 3;
    default:
        return -1;
    }
}

void renumber_container_references(int32_t removed)
{
    bool changed = false;
    for (int32_t i = 0; i < level_entities(); ++i)
        changed |= renumber_link(g_entities[i].container, removed);
    const uint32_t events = std::min<uint32_t>(g_event_count, k_event_slots);
    for (uint32_t i = 0; i < events; ++i) {
        event_record& e = g_events[i];
        // The game runs all four actions whatever the count says ("new" leaves it at 0).
        for (uint32_t a = 0; a < k_event_parts; ++a)
            if (e.action_kind[a] == k_act_open_container)
                changed |= renumber_index(e.action_number[a][0], removed, -1);
    }
    if (changed)
        g_map_dirty = 1;
    console_log("kontajner %d zmazany: odkazy tohto levelu precislovane, ine levely si drzia stare cisla",
                int(removed));
}

void renumber_spell_references(int32_t removed)
{
    const int32_t spells = std::clamp<int32_t>(g_spell_proto_count, 0, k_spell_slots);
    for (int32_t i = 0; i < spells; ++i)
        renumber_link(g_spell_protos[i].hit_spell, removed);
    const int32_t items = std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots);
    for (int32_t i = 0; i < items; ++i) {
        const int32_t n = std::clamp<int32_t>(g_item_protos[i].efect_count, 0, k_item_list_entries);
        for (int32_t k = 0; k < n; ++k) {
            item_property& e = g_item_lists[i].efects[k];
            const int32_t arg = efect_spell_argument(e.code);
            if (arg >= 0)
                renumber_index(e.args[arg], removed, int16_t(-1));
        }
    }
    bool changed = false;
    for (int32_t i = 0; i < level_entities(); ++i)
        changed |= renumber_link(g_entities[i].spell, removed);
    if (changed)
        g_map_dirty = 1;
    console_log("kuzlo %d zmazane: ine levely, ulozene hry, pevna tabulka atunementov a pevne cisla kuziel "
                "v pravidlach drzia stare cisla",
                int(removed));
}
