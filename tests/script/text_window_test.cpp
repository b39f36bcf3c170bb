// The text window's life: markup files, the reset and its textures, the per-frame dialogue loader
// with its markup and dialogue-record branches, drawing in full light, the intro dialogue, and
// the two helpers float_atan and get_file_size.
#include "script/text_window_fixture.h"

#include "script/text_window_draw.h"

#include "core/game_globals.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "script/script_links.h"
#include "script/script_services.h"

#include <cmath>
#include <cstring>

namespace {

using strings = std::vector<std::string>;

bool logged(const std::string& log, const std::string& line)
{
    return log.find(line) != std::string::npos;
}

TEST_F(text_window_test, AMarkupFileIsReadByteForByteAndAnUnreadableOneKeepsTheWindow)
{
    write_text("data/t.txt", "one\r\n^l two\r\n\x01\x7F");
    EXPECT_EQ(load_markup_file(window_.get(), "data/t.txt"), 1);
    EXPECT_EQ(words(*window_), (strings{"one", "^l", "two"}));
    EXPECT_STREQ(window_->name, "data/t.txt");

    const auto before = std::make_unique<text_window>(*window_);
    EXPECT_EQ(load_markup_file(window_.get(), "data/missing.txt"), -1);
    EXPECT_EQ(load_markup_file(window_.get(), "data"), -1);  // a folder
    EXPECT_EQ(std::memcmp(before.get(), window_.get(), sizeof(text_window)), 0);
    EXPECT_TRUE(logged(log_text(), "data/missing.txt: subor chyba, ostava doterajsi text okna"));
    EXPECT_FALSE(is_readable_file("data/missing.txt"));  // the size test made no file

    // A file past 63,999 bytes is read up to there and logged.
    std::string big = "first";
    big.resize(63995, ' ');
    write_text("data/big.txt", big + "lastword");
    EXPECT_EQ(load_markup_file(window_.get(), "data/big.txt"), 1);
    EXPECT_EQ(words(*window_), (strings{"first", "last"}));
    EXPECT_TRUE(logged(log_text(), "data/big.txt: 64003 bytes, the first 63999 read"));
}

TEST_F(text_window_test, AResetReleasesTheSixteenPicturesAndTheBackgroundOnce)
{
    text_window& w = *window_;
    make_folder("data");
    for (int i = 0; i < k_window_pictures; ++i) {
        const std::string name = "data/p" + std::to_string(i) + ".tga";
        write_test_image(name.c_str(), 4, 4);
        w.pictures[i] = get_texture(name.c_str(), 256, 256, 0, 0, 0, 0);
    }
    w.picture_count = k_window_pictures;
    write_test_image("data/back.tga", 4, 4);
    w.background = get_texture("data/back.tga", 256, 256, 0, 0, 0, 0);
    w.has_background = 1;
    const int32_t shared = get_texture("data/p3.tga", 256, 256, 0, 0, 0, 0);  // another owner of picture 3
    auto in_use = [] {
        int n = 0;
        for (int32_t t = 0; t < g_texture_count; ++t)
            n += g_textures[t].name[0] != '\0';
        return n;
    };
    ASSERT_EQ(in_use(), 17);

    parse("the next text");  // a parse begins with a reset
    EXPECT_EQ(in_use(), 1);
    EXPECT_EQ(g_textures[shared].refcount, 1u);
    EXPECT_EQ(w.picture_count, 0);
    EXPECT_EQ(w.has_background, 0);
    reset_text_window(&w);
    EXPECT_EQ(g_textures[shared].refcount, 1u);  // a second reset releases nothing again
    EXPECT_EQ((std::vector<float>{float(w.word_count), w.y2, float(w.first_pass), float(w.log_pending)}),
              (std::vector<float>{0, 0, 1, 1}));
    release_texture(shared);
}

TEST_F(text_window_test, TheDialogueLoaderLoadsARequestedMarkupFileOnceWhileADialogueRuns)
{
    text_window& w = g_dialogue_window;
    write_text("data/d.txt", "Hello Dovan ^l");
    std::strcpy(w.requested_file, "data/d.txt");
    load_text_window_dialogue(&w);
    EXPECT_EQ(w.word_count, 0);
    EXPECT_STREQ(w.name, "");

    g_dialogue_running = 1;
    load_text_window_dialogue(&w);
    EXPECT_EQ(words(w), (strings{"Hello", "Aren", "^l"}));
    EXPECT_STREQ(w.name, "data/d.txt");
    // Laid out once: the first pass of a running dialogue moved it to the bottom of the screen.
    EXPECT_EQ(w.first_pass, 0u);
    EXPECT_EQ(w.y2, 768.0f - 46.0f);
    EXPECT_TRUE(logged(log_text(), "loadding dialog file data/d.txt\n"));

    std::strcpy(w.words[0], "changed");
    load_text_window_dialogue(&w);  // the name is the request: nothing to do
    EXPECT_STREQ(w.words[0], "changed");

    // A page that cannot be read keeps the text on screen only while another of its links leads
    // on: a page no link leads to, a text whose other link is damaged, and a link refused as a
    // path end the dialogue, and the same page asked for again is tried again.
    write_text("data/dialogs/eng/on.txt", "^lnst Go ^lnend gone.txt ^lnst Back ^lnend back.txt");
    write_text("data/dialogs/eng/back.txt", "back");
    const auto show_links = [&] {
        std::strcpy(w.requested_file, "data/dialogs/eng/on.txt");
        g_dialogue_running = 1;
        load_text_window_dialogue(&w);
        run_text_window(&w);  // the first pass registers no link
        ASSERT_EQ(w.link_count, 2);
    };
    show_links();
    std::strcpy(w.requested_file, "data/dialogs/eng/gone.txt");
    load_text_window_dialogue(&w);
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_EQ(words(w).front(), "^lnst");
    EXPECT_TRUE(logged(log_text(), "data/dialogs/eng/gone.txt: subor chyba, ostava doterajsi text okna"));

    write_bytes("data/dialogs/eng/back.txt", {'b', 0, 'k'});
    show_links();
    std::strcpy(w.requested_file, "data/dialogs/eng/gone.txt");
    load_text_window_dialogue(&w);
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(w.word_count, 0);
    EXPECT_TRUE(logged(log_text(), "data/dialogs/eng/gone.txt: subor chyba, ostava okno zatvorene"));

    const auto said = [&] {
        const std::string log = log_text(), line = "data/none.txt: subor chyba, ostava okno zatvorene";
        int n = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++n;
        return n;
    };
    for (int round = 1; round <= 2; ++round) {
        std::strcpy(w.requested_file, "data/none.txt");  // a page asked for by no link
        g_dialogue_running = 1;
        load_text_window_dialogue(&w);
        EXPECT_EQ(g_dialogue_running, 0u) << round;
        EXPECT_EQ(said(), round);
    }

    write_text("data/dialogs/eng/on.txt", "^lnst Out ^lnend ../x.txt");
    std::strcpy(w.requested_file, "data/dialogs/eng/on.txt");
    g_dialogue_running = 1;
    load_text_window_dialogue(&w);
    run_text_window(&w);
    ASSERT_EQ(w.link_count, 1);
    choose_text_window_option(&w, 0, true);
    EXPECT_EQ(g_dialogue_running, 0u);
}

std::vector<std::string>& builder_calls()
{
    static std::vector<std::string> calls;
    return calls;
}

TEST_F(text_window_test, DialogueRecordPartsComeFromTheBuildersWithTheBufferSize)
{
    builder_calls().clear();
    g_script_links.read_dialogue = [](const char* path) { builder_calls().push_back(std::string("read ") + path); };
    g_script_links.build_dialogue_node_markup = [](uint16_t node, char* buffer, size_t size) {
        builder_calls().push_back("node " + std::to_string(node) + " " + std::to_string(size));
        std::snprintf(buffer, size, "node %d Dovan", int(node));
    };
    g_script_links.build_question_menu = [](int16_t slot, char* buffer, size_t size) {
        builder_calls().push_back("menu " + std::to_string(slot) + " " + std::to_string(size));
        std::memset(buffer, 'm', size);  // unterminated: the loader ends it
    };
    text_window& w = g_dialogue_window;
    g_dialogue_running = 1;
    w.dialogue_record_mode = 1;

    w.dialogue_node = 7;
    std::strcpy(w.requested_file, "data/dia/x.dia2");
    load_text_window_dialogue(&w);
    EXPECT_EQ(builder_calls(), (strings{"read data/dia/x.dia2", "node 7 4000"}));
    EXPECT_EQ(words(w), (strings{"node", "7", "Aren"}));
    EXPECT_EQ(w.dialogue_node, 7);
    EXPECT_EQ(w.dialogue_record_mode, 1u);
    EXPECT_STREQ(w.name, "data/dia/x.dia2");

    builder_calls().clear();
    w.dialogue_kind = k_dialogue_question_menu;
    w.dialogue_char = 2;
    std::strcpy(w.requested_file, "menu");
    load_text_window_dialogue(&w);
    EXPECT_EQ(builder_calls(), (strings{"menu 2 4000"}));
    EXPECT_EQ(words(w), (strings{std::string(99, 'm')}));
    EXPECT_EQ(w.skip_header, 1u);
    EXPECT_STREQ(w.name, "menu");

    builder_calls().clear();
    w.dialogue_kind = k_dialogue_end_file;
    w.end_dialogue_number = 3;
    w.dialogue_char = 0;
    std::strcpy(w.requested_file, "x");
    load_text_window_dialogue(&w);
    EXPECT_STREQ(w.name, "data/dia//eng/hero_key/end3.dia2");
    EXPECT_STREQ(w.requested_file, w.name);
    EXPECT_EQ(builder_calls(), (strings{"read data/dia//eng/hero_key/end3.dia2", "node 0 4000"}));
    EXPECT_EQ(w.dialogue_node, 0);
    EXPECT_EQ(w.dialogue_kind, k_dialogue_after_end_file);

    // Without the builders the loader logs their skips once and idles on the request.
    g_script_links = {};
    std::strcpy(w.requested_file, "data/dia/y.dia2");
    load_text_window_dialogue(&w);
    load_text_window_dialogue(&w);
    EXPECT_EQ(w.word_count, 0);
    EXPECT_STREQ(w.name, "data/dia/y.dia2");
    const std::string log = log_text();
    EXPECT_TRUE(logged(log, "read_dialogue: nie je, preskakujem\nbuild_dialogue_node_markup: nie je, preskakujem\n"));
    EXPECT_EQ(log.find("data/dia/y.dia2\n"), log.rfind("data/dia/y.dia2\n"));
}

TEST_F(text_window_test, DrawingAWindowSwitchesTheLitLightsOffAndGivesThemAndTheAmbientBack)
{
    std::memset(g_lights, 0, sizeof g_lights);
    for (int slot : {3, 10, 60}) {
        g_lights[slot].state = slot == 10 ? k_light_fading : k_light_on;
        device_->light_enable(uint32_t(slot), true);
    }
    g_ambient_color = {0.2f, 0.4f, 0.6f};
    const uint32_t ambient = set_device_ambient_light();
    for (void (*draw)() : {draw_dialogue_window, draw_message_window}) {
        device_->clear_recording();
        draw();
        std::vector<std::pair<uint32_t, uint32_t>> seen;  // (slot or 1000 for the ambient, value)
        for (const recorded_call& c : device_->calls()) {
            if (c.kind == device_call::light_enable)
                seen.emplace_back(c.what, c.value);
            else if (c.kind == device_call::render_state && c.what == uint32_t(render_state::ambient))
                seen.emplace_back(1000, c.value);
        }
        EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, uint32_t>>{{3, 0}, {1000, 0xFFFFFFFFu}, {3, 1}, {1000, ambient}}));
        for (int slot : {3, 10, 60})
            EXPECT_TRUE(device_->is_light_enabled(uint32_t(slot)));
        EXPECT_EQ(device_->get_render_state(render_state::ambient), ambient);
    }
}

TEST_F(text_window_test, TheIntroDialogueStartsOnceAndOnlyWithItsFile)
{
    g_intro_dialogue = {};
    start_intro_dialogue();  // no file: nothing holds the screen
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(g_intro_dialogue.started, 1u);

    g_intro_dialogue = {};
    g_intro_dialogue.flag = 1;
    write_text("data/dialogs/2/0.txt", "Welcome, Dovan!");
    start_intro_dialogue();
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_EQ(words(g_dialogue_window), (strings{"Welcome,", "Aren!"}));
    std::strcpy(g_dialogue_window.words[0], "seen");
    start_intro_dialogue();
    EXPECT_STREQ(g_dialogue_window.words[0], "seen");
    EXPECT_EQ(g_intro_dialogue.flag, 1u);
    g_dialogue_running = 0;
    start_intro_dialogue();
    EXPECT_EQ(g_intro_dialogue.flag, 0u);
}

TEST_F(text_window_test, FloatAtanIsZeroForTwoEqualPointsAndFileSizesCreateNothing)
{
    const float same = 0.0f;
    EXPECT_EQ(float_atan(same / same), 0.0f);
    EXPECT_EQ(int(-float_atan((5.0f - 5.0f) / (7.0f - 7.0f)) * 57.29578f), 0);  // the facing rule's angle
    EXPECT_FLOAT_EQ(float_atan(1.0f), 0.78539816f);
    EXPECT_FLOAT_EQ(float_atan(-INFINITY), -1.5707964f);

    EXPECT_EQ(get_file_size("data/nothing.txt"), 0u);
    EXPECT_FALSE(is_readable_file("data/nothing.txt"));
    write_text("data/five.txt", "12345");
    EXPECT_EQ(get_file_size("DATA/FIVE.TXT"), 5u);
}

} // namespace
