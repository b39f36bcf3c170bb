// SIGINT and SIGTERM become a close request that the window's message pump picks up, so a
// program run from a terminal or a test harness ends the way closing its window does.
#pragma once

void install_quit_signal_handlers();

// True once a quit signal arrived; stays true until cleared.
bool quit_signal_received();
// Forgets a quit signal that arrived (tests that raise one).
void clear_quit_signal();
