// Modal message boxes: a text, a caption and the buttons of the kind.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>
#include <string>

enum class message_box_kind : uint8_t {
    ok,     // OK; Esc and the close box answer OK too
    yes_no, // Yes (the default) and No; Esc and the close box do nothing
    yes_no_default_no, // Yes and No (the default); Esc and the close box answer No
};

// Asks and waits; k_id_ok, k_id_yes or k_id_no. With nobody to answer (modal_dialogs_answerable)
// the default button's answer is taken and a console line says so.
int32_t message_box(dialog_handle owner, const char* text, const char* caption, message_box_kind kind);

// Says in an OK box that the file at `path` was not read whole and that `kept` (what the reader
// would have replaced, with its verb: "the map stays as it was") did not change; the console line
// the reader logged before names the damage.
void say_file_unread(dialog_handle owner, const std::string& path, const char* caption, const char* kept);
