// The screen tour on the recording device, through the program's own loops from the splash to
// the ending: on every screen each text lies inside the screen and wholly inside the panel or
// text window drawn last before it, no two texts overlap, the interface's images are drawn at
// the sizes their places ask for, the HUD's bar frames ring their full bars, and the UI text
// table of the demo has a text for every number.
#include "shell/shell_fixture.h"

#include "tools/tour/screen_tour.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "engine/fonts.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/credits.h"
#include "interface/endings.h"
#include "interface/front_end.h"
#include "interface/hud.h"
#include "interface/interface_images.h"
#include "interface/interface_state.h"
#include "interface/slide_shows.h"
#include "platform/image_loader.h"
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
            // The panel or window a text is written in is the last one drawn before it (a box's
            // order is the index of its first draw, a text's the number of draws made before it).
            const placed_box* holder = nullptr;
            for (const placed_box& p : boxes)
                if (p.order < texts[i].order)
                    holder = &p;
            if (holder) {
                const box& a = holder->area;
                EXPECT_TRUE(b.x1 >= a.x1 - 1 && b.y1 >= a.y1 - 1 && b.x2 <= a.x2 + 1 && b.y2 <= a.y2 + 1)
                    << screen << ": out of its box (" << a.x1 << ", " << a.y1 << ") - (" << a.x2 << ", " << a.y2
                    << ") " << show(t);
            }
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

    // A bar frame's image drawn over the extent b: its opaque texels' bounds ring the full bar
    // within 6 pixels on every side, and the bar's middle is see-through.
    void check_bar_frame(const std::string& screen, const std::string& name, const box& b)
    {
        const bool health = name == "data/interface/tuba.tga";
        if (!health && name != "data/interface/tuba2.tga")
            return;
        char_record full = g_chars[g_player_char];
        full.hp = full.hp_max;
        full.mana = full.mana_max;
        const hud_bar_rects bars = hud_bar_layout(&full, float(g_screen_width), float(g_screen_height));
        const hud_rect bar = health ? bars.health : bars.pool;
        decoded_image image;
        std::string error;
        ASSERT_TRUE(decode_image_file(name.c_str(), image, error)) << error;
        box rim{1e9f, 1e9f, -1e9f, -1e9f};
        const float sx = (b.x2 - b.x1) / float(image.width), sy = (b.y2 - b.y1) / float(image.height);
        for (uint32_t y = 0; y < image.height; ++y)
            for (uint32_t x = 0; x < image.width; ++x)
                if (image.argb[size_t(y) * image.width + x] >> 24)
                    rim = {std::min(rim.x1, b.x1 + sx * float(x)), std::min(rim.y1, b.y1 + sy * float(y)),
                           std::max(rim.x2, b.x1 + sx * float(x + 1)), std::max(rim.y2, b.y1 + sy * float(y + 1))};
        // Within a pixel and the view's scale error of half a percent.
        const auto rings = [](float outer, float inner, bool low) {
            const float error = 1.0f + 0.005f * inner, gap = low ? inner - outer : outer - inner;
            return gap >= -error && gap <= 6.0f + error;
        };
        EXPECT_TRUE(rings(rim.x1, bar.x1, true) && rings(rim.y1, bar.y1, true) && rings(rim.x2, bar.x2, false) &&
                    rings(rim.y2, bar.y2, false))
            << screen << ": " << name << " rims (" << rim.x1 << ", " << rim.y1 << ") - (" << rim.x2 << ", "
            << rim.y2 << ") around the bar (" << bar.x1 << ", " << bar.y1 << ") - (" << bar.x2 << ", " << bar.y2 << ")";
        const uint32_t mx = uint32_t(((bar.x1 + bar.x2) / 2 - b.x1) / sx), my = uint32_t(((bar.y1 + bar.y2) / 2 - b.y1) / sy);
        if (mx < image.width && my < image.height) {
            EXPECT_EQ(image.argb[size_t(my) * image.width + mx] >> 24, 0u) << screen << ": " << name << " hides its bar";
        }
    }

    void check_images(const std::string& screen)
    {
        for (const recorded_draw& d : device_.draws()) {
            auto named = d.texture ? names_.find(d.texture) : names_.end();
            if (named == names_.end())
                continue;
            check_bar_frame(screen, named->second, extent(d));
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
    // Narrations end at once: the audio device plays them in wall time, which the tour's bound
    // of passes does not follow.
    kept.keep(g_slide_narration_active), kept.keep(g_editor.ai_on);
    g_slide_narration_active = [](uint32_t) { return false; };
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
