#include "editor/dialogs/level_editor.h"

#include "characters/creature_files.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/message_box.h"
#include "editor/controls/number_fields.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "engine/render_context.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

dialog_handle g_level_editor_window = 0;

namespace {

constexpr const char* k_level_types[] = {"outside", "inside", "gui"};
constexpr const char* k_grounds[] = {"dirt", "dungeon", "grass", "metal", "stone", "wood", "water", "snow", "ice"};
constexpr int32_t k_number_chars = 19;

// The bounds and the scale of the page's fields, with their labels.
struct number_field {
    int32_t id;
    float scene_header::*number;
    const char* label;
};
const number_field k_number_fields[] = {{k_level_xmin, &scene_header::camera_min_x, "xmin"},
                                        {k_level_xmax, &scene_header::camera_max_x, "xmax"},
                                        {k_level_ymin, &scene_header::camera_min_y, "ymin"},
                                        {k_level_ymax, &scene_header::camera_max_y, "ymax"},
                                        {k_level_scale, &scene_header::scale, "scale"}};

template <size_t N>
std::string field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

void add_entry_row(dialog_handle dialog, int32_t n)
{
    const scene_header& h = g_scene_header;
    char row[96];
    std::snprintf(row, sizeof row, "x:%.2f  y:%.2f rot:%d", double(h.entry_x[n]), double(h.entry_y[n]),
                  int(h.entry_angle[n]));
    add_list_string(dialog, k_level_entries, row);
}

// The header's fields and entry points as the header holds them; the combos are filled already.
void show_header(dialog_handle dialog)
{
    const scene_header& h = g_scene_header;
    set_item_text(dialog, k_level_file, g_map_path);
    set_item_text(dialog, k_level_name, field(h.display_name).c_str());
    set_item_text(dialog, k_level_second_name, field(h.second_name).c_str());
    set_item_text(dialog, k_level_music, field(h.music_name).c_str());
    clear_list(dialog, k_level_entries);
    for (int32_t n = 0; n < std::min<int32_t>(h.entry_count, k_entry_points); ++n)
        add_entry_row(dialog, n);
    set_combo_sel(dialog, k_level_type, h.level_type <= k_level_gui ? h.level_type : -1);
    for (const number_field& f : k_number_fields)
        set_item_float(dialog, f.id, "%.2f", h.*f.number);
    set_combo_sel(dialog, k_level_ground, h.ground_type);
    const int16_t chances[] = {h.rain_chance, h.snow_chance, h.fog_chance};
    const int16_t durations[] = {h.rain_duration, h.snow_duration, h.fog_duration};
    for (int32_t k = 0; k < 3; ++k) {
        set_item_int(dialog, k_level_chance + k, chances[k]);
        set_item_int(dialog, k_level_duration + k, durations[k]);
    }
}

void open_page(dialog_handle dialog)
{
    g_level_editor_window = dialog;
    move_dialog(dialog, 0, k_tab_window_top);
    for (const char* type : k_level_types)
        add_combo_string(dialog, k_level_type, type);
    for (const char* ground : k_grounds)
        add_combo_string(dialog, k_level_ground, ground);
    show_header(dialog);
    const int32_t names = std::min<int32_t>(g_creature_files.count, int32_t(g_creature_files.names.size()));
    for (int32_t i = 0; i < names; ++i)
        add_list_string(dialog, k_level_creatures, field(g_creature_files.names[size_t(i)].name).c_str());
    set_check(dialog, k_level_use_ai, g_editor.ai_on ? 1 : 0);
}

// Says in a box which of the typed numbers no level file may hold, and that the bounds and the
// scale keep what they held.
void say_numbers_refused(dialog_handle dialog, const scene_header& typed)
{
    std::string refused;
    for (const number_field& f : k_number_fields) {
        scene_header one = g_scene_header;
        one.*f.number = typed.*f.number;
        if (!scene_header_numbers_sound(one)) {
            char text[k_number_chars + 1] = {};
            get_item_text(dialog, f.id, text, sizeof text);
            refused += std::string(refused.empty() ? "" : ", ") + f.label + " " + text;
        }
    }
    char limits[160];
    std::snprintf(limits, sizeof limits,
                  "\nThe bounds and the scale stay as they were: the scale must be above 0 and at most %g, each "
                  "bound within %.0f of 0.",
                  double(k_scene_scale_max), double(k_scene_coordinate_limit));
    message_box(dialog, (refused + limits).c_str(), "UPDATE", message_box_kind::ok);
}

// Every field of the page into the scene header at once. Bounds and a scale that no level file may
// hold (scene_header_numbers_sound) are refused together, in a box: the header and the fields keep
// the numbers it had, and the other fields are stored.
void update_header(dialog_handle dialog)
{
    scene_header& h = g_scene_header;
    scene_header typed = h;
    for (const number_field& f : k_number_fields)
        typed.*f.number = get_item_float(dialog, f.id, k_number_chars);
    if (scene_header_numbers_sound(typed)) {
        for (const number_field& f : k_number_fields)
            h.*f.number = typed.*f.number;
    } else {
        console_log("mierka alebo hranice sceny mimo rozsahu, ostavaju doterajsie");
        say_numbers_refused(dialog, typed);
        for (const number_field& f : k_number_fields)
            set_item_float(dialog, f.id, "%.2f", h.*f.number);
    }
    const int32_t type = get_combo_sel(dialog, k_level_type);
    if (type >= 0)
        h.level_type = uint8_t(type);
    const int32_t ground = get_combo_sel(dialog, k_level_ground);
    if (ground >= 0)
        h.ground_type = int16_t(ground);
    get_item_text(dialog, k_level_name, h.display_name, 80);
    get_item_text(dialog, k_level_second_name, h.second_name, 30);
    get_item_text(dialog, k_level_music, h.music_name, k_level_music_chars + 1);
    int16_t* chances[] = {&h.rain_chance, &h.snow_chance, &h.fog_chance};
    int16_t* durations[] = {&h.rain_duration, &h.snow_duration, &h.fog_duration};
    for (int32_t k = 0; k < 3; ++k) {
        *chances[k] = int16_t(get_item_int(dialog, k_level_chance + k));
        *durations[k] = int16_t(get_item_int(dialog, k_level_duration + k));
    }
    g_map_dirty = 1;
}

std::string object_row(uint32_t i)
{
    const world_object& o = g_objects[i];
    const object_proto* p = proto_at(o.proto);
    char row[96];
    std::snprintf(row, sizeof row, "%u-pr%d-%s-layer%d-srt%u", i, int(o.proto), p ? p->name : "", int(o.layer),
                  o.depth_sorted);
    return row;
}

void generate_object_info(dialog_handle dialog)
{
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (o.state != 0 && o.particle_role != k_role_particle)
            add_list_string(dialog, k_level_objects, object_row(i).c_str());
    }
}

// The object index a row of the object list begins with; -1 when no object in use has it.
int64_t row_object(dialog_handle dialog, int32_t row)
{
    char text[96] = {};
    get_list_text(dialog, k_level_objects, row, text, sizeof text);
    const int64_t index = parse_leading_int(text);
    if (index < 0 || index >= int64_t(g_object_count) || g_objects[index].state == 0)
        return -1;
    return index;
}

// Centres the view on the object the selected row begins with, selects it and switches to the
// editing mode on its layer; a row whose object is gone is ignored.
void centre_on_object(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_level_objects);
    const int64_t index = row < 0 ? -1 : row_object(dialog, row);
    if (index < 0)
        return;
    world_object& o = g_objects[index];
    const float x = o.has_corners ? o.corners[0] : o.x;
    const float y = o.has_corners ? o.corners[1] : o.y;
    g_camera_x = x - float(g_screen_width) / 2.0f;
    g_camera_y = y - float(g_screen_height) / 2.0f;
    o.highlight = 1;
    g_work_mode = k_work_select;
    g_active_layer = o.layer;
}

void run_command(dialog_handle dialog, int32_t id)
{
    switch (id) {
    case k_level_update:
        update_header(dialog);
        break;
    case k_level_add_entry:
        if (add_entry_point(&g_scene_header)) {
            add_entry_row(dialog, g_scene_header.entry_count - 1);
            g_map_dirty = 1;
        }
        break;
    case k_level_remove_entry: {
        const int32_t row = get_list_sel(dialog, k_level_entries);
        if (row >= 0 && row < g_scene_header.entry_count) {
            remove_entry_point(&g_scene_header, row);
            delete_list_string(dialog, k_level_entries, row);
            g_map_dirty = 1;
        }
        break;
    }
    case k_level_save_ambient:
        g_scene_header.light_red = g_ambient_color.red;
        g_scene_header.light_green = g_ambient_color.green;
        g_scene_header.light_blue = g_ambient_color.blue;
        g_map_dirty = 1;
        break;
    case k_level_use_ai:
        g_editor.ai_on = get_check(dialog, k_level_use_ai) ? 1 : 0;
        break;
    case k_level_creatures: {
        const int32_t row = get_list_sel(dialog, k_level_creatures);
        if (row >= 0)
            g_editor.creature_choice = row;
        break;
    }
    case k_level_object_info:
        generate_object_info(dialog);
        break;
    case k_level_centre:
        centre_on_object(dialog);
        break;
    default:
        break;
    }
}

dialog_template level_template()
{
    dialog_template t;
    t.caption = "Level";
    t.width = 190;
    t.height = 400;
    t.x = 0;
    t.y = k_tab_window_top;
    t.title_bar = false;
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "",
                    uint32_t style = 0) { t.controls.push_back(make_control(kind, id, x, y, w, h, text, style)); };
    // A label and its field: the long labels of the top rows, the short ones of the numbers.
    auto label = [&add](int32_t x, int32_t y, const char* text, int32_t width = 30) {
        add(control_kind::static_text, 0, x, y + 2, width, 10, text);
    };
    label(4, 4, "filename:", 50);
    add(control_kind::edit, k_level_file, 56, 4, 130, 12, "", k_style_read_only);
    label(4, 20, "Level Name:", 50);
    add(control_kind::edit, k_level_name, 56, 20, 72, 12);
    t.controls.back().limit = 79;
    add(control_kind::edit, k_level_second_name, 132, 20, 54, 12);
    t.controls.back().limit = 29;
    label(4, 36, "Music Name:", 50);
    add(control_kind::edit, k_level_music, 56, 36, 72, 12);
    t.controls.back().limit = k_level_music_chars;
    label(4, 52, "Level Type:", 50);
    add(control_kind::combo, k_level_type, 56, 52, 72, 60);
    const char* bounds[] = {"xmin:", "xmax:", "ymin:", "ymax:"};
    for (int32_t k = 0; k < 4; ++k) {
        label(4 + (k % 2) * 92, 68 + (k / 2) * 16, bounds[k]);
        add(control_kind::edit, k_level_xmin + k, 36 + (k % 2) * 92, 68 + (k / 2) * 16, 54, 12);
    }
    label(4, 100, "scale:");
    add(control_kind::edit, k_level_scale, 36, 100, 54, 12);
    add(control_kind::button, k_level_save_ambient, 4, 116, 60, 14, "Save Ambient");
    add(control_kind::combo, k_level_ground, 68, 116, 70, 100);
    const char* weather[] = {"rain:", "snow:", "fog:"};
    for (int32_t k = 0; k < 3; ++k) {
        label(4, 134 + k * 16, weather[k]);
        add(control_kind::edit, k_level_chance + k, 36, 134 + k * 16, 40, 12);
        add(control_kind::edit, k_level_duration + k, 80, 134 + k * 16, 40, 12);
    }
    label(4, 184, "start pos:", 60);
    add(control_kind::list_box, k_level_entries, 4, 196, 130, 44);
    add(control_kind::button, k_level_add_entry, 138, 196, 48, 14, "ADD");
    add(control_kind::button, k_level_remove_entry, 138, 214, 48, 14, "REM");
    add(control_kind::check, k_level_use_ai, 4, 244, 90, 10, "Use AI in editor");
    add(control_kind::button, k_level_update, 138, 242, 48, 14, "UPDATE");
    label(4, 258, "Creature/NPC:", 80);
    add(control_kind::list_box, k_level_creatures, 4, 270, 182, 40);
    add(control_kind::button, k_level_object_info, 4, 314, 90, 14, "Generate object info");
    add(control_kind::list_box, k_level_objects, 4, 330, 182, 50);
    add(control_kind::button, k_level_centre, 4, 382, 48, 14, "Center");
    return t;
}

} // namespace

void open_level_editor()
{
    if (!g_level_editor_window)
        create_dialog(level_template(), level_editor_proc);
}

void show_level_header()
{
    if (g_level_editor_window)
        show_header(g_level_editor_window);
}

void show_level_objects()
{
    const dialog_handle dialog = g_level_editor_window;
    if (!dialog)
        return;
    const int32_t selected = get_list_sel(dialog, k_level_objects);
    for (int32_t row = 0; row < get_list_count(dialog, k_level_objects); ++row) {
        const int64_t index = row_object(dialog, row);
        if (index < 0)
            continue;
        delete_list_string(dialog, k_level_objects, row);
        insert_list_string(dialog, k_level_objects, row, object_row(uint32_t(index)).c_str());
    }
    set_list_sel(dialog, k_level_objects, selected);
}

bool level_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_level_editor_window, {open_page, run_command}, dialog, m);
}
