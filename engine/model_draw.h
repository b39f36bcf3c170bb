// Model drawing state shared with the shell.
#pragma once

#include <cstdint>

// The w-buffer request of model drawing; copied from the settings at start-up.
extern uint32_t g_wbuffer_switch;
