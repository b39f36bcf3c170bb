#include "editor/dialogs/level_references.h"

#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "level/level_effects.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "world/world_objects.h"

#include <algorithm>

namespace {

// The shift of one stored number: above `removed` down by one, equal to it `gone`.
template <typename T>
void shift(T& number, int32_t removed, T gone)
{
    if (number == removed)
        number = gone;
    else if (number > removed)
        number = T(number - 1);
}

bool is_efect_proto_code(uint16_t code)
{
    return code == k_efect_add_efect3d || code == k_efect_add_efect2d || code == k_efect_add_efect3d2;
}

uint32_t entity_count()
{
    return std::min<uint32_t>(g_entity_count, k_entity_slots);
}

} // namespace

bool object_names_entity(const world_object& o)
{
    return o.state != 0 && o.object_class != k_class_attached && o.object_class != k_class_pinned;
}

void renumber_entity_references(int32_t removed)
{
    for (uint32_t i = 0; g_objects && i < g_object_count; ++i)
        if (object_names_entity(g_objects[i]))
            shift(g_objects[i].entity, removed, -1);
    for (uint32_t i = 0; i < entity_count(); ++i) {
        entity_record& e = g_entities[i];
        if (e.type == k_entity_lever || e.type == k_entity_key_lever)
            shift<int16_t>(e.link, removed, -1);
    }
    for (uint32_t i = 0; i < std::min<uint32_t>(g_level_effect_count, k_level_effect_slots); ++i) {
        level_effect& effect = g_level_effects[i];
        if (effect.kind >= k_effect_turn_x && effect.kind <= k_effect_turn_z)
            shift(effect.target, removed, -1);
    }
    for (uint32_t i = 0; i < std::min<uint32_t>(g_event_count, k_event_slots); ++i) {
        event_record& event = g_events[i];
        for (int r = 0; r < k_event_parts; ++r) {
            if (event.condition_kind[r] == k_cond_entity_state)
                shift(event.condition_number[r][0], removed, -1);
            if (event.action_kind[r] == k_act_set_entity_state || event.action_kind[r] == k_act_set_object_phase)
                shift(event.action_number[r][0], removed, -1);
        }
    }
}

void renumber_map_text_references(int32_t removed)
{
    for (uint32_t i = 0; i < entity_count(); ++i)
        shift<int16_t>(g_entities[i].description, removed + 1, 0);
}

void show_changed_table(const table_change& change)
{
    // The event boxes hold entity and container numbers, which only a removal changes.
    if (change.removed >= 0 && (change.table == record_table::entities || change.table == record_table::containers))
        show_renumbered_event();
    refill_entity_editor(change);
    refill_spell_editor_boxes(change);
    refill_item_editor_boxes(change);
}

namespace {

// Calls `visit` with every effect prototype number of the items' EFECTS lists and its item id.
template <typename F>
void for_each_item_efect_proto(F visit)
{
    for (int32_t item = 0; item < std::clamp(g_item_proto_count, 0, k_item_slots); ++item) {
        const int32_t n = std::clamp<int32_t>(g_item_protos[item].efect_count, 0, k_item_list_entries);
        for (int32_t k = 0; k < n; ++k) {
            item_property& p = g_item_lists[item].efects[k];
            if (is_efect_proto_code(p.code) && visit(item, p.args[1]))
                return;
        }
    }
}

} // namespace

int32_t item_naming_efect_proto(int32_t proto)
{
    int32_t found = -1;
    for_each_item_efect_proto([&](int32_t item, int16_t& number) {
        if (number == proto)
            found = item;
        return found >= 0;
    });
    return found;
}

void renumber_efect_proto_references(int32_t removed)
{
    for_each_item_efect_proto([removed](int32_t, int16_t& number) {
        if (number > removed)
            --number;
        return false;
    });
}
