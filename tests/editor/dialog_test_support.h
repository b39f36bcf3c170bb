// Helpers for dialog tests: a fixture that leaves no dialog, responder or console switch behind,
// and a procedure that records every message it gets.
#pragma once

#include "core/console_log.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

struct recorded_message {
    dialog_message_kind kind;
    int32_t id, code;
    intptr_t param;
    bool operator==(const recorded_message&) const = default;
};

inline recorded_message command(int32_t id, int32_t code)
{
    return {dialog_message_kind::command, id, code, 0};
}

// A procedure that records what it gets; `also` runs after the record is made.
struct message_log {
    std::vector<recorded_message> messages;
    dialog_procedure also;

    dialog_procedure procedure()
    {
        return [this](dialog_handle dialog, const dialog_message& m) {
            messages.push_back({m.kind, m.id, m.code, m.param});
            return also ? also(dialog, m) : false;
        };
    }
    std::vector<recorded_message> commands() const
    {
        std::vector<recorded_message> out;
        for (const recorded_message& m : messages)
            if (m.kind == dialog_message_kind::command)
                out.push_back(m);
        return out;
    }
};

class dialog_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::make_unique<temp_folder>();
        saved_console_ = g_console_enabled;
        std::memcpy(saved_history_, g_console_history, sizeof saved_history_);
        saved_history_count_ = g_console_history_count;
        g_console_enabled = 1;
        g_console_history_count = 0;
    }
    void TearDown() override
    {
        destroy_all_dialogs();
        set_modal_responder({});
        g_console_enabled = saved_console_;
        std::memcpy(g_console_history, saved_history_, sizeof saved_history_);
        g_console_history_count = saved_history_count_;
        folder_.reset();
    }

    // The newest console line.
    std::string last_console_line() const
    {
        return g_console_history_count > 0 ? g_console_history[0] : "";
    }

    message_log log; // outlives the dialogs, which get destroy at the end of each test
    std::unique_ptr<temp_folder> folder_;
    uint32_t saved_console_ = 0;
    char saved_history_[k_console_history_lines][k_console_history_width] = {};
    int32_t saved_history_count_ = 0;
};

// A template with one control of every kind, at fixed identifiers.
namespace every_kind {
constexpr int32_t button = 10, check = 11, radio_a = 12, radio_b = 13, radio_other = 14, edit = 15, label = 16,
                  group = 17, list = 18, combo = 19, editable_combo = 20, slider = 21, tabs = 22, view = 23,
                  memo = 24;
}

inline dialog_template every_kind_template()
{
    using namespace every_kind;
    dialog_template t;
    t.caption = "every kind";
    t.width = 300;
    t.height = 260;
    t.x = 40;
    t.y = 30;
    t.menu = {{"file", 0, {{"open", 501, {}}, {"more", 0, {{"deep", 502, {}}}}}}};
    t.controls = {
        make_control(control_kind::button, button, 8, 8, 60, 14, "Press"),
        make_control(control_kind::check, check, 8, 28, 60, 10, "Check"),
        make_control(control_kind::radio, radio_a, 8, 42, 60, 10, "A"),
        make_control(control_kind::radio, radio_b, 8, 54, 60, 10, "B"),
        make_control(control_kind::radio, radio_other, 8, 66, 60, 10, "Other"),
        make_control(control_kind::edit, edit, 80, 8, 100, 13, "start"),
        make_control(control_kind::static_text, label, 80, 28, 100, 10, "Label \xE9"),
        make_control(control_kind::group_box, group, 190, 8, 100, 60, "Group"),
        make_control(control_kind::list_box, list, 8, 82, 90, 60),
        make_control(control_kind::combo, combo, 110, 82, 80, 60),
        make_control(control_kind::combo, editable_combo, 200, 82, 90, 60, "", k_style_editable),
        make_control(control_kind::slider, slider, 110, 100, 80, 14),
        make_control(control_kind::tabs, tabs, 8, 150, 180, 14),
        make_control(control_kind::list_view, view, 8, 170, 180, 60),
        make_control(control_kind::edit, memo, 200, 100, 90, 40),
    };
    t.controls[4].group = 1;
    t.controls[12].items = {"One", "Two", "Three"};
    t.controls[13].items = {"Name", "Value"};
    t.controls[14].lines = 4;
    t.controls[5].limit = 8;
    return t;
}
