// Fixture of the character-side editor pages: the character table, the move prototypes, the
// model registry, the placements and the pages' own state come back as they were after each
// test, and models the test loaded into the registry are freed.
#pragma once

#include "characters/char_models.h"
#include "tests/editor/dialog_texts.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/placements.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_records.h"
#include "editor/dialogs/char_anim_editor.h"
#include "editor/dialogs/char_editor.h"
#include "editor/dialogs/chardata_editor.h"
#include "editor/dialogs/move_proto_editor.h"
#include "editor/windows/file_name_dialog.h"
#include "engine/models.h"
#include "tests/editor/dialog_test_support.h"
#include "tests/engine/model_test_support.h"
#include "tests/support/saved_globals.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class char_editors_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        chars_.assign(g_chars, g_chars + k_char_slots);
        protos_.assign(g_move_protos, g_move_protos + k_move_proto_capacity);
        registry_.assign(g_chardata, g_chardata + k_chardata_capacity);
        for (int i = 0; i < k_models_watched; ++i)
            had_mesh_[i] = g_char_models[i].mesh != nullptr;
        saved_.keep(g_char_count), saved_.keep(g_player_char), saved_.keep(g_move_proto_count);
        saved_.keep(g_chardata_count), saved_.keep(g_monster_proto_count), saved_.keep(g_char_placements);
        saved_.keep(g_chardata_filter), saved_.keep(g_part_model_filter), saved_.keep(g_map_dirty);
        saved_.keep(g_camera_x), saved_.keep(g_camera_y), saved_.keep(g_added_item);
        saved_.keep(g_added_item_amount), saved_.keep(g_added_item_location);
        saved_.keep(g_edited_move_proto), saved_.keep(g_edited_body_part);
        saved_.keep(g_characters_file), saved_.keep(g_chardata_file), saved_.keep(g_charpr_file);
        // The tables start empty, as read from missing files.
        table_file_read(g_characters_file, true);
        table_file_read(g_chardata_file, true);
        table_file_read(g_charpr_file, true);
        g_char_count = 0;
        g_player_char = 250;
        g_move_proto_count = 0;
        g_chardata_count = 0;
        g_char_placements.count = 0;
        g_chardata_filter[0] = g_part_model_filter[0] = 0;
    }
    void TearDown() override
    {
        destroy_all_dialogs();
        for (int i = 0; i < k_models_watched; ++i)
            if (!had_mesh_[i])
                free_model(&g_char_models[i]);
        std::copy(chars_.begin(), chars_.end(), g_chars);
        std::copy(protos_.begin(), protos_.end(), g_move_protos);
        std::copy(registry_.begin(), registry_.end(), g_chardata);
        saved_.restore();
        dialog_test::TearDown();
    }

    // A character appended with the key; NORMAL, so no player rules apply.
    int32_t add_character(const char* key)
    {
        const int32_t slot = new_default_char();
        copy_bounded(g_chars[slot].name, sizeof g_chars[slot].name, key);
        g_chars[slot].kind = k_kind_normal;
        return slot;
    }
    // A move prototype appended with the name, every part without a model.
    int32_t add_proto(const char* name)
    {
        const int32_t id = g_move_proto_count++;
        init_move_proto(&g_move_protos[id]);
        copy_bounded(g_move_protos[id].name, sizeof g_move_protos[id].name, name);
        return id;
    }
    // A loaded registry entry appended with the name (no model file behind it, so no skins
    // whatever an earlier user of the slot left).
    int32_t add_entry(const char* name, const char* path = "3d/none.3d")
    {
        const int32_t i = int32_t(g_chardata_count++);
        saved_.keep(g_char_models[i].skin_count);
        g_char_models[i].skin_count = 0;
        copy_bounded(g_chardata[i].name, sizeof g_chardata[i].name, name);
        copy_bounded(g_chardata[i].path, sizeof g_chardata[i].path, path);
        g_chardata[i].loaded = 1;
        return i;
    }
    // Writes a small model file at the path (relative to the working folder).
    static void write_model_file(const std::string& path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        model m;
        make_grid_model(m, 1, 1, 1, 1);
        ASSERT_TRUE(save_model(&m, path.c_str()));
    }
    // The next file chooser takes the path; a message box is answered OK and counted.
    void answer_with(const std::string& path)
    {
        set_modal_responder([this, path](dialog_handle d) {
            if (find_control(d, k_chooser_name, control_kind::edit)) {
                user_edit_text(d, k_chooser_name, path);
                user_click(d, k_id_ok);
            } else {
                ++message_boxes;
                user_click(d, k_id_ok);
            }
            return false;
        });
    }

    int message_boxes = 0;

private:
    static constexpr int k_models_watched = 64;
    std::vector<char_record> chars_;
    std::vector<char_move_proto> protos_;
    std::vector<chardata_entry> registry_;
    bool had_mesh_[k_models_watched] = {};
    saved_globals saved_;
};
