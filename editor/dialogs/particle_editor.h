// The particle editor: the window "particle" over the emitter of the prototype the prototype
// editor shows, when that prototype is a particle emitter. Each field shows one emitter value of
// the record; "update" stores every field into the prototype shown at that moment.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls: the emitter fields from k_particle_first_field on, one per entry of
// particle_fields(), in that order; then these.
enum : int32_t {
    k_particle_first_field = 1401,
    k_particle_centre = 1460,  // check box "move to center"
    k_particle_update = 1461,  // button "update"
};

// One emitter field: its row and column label and its byte position in the prototype record.
struct particle_field {
    const char* row;
    const char* column;
    uint32_t offset;
    enum : uint8_t { whole, whole_i, real } format;  // "%d", "%i", "%f"
};
struct particle_field_table {
    const particle_field* fields;
    int32_t count;
};
particle_field_table particle_fields();

constexpr int32_t k_particle_shown_chars = 6;

extern dialog_handle g_particle_editor_window;  // 0 while closed

// Creates the window; nothing while it is open.
void open_particle_editor();
bool particle_editor_proc(dialog_handle dialog, const dialog_message& m);
