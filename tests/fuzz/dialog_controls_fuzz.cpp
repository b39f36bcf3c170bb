// Dialogs driven by any bytes: helper calls, the user's acts, timers, ends and closes, with
// procedures that change their controls and end dialogs while they run, and frames drawn with
// ImGui on a recording device under injected mouse, key and text events. Nothing may crash,
// and every selection stays -1 or below its row count.
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/gui/dialog_screen.h"
#include "engine/render_context.h"
#include "platform/input.h"
#include "platform/recording_device.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum : int32_t { k_button = 1, k_check = 2, k_radio = 3, k_edit = 4, k_list = 5, k_combo = 6, k_typed = 7,
                 k_slider = 8, k_tabs = 9, k_view = 10, k_label = 11 };
constexpr int32_t k_ids = 12; // identifiers 0 to 11, 0 and those beyond missing

struct byte_reader {
    const uint8_t* data;
    size_t size, at = 0;
    bool more() const { return at < size; }
    uint8_t next() { return at < size ? data[at++] : 0; }
    int32_t small() { return int32_t(next() % 12) - 2; } // rows -2 to 9
    std::string text()
    {
        std::string s;
        for (uint8_t n = next() % 6; n > 0; --n)
            s += char("aAbB\xE9z"[next() % 6]);
        return s;
    }
};

byte_reader* g_bytes = nullptr;
int g_depth = 0;
std::vector<dialog_handle> g_handles;

dialog_template fuzz_template()
{
    dialog_template t;
    t.caption = "fuzz";
    t.width = 200;
    t.height = 150;
    t.menu = {{"m", 0, {{"item", 100, {}}}}};
    t.controls = {
        make_control(control_kind::button, k_button, 0, 0, 10, 10, "b"),
        make_control(control_kind::check, k_check, 0, 0, 10, 10, "c", k_style_three_state),
        make_control(control_kind::radio, k_radio, 0, 0, 10, 10, "r"),
        make_control(control_kind::edit, k_edit, 0, 0, 10, 10),
        make_control(control_kind::list_box, k_list, 0, 0, 10, 10, "", k_style_sorted),
        make_control(control_kind::combo, k_combo, 0, 0, 10, 10),
        make_control(control_kind::combo, k_typed, 0, 0, 10, 10, "", k_style_editable | k_style_sorted),
        make_control(control_kind::slider, k_slider, 0, 0, 10, 10),
        make_control(control_kind::tabs, k_tabs, 0, 0, 10, 10),
        make_control(control_kind::list_view, k_view, 0, 0, 10, 10),
        make_control(control_kind::static_text, k_label, 0, 0, 10, 10),
    };
    t.controls[3].limit = 5;
    t.controls[8].items = {"x", "y"};
    t.controls[9].items = {"a", "b", "c"};
    return t;
}

void check_selections()
{
    for (dialog_handle d : live_dialogs()) {
        for (const control_record& c : find_dialog(d)->controls) {
            const int32_t rows = int32_t(c.source.kind == control_kind::list_view ? c.view_rows.size() : c.rows.size());
            if (c.selection < -1 || c.selection >= rows)
                std::abort();
        }
        const int32_t view = get_listview_selection(d, k_view);
        if (view < -1 || view >= int32_t(find_control(d, k_view, control_kind::list_view)->view_rows.size()))
            std::abort();
        const control_record* slider = find_control(d, k_slider, control_kind::slider);
        const int32_t position = get_slider_pos(d, k_slider);
        if (position < std::min(slider->range_min, slider->range_max) ||
            position > std::max(slider->range_min, slider->range_max))
            std::abort();
    }
}

dialog_handle pick_dialog()
{
    return g_handles.empty() ? 0 : g_handles[g_bytes->next() % g_handles.size()];
}

void act(dialog_handle d);

// What a procedure does with a command: sometimes acts again (a few levels deep at most).
bool fuzz_procedure(dialog_handle d, const dialog_message& m)
{
    if (m.kind != dialog_message_kind::command || g_depth >= 3 || !g_bytes->more())
        return g_bytes->next() & 1;
    ++g_depth;
    act(g_bytes->next() & 1 ? d : pick_dialog());
    --g_depth;
    return true;
}

void act(dialog_handle d)
{
    byte_reader& b = *g_bytes;
    const int32_t id = int32_t(b.next() % k_ids);
    char buffer[16];
    switch (b.next() % 34) {
    case 0: add_list_string(d, id, b.text().c_str()); break;
    case 1: insert_list_string(d, id, b.small(), b.text().c_str()); break;
    case 2: delete_list_string(d, id, b.small()); break;
    case 3: set_list_sel(d, id, b.small()); break;
    case 4: get_list_text(d, id, b.small(), buffer, int32_t(b.next() % 20) - 2); break;
    case 5: add_combo_string(d, id, b.text().c_str()); break;
    case 6: insert_combo_string(d, id, b.small(), b.text().c_str()); break;
    case 7: delete_combo_string(d, id, b.small()); break;
    case 8: set_combo_sel(d, id, b.small()); break;
    case 9: find_combo_string(d, id, b.small(), b.text().c_str()); break;
    case 10: select_combo_string(d, id, b.small(), b.text().c_str()); break;
    case 11: get_combo_text(d, id, b.small(), buffer, int32_t(b.next() % 20) - 2); break;
    case 12: set_item_text(d, id, b.text().c_str()); break;
    case 13: get_item_text(d, id, buffer, int32_t(b.next() % 20) - 2); break;
    case 14: enable_item(d, id, b.next() & 1); break;
    case 15: set_check(d, id, int32_t(b.next()) - 128); break;
    case 16: set_slider_range(d, id, int32_t(b.next() << 16 | b.next()) - 30000, int32_t(b.next()) * 300); break;
    case 17: set_slider_pos(d, id, int32_t(b.next()) * 500 - 60000); break;
    case 18: set_listview_cell(d, id, b.small(), b.next(), b.text().c_str()); break;
    case 19: delete_listview_selection(d, id); break;
    case 20: clear_listview(d, id); break;
    case 21: user_click(d, id); break;
    case 22: user_type(d, id, b.text() + (b.next() & 1 ? "\b" : "")); break;
    case 23: user_choose(d, id, b.small()); break;
    case 24: user_toggle_row(d, id, b.small()); break;
    case 25: user_double_click(d, id, b.small()); break;
    case 26: user_open_combo(d, id, b.next() & 1); break;
    case 27: user_slide(d, id, int32_t(b.next()) * 300 - 1000); break;
    case 28: user_pick_menu(d, b.next() & 1 ? 100 : id); break;
    case 29: b.next() & 1 ? user_press_enter(d) : user_press_escape(d); break;
    case 30: user_close(d); break;
    case 31: b.next() & 1 ? end_dialog(d, id) : destroy_dialog(d); break;
    case 32: set_timer(d, id, b.next() % 3); break;
    case 33: set_tab_sel(d, id, b.small()); break;
    }
}

// A frame of the screen after a few injected events over the dialogs' area.
void screen_frame(byte_reader& b)
{
    static recording_device device(640, 480);
    for (uint8_t n = b.next() % 4; n > 0; --n) {
        input_event e{input_event_kind(uint8_t(input_event_kind::key) + b.next() % 6)};
        e.code = b.next() % 4 == 0 ? uint8_t(b.next()) : uint8_t(b.next() % 3);
        e.down = b.next() & 1;
        e.x = int32_t(b.next()) * 2;
        e.y = int32_t(b.next()) * 2;
        e.wheel = int32_t(b.next() % 5) - 2;
        e.character = b.next() % 8 == 0 ? 0x20AC : b.next();
        input_inject(e);
    }
    input_drain();
    render_device* saved = g_d3d_device;
    g_d3d_device = &device;
    run_dialog_frame();
    device.clear_recording();
    g_d3d_device = saved;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    byte_reader bytes{data, size};
    g_bytes = &bytes;
    g_handles.clear();
    uint32_t now = 0;
    while (bytes.more()) {
        const uint8_t op = bytes.next();
        if (op < 16 || g_handles.empty())
            g_handles.push_back(create_dialog(fuzz_template(), fuzz_procedure, op));
        else if (op < 24)
            dialog_frame_step(now += op % 4);
        else if (op < 40)
            screen_frame(bytes);
        else
            act(pick_dialog());
        check_selections();
    }
    destroy_all_dialogs();
    input_reset();
    g_bytes = nullptr;
    return 0;
}
