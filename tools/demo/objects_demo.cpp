// The object prototypes of the demo: the mouse cursor's text prototype, sprite, 16-frame sprite,
// particle and surface prototypes written through the ".pr" saver, and their images.
#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "world/object_protos.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using texel_rule = std::function<uint32_t(uint32_t x, uint32_t y)>;

// The table slot the prototypes are built in before they are written.
constexpr int32_t k_scratch_slot = k_proto_slots - 1;

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return a << 24 | (r & 255) << 16 | (g & 255) << 8 | (b & 255);
}

void write_image(const std::string& name, uint32_t width, uint32_t height, const texel_rule& rule)
{
    std::vector<uint32_t> texels(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            texels[size_t(y) * width + x] = rule(x, y);
    require(write_image_file(name.c_str(), texels.data(), width, height), name);
}

// A soft disc whose colour comes from the rule's caller.
texel_rule disc(float radius, uint32_t r, uint32_t g, uint32_t b)
{
    return [=](uint32_t x, uint32_t y) {
        float dx = float(x) + 0.5f - radius, dy = float(y) + 0.5f - radius;
        float d = std::sqrt(dx * dx + dy * dy) / radius;
        return d >= 1.0f ? 0u : argb(uint32_t(255.0f * (1.0f - d * d)), r, g, b);
    };
}

// A flame of frame f: its height and colour flicker.
texel_rule flame(uint32_t f)
{
    return [=](uint32_t x, uint32_t y) {
        float height = 40.0f + 6.0f * float(f % 2) + 3.0f * float(f / 2);
        float dx = std::fabs(float(x) + 0.5f - 32.0f) / 14.0f, dy = (63.0f - float(y)) / height;
        if (y > 63 - 12)
            return argb(255, 90, 60, 30);  // the torch's handle
        if (dy > 1.0f || dx > 1.0f - dy)
            return 0u;
        return argb(230, 255, uint32_t(200.0f * (1.0f - dy)), 40);
    };
}

// Frame f of a turning wheel: a spoke at f x 22.5 degrees.
texel_rule wheel(uint32_t f)
{
    float angle = float(f) * 3.14159265f / 8.0f;
    return [=](uint32_t x, uint32_t y) {
        float dx = float(x) + 0.5f - 32.0f, dy = float(y) + 0.5f - 32.0f;
        float d = std::sqrt(dx * dx + dy * dy);
        if (d > 30.0f)
            return 0u;
        float across = std::fabs(dx * std::sin(angle) - dy * std::cos(angle));
        return across < 4.0f || d > 26.0f ? argb(255, 150, 110, 60) : argb(255, 90, 140, 200);
    };
}

// A meadow tile: grass with the tile's own shade and a stone at its centre.
texel_rule meadow(uint32_t c, uint32_t r)
{
    return [=](uint32_t x, uint32_t y) {
        uint32_t h = (x * 374761393u + y * 668265263u + (c * 7 + r) * 2246822519u);
        uint32_t n = ((h ^ (h >> 13)) * 1274126177u) >> 27;
        float dx = float(x) - 32.0f, dy = float(y) - 32.0f;
        if (dx * dx + dy * dy < 36.0f)
            return argb(255, 120, 120, 125);
        return argb(255, 40 + n + 8 * c, 110 + n, 30 + n + 10 * r);
    };
}

object_proto& fresh_proto(const char* name, int32_t kind, int32_t width, int32_t height)
{
    object_proto& p = g_object_protos[k_scratch_slot];
    p = object_proto{};
    reset_object_proto(&p);
    for (auto& animation : p.frames)
        for (int32_t& frame : animation)
            frame = -1;
    copy_bounded(p.name, sizeof p.name, name);
    p.kind = kind;
    p.width = width;
    p.height = height;
    return p;
}

void save_proto(const std::string& path)
{
    packed_stream* out = stream_open(path.c_str(), "wp");
    require(out != nullptr, path);
    bool written = write_object_proto(k_scratch_slot, out);
    require(stream_close(out) == 0 && written, path);
}

// Frames named "<stem>00.tga" upwards, each with its picture.
void add_frames(object_proto& p, const std::string& stem, int32_t count, const std::function<texel_rule(uint32_t)>& rule)
{
    p.frame_counts[0] = count;
    for (int32_t f = 0; f < count; ++f) {
        char name[k_proto_frame_name_size];
        std::snprintf(name, sizeof name, "%s%02d.tga", stem.c_str(), int(f));
        copy_bounded(p.frame_names[f], sizeof p.frame_names[f], name);
        write_image(name, 64, 64, rule(uint32_t(f)));
    }
}

void write_cursor()
{
    write_image("global/cursor00.tga", 32, 32, [](uint32_t x, uint32_t y) {
        return x <= y && x + y < 40 ? argb(255, 250, 240, 200) : 0u;
    });
    const std::string text = "mouse kind 0\r\n"
                             "width 32 height 32\r\n"
                             "frames 1 : global\\cursor00.tga\r\n"
                             "mode 1 delay 5\r\n";
    require(write_whole_file("global/mouse.txt", text.data(), text.size()), "global/mouse.txt");
}

void write_sprites()
{
    object_proto& torch = fresh_proto("torch", k_proto_sprite, 64, 64);
    add_frames(torch, "data/sprites/torch", 4, flame);
    torch.anim_mode = 1;
    torch.frame_delay = 6;
    torch.default_layer = 10;
    save_proto("data/objects/torch.pr");

    object_proto& wheel16 = fresh_proto("wheel", k_proto_sprite16, 64, 64);
    add_frames(wheel16, "data/sprites/wheel", 16, wheel);
    wheel16.anim_mode = 1;
    wheel16.frame_delay = 3;
    wheel16.default_layer = 10;
    save_proto("data/objects/wheel.pr");
}

struct particle_recipe {
    const char* path;
    const char* name;
    uint32_t r, g, b;
    int32_t shape;          // emitter shape
    float spread_x, spread_y;
    float velocity_x, velocity_y, wobble;
    float alpha, alpha_change;
    int32_t interval, lifetime;
};

void write_particles()
{
    write_image("data/sprites/spark00.tga", 16, 16, disc(8.0f, 255, 220, 120));
    write_image("data/sprites/drop00.tga", 8, 16, disc(4.0f, 170, 190, 255));
    write_image("data/sprites/flake00.tga", 16, 16, disc(8.0f, 255, 255, 255));
    write_image("data/sprites/mist00.tga", 64, 64, disc(32.0f, 200, 200, 210));
    write_image("data/sprites/blood00.tga", 16, 16, disc(8.0f, 150, 10, 10));
    const particle_recipe recipes[] = {
        {"data/objects/sparks.pr", "sparks", 255, 220, 120, 2, 12, 12, 0, -1.5f, 0.3f, 1.0f, 0.02f, 4, 60},
        {"data/env/rain.pr", "rain", 170, 190, 255, 0, 75, 100, 0.5f, 9.0f, 0, 0.7f, 0.0f, 6, 40},
        {"data/env/snow.pr", "snow", 255, 255, 255, 0, 75, 100, 0, 1.2f, 0.6f, 0.9f, 0.0f, 10, 200},
        {"data/env/fog.pr", "fog", 200, 200, 210, 3, 120, 80, 0.2f, 0, 0, 0.2f, 0.002f, 30, 300},
        {"data/env/blood0.pr", "blood0", 150, 10, 10, 2, 10, 10, 0, 0.5f, 0, 0.9f, 0.01f, 8, 50},
        {"data/env/bleed0.pr", "bleed0", 150, 10, 10, 0, 3, 2, 0, 1.5f, 0, 0.9f, 0.02f, 6, 30},
        {"data/env/wcircle.pr", "wcircle", 170, 190, 255, 3, 20, 14, 0, 0, 0, 0.6f, 0.01f, 12, 80},
    };
    const char* frames[] = {"data\\sprites\\spark00.tga", "data\\sprites\\drop00.tga", "data\\sprites\\flake00.tga",
                            "data\\sprites\\mist00.tga", "data\\sprites\\blood00.tga", "data\\sprites\\blood00.tga",
                            "data\\sprites\\drop00.tga"};
    for (size_t i = 0; i < std::size(recipes); ++i) {
        const particle_recipe& d = recipes[i];
        object_proto& p = fresh_proto(d.name, k_proto_particle, 16, 16);
        p.anim_count = d.shape;
        p.frame_counts[0] = 1;
        copy_bounded(p.frame_names[0], sizeof p.frame_names[0], frames[i]);
        p.spawn_spread[0] = d.spread_x;
        p.spawn_spread[1] = d.spread_y;
        p.velocity[0] = d.velocity_x;
        p.velocity[1] = d.velocity_y;
        p.velocity[2] = d.wobble;
        p.velocity_spread[0] = p.velocity_spread[1] = 0.2f;
        p.colour[0] = float(d.r) / 255.0f;
        p.colour[1] = float(d.g) / 255.0f;
        p.colour[2] = float(d.b) / 255.0f;
        p.colour[3] = d.alpha;
        p.colour_spread[3] = 0.1f;
        p.colour_change[3] = d.alpha_change;
        p.alpha_mode_value = 2.0f;  // fading from the start
        p.emit_interval = d.interval;
        p.particle_lifetime = d.lifetime;
        p.scale_spread = 0.2f;
        p.default_layer = 100;
        save_proto(d.path);
    }
}

// A surface of 4 x 3 tiles whose mask leaves out the last tile of the middle row.
void write_surface()
{
    constexpr int32_t columns = 4, rows = 3;
    require(make_folder("data/tiles/meadow"), "data/tiles/meadow");
    for (int32_t c = 0; c < columns; ++c) {
        for (int32_t r = 0; r < rows; ++r) {
            char name[64];
            std::snprintf(name, sizeof name, "data/tiles/meadow/%dx%d.tga", int(c * k_tile_size), int(r * k_tile_size));
            write_image(name, 64, 64, meadow(uint32_t(c), uint32_t(r)));
        }
    }
    std::vector<uint8_t> mask(size_t(columns * rows), 0);
    mask[size_t(3 + 1 * columns)] = 1;
    require(write_whole_file("data/tiles/meadow/maska.dat", mask.data(), mask.size()), "maska.dat");

    object_proto& p = fresh_proto("meadow", k_proto_surface, 64, 64);
    p.anim_count = columns;
    p.frame_counts[0] = rows;
    copy_bounded(p.frame_names[0], sizeof p.frame_names[0], "data\\tiles\\meadow\\0x0.tga");
    save_proto("data/objects/meadow.pr");
}

} // namespace

void write_objects_demo_data()
{
    for (const char* folder : {"global", "data/sprites", "data/objects", "data/env", "data/tiles"})
        require(make_folder(folder), folder);
    write_cursor();
    write_sprites();
    write_particles();
    write_surface();
    reset_object_proto(&g_object_protos[k_scratch_slot]);
}
