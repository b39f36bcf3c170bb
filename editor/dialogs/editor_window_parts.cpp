#include "editor/dialogs/editor_window_parts.h"

#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/message_box.h"
#include "engine/render_context.h"

#include <algorithm>
#include <string>

control_template* add_control(dialog_template& t, control_kind kind, int32_t id, int32_t x, int32_t y, int32_t width,
                              int32_t height, const char* text)
{
    t.controls.push_back(make_control(kind, id, x, y, width, height, text));
    return &t.controls.back();
}

void centre_on_screen(dialog_template& t)
{
    // The dialogs share the device's surface with the view; without a device, the view's size.
    const float width = g_d3d_device ? float(g_d3d_device->width()) : float(g_screen_width);
    const float height = g_d3d_device ? float(g_d3d_device->height()) : float(g_screen_height);
    t.x = std::max(0, int32_t((width - float(t.width) * k_dialog_unit_x) / 2));
    t.y = std::max(0, int32_t((height - float(t.height) * k_dialog_unit_y) / 2));
}

int32_t selected_record(dialog_handle dialog, int32_t list, uint32_t count, int32_t slots)
{
    const int32_t row = get_list_sel(dialog, list);
    return row >= 0 && uint32_t(row) < std::min<uint32_t>(count, uint32_t(slots)) ? row : -1;
}

void say_nothing_chosen(dialog_handle dialog, const char* record)
{
    const std::string text = std::string("No ") + record + " is chosen: nothing was updated.";
    message_box(dialog, text.c_str(), "update", message_box_kind::ok);
}
