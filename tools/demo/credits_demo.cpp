// The credits level "data/levels/credits.sav" and the final level "data/levels/final_eng.sav":
// gui levels whose pictures are text cards carried by entities, as the credits and the ending
// show them.
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "interface/credits.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "platform/text_renderer.h"
#include "script/entities.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// The credits' view: the camera the front end sets, on a 1024 x 768 screen.
constexpr float k_credits_x = -630.0f + 512.0f;
constexpr float k_credits_y = -1599.0f + 384.0f;
// The ending's view: the camera the end sequence sets.
constexpr float k_final_x = -2366.0f + 512.0f;
constexpr float k_final_y = -414.0f + 384.0f;

struct card {
    uint32_t width, height;
    std::vector<uint32_t> texels;
};

// The lines centred one under the other in the face's size and colour over `ground`; without an
// installed face the card keeps its ground and frame.
card text_card(uint32_t width, uint32_t height, const std::vector<std::string>& lines, int size, uint32_t colour,
               uint32_t ground)
{
    card c{width, height, std::vector<uint32_t>(size_t(width) * height, ground)};
    if (ground >> 24)
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                if (x < 3 || y < 3 || x + 3 >= width || y + 3 >= height)
                    c.texels[size_t(y) * width + x] = colour;
    text_face_request request;
    request.cell_height = size;
    std::string error;
    std::unique_ptr<text_face> face = text_face::open(request, error);
    if (!face)
        return c;
    int top = (int(height) - size * int(lines.size())) / 2;
    for (const std::string& line : lines) {
        std::vector<text_glyph> glyphs(line.size());
        int width_of_line = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            face->render(windows_1252_to_unicode(uint8_t(line[i])), glyphs[i]);
            width_of_line += glyphs[i].advance;
        }
        int pen = (int(width) - width_of_line) / 2;
        for (const text_glyph& g : glyphs) {
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < g.width; ++x) {
                    const int px = pen + g.left + x, py = top + g.top + y;
                    const uint32_t cover = g.coverage[size_t(y) * size_t(g.width) + size_t(x)];
                    if (cover > 0 && px >= 0 && py >= 0 && px < int(width) && py < int(height)) {
                        uint32_t& t = c.texels[size_t(py) * width + size_t(px)];
                        t = std::max(cover, t >> 24) << 24 | (colour & 0xFFFFFF);
                    }
                }
            pen += g.advance;
        }
        top += size;
    }
    return c;
}

// Writes the card as "data/sprites/<name>.tga" and places it as a sprite of its own at (x, y) on
// the layer with the alpha; the object's index.
int32_t place_card(const char* name, const card& c, float x, float y, uint8_t layer, float alpha)
{
    const std::string file = std::string("data/sprites/") + name + ".tga";
    require(write_image_file(file.c_str(), c.texels.data(), c.width, c.height), file);
    const std::string image = std::string("data\\sprites\\") + name + ".tga";
    const int32_t object = place(sprite_proto(name, image.c_str(), int32_t(c.width), int32_t(c.height)), x, y, layer, false);
    g_objects[object].alpha = alpha;
    return object;
}

void write_credits_level()
{
    struct group {
        const char* heading;
        std::vector<std::string> lines;
    };
    const group groups[k_credits_groups] = {
        {"ZORV", {"a tale of the old gate"}},
        {"Story and rules", {"the quests of the valley", "the gate, the yard and the shrine"}},
        {"World and levels", {"drawn and placed in the built-in editor"}},
        {"Pictures, voices and music", {"made by the demo data writer"}},
        {"Tested", {"frame by frame, on a clock that waits"}},
        {"Thank you for playing", {"click or press Esc to return"}},
    };
    clear_level_tables();
    for (int16_t g = 0; g < k_credits_groups; ++g) {
        const std::string stem = "credits" + std::to_string(g);
        const card heading = text_card(640, 64, {groups[g].heading}, 40, 0xFFF0D890u, 0);
        const card lines = text_card(640, 96, groups[g].lines, 26, 0xFFE0E0E0u, 0);
        add_object_entity(g, stem.c_str(), place_card((stem + "a").c_str(), heading, k_credits_x, k_credits_y - 60.0f, 10, 0.0f));
        add_object_entity(g, stem.c_str(), place_card((stem + "b").c_str(), lines, k_credits_x, k_credits_y + 30.0f, 10, 0.0f));
    }
    make_movemap(k_credits_x - 512.0f, k_credits_y - 384.0f, k_credits_x + 512.0f, k_credits_y + 384.0f, {});
    set_scene("Credits", k_level_gui, k_credits_x, k_credits_y, 1.0f);
    save_level("data/levels/credits.sav");
}

// Entities 0 to 18 of the final level, each named; those without pictures hold none.
void name_final_entities()
{
    for (int16_t e = 0; e < 19; ++e) {
        entity_record& r = g_entities[e];
        r = entity_record{};
        std::snprintf(r.name, sizeof r.name, "final%d", int(e));
        r.sector = -1;
        r.link = -1;
    }
    g_entity_count = 19;
}

void add_final_card(int16_t entity, const char* name, const card& c, float x, float y, uint8_t layer)
{
    const char* kept = g_entities[entity].name;
    add_object_entity(entity, std::string(kept).c_str(), place_card(name, c, x, y, layer, 0.0f));
}

void write_final_level()
{
    clear_level_tables();
    name_final_entities();
    const uint32_t frame = 0xFFE8C060u, ground = 0xE0201810u;
    add_final_card(0, "final_told", text_card(720, 80, {"The gate is closed", "and the tale of the valley is told"}, 30, frame, 0),
                   k_final_x, k_final_y - 280.0f, 10);
    const float left = k_final_x - 230.0f, right = k_final_x + 230.0f, row = k_final_y + 10.0f;
    add_final_card(1, "final_mercenary", text_card(400, 260, {"Mercenary", "", "You sold your sword", "to whoever paid"}, 28, frame, ground), left, row, 10);
    add_final_card(4, "final_benevolent", text_card(400, 260, {"Benevolent", "", "You helped those", "who could not pay"}, 28, frame, ground), left, row, 10);
    add_final_card(2, "final_betrayer", text_card(400, 260, {"Betrayer", "", "You opened the gate", "to the enemy"}, 28, frame, ground), right, row, 10);
    add_final_card(5, "final_defender", text_card(400, 260, {"Defender", "", "You held the gate", "to the last"}, 28, frame, ground), right, row, 10);

    card night{1024, 768, std::vector<uint32_t>(size_t(1024) * 768)};
    for (uint32_t y = 0; y < night.height; ++y)
        for (uint32_t x = 0; x < night.width; ++x)
            night.texels[size_t(y) * night.width + x] = 0xFF000000u | (10 + y / 24) << 16 | (12 + y / 20) << 8 | (30 + y / 10);
    add_final_card(8, "final_night", night, k_final_x, k_final_y, 0);
    for (int16_t e = 9; e <= 13; ++e) {
        card star{48, 48, std::vector<uint32_t>(48 * 48)};
        for (uint32_t y = 0; y < 48; ++y)
            for (uint32_t x = 0; x < 48; ++x) {
                const float dx = float(x) - 23.5f, dy = float(y) - 23.5f;
                const float d = std::sqrt(dx * dx + dy * dy) / 24.0f;
                star.texels[size_t(y) * 48 + x] = d >= 1.0f ? 0u : uint32_t(255.0f * (1.0f - d)) << 24 | 0xFFF0C0u;
            }
        const std::string name = "final_star" + std::to_string(e);
        add_final_card(e, name.c_str(), star, k_final_x + 160.0f * float(e - 11), k_final_y + 260.0f, 5);
    }
    const char* const titles[] = {"Warrior", "Adept", "Archmage", "Legend", "Immortal"};
    for (int16_t rank = 0; rank < 5; ++rank) {
        const std::string name = "final_title" + std::to_string(rank);
        add_final_card(int16_t(14 + rank), name.c_str(),
                       text_card(640, 140, {"Your title", titles[rank]}, 56, 0xFFF8E0A0u, 0), k_final_x, k_final_y - 40.0f, 10);
    }
    make_movemap(k_final_x - 512.0f, k_final_y - 384.0f, k_final_x + 512.0f, k_final_y + 384.0f, {});
    set_scene("The end", k_level_gui, k_final_x, k_final_y, 1.0f);
    g_scene_header.music_name[0] = '\0';
    save_level("data/levels/final_eng.sav");
}

} // namespace

void write_credits_demo_data()
{
    require(make_folder("data/sprites") && make_folder("data/levels"), "data/levels");
    write_credits_level();
    write_final_level();
    clear_level_tables();
}
