// A fuzz target's start removes the scratch folders that runs ended without their exit handlers
// left (a timeout, a crash, an interrupt), and keeps those of runs still going.
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
