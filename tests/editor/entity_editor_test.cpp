// The entity page: rows and links shown and read back through the page's fields, new entities,
// the sound slot of the sound types, the assigned objects, and the level's entity numbers kept
// pointing at the same entities when one is deleted.
#include "tests/editor/content_editor_fixture.h"

#include "editor/dialogs/entity_editor.h"
#include "editor/windows/mode_tabs.h"
#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"

namespace {

class EntityEditor : public content_editor_test {
protected:
    void SetUp() override
    {
        content_editor_test::SetUp();
        for (const char* name : {"gate", "lever", "chest", "door"})
            add_entity(name, k_entity_normal, 1);
        for (const char* key : {"sign", "well"})
            add_map_text("text", key, 1);
        g_item_proto_count = 3;
        for (int32_t i = 0; i < 3; ++i)
            copy_bounded(g_item_protos[i].display_name, sizeof g_item_protos[i].display_name,
                         ("item" + std::to_string(i)).c_str());
    }
    dialog_handle open()
    {
        return create_editor_window(g_mode_tab_pages[7], 0, k_tab_window_top);
    }
};

} // namespace

TEST_F(EntityEditor, RowsShowEachEntityAndUpdateReadsEveryFieldBack)
{
    g_entities[2].description = 2;  // map text 1
    g_entities[2].key_item = 3;     // item 2
    g_entities[2].type = k_entity_container;
    g_entities[3].description = 40;  // beyond the texts: the combo shows nothing
    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(d, g_entity_editor_window);
    EXPECT_EQ(list_rows(d, k_ent_list), (std::vector<std::string>{"0-gate", "1-lever", "2-chest", "3-door"}));
    EXPECT_EQ(get_combo_count(d, k_ent_type), k_entity_type_count);
    EXPECT_EQ(get_combo_count(d, k_ent_description), 3);
    EXPECT_EQ(combo_shown(d, k_ent_item), "no item");

    ASSERT_TRUE(user_choose(d, k_ent_list, 2));
    EXPECT_EQ(field_text(d, k_ent_name), "chest");
    EXPECT_EQ(combo_shown(d, k_ent_type), "kontainer");
    EXPECT_EQ(combo_shown(d, k_ent_description), "well");
    EXPECT_EQ(combo_shown(d, k_ent_item), "item2");
    EXPECT_EQ(field_text(d, k_ent_sector), "-1");

    user_edit_text(d, k_ent_name, "treasure chest of the north");
    user_edit_text(d, k_ent_state, "300");
    user_edit_text(d, k_ent_sector, "12");
    user_edit_text(d, k_ent_value, "-7");
    user_edit_text(d, k_ent_interval, "abc");
    user_choose(d, k_ent_type, k_entity_lever);
    user_choose(d, k_ent_description, 1);
    user_click(d, k_ent_dream);
    EXPECT_EQ(g_map_dirty, 0u);
    ASSERT_TRUE(user_click(d, k_ent_update));
    const entity_record& e = g_entities[2];
    EXPECT_STREQ(e.name, "treasure chest of t");
    EXPECT_EQ(e.state, 44);
    EXPECT_EQ(e.sector, 12);
    EXPECT_EQ(e.value, -7);
    EXPECT_EQ(e.interval, 0);
    EXPECT_EQ(e.type, k_entity_lever);
    EXPECT_EQ(e.description, 1);
    EXPECT_EQ(e.key_item, 3);
    EXPECT_EQ(e.dream_only, 1u);
    EXPECT_EQ(list_row(d, k_ent_list, 2), "2-treasure chest of t");
    EXPECT_EQ(get_list_sel(d, k_ent_list), 2);
    EXPECT_EQ(g_map_dirty, 1u);

    // A link the combo cannot show is kept by "update".
    ASSERT_TRUE(user_choose(d, k_ent_list, 3));
    EXPECT_EQ(get_combo_sel(d, k_ent_description), -1);
    user_click(d, k_ent_update);
    EXPECT_EQ(g_entities[3].description, 40);
}

TEST_F(EntityEditor, NewEntitiesStartLinkedToNothingAndTheHundredthIsTheLast)
{
    const dialog_handle d = open();
    ASSERT_TRUE(user_pick_menu(d, k_ent_menu_new));
    EXPECT_EQ(list_row(d, k_ent_list, 4), "4-new");
    EXPECT_EQ(g_map_dirty, 1u);
    user_choose(d, k_ent_list, 2);
    ASSERT_TRUE(user_choose(d, k_ent_list, 4));
    EXPECT_EQ(field_text(d, k_ent_sector), "-1");
    EXPECT_EQ(field_text(d, k_ent_state), "1");
    EXPECT_EQ(field_text(d, k_ent_link), "-1");
    EXPECT_EQ(combo_shown(d, k_ent_type), "normal");
    for (int32_t id : {k_ent_description, k_ent_container, k_ent_spell, k_ent_item})
        EXPECT_EQ(get_combo_sel(d, id), 0) << id;

    while (g_entity_count < k_entity_slots)
        user_pick_menu(d, k_ent_menu_new);
    g_console_history_count = 0;
    user_pick_menu(d, k_ent_menu_new);
    EXPECT_EQ(g_entity_count, uint32_t(k_entity_slots));
    EXPECT_EQ(get_list_count(d, k_ent_list), k_entity_slots);
    EXPECT_EQ(g_console_history_count, 1);
}

TEST_F(EntityEditor, SoundTypesStoreTheSlotOfTheirSoundWhateverWasTyped)
{
    ASSERT_TRUE(make_folder("data") && make_folder("data/sound"));
    std::vector<int16_t> pcm(2 * 100, 1000);
    ASSERT_TRUE(write_wav_file("data/sound/door.wav", pcm.data(), 2, k_audio_rate, 100));
    audio_init_headless(k_audio_rate);
    const uint32_t sound_was = g_sound_enabled;
    g_sound_enabled = 1;
    sound_init();
    const dialog_handle d = open();
    user_choose(d, k_ent_list, 3);
    user_choose(d, k_ent_type, k_entity_loop_sound);
    user_edit_text(d, k_ent_link, "77");
    user_click(d, k_ent_update);
    const int32_t slot = load_sound("door");
    EXPECT_GE(slot, 0);
    EXPECT_EQ(g_entities[3].link, slot);
    user_edit_text(d, k_ent_name, "missing");
    user_click(d, k_ent_update);
    EXPECT_EQ(g_entities[3].link, -1);
    release_sound(slot);
    audio_shutdown();
    g_sound_enabled = sound_was;
}

TEST_F(EntityEditor, DeletingAnEntityKeepsTheLevelsEntityNumbersOnTheirEntities)
{
    copy_bounded(g_object_protos[1].name, sizeof g_object_protos[1].name, "wheel");
    const int32_t owners[] = {1, 2, 3, 2, -1, 3};
    for (int32_t i = 0; i < 6; ++i) {
        g_objects[i].state = 3;
        g_objects[i].entity = owners[i];
        g_objects[i].proto = i == 3 ? 5000 : 1;
        g_objects[i].layer = uint8_t(i);
    }
    g_objects[5].object_class = k_class_pinned;  // a character slot, not an entity
    g_entities[1].type = k_entity_lever;
    g_entities[1].link = 3;
    g_entities[0].type = k_entity_key_lever;
    g_entities[0].link = 2;
    g_level_effect_count = 2;
    g_level_effects[0] = effect(k_effect_turn_y, 3);
    g_level_effects[1] = effect(k_effect_light_pulse, 3);
    g_event_count = 1;
    g_events[0] = {};
    g_events[0].condition_kind[1] = k_cond_entity_state;
    g_events[0].condition_number[1][0] = 3;
    g_events[0].action_kind[0] = k_act_set_object_phase;
    g_events[0].action_number[0][0] = 2;
    g_events[0].action_kind[3] = k_act_add_item;
    g_events[0].action_number[3][0] = 3;

    const dialog_handle d = open();
    user_choose(d, k_ent_list, 2);
    EXPECT_EQ(list_rows(d, k_ent_objects), (std::vector<std::string>{"1-pr1-wheel-layer1-srt0", "3-pr5000--layer3-srt0"}));
    ASSERT_TRUE(user_pick_menu(d, k_ent_menu_delete));
    EXPECT_EQ(g_entity_count, 3u);
    // The rows after it carry their new numbers; the gone entity's objects are no longer listed.
    EXPECT_EQ(list_rows(d, k_ent_list), (std::vector<std::string>{"0-gate", "1-lever", "2-door"}));
    EXPECT_TRUE(list_rows(d, k_ent_objects).empty());
    EXPECT_EQ(g_map_dirty, 1u);
    const int32_t expected_owners[] = {1, -1, 2, -1, -1, 3};
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(g_objects[i].entity, expected_owners[i]) << i;
    EXPECT_EQ(g_entities[1].link, 2);
    EXPECT_EQ(g_entities[0].link, -1);
    EXPECT_EQ(g_level_effects[0].target, 2);
    EXPECT_EQ(g_level_effects[1].target, 3);
    EXPECT_EQ(g_events[0].condition_number[1][0], 2);
    EXPECT_EQ(g_events[0].action_number[0][0], -1);
    EXPECT_EQ(g_events[0].action_number[3][0], 3);

    // The row of the former entity 3 selects entity 2, which it now is.
    user_choose(d, k_ent_list, 2);
    EXPECT_EQ(field_text(d, k_ent_name), "door");
    EXPECT_EQ(list_rows(d, k_ent_objects), (std::vector<std::string>{"2-pr1-wheel-layer2-srt0"}));
}
