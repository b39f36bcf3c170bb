// The attunement panel: the hero's learned attunements that are not active on one page, the
// active ones on the other, each named, its tooltip shown while the cursor is over it.
#pragma once

#include <cstdint>

// The first row shown of the learned page; kept across frames.
extern int32_t g_attunement_panel_scroll;

// Per frame inside the HUD pass while the attunement panel is open and no dialogue runs.
void update_attunement_panel();
