// Internal to the prototype editor: what its page and its frame commands share.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>
#include <string>

struct object_proto;

// The prototype of the selected row, -1 when it names none.
int32_t selected_proto(dialog_handle dialog);

// The row carrying the prototype, -1 when the list has none.
int32_t proto_row(dialog_handle dialog, int32_t index);

// Selects the row carrying the prototype (none when the list has none) and shows it.
void reselect_proto(dialog_handle dialog, int32_t index);

// Adds the prototype's "%d-%s" row at the end of the list; the new row.
int32_t add_proto_row(dialog_handle dialog, int32_t index);

// The file chooser in open mode: the chosen path, or empty when cancelled or the file is missing.
std::string ask_existing_file(dialog_handle dialog, const char* title, const char* filter, const char* extension);

// Loads an image file as a frame texture of the prototype (its size and colour mode), made at
// once; the prototype's size becomes the texture's when it has one. The texture slot, or -1.
int32_t load_frame_texture(object_proto& prototype, const char* path);

// The "texture/objekt" menu; false when the identifier is not one of its items.
bool run_proto_frame_command(dialog_handle dialog, int32_t id);

// Reads a tile folder's "size.txt" ("%d %d": columns, rows); false when it is missing or does
// not hold two numbers.
bool read_surface_size(const std::string& folder, int32_t* columns, int32_t* rows);

// Builds a surface prototype from the chosen tile (path relative, "\" separated) of a folder.
void build_surface(dialog_handle dialog, int32_t index, const std::string& path);
