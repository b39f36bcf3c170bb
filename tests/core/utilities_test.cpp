#include "core/console_log.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "shell/network_stubs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FileExists, OnlyReadableRegularFilesCount)
{
    temp_folder folder;
    write_text("Global/Mouse.txt", "x");
    EXPECT_EQ(file_exists("global\\mouse.txt"), 1);
    EXPECT_EQ(file_exists("global"), -1);
    EXPECT_EQ(file_exists("global/missing.txt"), -1);
    EXPECT_EQ(file_exists(nullptr), -1);
}

TEST(TrimTrailingSpace, CutsControlCharactersButKeepsBlanksAndHighBytes)
{
    char line[] = "abc \r\n";
    EXPECT_STREQ(trim_trailing_space(line), "abc ");
    char only_feed[] = "\n";
    EXPECT_STREQ(trim_trailing_space(only_feed), "");
    char high[] = "caf\xE9\t\x7F";
    EXPECT_STREQ(trim_trailing_space(high), "caf\xE9");
    char empty[] = "";
    EXPECT_STREQ(trim_trailing_space(empty), "");
}

TEST(CopyBounded, CutsAndTerminates)
{
    char small[4];
    copy_bounded(small, sizeof small, "abcdef");
    EXPECT_STREQ(small, "abc");
    copy_bounded(small, sizeof small, "ab");
    EXPECT_STREQ(small, "ab");
}

TEST(NetworkStubs, GiveTheirFixedResults)
{
    EXPECT_EQ(init_network(), 0);
    EXPECT_EQ(connect_network("127.0.0.1"), 0);
    EXPECT_EQ(start_network_server(), 0);
    EXPECT_EQ(close_network(), 1);
    EXPECT_EQ(handle_network_message(0, 0, 0), 0);
    EXPECT_EQ(send_network_text("hi", 0), 0);
}

TEST(ConsoleLog, DisabledLogsNothing)
{
    temp_folder folder;
    write_text("global/.keep", "");
    g_console_enabled = 0;
    g_console_history_count = 0;
    console_log("nic %d", 1);
    EXPECT_FALSE(std::filesystem::exists("global/konzola.log"));
    EXPECT_EQ(g_console_history_count, 0);
}

TEST(ConsoleLog, HistoryKeepsTheNineNewestLines)
{
    temp_folder folder;
    write_text("global/.keep", "");
    g_console_enabled = 1;
    for (int i = 1; i <= 10; ++i)
        console_log("riadok %d", i);
    console_log(nullptr);
    g_console_enabled = 0;

    EXPECT_EQ(g_console_history_count, 8);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(std::string(g_console_history[i]), "riadok " + std::to_string(10 - i));
    std::string log = read_text("global/konzola.log");
    EXPECT_EQ(log.substr(0, 9), "riadok 1\n");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10);
}

TEST(ConsoleLog, LongLinesAreCutWithoutOverrun)
{
    temp_folder folder;
    g_console_enabled = 1;  // no global/ folder: the file write is skipped, the history still fills
    console_log("%s", std::string(5000, 'w').c_str());
    g_console_enabled = 0;
    EXPECT_EQ(std::strlen(g_console_history[0]), 254u);
    EXPECT_FALSE(std::filesystem::exists("global/konzola.log"));
}
