// What the console's command files share: argument reading, range checks and the commands of
// each group, which shell/console_commands.cpp puts into one table in matching order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Room for one word or name read from a line with sscanf ("%255s").
constexpr int k_console_arg_size = 256;

// The number of the characters from `position` up to the line's end or the next blank,
// converted as atoi / atof do (0 when the line is shorter than the position).
int32_t console_int_at(const char* line, size_t position);
float console_float_at(const char* line, size_t position);
// The characters from `position` up to the line's end or the next blank ("" when the line is
// shorter).
std::string console_word_at(const char* line, size_t position);
// The text from `position` to the line's end ("" when the line is shorter).
const char* console_text_at(const char* line, size_t position);
// Whether n lies in 0 to count - 1; otherwise logs "<what> <n> out of range" and answers false.
bool console_index_ok(int32_t n, int32_t count, const char* what);

// Game state and story, exports, information and network words (console_game_commands.cpp).
void run_qinfo(const char* line);
void run_setqstate(const char* line);
void run_setquest(const char* line);
void run_dclose(const char* line);
void run_slide(const char* line);
void run_dreamworld(const char* line);
void run_rest(const char* line);
void run_set_hour_12(const char* line);
void run_set_hour_0(const char* line);
void run_set_hour_18(const char* line);
void run_set_hour_6(const char* line);
void run_savegame(const char* line);
void run_loadgame(const char* line);
void run_load(const char* line);
void run_fload(const char* line);
void run_game(const char* line);
void run_qitemsave(const char* line);
void run_setiattunement(const char* line);
void run_export(const char* line);
void run_savenames(const char* line);
void run_shot(const char* line);
void run_about(const char* line);
void run_help(const char* line);
void run_net(const char* line);
void run_server(const char* line);
void run_close(const char* line);
void run_connect(const char* line);
void run_send(const char* line);
void run_say(const char* line);
void run_video_on(const char* line);
void run_video_off(const char* line);
void run_fps(const char* line);
void run_gamma(const char* line);
void run_ati(const char* line);

// Characters (console_char_commands.cpp).
void run_setbody(const char* line);
void run_sethead(const char* line);
void run_welement(const char* line);
void run_vert(const char* line);
void run_heal(const char* line);
void run_addexp(const char* line);
void run_addgold(const char* line);
void run_attune(const char* line);
void run_addchar(const char* line);
void run_hobbary(const char* line);
void run_setplayer(const char* line);
void run_resetplayer(const char* line);
void run_resetchars(const char* line);
void run_fadedeath(const char* line);
void run_findsec(const char* line);
void run_clonesec(const char* line);
void run_addsec(const char* line);

// World objects, prototypes, the movement map, weather and render states
// (console_world_commands.cpp).
void run_posunall(const char* line);
void run_vymaz(const char* line);
void run_resetobjs(const char* line);
void run_simsort(const char* line);
void run_analyse(const char* line);
void run_sort(const char* line);
void run_unsort(const char* line);
void run_psort(const char* line);
void run_layer(const char* line);
void run_slayer(const char* line);
void run_colorall(const char* line);
void run_colorit(const char* line);
void run_skin(const char* line);
void run_remscale(const char* line);
void run_fuckrot(const char* line);
void run_blur(const char* line);
void run_sync(const char* line);
void run_id(const char* line);
void run_efect(const char* line);
void run_ep(const char* line);
void run_addefect(const char* line);
void run_removeefect(const char* line);
void run_find(const char* line);
void run_count(const char* line);
void run_scale(const char* line);
void run_deflayer(const char* line);
void run_tspeed(const char* line);
void run_odjeb(const char* line);
void run_savedat(const char* line);
void run_savepr(const char* line);
void run_prepare(const char* line);
void run_resetmap(const char* line);
void run_addmap(const char* line);
void run_rain(const char* line);
void run_fog(const char* line);
void run_snow(const char* line);
void run_quake(const char* line);
void run_strike(const char* line);
void run_ambient(const char* line);
void run_antialias(const char* line);
void run_wireframe(const char* line);
void run_points(const char* line);
void run_solid(const char* line);
