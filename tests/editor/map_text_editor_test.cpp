// The map-text editor: texts made, shown, changed only by "update", deleted with the entities'
// description links following; an event editor left open keeps what was typed in it.
#include "tests/editor/content_editor_fixture.h"

#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/map_text_editor.h"

TEST_F(content_editor_test, MapTextsAreMadeChangedOnUpdateAndDeletedWithTheirLinks)
{
    saved_.keep(g_command_window), saved_.keep(g_command_window_open);
    g_command_window = 0;
    g_command_window_open = 0;
    for (const char* key : {"one", "two", "three"})
        add_map_text("body", key, 2);
    for (int16_t link : {1, 2, 3, 0})
        g_entities[g_entity_count++].description = link;
    open_editor_windows();
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_text));
    const dialog_handle d = g_text_editor_window;
    ASSERT_NE(d, 0u);
    EXPECT_EQ(list_rows(d, k_txt_list), (std::vector<std::string>{"one", "two", "three"}));

    ASSERT_TRUE(user_pick_menu(d, k_txt_menu_new));
    EXPECT_EQ(g_map_dirty, 1u);
    ASSERT_TRUE(user_choose(d, k_txt_list, 3));
    EXPECT_EQ(field_text(d, k_txt_key), "new");
    EXPECT_EQ(field_text(d, k_txt_tag), "1");
    EXPECT_EQ(field_text(d, k_txt_text), "");

    g_map_dirty = 0;
    user_edit_text(d, k_txt_key, "fresh");
    user_edit_text(d, k_txt_tag, "300");
    user_edit_text(d, k_txt_text, "Hello");
    EXPECT_STREQ(g_map_texts[3].key, "new");
    EXPECT_EQ(g_map_texts[3].tag, 1);
    EXPECT_EQ(g_map_dirty, 0u);
    ASSERT_TRUE(user_click(d, k_txt_update));
    EXPECT_STREQ(g_map_texts[3].key, "fresh");
    EXPECT_STREQ(g_map_texts[3].text, "Hello");
    EXPECT_EQ(g_map_texts[3].tag, 44);
    EXPECT_EQ(get_list_sel(d, k_txt_list), 3);
    EXPECT_EQ(g_map_dirty, 1u);

    user_choose(d, k_txt_list, 1);
    ASSERT_TRUE(user_pick_menu(d, k_txt_menu_delete));
    EXPECT_EQ(list_rows(d, k_txt_list), (std::vector<std::string>{"one", "three", "fresh"}));
    EXPECT_STREQ(g_map_texts[1].key, "three");
    EXPECT_EQ(g_entities[0].description, 1);
    EXPECT_EQ(g_entities[1].description, 0);
    EXPECT_EQ(g_entities[2].description, 2);
    EXPECT_EQ(g_entities[3].description, 0);

    // Events name texts by key: a delete leaves the event editor's choice and typing to "update".
    ASSERT_NE(append_event("sign"), nullptr);
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_event));
    const dialog_handle events = g_event_editor_window;
    ASSERT_TRUE(user_choose(events, k_evt_list, 0));
    ASSERT_TRUE(user_edit_text(events, k_evt_name, "signX"));
    user_choose(d, k_txt_list, 0);
    ASSERT_TRUE(user_pick_menu(d, k_txt_menu_delete));
    EXPECT_EQ(get_list_sel(events, k_evt_list), 0);
    ASSERT_TRUE(user_click(events, k_evt_update));
    EXPECT_STREQ(g_events[0].name, "signX");
}
