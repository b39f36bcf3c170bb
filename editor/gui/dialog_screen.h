// The dialogs on the screen: each frame every shown dialog is drawn with Dear ImGui over the
// frame on the program's device (g_d3d_device), and what the user did to it in that frame is
// carried out afterwards through the entry points of editor/controls/dialog_user.h. Texts are
// Windows-1252 in the dialogs and UTF-8 only inside ImGui.
#pragma once

#include "editor/controls/dialog_model.h"
#include "platform/render_device.h"

#include <cstdint>

// The dialogs' frame: due timers tick and ended dialogs go (dialog_frame_step at the program's
// clock); then, with a device and a shown dialog, the dialogs are drawn and the user's acts of
// the frame carried out, one after the other (a modal dialog opened by one runs its own frames
// before the next act). Without either, the input events of the frame are dropped.
void run_dialog_frame();

// While a modal dialog is open: the view (g_view_x, g_view_y, g_screen_width x g_screen_height)
// as the frame drawn so far shows it is kept, once, and drawn under the dialogs of every frame
// until no modal dialog is left. A modal loop calls it before it clears the target.
void keep_view_picture();

// Where the last drawn frame laid a control out (the part of its template's rectangle it draws
// in: a combo's closed box), in screen pixels; false when it was not drawn.
bool dialog_control_rect(dialog_handle dialog, int32_t id, device_rect& out);
