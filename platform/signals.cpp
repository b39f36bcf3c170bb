#include "platform/signals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_quit_signal = 0;

void on_quit_signal(int)
{
    g_quit_signal = 1;
}

} // namespace

void install_quit_signal_handlers()
{
    struct sigaction action = {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void clear_quit_signal()
{
    g_quit_signal = 0;
}

bool quit_signal_received()
{
    return g_quit_signal != 0;
}
