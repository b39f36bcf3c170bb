#include "tools/demo/demo_canvas.h"

#include "tools/demo/demo_data.h"

#include "platform/image_writer.h"
#include "platform/text_renderer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return a << 24 | std::min(r, 255u) << 16 | std::min(g, 255u) << 8 | std::min(b, 255u);
}

uint32_t shade(uint32_t colour, float factor)
{
    const auto channel = [&](int shift) { return uint32_t(std::min(255.0f, float((colour >> shift) & 0xFF) * factor)); };
    return argb(colour >> 24, channel(16), channel(8), channel(0));
}

canvas::canvas(uint32_t w, uint32_t h, uint32_t fill) : width(w), height(h), texels(size_t(w) * h, fill) {}

void canvas::put(int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < int(width) && y < int(height))
        texels[size_t(y) * width + size_t(x)] = colour;
}

void canvas::rect(int x0, int y0, int x1, int y1, uint32_t colour)
{
    for (int y = std::max(y0, 0); y < std::min(y1, int(height)); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, int(width)); ++x)
            texels[size_t(y) * width + size_t(x)] = colour;
}

void canvas::frame(int x0, int y0, int x1, int y1, int t, uint32_t colour)
{
    rect(x0, y0, x1, y0 + t, colour);
    rect(x0, y1 - t, x1, y1, colour);
    rect(x0, y0, x0 + t, y1, colour);
    rect(x1 - t, y0, x1, y1, colour);
}

template <typename inside_fn>
void canvas::shape(float x0, float y0, float x1, float y1, inside_fn inside, uint32_t fill, uint32_t outline)
{
    const float unit = float(width) / 32.0f;
    const float margin = outline ? 1.0f : 0.0f;
    const int px0 = int(std::floor((x0 - margin) * unit)), px1 = int(std::ceil((x1 + margin) * unit));
    const int py0 = int(std::floor((y0 - margin) * unit)), py1 = int(std::ceil((y1 + margin) * unit));
    for (int py = py0; py <= py1; ++py)
        for (int px = px0; px <= px1; ++px) {
            const float ux = (float(px) + 0.5f) / unit, uy = (float(py) + 0.5f) / unit;
            const float d = inside(ux, uy);  // distance outside the shape, 0 or below inside
            if (d <= 0.0f)
                put(px, py, fill);
            else if (outline && d <= 1.0f)
                put(px, py, outline);
        }
}

void canvas::disc(float cx, float cy, float r, uint32_t fill, uint32_t outline)
{
    shape(cx - r, cy - r, cx + r, cy + r, [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; }, fill,
          outline);
}

void canvas::ring(float cx, float cy, float r0, float r1, uint32_t fill, uint32_t outline)
{
    const float middle = (r0 + r1) / 2, half = (r1 - r0) / 2;
    shape(cx - r1, cy - r1, cx + r1, cy + r1,
          [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - middle) - half; }, fill, outline);
}

void canvas::bar(float x0, float y0, float x1, float y1, float w, uint32_t fill, uint32_t outline)
{
    const float dx = x1 - x0, dy = y1 - y0, length2 = std::max(dx * dx + dy * dy, 1e-6f);
    shape(std::min(x0, x1) - w, std::min(y0, y1) - w, std::max(x0, x1) + w, std::max(y0, y1) + w,
          [=](float x, float y) {
              const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0f, 1.0f);
              return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - w;
          },
          fill, outline);
}

void canvas::box(float x0, float y0, float x1, float y1, uint32_t fill, uint32_t outline)
{
    shape(x0, y0, x1, y1,
          [=](float x, float y) { return std::max(std::max(x0 - x, x - x1), std::max(y0 - y, y - y1)); }, fill,
          outline);
}

void canvas::triangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t fill, uint32_t outline)
{
    const float xs[3] = {x0, x1, x2}, ys[3] = {y0, y1, y2};
    const float area = (x1 - x0) * (y2 - y0) - (y1 - y0) * (x2 - x0);
    const float sign = area < 0 ? -1.0f : 1.0f;
    shape(std::min({x0, x1, x2}), std::min({y0, y1, y2}), std::max({x0, x1, x2}), std::max({y0, y1, y2}),
          [=](float x, float y) {
              float d = -1e9f;
              for (int i = 0; i < 3; ++i) {
                  const float ax = xs[i], ay = ys[i], bx = xs[(i + 1) % 3], by = ys[(i + 1) % 3];
                  const float ex = bx - ax, ey = by - ay, length = std::max(std::hypot(ex, ey), 1e-6f);
                  d = std::max(d, -sign * (ex * (y - ay) - ey * (x - ax)) / length);
              }
              return d;
          },
          fill, outline);
}

void canvas::mirror()
{
    for (uint32_t y = 0; y < height; ++y)
        std::reverse(texels.begin() + long(y * width), texels.begin() + long((y + 1) * width));
}

void canvas::paste(const canvas& other, int x, int y)
{
    for (uint32_t oy = 0; oy < other.height; ++oy)
        for (uint32_t ox = 0; ox < other.width; ++ox)
            if (const uint32_t t = other.texels[size_t(oy) * other.width + ox]; t >> 24)
                put(x + int(ox), y + int(oy), t);
}

namespace {

// The sans face at a cell height; null where no face is installed.
text_face* label_face(int cell_height)
{
    static std::map<int, std::unique_ptr<text_face>> faces;
    auto found = faces.find(cell_height);
    if (found == faces.end()) {
        text_face_request request;
        request.family = "sans";
        request.cell_height = cell_height;
        std::string error;
        found = faces.emplace(cell_height, text_face::open(request, error)).first;
    }
    return found->second.get();
}

} // namespace

void canvas::label(const std::string& text, uint32_t colour, int cell_height)
{
    text_face* face = label_face(cell_height);
    if (!face)
        return;
    std::vector<text_glyph> glyphs;
    int width_used = 0;
    for (char ch : text) {
        text_glyph g;
        face->render(uint8_t(ch), g);
        if (width_used + g.advance > int(width) - 2)
            break;
        width_used += g.advance;
        glyphs.push_back(std::move(g));
    }
    int pen = (int(width) - width_used) / 2;
    const int top = (int(height) - face->cell_height()) / 2;
    for (const text_glyph& g : glyphs) {
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                const uint8_t cover = g.coverage[size_t(y) * size_t(g.width) + size_t(x)];
                if (cover > 96)
                    put(pen + g.left + x, top + g.top + y, colour);
            }
        pen += g.advance;
    }
}

void canvas::save(const std::string& name) const
{
    require(write_image_file(name.c_str(), texels.data(), width, height), name);
}
