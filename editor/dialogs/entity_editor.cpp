#include "editor/dialogs/entity_editor.h"

#include "core/editor_globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/dialogs/editor_window_parts.h"
#include "editor/dialogs/level_references.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "engine/sound.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spells.h"
#include "script/entities.h"
#include "script/map_texts.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <string>

dialog_handle g_entity_editor_window = 0;

const char* const k_entity_type_names[k_entity_type_count] = {
    "normal",  "interier",  "item",     "nightitem", "kontainer",   "outside_desc", "trap",
    "down_anim", "Hex Mark", "mana pool", "life pool", "campfire",  "lever",        "loopsnd",
    "random snd", "movemap_edit", "monster_enabler", "key lever", "loopsnd day", "loopsnd night",
};

namespace {

constexpr int32_t k_width = 190;
constexpr int32_t k_height = 330;

int32_t entity_count()
{
    return int32_t(std::min<uint32_t>(g_entity_count, k_entity_slots));
}

int32_t selected_entity(dialog_handle dialog)
{
    return selected_record(dialog, k_ent_list, g_entity_count, k_entity_slots);
}

std::string entity_row(int32_t i)
{
    return std::to_string(i) + "-" + record_text(g_entities[i].name);
}

// The link combos: row 0 names no record, row k the record k - 1.
template <typename Name>
void fill_link_combo(dialog_handle dialog, int32_t id, const char* none, int32_t count, Name name)
{
    add_combo_string(dialog, id, none);
    for (int32_t k = 0; k < count; ++k)
        add_combo_string(dialog, id, name(k).c_str());
    set_combo_sel(dialog, id, 0);
}

void fill_entity_rows(dialog_handle dialog)
{
    for (int32_t i = 0; i < entity_count(); ++i)
        add_list_string(dialog, k_ent_list, entity_row(i).c_str());
}

// The link combo that lists `table`, 0 for a table the page lists in none.
int32_t link_combo_of(record_table table)
{
    switch (table) {
    case record_table::map_texts: return k_ent_description;
    case record_table::containers: return k_ent_container;
    case record_table::spells: return k_ent_spell;
    default: return 0;
    }
}

void fill_links(dialog_handle dialog, record_table table)
{
    const int32_t id = link_combo_of(table);
    if (table == record_table::map_texts)
        fill_link_combo(dialog, id, "no descrition", int32_t(std::min<uint32_t>(g_map_text_count, k_map_text_slots)),
                        [](int32_t k) { return record_text(g_map_texts[k].key); });
    else if (table == record_table::containers)
        fill_link_combo(dialog, id, "no container", std::clamp<int32_t>(g_level_container_count, 0, k_level_container_slots),
                        [](int32_t k) { return record_text(g_containers[k].name); });
    else if (table == record_table::spells)
        fill_link_combo(dialog, id, "no spell", std::clamp(g_spell_proto_count, 0, k_spell_slots),
                        [](int32_t k) { return record_text(g_spell_protos[k].name); });
}

void fill_page(dialog_handle dialog)
{
    fill_entity_rows(dialog);
    for (const char* type : k_entity_type_names)
        add_combo_string(dialog, k_ent_type, type);
    set_combo_sel(dialog, k_ent_type, 0);
    for (record_table table : {record_table::map_texts, record_table::containers, record_table::spells})
        fill_links(dialog, table);
    fill_link_combo(dialog, k_ent_item, "no item", std::clamp(g_item_proto_count, 0, k_item_slots),
                    [](int32_t k) { return record_text(g_item_protos[k].display_name); });
}

void list_assigned_objects(dialog_handle dialog, int32_t entity)
{
    clear_list(dialog, k_ent_objects);
    for (uint32_t i = 0; g_objects && i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (!object_names_entity(o) || o.entity != entity)
            continue;
        const bool named = o.proto >= 0 && o.proto < k_proto_slots;
        char row[128];
        std::snprintf(row, sizeof row, "%d-pr%d-%s-layer%d-srt%d", int(i), int(o.proto),
                      named ? record_text(g_object_protos[o.proto].name).c_str() : "", int(o.layer),
                      int(o.depth_sorted));
        add_list_string(dialog, k_ent_objects, row);
    }
}

void show_entity(dialog_handle dialog, int32_t i)
{
    const entity_record& e = g_entities[i];
    set_item_text(dialog, k_ent_name, record_text(e.name).c_str());
    set_combo_sel(dialog, k_ent_type, e.type);
    set_item_int(dialog, k_ent_state, "%i", e.state);
    set_item_int(dialog, k_ent_sector, "%i", e.sector);
    set_item_int(dialog, k_ent_value, "%i", e.value);
    set_item_int(dialog, k_ent_link, "%i", e.link);
    set_item_int(dialog, k_ent_interval, "%i", e.interval);
    set_combo_sel(dialog, k_ent_description, e.description);
    set_combo_sel(dialog, k_ent_container, e.container);
    set_combo_sel(dialog, k_ent_spell, e.spell);
    set_combo_sel(dialog, k_ent_item, e.key_item);
    list_assigned_objects(dialog, i);
    set_check(dialog, k_ent_dream, e.dream_only ? 1 : 0);
}

// A combo's row into the field; a combo showing no row keeps the field.
template <typename T>
void read_combo(dialog_handle dialog, int32_t id, T& value)
{
    const int32_t row = get_combo_sel(dialog, id);
    if (row >= 0)
        value = T(row);
}

void update_entity(dialog_handle dialog)
{
    const int32_t i = selected_entity(dialog);
    if (i < 0) {
        say_nothing_chosen(dialog, "entity");
        return;
    }
    entity_record& e = g_entities[i];
    get_item_text(dialog, k_ent_name, e.name, k_entity_name_size);
    e.state = uint8_t(get_item_int(dialog, k_ent_state));
    e.sector = int16_t(get_item_int(dialog, k_ent_sector));
    read_combo(dialog, k_ent_type, e.type);
    e.link = int16_t(get_item_int(dialog, k_ent_link));
    e.value = int16_t(get_item_int(dialog, k_ent_value));
    e.interval = int16_t(get_item_int(dialog, k_ent_interval));
    read_combo(dialog, k_ent_description, e.description);
    read_combo(dialog, k_ent_container, e.container);
    read_combo(dialog, k_ent_spell, e.spell);
    e.dream_only = get_check(dialog, k_ent_dream) ? 1 : 0;
    read_combo(dialog, k_ent_item, e.key_item);
    if (e.type == k_entity_loop_sound || e.type == k_entity_random_sound)
        e.link = int16_t(load_sound(record_text(e.name).c_str()));
    delete_list_string(dialog, k_ent_list, i);
    insert_list_string(dialog, k_ent_list, i, entity_row(i).c_str());
    set_list_sel(dialog, k_ent_list, i);
    g_map_dirty = 1;
}

void new_entity(dialog_handle dialog)
{
    const int32_t i = add_entity("new", k_entity_normal, 1);
    if (i < 0)
        return;  // add_entity logged the full table
    add_list_string(dialog, k_ent_list, entity_row(i).c_str());
    g_map_dirty = 1;
    show_changed_table({record_table::entities});
}

void delete_entity(dialog_handle dialog)
{
    const int32_t i = selected_entity(dialog);
    if (i < 0)
        return;
    remove_entity(i);
    renumber_entity_references(i);
    delete_list_string(dialog, k_ent_list, i);
    g_map_dirty = 1;
    show_changed_table({record_table::entities, i});
}

dialog_template entity_template()
{
    dialog_template t;
    t.caption = "IDENT";
    t.width = k_width;
    t.height = k_height;
    t.x = 0;
    t.y = k_tab_window_top;
    t.menu = {{"entity", 0, {{"new", k_ent_menu_new, {}}, {"delete", k_ent_menu_delete, {}}}}};
    auto labelled = [&](const char* label, control_kind kind, int32_t id, int32_t y) {
        add_control(t, control_kind::static_text, 0, 80, y + 2, 46, 10, label);
        return add_control(t, kind, id, 128, y, 58, kind == control_kind::combo ? 120 : 13);
    };
    add_control(t, control_kind::static_text, 0, 4, 4, 60, 10, "Entity:");
    add_control(t, control_kind::list_box, k_ent_list, 4, 16, 72, 190);
    labelled("Name:", control_kind::edit, k_ent_name, 4)->limit = k_entity_name_size - 1;
    labelled("Type:", control_kind::combo, k_ent_type, 20);
    labelled("State:", control_kind::edit, k_ent_state, 36);
    labelled("Sector:", control_kind::edit, k_ent_sector, 52);
    labelled("Add. sort :", control_kind::edit, k_ent_value, 68);
    labelled("Add id:", control_kind::edit, k_ent_link, 84);
    labelled("Pause:", control_kind::edit, k_ent_interval, 100);
    labelled("Description:", control_kind::combo, k_ent_description, 116);
    labelled("Kontainer:", control_kind::combo, k_ent_container, 132);
    labelled("Spell:", control_kind::combo, k_ent_spell, 148);
    labelled("Item:", control_kind::combo, k_ent_item, 164);
    add_control(t, control_kind::check, k_ent_dream, 80, 182, 60, 10, "Dreamworld");
    add_control(t, control_kind::button, k_ent_update, 144, 180, 42, 14, "update");
    add_control(t, control_kind::static_text, 0, 4, 212, 80, 10, "Assigned Objects:");
    add_control(t, control_kind::list_box, k_ent_objects, 4, 224, 182, 100);
    return t;
}

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    fill_page(dialog);
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (id == k_ent_list) {
        if (const int32_t i = selected_entity(dialog); i >= 0)
            show_entity(dialog, i);
    } else if (id == k_ent_update) {
        update_entity(dialog);
    } else if (id == k_ent_menu_new) {
        new_entity(dialog);
    } else if (id == k_ent_menu_delete) {
        delete_entity(dialog);
    }
}

} // namespace

void refill_entity_editor(const table_change& change)
{
    const dialog_handle dialog = g_entity_editor_window;
    if (!dialog)
        return;
    if (change.table == record_table::entities) {
        if (change.removed < 0)
            return;  // "new" adds its own row
        // The list has dropped the removed row and kept the chosen one; the rows after it carry
        // their new numbers.
        const int32_t chosen = get_list_sel(dialog, k_ent_list);
        clear_list(dialog, k_ent_list);
        fill_entity_rows(dialog);
        set_list_sel(dialog, k_ent_list, chosen);
        if (chosen < 0)
            clear_list(dialog, k_ent_objects);
        return;
    }
    const int32_t id = link_combo_of(change.table);
    if (!id)
        return;
    const int32_t row = get_combo_sel(dialog, id);
    clear_combo(dialog, id);
    fill_links(dialog, change.table);
    set_combo_sel(dialog, id, renumbered_link_row(change, row));
}

bool entity_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_entity_editor_window, {init_page, run_command}, dialog, m);
}

void open_entity_editor()
{
    if (!g_entity_editor_window)
        create_dialog(entity_template(), entity_editor_proc);
}

void show_assigned_objects()
{
    const dialog_handle dialog = g_entity_editor_window;
    const int32_t i = dialog ? selected_entity(dialog) : -1;
    if (i >= 0)
        list_assigned_objects(dialog, i);
}
