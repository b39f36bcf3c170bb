// Dear ImGui on the program's device and input: the context, the font atlas as a device
// texture, each frame's input events handed to ImGui, and ImGui's draw lists drawn as
// pre-coloured triangles clipped by the device's scissor rectangle.
#pragma once

#include "platform/render_device.h"

#include <cstdint>

struct ImDrawData;

// Makes the context with the dialog font and style on first use; text can be measured after it.
void imgui_make_ready();

// Makes the context on first use and the font texture on a device that lacks it; then feeds
// ImGui the time, the display size, the cursor and the input events since the last call.
void imgui_begin_input(render_device& device, uint32_t now_ms);

// Drops the input events nobody is to read (no dialog shown), lets go of every key and button
// it held, and turns text entry off.
void imgui_drop_input();

// Draws ImGui's draw data with the device's states restored afterwards; then turns text entry
// on while an ImGui text field wants typing.
void imgui_draw(render_device& device, ImDrawData* data);

// As the last frame drawn left them: a text field of a dialog takes typing; the cursor is over a
// dialog (or a dialog holds the mouse). Both false while no dialog is drawn.
bool imgui_wants_text();
bool imgui_wants_mouse();

// Whether the screen point lies on a dialog window (a pop-up included) as the last frame drew
// them; false while no dialog is drawn or none exists.
bool imgui_window_at(int32_t x, int32_t y);

// Scrolls every window inside the window being drawn (list boxes, tables, multi-line fields) back
// to its start. Call between the window's Begin and its first child.
void imgui_scroll_children_home();

// The dialogs give up the keyboard: no window keeps the focus (a text field stops taking typing,
// an open pop-up closes) from the next frame on, and typing stops at once. Nothing while no
// dialog window has the focus.
void imgui_release_keyboard();
