#include "core/settings.h"

#include "engine/model_draw.h"
#include "interface/interface_state.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char* const k_default_config =
    "gr_gamma= 0\ngr_force16bit= 0\ngr_displayshadows= 0\ngr_lowparticles= 1\n"
    "gr_disablelight= 0\ngr_displayweather= 1\ngr_showstats= 0\ngr_runwindowed= 0\n"
    "gr_enablewbuffer= 0\nsnd_musicvolume= 50\nsnd_soundvolume= 100\nsnd_swapchannels= 0\n"
    "snd_muteall= 0\nsnd_eax= 1\nlanguage= eng\ndifficulty= 1\n";

struct config_file : ::testing::Test {
    void SetUp() override { std::strcpy(g_language, "eng"); }
    void TearDown() override { std::strcpy(g_language, "eng"); }
    temp_folder folder;
};

} // namespace

TEST_F(config_file, DefaultsAreWrittenInTheFileOrder)
{
    game_settings s;
    config_set_defaults(&s);
    ASSERT_TRUE(config_write(&s));
    EXPECT_EQ(read_text("config.cfg"), k_default_config);
}

TEST_F(config_file, RoundTripKeepsEverySettingAndTheLanguage)
{
    game_settings out;
    config_set_defaults(&out);
    out.gr_gamma = 7;
    out.gr_force16bit = 1;
    out.gr_lowparticles = 0;
    out.gr_showstats = 1;
    out.gr_enablewbuffer = 1;
    out.snd_musicvolume = 70;
    out.snd_soundvolume = 20;
    out.snd_eax = 0;
    out.difficulty = 4;
    std::strcpy(g_language, "de");
    ASSERT_TRUE(config_write(&out));
    write_text(language_text_file("de").c_str(), "");  // the data holds the language

    std::strcpy(g_language, "eng");
    game_settings in;
    std::memset(&in, 0xAB, sizeof in);
    config_read(&in);
    EXPECT_EQ(in.gr_gamma, 7);
    EXPECT_EQ(in.gr_force16bit, 1u);
    EXPECT_EQ(in.gr_lowparticles, 0u);
    EXPECT_EQ(in.gr_displayshadows, 0u);
    EXPECT_EQ(in.snd_musicvolume, 70);
    EXPECT_EQ(in.snd_soundvolume, 20);
    EXPECT_EQ(in.snd_eax, 0u);
    EXPECT_EQ(in.difficulty, 4);
    EXPECT_EQ(in.slider_value, 100);
    EXPECT_STREQ(g_language, "de");
    EXPECT_EQ(g_wbuffer_switch, 1u);
    EXPECT_EQ(g_show_stats, 1u);
}

TEST_F(config_file, ValuesAreReadByPositionNotByKey)
{
    std::string text = k_default_config;
    // Swap the first two lines: their values change places.
    text.replace(0, std::strlen("gr_gamma= 0\ngr_force16bit= 0\n"), "gr_force16bit= 1\ngr_gamma= 5\n");
    write_text("config.cfg", text);
    game_settings s;
    config_read(&s);
    EXPECT_EQ(s.gr_gamma, 1);
    EXPECT_EQ(s.gr_force16bit, 5u);
}

TEST_F(config_file, MissingOrHostileFilesLeaveSafeValues)
{
    game_settings s;
    config_read(&s);  // no file: defaults
    EXPECT_EQ(s.snd_musicvolume, 50);
    EXPECT_STREQ(g_language, "eng");

    // A truncated file keeps the later defaults.
    write_text("config.cfg", "gr_gamma= 3\r\ngr_force16bit= 1\r\n");
    config_read(&s);
    EXPECT_EQ(s.gr_gamma, 3);
    EXPECT_EQ(s.gr_force16bit, 1u);
    EXPECT_EQ(s.difficulty, 1);

    std::string text = k_default_config;
    text.replace(text.find("language= eng"), std::strlen("language= eng"),
                 "language= " + std::string(400, 'q'));
    write_text("config.cfg", text);
    config_read(&s);
    EXPECT_STREQ(g_language, "eng");  // longer than a language: not cut to one, but refused
    EXPECT_EQ(s.difficulty, 1);  // the rest of the long word does not shift the next setting

    // A key of any length is skipped whole; a code that would name another folder is refused.
    text = k_default_config;
    text.replace(0, std::strlen("gr_gamma= 0\ngr_force16bit= 0"),
                 std::string(300, 'k') + "= 4\ngr_force16bit= 1");
    text.replace(text.find("language= eng"), std::strlen("language= eng"), "language= ../x");
    std::strcpy(g_language, "fr");
    write_text("config.cfg", text);
    config_read(&s);
    EXPECT_EQ(s.gr_gamma, 4);
    EXPECT_EQ(s.gr_force16bit, 1u);
    EXPECT_EQ(s.difficulty, 1);
    EXPECT_STREQ(g_language, "fr");
}

TEST_F(config_file, VolumesAreStoredAsReadAndClampedWhereApplied)
{
    std::string text = k_default_config;
    text.replace(text.find("snd_musicvolume= 50"), std::strlen("snd_musicvolume= 50"), "snd_musicvolume= 70");
    text.replace(text.find("snd_soundvolume= 100"), std::strlen("snd_soundvolume= 100"), "snd_soundvolume= 20");
    write_text("config.cfg", text);
    game_settings s;
    config_read(&s);
    EXPECT_EQ(s.snd_musicvolume, 70);
    EXPECT_EQ(s.snd_soundvolume, 20);
    EXPECT_EQ(music_volume_percent(&s), 70);

    text.replace(text.find("snd_musicvolume= 70"), std::strlen("snd_musicvolume= 70"), "snd_musicvolume= 65535");
    write_text("config.cfg", text);
    config_read(&s);
    EXPECT_EQ(s.snd_musicvolume, 65535);
    EXPECT_EQ(s.snd_soundvolume, 20);
    EXPECT_EQ(music_volume_percent(&s), 100);
    EXPECT_EQ(sound_volume_percent(&s), 20);
}

TEST_F(config_file, UnwritableConfigKeepsTheOldFile)
{
    std::filesystem::create_directory("config.cfg");  // a folder where the file should be
    game_settings s;
    config_set_defaults(&s);
    EXPECT_FALSE(config_write(&s));
    EXPECT_TRUE(std::filesystem::is_directory("config.cfg"));
}

TEST(MessageLog, KeepsTheNewest999LinesInOrder)
{
    static message_log log;
    std::memset(&log, 0, sizeof log);
    for (int i = 1; i <= 1000; ++i)
        log_add_line(&log, uint8_t(i % 7), "line %d", i);
    ASSERT_EQ(log.count, 999u);
    EXPECT_STREQ(log.lines[0], "line 2");
    EXPECT_STREQ(log.lines[998], "line 1000");
    EXPECT_EQ(log.colours[998], 1000 % 7);
    EXPECT_EQ(log.colours[0], 2 % 7);
}

TEST(MessageLog, NewLineShowsTheNewestAndLongLinesAreCut)
{
    static message_log log;
    std::memset(&log, 0, sizeof log);
    log.view_offset = 5;
    log_add_line(&log, 1, "%s", std::string(600, 'z').c_str());
    EXPECT_EQ(log.view_offset, 0u);
    EXPECT_EQ(std::strlen(log.lines[0]), 254u);
}
