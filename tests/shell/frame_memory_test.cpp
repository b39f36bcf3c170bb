// The memory a run of the demo's level takes: its frames on the OpenGL device keep it flat (what
// a frame hands the driver is done with once the frame is presented), what the run frees goes
// back to the system, and what it never uses (the unused records of the large tables, the
// libraries for video files and model imports) takes none.
#include "shell/shell_fixture.h"

#include "support/resident_memory.h"

#include "characters/char_models.h"
#include "core/globals.h"
#include "engine/models.h"
#include "items/items.h"
#include "level/level_change.h"
#include "platform/gl_window.h"
#include "shell/device_setup.h"
#include "shell/program.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
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

// In a new process, as the program starts: start-up and frames of the gate level, then what
// they left unwritten and unopened. Ends the process, with the faults on stderr.
void run_the_gate_level_and_exit()
{
    int faults = 0;
    const auto fault = [&](const std::string& what) {
        std::fprintf(stderr, "%s\n", what.c_str());
        ++faults;
    };
    if (!program_startup("zorv brana.sav"))
        fault("no start-up");
    for (int frame = 0; frame < 120 && program_frame(); ++frame) {
    }
    const auto unwritten = [&](const char* table, const void* begin, const void* end) {
        if (const long pages = written_pages(begin, end); pages != 0)
            fault(std::string(table) + ": " + std::to_string(pages) + " pages written");
    };
    int32_t free_template = k_proto_first_template;
    while (free_template < k_proto_slots && g_object_protos[free_template].kind != k_proto_free)
        ++free_template;
    for (int32_t slot = free_template; slot < k_proto_slots; ++slot)
        if (proto_kind_at(slot) != k_proto_free)
            fault("template slot " + std::to_string(slot) + " is not free");
    if (free_template + 1 < k_proto_slots)
        unwritten("template prototypes", &g_object_protos[free_template + 1], std::end(g_object_protos));
    unwritten("character models", &g_char_models[g_chardata_count], std::end(g_char_models));
    unwritten("model registry", &g_chardata[g_chardata_count], std::end(g_chardata));
    unwritten("item prototypes", &g_item_protos[g_item_proto_count], std::end(g_item_protos));
    unwritten("item lists", &g_item_lists[g_item_proto_count], std::end(g_item_lists));
    unwritten("world objects", g_objects + g_object_count, g_objects + g_object_capacity);
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        for (const char* library : {"libavformat", "libavcodec", "libswscale", "libassimp"})
            if (line.find(library) != std::string::npos)
                fault(std::string(library) + " is loaded");
    std::_Exit(faults == 0 ? 0 : 1);
}

TEST_F(shell_test, AGateLevelRunWritesOnlyTheTableRecordsItUsesAndOpensNoVideoOrImportLibrary)
{
#ifdef ZORV_SANITIZE
    GTEST_SKIP() << "under a sanitizer the run's allocations and libraries are the sanitizer's";
#endif
    int object = 0;
    if (written_pages(&object, &object + 1) < 0)
        GTEST_SKIP() << "no /proc/self/pagemap";
    // A new process: earlier tests of this one have written the tables and opened the libraries.
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(run_the_gate_level_and_exit(), testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}

TEST_F(shell_test, TheFramesHandTheMemoryARunFreesBackToTheSystem)
{
#ifdef ZORV_SANITIZE
    GTEST_SKIP() << "under a sanitizer the heap is the sanitizer's";
#endif
    ASSERT_TRUE(program_startup("zorv brana.sav"));
    // 16 MB freed in blocks of 32 KB, each between two that stay: freeing alone leaves them mapped.
    constexpr size_t k_blocks = 1024, k_block = 32 << 10;
    std::vector<std::unique_ptr<char[]>> blocks;
    for (size_t i = 0; i < k_blocks; ++i) {
        blocks.emplace_back(new char[k_block]);
        std::fill_n(blocks.back().get(), k_block, char(1));
    }
    std::vector<const char*> freed;
    for (size_t i = 0; i < k_blocks; i += 2) {
        freed.push_back(blocks[i].get());
        blocks[i].reset();
    }
    // The pages inside the freed blocks that are still written (their first page holds the heap's
    // own bookkeeping).
    const auto written = [&] {
        long pages = 0;
        for (const char* block : freed)
            pages += std::max(0L, written_pages(block + 4096, block + k_block));
        return pages;
    };
    const long after_free = written();
    for (int frame = 0; frame < 90 && program_frame(); ++frame) {
    }
    const long after_frames = written();
    blocks.clear();
    program_shutdown(true);
    EXPECT_GE(after_free, long(freed.size()) * 5) << "freeing alone hands the pages back";
    EXPECT_LT(after_frames, after_free / 4) << "pages still written: " << after_frames << " of " << after_free;
}

} // namespace

