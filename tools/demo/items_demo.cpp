// The item table of the demo, written through the item saver: an item of every equipment
// class, a lantern, potions, a scroll, a bag, gold, essence, the attunements the rules name and
// the centre marker, with deleted records between; their icons and big images, the attunements'
// English descriptions, the default ground model, the sounds and the attunement tiers; and the
// items' English descriptions once the table is complete.
#include "tools/demo/demo_data.h"

#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "items/item_properties.h"
#include "items/items.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "world/object_protos.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int16_t k_blade_focus_tier0 = 175;
constexpr int16_t k_centre_marker = 329;

item_proto& add_item(int16_t id, const char* key_name, const char* display_name, uint8_t item_class)
{
    while (g_item_proto_count <= id) {
        item_proto& gap = g_item_protos[g_item_proto_count];
        gap = item_proto{};
        std::snprintf(gap.key_name, sizeof gap.key_name, "zmazany%d", int(g_item_proto_count));
        gap.deleted = 1;
        gap.critical_multiplier = 1.0f;
        gap.attunement_link = -1;
        ++g_item_proto_count;
    }
    item_proto& item = g_item_protos[id];
    item = item_proto{};
    copy_bounded(item.key_name, sizeof item.key_name, key_name);
    copy_bounded(item.display_name, sizeof item.display_name, display_name);
    item.item_class = item_class;
    item.attunement_link = -1;
    item.critical_multiplier = 1.0f;
    return item;
}

item_proto& add_weapon(int16_t id, const char* key, const char* name, uint8_t item_class, int16_t damage,
                       int16_t range, uint8_t delay, uint8_t damage_type)
{
    item_proto& w = add_item(id, key, name, item_class);
    w.damage = damage;
    w.range = range;
    w.attack_delay = delay;
    w.damage_type = damage_type;
    w.critical_chance = 5;
    w.critical_multiplier = 2.0f;
    w.anim_set = 1;
    w.strike_frame = 2;  // the last frame of the demo's attack clip
    w.price = int16_t(damage * 5);
    copy_bounded(w.sound_name, sizeof w.sound_name, "zbran");
    return w;
}

// A size x size item image "data/predmety/<prefix><name>.tga": the item as it looks.
void write_item_image(const char* prefix, const char* name, uint32_t size, uint32_t r, uint32_t g, uint32_t b)
{
    write_item_picture(std::string("data/predmety/") + prefix + name + ".tga", name, size, 0xFF000000u | r << 16 | g << 8 | b);
}

// A 32 x 32 icon.
void write_icon(const char* name, uint32_t r, uint32_t g, uint32_t b)
{
    write_item_image("", name, 32, r, g, b);
}

// One item of every equipment class the weapons and armour above leave out, and a lantern.
void add_equipment()
{
    item_proto& wand = add_weapon(k_demo_wand, "prutik", "Oak wand", k_item_focus, 5, 300, 35, 4);
    wand.weapon_category = 6;
    struct wearable {
        int16_t id;
        const char* key;
        const char* name;
        uint8_t item_class;
        int16_t armour, price;
    };
    const wearable wearables[] = {
        {k_demo_boots, "cizmy", "Leather boots", k_item_boots, 1, 12},
        {k_demo_shield, "stit", "Round shield", k_item_shield, 3, 30},
        {k_demo_silver_ring, "strieborny", "Silver ring", k_item_ring, 0, 80},
        {k_demo_neclace, "amulet", "Bone amulet", k_item_neclace, 0, 45},
        {k_demo_cloak, "plast", "Travel cloak", k_item_cloak, 1, 20},
        {k_demo_legs, "nohavice", "Padded leggings", k_item_legs, 2, 18},
        {k_demo_bracer, "narukavnik", "Iron bracer", k_item_left_hand_armor, 1, 14},
        {k_demo_glove, "rukavica", "Leather glove", k_item_right_hand_armor, 1, 7},
        {k_demo_lantern, "lampa", "Lantern", k_item_lantern, 0, 10},
    };
    for (const wearable& w : wearables) {
        item_proto& item = add_item(w.id, w.key, w.name, w.item_class);
        item.armour_bonus = w.armour;
        item.price = w.price;
    }
}

// "data/attunements/eng/<key>.txt" for every attunement.
void write_attunement_descriptions()
{
    require(make_folder("data/attunements/eng"), "data/attunements/eng");
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        const item_proto& item = g_item_protos[i];
        if (item.deleted || item.item_class != k_item_attunement)
            continue;
        const std::string text = std::string("The ") + item.display_name + " stays with whoever keeps it active.\r\n" +
                                 "Its strength grows with the points its deeds earn.\r\n";
        const std::string path = std::string("data/attunements/eng/") + item.key_name + ".txt";
        require(write_whole_file(path.c_str(), text.data(), text.size()), path);
    }
}

} // namespace

void write_item_descriptions()
{
    // Each item as the player learns of it: what it is and what it does.
    struct description {
        const char* key;
        const char* text;
    };
    static const description k_descriptions[] = {
        {"mec", "A plain soldier's sword, sharp and well balanced."},
        {"brnenie", "A jerkin of boiled leather that turns aside the lighter blows."},
        {"zlato", "Coins of the valley, good at every counter."},
        {"dyka", "A short blade: it strikes twice while a sword strikes once."},
        {"sekera", "A heavy axe for both hands; slow, but its blows bite deep."},
        {"luk", "A hunter's bow of yew for shooting from afar."},
        {"prsten", "A copper ring; it asks for a weapon in the hand."},
        {"elixir", "A red draught that closes wounds when drunk (key 2 on the quick bar). "
                   "Deep wounds leave a mark."},
        {"zvitok", "Read aloud, the scroll bursts into a ring of sparks around the reader."},
        {"vak", "A bag that holds small things apart from the backpack."},
        {"esencia", "A shard of gathered strength; taking it feeds the attunements."},
        {"palica", "A shaman's staff: every blow it strikes sends a water bolt."},
        {"prutik", "A wand of oak that gathers the caster's power."},
        {"cizmy", "Sturdy boots for the long road."},
        {"stit", "A round wooden shield rimmed with iron."},
        {"strieborny", "A silver ring set with a blue stone."},
        {"amulet", "An amulet carved from bone, worn at the neck."},
        {"plast", "A travel cloak that keeps off the rain."},
        {"nohavice", "Padded leggings that soften the blows at the legs."},
        {"narukavnik", "An iron bracer for the left arm."},
        {"rukavica", "A leather glove for the sword hand."},
        {"lampa", "A lantern that lights the way at night."},
        {"kapa", "A golden helm; sparks dance above whoever wears it."},
        {"pasca", "Iron jaws that snap shut with a thunderclap under an enemy that steps on them."},
        {"zeravy_jas", "A glow of embers that lights its bearer for a while."},
        {"kamenna_koza", "Skin as hard as stone, for a short while."},
        {"relikvia1", "A relic of old forms, heavy with many powers."},
        {"relikvia2", "A relic of old powers, humming in the hand."},
        {"stred", "A marker the story uses; it is not taken along."},
    };
    require(make_folder("data/predmety/eng"), "data/predmety/eng");
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        const item_proto& item = g_item_protos[i];
        if (item.deleted || item.item_class == k_item_attunement)
            continue;
        const description* found = nullptr;
        for (const description& d : k_descriptions)
            if (std::strcmp(d.key, item.key_name) == 0)
                found = &d;
        require(found != nullptr, std::string("a description of ") + item.key_name);
        const std::string text = std::string(found->text) + "\r\n";
        const std::string path = std::string("data/predmety/eng/") + item.key_name + ".txt";
        require(write_whole_file(path.c_str(), text.data(), text.size()), path);
    }
}

void write_ground_sprite_model(const char* name)
{
    const int32_t scratch = k_proto_slots - 1;
    object_proto& p = g_object_protos[scratch];
    reset_object_proto(&p);
    std::snprintf(p.name, sizeof p.name, "gr_%s", name);
    p.kind = k_proto_sprite;
    p.width = p.height = 32;
    p.frame_counts[0] = 1;
    std::snprintf(p.frame_names[0], sizeof p.frame_names[0], "data/predmety/ground/%s00.tga", name);
    const std::string path = std::string("data/predmety/ground/") + name + ".pr";
    packed_stream* out = stream_open(path.c_str(), "wp");
    require(out != nullptr, path);
    bool written = write_object_proto(scratch, out);
    require(stream_close(out) == 0 && written, path);
    reset_object_proto(&p);
}

namespace {

// A short clink of `hz`: the weapons' "a_zbran", "d_zbran" and "i_zbran" sounds.
void write_clink(const char* name, float hz)
{
    constexpr int rate = 22050;
    std::vector<int16_t> pcm(rate / 5);
    for (size_t i = 0; i < pcm.size(); ++i) {
        float t = float(i) / rate;
        pcm[i] = int16_t(9000.0f * std::exp(-18.0f * t) * std::sin(6.2831853f * hz * t));
    }
    std::string path = std::string("data/sound/") + name + ".wav";
    require(write_wav_file(path.c_str(), pcm.data(), 1, rate, pcm.size()), path);
}

void write_attunement_tiers()
{
    const std::string text = "50\r\n200\r\n1000\r\n3\r\nBlade focus\r\n0\r\nDream walker\r\n2\r\nMaster's insight\r\n2\r\n";
    require(write_whole_file("global/attunements.txt", text.data(), text.size()), "global/attunements.txt");
}

void add_attunements()
{
    struct attunement {
        int16_t id;
        const char* key;
        const char* name;
        uint8_t tier;
    };
    const attunement fixed[] = {
        {k_blade_focus_tier0, "prvy_vyber", "First choice", 0}, {178, "snivec", "Dream walker", 2},
        {179, "vhlad", "Insight", 0}, {180, "vhlad2", "Deep insight", 1}, {186, "vhlad3", "Master's insight", 2},
    };
    for (const attunement& a : fixed)
        add_item(a.id, a.key, a.name, k_item_attunement).size = a.tier;
    // Insight grows into deep and master's insight: each supersedes the one before it.
    g_item_protos[180].attunement_link = 179;
    g_item_protos[186].attunement_link = 180;
    // Deep insight works only in the dream world; the panels show it light red elsewhere.
    g_item_protos[180].requirement_count = 1;
    g_item_lists[180].requirements[0] = item_property{11, {0, 0, 0, 0, 0, 0, 0, 0}};
    // The focus tiers of the four elements, 244 to 259: four per element, tier 0 to 2.
    const char* elements[] = {"ohen", "voda", "vzduch", "zem"};
    const char* element_names[] = {"Fire", "Water", "Air", "Earth"};
    for (int e = 0; e < 4; ++e)
        for (int t = 0; t < 4; ++t) {
            char key[30], name[100];
            std::snprintf(key, sizeof key, "fokus_%s%d", elements[e], t + 1);
            std::snprintf(name, sizeof name, "%s focus %d", element_names[e], t + 1);
            item_proto& a = add_item(int16_t(244 + 4 * e + t), key, name, k_item_attunement);
            a.size = uint8_t(std::min(t, 2));
            copy_bounded(a.image_name, sizeof a.image_name, "fokus");
        }
}

} // namespace

void write_items_demo_data()
{
    require(make_folder("data/predmety/ground") && make_folder("data/sound"), "data/predmety");
    g_item_proto_count = 0;

    item_proto& sword = add_weapon(k_demo_sword, "mec", "Sword", k_item_medium_weapon, 8, 120, 30, 1);
    sword.weapon_category = 1;
    sword.attunement_link = k_demo_focus;  // wearing it trains the blade focus
    sword.damage_code = 4;
    sword.stamina_cost = 3;

    item_proto& armour = add_item(k_demo_armour, "brnenie", "Leather armour", k_item_armor);
    armour.armour_bonus = 4;
    armour.stamina_move = 1;
    armour.price = 25;

    add_item(k_demo_gold, "zlato", "Gold", k_item_gold).price = 1;

    item_proto& focus = add_item(k_demo_focus, "sustredenie", "Blade focus", k_item_attunement);
    focus.size = 0;
    focus.efect_count = 1;
    g_item_lists[k_demo_focus].efects[0] = item_property{3, {5, 0, 0, 0, 0, 0, 0, 0}};

    add_weapon(k_demo_dagger, "dyka", "Dagger", k_item_fast_weapon, 4, 90, 18, 2).weapon_category = 1;
    add_weapon(k_demo_axe, "sekera", "Battle axe", k_item_heavy_weapon, 14, 140, 45, 1).size = 1;  // both hands
    add_weapon(7, "luk", "Short bow", k_item_ranged_weapon, 6, 600, 40, 2).weapon_category = 4;
    item_proto& ring = add_item(9, "prsten", "Copper ring", k_item_ring);
    ring.price = 60;
    ring.requirement_count = 1;
    g_item_lists[9].requirements[0] = item_property{1, {3, 0, 0, 0, 0, 0, 0, 0}};
    item_proto& potion = add_item(k_demo_potion, "elixir", "Healing potion", k_item_quick);
    potion.damage = 20;
    potion.price = 15;
    potion.destroy_after = 1;
    potion.efect_count = 1;
    g_item_lists[k_demo_potion].efects[0] = item_property{k_efect_add_life, {}};
    item_proto& scroll = add_item(12, "zvitok", "Scroll of sparks", k_item_scroll);
    scroll.price = 30;
    scroll.efect_count = 1;
    g_item_lists[12].efects[0] = item_property{k_efect_cast_spell_when_quickused, {k_demo_spell_volley, 0, 0, 0, 0, 0, 0, 0}};
    item_proto& bag = add_item(13, "vak", "Bag", k_item_container);
    bag.container_width = bag.container_height = 4;
    bag.price = 20;
    add_item(15, "esencia", "Essence", k_item_essence).damage = 10;
    add_equipment();
    add_attunements();
    // The bandit shaman's staff reaches far, and every strike with it casts the water bolt.
    item_proto& staff = add_weapon(k_demo_staff, "palica", "Shaman staff", k_item_medium_weapon, 4, 400, 30, 3);
    staff.efect_count = 1;
    g_item_lists[k_demo_staff].efects[0] = item_property{k_demo_staff_property, {k_demo_spell_shaman, 0, 0, 0, 0, 0, 0, 0}};
    item_proto& marker = add_item(k_centre_marker, "stred", "Centre marker", k_item_normal);
    marker.no_loss = 1;

    const struct {
        const char* name;
        uint32_t r, g, b;
    } icons[] = {{"mec", 200, 200, 220}, {"brnenie", 140, 90, 50}, {"zlato", 240, 200, 40},
                 {"sustredenie", 90, 160, 250}, {"dyka", 180, 180, 190}, {"sekera", 120, 120, 130},
                 {"luk", 150, 100, 40}, {"prsten", 200, 120, 60}, {"elixir", 220, 40, 40},
                 {"zvitok", 230, 220, 180}, {"vak", 110, 80, 40}, {"esencia", 160, 60, 220},
                 {"prvy_vyber", 90, 160, 250}, {"snivec", 70, 70, 160}, {"vhlad", 200, 230, 250},
                 {"vhlad2", 200, 230, 250}, {"vhlad3", 200, 230, 250}, {"fokus", 250, 120, 40},
                 {"stred", 255, 255, 255}, {"palica", 120, 90, 160}, {"prutik", 170, 120, 70},
                 {"cizmy", 100, 70, 40}, {"stit", 150, 150, 160}, {"strieborny", 220, 220, 235},
                 {"amulet", 235, 225, 200}, {"plast", 60, 110, 70}, {"nohavice", 130, 110, 80},
                 {"narukavnik", 110, 110, 120}, {"rukavica", 160, 110, 70}, {"lampa", 250, 220, 120}};
    // Each icon with its big image, drawn at the cursor while the item is held.
    for (const auto& icon : icons) {
        write_icon(icon.name, icon.r, icon.g, icon.b);
        write_item_image("big_", icon.name, 64, icon.r, icon.g, icon.b);
    }
    write_attunement_descriptions();
    for (int32_t i = 0; i < g_item_proto_count; ++i)
        if (g_item_protos[i].deleted)
            copy_bounded(g_item_protos[i].image_name, sizeof g_item_protos[i].image_name, "stred");
    // The ground model every item shares unless it has its own.
    write_icon("ground/default00", 150, 130, 90);
    write_ground_sprite_model("default");
    write_clink("a_zbran1", 880.0f);
    write_clink("a_zbran2", 990.0f);
    write_clink("d_zbran1", 330.0f);
    write_clink("i_zbran1", 660.0f);
    write_attunement_tiers();

    require(save_items(), "global/items.dat");
}
