// The slide shows' pictures, drawn here as whole pictures and cut into the 64 x 64 tiles
// "<x>x<y>.tga"; the chapter list and the subtitles of the demo narrations.
#include "tools/demo/demo_data.h"

#include "platform/files.h"
#include "platform/image_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int k_tile = 64;
constexpr int k_columns = 16;

// The colour 0xAARRGGBB of picture pixel (x, y).
using picture_rule = std::function<uint32_t(float x, float y)>;

uint32_t opaque(float r, float g, float b)
{
    auto channel = [](float v) { return uint32_t(std::clamp(v, 0.0f, 255.0f)); };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

float mix(float a, float b, float t)
{
    return a + (b - a) * std::clamp(t, 0.0f, 1.0f);
}

// A small hash of a pixel, 0 to 1, for stars and grain.
float speckle(float x, float y)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// Writes the picture's tiles into a scratch folder beside `folder` and puts the folder in place
// once every tile is written. The tiles are many small files: they are written directly rather
// than each synced on its own.
void write_tiles(const char* folder, int rows, const picture_rule& rule)
{
    const std::filesystem::path target = std::filesystem::path(folder).parent_path();
    const std::filesystem::path scratch = target.string() + ".part";
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
    require(std::filesystem::create_directories(scratch, ec), scratch.string());
    std::vector<uint32_t> texels(k_tile * k_tile);
    std::vector<uint8_t> bytes;
    for (int c = 0; c < k_columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            for (int y = 0; y < k_tile; ++y)
                for (int x = 0; x < k_tile; ++x)
                    texels[size_t(y * k_tile + x)] = rule(float(c * k_tile + x), float(r * k_tile + y));
            const std::string name = (scratch / (std::to_string(k_tile * c) + "x" + std::to_string(k_tile * r) + ".tga")).string();
            require(encode_image(texels.data(), k_tile, k_tile, image_file_kind::tga, bytes), name);
            std::FILE* file = std::fopen(name.c_str(), "wb");
            bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
            ok = file && std::fclose(file) == 0 && ok;
            require(ok, name);
        }
    }
    std::filesystem::remove_all(target, ec);
    std::filesystem::rename(scratch, target, ec);
    require(!ec, folder);
}

// The intro's 1024 x 1408 picture: a starry night sky over a moon, ridges of mountains and a
// valley with a lit gate at the bottom, where the pan ends.
uint32_t night_valley(float x, float y)
{
    const float far_ridge = 700.0f + 90.0f * std::sin(x / 140.0f) + 40.0f * std::sin(x / 37.0f);
    const float near_ridge = 980.0f + 70.0f * std::sin(x / 210.0f + 1.0f) + 25.0f * std::sin(x / 53.0f);
    if (y > 1200.0f) {
        const bool gate = std::fabs(x - 512.0f) < 90.0f && y > 1130.0f;
        const bool doorway = std::fabs(x - 512.0f) < 30.0f && y > 1230.0f;
        if (doorway)
            return opaque(230, 170, 80);
        const float grain = 12.0f * speckle(x, y);
        return gate ? opaque(60 + grain, 55 + grain, 60) : opaque(30 + grain, 45 + grain, 30);
    }
    if (std::fabs(x - 512.0f) < 90.0f && y > 1130.0f)
        return opaque(60, 55, 60);
    if (y > near_ridge)
        return opaque(25, 35, 45);
    if (y > far_ridge)
        return opaque(45, 55, 80);
    const float dx = x - 720.0f, dy = y - 300.0f;
    const float moon = std::sqrt(dx * dx + dy * dy);
    if (moon < 70.0f)
        return opaque(235, 230, 200);
    const float t = y / 900.0f;
    const float glow = std::max(0.0f, 1.0f - moon / 260.0f) * 40.0f;
    if (speckle(x, y) > 0.9985f)
        return opaque(255, 255, 240);
    return opaque(mix(10, 70, t) + glow, mix(12, 40, t) + glow, mix(40, 90, t) + glow);
}

// Chapter picture 1, 1024 x 768: the town gate at dusk, two towers and an arch against an
// orange sky.
uint32_t gate_at_dusk(float x, float y)
{
    const float ground = 600.0f;
    const bool tower = (std::fabs(x - 360.0f) < 70.0f || std::fabs(x - 664.0f) < 70.0f) && y > 220.0f;
    const bool wall = std::fabs(x - 512.0f) < 230.0f && y > 330.0f;
    const float ax = (x - 512.0f) / 90.0f, ay = (y - 470.0f) / 140.0f;
    const bool arch = (ax * ax + ay * ay < 1.0f || (std::fabs(x - 512.0f) < 90.0f && y > 470.0f)) && y < ground;
    if ((tower || wall) && !arch)
        return opaque(50 + 10 * speckle(x, y), 40, 45);
    if (arch)
        return opaque(240, 180, 90);
    if (y > ground)
        return opaque(70 + 20 * speckle(x, y), 55, 35);
    const float t = y / ground;
    return opaque(mix(60, 250, t), mix(50, 140, t), mix(110, 60, t));
}

// Chapter picture 2, 1024 x 768: a road winding through green hills towards a rising sun.
uint32_t road_at_dawn(float x, float y)
{
    const float hills = 380.0f + 50.0f * std::sin(x / 120.0f) + 20.0f * std::sin(x / 41.0f);
    if (y > hills) {
        const float centre = 512.0f + 150.0f * std::sin(y / 90.0f) * (768.0f - y) / 400.0f;
        const float half_width = 10.0f + (y - hills) * 0.35f;
        if (std::fabs(x - centre) < half_width)
            return opaque(170, 150, 110);
        return opaque(50 + 20 * speckle(x, y), 120 + 30 * speckle(y, x), 50);
    }
    const float dx = x - 300.0f, dy = y - 330.0f;
    if (dx * dx + dy * dy < 60.0f * 60.0f)
        return opaque(255, 230, 150);
    const float t = y / hills;
    return opaque(mix(120, 250, t), mix(170, 200, t), mix(230, 170, t));
}

void write_text(const char* name, const std::string& text)
{
    require(write_whole_file(name, text.data(), text.size()), name);
}

// A subtitle in the lower part of the screen: one markup line of white text.
std::string subtitle(const char* text)
{
    return std::string("^window 112 620 800 100 ^gl_a 0.6 ^c 1 1 1 1 ") + text + " ^l\r\n";
}

} // namespace

void write_slides_demo_data()
{
    require(make_folder("data/slides"), "data/slides");
    write_tiles("data/slides/zudevu/", 22, night_valley);
    write_tiles("data/slides/1/", 12, gate_at_dusk);
    write_tiles("data/slides/2/", 12, road_at_dawn);
    // Two entries: picture 1 with narration 1 (parts 1.1 and 1.2), picture 2 with narration 2.
    write_text("data/slides/chapter1.txt", "2\r\n1 1\r\n2 2\r\n");

    require(make_folder("data/sound/slide/eng"), "data/sound/slide/eng");
    const std::pair<const char*, const char*> subtitles[] = {
        {"m1", "Long before the gate was raised, the valley slept under the old moon."},
        {"m2", "Then the travellers came down from the mountains, and the lights of the town were lit."},
        {"1.1", "The town gate stood open at dusk, as it had for a hundred years."},
        {"1.2", "But that evening the watchmen did not come back from the road."},
        {"2.1", "At dawn you set out along the road yourself."},
        {"e1.1", "And so the valley slept again, and the gate was closed."},
    };
    for (const auto& [name, text] : subtitles) {
        const std::string path = std::string("data/sound/slide/eng/") + name + ".txt";
        write_text(path.c_str(), subtitle(text));
    }
}
