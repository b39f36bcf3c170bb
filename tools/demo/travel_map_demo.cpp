// The demo's travel map "data/levels/mapa_eng.sav": a gui level over the screen at view (0, 0),
// a parchment background, and for each of the 19 locations a rectangular area (sector i), a
// marker disc and a label banner carried by the entities the travel map names.
#include "tools/demo/demo_canvas.h"
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "core/utilities.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "script/entities.h"
#include "shell/travel_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int k_columns = 5;
constexpr float k_cell_width = 1024.0f / k_columns;
constexpr float k_cell_height = 768.0f / 4;

void write_image(const char* name, uint32_t width, uint32_t height, uint32_t (*texel)(uint32_t, uint32_t))
{
    std::vector<uint32_t> texels(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            texels[size_t(y) * width + x] = texel(x, y);
    require(write_image_file(name, texels.data(), width, height), name);
}

void write_map_images()
{
    write_image("data/sprites/map_parchment.tga", 512, 384, [](uint32_t x, uint32_t y) {
        uint32_t grain = (x * 2654435761u ^ y * 40503u) >> 28;
        bool border = x < 6 || y < 6 || x >= 506 || y >= 378;
        uint32_t r = border ? 110 : 215 - grain, g = border ? 80 : 190 - grain, b = border ? 50 : 140 - grain;
        return 0xFF000000u | r << 16 | g << 8 | b;
    });
    write_image("data/sprites/map_marker.tga", 64, 64, [](uint32_t x, uint32_t y) {
        float dx = float(x) - 31.5f, dy = float(y) - 31.5f;
        float d = std::sqrt(dx * dx + dy * dy) / 32.0f;
        return d >= 1.0f ? 0u : uint32_t(255.0f * (1.0f - d)) << 24 | 0xFFD040u;
    });
}

// The places of the valley, one per location, as their label banners name them.
const char* const k_location_names[k_map_locations] = {
    "The Gate", "The Yard", "Camp", "Mine", "Forest", "Arena", "Battlefield", "Camp field", "Cave",
    "Shrine", "Pass", "The Ruins", "Hell gate", "Vantiel hall", "Relic", "Oracle: Vell", "Oracle: Black",
    "Oracle: Snow", "Oracle",
};

// A label banner, as wide as a location's area allows and tall enough for letters of 16 pixels.
constexpr uint32_t k_label_width = 176, k_label_height = 36;

// "data/sprites/map_label<i>.tga": a banner carrying the location's name.
std::string write_label_image(int32_t location)
{
    canvas banner(k_label_width, k_label_height, 0xE0F0E0C0u);
    banner.frame(0, 0, int(k_label_width), int(k_label_height), 2, 0xFF503010u);
    banner.label(k_location_names[location], 0xFF302010u, 24);
    const std::string name = "data/sprites/map_label" + std::to_string(location) + ".tga";
    banner.save(name);
    return name;
}

} // namespace

void write_travel_map_demo_data()
{
    require(make_folder("data/sprites") && make_folder("data/levels"), "data/levels");
    write_map_images();
    clear_level_tables();
    int32_t parchment = sprite_proto("map", "data\\sprites\\map_parchment.tga", 512, 384);
    int32_t marker = sprite_proto("marker", "data\\sprites\\map_marker.tga", 64, 64);
    g_objects[place(parchment, 512.0f, 384.0f, 0, false)].scale = 2.0f;
    for (int32_t i = 0; i < k_map_locations; ++i) {
        float x0 = k_cell_width * float(i % k_columns), y0 = k_cell_height * float(i / k_columns);
        float cx = x0 + k_cell_width / 2, cy = y0 + k_cell_height / 2;
        add_rect_sector(x0 + 16.0f, y0 + 16.0f, x0 + k_cell_width - 16.0f, y0 + k_cell_height - 16.0f, 0);
        int32_t disc = place(marker, cx, cy - 16.0f, 10, false);
        g_objects[disc].alpha = 0.0f;
        add_object_entity(k_travel_map_markers[i], ("marker" + std::to_string(i)).c_str(), disc);
        const std::string label_image = write_label_image(i);
        const int32_t label = sprite_proto(("label" + std::to_string(i)).c_str(), label_image.c_str(),
                                           int32_t(k_label_width), int32_t(k_label_height));
        add_object_entity(k_travel_map_labels[i], ("label" + std::to_string(i)).c_str(), place(label, cx, cy + 40.0f, 11, false));
    }
    make_movemap(0.0f, 0.0f, 1024.0f, 768.0f, {});
    set_scene("Travel map", k_level_gui, 512.0f, 384.0f, 1.0f);
    g_scene_header.music_name[0] = '\0';
    save_level("data/levels/mapa_eng.sav");
    clear_level_tables();
}
