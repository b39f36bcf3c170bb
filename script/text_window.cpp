// The two long-lived text windows and their life from frame to frame.
#include "script/text_window.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/lights.h"
#include "engine/textures.h"
#include "platform/key_codes.h"
#include "script/script_links.h"
#include "script/text_window_draw.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

text_window g_dialogue_window;
text_window g_message_window;
intro_dialogue g_intro_dialogue;
int32_t g_dialog_frame_texture = -1;

namespace {

constexpr size_t k_dialogue_markup_size = 4000;

void draw_in_full_light(text_window* window)
{
    full_light_guard light;
    run_text_window(window);
    draw_text_window(window);
}

void first_run(text_window* window)
{
    window->first_pass = 1;
    run_text_window(window);
}

void read_dialogue(const char* path)
{
    run_hook(g_script_links.read_dialogue, "read_dialogue", path);
}

void build_node_markup(uint16_t node, char* buffer, size_t size)
{
    run_hook(g_script_links.build_dialogue_node_markup, "build_dialogue_node_markup", node, buffer, size);
    buffer[size - 1] = '\0';
}

// A part of the dialogue record: the question menu, an end file or the remembered node.
void load_dialogue_record_part(text_window* window)
{
    char markup[k_dialogue_markup_size] = {};
    const uint16_t node = window->dialogue_node;
    switch (window->dialogue_kind) {
    case k_dialogue_question_menu:
        std::memcpy(window->name, window->requested_file, sizeof window->name);
        run_hook(g_script_links.build_question_menu, "build_question_menu", window->dialogue_char, markup,
                 sizeof markup);
        markup[sizeof markup - 1] = '\0';
        window->dialogue_record_mode = 1;
        parse_text_window(window, markup);
        first_run(window);
        window->skip_header = 1;
        break;
    case k_dialogue_end_file: {
        const char* key = run_hook_or(g_script_links.char_file_key, "char_file_key", nullptr, window->dialogue_char);
        std::snprintf(window->name, sizeof window->name, "data/dia//%s/%s/end%d.dia2", g_language, key ? key : "",
                      int(window->end_dialogue_number));
        std::memcpy(window->requested_file, window->name, sizeof window->name);
        read_dialogue(window->name);
        build_node_markup(0, markup, sizeof markup);
        parse_text_window(window, markup);
        window->dialogue_node = 0;
        window->dialogue_kind = k_dialogue_after_end_file;
        first_run(window);
        break;
    }
    default:
        std::memcpy(window->name, window->requested_file, sizeof window->name);
        console_log("%s", window->name);
        read_dialogue(window->name);
        g_dialogue_running = 1;
        build_node_markup(node, markup, sizeof markup);
        window->dialogue_record_mode = 1;
        parse_text_window(window, markup);
        if (window->dialogue_record_mode == 0)
            return;
        window->dialogue_record_mode = 1;
        window->dialogue_node = node;
        first_run(window);
        break;
    }
}

// Whether `test` holds for the path of one of the window's option links ("data/dialogs/<language>/"
// and the link's target; a target refused as a path is no link's path).
template <class Test>
bool any_link_target(const text_window& w, Test test)
{
    const int32_t links = std::min<int32_t>(w.link_count, k_window_links);
    for (int32_t i = 0; i < links; ++i) {
        const int16_t word = w.links[i].target_word;
        char target[k_window_path_size];
        if (word >= 0 && word < w.word_count && dialogue_path(target, sizeof target, w.words[word]) && test(target))
            return true;
    }
    return false;
}

// Whether one of the window's option links leads to `path`.
bool window_links_to(const text_window& w, const char* path)
{
    return any_link_target(w, [&](const char* target) { return std::strcmp(target, path) == 0; });
}

// A running dialogue whose window offers no option and asks for no other file has no way on,
// whatever its page holds (nothing, text alone, a cut link): Space, or a click on the window,
// ends it as the end of a dialogue does.
void leave_dead_end(text_window& w)
{
    if (!g_dialogue_running || w.first_pass || w.link_count > 0 || std::strcmp(w.requested_file, w.name) != 0)
        return;
    const bool on_window = g_mouse_screen_x >= w.x1 && g_mouse_screen_x <= w.x2 && g_mouse_screen_y >= w.y1 &&
                           g_mouse_screen_y <= w.y2;
    if (!take_key_press(k_key_space) && !(g_mouse_left && on_window && take_left_press()))
        return;
    console_log("%s: okno nema ziadnu moznost, dialog skoncil", w.name[0] ? w.name : "?");
    end_text_window_dialogue(&w);
}

} // namespace

void reset_text_window(text_window* window)
{
    for (int i = 0; i < window->picture_count && i < k_window_pictures; ++i) {
        release_texture(window->pictures[i]);
        window->pictures[i] = -1;
    }
    if (window->has_background == 1) {
        release_texture(window->background);
        window->background = -1;
    }
    window->has_background = 0;  // a second reset releases nothing again
    window->word_count = 0;
    window->picture_count = 0;
    window->log_pending = 1;
    window->y2 = 0.0f;
    window->first_pass = 1;
}

bool dialogue_path(char* out, size_t size, const char* part)
{
    const std::string folder = std::string("data/dialogs/") + g_language + "/";
    const std::string path = data_file_path(folder.c_str(), part);
    if (path.empty())
        return false;
    if (path.size() >= size) {
        console_log("dialog %s: cesta je pridlha", part);
        return false;
    }
    std::memcpy(out, path.c_str(), path.size() + 1);
    return true;
}

void load_text_window_dialogue(text_window* window)
{
    window->requested_file[sizeof window->requested_file - 1] = '\0';
    window->name[sizeof window->name - 1] = '\0';
    if (!g_dialogue_running || std::strcmp(window->requested_file, window->name) == 0)
        return;
    if (window->dialogue_record_mode == 1) {
        load_dialogue_record_part(window);
        return;
    }
    std::memcpy(window->name, window->requested_file, sizeof window->name);
    console_log("loadding dialog file %s", window->requested_file);
    g_dialogue_running = 1;
    // A page that cannot be read leaves the text on screen only when the text has another way on.
    const char* page = window->requested_file;
    const bool keep = window_links_to(*window, page) && window_leads_on(*window, page);
    if (load_markup_file(window, page, keep ? k_window_text_kept : "okno zatvorene") != 1) {
        if (!keep) {
            end_text_window_dialogue(window);
            window->name[0] = '\0';  // the same page asked for again is tried again
        }
        return;
    }
    if (window->dialogue_record_mode == 0)
        first_run(window);
}

bool window_leads_on(const text_window& window, const char* except)
{
    return any_link_target(window, [&](const char* target) {
        return std::strcmp(target, except) != 0 && markup_file_readable(target);
    });
}

void draw_dialogue_window()
{
    draw_in_full_light(&g_dialogue_window);
    leave_dead_end(g_dialogue_window);
}

void draw_message_window()
{
    draw_in_full_light(&g_message_window);
}

void clear_message_window_reanchor()
{
    g_message_window.first_pass = 0;
}

void reset_dialogue_window()
{
    reset_text_window(&g_dialogue_window);
}

void start_intro_dialogue()
{
    if (g_intro_dialogue.enabled != 1)
        return;
    if (g_intro_dialogue.started == 0) {
        g_intro_dialogue.started = 1;
        // Without its file the intro does not hold the screen.
        if (load_markup_file(&g_dialogue_window, "data/dialogs/2/0.txt") == 1)
            g_dialogue_running = 1;
    } else if (!g_dialogue_running) {
        g_intro_dialogue.flag = 0;
    }
}

void load_dialog_frame_texture()
{
    release_texture(g_dialog_frame_texture);
    g_dialog_frame_texture = get_texture("global/dialog.bmp", 128, 128, 0, 0, 0, 0);
}
