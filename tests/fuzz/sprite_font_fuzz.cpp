// Loads the input as a sprite font file, then measures and draws text with it on a recording
// device: no crash, widths within their bounds, glyph slots that hold surfaces.
#include "engine/sprite_font.h"
#include "engine/textures.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"

#include "tests/fuzz/fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static recording_device device(1024, 768);
    g_d3d_device = &device;
    if (g_texture_count > k_texture_slots - 2 * k_sprite_font_glyphs)
        clear_texture_table();

    in_fuzz_folder scratch;
    const char* name = "main.fn";
    write_fuzz_file(name, data, size);

    sprite_font font = {};
    for (int32_t& slot : font.glyphs)
        slot = -1;
    load_sprite_font(&font, name);
    for (int32_t w : font.width)
        if (w < 0 || w > k_sprite_font_max_width)
            std::abort();
    for (int32_t slot : font.glyphs)
        if (slot != -1 && (slot < 0 || slot >= g_texture_count || !g_textures[slot].surface))
            std::abort();

    const char text[] = "Fuzz {!} ~\x80\xFF z";
    if (sprite_text_width(&font, text) > static_cast<int32_t>(sizeof text) * k_sprite_font_max_width)
        std::abort();
    draw_sprite_text(&font, 10.0f, 10.0f, text, 1.0f, 1.0f, 1.0f, 1.0f);
    device.clear_recording();

    load_sprite_font(&font, "");  // frees the glyphs
    return 0;
}
