#include "editor/editor_state.h"

void reset_editor_brush()
{
    g_editor.brush_proto = -1;
}
void open_editor_windows() {}
void run_editor_frame() {}
void select_objects_in_box() {}
