#include "shell/console_commands.h"

#include "core/console_log.h"
#include "shell/console_command_parts.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void do_nothing(const char*) {}

// How much of the line a word compares.
enum class match : uint8_t {
    prefix,   // the word begins the line
    exact,    // the word is the whole line
    first_5,  // the word's first five characters begin the line
    first_4,  // the word's first four characters begin the line
};

struct console_command {
    const char* word;
    match how;
    void (*run)(const char* line);
};

// In matching order: the first word the line names runs.
const console_command k_commands[] = {
    {"qinfo", match::prefix, run_qinfo},
    {"setbody", match::prefix, run_setbody},
    {"sethead", match::prefix, run_sethead},
    {"export", match::prefix, run_export},
    {"shot", match::prefix, run_shot},
    {"setqstate", match::prefix, run_setqstate},
    {"setiattunement", match::prefix, run_setiattunement},
    {"rest", match::prefix, run_rest},
    {"welement", match::prefix, run_welement},
    {"savenames", match::prefix, run_savenames},
    {"additem", match::prefix, do_nothing},
    {"dreamworld", match::prefix, run_dreamworld},
    {"slide", match::prefix, run_slide},
    {"posunall", match::prefix, run_posunall},
    {"findsec", match::prefix, run_findsec},
    {"addchar", match::prefix, run_addchar},
    {"resetobjs", match::exact, run_resetobjs},
    {"resetchars", match::exact, run_resetchars},
    {"setplayer", match::prefix, run_setplayer},
    {"resetplayer", match::exact, run_resetplayer},
    {"setquest", match::prefix, run_setquest},
    {"simsort", match::prefix, run_simsort},
    {"analyse", match::prefix, run_analyse},
    {"set_gold", match::prefix, do_nothing},
    {"heal", match::prefix, run_heal},
    {"addexp", match::prefix, run_addexp},
    {"dclose", match::prefix, run_dclose},
    {"count", match::prefix, run_count},
    {"vert", match::prefix, run_vert},
    {"antialias", match::prefix, run_antialias},
    {"attune", match::prefix, run_attune},
    {"strike", match::prefix, run_strike},
    {"rain", match::prefix, run_rain},
    {"quake", match::prefix, run_quake},
    {"fog", match::prefix, run_fog},
    {"snow", match::prefix, run_snow},
    {"resetmap", match::prefix, run_resetmap},
    {"addmap", match::prefix, run_addmap},
    {"odjeb", match::prefix, run_odjeb},
    {"savedat", match::prefix, run_savedat},
    {"savepr", match::prefix, run_savepr},
    {"clonesec", match::prefix, run_clonesec},
    {"addsec", match::prefix, run_addsec},
    {"fadedeath", match::prefix, run_fadedeath},
    {"fuckrot", match::prefix, run_fuckrot},
    {"addgold", match::prefix, run_addgold},
    {"hobbary", match::prefix, run_hobbary},
    {"game", match::exact, run_game},
    {"remscale", match::prefix, run_remscale},
    {"deflayer", match::prefix, run_deflayer},
    {"video on", match::prefix, run_video_on},
    {"video off", match::prefix, run_video_off},
    {"ati", match::prefix, run_ati},
    {"blur", match::prefix, run_blur},
    {"sync", match::prefix, run_sync},
    {"vymaz", match::prefix, run_vymaz},
    {"learnspell", match::first_5, do_nothing},  // spells are learned from items only
    {"wireframe", match::prefix, run_wireframe},
    {"points", match::prefix, run_points},
    {"solid", match::prefix, run_solid},
    {"slayer", match::prefix, run_slayer},
    {"find", match::prefix, run_find},
    {"savegame", match::prefix, run_savegame},
    {"loadgame", match::prefix, run_loadgame},
    {"play", match::prefix, do_nothing},
    {"record", match::prefix, do_nothing},
    {"say", match::prefix, run_say},
    {"psort", match::prefix, run_psort},
    {"sort", match::prefix, run_sort},
    {"unsort", match::prefix, run_unsort},
    {"colorall", match::exact, run_colorall},
    {"colorit", match::prefix, run_colorit},
    {"scale", match::prefix, run_scale},
    {"load", match::prefix, run_load},
    {"skin", match::prefix, run_skin},
    {"fload", match::prefix, run_fload},
    {"layer", match::prefix, run_layer},
    {"about", match::first_4, run_about},
    {"help", match::prefix, run_help},
    {"efect", match::prefix, run_efect},
    {"ep", match::prefix, run_ep},
    {"ambient", match::prefix, run_ambient},
    {"tspeed", match::prefix, run_tspeed},
    {"id", match::prefix, run_id},
    {"addefect", match::prefix, run_addefect},
    {"removeefect", match::prefix, run_removeefect},
    {"parent", match::prefix, do_nothing},
    {"net", match::prefix, run_net},
    {"server", match::prefix, run_server},
    {"close", match::prefix, run_close},
    {"connect", match::prefix, run_connect},
    {"send", match::prefix, run_send},
    {"fps", match::prefix, run_fps},
    {"qitemsave", match::prefix, run_qitemsave},
    {"setday", match::prefix, run_set_hour_12},
    {"setnight", match::prefix, run_set_hour_0},
    {"setevening", match::prefix, run_set_hour_18},
    {"setmorning", match::prefix, run_set_hour_6},
    {"gamma", match::prefix, run_gamma},
    {"prepare", match::prefix, run_prepare},
};
constexpr int k_command_count = int(sizeof k_commands / sizeof k_commands[0]);
static_assert(k_command_count == 100);

bool names(const char* line, const console_command& command)
{
    const size_t length = std::strlen(command.word);
    switch (command.how) {
    case match::prefix:
        return std::strncmp(line, command.word, length) == 0;
    case match::exact:
        return std::strcmp(line, command.word) == 0;
    case match::first_5:
        return std::strncmp(line, command.word, 5) == 0;
    case match::first_4:
        return std::strncmp(line, command.word, 4) == 0;
    }
    return false;
}

} // namespace

std::string console_word_at(const char* line, size_t position)
{
    if (std::strlen(line) <= position)
        return {};
    const char* from = line + position;
    return std::string(from, std::strcspn(from, " "));
}

int32_t console_int_at(const char* line, size_t position)
{
    return int32_t(std::strtol(console_word_at(line, position).c_str(), nullptr, 10));
}

float console_float_at(const char* line, size_t position)
{
    return std::strtof(console_word_at(line, position).c_str(), nullptr);
}

const char* console_text_at(const char* line, size_t position)
{
    return std::strlen(line) <= position ? "" : line + position;
}

bool console_index_ok(int32_t n, int32_t count, const char* what)
{
    if (n >= 0 && n < count)
        return true;
    console_log("%s %d out of range", what, n);
    return false;
}

bool run_console_command_table(const char* line)
{
    for (const console_command& command : k_commands) {
        if (names(line, command)) {
            command.run(line);
            return true;
        }
    }
    return false;
}

int console_command_count()
{
    return k_command_count;
}

const char* console_command_word(int index)
{
    return index >= 0 && index < k_command_count ? k_commands[index].word : "";
}
