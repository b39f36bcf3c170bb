// Reads a level's objects section from the input and runs scripted frames of the editing mode
// and the box selection over it: whatever the records hold, the picked list stays within its 32
// entries and the held object, if any, names a slot of the array.
//
// Input: byte 0 the frame count n (at most 64); n frames of 6 bytes: a key (index into the
// mode's keys, others none), the buttons and modifiers (bits: left, right, middle, Ctrl, Shift,
// Alt), the mouse x and y in units of 4, the marker displacement x and y (signed); then the
// objects section.
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/view/box_selection.h"
#include "editor/view/object_mode.h"
#include "engine/packed_stream.h"
#include "level/level_map.h"
#include "platform/key_codes.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t k_frame_bytes = 6;
constexpr uint8_t k_keys[] = {
    k_key_return, k_key_numpad6, k_key_numpad4, k_key_delete, k_key_home, k_key_insert, k_key_numpad7,
    k_key_numpad5, k_key_o, k_key_a, k_key_z, k_key_s, k_key_x, k_key_e, k_key_back, k_key_backslash,
    k_key_1, k_key_0, k_key_l, k_key_n, k_key_m, k_key_add, k_key_subtract, k_key_space,
};

void make_protos()
{
    g_object_proto_count = 5;
    for (int32_t kind = 0; kind < 5; ++kind) {
        object_proto& p = g_object_protos[kind];
        reset_object_proto(&p);
        p.kind = kind;
        p.width = 16 + kind * 8;
        p.height = 24;
    }
}

void run_frame(fuzz_byte_reader& script)
{
    std::memset(g_key_state, 0, sizeof g_key_state);
    const uint8_t key = script.u8();
    if (key < std::size(k_keys))
        g_key_state[k_keys[key]] = k_key_down_bit;
    const uint8_t buttons = script.u8();
    g_mouse_left = buttons & 1;
    g_mouse_right = (buttons >> 1) & 1;
    g_mouse_middle = (buttons >> 2) & 1;
    const uint8_t modifiers[] = {k_key_lcontrol, k_key_lshift, k_key_lmenu};
    for (int m = 0; m < 3; ++m)
        if (buttons & (8 << m))
            g_key_state[modifiers[m]] = k_key_down_bit;
    g_mouse_x = g_brush_preview.x = float(script.u8()) * 4.0f;
    g_mouse_y = g_brush_preview.y = float(script.u8()) * 4.0f;
    g_marker_dx = int8_t(script.u8());
    g_marker_dy = int8_t(script.u8());
    g_ticks += 1;
    run_object_mode(g_editor);
    select_objects_in_box();
    if (g_editor.pick_count < 0 || g_editor.pick_count > k_max_picked_objects)
        std::abort();
    if (g_dragged_object < -1 || (g_dragged_object >= 0 && uint32_t(g_dragged_object) >= g_object_count))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    make_protos();
    g_work_mode = k_work_select;
    g_editor = editor_state{};
    g_editor.brush_efect_type = size > 1 ? int32_t(data[1] % 3) - 1 : -1;
    g_editor.brush_scale = g_editor.brush_alfa = 1.0f;
    g_dragged_object = -1;
    g_object_mode_latches = {};
    g_box_active = 0;
    g_active_layer = 0;
    g_zoom = 1.0f;

    const size_t frames = size ? std::min<size_t>(data[0], 64) : 0;
    const size_t script_size = std::min(size, 1 + frames * k_frame_bytes);
    const std::string path = fuzz_input_file(data + script_size, size - script_size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_objects_section(in);
    stream_close(in);

    fuzz_byte_reader script{data + 1, script_size > 0 ? script_size - 1 : 0};
    for (size_t f = 0; f < frames; ++f)
        run_frame(script);
    g_dragged_object = -1;
    free_objects();
    return 0;
}
