// The save/load page of the overlay screens.
#pragma once

#include <cstdint>

// Once per frame while the save/load page is the overlay screen; the caller passes 2.
void run_save_load_screen(int32_t mode);
