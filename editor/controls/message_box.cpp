#include "editor/controls/message_box.h"

#include "core/console_log.h"

#include <algorithm>
#include <string>

namespace {

// The box fits its longest line and its buttons, in dialog units.
dialog_template box_template(const std::string& text, const char* caption, message_box_kind kind)
{
    int32_t lines = 1, longest = 0, run = 0;
    for (char c : text) {
        if (c == '\n') {
            ++lines;
            run = 0;
        } else {
            longest = std::max(longest, ++run);
        }
    }
    dialog_template t;
    t.caption = caption ? caption : "";
    t.width = std::max(140, longest * 4 + 20);
    t.height = lines * 10 + 40;
    t.x = 200;
    t.y = 200;
    t.controls.push_back(make_control(control_kind::static_text, -1, 10, 8, t.width - 20, lines * 10, text));
    const int32_t top = t.height - 22;
    if (kind == message_box_kind::ok) {
        t.controls.push_back(make_control(control_kind::button, k_id_ok, t.width / 2 - 25, top, 50, 14, "OK"));
    } else {
        t.controls.push_back(make_control(control_kind::button, k_id_yes, t.width / 2 - 55, top, 50, 14, "Yes"));
        t.controls.push_back(make_control(control_kind::button, k_id_no, t.width / 2 + 5, top, 50, 14, "No"));
    }
    return t;
}

} // namespace

int32_t message_box(dialog_handle owner, const char* text, const char* caption, message_box_kind kind)
{
    const std::string shown = text ? text : "";
    const int32_t fallback = kind == message_box_kind::ok       ? k_id_ok
                             : kind == message_box_kind::yes_no ? k_id_yes
                                                                : k_id_no;
    if (!modal_dialogs_answerable()) {
        console_log("dialog \"%.100s\" sa neda zobrazit, odpoved: %s", shown.c_str(),
                    fallback == k_id_ok ? "OK" : fallback == k_id_yes ? "Yes" : "No");
        return fallback;
    }
    auto procedure = [kind, fallback](dialog_handle box, const dialog_message& m) {
        const bool ok_box = kind == message_box_kind::ok;
        const bool cancel_answers = kind != message_box_kind::yes_no;  // Esc and the close box
        if (m.kind == dialog_message_kind::close) {
            if (cancel_answers)
                end_dialog(box, fallback);
            return true;
        }
        if (m.kind != dialog_message_kind::command)
            return false;
        // Enter (k_id_ok) presses the default button.
        if (m.id == k_id_ok || (cancel_answers && m.id == k_id_cancel))
            end_dialog(box, fallback);
        else if (!ok_box && (m.id == k_id_yes || m.id == k_id_no))
            end_dialog(box, m.id);
        return true;
    };
    const int32_t answer = run_modal_dialog(box_template(shown, caption, kind), procedure, 0, owner);
    // A box destroyed from outside, or left by a closing program, gives its default answer.
    return answer == k_id_ok || answer == k_id_yes || answer == k_id_no ? answer : fallback;
}

void say_file_unread(dialog_handle owner, const std::string& path, const char* caption, const char* kept)
{
    const std::string text = path + "\nThe file could not be read whole; " + kept + " (the console says why).";
    message_box(owner, text.c_str(), caption, message_box_kind::ok);
}
