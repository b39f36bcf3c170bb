// Names that data gives and that would lead out of their folder, absolute or with "..", are
// refused with one line naming them, and the file they point at is never opened: dialogue links,
// the markup's background picture, narration and slide list, the frames of prototype files, the
// creature files of placements, and the console's "slide", "load" and "fload".
#include "shell/shell_fixture.h"

#include "characters/char_spawning.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "engine/packed_stream.h"
#include "interface/slide_shows.h"
#include "level/level_change.h"
#include "shell/console_commands.h"
#include "shell/program.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "script/text_window_draw.h"
#include "support/file_read_log.h"
#include "world/object_protos.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

TEST_F(shell_test, NamesFromDataThatLeaveTheirFolderAreRefusedByName)
{
    // A folder beside the working folder, holding a file of every kind a name could ask for.
    const fs::path outside = folder_->path().parent_path() / ("outside-" + std::to_string(getpid()));
    fs::create_directories(outside);
    for (const char* name : {"x.txt", "x.ogg", "x.sav"})
        fs::copy_file(fs::path("data/levels/brana.sav"), outside / name, fs::copy_options::overwrite_existing);
    for (const char* name : {"x.tga", "x00.tga", "x01.tga"})
        fs::copy_file(fs::path("global/black.tga"), outside / name, fs::copy_options::overwrite_existing);
    const std::string up = "../" + outside.filename().string() + "/";  // from the working folder
    const std::string full = outside.string() + "/";

    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    const auto markup = [](const std::string& text) { parse_text_window(&g_dialogue_window, ("x " + text).c_str()); };
    const auto frames = [](int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(program_frame());
    };

    struct escape {
        const char* what;
        std::string name;    // as the refusal names it
        const char* folder;  // the folder it would leave
        std::function<void()> act;
    };
    const std::string link = "../../../" + up + "x.txt";
    const escape escapes[] = {
        {"a dialogue link", link, "data/dialogs/eng/",
         [&] {
             const char* path = "data/dialogs/eng/evil.txt";
             write_text(path, "^window 50 420 900 700\n^dialog\n^l Where?\n^l\n^lnst Go ^lnend " + link + "\n");
             text_window& w = g_dialogue_window;
             g_dialogue_running = 1;
             w.dialogue_record_mode = 0;
             ASSERT_EQ(load_markup_file(&w, path), 1);
             std::snprintf(w.requested_file, sizeof w.requested_file, "%s", path);  // shown, as the loader leaves it
             for (int pass = 0; pass < 2; ++pass) {
                 run_text_window(&w);
                 draw_text_window(&w);
             }
             ASSERT_EQ(w.link_count, 1);
             choose_text_window_option(&w, 0, false);
             load_text_window_dialogue(&w);  // the next frame's loader
             reset_text_window(&w);
             w.name[0] = w.requested_file[0] = '\0';
         }},
        {"the background picture", full + "x.tga", ".", [&] { markup("^pozadie " + full + "x.tga"); }},
        {"the narration", up + "x.ogg", ".", [&] { markup("^play_voice " + up + "x.ogg"); }},
        {"the slide list", up + "x.txt", ".", [&] { markup("^play_slide " + up + "x.txt"); }},
        {"a text prototype's frame", up + "x00.tga", ".",
         [&] {
             write_text("evil.txt", "evil kind 0\r\nwidth 32 height 32\r\nframes 2 : " + up +
                                        "x00.tga y.tga\r\nmode 1 delay 5\r\n");
             object_proto p{};
             reset_object_proto(&p);
             load_object_proto(&p, "evil.txt");
             EXPECT_STREQ(p.frame_names[1], "y.tga");  // not the next outside frame
         }},
        {"a creature a script places", "../../../x.chr", "data/creature/",
         [&] { markup("^add_char ../../../x 600 420"); }},
        {"a creature a level keeps", "../../../y.chr", "data/creature/",
         [&] {
             add_char_placement(&g_char_placements, "../../../y.chr", 0.0f, 0.0f, 0);
             run_console_command_table("load brana.sav");  // the change file keeps it, the level reads it back
             frames(1);
             EXPECT_EQ(read_text(k_console_log_file).find("data/creature/../"), std::string::npos);  // never looked for
         }},
        {"a prototype file's frame", full + "x.tga", ".",
         [&] {
             const int32_t slot = k_proto_slots - 1;
             object_proto& p = g_object_protos[slot];
             reset_object_proto(&p);
             p.kind = k_proto_sprite;
             p.frame_counts[0] = 1;
             std::snprintf(p.frame_names[0], sizeof p.frame_names[0], "%s", (full + "x.tga").c_str());
             packed_stream* out = stream_open("evil.pr", "wp");
             ASSERT_TRUE(write_object_proto(slot, out));
             ASSERT_EQ(stream_close(out), 0);
             p.kind = k_proto_free;
             read_object_proto_file(slot, "evil.pr", "bez prototypu");
             free_object_proto(&p, slot);
             p.kind = k_proto_free;
         }},
        {"the console's slide", up + "x.txt", ".", [&] { run_console_command_table(("slide " + up + "x.txt").c_str()); }},
        {"the console's load", up + "x.sav", ".",
         [&] {
             run_console_command_table(("load " + up + "x.sav").c_str());
             EXPECT_EQ(g_pending_level.pending, 0u);  // nothing to enter: the hero stays, no "You enter"
             frames(3);
         }},
        {"the console's fload", full + "x.sav", ".", [&] { run_console_command_table(("fload " + full + "x.sav").c_str()); }},
    };
    for (const escape& e : escapes) {
        SCOPED_TRACE(e.what);
        write_text(k_console_log_file, "");
        file_read_log reads;
        e.act();
        const std::string line = e.name + ": mimo priecinka " + e.folder + ", odmietnute\n";
        EXPECT_NE(read_text(k_console_log_file).find(line), std::string::npos) << line;
        for (const std::string& read : reads.all_files())
            EXPECT_NE(read.rfind(outside.string(), 0), 0u) << read << " was opened";
    }
    EXPECT_STREQ(g_current_level, "brana.sav");  // the level named outside was never entered
    EXPECT_EQ(g_chapter_slides.timing.running, 0u);  // nor a slide show of a refused list

    g_quit = 1;
    program_shutdown(true);
    fs::remove_all(outside);
}
