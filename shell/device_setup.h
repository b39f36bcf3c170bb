// The device of the program: its choice and creation, the render states and fixed camera that
// all 2D and 3D drawing relies on, presenting, and the display's gamma ramp.
#pragma once

#include "engine/render_context.h"
#include "platform/gamma.h"

#include <cstdint>

constexpr int k_device_table_size = 5;
extern uint32_t g_device_table[k_device_table_size]; // device index per enumerated device
extern gamma_ramp g_gamma_ramp;                        // the display's ramp as found at start-up
extern int32_t g_last_result;                          // result of the last device call kept

// Logs the devices and returns the table entry to use: 1 at first, or the last device of
// transform-and-lighting level when prefer_tl is set. Devices that cannot be described are
// skipped; those past the table's end are logged but neither stored nor chosen.
uint32_t choose_render_device(int count, bool (*describe)(int index, render_device_info& out), bool prefer_tl);

// The device steps of the main window's creation: device choice, then the device in a window
// (editor mode or gr_runwindowed; sets g_windowed to 1) or full screen (32 bits, 16 with
// gr_force16bit; g_windowed 0) at g_screen_width × g_screen_height. 1 on success; -1 with the
// reason logged. A device made before is released first.
int32_t create_device_context();
// Why the last create_device_context failed; empty after a success.
const char* device_context_error();
// Releases the device create_device_context made, and with it the texture table's surfaces (the
// table is emptied as clear_texture_table does); g_d3d_device and g_d3dx_context become null.
void release_device_context();

// Sets every render state, the viewport, the view and the projection.
void init_render_states();

// Keeps the display's current ramp in g_gamma_ramp; without a gamma control nothing is kept.
void save_gamma_ramp();
// Sets entries 0 to 254 of each channel to the kept ramp plus offset where that lies in
// 0..65534, leaving the others as the display has them. Nothing without a gamma control.
void set_gamma(int32_t offset);
