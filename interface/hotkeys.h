// The game's keys (handle_hotkeys, declared in interface/interface_state.h): the low-health
// warning, Escape, the save/load screen's buttons, the zoom, quick save and load, the F8 switch,
// screenshots, Space and the panel letters. Every key acts once per press and only on a press
// that nothing else took (take_key_press): the Space or number key that ends a dialogue does not
// close the panels or act here while it is held.
#pragma once

#include <cstdint>

struct hotkey_state {
    uint32_t next_warning_tick;  // the low-health warning sounds again once g_ticks reaches it
};
extern hotkey_state g_hotkeys;
