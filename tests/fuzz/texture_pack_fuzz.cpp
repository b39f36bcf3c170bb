// Splits the input into a pack index and a pixel file (the first byte gives the index's share
// in 124-byte entries), loads and adds the pack, draws every slot, writes the pack again, and
// reads the pixel file as a stream of pixel entries.
#include "engine/packed_stream.h"
#include "engine/quads.h"
#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"

#include "tests/fuzz/fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    static recording_device device(640, 480);
    g_d3d_device = &device;
    make_folder("data/levels");
    const size_t index_size = size == 0 ? 0 : std::min(size - 1, 4 + 124 * static_cast<size_t>(data[0]));
    const uint8_t* index = size ? data + 1 : data;
    write_fuzz_file("main.idx", index, index_size);
    write_fuzz_file("data/levels/main_eng.dat", index + index_size, size ? size - 1 - index_size : 0);

    load_texture_pack("main.idx");
    add_textures_from_pack("main.idx");
    if (g_texture_count < 0 || g_texture_count > k_texture_slots)
        std::abort();
    for (int32_t slot = 0; slot < g_texture_count; ++slot) {
        const texture_record& t = g_textures[slot];
        if (t.name[k_texture_name_size - 1] != '\0')
            std::abort();
        draw_texture_screen(slot, 10, 10, 1, 1, 0, 0, 0, 0, 1, 1, 1);
        if (t.surface && (t.width > k_pack_max_side || t.height > k_pack_max_side))
            std::abort();
    }
    save_texture_pack(0);
    clear_texture_table();

    // The same bytes as a stored packed stream of pixel entries.
    write_fuzz_file("entries.fn", reinterpret_cast<const uint8_t*>("AGP."), 4);
    if (std::FILE* f = std::fopen("entries.fn", "ab")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    if (packed_stream* in = stream_open("entries.fn", "rp")) {
        const int32_t slot = append_texture_slot("glyph");
        for (int i = 0; i < 8 && read_texture_pixels(slot, in) == 0; ++i)
            draw_texture_direct_screen(slot, 10, 10, 1, 1, 1, 1, 1);
        stream_close(in);
    }
    clear_texture_table();
    return 0;
}
