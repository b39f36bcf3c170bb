// The file chooser: its folder, its open and save rules and what it returns, answered by a
// scripted user.
#include "dialog_test_support.h"

#include "editor/controls/dialog_records.h"
#include "editor/windows/file_name_dialog.h"

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

constexpr char k_filter[] = "SAVE FILE\0*.sav\0ALL\0*.*\0";

class FileNameDialog : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        std::memcpy(saved_last_dir_, g_last_file_dir, sizeof saved_last_dir_);
        g_last_file_dir[0] = 0;
        root_ = fs::current_path().string() + "/";
        fs::create_directories("maps/sub");
        write_text("maps/Level.SAV", "level");
        write_text("maps/other.txt", "text");
        write_text("notes.sav", "notes");
    }
    void TearDown() override
    {
        std::memcpy(g_last_file_dir, saved_last_dir_, sizeof saved_last_dir_);
        g_file_dialog_path[0] = 0;
        dialog_test::TearDown();
    }

    // Answers the next chooser with the steps, one per pass; after the last the responder
    // gives up, which cancels a chooser still open.
    void script(std::vector<std::function<void(dialog_handle)>> steps)
    {
        steps_ = std::move(steps);
        next_ = 0;
        set_modal_responder([this](dialog_handle chooser) {
            if (next_ < steps_.size())
                steps_[next_++](chooser);
            return next_ < steps_.size();
        });
    }
    static std::function<void(dialog_handle)> type_and_ok(std::string name)
    {
        return [name](dialog_handle c) {
            user_edit_text(c, k_chooser_name, name);
            user_click(c, k_id_ok);
        };
    }
    std::function<void(dialog_handle)> look(std::vector<std::string>* rows, std::string* folder = nullptr,
                                            std::string* status = nullptr)
    {
        return [=](dialog_handle c) {
            char text[300];
            for (int32_t row = 0; rows && row < get_list_count(c, k_chooser_files); ++row) {
                get_list_text(c, k_chooser_files, row, text, sizeof text);
                rows->push_back(text);
            }
            if (folder) {
                get_item_text(c, k_chooser_folder, text, sizeof text);
                *folder = text;
            }
            if (status) {
                get_item_text(c, k_chooser_status, text, sizeof text);
                *status = text;
            }
        };
    }

    std::string root_;
    char saved_last_dir_[k_last_file_dir_size] = {};
    std::vector<std::function<void(dialog_handle)>> steps_;
    size_t next_ = 0;
};

TEST_F(FileNameDialog, OpensInTheWorkingFolderFiltersAndReturnsThePathAsOnDisk)
{
    std::vector<std::string> first, second, all;
    std::string folder;
    script({look(&first, &folder),
            [](dialog_handle c) { user_double_click(c, k_chooser_files, 0); }, // "..": up and back down
            type_and_ok(root_ + "maps"),                                        // a folder name enters it
            look(&second),
            [](dialog_handle c) { user_choose(c, k_chooser_filter, 1); },
            look(&all),
            [](dialog_handle c) { user_choose(c, k_chooser_files, 3); }, // a file row fills the name
            [](dialog_handle c) { user_edit_text(c, k_chooser_name, "LEVEL"); },
            [](dialog_handle c) { user_press_enter(c); }});
    const std::string path = ask_file_name("load map", k_filter, "sav", k_file_dialog_open, 0);
    EXPECT_EQ(folder, root_);
    EXPECT_EQ(first, (std::vector<std::string>{"../", "maps/", "notes.sav"}));
    EXPECT_EQ(second, (std::vector<std::string>{"../", "sub/", "Level.SAV"}));
    EXPECT_EQ(all, (std::vector<std::string>{"../", "sub/", "Level.SAV", "other.txt"}));
    EXPECT_EQ(path, root_ + "maps/Level.SAV"); // the default extension added, the case kept
    EXPECT_STREQ(g_last_file_dir, (root_ + "maps/").c_str());
    EXPECT_EQ(fs::current_path().string() + "/", root_);

    // The next chooser of any caller opens there; a file in a shorter folder is remembered exactly.
    script({look(nullptr, &folder), type_and_ok("../notes.sav")});
    EXPECT_EQ(std::string(ask_file_name("load dialogue", "DIALOG FILE\0*.dia\0", "dia", 1, 0)), root_ + "notes.sav");
    EXPECT_EQ(folder, root_ + "maps/");
    EXPECT_STREQ(g_last_file_dir, root_.c_str());
}

TEST_F(FileNameDialog, OpenTakesOnlyFilesThatExistSaveAnyNameInAFolderThatExists)
{
    std::string open_status, save_status;
    script({type_and_ok("maps/missing"), look(nullptr, nullptr, &open_status)});
    EXPECT_STREQ(ask_file_name("load map", k_filter, "sav", k_file_dialog_open, 0), "");
    EXPECT_EQ(open_status, "File not found.");
    EXPECT_STREQ(g_last_file_dir, ""); // a cancel remembers nothing

    script({type_and_ok("nowhere/new"), look(nullptr, nullptr, &save_status), type_and_ok("maps/Level.SAV")});
    EXPECT_EQ(std::string(ask_file_name("save map", k_filter, "sav", 0, 0)), root_ + "maps/Level.SAV");
    EXPECT_EQ(save_status, "Folder not found.");

    script({type_and_ok("fresh")});
    EXPECT_EQ(std::string(ask_file_name("save map", k_filter, "sav", 0, 0)), root_ + "maps/fresh.sav");
    script({type_and_ok("plain.")}); // a name with a dot takes no extension
    EXPECT_EQ(std::string(ask_file_name("save map", k_filter, "sav", 2, 0)), root_ + "maps/plain.");
    EXPECT_FALSE(fs::exists("maps/fresh.sav")); // the chooser writes nothing
}

TEST_F(FileNameDialog, APathTooLongIsRefusedAndNobodyToAnswerCancels)
{
    std::strcpy(g_last_file_dir, (root_ + "maps/").c_str());
    script({type_and_ok(std::string(300, 'n'))});
    EXPECT_STREQ(ask_file_name("save map", k_filter, "sav", 0, 0), "");
    EXPECT_NE(last_console_line().find("pridlha"), std::string::npos) ;
    EXPECT_STREQ(g_last_file_dir, (root_ + "maps/").c_str());

    set_modal_responder({});
    std::strcpy(g_file_dialog_path, "stale");
    EXPECT_STREQ(ask_file_name("load map", k_filter, "sav", k_file_dialog_open, 0), "");
    EXPECT_EQ(last_console_line(), "vyber suboru \"load map\" sa neda zobrazit, zrusene");
    EXPECT_TRUE(live_dialogs().empty());
}

} // namespace
