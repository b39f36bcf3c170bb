// Sorted folder listings: order, attributes, masks, capacity and long names, and the working
// directory left as it was.
#include "core/dir_listing.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "platform/files.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class DirListing : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_dir_path), saved_.keep(g_dir_count), saved_.keep(g_dir_entries);
        saved_.keep(g_console_history), saved_.keep(g_console_history_count), saved_.keep(g_console_enabled);
        g_console_enabled = 1;
    }
    std::vector<std::string> names(const dir_entry* entries, uint32_t count)
    {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < count; ++i)
            out.push_back(entries[i].name);
        return out;
    }
    temp_folder folder_;
    saved_globals saved_;
};

void set_path(const char* path)
{
    std::snprintf(g_dir_path, sizeof g_dir_path, "%s", path);
}

} // namespace

TEST_F(DirListing, ListsDotEntriesThenFoldersThenFilesByLowerCaseNameWithoutChangingTheWorkingDirectory)
{
    make_folder("Data/Zeta");
    make_folder("Data/Locked");
    write_text("Data/B.txt", "12345");
    write_text("Data/a.txt", "");
    write_text("Data/c.dat", "");
    ASSERT_EQ(chmod("Data/Locked", 0555), 0);  // a read-only folder sorts among the files
    ASSERT_EQ(chmod("Data/c.dat", 0444), 0);
    const auto before = std::filesystem::current_path();

    set_path("data\\");
    fill_dir_table("*.*");
    EXPECT_EQ(std::filesystem::current_path(), before);
    ASSERT_EQ(g_dir_count, 7u);
    EXPECT_EQ(names(g_dir_entries, g_dir_count),
              (std::vector<std::string>{".", "..", "zeta", "a.txt", "b.txt", "c.dat", "locked"}));
    EXPECT_EQ(g_dir_entries[2].attributes, k_dir_attr_folder);
    EXPECT_EQ(g_dir_entries[4].attributes, k_dir_attr_file);
    EXPECT_EQ(g_dir_entries[4].size, 5u);
    EXPECT_EQ(g_dir_entries[5].attributes, k_dir_attr_file | k_dir_attr_read_only);
    EXPECT_EQ(g_dir_entries[6].attributes, k_dir_attr_folder | k_dir_attr_read_only);
    chmod("Data/Locked", 0755);

    // Masks ignore case and know '*' and '?'; a single match is returned alone.
    EXPECT_TRUE(dir_mask_matches("*.*", "noext"));
    dir_entry own[8];
    EXPECT_EQ(list_directory_into(own, 8, "?.TXT"), 2u);
    EXPECT_EQ(names(own, 2), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(list_directory_into(own, 8, "*.dat"), 1u);
    EXPECT_STREQ(own[0].name, "c.dat");
    EXPECT_EQ(g_dir_count, 1u);

    // A missing folder gives nothing, and the working directory stays.
    set_path("missing");
    EXPECT_EQ(list_directory_into(own, 8, "*.*"), 0u);
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(DirListing, StopsAtTheCallersCapacityAndLeavesOutNamesThatDoNotFitBothLogged)
{
    make_folder("many");
    for (int i = 0; i < 6; ++i)
        write_text("many/f" + std::to_string(i), "");
    write_text("many/" + std::string(59, 'n'), "");
    write_text("many/" + std::string(60, 'l'), "");
    set_path("many");
    dir_entry own[12];
    std::memset(own, 0x5A, sizeof own);
    g_console_history[0][0] = 0;
    EXPECT_EQ(list_directory_into(own, 10, "*.*"), 9u);  // ".", "..", six files, the 59
    EXPECT_NE(std::strstr(g_console_history[0], "pridlhe"), nullptr);
    std::memset(own, 0x5A, sizeof own);
    EXPECT_EQ(list_directory_into(own, 5, "*.*"), 5u);
    EXPECT_EQ(own[5].name[0], 0x5A);  // nothing written past the capacity
    EXPECT_NE(std::strstr(g_console_history[0], "vynechavam"), nullptr);
}
