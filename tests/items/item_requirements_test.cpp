#include "items/item_requirements.h"

#include "characters/char_table.h"
#include "characters/combat_fixture.h"
#include "items/item_properties.h"
#include "world/dream_world.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int16_t k_sword = 1, k_axe = 2, k_shield = 3, k_mail = 4, k_fire_focus = 5, k_tested = 6, k_link = 7;

class ItemRequirements : public combat_test {
protected:
    void SetUp() override
    {
        combat_test::SetUp();
        item(k_sword, k_item_medium_weapon);
        item(k_axe, k_item_heavy_weapon);
        item(k_shield, k_item_shield).attunement_link = k_link;
        item(k_mail, k_item_armor).armour_bonus = 3;
        item(k_fire_focus, k_item_focus);
        item(k_tested, k_item_attunement);
        item(k_link, k_item_shield);
        hero_ = &fighter(0, k_kind_player);
    }

    // A requirement code with its first argument.
    struct requirement {
        requirement(uint16_t code, std::initializer_list<int16_t> first = {}) : property{code, {}}
        {
            if (first.size())
                property.args[0] = *first.begin();
        }
        item_property property;
    };

    void require(std::initializer_list<requirement> list, int16_t id = k_tested)
    {
        g_item_protos[id].requirement_count = int16_t(list.size());
        int i = 0;
        for (const requirement& r : list)
            g_item_lists[id].requirements[i++] = r.property;
    }
    int32_t met(int16_t id = k_tested, int32_t slot = 0) { return item_requirements_met(id, slot, id); }

    char_record* hero_ = nullptr;
};

TEST_F(ItemRequirements, EveryEntryMustHoldForEquippedItemsOnly)
{
    EXPECT_EQ(met(), 1);  // no requirements
    require({{1}, {3}});  // a weapon, no shield
    EXPECT_EQ(met(), 0);
    equip(*hero_, k_sword, 4);  // backpack entries never count
    EXPECT_EQ(met(), 0);
    equip(*hero_, k_sword, k_inv_attunement);  // location 77 counts
    EXPECT_EQ(met(), 1);
    equip(*hero_, k_shield, k_inv_shield);
    EXPECT_EQ(met(), 0);

    require({{5}});
    EXPECT_EQ(met(), 0);  // light and heavy armour both need armour
    require({{6}});
    EXPECT_EQ(met(), 0);
    require({{4}});
    EXPECT_EQ(met(), 1);
    equip(*hero_, k_mail, k_inv_armor);
    EXPECT_EQ(met(), 0);
    require({{5}});
    EXPECT_EQ(met(), 1);
    g_item_protos[k_mail].size = 1;
    EXPECT_EQ(met(), 0);

    require({{12}});
    equip(*hero_, k_fire_focus, k_inv_weapon, 4);
    EXPECT_EQ(met(), 0);
    require({{13, {0}}, {14, {0}}});
    EXPECT_EQ(met(), 1);
    require({{13, {1}}});
    EXPECT_EQ(met(), 0);

    require({{11}, {99}});
    g_dream_world.active = 1;
    EXPECT_EQ(met(), 1);
    g_dream_world.active = 0;
    EXPECT_EQ(met(), 0);

    // Ids outside the tables: the item works for nobody, an entry carries nothing.
    require({{9}});
    hero_->inv_item[1] = 950;
    EXPECT_EQ(met(), 0);
    EXPECT_EQ(met(-1), 0);
    EXPECT_EQ(met(950), 0);
    EXPECT_EQ(met(k_tested, 5), 0);
}

TEST_F(ItemRequirements, TheShieldRuleComparesTheShieldsLinkAndHoldsForThePlayerOnly)
{
    equip(*hero_, k_shield, k_inv_shield);
    equip(*hero_, k_axe, k_inv_weapon);
    EXPECT_EQ(item_requirements_met(k_link, 0, k_link), 0);  // a two-handed weapon with the shield
    EXPECT_EQ(item_requirements_met(k_link, 0, k_shield), 1);  // the shield's own id is not compared
    EXPECT_EQ(item_requirements_met(k_tested, 0, k_link), 1);  // the tested item is no shield
    hero_->inv_item[1] = k_sword;
    EXPECT_EQ(item_requirements_met(k_link, 0, k_link), 1);

    char_record& other = fighter(1, k_kind_enemy);
    equip(other, k_shield, k_inv_shield);
    equip(other, k_axe, k_inv_weapon);
    EXPECT_EQ(item_requirements_met(k_link, 1, k_link), 1);
}

// Every code against every kind of gear: rows are codes (with a1), columns the gear the hero wears.
TEST_F(ItemRequirements, EachCodeHoldsForTheGearItNames)
{
    constexpr int16_t k_dagger = 8, k_bow = 9, k_heavy_mail = 10;
    item(k_dagger, k_item_fast_weapon);
    item(k_bow, k_item_ranged_weapon);
    item_proto& heavy = item(k_heavy_mail, k_item_armor);
    heavy.size = 2;
    heavy.armour_bonus = 5;
    struct worn {
        int16_t item;
        uint8_t location;
        uint8_t damage_type;
    };
    const std::vector<std::vector<worn>> gear = {
        {},                                      // 0 nothing
        {{k_sword, 4, 0}},                       // 1 a sword in the backpack
        {{k_sword, k_inv_attunement, 0}},        // 2 a sword at the attunement location
        {{k_shield, k_inv_shield, 0}},           // 3 a shield
        {{k_mail, k_inv_armor, 0}},              // 4 light armour
        {{k_heavy_mail, k_inv_armor, 0}},        // 5 heavy armour
        {{k_fire_focus, k_inv_weapon, 4}},       // 6 a fire focus
        {{k_bow, k_inv_weapon, 6}},              // 7 a bow of lightning
        {{k_dagger, k_inv_weapon, 5}},           // 8 a cold dagger
        {{k_axe, k_inv_weapon, 3}},              // 9 an axe
    };
    struct row {
        uint16_t code;
        int16_t a1;
        const char* holds;  // per gear column
    };
    const row rows[] = {
        {k_req_any, 0, "1111111111"},          {k_req_weapon, 0, "0010000111"},
        {k_req_shield, 0, "0001000000"},       {k_req_no_shield, 0, "1110111111"},
        {k_req_no_armour, 0, "1111001111"},    {k_req_light_armour, 0, "0000100000"},
        {k_req_heavy_armour, 0, "0000010000"}, {k_req_fast_melee, 0, "0000000010"},
        {k_req_normal_melee, 0, "0010000000"}, {k_req_heavy_melee, 0, "0000000001"},
        {k_req_ranged, 0, "0000000100"},       {k_req_dreamworld, 0, "0000000000"},
        {k_req_no_element, 0, "1111110001"},   {k_req_element, 0, "0000001000"},
        {k_req_element, 1, "0000000010"},      {k_req_element, 2, "0000000100"},
        {k_req_element_focus, 0, "0000001000"}, {k_req_element_focus, 1, "0000000000"},
        {k_req_melee, 0, "0010000011"},        {16, 0, "1111111111"},
        {0xFFFF, 0, "1111111111"},
    };
    for (const row& r : rows)
        for (size_t g = 0; g < gear.size(); ++g) {
            hero_->inv_count = 0;
            for (const worn& w : gear[g])
                equip(*hero_, w.item, w.location, w.damage_type);
            require({{r.code, {r.a1}}});
            EXPECT_EQ(met(), r.holds[g] - '0') << "code " << r.code << " a1 " << r.a1 << " gear " << g;
        }
    // Every entry must hold: the first that fails decides.
    hero_->inv_count = 0;
    equip(*hero_, k_dagger, k_inv_weapon, 5);
    require({{k_req_melee}, {k_req_element, {1}}, {k_req_ranged}});
    EXPECT_EQ(met(), 0);
    require({{k_req_melee}, {k_req_element, {1}}, {99}});
    EXPECT_EQ(met(), 1);
}

// The editor's lists are indexed by code: a name one place off would store another code.
TEST(ItemPropertyCodes, EditorNamesAndTooltipWordsStandAtTheirCodes)
{
    const std::pair<efect_code, const char*> efects[] = {
        {k_efect_nothing, "nothing"},
        {k_efect_critical_chance_add, "critical chance add"},
        {k_efect_lighting_resistance_add, "lighting resistance add"},
        {k_efect_add_life, "add life"},
        {k_efect_learn_spell, "learn spell"},
        {k_efect_cast_spell_when_groundstep, "cast spell when groundstep"},
        {k_efect_cast_spell_when_quickused, "cast spell when quickused"},
        {k_efect_equipment_spell, "equipment spell"},
        {k_efect_cast_spell_on_attunement_spell, "cast spell on attunement spell"},
    };
    for (const auto& [code, name] : efects)
        EXPECT_STREQ(efect_editor_name(code), name) << code;
    EXPECT_EQ(efect_editor_name(k_efect_codes), nullptr);
    EXPECT_EQ(efect_editor_name(-1), nullptr);

    EXPECT_STREQ(requirement_text(k_req_any)->tooltip_word, "nothing");
    EXPECT_STREQ(requirement_text(k_req_element)->editor_name, "Element");
    EXPECT_STREQ(requirement_text(k_req_element_focus)->tooltip_word, " Element Focus");
    EXPECT_STREQ(requirement_text(k_req_melee)->editor_name, "Melee");
    EXPECT_EQ(requirement_text(16), nullptr);
    EXPECT_STREQ(requirement_element_word(3), "Earth");
    EXPECT_EQ(requirement_element_word(4), nullptr);
}

TEST_F(ItemRequirements, AnItemsAttackSoundIsChosenWithinItsSlots)
{
    // Nothing for ids outside the table or without sounds, and never a slot past the five.
    g_item_protos[k_sword].attack_sound_count = 1000;
    play_item_attack_sound(k_sword, 0.0f, 0.0f);
    play_item_attack_sound(-1, 0.0f, 0.0f);
    play_item_attack_sound(5000, 0.0f, 0.0f);
    g_item_protos[k_sword].attack_sound_count = -3;
    play_item_attack_sound(k_sword, 0.0f, 0.0f);
}

} // namespace
