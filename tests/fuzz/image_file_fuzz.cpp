// Decodes the input as an image file and makes textures of it in every format, directly and
// through the texture table.
#include "engine/textures.h"
#include "platform/image_loader.h"
#include "platform/recording_device.h"
#include "platform/texture_image.h"
#include "shell/device_setup.h"

#include "tests/fuzz/fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    write_fuzz_file("input.tga", data, size);
    static recording_device device(640, 480);
    g_d3d_device = &device;

    decoded_image image;
    std::string error;
    if (decode_image_file("input.tga", image, error)) {
        if (image.argb.size() != static_cast<size_t>(image.width) * image.height)
            std::abort();
        for (uint32_t format : {0u, 2u, 4u, 10u, 19u}) {
            device_texture* t = create_texture_from_image(device, image, format, format == 2, error);
            if (!t || t->width > k_texture_max_side || t->height > k_texture_max_side)
                std::abort();
            device.release_texture(t);
        }
    }
    const int32_t slot = get_texture("input.tga", 0, 0, 0, 0, 2, 0);
    if (slot < 0 || ensure_texture(slot) != (g_textures[slot].surface ? 0 : -1))
        std::abort();
    clear_texture_table();
    return 0;
}
