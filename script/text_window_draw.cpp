// The draw pass of a text window: the words where the layout walk places them, the option links
// with their hover colours, the message log of a running dialogue and the option choice.
#include "script/text_window_draw.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "engine/ui_texts.h"
#include "platform/key_codes.h"
#include "script/dialogues.h"
#include "script/load_time_commands.h"
#include "script/markup_keywords.h"
#include "script/run_time_commands.h"
#include "script/script_links.h"
#include "script/text_window_layout.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint8_t k_log_colour = 3;
constexpr uint32_t k_link_white = 0xFFFFFF;
constexpr uint32_t k_link_red = 0x0000FF;
constexpr int32_t k_record_options = 10;
constexpr int16_t k_question_dialogue = 4;
constexpr int32_t k_line_text_size = k_layout_row_words * k_window_word_size + 1;

bool key_down(uint8_t key)
{
    return (g_key_state[key] & 0x80) != 0;
}

// A screen coordinate as the font takes it: truncated, held to the range of an int.
int32_t pixel(float v)
{
    if (!(v == v))
        return 0;
    return int32_t(std::clamp(v, -1.0e9f, 1.0e9f));
}

uint32_t gdi_colour(uint8_t red, uint8_t green, uint8_t blue)
{
    return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16;
}

// Word i of the text, or "" for a word the text no longer holds.
const char* word_at(const text_window& w, int32_t i)
{
    return i >= 0 && i < std::min<int32_t>(w.word_count, k_window_word_limit) ? w.words[i] : "";
}

bool shows_words(const text_window& w)
{
    return !w.first_pass && !w.no_draw;
}

// The links are numbered options: link 0's first word begins with "1".
bool numbered_links(const text_window& w)
{
    return w.link_count > 0 && word_at(w, w.links[0].first_word)[0] == '1';
}

// A line of the dialogue into the message log: its words, each followed by a blank. A line equal
// to UI text 159 (the leave option), its last blank aside, takes the last log line away instead.
void log_line(const text_window& w, const int16_t* words, int32_t count)
{
    if (g_message_shown || count == 0)
        return;
    char text[k_line_text_size];
    size_t length = 0;
    for (int32_t k = 0; k < count; ++k) {
        const char* word = word_at(w, words[k]);
        const size_t n = std::min(std::strlen(word), sizeof text - 2 - length);
        std::memcpy(text + length, word, n);
        length += n;
        text[length++] = ' ';
    }
    text[length] = '\0';
    console_log("%s", text);
    text[length - 1] = '\0';
    const bool leave = markup_equal(text, ui_text(159));
    text[length - 1] = ' ';
    if (!leave)
        log_add_line(&g_message_log, k_log_colour, "%s", text);
    else if (g_message_log.count > 0)
        --g_message_log.count;
}

bool records_lines(const text_window& w)
{
    return !w.no_draw && g_dialogue_running && w.log_pending;
}

bool left_button_held()
{
    return g_mouse_left != 0;
}

void wait_for_left_release()
{
    if (g_script_links.wait_until_released)
        g_script_links.wait_until_released(left_button_held);
    else
        log_hook_skipped("wait_until_released");
}

// The draw pass's share of the walk: it writes the rows and records them, and repeats the two
// commands that act here.
class draw_pass : public layout_visitor {
public:
    draw_pass(text_window& w, font_record* font) : w_(w), font_(font) {}

    void line(const layout_row& row, float y, bool) override
    {
        if (shows_words(w_))
            for (int32_t k = 0; k < row.count; ++k) {
                const layout_row_word& r = row.words[k];
                font_text_out(font_, pixel(r.x), pixel(y), word_at(w_, r.word), gdi_colour(r.red, r.green, r.blue));
            }
        if (records_lines(w_)) {
            int16_t words[k_layout_row_words];
            for (int32_t k = 0; k < row.count; ++k)
                words[k] = row.words[k].word;
            log_line(w_, words, row.count);
        }
    }

    bool command(const markup_keyword& keyword, int32_t index) override
    {
        if (markup_equal(keyword.word, "^center_view_on_char"))
            center_view_on_char(&w_, index + 1, true);
        else if (markup_equal(keyword.word, "^open_container"))
            open_container_command(&w_, index);
        return false;
    }

private:
    text_window& w_;
    font_record* font_;
};

// The words of one line of a link, drawn in the link's colour.
struct link_row {
    int16_t words[k_layout_row_words];
    int32_t widths[k_layout_row_words];
    float x[k_layout_row_words];
    int32_t count = 0;
};

class link_drawing {
public:
    link_drawing(text_window& w, font_record* font, const bool* over) : w_(w), font_(font), over_(over) {}

    // Draws link i from line y and lets the mouse pick it; returns the y of the next link.
    float link(int32_t i, float y)
    {
        const window_link link = w_.links[i];
        colour_ = over_[i] ? k_link_red : k_link_white;
        log_option_ = option_logged(i);
        float start = w_.x1 + 16.0f;
        int32_t word = link.first_word;
        if (w_.link_count > 1 && word < link.end_word) {
            text(start, y, word);
            start += float(layout_word_width(w_, font_, word)) + 10.0f;
            ++word;
        }
        float x = start;
        const float right = w_.x2 - 16.0f;
        for (; word < link.end_word; ++word) {
            const int32_t width = layout_word_width(w_, font_, word);
            if (x + float(width) + 8.0f > right) {
                end_row(true, y);
                y += k_layout_line_height;
                x = w_.x1 + 39.0f;
            }
            if (row_.count == k_layout_row_words)
                flush_row(y);
            row_.words[row_.count] = int16_t(word);
            row_.widths[row_.count] = width;
            row_.x[row_.count++] = x;
            x += float(width) + 8.0f;
        }
        end_row(false, y);
        mouse_choice(i);
        return y + k_layout_line_height;
    }

private:
    // The picked option's line goes to the log when the pick happens in this frame: by the mouse
    // over it, or by its number key while the pointer is over it.
    bool option_logged(int32_t i) const
    {
        if (w_.no_draw || !g_dialogue_running || w_.link_count <= 1 || !numbered_links(w_) || !over_[i])
            return false;
        const uint8_t number_key = uint8_t(k_key_1 + i);
        const bool click = g_mouse_left && !left_press_taken();
        const bool key = key_down(number_key) && !key_press_taken(number_key);
        return click || key;
    }

    void text(float x, float y, int32_t word)
    {
        if (shows_words(w_))
            font_text_out(font_, pixel(x), pixel(y), word_at(w_, word), colour_);
    }

    // Draws the row where its words stand (a row of more than 32 words in parts) and, for the
    // picked option, logs it.
    void flush_row(float y)
    {
        for (int32_t k = 0; k < row_.count; ++k)
            text(row_.x[k], y, row_.words[k]);
        if (log_option_)
            log_line(w_, row_.words, row_.count);
        row_.count = 0;
    }

    // A full line is justified to the width of the continuation lines.
    void end_row(bool justify, float y)
    {
        if (justify && row_.count > 0) {
            int32_t offsets[k_layout_row_words] = {};
            justify_offsets(row_.widths, row_.count, w_.x2 - w_.x1 - 55.0f, offsets);
            for (int32_t k = 0; k < row_.count; ++k)
                row_.x[k] += float(offsets[k]);
        }
        flush_row(y);
    }

    void mouse_choice(int32_t i)
    {
        if (!over_[i] || !g_mouse_left)
            return;
        if (take_left_press())
            choose_text_window_option(&w_, i, false);
        wait_for_left_release();
    }

    text_window& w_;
    font_record* font_;
    const bool* over_;
    link_row row_;
    uint32_t colour_ = k_link_white;
    bool log_option_ = false;
};

void log_hero_header(text_window& w)
{
    if (w.link_count <= 1 || !numbered_links(w) || !records_lines(w) || g_message_shown)
        return;
    if (!w.skip_header) {
        const char* name = hero_display_name();
        log_add_line(&g_message_log, k_log_colour, "%s:", name ? name : "");
    }
    w.skip_header = 0;
}

void space_choice(text_window& w)
{
    if (w.no_draw || w.link_count == 0 || numbered_links(w))
        return;
    if (take_key_press(k_key_space))
        choose_text_window_option(&w, 0, true);
}

void number_key_choice(text_window& w)
{
    for (int32_t i = 0; i < std::min<int32_t>(w.link_count, k_window_links) && w.link_count > 1; ++i) {
        if (take_key_press(uint8_t(k_key_1 + i)))
            choose_text_window_option(&w, i, false);
    }
}

void request(text_window& w, const char* path)
{
    std::snprintf(w.requested_file, sizeof w.requested_file, "%s", path);
}

void ask_question_menu(text_window& w)
{
    w.dialogue_kind = k_dialogue_question_menu;
    request(w, "aaaa");
    w.dialogue_record_mode = 1;
}

// Another node of the record shown: the loader builds it again from the record.
void show_node(text_window& w, int32_t target)
{
    w.dialogue_node = uint16_t(target - 1);
    char name[k_window_path_size];
    std::memcpy(name, w.name, sizeof name);
    name[sizeof name - 1] = '\0';
    request(w, name);
    w.name[0] = '\0';
}

// The leave option of the question menu: the closing lines once, else the end.
void leave_question_menu(text_window& w)
{
    if (!w.end_dialogue_picked) {
        const int32_t n = pick_end_dialogue(w.dialogue_char);
        if (n != -1) {
            w.end_dialogue_picked = 1;
            w.end_dialogue_number = int16_t(n);
            w.dialogue_kind = k_dialogue_end_file;
            request(w, "aaa");
            w.name[0] = '\0';
            return;
        }
    }
    end_text_window_dialogue(&w);
}

void choose_record_option(text_window& w, int32_t link, bool by_space)
{
    const int16_t kind = w.dialogue_kind;
    // A line of the question menu is judged by its place alone: the record then holds whatever
    // file the menu was built from last.
    const int32_t target = kind == k_dialogue_question_menu || link >= k_record_options
                               ? 0
                               : dialogue_option_link(w.dialogue_node, link);
    if (target > 0 && (kind < k_dialogue_question_menu || kind == k_question_dialogue)) {
        show_node(w, target);
    } else if (target == 0 && kind < k_dialogue_question_menu) {
        if (w.end_dialogue_picked)
            end_text_window_dialogue(&w);
        else
            ask_question_menu(w);
    } else if (target == 0 && kind == k_dialogue_question_menu) {
        if (by_space)
            return;
        if (link == w.link_count - 1) {
            leave_question_menu(w);
            return;
        }
        const char* question = word_at(w, w.links[link].target_word);
        console_log("%s", question);
        if (data_file_path("", question).empty())
            return;
        request(w, question);
        w.name[0] = '\0';
        w.dialogue_node = 1;
        w.dialogue_kind = k_question_dialogue;
    } else {
        ask_question_menu(w);
    }
}

} // namespace

void choose_text_window_option(text_window* window, int32_t link, bool by_space)
{
    text_window& w = *window;
    if (link < 0 || link >= std::min<int32_t>(w.link_count, k_window_links))
        return;
    if (w.dialogue_record_mode != 1) {
        // A target refused as a path leads nowhere: without another way on the dialogue ends.
        if (!dialogue_path(w.requested_file, sizeof w.requested_file, word_at(w, w.links[link].target_word)) &&
            !window_leads_on(w, ""))
            end_text_window_dialogue(&w);
        return;
    }
    choose_record_option(w, link, by_space);
}

void end_text_window_dialogue(text_window* window)
{
    window->dialogue_record_mode = 0;
    request(*window, "data/dialogs/eng/close.txt");
    reset_text_window(window);
    if (char_record* centred = char_at(g_scene_header.followed_char))
        char_remove_item(centred, k_centre_marker_item, false);
    g_dialogue_running = 0;
    g_scene_header.followed_char = int16_t(g_player_char);
}

void draw_text_window(text_window* window)
{
    text_window& w = *window;
    font_record* font = &g_font_large;
    font_begin(font);
    font_set_normal(font);
    draw_pass pass(w, font);
    const layout_result result = lay_out_text_window(&w, font, pass);
    if (result.unterminated_over_text) {
        font_end(font);
        return;
    }
    if (!result.broken) {
        bool over[k_window_links];
        layout_link_hover(w, font, over);
        log_hero_header(w);
        link_drawing links(w, font, over);
        float y = w.links[0].y;
        for (int32_t i = 0; i < std::min<int32_t>(w.link_count, k_window_links); ++i)
            y = links.link(i, y);
        space_choice(w);
        number_key_choice(w);
        // A message up in this frame kept the lines out of the log: they go in once it is gone.
        if (!(records_lines(w) && g_message_shown))
            w.log_pending = 0;
    }
    font_end(font);
    if (result.speaker >= 0)
        char_say(result.speaker, result.over_text);
}
