#include "platform/files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
