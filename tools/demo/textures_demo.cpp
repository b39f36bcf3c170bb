#include "tools/demo/demo_data.h"

#include "engine/texture_packs.h"
#include "engine/textures.h"
#include "level/level_saves.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "world/game_clock.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using texel_rule = std::function<uint32_t(uint32_t x, uint32_t y)>;

void write_image(const char* name, uint32_t width, uint32_t height, const texel_rule& rule)
{
    std::vector<uint32_t> texels(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            texels[static_cast<size_t>(y) * width + x] = rule(x, y);
    require(write_image_file(name, texels.data(), width, height), name);
}

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return a << 24 | r << 16 | g << 8 | b;
}

// A small hash for texture grain.
uint32_t grain(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return (h ^ (h >> 16)) & 31;
}

// Isometric floor tiles: a diamond of ground on a transparent field.
texel_rule tile(uint32_t r, uint32_t g, uint32_t b, uint32_t seed)
{
    return [=](uint32_t x, uint32_t y) {
        const float dx = std::fabs(x + 0.5f - 32.0f) / 32.0f, dy = std::fabs(y + 0.5f - 16.0f) / 16.0f;
        if (dx + dy > 1.0f)
            return 0u;
        const uint32_t n = grain(x, y, seed);
        return argb(255, r + n, g + n, b + n);
    };
}

// A round sprite with a soft edge: a bush or a barrel top.
texel_rule round_sprite(uint32_t r, uint32_t g, uint32_t b)
{
    return [=](uint32_t x, uint32_t y) {
        const float dx = x + 0.5f - 32.0f, dy = y + 0.5f - 32.0f;
        const float d = std::sqrt(dx * dx + dy * dy) / 30.0f;
        if (d >= 1.0f)
            return 0u;
        const uint32_t shade = static_cast<uint32_t>(60.0f * (1.0f - d));
        const uint32_t alpha = d > 0.85f ? static_cast<uint32_t>(255.0f * (1.0f - d) / 0.15f) : 255u;
        return argb(alpha, r + shade, g + shade, b + shade / 2);
    };
}

// A selection ring in the given colour.
texel_rule ring(uint32_t r, uint32_t g, uint32_t b)
{
    return [=](uint32_t x, uint32_t y) {
        const float dx = x + 0.5f - 16.0f, dy = y + 0.5f - 16.0f;
        const float d = std::sqrt(dx * dx + dy * dy);
        return d > 11.0f && d < 15.0f ? argb(255, r, g, b) : argb(255, 0, 0, 0);
    };
}

texel_rule solid(uint32_t r, uint32_t g, uint32_t b)
{
    return [=](uint32_t, uint32_t) { return argb(255, r, g, b); };
}

struct demo_image {
    const char* name;
    uint32_t width, height;
    texel_rule rule;
};

} // namespace

void write_texture_demo_data()
{
    for (const char* folder : {"global", "data/levels", "data/tiles", "data/sprites"})
        require(make_folder(folder), folder);

    // The fixed images of start-up.
    write_image("global/select.bmp", 32, 32, ring(240, 220, 80));
    write_image("global/select2.bmp", 32, 32, ring(80, 220, 240));
    write_image("global/select3.bmp", 32, 32, ring(240, 80, 80));
    write_image("global/select4.bmp", 32, 32, ring(120, 240, 120));
    write_image("global/close.bmp", 16, 16, [](uint32_t x, uint32_t y) {
        return x == y || x + y == 15 ? argb(255, 230, 230, 230) : argb(255, 90, 20, 20);
    });
    write_image("global/black.tga", 64, 64, solid(0, 0, 0));
    write_image("global/red.tga", 64, 64, solid(255, 0, 0));
    write_image("global/green.tga", 64, 64, solid(0, 255, 0));
    write_image("global/blue.tga", 64, 64, solid(0, 0, 255));

    // Ground tiles and sprites, as files and in the language's texture pack.
    const demo_image pack_images[] = {
        {"data/tiles/grass.tga", 64, 32, tile(40, 110, 30, 1)},
        {"data/tiles/dirt.tga", 64, 32, tile(110, 80, 45, 2)},
        {"data/tiles/stone.tga", 64, 32, tile(110, 110, 115, 3)},
        {"data/sprites/bush.tga", 64, 64, round_sprite(30, 120, 30)},
        {"data/sprites/barrel.tga", 64, 64, round_sprite(120, 70, 30)},
    };
    for (const demo_image& image : pack_images)
        write_image(image.name, image.width, image.height, image.rule);

    recording_device device(1024, 768);
    render_device* previous = g_d3d_device;
    g_d3d_device = &device;
    clear_texture_table();
    for (const demo_image& image : pack_images)
        require(get_texture(image.name, 0, 0, 1, 0, 1, 0) >= 0 && g_textures[g_texture_count - 1].surface,
                image.name);
    std::snprintf(g_map_path, sizeof g_map_path, "data/levels/main_eng.dat");
    require(save_texture_pack(1) == 0, "data/levels/main_eng.dat");
    clear_texture_table();
    g_map_path[0] = '\0';
    g_d3d_device = previous;
}
