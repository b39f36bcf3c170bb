#include "editor/dialogs/proto_editor.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/editor_globals.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/message_box.h"
#include "editor/dialogs/particle_editor.h"
#include "editor/dialogs/proto_editor_internal.h"
#include "editor/editor_frame.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "engine/packed_stream.h"
#include "platform/files.h"
#include "world/object_draw_internal.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

dialog_handle g_proto_editor_window = 0;
int32_t g_shown_proto = -1;
uint32_t g_current_3d_part = 0;
char g_proto_select_filter[k_proto_filter_size] = {};

namespace {

constexpr int32_t k_width = 190;
constexpr int32_t k_height = 400;
constexpr int32_t k_row_size = 64;
constexpr char k_proto_file_filter[] = "PROTOTYP\0*.pr\0ALL\0*.*\0";
constexpr const char* k_kinds[] = {"sprite", "particle", "16f sprite (nw)", "3d mesh", "surface"};
constexpr const char* k_default_filters[] = {"zem", "spina", "stena", "prechod", "drevo", "stlp",
                                             "schody", "goblin", "stone", "dvere", "most", "kolaj"};
constexpr const char* k_select_file = "global/select.txt";
constexpr int32_t k_select_line_size = 30;

std::string row_text(int32_t index)
{
    char row[k_row_size];
    std::snprintf(row, sizeof row, "%d-%s", int(index), g_object_protos[index].name);
    return row;
}

// The global select.txt: a count line, then that many names, each cut of trailing white space.
void fill_select_rows(dialog_handle dialog)
{
    add_combo_string(dialog, k_proto_select, "");
    text_file_lines in(k_select_file);
    if (!in.is_open()) {
        report_missing_file(k_select_file, "predvolene filtre");
        for (const char* name : k_default_filters)
            add_combo_string(dialog, k_proto_select, name);
        return;
    }
    char line[k_select_line_size] = {};
    const int64_t count = in.next(line, sizeof line) < 0 ? 0 : parse_leading_int(line);
    int64_t i = 0;
    for (; i < count && !in.damaged_line(); ++i) {
        if (in.next(line, sizeof line) < 0 || in.damaged_line())
            break;
        size_t n = std::strlen(line);
        while (n > 0 && (uint8_t(line[n - 1]) <= ' ' || line[n - 1] == 127))
            line[--n] = '\0';
        add_combo_string(dialog, k_proto_select, line);
    }
    if (i < count || in.damaged_line()) {
        const std::string where = in.damaged_line() ? "riadok " + std::to_string(in.damaged_line())
                                                    : "konci po " + std::to_string(i) + " z " + std::to_string(count);
        report_damaged_file(k_select_file, where.c_str(), "filtre z celych riadkov");
    }
}

void show_fields(dialog_handle dialog, const object_proto& p)
{
    set_item_text(dialog, k_proto_name, p.name);
    set_combo_sel(dialog, k_proto_kind, p.kind >= 0 && p.kind <= k_proto_surface ? int32_t(p.kind) : -1);
    set_item_int(dialog, k_proto_layer, p.default_layer);
    set_combo_sel(dialog, k_proto_format, p.format_choice <= 1 ? p.format_choice : -1);
    set_item_int(dialog, k_proto_width, p.width);
    set_item_int(dialog, k_proto_height, p.height);
    set_item_int(dialog, k_proto_anim_type, p.anim_mode);
    set_item_int(dialog, k_proto_anim_speed, p.frame_delay);
    set_item_int(dialog, k_proto_number, p.frame_counts[0]);
    set_item_int(dialog, k_proto_start_x, safe_int(p.spawn_offset[0]));
    set_item_int(dialog, k_proto_start_y, safe_int(p.spawn_offset[1]));
    set_item_int(dialog, k_proto_povx, p.anim_count);
    set_item_int(dialog, k_proto_povy, p.frame_counts[0]);
    set_item_int(dialog, k_proto_zbuf, p.depth_setting);
    set_item_float(dialog, k_proto_tcor, "%f", p.depth_correction);
    set_item_int(dialog, k_proto_num_parts, p.anim_count);
}

// Keeps the editor's prototype indices on their prototypes after prototype `removed` left the
// table (the later ones moved down by one).
void follow_removal(int32_t removed)
{
    if (g_editor.brush_proto == removed)
        g_editor.brush_proto = 0;
    else if (g_editor.brush_proto > removed)
        --g_editor.brush_proto;
    if (g_shown_proto == removed)
        g_shown_proto = -1;
    else if (g_shown_proto > removed)
        --g_shown_proto;
}

// Removes a level prototype; false when the table kept it.
bool remove_proto(int32_t index)
{
    const uint32_t before = g_object_proto_count;
    unload_object_proto(index, true);
    if (g_object_proto_count == before)
        return false;
    follow_removal(index);
    g_map_dirty = 1;
    return true;
}

void update_proto(dialog_handle dialog)
{
    const int32_t index = selected_proto(dialog);
    if (index < 0)
        return;
    object_proto& p = g_object_protos[index];
    p.anim_mode = int32_t(get_item_int(dialog, k_proto_anim_type));
    p.frame_delay = int32_t(get_item_int(dialog, k_proto_anim_speed));
    p.depth_setting = int32_t(get_item_int(dialog, k_proto_zbuf));
    p.width = int32_t(get_item_int(dialog, k_proto_width));
    p.height = int32_t(get_item_int(dialog, k_proto_height));
    p.spawn_offset[0] = float(int32_t(get_item_int(dialog, k_proto_start_x)));
    p.spawn_offset[1] = float(int32_t(get_item_int(dialog, k_proto_start_y)));
    p.anim_count = int32_t(get_item_int(dialog, k_proto_num_parts));
    p.default_layer = uint8_t(get_item_int(dialog, k_proto_layer, 9));
    const int32_t kind = get_combo_sel(dialog, k_proto_kind);
    if (kind >= 0)
        p.kind = kind;
    const int32_t format = get_combo_sel(dialog, k_proto_format);
    if (format >= 0)
        p.format_choice = uint8_t(format);
    p.frame_counts[0] = int32_t(get_item_int(dialog, k_proto_povy));
    if (p.kind != k_proto_mesh)
        p.anim_count = int32_t(get_item_int(dialog, k_proto_povx));
    p.depth_correction = get_item_float(dialog, k_proto_tcor);
    if (p.kind == k_proto_surface && !(p.depth_correction >= k_min_surface_depth_correction))
        p.depth_correction = k_min_surface_depth_correction;
    get_item_text(dialog, k_proto_name, p.name, 25);
    g_map_dirty = 1;

    const int32_t row = get_list_sel(dialog, k_proto_list);
    delete_list_string(dialog, k_proto_list, row);
    insert_list_string(dialog, k_proto_list, row, row_text(index).c_str());
    set_list_sel(dialog, k_proto_list, row);
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (o.state != 0 && o.proto == index) {
            o.anim_mode = p.anim_mode;
            o.frame_delay = p.frame_delay;
        }
    }
    if (g_work_mode == k_work_insert)
        rebuild_brush_preview(g_editor);
}

void new_proto(dialog_handle dialog)
{
    const int32_t index = add_empty_object_proto();
    if (index < 0) {
        console_log("prototypov je uz %u", k_max_level_protos);
        return;
    }
    g_map_dirty = 1;
    set_list_sel(dialog, k_proto_list, add_proto_row(dialog, index));
    show_proto_in_editor(dialog);
}

void delete_proto(dialog_handle dialog)
{
    const int32_t index = selected_proto(dialog);
    const int32_t row = get_list_sel(dialog, k_proto_list);
    if (index < 0 || !remove_proto(index))
        return;
    fill_proto_list(dialog);
    if (row > 0) {
        set_list_sel(dialog, k_proto_list, std::min(row - 1, get_list_count(dialog, k_proto_list) - 1));
        show_proto_in_editor(dialog);
    }
}

// Removes the lowest prototype no world object uses until every one is used; one the table
// keeps is passed over, so the loop ends.
void delete_unused(dialog_handle dialog)
{
    std::vector<uint8_t> used;
    int32_t from = 0;
    for (;;) {
        used.assign(g_object_proto_count, 0);
        for (uint32_t i = 0; i < g_object_count; ++i) {
            const world_object& o = g_objects[i];
            if (o.state != 0 && o.proto >= 0 && o.proto < int32_t(g_object_proto_count))
                used[size_t(o.proto)] = 1;
        }
        int32_t unused = -1;
        for (int32_t s = from; s < int32_t(g_object_proto_count) && unused < 0; ++s)
            if (!used[size_t(s)])
                unused = s;
        if (unused < 0)
            break;
        if (!remove_proto(unused))
            from = unused + 1;
    }
    fill_proto_list(dialog);
}

void export_proto(dialog_handle dialog)
{
    const int32_t index = selected_proto(dialog);
    if (index < 0)
        return;
    const std::string path = ask_file_name("prototype export", k_proto_file_filter, "pr", 0, dialog);
    if (path.empty())
        return;
    packed_stream* out = stream_open(path.c_str(), "wp");
    if (!out) {
        console_log("export %s zlyhal", path.c_str());
        return;
    }
    if (!finish_written_file(out, write_object_proto(index, out)))
        console_log("export %s zlyhal", path.c_str());
    make_user_writable(path.c_str());
}

void import_proto(dialog_handle dialog)
{
    const std::string path = ask_existing_file(dialog, "prototype import", k_proto_file_filter, "pr");
    if (path.empty())
        return;
    const int32_t index = add_empty_object_proto();
    if (index < 0) {
        console_log("prototypov je uz %u", k_max_level_protos);
        return;
    }
    if (!read_object_proto_file(index, path.c_str(), "doterajsie prototypy")) {
        console_log("chybny prototyp %s", path.c_str());
        unload_object_proto(index, true);
        say_file_unread(dialog, path, "prototype import", "the prototypes stay as they were");
        return;
    }
    object_proto& p = g_object_protos[index];
    console_log("%s", p.name);
    g_map_dirty = 1;
    for (uint32_t s = 0; s < g_object_proto_count; ++s) {
        if (int32_t(s) != index && std::strcmp(g_object_protos[s].name, p.name) == 0) {
            copy_bounded(p.name, sizeof p.name, "new");
            message_box(dialog, "EXIST MENO", "zmen meno", message_box_kind::ok);
            break;
        }
    }
    set_list_sel(dialog, k_proto_list, add_proto_row(dialog, index));
    show_proto_in_editor(dialog);
}

std::vector<menu_entry> proto_menu()
{
    return {
        {"prototype",
         0,
         {{"new", k_proto_menu_new, {}},
          {"delete", k_proto_menu_delete, {}},
          {"delete_unused", k_proto_menu_delete_unused, {}},
          {"export", k_proto_menu_export, {}},
          {"import", k_proto_menu_import, {}},
          {"import directory", k_proto_menu_import_directory, {}}}},
        {"texture/objekt",
         0,
         {{"add", k_proto_menu_add, {}},
          {"delete", k_proto_menu_delete_frame, {}},
          {"add multiple", k_proto_menu_add_multiple, {}},
          {"add 3d phase", k_proto_menu_add_phase, {}},
          {"save 3d object", k_proto_menu_save_3d, {}},
          {"convert directories", k_proto_menu_convert, {}}}},
    };
}

dialog_template proto_template()
{
    dialog_template t;
    t.caption = "Prtyp";
    t.width = k_width;
    t.height = k_height;
    t.x = 0;
    t.y = k_tab_window_top;
    t.title_bar = false;
    t.menu = proto_menu();
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "",
                    uint32_t style = 0) { t.controls.push_back(make_control(kind, id, x, y, w, h, text, style)); };
    auto field = [&add](const char* label, int32_t id, int32_t x, int32_t y) {
        add(control_kind::static_text, 0, x, y + 2, 50, 10, label);
        add(control_kind::edit, id, x + 52, y, 36, 12);
    };
    add(control_kind::static_text, 0, 4, 4, 40, 10, "Prototype:");
    add(control_kind::list_box, k_proto_list, 4, 14, 90, 120);
    add(control_kind::static_text, 0, 98, 4, 40, 10, "select:");
    add(control_kind::combo, k_proto_select, 98, 14, 88, 100, "", k_style_editable);
    add(control_kind::static_text, 0, 98, 32, 40, 10, "textures/objects:");
    add(control_kind::list_box, k_proto_textures, 98, 42, 88, 92);
    add(control_kind::static_text, 0, 4, 140, 26, 10, "Name:");
    add(control_kind::edit, k_proto_name, 32, 138, 108, 12);
    t.controls.back().limit = 24;
    add(control_kind::static_text, 0, 4, 156, 26, 10, "Type:");
    add(control_kind::combo, k_proto_kind, 32, 154, 68, 80);
    add(control_kind::static_text, 0, 104, 156, 16, 10, "cm:");
    add(control_kind::combo, k_proto_format, 122, 154, 40, 40);
    field("dl:", k_proto_layer, 4, 172);
    field("x size:", k_proto_width, 4, 188);
    field("y size:", k_proto_height, 96, 188);
    field("Anim. type:", k_proto_anim_type, 4, 204);
    field("Anim. speed:", k_proto_anim_speed, 96, 204);
    add(control_kind::static_text, 0, 96, 174, 50, 10, "number:");
    add(control_kind::static_text, k_proto_number, 148, 174, 36, 10, "0");
    field("start x:", k_proto_start_x, 4, 220);
    field("start y:", k_proto_start_y, 96, 220);
    field("povx:", k_proto_povx, 4, 236);
    field("povy:", k_proto_povy, 96, 236);
    field("Zbuf:", k_proto_zbuf, 4, 252);
    field("T cor:", k_proto_tcor, 96, 252);
    add(control_kind::static_text, 0, 4, 270, 50, 10, "3D Part:");
    add(control_kind::combo, k_proto_3d_part, 56, 268, 36, 100);
    field("num p:", k_proto_num_parts, 96, 268);
    add(control_kind::button, k_proto_update, 4, 286, 60, 14, "update");
    add(control_kind::button, k_proto_particles, 70, 286, 60, 14, "Particles");
    add(control_kind::group_box, 0, 4, 304, 182, 92, "Objects");
    add(control_kind::list_box, k_proto_objects, 8, 316, 174, 76);
    return t;
}

void open_page(dialog_handle dialog)
{
    g_proto_editor_window = dialog;
    move_dialog(dialog, 0, k_tab_window_top);
    fill_proto_list(dialog);
    const int32_t row = proto_row(dialog, g_editor.brush_proto);
    if (row >= 0)
        set_list_sel(dialog, k_proto_list, row);
    set_item_text(dialog, k_proto_select, g_proto_select_filter);
    for (const char* kind : k_kinds)
        add_combo_string(dialog, k_proto_kind, kind);
    set_item_text(dialog, k_proto_povy, "0");
    fill_select_rows(dialog);
    add_combo_string(dialog, k_proto_format, "16bit");
    add_combo_string(dialog, k_proto_format, "32bit");
    set_combo_sel(dialog, k_proto_format, 0);
    for (int32_t part = 0; part < k_proto_animations; ++part)
        add_combo_string(dialog, k_proto_3d_part, std::to_string(part).c_str());
    set_combo_sel(dialog, k_proto_3d_part, int32_t(std::min<uint32_t>(g_current_3d_part, k_proto_animations - 1)));
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (run_proto_frame_command(dialog, id))
        return;
    switch (id) {
    case k_proto_list:
        show_proto_in_editor(dialog);
        break;
    case k_proto_select:
        get_item_text(dialog, k_proto_select, g_proto_select_filter, k_proto_filter_size);
        fill_proto_list(dialog);
        break;
    case k_proto_3d_part: {
        const int32_t part = get_combo_sel(dialog, k_proto_3d_part);
        if (part >= 0)
            g_current_3d_part = uint32_t(part);
        break;
    }
    case k_proto_update:
        update_proto(dialog);
        break;
    case k_proto_particles:
        open_particle_editor();
        break;
    case k_proto_menu_new:
        new_proto(dialog);
        break;
    case k_proto_menu_delete:
        delete_proto(dialog);
        break;
    case k_proto_menu_delete_unused:
        delete_unused(dialog);
        break;
    case k_proto_menu_export:
        export_proto(dialog);
        break;
    case k_proto_menu_import:
        import_proto(dialog);
        break;
    default:
        break;
    }
}

} // namespace

int32_t selected_proto(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_proto_list);
    if (row < 0)
        return -1;
    char text[k_row_size] = {};
    get_list_text(dialog, k_proto_list, row, text, sizeof text);
    return find_proto_by_list_name(text);
}

int32_t proto_row(dialog_handle dialog, int32_t index)
{
    if (index < 0)
        return -1;
    const int32_t rows = get_list_count(dialog, k_proto_list);
    char text[k_row_size] = {};
    for (int32_t r = 0; r < rows; ++r) {
        get_list_text(dialog, k_proto_list, r, text, sizeof text);
        if (parse_leading_int(text) == index && find_proto_by_list_name(text) == index)
            return r;
    }
    return -1;
}

void reselect_proto(dialog_handle dialog, int32_t index)
{
    set_list_sel(dialog, k_proto_list, proto_row(dialog, index));
    show_proto_in_editor(dialog);
}

int32_t add_proto_row(dialog_handle dialog, int32_t index)
{
    return add_list_string(dialog, k_proto_list, row_text(index).c_str());
}

std::string ask_existing_file(dialog_handle dialog, const char* title, const char* filter, const char* extension)
{
    const std::string path = ask_file_name(title, filter, extension, k_file_dialog_open, dialog);
    if (path.empty() || file_exists(path.c_str()) != 1)
        return {};
    return path;
}

void open_proto_editor()
{
    if (!g_proto_editor_window)
        create_dialog(proto_template(), proto_editor_proc);
}

bool proto_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_proto_editor_window, {open_page, run_command}, dialog, m);
}

int32_t proto_name_contains(int32_t index, const char* text)
{
    if (index < 0 || index >= int32_t(g_object_proto_count) || !text)
        return 0;
    const object_proto& p = g_object_protos[index];
    const std::string name(p.name, strnlen(p.name, sizeof p.name));
    return name.find(text) != std::string::npos ? 1 : 0;
}

int32_t find_proto_by_list_name(const char* row)
{
    if (!row)
        return -1;
    int32_t digits = 0;
    while (digits < 3 && row[digits] >= '0' && row[digits] <= '9')
        ++digits;
    if (digits == 0 || row[digits] != '-')
        return -1;
    const int32_t index = int32_t(parse_leading_int(row));
    if (index >= int32_t(g_object_proto_count))
        return -1;
    const object_proto& p = g_object_protos[index];
    return std::string(p.name, strnlen(p.name, sizeof p.name)) == row + digits + 1 ? index : -1;
}

void fill_proto_list(dialog_handle dialog)
{
    for (int32_t n = get_list_count(dialog, k_proto_list); n > 0; --n)
        delete_list_string(dialog, k_proto_list, n - 1);
    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        if (proto_name_contains(int32_t(s), g_proto_select_filter))
            add_proto_row(dialog, int32_t(s));
}

void show_proto_in_editor(dialog_handle window)
{
    g_map_dirty = 1;
    for (int32_t n = get_list_count(window, k_proto_textures); n > 0; --n)
        delete_list_string(window, k_proto_textures, n - 1);
    const int32_t index = selected_proto(window);
    g_shown_proto = -1;
    if (index < 0)
        return;
    g_shown_proto = index;
    g_editor.brush_proto = index;
    const object_proto& p = g_object_protos[index];

    for (int32_t n = get_list_count(window, k_proto_objects); n > 0; --n)
        delete_list_string(window, k_proto_objects, n - 1);
    char row[32];
    for (uint32_t i = 0; i < g_object_count; ++i) {
        if (g_objects[i].state != 0 && g_objects[i].proto == index) {
            std::snprintf(row, sizeof row, "object %u", i);
            add_list_string(window, k_proto_objects, row);
        }
    }
    if (g_editor.def_layers)
        g_active_layer = p.default_layer;
    if (g_work_mode == k_work_insert)
        rebuild_brush_preview(g_editor);
    const int32_t frames = std::clamp(p.frame_counts[0], 0, k_proto_frames);
    for (int32_t f = 0; f < frames; ++f)
        add_list_string(window, k_proto_textures, p.frame_names[f]);
    show_fields(window, p);
}

void select_next_proto()
{
    const dialog_handle d = g_proto_editor_window;
    const int32_t rows = get_list_count(d, k_proto_list);
    const int32_t row = get_list_sel(d, k_proto_list);
    if (rows > 0)
        set_list_sel(d, k_proto_list, row < 0 ? 0 : std::min(row + 1, rows - 1));
    show_proto_in_editor(d);
}

void select_prev_proto()
{
    const dialog_handle d = g_proto_editor_window;
    const int32_t row = get_list_sel(d, k_proto_list);
    if (row > 0)
        set_list_sel(d, k_proto_list, row - 1);
    show_proto_in_editor(d);
}
