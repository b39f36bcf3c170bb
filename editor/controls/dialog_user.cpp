#include "editor/controls/dialog_user.h"

#include "editor/controls/dialog_records.h"
#include "platform/clock.h"

#include <algorithm>
#include <string>

namespace {

dialog_record* usable_dialog(dialog_handle dialog)
{
    dialog_record* d = find_dialog(dialog);
    return d && d->shown && d->enabled && !d->ending ? d : nullptr;
}

// The index of a usable control of the dialog with the identifier, -1 when there is none.
int32_t usable_control(dialog_handle dialog, int32_t id)
{
    dialog_record* d = usable_dialog(dialog);
    const control_record* c = find_control(d, id);
    return c && c->enabled && c->shown ? int32_t(c - d->controls.data()) : -1;
}

// The control at an index, once the dialog is looked up again after a message.
control_record* control_at(dialog_handle dialog, int32_t index)
{
    dialog_record* d = find_dialog(dialog);
    return d && index >= 0 && index < int32_t(d->controls.size()) ? &d->controls[size_t(index)] : nullptr;
}

bool one_of(control_kind kind, std::initializer_list<control_kind> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// Focuses a usable control of one of the kinds; its index, -1 when there is none.
int32_t take_focus(dialog_handle dialog, int32_t id, std::initializer_list<control_kind> kinds)
{
    const int32_t index = usable_control(dialog, id);
    if (index < 0 || !one_of(control_at(dialog, index)->source.kind, kinds))
        return -1;
    move_focus(dialog, index);
    return control_at(dialog, index) ? index : -1;
}

bool takes_typing(const control_record& c)
{
    if (c.source.kind == control_kind::edit)
        return !(c.source.style & k_style_read_only);
    return c.source.kind == control_kind::combo && (c.source.style & k_style_editable);
}

bool menu_has_item(const std::vector<menu_entry>& entries, int32_t id)
{
    for (const menu_entry& e : entries)
        if (e.items.empty() ? e.id == id : menu_has_item(e.items, id))
            return true;
    return false;
}

// Enter and Esc: the button of that identifier, where there is one, must be usable.
bool press(dialog_handle dialog, int32_t id)
{
    dialog_record* d = usable_dialog(dialog);
    if (!d)
        return false;
    if (const control_record* c = find_control(d, id); c && !c->enabled)
        return false;
    send_command(dialog, id, k_notify_clicked);
    return true;
}

} // namespace

bool user_click(dialog_handle dialog, int32_t id)
{
    const int32_t index =
        take_focus(dialog, id, {control_kind::button, control_kind::check, control_kind::radio});
    if (index < 0)
        return false;
    control_record* c = control_at(dialog, index);
    if (c->source.kind == control_kind::check) {
        c->check = c->source.style & k_style_three_state ? (c->check + 1) % 3 : !c->check;
    } else if (c->source.kind == control_kind::radio) {
        for (control_record& other : find_dialog(dialog)->controls)
            if (other.source.kind == control_kind::radio && other.source.group == c->source.group)
                other.check = 0;
        c->check = 1;
    }
    send_command(dialog, id, k_notify_clicked);
    return true;
}

bool user_focus(dialog_handle dialog, int32_t id)
{
    return take_focus(dialog, id,
                      {control_kind::button, control_kind::check, control_kind::radio, control_kind::edit,
                       control_kind::list_box, control_kind::combo, control_kind::slider, control_kind::tabs,
                       control_kind::list_view}) >= 0;
}

bool user_clear_focus(dialog_handle dialog)
{
    if (!usable_dialog(dialog))
        return false;
    move_focus(dialog, -1);
    return true;
}

bool user_edit_text(dialog_handle dialog, int32_t id, std::string_view text)
{
    const int32_t index = usable_control(dialog, id);
    if (index < 0 || !takes_typing(*control_at(dialog, index)))
        return false;
    move_focus(dialog, index);
    control_record* c = control_at(dialog, index);
    if (!c)
        return false;
    std::string typed(text.substr(0, std::min(text.size(), c->text_limit())));
    if (typed == c->text)
        return true;
    c->text = std::move(typed);
    send_command(dialog, id, c->source.kind == control_kind::edit ? k_notify_changed : k_notify_edit_typed);
    return true;
}

bool user_type(dialog_handle dialog, int32_t id, std::string_view characters)
{
    for (char ch : characters) {
        const int32_t index = usable_control(dialog, id);
        const control_record* c = control_at(dialog, index);
        if (!c)
            return false;
        std::string text = c->text;
        if (ch == '\b') {
            if (!text.empty())
                text.pop_back();
        } else {
            text += ch;
        }
        if (!user_edit_text(dialog, id, text))
            return false;
    }
    return true;
}

bool user_choose(dialog_handle dialog, int32_t id, int32_t row)
{
    const int32_t index = take_focus(
        dialog, id, {control_kind::list_box, control_kind::combo, control_kind::list_view, control_kind::tabs});
    control_record* c = control_at(dialog, index);
    if (!c)
        return false;
    bool changed = false;
    if (c->source.kind == control_kind::list_view) {
        if (row < 0 || row >= int32_t(c->view_rows.size()))
            return false;
        for (size_t i = 0; i < c->view_rows.size(); ++i) {
            const bool selected = int32_t(i) == row;
            changed |= c->view_rows[i].selected != selected;
            c->view_rows[i].selected = selected;
        }
    } else {
        if (row < 0 || row >= int32_t(c->rows.size()))
            return false;
        changed = c->selection != row;
        c->selection = row;
        if (c->source.kind == control_kind::combo)
            c->text = c->rows[size_t(row)];
    }
    if (changed)
        send_command(dialog, id, k_notify_selection);
    return true;
}

bool user_toggle_row(dialog_handle dialog, int32_t id, int32_t row)
{
    const int32_t index = take_focus(dialog, id, {control_kind::list_view});
    control_record* c = control_at(dialog, index);
    if (!c || row < 0 || row >= int32_t(c->view_rows.size()))
        return false;
    const bool selected = !c->view_rows[size_t(row)].selected;
    if (selected && (c->source.style & k_style_single_row))
        for (list_view_row& other : c->view_rows)
            other.selected = false;
    c->view_rows[size_t(row)].selected = selected;
    send_command(dialog, id, k_notify_selection);
    return true;
}

bool user_double_click(dialog_handle dialog, int32_t id, int32_t row)
{
    if (!user_choose(dialog, id, row))
        return false;
    send_command(dialog, id, k_notify_double_click);
    return true;
}

bool user_open_combo(dialog_handle dialog, int32_t id, bool open)
{
    const int32_t index = take_focus(dialog, id, {control_kind::combo});
    control_record* c = control_at(dialog, index);
    if (!c)
        return false;
    if (c->dropped != open) {
        c->dropped = open;
        send_command(dialog, id, open ? k_notify_drop_down : k_notify_close_up);
    }
    return true;
}

bool user_slide(dialog_handle dialog, int32_t id, int32_t position)
{
    const int32_t index = take_focus(dialog, id, {control_kind::slider});
    control_record* c = control_at(dialog, index);
    if (!c)
        return false;
    c->position = std::min(std::max(position, c->range_min), c->range_max);
    return true;
}

bool user_pick_menu(dialog_handle dialog, int32_t id)
{
    dialog_record* d = usable_dialog(dialog);
    if (!d || !menu_has_item(d->menu, id))
        return false;
    send_command(dialog, id, k_notify_clicked);
    return true;
}

bool user_press_enter(dialog_handle dialog)
{
    return press(dialog, k_id_ok);
}

bool user_press_escape(dialog_handle dialog)
{
    return press(dialog, k_id_cancel);
}

bool user_close(dialog_handle dialog)
{
    if (!usable_dialog(dialog))
        return false;
    if (!send_dialog_message(dialog, {dialog_message_kind::close}))
        send_command(dialog, k_id_cancel, k_notify_clicked);
    return true;
}

bool user_move(dialog_handle dialog, int32_t x, int32_t y)
{
    return usable_dialog(dialog) && move_dialog(dialog, x, y);
}

void user_tick()
{
    dialog_frame_step(clock_ms());
}
