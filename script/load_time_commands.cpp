#include "script/load_time_commands.h"

void run_load_time_commands(text_window*, int32_t, parse_state*) {}
