// Every window of the editor as the dialog layer lays it out: each is opened the way the
// designer opens it, and then every control lies inside its window, no two controls overlap
// (a group box holds its members whole and overlaps nothing else), every label's text, measured
// with the dialog font, fits the room the layer gives it, and the window fits a 1024 x 768 screen
// at the place it opens.
#include "tests/editor/char_editors_support.h"

#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/particle_editor.h"
#include "editor/controls/message_box.h"
#include "editor/gui/dialog_layout.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "items/containers.h"
#include "tests/support/item_table_guard.h"

#include <functional>
#include <set>
#include <sstream>

namespace {

std::string describe(const control_template& c)
{
    std::ostringstream out;
    out << "control " << c.id << " \"" << c.text << "\" at " << c.x << "," << c.y << " " << c.width << "x" << c.height;
    return out.str();
}

bool overlap(const unit_box& a, const unit_box& b)
{
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

// What is wrong with the dialog's layout, one line per fault.
std::vector<std::string> layout_faults(const dialog_record& d)
{
    std::vector<std::string> faults;
    const pixel_box window = window_pixels(d);
    if (window.x < 0 || window.y < 0 || window.right() > 1024 || window.bottom() > 768)
        faults.push_back("the window reaches past a 1024 x 768 screen: " + std::to_string(int(window.right())) + " x " +
                         std::to_string(int(window.bottom())));
    const float line = dialog_font_size();
    for (size_t i = 0; i < d.controls.size(); ++i) {
        const control_record& c = d.controls[i];
        const unit_box box = control_box(c.source);
        if (box.x < 0 || box.y < 0 || box.right() > d.width || box.bottom() > d.height)
            faults.push_back(describe(c.source) + " is outside the window");
        for (size_t j = i + 1; j < d.controls.size(); ++j) {
            const control_template& other = d.controls[j].source;
            const unit_box other_box = control_box(other);
            if (!overlap(box, other_box))
                continue;
            const bool grouped = (c.source.kind == control_kind::group_box && box_holds(box, other_box) &&
                                  other.kind != control_kind::group_box) ||
                                 (other.kind == control_kind::group_box && box_holds(other_box, box) &&
                                  c.source.kind != control_kind::group_box);
            if (!grouped)
                faults.push_back(describe(c.source) + " overlaps " + describe(other));
        }
        const control_kind kind = c.source.kind;
        const bool labelled = kind == control_kind::static_text || kind == control_kind::check ||
                              kind == control_kind::radio || kind == control_kind::button ||
                              kind == control_kind::group_box;
        if (!labelled || c.text.empty())
            continue;
        const label_room room = label_room_of(d, i);
        if (room.lines < 1)
            faults.push_back(describe(c.source) + " is lower than a line of " + std::to_string(int(line)) + " pixels");
        else if (wrapped_lines(c.text, room.width) > room.lines)
            faults.push_back(describe(c.source) + " needs " + std::to_string(int(dialog_text_width(c.text))) +
                             " pixels, has " + std::to_string(int(room.width)) + " in " + std::to_string(room.lines) +
                             " lines");
    }
    for (const control_record& c : d.controls) {
        if (c.source.kind != control_kind::tabs)
            continue;
        const std::vector<pixel_box> tabs = tab_places(c, unit_pixels(control_box(c.source)));
        for (size_t t = 0; t < tabs.size(); ++t) {
            if (dialog_text_width(c.rows[t]) > tab_label_room(tabs[t]) || tabs[t].height < line)
                faults.push_back("tab \"" + c.rows[t] + "\" does not fit its place");
        }
    }
    return faults;
}

class DialogLayout : public char_editors_test {
protected:
    void SetUp() override
    {
        char_editors_test::SetUp();
        items_ = std::make_unique<item_table_guard>();
        saved_.keep(g_command_window_open), saved_.keep(g_current_tab), saved_.keep(g_map_dirty);
        saved_.keep(g_container_add_target);
        free_level_containers();
        g_command_window_open = 0;
        g_current_tab = -1;
    }
    void TearDown() override
    {
        destroy_all_dialogs();
        free_level_containers();
        saved_.restore();
        items_.reset();
        char_editors_test::TearDown();
    }

    // Checks every window not seen yet (by caption: a page the strip brings back again is the same).
    void check_new_windows(const std::string& opener)
    {
        for (dialog_handle h : live_dialogs())
            check(opener, h);
    }
    void check(const std::string& opener, dialog_handle h)
    {
        const dialog_record* d = find_dialog(h);
        ASSERT_NE(d, nullptr);
        if (!checked_.insert(d->caption).second)
            return;
        for (const std::string& fault : layout_faults(*d))
            ADD_FAILURE() << opener << ": \"" << d->caption << "\": " << fault;
    }
    // Modal dialogs are checked as they come up, then answered by `then` when given.
    void check_modals(const std::string& opener, std::function<void(dialog_handle)> then = {})
    {
        set_modal_responder([this, opener, then](dialog_handle modal) {
            check(opener, modal);
            if (then)
                then(modal);
            return false;
        });
    }

    std::unique_ptr<item_table_guard> items_;
    std::set<std::string> checked_; // captions

private:
    saved_globals saved_;
};

TEST_F(DialogLayout, EveryEditorWindowHoldsItsControlsApartAndItsLabelsWhole)
{
    write_text(folder_->path() / "readme.txt", "read me\r\n");
    add_character("keeper");
    struct opener {
        std::string name;
        std::function<void()> open;
    };
    std::vector<opener> openers = {
        {"the command window", [] { open_editor_windows(); }},
        {"the mode tabs", [] { open_mode_tabs(); }},
        {"the help viewer", [] { run_menu_command(k_menu_readme); }},
        {"the particle editor", [] { open_particle_editor(); }},
        {"the body part editor", [] { open_body_part_editor(); }},
        {"the file chooser", [this] {
             check_modals("the file chooser");
             ask_file_name("load map", "SAVE FILE\0*.sav\0", "sav", k_file_dialog_open, 0);
         }},
        {"a message box", [this] {
             check_modals("a message box");
             message_box(0, "The name already exists", "ERROR", message_box_kind::ok);
             message_box(0, "EXIST MENO", "zmen meno", message_box_kind::ok);
         }},
    };
    for (int tab = 0; tab < k_mode_tab_count; ++tab)
        openers.push_back({std::string("the tab ") + g_mode_tab_pages[tab].caption, [tab] {
                               destroy_dialog(g_tab_window);
                               g_tab_window = create_editor_window(g_mode_tab_pages[tab], 0, k_tab_window_top);
                           }});
    for (int editor = 0; editor < k_free_editor_count; ++editor)
        openers.push_back({std::string("the menu's ") + g_free_editors[editor].caption,
                           [editor] { run_menu_command(k_menu_event + editor); }});
    // The modal dialogs of the pages, through their buttons: a new container, an item put into
    // it, an item given to a character.
    openers.push_back({"the container page's dialogs", [this] {
                           const dialog_handle page = create_editor_window(g_mode_tab_pages[10], 0, k_tab_window_top);
                           check_modals("a new container", [](dialog_handle modal) { user_click(modal, k_id_ok); });
                           user_pick_menu(page, k_cont_menu_new);
                           user_choose(page, k_cont_list, 0);
                           check_modals("an item into a container");
                           user_click(page, k_cont_insert);
                       }});
    openers.push_back({"the character page's dialog", [this] {
                           const dialog_handle page = create_editor_window(g_mode_tab_pages[4], 0, k_tab_window_top);
                           user_choose(page, k_che_chars, 0);
                           check_modals("an item for a character");
                           user_click(page, k_che_add);
                       }});
    for (const opener& o : openers) {
        o.open();
        check_new_windows(o.name);
    }
    // Every window was seen: the command window and the strip, the help viewer, the particle and
    // body part editors, the file chooser, two message boxes, 12 pages, 6 editors and 3 dialogs
    // of the pages.
    EXPECT_EQ(checked_.size(), 29u);
}

} // namespace
