// The frame's editor overlays: outside play the movement map's grid, and in the sector view also
// the filled cells and the sector outlines; nothing of them while playing.
#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "editor/editor_state.h"
#include "platform/clock.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/program.h"
#include "world/movement_map.h"
#include "world/sectors.h"

#include <cmath>
#include <cstring>

namespace {

struct overlay_counts {
    int grid_lines = 0;     // grey
    int blocked_cells = 0;  // red at alpha 0.4, untextured
    int sector_lines = 0;   // magenta

    bool operator==(const overlay_counts&) const = default;
};

overlay_counts count_overlays(const recording_device& device)
{
    overlay_counts n;
    for (const recorded_draw& d : device.draws()) {
        const device_colour& c = device.material_of(d).diffuse;
        if (d.type == primitive_type::line_strip && c.r == 0.6f && c.g == 0.6f && c.b == 0.6f)
            ++n.grid_lines;
        if (d.type == primitive_type::line_strip && c.r == 1 && c.g == 0 && c.b == 1)
            ++n.sector_lines;
        if (d.type == primitive_type::triangle_strip && !d.texture && c.r == 1 && c.g == 0 && c.b == 0 &&
            c.a == 0.4f)
            ++n.blocked_cells;
    }
    return n;
}

} // namespace

TEST_F(shell_test, TheFrameDrawsTheEditorOverlaysOnlyOutsidePlay)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv"));
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);

    ASSERT_TRUE(create_movemap(&g_movement_map, 200, 200, 100, 100));
    set_movemap_cell(&g_movement_map, 0, 0, k_cell_blocked);
    std::memset(g_sectors, 0, sizeof g_sectors);
    begin_sector(&g_sectors[0], 6, 10.0f, 10.0f);
    add_sector_point(&g_sectors[0], 200.0f, 100.0f);
    g_sector_count = 1;
    g_show_grid = 1;

    auto frame_in = [&](uint32_t mode) {
        g_work_mode = mode;
        g_camera_x = g_camera_y = 0.0f;
        device->clear_recording();
        clock_advance_manual(16);
        EXPECT_TRUE(program_frame());
        return count_overlays(*device);
    };
    // The grid: its outline is white, 200 / 32 lines across and 200 / 24 down are grey.
    EXPECT_EQ(frame_in(k_work_insert), (overlay_counts{6 + 8, 0, 0}));
    EXPECT_EQ(frame_in(k_work_sectors), (overlay_counts{6 + 8, 1, 1}));
    EXPECT_EQ(frame_in(k_work_play), (overlay_counts{0, 0, 0}));
    g_show_grid = 0;
    EXPECT_EQ(frame_in(k_work_sectors), (overlay_counts{0, 1, 1}));

    std::memset(g_sectors, 0, sizeof g_sectors);
    g_sector_count = 0;
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, TheEditorsDebugTextIsDrawnOutsidePlayOnly)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);

    // Text in the debug text's colour (0x7F, 0xCF, 0x7F), which text draws as its emissive colour.
    auto text_draws = [&] {
        int n = 0;
        for (const recorded_draw& d : device->draws()) {
            const device_colour& c = device->material_of(d).emissive;
            n += d.texture && std::fabs(c.r - 0x7F / 255.0f) < 1e-3f && std::fabs(c.g - 0xCF / 255.0f) < 1e-3f;
        }
        return n;
    };
    g_work_mode = k_work_insert;
    clock_advance_manual(16);
    program_frame();
    const int editing = text_draws();
    EXPECT_EQ(editing, 7);  // one string a line: "global: ...", "mouse: ...", "fps: ..." and four more

    g_work_mode = k_work_play;
    clock_advance_manual(16);
    program_frame();
    EXPECT_EQ(text_draws(), editing);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
