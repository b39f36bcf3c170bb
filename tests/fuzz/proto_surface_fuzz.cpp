// Any bytes as a tile folder's "size.txt" and "mask.dat" (the first byte tells how many of the
// following bytes form size.txt, the rest is the mask) built into a surface prototype by the
// prototype editor: nothing may crash, the counts stay within the table, and the mask covers
// exactly the surface's tiles.
#include "tests/fuzz/fuzz_scratch.h"

#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/dialogs/proto_editor_internal.h"
#include "platform/files.h"
#include "world/object_protos.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    make_folder("tiles");
    const size_t split = size == 0 ? 0 : std::min<size_t>(data[0], size - 1);
    write_fuzz_file("tiles/size.txt", data + (size ? 1 : 0), split);
    write_fuzz_file("tiles/mask.dat", data + (size ? 1 + split : 0), size ? size - 1 - split : 0);

    g_object_proto_count = 0;
    const int32_t slot = add_empty_object_proto();
    g_object_protos[slot].kind = k_proto_surface;
    open_proto_editor();
    const dialog_handle page = g_proto_editor_window;
    set_list_sel(page, k_proto_list, 0);
    show_proto_in_editor(page);
    build_surface(page, slot, "tiles\\0x0.tga");
    const object_proto& p = g_object_protos[slot];
    if (p.anim_count < 0 || p.anim_count > k_proto_animations)
        std::abort();
    int32_t columns = 0, rows = 0;
    if (proto_mask(slot, &columns, &rows) && (columns != p.anim_count || rows != p.frame_counts[0]))
        std::abort();
    for (int32_t c = 0; c < p.anim_count; ++c)
        if (p.frame_counts[c] < 0 || p.frame_counts[c] > k_proto_frames)
            std::abort();
    destroy_dialog(page);
    unload_object_proto(slot, true);
    if (g_object_proto_count != 0)
        std::abort();
    return 0;
}
