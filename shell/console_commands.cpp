#include "shell/console_commands.h"

#include "interface/slide_shows.h"
#include "world/slide_timing.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int k_console_word_size = 100;

// "slide <list>": the chapter show of that slide list.
void run_slide(const char* line)
{
    char word[k_console_word_size] = "", name[k_console_word_size] = "";
    std::sscanf(line, "%99s %99s", word, name);
    load_slide_timing(&g_chapter_slides.timing, name);
    start_chapter_slides();
}

struct console_command {
    const char* word;  // a line beginning with the word names the command
    void (*run)(const char* line);
};

// In matching order: the first word that begins the line runs.
const console_command k_commands[] = {
    {"slide", run_slide},
};

} // namespace

bool run_console_command_table(const char* line)
{
    for (const console_command& command : k_commands) {
        if (std::strncmp(line, command.word, std::strlen(command.word)) == 0) {
            command.run(line);
            return true;
        }
    }
    return false;
}
