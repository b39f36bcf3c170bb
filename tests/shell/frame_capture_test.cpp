// The main loop's capture: one video frame per frame while it is on, and the time it takes is
// not game time.
#include "shell/shell_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/avi_capture.h"
#include "platform/video_decoder.h"
#include "shell/program.h"

TEST_F(shell_test, CapturedFramesAreWrittenWithoutAdvancingGameTime)
{
    saved_globals saved;
    saved.keep(g_capture_on), saved.keep(g_start_time);
    g_capture_on = 0;
    ASSERT_TRUE(program_startup("zorv"));
    ASSERT_EQ(avi_capture_open("capture.avi", 30), k_capture_done);

    // The test clock moves 16 ms at every read, so the capture seems to take 16 ms.
    const uint32_t before = g_start_time;
    program_frame();
    EXPECT_EQ(g_start_time, before); // off: nothing captured, game time untouched
    g_capture_on = 1;
    for (int i = 0; i < 3; ++i)
        program_frame();
    EXPECT_EQ(g_start_time, before + 3 * 16);
    g_capture_on = 0;
    program_frame();
    program_shutdown(true); // closes the capture

    EXPECT_FALSE(avi_capture_is_open());
    video_file* video = video_open("capture.avi");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video_info(video).length, 3u);
    EXPECT_EQ(video_info(video).width, uint32_t(g_screen_width));
    EXPECT_EQ(video_info(video).height, uint32_t(g_screen_height));
    video_close(video);
}
