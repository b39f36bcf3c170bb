#include "characters/char_fixture.h"
#include "characters/char_inventory.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "items/item_properties.h"
#include "items/item_use.h"
#include "items/spells.h"
#include "support/item_table_guard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr int16_t k_potion = 0, k_scroll = 1, k_trap = 2;

void add_efect(int16_t item, uint16_t code, std::initializer_list<int16_t> args)
{
    item_proto& p = g_item_protos[item];
    item_property& e = g_item_lists[item].efects[p.efect_count++];
    e = item_property{code, {}};
    std::copy(args.begin(), args.end(), e.args);
}

std::string last_message(int back = 0)
{
    return g_message_log.count > uint32_t(back) ? g_message_log.lines[g_message_log.count - 1 - back] : "";
}

class ItemUse : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_message_log), saved_.keep(g_spell_proto_count), saved_.keep(g_spell_protos[0]);
        for (int n = 96; n < 100; ++n)
            saved_.keep(g_ui_text[n]);
        std::memset(&g_message_log, 0, sizeof g_message_log);
        std::strcpy(g_ui_text[96], "Healed"), std::strcpy(g_ui_text[97], "points");
        std::strcpy(g_ui_text[98], "Lost"), std::strcpy(g_ui_text[99], "of the most");
        g_spell_proto_count = 1;
        std::strcpy(g_spell_protos[0].name, "Ohen");
    }
    item_table_guard items_;
    saved_globals saved_;
};

TEST_F(ItemUse, HealingAndManaRespectLifeCeilingsAndOrder)
{
    item_proto& potion = make_item(k_potion, "elixir", "Potion", k_item_quick);
    potion.damage = 4;
    add_efect(k_potion, k_efect_add_mana, {0, 50});  // 1 die of 3 sides plus 50
    add_efect(k_potion, k_efect_add_life, {});
    add_efect(k_potion, k_efect_add_mana, {0, 50});
    char_record& c = make_char(1, "hero", k_kind_player);
    c.hp_ceiling = 100, c.hp = 20, c.mana = 10, c.mana_max = 200;
    use_item(k_potion, &c, k_potion);
    EXPECT_EQ(c.hp_ceiling, 80);  // d 80, q 80 / 4
    EXPECT_EQ(c.hp, 80);
    EXPECT_GE(c.mana, 10 + 2 * 51);
    EXPECT_LE(c.mana, 10 + 2 * 53);
    EXPECT_EQ(last_message(1), "Lost 20 of the most");
    EXPECT_EQ(last_message(2), "Healed 80 points");

    // Mana stops at its maximum; a small d still costs 1; d below 1 changes nothing.
    c.mana = 190, c.hp = 79;
    use_item(k_potion, &c, k_potion);
    EXPECT_EQ(c.mana, 200);
    EXPECT_EQ(c.hp_ceiling, 79);
    EXPECT_EQ(c.hp, 79);
    uint32_t lines = g_message_log.count;
    c.hp = 90;
    use_item(k_potion, &c, k_potion);
    EXPECT_EQ(c.hp_ceiling, 79);
    EXPECT_EQ(c.hp, 90);
    EXPECT_EQ(g_message_log.count, lines + 2);  // only the two mana lines

    // A damage field of 0 divides nothing: q is held to d.
    potion.damage = 0;
    c.hp_ceiling = 50, c.hp = 30;
    use_item(k_potion, &c, k_potion);
    EXPECT_EQ(c.hp_ceiling, 30);
    EXPECT_EQ(c.hp, 30);

    // A dead user gets the mana entry before the first "add life" and nothing after it.
    c.life = k_life_dead;
    c.mana = 0, c.hp_ceiling = 50, c.hp = 0;
    use_item(k_potion, &c, k_potion);
    EXPECT_GE(c.mana, 51);
    EXPECT_LE(c.mana, 53);
    EXPECT_EQ(c.hp_ceiling, 50);
}

TEST_F(ItemUse, ScrollsTeachKnownSpellsOnlyAndDamageEntriesHitAsFixedDamage)
{
    make_item(k_scroll, "zvitok", "Scroll", k_item_scroll);
    add_efect(k_scroll, k_efect_learn_spell, {1});   // no such spell: no name is read
    add_efect(k_scroll, k_efect_learn_spell, {0});
    add_efect(k_scroll, k_efect_cast_spell_when_quickused, {-5});
    char_record& c = make_char(1, "hero", k_kind_player);
    use_item(k_scroll, &c, k_scroll);
    EXPECT_EQ(last_message(), "Learning spell Ohen");
    EXPECT_EQ(g_message_log.count, 1u);
    EXPECT_NE(log_text().find("Ucim sa kuzlo Ohen"), std::string::npos);
    EXPECT_NE(log_text().find("kuzlo 1 neexistuje"), std::string::npos);
    EXPECT_NE(log_text().find("kuzlo -5 neexistuje"), std::string::npos);

    make_item(k_trap, "pasca", "Trap", k_item_trap);
    add_efect(k_trap, k_efect_critical_chance_add, {20, 7, 0});  // code 20 rolls nothing
    add_efect(k_trap, k_efect_critical_chance_add, {0, 10, 0});  // 1 die of 3 plus 10
    char_record& t = make_char(2, "wolf", k_kind_enemy);
    t.hp = t.hp_max = 1000;
    t.hp_ceiling = 1000;
    deal_item_damage(k_trap, &t, 1);
    EXPECT_LT(t.hp, 1000);
    EXPECT_GT(t.hp, 1000 - 40);
}

} // namespace
