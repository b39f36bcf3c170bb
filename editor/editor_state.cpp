#include "editor/editor_state.h"

void select_objects_in_box() {}
