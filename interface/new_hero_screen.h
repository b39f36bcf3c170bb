// The new-hero page of the overlay screens.
#pragma once

// Once per frame while the new-hero page is the overlay screen.
void run_new_hero_screen();
