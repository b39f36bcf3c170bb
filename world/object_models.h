// The models of mesh prototypes and their drawing, as the object code uses them.
#pragma once

#include <cstdint>

struct object_proto;
struct world_object;

// Loads a model file for a mesh prototype (scale 1.0); its model number, or -1 (a path that would
// leave the working folder is refused, core/data_files.h).
int32_t load_proto_model(const char* path);
// Frees a model that load_proto_model gave (-1 is ignored).
void free_proto_model(int32_t model);

// The frame count of a mesh prototype's first model part; 0 for another kind or without a model.
int32_t proto_model_frames(const object_proto& prototype);

// Draws every model part of a mesh object at its position and depth z, with the object's
// colour, the given alpha, its angles, scale, frame and variant and the prototype's depth
// setting; model_frame is the frame of a model frame cycle, 0 without one.
void draw_mesh_object(const world_object& object, const object_proto& prototype, float z, float alpha,
                      int32_t model_frame);
