// Internal to the shell: the phases of the run as tables of named steps.
#pragma once

#include "shell/program.h"

#include <span>

struct program_step {
    const char* name;
    // Runs the step; false ends the phase (start-up stops, the frame ends). A step with no
    // function is only traced.
    bool (*run)();
};

// Runs the steps in order until one returns false; returns false in that case.
bool run_program_steps(std::span<const program_step> steps);

// Every table of steps registers itself once, at program start, under the name of its phase, so
// that steps_without_function (shell/program.h) can look at all of them.
struct step_table_registration {
    step_table_registration(const char* phase, std::span<const program_step> steps);
};
