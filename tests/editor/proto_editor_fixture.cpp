#include "editor/proto_editor_fixture.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "editor/dialogs/level_editor.h"
#include "editor/dialogs/particle_editor.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/windows/file_name_dialog.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <filesystem>
#include <memory>

void page_test::SetUp()
{
    object_test::SetUp();
    saved_.keep(g_proto_editor_window), saved_.keep(g_particle_editor_window), saved_.keep(g_level_editor_window);
    saved_.keep(g_shown_proto), saved_.keep(g_current_3d_part), saved_.keep(g_proto_select_filter);
    saved_.keep(g_map_dirty), saved_.keep(g_editor), saved_.keep(g_last_file_dir), saved_.keep(g_file_dialog_path);
    saved_.keep(g_camera_x), saved_.keep(g_camera_y);
    g_proto_editor_window = g_particle_editor_window = g_level_editor_window = 0;
    g_shown_proto = -1;
    g_current_3d_part = 0;
    g_proto_select_filter[0] = 0;
    g_map_dirty = 0;
    g_last_file_dir[0] = 0;
    g_editor.brush_proto = 0;
    g_editor.def_layers = 0;
}

void page_test::TearDown()
{
    destroy_all_dialogs();
    set_modal_responder({});
    saved_.restore();
    object_test::TearDown();
}

void page_test::choose(std::vector<std::string> names)
{
    auto queue = std::make_shared<std::vector<std::string>>(std::move(names));
    set_modal_responder([this, queue](dialog_handle modal) {
        const dialog_record* r = find_dialog(modal);
        if (r && !find_control(modal, k_chooser_name, control_kind::edit)) {
            std::string shown;
            for (const control_record& c : r->controls)
                if (c.source.kind == control_kind::static_text && !c.text.empty())
                    shown = c.text;
            boxes_.push_back(r->caption + ":" + shown);
            user_click(modal, k_id_ok);
            return false;
        }
        if (queue->empty())
            return false;
        const std::string name = queue->front();
        queue->erase(queue->begin());
        if (!name.empty()) {
            // Relative names are taken from the working folder, whichever folder the chooser shows.
            const std::filesystem::path full = std::filesystem::absolute(name);
            user_edit_text(modal, k_chooser_name, full.string());
            user_click(modal, k_id_ok);
        } else {
            user_click(modal, k_id_cancel);
        }
        return false;
    });
}




int32_t page_test::add_named(const char* name, int32_t kind)
{
    const int32_t slot = add_empty_object_proto();
    copy_bounded(g_object_protos[slot].name, sizeof g_object_protos[slot].name, name);
    g_object_protos[slot].kind = kind;
    return slot;
}

int32_t page_test::place(int32_t proto, uint8_t layer)
{
    const int32_t index = add_object(10.0f * float(g_object_count), 20.0f, proto, 1.0f, 1.0f, 0, 0);
    g_objects[index].layer = layer;
    return index;
}
