// A fuzz target's scratch folders do not pile up in the temporary folder: a run that ended
// without its exit handlers (a timeout, a crash, an interrupt) left its folder, and the next
// target to start removes it; the folder of a run still going stays.
#include "support/ended_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(FuzzScratch, ATargetStartRemovesTheFoldersOfRunsThatEnded)
{
    temp_folder temp;
    const fs::path ended = temp.path() / ("zorv-fuzz-" + std::to_string(ended_process_id()) + "-Ab12Cd");
    const fs::path running = temp.path() / ("zorv-fuzz-" + std::to_string(getpid()) + "-Ef34Gh");
    fs::create_directories(ended / "global");
    write_text(ended / "global" / "quest_eng.txt", "1\n");
    fs::create_directories(running);

    const std::string run = "TMPDIR=" + temp.path().string() + " " + ZORV_FUZZ_TARGET + " -runs=1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_FALSE(fs::exists(ended));
    EXPECT_TRUE(fs::exists(running));
    int left = 0;  // the target's own folder went with its ordinary end
    for (const auto& entry : fs::directory_iterator(temp.path()))
        left += entry.path().filename().string().rfind("zorv-fuzz-", 0) == 0;
    EXPECT_EQ(left, 1);
}
