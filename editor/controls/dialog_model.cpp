#include "editor/controls/dialog_records.h"

#include "core/console_log.h"
#include "platform/clock.h"
#include "platform/window_services.h"

#include <algorithm>
#include <map>
#include <memory>

dialog_loop_links g_dialog_loop_links = {};

namespace {

std::map<dialog_handle, std::unique_ptr<dialog_record>> g_dialogs;
dialog_handle g_last_handle = 0;
modal_responder g_responder;
std::vector<dialog_handle> g_modal_stack;

control_record new_control_record(const control_template& t)
{
    control_record c;
    c.source = t;
    c.text = t.text;
    c.enabled = !(t.style & k_style_disabled);
    c.shown = !(t.style & k_style_hidden);
    if (t.kind == control_kind::tabs) {
        c.rows = t.items;
        c.selection = t.items.empty() ? -1 : 0;
    }
    return c;
}

dialog_handle make_dialog(const dialog_template& t, dialog_procedure procedure, bool modal)
{
    auto d = std::make_unique<dialog_record>();
    d->handle = ++g_last_handle;
    d->caption = t.caption;
    d->x = t.x;
    d->y = t.y;
    d->title_bar = t.title_bar;
    d->width = t.width;
    d->height = t.height;
    d->shown = t.shown;
    d->modal = modal;
    d->menu = t.menu;
    d->procedure = std::move(procedure);
    d->controls.reserve(t.controls.size());
    for (const control_template& c : t.controls)
        d->controls.push_back(new_control_record(c));
    const dialog_handle handle = d->handle;
    g_dialogs.emplace(handle, std::move(d));
    return handle;
}

// The dialog's procedure gets destroy and the dialog is gone.
void finish(dialog_handle handle)
{
    dialog_record* d = find_dialog(handle);
    if (!d || d->destroying)
        return;
    d->destroying = true;
    d->timers.clear();
    dialog_message message{dialog_message_kind::destroy};
    ++d->calls;
    if (d->procedure)
        d->procedure(handle, message);
    g_dialogs.erase(handle);
}

// Called when no procedure of the dialog runs any more: an ended modeless dialog goes.
void settle(dialog_record* d)
{
    if (d->calls == 0 && d->ending && !d->modal)
        finish(d->handle);
}

// One pass of a modal loop; false once nobody is left to answer.
bool answer_modal(dialog_handle handle)
{
    if (g_responder) {
        modal_responder responder = g_responder; // it may replace itself
        const bool more = responder(handle);
        dialog_frame_step(clock_ms());
        return more;
    }
    if (g_dialog_loop_links.modal_pass && window_is_interactive())
        return g_dialog_loop_links.modal_pass();
    return false;
}

} // namespace

control_template make_control(control_kind kind, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                              std::string text, uint32_t style)
{
    control_template t;
    t.kind = kind;
    t.id = id;
    t.x = x;
    t.y = y;
    t.width = width;
    t.height = height;
    t.text = std::move(text);
    t.style = style;
    return t;
}

dialog_record* find_dialog(dialog_handle dialog)
{
    auto it = g_dialogs.find(dialog);
    return it == g_dialogs.end() || it->second->destroying ? nullptr : it->second.get();
}

control_record* find_control(dialog_record* dialog, int32_t id)
{
    if (!dialog)
        return nullptr;
    for (control_record& c : dialog->controls)
        if (c.source.id == id)
            return &c;
    return nullptr;
}

control_record* find_control(dialog_handle dialog, int32_t id, control_kind kind)
{
    control_record* c = find_control(find_dialog(dialog), id);
    return c && c->source.kind == kind ? c : nullptr;
}

std::vector<dialog_handle> live_dialogs()
{
    std::vector<dialog_handle> out;
    out.reserve(g_dialogs.size());
    for (const auto& [handle, d] : g_dialogs)
        if (!d->destroying)
            out.push_back(handle);
    return out;
}

dialog_handle top_modal_dialog()
{
    for (auto it = g_modal_stack.rbegin(); it != g_modal_stack.rend(); ++it)
        if (dialog_record* d = find_dialog(*it); d && !d->ending)
            return *it;
    return 0;
}

bool send_dialog_message(dialog_handle dialog, const dialog_message& message)
{
    dialog_record* d = find_dialog(dialog);
    if (!d || !d->procedure)
        return false;
    ++d->calls;
    dialog_procedure procedure = d->procedure; // the call may replace or free the record's copy
    const bool handled = procedure(dialog, message);
    d = g_dialogs.count(dialog) ? g_dialogs[dialog].get() : nullptr;
    if (d) {
        --d->calls;
        settle(d);
    }
    return handled;
}

void send_command(dialog_handle dialog, int32_t id, int32_t code)
{
    send_dialog_message(dialog, {dialog_message_kind::command, id, code});
}

bool reports_focus(control_kind kind)
{
    return kind == control_kind::edit || kind == control_kind::list_box || kind == control_kind::combo ||
           kind == control_kind::list_view;
}

void move_focus(dialog_handle dialog, int32_t index)
{
    dialog_record* d = find_dialog(dialog);
    if (!d || d->focus == index || index >= int32_t(d->controls.size()))
        return;
    const int32_t old = d->focus;
    d->focus = index;
    if (old >= 0 && old < int32_t(d->controls.size()) && reports_focus(d->controls[size_t(old)].source.kind)) {
        send_command(dialog, d->controls[size_t(old)].source.id, k_notify_focus_out);
        d = find_dialog(dialog);
    }
    if (d && index >= 0 && d->focus == index && reports_focus(d->controls[size_t(index)].source.kind))
        send_command(dialog, d->controls[size_t(index)].source.id, k_notify_focus_in);
}

dialog_handle create_dialog(const dialog_template& t, dialog_procedure procedure, intptr_t param)
{
    const dialog_handle handle = make_dialog(t, std::move(procedure), false);
    send_dialog_message(handle, {dialog_message_kind::init, 0, 0, param});
    return find_dialog(handle) ? handle : 0;
}

int32_t run_modal_dialog(const dialog_template& t, dialog_procedure procedure, intptr_t param, dialog_handle owner)
{
    const dialog_handle handle = make_dialog(t, std::move(procedure), true);
    dialog_record* owner_record = find_dialog(owner);
    const bool owner_was_enabled = owner_record && owner_record->enabled;
    if (owner_record)
        owner_record->enabled = false;
    g_modal_stack.push_back(handle);
    send_dialog_message(handle, {dialog_message_kind::init, 0, 0, param});
    auto open = [handle] {
        const dialog_record* d = find_dialog(handle);
        return d && !d->ending;
    };
    while (open() && answer_modal(handle)) {
    }
    if (open()) { // nobody is left to answer: a cancel as from Esc, then the end
        console_log("dialog \"%.100s\" nema kto zodpovedat, zrusene", find_dialog(handle)->caption.c_str());
        send_command(handle, k_id_cancel, k_notify_clicked);
        if (open())
            end_dialog(handle, k_id_cancel);
    }
    dialog_record* d = find_dialog(handle);
    const int32_t code = d ? d->end_code : k_id_cancel;
    g_modal_stack.erase(std::find(g_modal_stack.begin(), g_modal_stack.end(), handle));
    finish(handle);
    if (owner_was_enabled)
        if (dialog_record* o = find_dialog(owner))
            o->enabled = true;
    return code;
}

bool end_dialog(dialog_handle dialog, int32_t code)
{
    dialog_record* d = find_dialog(dialog);
    if (!d)
        return false;
    if (!d->ending) {
        d->ending = true;
        d->end_code = code;
    }
    settle(d);
    return true;
}

bool destroy_dialog(dialog_handle dialog)
{
    return end_dialog(dialog, k_id_cancel);
}

bool dialog_exists(dialog_handle dialog)
{
    return find_dialog(dialog) != nullptr;
}

bool move_dialog(dialog_handle dialog, int32_t x, int32_t y)
{
    dialog_record* d = find_dialog(dialog);
    if (!d)
        return false;
    d->x = x;
    d->y = y;
    return true;
}

bool show_dialog(dialog_handle dialog, bool shown)
{
    dialog_record* d = find_dialog(dialog);
    if (!d)
        return false;
    d->shown = shown;
    return true;
}

bool enable_dialog(dialog_handle dialog, bool enabled)
{
    dialog_record* d = find_dialog(dialog);
    if (!d)
        return false;
    d->enabled = enabled;
    return true;
}

bool set_timer(dialog_handle dialog, int32_t id, uint32_t interval_ms)
{
    dialog_record* d = find_dialog(dialog);
    if (!d)
        return false;
    const uint32_t now = clock_ms();
    for (dialog_timer& t : d->timers)
        if (t.id == id) {
            t = {id, interval_ms, now};
            return true;
        }
    d->timers.push_back({id, interval_ms, now});
    return true;
}

bool kill_timer(dialog_handle dialog, int32_t id)
{
    dialog_record* d = find_dialog(dialog);
    if (!d)
        return false;
    auto it = std::find_if(d->timers.begin(), d->timers.end(), [id](const dialog_timer& t) { return t.id == id; });
    if (it == d->timers.end())
        return false;
    d->timers.erase(it);
    return true;
}

void dialog_frame_step(uint32_t now_ms)
{
    for (dialog_handle handle : live_dialogs()) {
        dialog_record* d = find_dialog(handle);
        if (!d)
            continue;
        settle(d);
        std::vector<int32_t> due;
        for (dialog_timer& t : d->timers)
            if (now_ms - t.last >= t.interval) {
                t.last = now_ms;
                due.push_back(t.id);
            }
        for (int32_t id : due) {
            d = find_dialog(handle);
            if (!d || d->ending || std::none_of(d->timers.begin(), d->timers.end(),
                                                [id](const dialog_timer& t) { return t.id == id; }))
                break;
            send_dialog_message(handle, {dialog_message_kind::timer, id});
        }
    }
}

void set_modal_responder(modal_responder responder)
{
    g_responder = std::move(responder);
}

bool modal_responder_set()
{
    return bool(g_responder);
}

bool modal_dialogs_answerable()
{
    return g_responder || (g_dialog_loop_links.modal_pass && window_is_interactive());
}

void destroy_all_dialogs()
{
    for (;;) {
        std::vector<dialog_handle> handles = live_dialogs();
        if (handles.empty())
            return;
        finish(handles.back());
    }
}
