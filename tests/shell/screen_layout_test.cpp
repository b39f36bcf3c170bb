// The screen tour on the recording device, through the program's own loops from the splash to
// the ending: on every screen each text lies inside the screen and inside the panel it starts
// in, no two texts overlap, the interface's images are drawn at the sizes their places ask for,
// and the UI text table of the demo has a text for every number.
#include "shell/shell_fixture.h"

#include "tools/tour/screen_tour.h"

#include "core/globals.h"
#include "engine/fonts.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/credits.h"
#include "interface/endings.h"
#include "interface/front_end.h"
#include "interface/interface_images.h"
#include "interface/interface_state.h"
#include "interface/slide_shows.h"
#include "platform/recording_device.h"
#include "shell/program.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct box {
    float x1, y1, x2, y2;
    bool holds(float x, float y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }
};

// A text and the number of device draws made before it.
struct placed_text {
    text_draw text;
    size_t order;
};

// A panel or a text window's box and the number of device draws made before it.
struct placed_box {
    box area;
    size_t order;
};

std::vector<placed_text>* g_placed_texts = nullptr;

// The sizes the layouts give their images (hit boxes, cell and piece pitches), by file name;
// the HUD draws a hovered button 1.1 times as large.
struct image_size {
    const char* prefix;
    float width, height;  // 0: not fixed
};
const image_size k_layout_sizes[] = {
    {"data/buttons/buton", 32, 32},
    {"data/interface/box.tga", 32, 32},
    {"data/interface/att/", 32, 32},
    {"data/interface/pull/", 32, 32},
    {"data/interface/tab/01.tga", 16, 0},
    {"data/interface/tab/02.tga", 16, 0},
    {"data/interface/tab/plus", 16, 16},
    {"data/interface/tab/minus", 16, 16},
    {"data/interface/tab/sip", 32, 32},
    {"data/interface/saveload/button/", 96, 24},
    {"data/interface/main/eng/", 256, 0},
    {"data/interface/ram", 64, 64},
    {"data/interface/main/background/", 64, 64},
    {"data/interface/sipka", 16, 16},
    {"data/interface/settings/button ", 64, 64},
};

const image_size* layout_size_of(const char* name)
{
    for (const image_size& s : k_layout_sizes)
        if (std::string(name).rfind(s.prefix, 0) == 0)
            return &s;
    return nullptr;
}

// Within a pixel and the view's scale error of half a percent.
bool size_fits(float drawn, float wanted)
{
    const auto near = [&](float w) { return std::fabs(drawn - w) <= 1.0f + 0.005f * w; };
    return wanted == 0 || near(wanted) || near(1.1f * wanted);
}

class screen_checks {
public:
    explicit screen_checks(recording_device& device) : device_(device)
    {
        for (const interface_image& image : list_interface_images(g_interface)) {
            if (int32_t(*image.slot) >= g_texture_count || !g_textures[*image.slot].surface)
                continue;
            device_texture* surface = g_textures[*image.slot].surface;
            names_[surface] = image.name;
            const bool tile = image.slot >= g_interface.panel_tiles && image.slot < g_interface.panel_tiles + k_panel_tiles;
            if (tile || image.name.rfind("data/interface/text/", 0) == 0)
                frames_.insert(surface);
        }
    }

    void check(const std::string& screen, const std::vector<placed_text>& texts)
    {
        screens_.insert(screen);
        const std::vector<placed_box> boxes = framed_boxes();
        check_images(screen);
        const float w = float(g_screen_width), h = float(g_screen_height);
        for (size_t i = 0; i < texts.size(); ++i) {
            const text_draw& t = texts[i].text;
            const box b{float(t.x), float(t.y), float(t.x + t.width), float(t.y + t.height)};
            EXPECT_TRUE(b.x1 >= 0 && b.y1 >= 0 && b.x2 <= w && b.y2 <= h) << screen << ": off the screen " << show(t);
            // The panel or window a text is written on is the last one drawn under its start.
            const placed_box* holder = nullptr;
            for (const placed_box& p : boxes)
                if (p.order <= texts[i].order && p.area.holds(b.x1, b.y1))
                    holder = &p;
            if (holder)
                EXPECT_TRUE(b.x2 <= holder->area.x2 + 1 && b.y2 <= holder->area.y2 + 1)
                    << screen << ": out of its panel (" << holder->area.x2 << ", " << holder->area.y2 << ") " << show(t);
            for (size_t j = i + 1; j < texts.size(); ++j) {
                const text_draw& u = texts[j].text;
                if (u.text == t.text && u.x == t.x && u.y == t.y)
                    continue;  // the same text drawn again in its place
                const int32_t across = std::min(t.x + t.width, u.x + u.width) - std::max(t.x, u.x);
                const int32_t down = std::min(t.y + t.height, u.y + u.height) - std::max(t.y, u.y);
                EXPECT_FALSE(across > 2 && down > 2) << screen << ": " << show(t) << " overlaps " << show(u);
            }
            EXPECT_EQ(t.text.rfind("Text ", 0), std::string::npos) << screen << ": a placeholder " << show(t);
        }
    }

    const std::set<std::string>& screens() const { return screens_; }

private:
    static std::string show(const text_draw& t)
    {
        std::ostringstream out;
        out << '"' << t.text << "\" at (" << t.x << ", " << t.y << ") " << t.width << " x " << t.height;
        return out.str();
    }

    box extent(const recorded_draw& d) const
    {
        box b{1e9f, 1e9f, -1e9f, -1e9f};
        for (uint32_t i = 0; i < d.vertex_count; ++i) {
            float x, y, z;
            device_.screen_position(d, i, x, y, z);
            b = {std::min(b.x1, x), std::min(b.y1, y), std::max(b.x2, x), std::max(b.y2, y)};
        }
        return b;
    }

    // Each run of panel tiles or text-window pieces drawn one after the other is one box.
    std::vector<placed_box> framed_boxes() const
    {
        std::vector<placed_box> out;
        bool in_run = false;
        for (size_t k = 0; k < device_.draws().size(); ++k) {
            const recorded_draw& d = device_.draws()[k];
            const bool framed = d.texture && frames_.count(d.texture);
            if (framed && in_run) {
                const box b = extent(d);
                box& last = out.back().area;
                last = {std::min(last.x1, b.x1), std::min(last.y1, b.y1), std::max(last.x2, b.x2), std::max(last.y2, b.y2)};
            } else if (framed) {
                out.push_back({extent(d), k});
            }
            in_run = framed;
        }
        return out;
    }

    void check_images(const std::string& screen)
    {
        for (const recorded_draw& d : device_.draws()) {
            auto named = d.texture ? names_.find(d.texture) : names_.end();
            if (named == names_.end())
                continue;
            const image_size* wanted = layout_size_of(named->second.c_str());
            if (!wanted)
                continue;
            const box b = extent(d);
            EXPECT_TRUE(size_fits(b.x2 - b.x1, wanted->width) && size_fits(b.y2 - b.y1, wanted->height))
                << screen << ": " << named->second << " drawn " << b.x2 - b.x1 << " x " << b.y2 - b.y1;
        }
    }

    recording_device& device_;
    std::map<const device_texture*, std::string> names_;
    std::set<const device_texture*> frames_;
    std::set<std::string> screens_;
};

} // namespace

TEST_F(shell_test, LayoutOfEveryScreen)
{
    // The run begins as a new process does: the splash and the intro not yet shown.
    saved_globals kept;
    kept.keep(g_splash), kept.keep(g_splash_slot), kept.keep(g_intro_slides), kept.keep(g_credits);
    kept.keep(g_epilogue_slides), kept.keep(g_chapter_slides), kept.keep(g_ending);
    g_splash = {};
    g_intro_slides = {};
    render_use_recording(true);
    g_front_end = run_front_end;
    std::vector<placed_text> texts;
    g_placed_texts = &texts;
    g_text_drawn = [](const text_draw& t) {
        const auto* d = dynamic_cast<recording_device*>(g_d3d_device);
        g_placed_texts->push_back({t, d ? d->draws().size() : 0});
    };
    std::unique_ptr<screen_checks> checks;
    tour_watch watch;
    const auto device = [] { return dynamic_cast<recording_device*>(g_d3d_device); };
    watch.passed = [&] {
        texts.clear();
        if (device())
            device()->clear_recording();
    };
    watch.seen = [&](const std::string& screen) {
        ASSERT_NE(device(), nullptr);
        if (!checks) {
            checks = std::make_unique<screen_checks>(*device());
            // The demo's UI text table has a text for every number.
            for (int n = 0; n < k_ui_text_count; ++n)
                EXPECT_TRUE(ui_text(n)[0] != '\0' && std::string(ui_text(n)).rfind("Text ", 0) == std::string::npos)
                    << "UI text " << n;
        }
        checks->check(screen, texts);
        watch.passed();
    };
    std::string failure;
    const bool whole = run_screen_tour(watch, failure);
    g_text_drawn = nullptr;
    g_placed_texts = nullptr;
    render_use_recording(false);
    EXPECT_TRUE(whole) << "the tour stopped before " << failure;
    ASSERT_TRUE(checks);
    EXPECT_EQ(checks->screens().size(), tour_screen_names().size());
}
