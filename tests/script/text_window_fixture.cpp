#include "script/text_window_fixture.h"

#include "core/game_globals.h"
#include "core/hooks.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "level/level_links.h"
#include "script/script_links.h"

#include <cstring>

struct text_window_test::saved_state {
    text_window dialogue_window, message_window;
    char ui_text[k_ui_text_count][k_ui_text_size];
    char voice_name[k_voice_name_size];
    char language[k_language_size];
    light_record lights[k_light_slots];
    uint32_t dialogue_running, message_shown;
    intro_dialogue intro;
    script_links script;
    level_links level;
    ambient_colour ambient;
};

text_window_test::text_window_test() = default;
text_window_test::~text_window_test() = default;

std::string& text_window_test::hero_name()
{
    static std::string name;
    return name;
}

void text_window_test::SetUp()
{
    saved_ = std::make_unique<saved_state>();
    saved_->ambient = g_ambient_color;  // the texture tests' set-up makes it white
    texture_test::SetUp();
    saved_->dialogue_window = g_dialogue_window;
    saved_->message_window = g_message_window;
    std::memcpy(saved_->ui_text, g_ui_text, sizeof g_ui_text);
    std::memcpy(saved_->voice_name, g_sound.voice_name, sizeof g_sound.voice_name);
    std::memcpy(saved_->language, g_language, sizeof g_language);
    std::memcpy(saved_->lights, g_lights, sizeof g_lights);
    saved_->dialogue_running = g_dialogue_running;
    saved_->message_shown = g_message_shown;
    saved_->intro = g_intro_dialogue;
    saved_->script = g_script_links;
    saved_->level = g_level_links;

    window_ = std::make_unique<text_window>();
    std::memset(&g_dialogue_window, 0, sizeof g_dialogue_window);
    std::memset(&g_message_window, 0, sizeof g_message_window);
    std::strcpy(g_language, "eng");
    g_dialogue_running = g_message_shown = 0;
    std::snprintf(g_ui_text[149], k_ui_text_size, "Click to continue.");
    std::snprintf(g_ui_text[150], k_ui_text_size, "New location on the map.");
    std::snprintf(g_ui_text[151], k_ui_text_size, "New quest.");
    std::snprintf(g_ui_text[152], k_ui_text_size, "Quest done.");
    std::snprintf(g_ui_text[164], k_ui_text_size, "New quests.");
    std::snprintf(g_ui_text[165], k_ui_text_size, "Quests done.");
    hero_name() = "Aren";
    g_script_links.player_char = [] { return int32_t(0); };
    g_script_links.char_file_key = [](int32_t slot) { return slot == 0 ? "hero_key" : nullptr; };
    g_script_links.char_display_name = [](int32_t slot) { return slot == 0 ? hero_name().c_str() : nullptr; };
    reset_hook_skip_log();
}

void text_window_test::TearDown()
{
    reset_text_window(&g_dialogue_window);
    reset_text_window(&g_message_window);
    reset_text_window(window_.get());
    g_dialogue_window = saved_->dialogue_window;
    g_message_window = saved_->message_window;
    std::memcpy(g_ui_text, saved_->ui_text, sizeof g_ui_text);
    std::memcpy(g_sound.voice_name, saved_->voice_name, sizeof g_sound.voice_name);
    std::memcpy(g_language, saved_->language, sizeof g_language);
    std::memcpy(g_lights, saved_->lights, sizeof g_lights);
    g_dialogue_running = saved_->dialogue_running;
    g_message_shown = saved_->message_shown;
    g_intro_dialogue = saved_->intro;
    g_script_links = saved_->script;
    g_level_links = saved_->level;
    reset_hook_skip_log();
    texture_test::TearDown();
    g_ambient_color = saved_->ambient;
    saved_.reset();
}

std::vector<std::string> text_window_test::words(const text_window& window)
{
    std::vector<std::string> out;
    for (int32_t i = 0; i < window.word_count; ++i)
        out.emplace_back(window.words[i]);
    return out;
}

std::vector<std::string> text_window_test::parse(const std::string& text)
{
    parse_text_window(window_.get(), text.c_str());
    return words(*window_);
}
