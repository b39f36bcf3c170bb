// The player's settings (config.cfg) and the in-game message log.
#pragma once

#include "core/table_file_state.h"

#include <cstdint>
#include <string>

struct game_settings {
    int32_t gr_gamma;       // gamma offset; the display ramp moves by 100 x this
    int16_t slider_value;   // the settings screen's second graphics slider, 0 to 100; not saved
    uint32_t gr_lowparticles;
    uint32_t gr_displayshadows;
    uint32_t gr_force16bit;
    uint32_t gr_disablelight;
    uint32_t gr_displayweather;
    uint32_t gr_showstats;
    uint32_t gr_runwindowed;
    uint32_t gr_enablewbuffer;
    uint16_t snd_musicvolume;
    uint16_t snd_soundvolume;
    uint32_t snd_swapchannels;
    uint32_t snd_muteall;
    uint32_t snd_eax;
    uint16_t difficulty;
};

extern game_settings g_settings;

constexpr int k_language_size = 12;
extern char g_language[k_language_size];  // "eng" at start; at most 11 characters

inline constexpr const char* k_config_file = "config.cfg";

// The UI text table of the language `code`, the file every language of the data has.
std::string language_text_file(const char* code);

// What the settings ask of the layers above: what the data lacks of a language, as the log
// names it ("" when the data holds it whole). The program fills it at start-up.
struct settings_links {
    std::string (*language_data_fault)(const char* code);
};
extern settings_links g_settings_links;

// Why the language `code` cannot be taken ("" when it can): more than 11 characters, not one
// plain name (a blank, a control byte, a folder separator), or a language other than "eng", the
// one every run falls back to, that the data does not hold (settings_links).
std::string language_refusal(const char* code);

// Every field (not the language) to its default.
void config_set_defaults(game_settings* settings);
// Defaults first, then config.cfg read by position, one item from each line that is not blank
// (the key before the value is not compared); copies the w-buffer and statistics switches. A
// missing file, and one with items it has no value for (they keep their defaults) or a NUL byte,
// is reported (core/data_files.h); so is each value that is no number, each number outside its
// setting's range (the gamma offsets -165 to 165, the switches 0 to 2147483647, the volumes 0 to
// 65535, the difficulty 0 to 4) and a language that cannot be taken (language_refusal), named with
// the setting's key: that setting keeps its default (the language as it was), and no other moves.
void config_read(game_settings* settings);
// The volumes as they are applied: the stored 16-bit values clamped to 0..100.
int32_t music_volume_percent(const game_settings* settings);
int32_t sound_volume_percent(const game_settings* settings);
// Writes config.cfg, replacing it only after a complete write; returns false when it could not.
bool config_write(const game_settings* settings);
// Whether config.cfg may be written back: read whole when config_read read every item, with only
// blanks after the last, or found no file; changed when g_settings or the language no longer give
// the text of what was read.
extern table_file_state g_config_file;
// Shutdown: config.cfg from g_settings when it may be written (see core/table_file_state.h).
bool config_write_back();

constexpr int k_message_log_lines = 1000;
constexpr int k_message_log_width = 255;

struct message_log {
    uint32_t reserved;
    uint32_t count;        // 0 to 999
    uint32_t view_offset;  // 0 shows the newest lines
    char lines[k_message_log_lines][k_message_log_width];  // oldest at 0
    uint8_t colours[k_message_log_lines];
    // The message-log window (interface/message_log_window.h); never stored in a file.
    uint32_t window_shown;
    float x1, y1, x2, y2;      // screen pixels
    uint8_t size_step;         // 0 to 3
    uint32_t next_scroll_tick;
};

extern message_log g_message_log;

// printf-style; appends a line with its colour (the oldest line goes when full) and shows the
// newest lines. Long lines are cut to a slot.
message_log* log_add_line(message_log* log, uint8_t colour, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
