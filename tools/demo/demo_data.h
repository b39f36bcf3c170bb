// The demo data set: each subsystem writes its share into the working folder, through the
// program's own savers where one exists.
#pragma once

// The shell's files: the folders, config.cfg.
void write_shell_demo_data();
// The engine's images: the fixed start-up images, ground tiles, sprites and the language's
// texture pack "data/levels/main_eng.dat" with its index.
void write_texture_demo_data();
// The sprite font "global/main.fn": 5 × 7 glyphs drawn here, white with a shadow.
void write_text_demo_data();
