// The program's own data files across a run: the temporaries of interrupted writes are removed
// at start-up.
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "support/ended_process.h"

#include <filesystem>

namespace {

bool logged(const std::string& line)
{
    return read_text(k_console_log_file).find(line) != std::string::npos;
}

} // namespace

TEST_F(shell_test, StartUpRemovesTheTemporariesOfInterruptedWrites)
{
    const std::string dead = std::to_string(ended_process_id()), live = std::to_string(getppid());
    const std::vector<std::string> stale = {"config.cfg.~" + dead + "-1", "global/efects.dat.~" + dead + "-2",
                                            "save/slot1.sav.~" + dead + "-3",
                                            "data/levels/brana.sav.~" + dead + "-4"};
    const std::vector<std::string> kept = {"global/efects.dat.~" + live + "-1",  // its writer still runs
                                           "data/objects/torch.pr.~" + dead + "-5"};  // not a folder written
    for (const auto& name : stale)
        write_text(name, "part");
    for (const auto& name : kept)
        write_text(name, "part");
    run("zorv console", 1);
    for (const auto& name : stale) {
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
        EXPECT_TRUE(logged("zmazal som zvysok nedokonceneho zapisu " + name + "\n")) << name;
    }
    for (const auto& name : kept)
        EXPECT_TRUE(std::filesystem::exists(name)) << name;
}
