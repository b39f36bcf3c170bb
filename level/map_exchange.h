// The editor's exchange files of a level.
//
// Mapinfo ("*.mv"): a packed file of two sections in their level-map layout, the movement map
// and then the scene header. Sortinfo ("*.inf"): the depth-sorted objects as world_objects.h
// write_objects and read_objects keep them.
#pragma once

#include <cstdint>

// Writes the movement map and the scene header; the old file is replaced only after a complete
// write. False (logged) when the file cannot be written.
bool export_mapinfo(const char* path);

// Reads a mapinfo file: the movement map, then the scene header, both read aside first. Only a
// file that holds both sections whole, sound (movemap_section, read_scene_header_record) and
// nothing after them replaces the movement map and the scene header and marks the map changed;
// any other changes nothing and returns false with its log lines.
bool import_mapinfo(const char* path);

// Writes the sortinfo file; false (logged) when it cannot be written.
bool export_sortinfo(const char* path);

// Reads a sortinfo file over the objects that stand at the stored places; an object changed
// marks the map changed. A file that cannot be read, or holds bytes after its last whole record,
// changes nothing and returns false with its log lines.
bool import_sortinfo(const char* path);
