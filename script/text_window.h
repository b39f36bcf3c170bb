// Text windows: a markup text cut into words, with the window's rectangle, colour, pictures, the
// option links of a dialogue and the state of the dialogue shown in it.
//
// A text reaches a window in one pass, the parse, which splits it into words, puts in the hero's
// names and the localized notice phrases and carries out the load-time commands. Each frame the
// run pass then acts on the run-time commands and lays the words out, and the draw pass writes
// them. Words are bytes (code page 1252, or 1250 for the language "sk"); byte tests are unsigned.
//
// A window is a fixed record of about half a megabyte: it lives in static storage or on the heap,
// never on the stack, and nothing is allocated while it is parsed or drawn.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int k_window_word_slots = 5000;
constexpr int k_window_word_limit = 4999;   // words a text fills at most
constexpr int k_window_word_size = 100;     // a word holds at most 99 bytes
constexpr int k_window_path_size = 256;
constexpr int k_window_pictures = 16;
constexpr int k_window_links = 16;
constexpr int k_markup_text_size = 64000;   // a text holds at most 63,999 bytes
constexpr uint16_t k_no_dialogue_node = 0xFFFF;

// An option link registered by the passes.
struct window_link {
    int16_t first_word;   // its first word
    int16_t end_word;     // one past its last word
    int16_t target_word;  // the word naming where it leads
    float x, y;           // pen position at its start, the scroll offset taken off y
};

struct text_window {
    char name[k_window_path_size];            // the markup or dialogue file shown now
    char requested_file[k_window_path_size];  // differing from name while a dialogue runs: loaded next frame
    char words[k_window_word_slots][k_window_word_size];
    int32_t word_count;
    uint32_t first_pass;           // the next run pass is the first over this text
    uint32_t draw_rect;            // the run pass draws the background rectangle and frame
    uint32_t no_draw;              // laid out but not drawn
    uint32_t end_dialogue_picked;  // an end file of the conversation was chosen
    int16_t end_dialogue_number;   // n of "end<n>.dia2"
    uint32_t skip_header;          // a fresh question menu keeps the hero's name out of the message log
    float x1, y1, x2, y2;          // screen pixels
    float scroll_y;                // taken off every y the passes place something at
    float colour[4];               // red, green, blue, alpha, 0 to 1
    float alpha;                   // the whole window's opacity
    uint8_t has_background;        // background holds a picture
    int32_t background;            // texture slot of the background picture
    float background_start[2];
    float frame_offset[2];
    uint8_t link_count;
    window_link links[k_window_links];
    int32_t pictures[k_window_pictures];  // texture slots, in the order of their "^o1"
    uint8_t picture_count;
    uint32_t log_pending;          // the text is not yet in the message log
    uint16_t dialogue_node;        // current node of the dialogue shown, k_no_dialogue_node for none
    int16_t dialogue_kind;         // 3 question menu, 5 end file, 1 after an end file was loaded
    int16_t dialogue_char;         // character slot whose dialogue is shown
    uint32_t dialogue_record_mode; // 1: the window shows the dialogue record, not a markup file
    uint32_t element_request;      // set by "^start_element"
};

constexpr int16_t k_dialogue_question_menu = 3;
constexpr int16_t k_dialogue_end_file = 5;
constexpr int16_t k_dialogue_after_end_file = 1;

// Dialogues, scripts, the campfire and the element dialogues.
extern text_window g_dialogue_window;
// Messages, map and entity texts, books, quest texts, the interface's and front end's texts.
extern text_window g_message_window;

// Releases the window's pictures and its background picture, then: no words, no pictures,
// log pending, y2 0 and the first-pass flag set.
void reset_text_window(text_window* window);

// Fills the window from a markup text: emptied first, then the defaults (no dialogue node,
// rectangle 0, 0, 250, 30, alpha 1, first pass, frame drawn) and the words. A text longer than
// 63,999 bytes is cut there; words longer than 99 bytes are cut, also after a replacement;
// words past the 4,999th are dropped. The text is copied first, so the caller may reuse it.
// Unless a narration started in this text or a dialogue runs, the sound manager forgets the
// narration last played, so that it may start again.
void parse_text_window(text_window* window, const char* text);

// True when word i of the window, judged from the words already stored, is an argument of a
// command: the second word after "^char2char"; else not when it ends with ":"; else the first
// word of a text; else when the word before begins with "^" and is not "^l".
bool is_command_argument(const text_window* window, int32_t i);

// Reads a markup file into the window and names the window after it. A file that cannot be read
// or holds a NUL byte leaves the window as it was, is reported (core/data_files.h) with `kept` as
// what stays, and gives -1; so does an empty name, silently; otherwise 1. At most 63,999 bytes are
// read, a longer file is cut there and logged; trailing control characters are cut off.
constexpr const char* k_window_text_kept = "doterajsi text okna";
int32_t load_markup_file(text_window* window, const char* path, const char* kept = k_window_text_kept);
// Whether load_markup_file would read the file; nothing is logged.
bool markup_file_readable(const char* path);

// The run pass: the background, frame and pictures (not in the first pass or with no-draw), the
// layout of script/text_window_layout.h with its conditions and option links, and the links'
// underlines. A running dialogue's first pass then moves the window to the bottom of the screen,
// sized to its text, and ends the first pass. Returns the top of the last line, or 0 when an
// "^add_over_text" has no "^endover".
float run_text_window(text_window* window);
// The draw pass: the visible words and the option choice (script/text_window_draw.h).
void draw_text_window(text_window* window);

// "data/dialogs/<language>/<part>" into `out`, the part being a name that data gives; false,
// nothing written, for a part that would leave that folder (refused, core/data_files.h) or a path
// longer than `out` holds (logged).
bool dialogue_path(char* out, size_t size, const char* part);

// Each frame, for the dialogue window: while a dialogue runs and the requested file differs from
// the name, loads it: a markup file, or a part of the dialogue record (question menu, end file or
// the remembered node), and runs the run pass once so that it is laid out before it is drawn.
// A markup file that cannot be read keeps the text on screen when it is the page of one of the
// text's links and another link leads to a page that can be read (window_leads_on); otherwise the
// dialogue ends (end_text_window_dialogue), so that no window is left without a way out. The log
// names the file either way.
void load_text_window_dialogue(text_window* window);

// Whether one of the window's option links ("data/dialogs/<language>/<target>"), other than those
// to `except`, leads to a markup file that can be read.
bool window_leads_on(const text_window& window, const char* except);

// Each frame: the run pass and the draw pass of the window in full light (the first 50 scene
// lights that are on switched off, the ambient light white), the lights and the ambient colour
// given back afterwards. A running dialogue whose window then offers no option link and asks for
// no file has no way on: Space, or a click on the window, ends it (end_text_window_dialogue),
// and the log names the page.
void draw_dialogue_window();
void draw_message_window();

// The message window's next run pass is not its first: the callers that draw it while no
// dialogue runs clear the flag before each draw.
void clear_message_window_reanchor();

// The shutdown's: empties the dialogue window.
void reset_dialogue_window();

// Starts the intro dialogue once: while enabled, its first call loads "data/dialogs/2/0.txt"
// into the dialogue window and marks a dialogue running; a later call, once that dialogue has
// ended, clears the flag.
struct intro_dialogue {
    uint32_t enabled = 1;
    uint32_t started = 0;
    uint32_t flag = 0;
};
extern intro_dialogue g_intro_dialogue;
void start_intro_dialogue();

// "global/dialog.bmp" as a 128 x 128 texture in the dialogue frame's slot (-1 before).
extern int32_t g_dialog_frame_texture;
void load_dialog_frame_texture();
