// scripts/demo, the step of scripts/run that puts the demo data into its folder.
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

namespace fs = std::filesystem;

struct step_result {
    int status = -1;
    std::string output;
};

// scripts/demo run with `writer` on `folder` beside the scratch folder's "said.txt", which takes
// what it prints.
step_result run_demo_step(const fs::path& folder, const std::string& writer = ZORV_DEMO_TOOL)
{
    const fs::path said = folder.parent_path() / "said.txt";
    const int status = std::system((std::string(ZORV_SOURCE_DIR) + "/scripts/demo '" + writer + "' '" +
                                    folder.string() + "' >'" + said.string() + "' 2>&1")
                                       .c_str());
    return {status, read_text(said)};
}

// A writer of its own: a shell script in the scratch folder, its body given.
std::string script_writer(const fs::path& scratch, const char* name, const std::string& body)
{
    const fs::path path = scratch / name;
    write_text(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
}

bool holds_scratch_demo(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind(".demo-new", 0) == 0)
            return true;
    return false;
}

} // namespace

// The demo is written once: a setting and a table the user changed are kept from one start to the
// next, also after the writer was built anew. A folder made from another demo (a newer checkout)
// is moved aside whole under the name the step prints, and the new demo takes its place.
TEST(demo_step_test, TheDemoIsWrittenOnceAndWhatTheUserChangedIsKept)
{
    temp_folder scratch;
    const fs::path demo = scratch.path() / "demo";
    const step_result first = run_demo_step(demo);
    ASSERT_EQ(first.status, 0) << first.output;
    const std::string config = read_text(demo / "config.cfg");
    const std::vector<uint8_t> spells = read_bytes(demo / "global/spells.dat");
    ASSERT_NE(config.find("snd_musicvolume="), std::string::npos);
    ASSERT_GT(spells.size(), 40u);

    std::string changed_config = config;
    changed_config.replace(changed_config.find("snd_musicvolume="), std::string("snd_musicvolume=").size(),
                           "snd_musicvolume= 17\nx=");
    write_text(demo / "config.cfg", changed_config);
    std::vector<uint8_t> changed_spells = spells;
    changed_spells[40] ^= 0x5A;
    write_bytes(demo / "global/spells.dat", changed_spells);

    const step_result again = run_demo_step(demo);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.output, "") << "nothing to say when the folder is kept";
    EXPECT_EQ(read_text(demo / "config.cfg"), changed_config);
    EXPECT_EQ(read_bytes(demo / "global/spells.dat"), changed_spells);

    // A writer built anew that writes the same demo keeps the folder as well.
    std::string stamp = read_text(demo / ".demo-written");
    ASSERT_NE(stamp.find("\nwriter "), std::string::npos) << stamp;
    write_text(demo / ".demo-written", stamp.substr(0, stamp.find("\nwriter ")) + "\nwriter another\n");
    EXPECT_EQ(run_demo_step(demo).output, "");
    EXPECT_EQ(read_text(demo / "config.cfg"), changed_config);
    EXPECT_EQ(read_text(demo / ".demo-written"), stamp);

    // The folder as an older build left it: made from another demo.
    write_text(demo / ".demo-written", "an older demo\n");
    const step_result changed = run_demo_step(demo);
    EXPECT_EQ(changed.status, 0);
    const std::string said =
        demo.string() + " was not made from the demo this build writes: your folder is kept as ";
    const size_t at = changed.output.find(said);
    ASSERT_NE(at, std::string::npos) << changed.output;
    const fs::path kept = changed.output.substr(at + said.size(), changed.output.find(',', at) - at - said.size());
    EXPECT_EQ(std::count(changed.output.begin(), changed.output.end(), '\n'), 1) << changed.output;
    EXPECT_EQ(read_text(kept / "config.cfg"), changed_config);
    EXPECT_EQ(read_bytes(kept / "global/spells.dat"), changed_spells);
    EXPECT_EQ(read_text(demo / "config.cfg"), config);
    EXPECT_EQ(read_bytes(demo / "global/spells.dat"), spells);
    EXPECT_EQ(run_demo_step(demo).output, "") << "the new demo is kept from then on";
    EXPECT_FALSE(holds_scratch_demo(scratch.path())) << "the scratch demo is removed";

    // A run killed while its writer writes leaves its scratch folder; the next run removes it.
    const step_result killed =
        run_demo_step(demo, script_writer(scratch.path(), "killed", "mkdir -p \"$1\"; : >\"$1/half\"; kill -KILL $PPID\n"));
    EXPECT_NE(killed.status, 0);
    ASSERT_TRUE(holds_scratch_demo(scratch.path()));
    EXPECT_EQ(run_demo_step(demo).output, "");
    EXPECT_FALSE(holds_scratch_demo(scratch.path())) << "a killed run's scratch demo is removed";

    // A writer that writes nothing, however it exits, has failed: the user's folder stays.
    write_text(demo / ".demo-written", "an older demo\n");
    const step_result empty = run_demo_step(demo, script_writer(scratch.path(), "empty", "mkdir -p \"$1\"\n"));
    EXPECT_NE(empty.status, 0);
    EXPECT_NE(empty.output.find("wrote no demo"), std::string::npos) << empty.output;
    EXPECT_EQ(read_text(demo / ".demo-written"), "an older demo\n");
    EXPECT_EQ(read_text(demo / "config.cfg"), config);
    EXPECT_FALSE(holds_scratch_demo(scratch.path()));
}
