// The settings page of the overlay screens.
#pragma once

// Once per frame while the settings page is the overlay screen.
void run_settings_screen();
