// The "Quests" page of the mode tabs: every quest of g_quests with its state, assigned and
// completed marks, as they are when the page is created. It changes nothing.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

constexpr int32_t k_quest_list_view = 1501;  // list view "name", "state", "assigned", "completed"

extern dialog_handle g_quest_list_window;  // the page while it exists, else 0

// Creates the page at (0, the tab page top): one row per quest, each inserted at the top, so the
// last quest stands first; a row's value is its quest index.
void open_quest_list();

bool quest_editor_proc(dialog_handle dialog, const dialog_message& m);
