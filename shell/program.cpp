#include "shell/program_steps.h"

#include "core/globals.h"
#include "interface/front_end.h"
#include "platform/signals.h"

#include <cstdio>

std::vector<std::string>* g_shell_trace = nullptr;
void (*g_front_end)() = run_front_end;

namespace {

struct step_table {
    const char* phase;
    std::span<const program_step> steps;
};

std::vector<step_table>& step_tables()
{
    static std::vector<step_table> tables;
    return tables;
}

} // namespace

step_table_registration::step_table_registration(const char* phase, std::span<const program_step> steps)
{
    step_tables().push_back({phase, steps});
}

std::vector<std::string> steps_without_function()
{
    std::vector<std::string> missing;
    for (const step_table& table : step_tables())
        for (const program_step& step : table.steps)
            if (!step.run)
                missing.push_back(std::string(table.phase) + ": " + step.name);
    return missing;
}

bool run_program_steps(std::span<const program_step> steps)
{
    for (const program_step& step : steps) {
        if (g_shell_trace)
            g_shell_trace->push_back(step.run ? step.name : std::string(step.name) + " (pending)");
        if (step.run && !step.run())
            return false;
    }
    return true;
}

int run_program(const char* command_line)
{
    install_quit_signal_handlers();
    bool started = program_startup(command_line);
    if (!started)
        std::fprintf(stderr, "zorv: %s\n", startup_failure());
    for (;;) {
        if (started)
            while (!g_quit && !g_quit_all && program_frame()) {
            }
        if (program_shutdown(started))
            return started ? 0 : 1;
    }
}
