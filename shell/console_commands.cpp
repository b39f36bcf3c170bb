#include "shell/console_commands.h"

// The command table is not built yet: no line names a command.
bool run_console_command_table(const char*)
{
    return false;
}
