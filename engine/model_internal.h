// Internals shared by the model modules.
#pragma once

struct model;

// The temporary mesh dumps of the ".x" import, in the working folder, deleted after use.
inline constexpr const char* k_x_import_dump = "d_temp2";
inline constexpr const char* k_x_frame_dump = "d_temp";

// Fills the model with a fresh mesh read from a ".x" file (no frames). A file that cannot be
// imported, or has more than 16 materials, leaves an empty mesh named "D3DFile_Root", logged.
// True when the file was imported.
bool import_x_model(model* m, const char* path);

// A fresh, empty mesh named "D3DFile_Root" for the model; its frames are dropped.
void reset_model_mesh(model* m);
