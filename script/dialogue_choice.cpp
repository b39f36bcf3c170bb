// Which dialogue a character speaks, the hero's question menu, character events and scripts.
#include "script/dialogues.h"

#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/ui_texts.h"
#include "platform/random.h"
#include "script/markup_append.h"
#include "script/script_links.h"
#include "script/text_window.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int k_family_files = 32;
constexpr int k_pick_draws = 20;
constexpr int k_max_questions = 15;  // with the leave option, the window's 16 links
constexpr int k_leave_ui_text = 159;

// The file key of a slot in use, terminated; empty for another slot.
std::string char_key(int32_t slot)
{
    const char_record* c = char_at(slot);
    return c ? std::string(c->name, strnlen(c->name, sizeof c->name)) : std::string();
}

std::string family_path(int32_t slot, const char* family, int n)
{
    return std::string("data/dia/") + g_language + "/" + char_key(slot) + "/" + family + std::to_string(n) + ".dia2";
}

// Reads a family file into g_dialogue; false when it is missing or does not read whole.
bool read_family_file(const std::string& path)
{
    return file_exists(path.c_str()) == 1 && read_dialogue(path.c_str());
}

int32_t pick_dialogue(int16_t slot, const char* family, bool log_candidates)
{
    bool candidate[k_family_files] = {};
    int last = -1;
    bool plain_first = false, conditioned_first = false;
    for (int n = 0; n < k_family_files; ++n) {
        if (!read_family_file(family_path(slot, family, n)))
            continue;
        if (count_dialogue_conditions(&g_dialogue) == 0) {
            if (last == -1)
                plain_first = true;
            if (!conditioned_first) {
                candidate[n] = true;
                last = n;
            }
        } else if (test_dialogue_conditions(&g_dialogue) == 1) {
            if (last == -1)
                conditioned_first = true;
            if (!plain_first) {
                if (log_candidates)
                    console_log("nasiel som dialog %d", n);
                candidate[n] = true;
                last = n;
            }
        }
    }
    if (last <= 0)
        return last;
    for (int draw = 0; draw < k_pick_draws; ++draw) {
        const int r = game_rand() % (last + 1);
        if (candidate[r]) {
            if (log_candidates)
                console_log("selected %d", r);
            return r;
        }
    }
    return -1;
}

// The dialogue window shows the family file from its node 0, as a dialogue record.
void request_dialogue(int32_t slot, const std::string& path)
{
    text_window& w = g_dialogue_window;
    w.end_dialogue_picked = 0;
    w.dialogue_node = 0;
    w.dialogue_kind = 0;
    w.dialogue_char = int16_t(slot);
    w.name[0] = '\0';
    copy_bounded(w.requested_file, sizeof w.requested_file, path.c_str());
    g_dialogue_running = 1;
    w.dialogue_record_mode = 1;
}

void talk(int32_t slot)
{
    char_record& c = g_chars[slot];
    int16_t& talked_to = c.script_flags[k_talked_to_memory];
    if (talked_to == 0) {
        talked_to = 1;
        const int32_t n = pick_first_dialogue(int16_t(slot));
        console_log("first dia: %d", n);
        if (n != -1) {
            const std::string path = family_path(slot, "first", n);
            console_log("%s", path.c_str());
            request_dialogue(slot, path);
            return;
        }
    }
    const int32_t n = pick_start_dialogue(int16_t(slot));
    console_log("start dia: %d", n);
    if (n == -1) {
        g_dialogue_running = 0;
        return;
    }
    request_dialogue(slot, family_path(slot, "start", n));
}

const char* event_suffix(int32_t kind)
{
    static const char* const suffixes[] = {"", "_enc.txt", "_enter.txt", "_death.txt", "_neardead.txt", "_halfdead.txt"};
    return kind >= 1 && kind <= 5 ? suffixes[kind] : "";
}

// What a script that cannot be read leaves: nothing started.
constexpr const char* k_script_not_started = "skript nespusteny";

// "data/scripts/" + name; "" (refused) for a name that would leave that folder.
std::string script_path(const char* name)
{
    const std::string path = data_file_path("data/scripts/", name ? name : "");
    console_log("hladam skript %s", path.c_str());
    return path;
}

// The script file into the dialogue window as the running dialogue. The file the window asks
// for becomes the one it shows, so that the per-frame loader keeps the script rather than
// reloading what an earlier dialogue asked for. A script that cannot be read starts nothing:
// false, and whether a dialogue runs stays as it was.
bool load_running_script(const std::string& path)
{
    text_window& w = g_dialogue_window;
    const uint32_t running = g_dialogue_running;
    g_dialogue_running = 1;
    if (load_markup_file(&w, path.c_str(), k_script_not_started) != 1) {
        g_dialogue_running = running;
        return false;
    }
    std::memcpy(w.requested_file, w.name, sizeof w.requested_file);
    return true;
}

} // namespace

int32_t pick_start_dialogue(int16_t slot)
{
    return pick_dialogue(slot, "start", false);
}

int32_t pick_first_dialogue(int16_t slot)
{
    return pick_dialogue(slot, "first", false);
}

int32_t pick_end_dialogue(int16_t slot)
{
    return pick_dialogue(slot, "end", true);
}

void build_question_menu(char* out, size_t size, int16_t slot)
{
    console_log("generujem");
    markup_append menu(out, size);
    const char* hero_key = "";
    std::string key;
    if (const char_record* h = char_at(int32_t(g_player_char))) {
        key.assign(h->name, strnlen(h->name, sizeof h->name));
        hero_key = key.c_str();
    }
    menu.line("^window 50 50 600 64\n^dialog\n^gl_a 0.6 ^c 0.9 0.9 0.9 1\n^center_char %s ^l Dovan:\n ^l ", hero_key);

    char leave[k_ui_text_size + 32];
    int16_t k = 0;
    for (int n = 0; n < k_family_files && k < k_max_questions; ++n) {
        const std::string path = family_path(slot, "question", n);
        if (!read_family_file(path) || g_dialogue.node_count < 1 || test_dialogue_conditions(&g_dialogue) != 1)
            continue;
        // The question goes in only when the leave option still fits after it.
        std::snprintf(leave, sizeof leave, "^lnst %d. %.*s ^lnend a\n", k + 2, k_ui_text_size - 1, g_ui_text[k_leave_ui_text]);
        char line[k_dialogue_text_size + k_window_path_size + 32];
        std::snprintf(line, sizeof line, "^lnst %d. %.*s ^lnend %s ^l\n", k + 1, k_dialogue_text_size - 1,
                      g_dialogue.text[0], path.c_str());
        if (std::strlen(line) + std::strlen(leave) > menu.room()) {
            console_log("otazka %s sa nezmesti", path.c_str());
            continue;
        }
        menu.line("%s", line);
        ++k;
    }
    if (k == 0)
        k = 1;
    menu.line("^lnst %d. %.*s ^lnend a\n", k + 1, k_ui_text_size - 1, g_ui_text[k_leave_ui_text]);
}

void run_char_event(int32_t slot, int32_t kind)
{
    if (g_dialogue_running || !char_at(slot))
        return;
    if (kind == 0) {
        talk(slot);
        return;
    }
    const std::string path = "data/scripts/" + char_key(slot) + event_suffix(kind);
    if (file_exists(path.c_str()) != 1 || !load_running_script(path))
        return;
    run_text_window(&g_dialogue_window);
}

void start_script(const char* name)
{
    const std::string path = script_path(name);
    if (file_exists(path.c_str()) != 1)
        return;
    const uint32_t record_mode = g_dialogue_window.dialogue_record_mode;
    g_dialogue_window.dialogue_record_mode = 0;
    if (!load_running_script(path)) {
        g_dialogue_window.dialogue_record_mode = record_mode;
        return;
    }
    g_dialogue_window.first_pass = 0;
    run_text_window(&g_dialogue_window);
}

void run_script(const char* name)
{
    const std::string path = script_path(name);
    if (file_exists(path.c_str()) != 1)
        return;
    // A window of its own on the heap: a script may run another while it runs.
    auto window = std::make_unique<text_window>();
    window->has_background = 0;
    window->picture_count = 0;
    if (load_markup_file(window.get(), path.c_str(), k_script_not_started) != 1)
        return;
    window->first_pass = 0;
    run_text_window(window.get());
    draw_text_window(window.get());
    reset_text_window(window.get());
}

void install_dialogue_links()
{
    // The character names the text windows use: the closing file's folder, the hero's key and
    // the name its lines are logged under.
    g_script_links.player_char = [] { return int32_t(g_player_char); };
    g_script_links.char_file_key = [](int32_t slot) -> const char* {
        static std::string key;
        key = char_key(slot);
        return char_at(slot) ? key.c_str() : nullptr;
    };
    g_script_links.char_display_name = [](int32_t slot) -> const char* {
        static std::string name;
        const char_record* c = char_at(slot);
        if (!c)
            return nullptr;
        const size_t shown = strnlen(c->display_name, sizeof c->display_name);
        name = shown > 0 ? std::string(c->display_name, shown) : char_key(slot);
        return name.c_str();
    };
    g_script_links.read_dialogue = [](const char* path) { read_dialogue(path); };
    g_script_links.build_dialogue_node_markup = [](uint16_t node, char* buffer, size_t size) {
        build_dialogue_node_markup(&g_dialogue, buffer, size, node);
    };
    g_script_links.build_question_menu = [](int16_t slot, char* buffer, size_t size) {
        build_question_menu(buffer, size, slot);
    };
    g_char_rule_links.run_char_event = run_char_event;
}
