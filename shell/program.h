// The program's run: start-up, one frame of the main loop, and shutdown.
//
// `run_program` is the whole run as the entry point performs it; tests call the three phases
// themselves to run start-up, a number of frames and shutdown in-process.
#pragma once

#include <string>
#include <vector>

// Runs the start-up in order, with no file reported once yet (core/data_files.h). False when it
// stopped early (no window or device), in which case no frame may run and shutdown must be called
// with the same result.
bool program_startup(const char* command_line);
// Why the last start-up stopped early; empty when it did not.
const char* startup_failure();

// One pass of the main loop. False when the loop ends (a quit was requested).
bool program_frame();

// Runs the shutdown. `started` is program_startup's result. False when the game was finished
// and the ending ran instead: the main loop resumes.
bool program_shutdown(bool started);

// Start-up, the main loop and shutdown; returns the process's exit code: 0, or 1 after a start-up
// that stopped early, whose reason then goes to the standard error as "zorv: <reason>".
int run_program(const char* command_line);

// The front end that start-up and every new game run: run_front_end (interface/front_end.h).
// Tests that go on from the title menu in the main loop put a function that returns at once here.
extern void (*g_front_end)();

// The steps of every table the shell runs (start-up, the menu level, the frame, the fades, the
// level requests, shutdown) that have no function, as "phase: step"; empty when every step has one.
std::vector<std::string> steps_without_function();

// When set, every step of start-up, frame and shutdown appends its name as it runs. A step with
// no function appends its name with " (pending)".
extern std::vector<std::string>* g_shell_trace;
