// The combat fixture with the player in slot 0, every UI text n set to "U<n>" and the tooltips'
// word tables localized from them, the language "eng", and the interface, the container table's
// first slot and the word tables restored afterwards.
#pragma once

#include "characters/char_table.h"
#include "characters/combat_fixture.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/item_tooltips.h"

#include <cstdio>
#include <cstring>
#include <string>

class item_tooltip_test : public combat_test {
protected:
    void SetUp() override
    {
        combat_test::SetUp();
        const builtin_name_tables words = item_tooltip_words();
        keep_words<8>(words.damage_type_words), keep_words<27>(words.kind_words), keep_words<27>(words.class_words);
        keep_words<3>(words.shield_size_words), keep_words<3>(words.armour_weight_words);
        keep_words<3>(words.focus_speed_words), keep_words<16>(words.requirement_words);
        saved_.keep(g_language), saved_.keep(g_player_char), saved_.keep(g_containers[0]);
        saved_.keep(g_attunement_thresholds);
        for (int n = 0; n < k_ui_text_count; ++n)
            std::snprintf(g_ui_text[n], sizeof g_ui_text[n], "U%d", n);
        localize_builtin_names(words);
        std::strcpy(g_language, "eng");
        g_containers[0] = container{};
        g_player_char = 0;
        hero_ = &fighter(0, k_kind_player);
    }
    void TearDown() override
    {
        container_free(&g_containers[0]);
        saved_.restore();
        combat_test::TearDown();
    }

    // Container slot 0 of w x h cells opened in the first window (a shop when `shop`).
    container& open_container(uint8_t w, uint8_t h, bool shop)
    {
        container_init(&g_containers[0], "box", w, h, shop ? 1 : 0);
        g_interface.container_open = 1;
        g_interface.container_id = 0;
        return g_containers[0];
    }

    static std::string tooltip(int32_t item, int32_t location, int32_t damage_type = -1, float height = 320.0f)
    {
        static char buffer[8192];
        draw_item_tooltip(item, buffer, sizeof buffer, height, location, damage_type);
        return buffer;
    }

    char_record* hero_ = nullptr;
    saved_globals saved_;

private:
    template <size_t N>
    void keep_words(builtin_name* table)
    {
        saved_.keep(*reinterpret_cast<builtin_name(*)[N]>(table));
    }
};
