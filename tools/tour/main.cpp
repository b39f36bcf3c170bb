// The screen tour's program: run in a folder of game data, it writes a PNG of every screen of
// the tour into the folder named by its argument ("tour" when none) and lists them.
#include "tools/tour/screen_tour.h"

#include "engine/render_context.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "platform/render_device.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "tour";
    if (!make_folder(folder.c_str())) {
        std::fprintf(stderr, "screen_tour: cannot make the folder %s\n", folder.c_str());
        return 1;
    }
    int number = 0, written = 0;
    tour_watch watch;
    watch.seen = [&](const std::string& screen) {
        char name[512];
        std::snprintf(name, sizeof name, "%s/%02d_%s.png", folder.c_str(), ++number, screen.c_str());
        std::vector<uint32_t> frame;
        if (g_d3d_device && g_d3d_device->read_frame(frame) &&
            write_image_file(name, frame.data(), g_d3d_device->width(), g_d3d_device->height())) {
            std::printf("%s\n", name);
            ++written;
        } else {
            std::fprintf(stderr, "screen_tour: no picture of %s\n", screen.c_str());
        }
    };
    std::string failure;
    const bool whole = run_screen_tour(watch, failure);
    if (!whole)
        std::fprintf(stderr, "screen_tour: stopped before %s\n", failure.c_str());
    std::printf("%d of %zu screens written to %s\n", written, tour_screen_names().size(), folder.c_str());
    return whole && written == int(tour_screen_names().size()) ? 0 : 1;
}
