#include "core/settings.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

game_settings g_settings = {};
table_file_state g_config_file = {k_config_file, false, false};
char g_language[k_language_size] = "eng";
settings_links g_settings_links = {};
message_log g_message_log = {};

void config_set_defaults(game_settings* s)
{
    s->gr_gamma = 0;
    s->slider_value = 100;
    s->gr_lowparticles = 1;
    s->gr_displayshadows = 0;
    s->gr_force16bit = 0;
    s->gr_disablelight = 0;
    s->gr_displayweather = 1;
    s->gr_showstats = 0;
    s->gr_runwindowed = 0;
    s->gr_enablewbuffer = 0;
    s->snd_musicvolume = 50;
    s->snd_soundvolume = 100;
    s->snd_swapchannels = 0;
    s->snd_muteall = 0;
    s->snd_eax = 1;
    s->difficulty = 1;
}

namespace {

std::string g_config_text_read;  // the settings as config_read left them, as config.cfg says them

// What a setting takes from config.cfg: its key (for the log; the file's keys are not compared)
// and the values it holds.
struct setting_range {
    const char* key;
    long long low, high;
};

// The gamma offsets the settings screen's slider gives; the switches as the writer's "%d" gives
// back their 32-bit fields; the volumes as their 16-bit fields hold them (applied up to 100); the
// difficulties 0 to 4.
constexpr long long k_switch_max = INT32_MAX;
constexpr setting_range k_gamma = {"gr_gamma", -165, 165};
constexpr setting_range k_force16bit = {"gr_force16bit", 0, k_switch_max};
constexpr setting_range k_displayshadows = {"gr_displayshadows", 0, k_switch_max};
constexpr setting_range k_lowparticles = {"gr_lowparticles", 0, k_switch_max};
constexpr setting_range k_disablelight = {"gr_disablelight", 0, k_switch_max};
constexpr setting_range k_displayweather = {"gr_displayweather", 0, k_switch_max};
constexpr setting_range k_showstats = {"gr_showstats", 0, k_switch_max};
constexpr setting_range k_runwindowed = {"gr_runwindowed", 0, k_switch_max};
constexpr setting_range k_enablewbuffer = {"gr_enablewbuffer", 0, k_switch_max};
constexpr setting_range k_musicvolume = {"snd_musicvolume", 0, UINT16_MAX};
constexpr setting_range k_soundvolume = {"snd_soundvolume", 0, UINT16_MAX};
constexpr setting_range k_swapchannels = {"snd_swapchannels", 0, k_switch_max};
constexpr setting_range k_muteall = {"snd_muteall", 0, k_switch_max};
constexpr setting_range k_eax = {"snd_eax", 0, k_switch_max};
constexpr setting_range k_difficulty = {"difficulty", 0, 4};

// A sign and digits, nothing else.
bool decimal_digits(const char* text)
{
    text += *text == '-' || *text == '+';
    return *text && std::strspn(text, "0123456789") == std::strlen(text);
}

// What an item of config.cfg gave: its value; nothing, the file having no line for it or the
// line ending after its key (counted, not named); or a value the setting cannot take (named in
// the log with the setting's key).
enum class item_read { value, unreadable, named };

// The next line of config.cfg that is not blank, as the value after its key: the rest of the
// line with the blanks around it dropped ("" when the line ends after its key). A line longer
// than the buffer is cut. False at the end of the file.
bool next_item_line(FILE* file, std::string* value)
{
    char line[1024];
    while (read_text_line(file, line, sizeof line) >= 0) {
        const char* text = line + std::strspn(line, " \t");
        if (!*text)
            continue;
        text += std::strcspn(text, " \t");  // the key: any word, not compared
        text += std::strspn(text, " \t");
        *value = text;
        value->erase(value->find_last_not_of(" \t") + 1);
        return true;
    }
    return false;
}

// A value as the log shows it: at most 40 characters, so that the line keeps what it says after.
std::string shown_value(const std::string& value)
{
    return value.substr(0, 40);
}

// One item, from its own line: a value that is no number, or a number outside the setting's
// range, leaves the field as it was and is logged with the setting's key.
template <typename T>
item_read read_item(FILE* file, const setting_range& range, T* field)
{
    std::string text;
    if (!next_item_line(file, &text) || text.empty())
        return item_read::unreadable;
    const std::string kept = "predvolena hodnota " + std::to_string(*field);
    long long number = 0;
    if (!decimal_digits(text.c_str())) {
        const std::string where = std::string(range.key) + "= " + shown_value(text) + " nie je cislo";
        report_damaged_file(k_config_file, where.c_str(), kept.c_str());
        return item_read::named;
    }
    if (parse_decimal(text.c_str(), &number) && number >= range.low && number <= range.high) {
        *field = T(number);
        return item_read::value;
    }
    const std::string where = std::string(range.key) + "= " + shown_value(text) + " mimo " +
                              std::to_string(range.low) + " az " + std::to_string(range.high);
    report_damaged_file(k_config_file, where.c_str(), kept.c_str());
    return item_read::named;
}

// The language item: a language that cannot be taken keeps the language as it was and is logged
// with its key and why.
item_read read_language(FILE* file)
{
    std::string text;
    if (!next_item_line(file, &text) || text.empty())
        return item_read::unreadable;
    const std::string refusal = language_refusal(text.c_str());
    if (!refusal.empty()) {
        const std::string where = "language= " + shown_value(text) + " " + refusal;
        report_damaged_file(k_config_file, where.c_str(), (std::string("jazyk ") + g_language).c_str());
        return item_read::named;
    }
    copy_bounded(g_language, sizeof g_language, text.c_str());
    return item_read::value;
}

// The text config.cfg holds for the settings and the language.
std::string config_text(const game_settings* s)
{
    char text[1024];
    int length = std::snprintf(text, sizeof text,
        "gr_gamma= %d\n"
        "gr_force16bit= %d\n"
        "gr_displayshadows= %d\n"
        "gr_lowparticles= %d\n"
        "gr_disablelight= %d\n"
        "gr_displayweather= %d\n"
        "gr_showstats= %d\n"
        "gr_runwindowed= %d\n"
        "gr_enablewbuffer= %d\n"
        "snd_musicvolume= %d\n"
        "snd_soundvolume= %d\n"
        "snd_swapchannels= %d\n"
        "snd_muteall= %d\n"
        "snd_eax= %d\n"
        "language= %s\n"
        "difficulty= %d\n",
        int(s->gr_gamma), int(s->gr_force16bit), int(s->gr_displayshadows), int(s->gr_lowparticles),
        int(s->gr_disablelight), int(s->gr_displayweather), int(s->gr_showstats),
        int(s->gr_runwindowed), int(s->gr_enablewbuffer), int(s->snd_musicvolume),
        int(s->snd_soundvolume), int(s->snd_swapchannels), int(s->snd_muteall), int(s->snd_eax),
        g_language, int(s->difficulty));
    return std::string(text, size_t(std::clamp(length, 0, int(sizeof text) - 1)));
}

} // namespace

std::string language_text_file(const char* code)
{
    return std::string("global/text_") + code + ".txt";
}

std::string language_refusal(const char* code)
{
    const size_t length = std::strlen(code);
    if (length >= size_t(k_language_size))
        return "ma viac ako " + std::to_string(k_language_size - 1) + " znakov";
    const bool control = std::any_of(code, code + length, [](char c) { return uint8_t(c) < 0x20 || c == 0x7F; });
    if (control || std::strpbrk(code, " ") || !is_plain_file_name(code))
        return "nie je meno";
    if (std::strcmp(code, "eng") == 0)
        return {};
    const std::string fault =
        run_hook_or(g_settings_links.language_data_fault, "language_data_fault", std::string(), code);
    return fault.empty() ? fault : "nie je v datach (" + fault + ")";
}

void config_read(game_settings* s)
{
    config_set_defaults(s);
    FILE* file = std::fopen(resolve_path(k_config_file).c_str(), "r");
    if (file) {
        const item_read read[] = {
            read_item(file, k_gamma, &s->gr_gamma),
            read_item(file, k_force16bit, &s->gr_force16bit),
            read_item(file, k_displayshadows, &s->gr_displayshadows),
            read_item(file, k_lowparticles, &s->gr_lowparticles),
            read_item(file, k_disablelight, &s->gr_disablelight),
            read_item(file, k_displayweather, &s->gr_displayweather),
            read_item(file, k_showstats, &s->gr_showstats),
            read_item(file, k_runwindowed, &s->gr_runwindowed),
            read_item(file, k_enablewbuffer, &s->gr_enablewbuffer),
            read_item(file, k_musicvolume, &s->snd_musicvolume),
            read_item(file, k_soundvolume, &s->snd_soundvolume),
            read_item(file, k_swapchannels, &s->snd_swapchannels),
            read_item(file, k_muteall, &s->snd_muteall),
            read_item(file, k_eax, &s->snd_eax),
            read_language(file),
            read_item(file, k_difficulty, &s->difficulty),
        };
        std::string rest;
        const bool text_after = next_item_line(file, &rest);
        std::rewind(file);
        bool nul = false;
        for (int c; !nul && (c = std::fgetc(file)) != EOF;)
            nul = c == 0;
        std::fclose(file);
        const int unread = int(std::count(std::begin(read), std::end(read), item_read::unreadable));
        const bool named = std::count(std::begin(read), std::end(read), item_read::named) > 0;
        if (nul || unread) {
            const std::string where = nul ? std::string("nulovy bajt")
                                          : std::to_string(unread) + " z " + std::to_string(std::size(read)) + " poloziek";
            report_damaged_file(k_config_file, where.c_str(), "predvolene hodnoty necitatelnych poloziek");
        } else if (text_after) {
            report_damaged_file(k_config_file, "text za poslednou polozkou", "precitane polozky");
        }
        table_file_read(g_config_file, unread == 0 && !nul && !text_after && !named);
    } else {
        const bool missing = file_exists(k_config_file) != 1;
        if (missing)
            report_missing_file(k_config_file, "predvolene nastavenia");
        else
            report_damaged_file(k_config_file, "neda sa otvorit", "predvolene nastavenia");
        table_file_read(g_config_file, missing);
    }
    g_config_text_read = config_text(s);
    g_wbuffer_switch = s->gr_enablewbuffer;
    g_show_stats = s->gr_showstats;
}

int32_t music_volume_percent(const game_settings* s)
{
    return s->snd_musicvolume > 100 ? 100 : s->snd_musicvolume;
}

int32_t sound_volume_percent(const game_settings* s)
{
    return s->snd_soundvolume > 100 ? 100 : s->snd_soundvolume;
}

bool config_write(const game_settings* s)
{
    const std::string text = config_text(s);
    return write_whole_file(k_config_file, text.data(), text.size());
}

bool config_write_back()
{
    if (config_text(&g_settings) != g_config_text_read)
        table_file_changed(g_config_file);
    return write_table_file(g_config_file, [] { return config_write(&g_settings); });
}

message_log* log_add_line(message_log* log, uint8_t colour, const char* format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);

    constexpr uint32_t last = k_message_log_lines - 1;  // the log holds at most 999 lines
    if (log->count >= last) {
        std::memmove(log->lines[0], log->lines[1], size_t(last - 1) * k_message_log_width);
        std::memmove(log->colours, log->colours + 1, last - 1);
        log->count = last - 1;
    }
    copy_bounded(log->lines[log->count], k_message_log_width, line);
    log->colours[log->count] = colour;
    ++log->count;
    log->view_offset = 0;
    return log;
}
