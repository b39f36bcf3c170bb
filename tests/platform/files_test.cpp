#include "platform/files.h"
#include "support/ended_process.h"
#include "support/file_sync_log.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

TEST(ResolvePath, MatchesEachComponentIgnoringCaseAndReadsBackslashes)
{
    temp_folder dir;
    write_text("Data/Levels/Start.SAV", "x");

    EXPECT_EQ(resolve_path("data\\levels\\start.sav"), "Data/Levels/Start.SAV");
    EXPECT_EQ(resolve_path("DATA/LEVELS/START.SAV"), "Data/Levels/Start.SAV");
    EXPECT_EQ(resolve_path("Data/Levels/Start.SAV"), "Data/Levels/Start.SAV");
    // A new file keeps its own name but lands in the existing folder.
    EXPECT_EQ(resolve_path("data\\levels\\new.sav"), "Data/Levels/new.sav");
    // Below a missing folder nothing more is matched.
    EXPECT_EQ(resolve_path("data/missing/start.sav"), "Data/missing/start.sav");
    EXPECT_EQ(resolve_path((dir.path() / "DATA/levels").string()), (dir.path() / "Data/Levels").string());
}

TEST(FileQueries, TellFilesFromFoldersAndMissingNames)
{
    temp_folder dir;
    write_text("global/text.txt", "12345");
    EXPECT_TRUE(is_readable_file("GLOBAL\\TEXT.TXT"));
    EXPECT_FALSE(is_readable_file("global"));
    EXPECT_FALSE(is_readable_file("global/none.txt"));
    EXPECT_TRUE(is_folder("Global"));
    EXPECT_EQ(file_size("global/text.txt"), 5u);
    EXPECT_EQ(file_size("global"), 0u);
    EXPECT_EQ(file_size("nothing"), 0u);

    int64_t seconds = 0;
    EXPECT_TRUE(file_modified_time("global/text.txt", &seconds));
    EXPECT_GT(seconds, 0);
    EXPECT_FALSE(file_modified_time("nothing", &seconds));
}

TEST(FolderOperations, CreateCopyDeleteAndList)
{
    temp_folder dir;
    EXPECT_TRUE(make_folder("save/quick/inner"));
    EXPECT_TRUE(make_folder("save/quick/inner"));  // existing is no error
    write_text("save/a.dat", "abc");
    write_text("save/b.dat", "old contents");

    EXPECT_TRUE(copy_file("SAVE/A.DAT", "save/b.dat"));
    EXPECT_EQ(read_text("save/b.dat"), "abc");
    EXPECT_FALSE(copy_file("save/none.dat", "save/b.dat"));
    EXPECT_EQ(read_text("save/b.dat"), "abc");

    chmod("save/a.dat", 0444);
    EXPECT_TRUE(delete_file("save/A.dat"));
    EXPECT_FALSE(delete_file("save/a.dat"));

    auto entries = list_folder("Save");
    ASSERT_EQ(entries.size(), 2u);
    std::sort(entries.begin(), entries.end(), [](auto& l, auto& r) { return l.name < r.name; });
    EXPECT_EQ(entries[0].name, "b.dat");
    EXPECT_FALSE(entries[0].is_folder);
    EXPECT_EQ(entries[0].size, 3u);
    EXPECT_EQ(entries[1].name, "quick");
    EXPECT_TRUE(entries[1].is_folder);
    EXPECT_TRUE(list_folder("missing").empty());
}

TEST(WholeFiles, WriteReplacesOnlyAfterACompleteWrite)
{
    temp_folder dir;
    const char text[] = "contents";
    ASSERT_TRUE(write_whole_file("out.bin", text, 8));
    std::vector<uint8_t> back;
    ASSERT_TRUE(read_whole_file("OUT.BIN", &back));
    EXPECT_EQ(std::string(back.begin(), back.end()), "contents");

    // A target inside a missing folder cannot be written; nothing is left behind.
    EXPECT_FALSE(write_whole_file("missing/out.bin", text, 8));
    EXPECT_EQ(list_folder(".").size(), 1u);
    EXPECT_FALSE(read_whole_file("missing/out.bin", &back));
}

TEST(WholeFiles, TheDataIsSyncedBeforeTheRenameAndTheFolderAfterIt)
{
    temp_folder dir;
    ASSERT_TRUE(make_folder("global"));
    write_text("global/config.cfg", "old");
    std::vector<std::string> events;
    {
        file_sync_log log;
        ASSERT_TRUE(write_whole_file("GLOBAL/config.cfg", "new", 3));
        events = log.events();
    }
    const std::string target = file_sync_log::full("global/config.cfg");
    ASSERT_EQ(events.size(), 3u);
    const std::string temp = events[0].substr(5);
    EXPECT_EQ(events[0], "sync " + temp);
    EXPECT_EQ(temp.rfind(target + ".~" + std::to_string(getpid()) + "-", 0), 0u) << temp;
    EXPECT_EQ(events[1], "rename " + temp + " -> " + target);
    EXPECT_EQ(events[2], "sync " + file_sync_log::full("global"));
    EXPECT_EQ(read_text("global/config.cfg"), "new");
    EXPECT_EQ(list_folder("global").size(), 1u);
}

TEST(WholeFiles, LeftoverTemporariesOfEndedProcessesAreRemoved)
{
    temp_folder dir;
    pid_t ended = ended_process_id();
    ASSERT_GT(ended, 0);
    const std::string dead = std::to_string(ended), own = std::to_string(getpid()),
                      live = std::to_string(getppid());

    const std::vector<std::string> stale = {"efects.dat.~" + dead + "-3", "config.cfg.~" + own + "-12"};
    const std::vector<std::string> kept = {
        "efects.dat",                      // the file itself
        "efects.dat.~" + live + "-1",      // its process still runs
        "efects.dat.~" + dead + "-",       // not the pattern: no serial
        "efects.dat.~" + dead + "-1x",     // nor trailing letters
        ".~" + dead + "-1",                // nor a bare suffix
        "efects.dat.~0-1",                 // nor process 0
        "efects.dat.~99999999999-1",       // nor a number out of range
        "efects.dat.tmp~",
    };
    for (const auto& name : stale)
        write_text("global/" + name, "x");
    for (const auto& name : kept)
        write_text("global/" + name, "x");
    ASSERT_TRUE(make_folder(("global/maps.~" + dead + "-1").c_str()));  // a folder is left alone
    auto names = [] {
        std::vector<std::string> found;
        for (const auto& e : list_folder("global"))
            found.push_back(e.name);
        std::sort(found.begin(), found.end());
        return found;
    };

    // While this process has a temporary of its own, names with its id are not touched.
    std::string open = new_temporary_name("global/other.dat");
    std::vector<std::string> removed = remove_stale_temporaries("Global");
    EXPECT_EQ(removed, std::vector<std::string>{"global/" + stale[0]});
    discard_temporary(open);
    EXPECT_EQ(remove_stale_temporaries("global"), std::vector<std::string>{"global/" + stale[1]});

    std::vector<std::string> expected = kept;
    expected.push_back("maps.~" + dead + "-1");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(), expected);
    EXPECT_TRUE(remove_stale_temporaries("missing").empty());
}

// Names are taken as the listing gives them: a folder whose name, "\" read as "/", would name a
// folder outside the working folder, or "/" itself, is walked as the folder it is, and a link to a
// folder outside is not entered. Nothing outside is removed.
TEST(WholeFiles, TheCleanUpOfTemporariesNeverLeavesTheFolder)
{
    temp_folder outside;
    temp_folder dir;
    const std::string stale = "efects.dat.~" + std::to_string(ended_process_id()) + "-3";
    std::string odd = outside.path().string();
    std::replace(odd.begin(), odd.end(), '/', '\\');
    write_text(outside.path() / stale, "outside");
    write_text(odd + "/" + stale, "inside");
    write_text("\\/" + stale, "inside");
    ASSERT_EQ(symlink(outside.path().c_str(), "linked"), 0);

    std::vector<std::string> removed = remove_stale_temporaries(".");
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"\\/" + stale, odd + "/" + stale}));
    EXPECT_EQ(read_text(outside.path() / stale), "outside");
    EXPECT_FALSE(std::filesystem::exists(odd + "/" + stale));
    EXPECT_TRUE(std::filesystem::is_directory("\\"));
}
