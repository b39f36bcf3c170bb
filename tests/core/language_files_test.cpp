// The walk for the files English has under its code: it stays in the working folder, takes names
// as listed, goes no deeper than its bound, and looks each translated copy up in the listings it
// read.
#include "core/data_files.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(LanguageFiles, LinksAreNotFollowedAndEachCopyIsLookedUpInTheListings)
{
    temp_folder dir;
    saved_globals saved;
    saved.keep(g_console_history), saved.keep(g_console_history_count), saved.keep(g_console_enabled);
    g_console_enabled = 1;
    fs::create_directories("global");
    constexpr int k_files = 3000;
    for (int i = 0; i < k_files; ++i)
        write_text("data/x/eng/f" + std::to_string(i) + ".txt", "");
    write_text("data/x/DE/F0.TXT", "");                          // found ignoring case, part by part
    fs::create_directories("data/x/DE/f1.txt");                  // a folder is no copy
    ASSERT_EQ(symlink("../eng/f2.txt", "data/x/DE/f2.txt"), 0);  // nor is a link
    ASSERT_EQ(symlink("f3.txt", "data/x/eng/link.txt"), 0);      // a link is no English file either
    write_text("data/\\/eng/text_eng.txt", "");                  // "\" is a name, not the way to "/"
    write_text("data/\\/de/text_de.txt", "");
    write_text("save/eng/a.txt", "");          // a save game is no data
    write_text("data/y.~12-3/eng/a.txt", "");  // nor is an interrupted write
    for (const auto& [link, target] : {std::pair{"data/self1", "."}, {"data/self2", ".."}, {"data/root", "/"}})
        ASSERT_EQ(symlink(target, link), 0);
    std::string deep;  // the deepest folder walked
    for (int level = 0; level < 16; ++level)
        deep += "d/";
    write_text(deep + "text_eng.txt", "");
    write_text(deep + "eng/a.txt", "");

    const std::vector<language_file> files = language_files("de");
    ASSERT_EQ(files.size(), size_t(k_files + 2));
    EXPECT_TRUE(std::is_sorted(files.begin(), files.end(),
                               [](const language_file& a, const language_file& b) { return a.english < b.english; }));
    EXPECT_EQ(files[0].english, deep + "text_eng.txt");
    EXPECT_EQ(files[0].translated, deep + "text_de.txt");
    EXPECT_EQ(files[1].english, "data/\\/eng/text_eng.txt");
    EXPECT_EQ(files[1].translated, "data/\\/de/text_de.txt");
    EXPECT_TRUE(files[1].translated_exists);
    int missing = 0;
    for (size_t i = 2; i < files.size(); ++i) {
        EXPECT_EQ(files[i].english.rfind("data/x/eng/f", 0), 0u) << files[i].english;
        EXPECT_EQ(files[i].translated_exists, files[i].english == "data/x/eng/f0.txt") << files[i].english;
        missing += !files[i].translated_exists;
    }
    EXPECT_EQ(missing, k_files - 1);
    const std::string log = read_text(k_console_log_file);
    const std::string left_out[] = {"data/self1: symbolicky odkaz", "data/self2: symbolicky odkaz",
                                    "data/root: symbolicky odkaz", "data/x/eng/link.txt: symbolicky odkaz",
                                    deep + "eng: priecinok hlbsie ako 16 urovni"};
    for (const std::string& line : left_out)
        EXPECT_NE(log.find(line + ", vynechavam"), std::string::npos) << line;
}
