// The demo level's frames on the OpenGL device keep the process's memory flat: what a frame
// hands the driver is done with once the frame is presented.
#include "shell/shell_fixture.h"

#include "support/resident_memory.h"

#include "core/globals.h"
#include "level/level_change.h"
#include "platform/gl_window.h"
#include "shell/device_setup.h"
#include "shell/program.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST_F(shell_test, TheDemoLevelsFramesOnTheOpenGlDeviceKeepMemoryFlat)
{
    const long before = resident_mb();
    if (before < 0)
        GTEST_SKIP() << "no /proc/self/status";
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    const bool started = program_startup("zorv brana.sav");
    if (!started || !g_d3d_device || !gl_window_is_open()) {
        program_shutdown(started);
        GTEST_SKIP() << "no OpenGL device";
    }
    EXPECT_STREQ(g_current_level, "brana.sav");

    constexpr int k_frames = 300, k_warm_up = 50;
    trace.clear();
    long warm = 0, last = 0, peak = 0;
    for (int frame = 0; frame < k_frames && program_frame(); ++frame) {
        last = resident_mb();
        peak = std::max(peak, last);
        if (frame == k_warm_up)
            warm = last;
    }
    const auto presents = std::count(trace.begin(), trace.end(), "present");
    program_shutdown(true);

    EXPECT_EQ(presents, k_frames);
#ifdef ZORV_SANITIZE
    GTEST_SKIP() << "under a sanitizer the resident memory holds its shadow and quarantine";
#endif
    // The whole run, start-up included, costs about what the program takes in a window (some
    // 150 MB); after the first frames it takes nothing more.
    EXPECT_LT(peak - before, 300) << "MB before start-up " << before << ", peak " << peak;
    EXPECT_LT(last - warm, 24) << "MB after " << k_warm_up << " frames " << warm << ", after " << k_frames
                               << " frames " << last;
}

} // namespace
