#include "tools/demo/demo_data.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "items/items.h"
#include "world/sectors.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "platform/files.h"
#include "platform/image_writer.h"

#include <cmath>
#include <cstdio>
#include <utility>
#include <functional>
#include <string>
#include <vector>

namespace {

struct box {
    float x0, y0, z0, x1, y1, z1;
};

// The figure standing on z = 0, facing -y: head, body, the two arms, the legs.
const struct {
    const char* part;
    box shape;
} k_figure[] = {
    {"head", {-0.15f, -0.15f, 1.60f, 0.15f, 0.15f, 1.95f}},
    {"body", {-0.30f, -0.15f, 0.90f, 0.30f, 0.15f, 1.60f}},
    {"larm", {-0.45f, -0.10f, 0.90f, -0.30f, 0.10f, 1.55f}},
    {"rarm", {0.30f, -0.10f, 0.90f, 0.45f, 0.10f, 1.55f}},
    {"legs", {-0.25f, -0.12f, 0.00f, 0.25f, 0.12f, 0.90f}},
};

// How a clip moves a part: the offset of a vertex at (x, y, z) of part `part` in frame f.
using motion = std::function<void(const std::string& part, int f, float& x, float& y, float& z)>;

struct clip {
    const char* name;
    int frames;
    int frame_time;  // 16 ms units, written to the clip's "ini"
    motion move;
};

const clip k_clips[] = {
    {"stand1", 2, 10,
     [](const std::string& part, int f, float&, float&, float& z) {
         if (part != "legs")
             z -= 0.02f * float(f);  // breathing
     }},
    {"move1", 4, 4,
     [](const std::string& part, int f, float&, float& y, float& z) {
         const float swing = 0.12f * std::sin(float(f) * 1.5707964f);
         if (part == "larm" || (part == "legs" && z < 0.45f))
             y += swing;
         if (part == "rarm")
             y -= swing;
     }},
    {"attack1", 3, 3,
     [](const std::string& part, int f, float&, float& y, float& z) {
         if (part == "rarm" && z < 1.3f) {  // the fist swings forward and up
             const float reach = f == 1 ? 0.4f : f == 2 ? 0.25f : 0.0f;
             y -= reach;
             z += reach * 0.6f;
         }
     }},
    {"death1", 4, 5,
     [](const std::string&, int f, float&, float& y, float& z) {
         const float fall = 0.25f * float(f);  // sinks and tips backwards
         y += z * fall * 0.8f;
         z *= 1.0f - fall * 0.9f;
     }},
    {"hit1", 2, 3,
     [](const std::string& part, int f, float&, float& y, float&) {
         if (part != "legs")
             y += 0.08f * float(f);
     }},
};

// The figure is laid out standing on z = 0 and facing -y; models stand on y = 0 with their
// height along +y and face -z.
struct figure_point {
    float x, y, z;
};

figure_point to_model(figure_point p)
{
    return {-p.x, p.z, p.y};
}

figure_point from_model(figure_point p)
{
    return {-p.x, p.z, p.y};
}

// A box of one material (the character's skin), frame f moved by the clip.
void build_part(model& m, const std::string& part, const box& b, const clip& c, const std::string& skin)
{
    m.mesh = std::make_unique<model_mesh>();
    copy_bounded(m.mesh->name, sizeof m.mesh->name, part.c_str());
    m.mesh->material_count = 1;
    copy_bounded(m.mesh->materials[0].texture_name, k_model_name_size, skin.c_str());
    const float xs[2] = {b.x0, b.x1}, ys[2] = {b.y0, b.y1}, zs[2] = {b.z0, b.z1};
    // Each face: the axis it is normal to, its side, and its four corners turning about the
    // outward normal.
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const uint16_t base = uint16_t(m.mesh->vertices.size());
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const int order[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& corner : order) {
                int at[3];
                at[axis] = side;
                at[u] = side ? corner[0] : corner[1];
                at[v] = side ? corner[1] : corner[0];
                float n[3] = {0, 0, 0};
                n[axis] = side ? 1.0f : -1.0f;
                // The file holds the normals reversed: reading negates them to point outwards.
                const figure_point p = to_model({xs[at[0]], ys[at[1]], zs[at[2]]});
                const figure_point normal = to_model({n[0], n[1], n[2]});
                m.mesh->vertices.push_back({p.x, p.y, p.z, -normal.x, -normal.y, -normal.z, float(corner[0]),
                                            float(corner[1])});
            }
            for (uint16_t i : {0, 3, 2, 0, 2, 1})
                m.mesh->indices.push_back(uint16_t(base + i));
            m.mesh->materials[0].index_count += 6;
        }
    }
    m.frame_count = c.frames;
    for (int f = 0; f < c.frames; ++f)
        for (const device_vertex& vertex : m.mesh->vertices) {
            figure_point q = from_model({vertex.x, vertex.y, vertex.z});
            c.move(part, f, q.x, q.y, q.z);
            q = to_model(q);
            m.frames[f].insert(m.frames[f].end(), {q.x, q.y, q.z});
        }
}

// The body-part models of every clip of animation set 1 of an appearance, their skin files and
// the clips' frame times.
void write_figure(const std::string& appearance, uint32_t r, uint32_t g, uint32_t b)
{
    const std::string root = "3d/" + appearance + "/";
    require(make_folder(root.c_str()), root);
    write_skin_texture(root + "skin.tga", r, g, b);
    // One skin of one variant.
    const std::string skin_file = "1\r\n1\r\n3d\\" + appearance + "\\skin.tga\r\n";
    for (const clip& c : k_clips) {
        const std::string folder = root + "1/" + c.name + "/";
        require(make_folder(folder.c_str()), folder);
        const std::string ini = std::string(c.name) + " " + std::to_string(c.frame_time) + "\r\n";
        require(write_whole_file((folder + "ini").c_str(), ini.data(), ini.size()), folder + "ini");
        for (const auto& piece : k_figure) {
            const std::string stem = folder + piece.part;
            require(write_whole_file((stem + ".sk").c_str(), skin_file.data(), skin_file.size()), stem + ".sk");
            model m;
            build_part(m, piece.part, piece.shape, c, stem + ".sk");
            require(save_model(&m, (stem + ".3d").c_str()), stem + ".3d");
        }
    }
}

} // namespace

void write_skin_texture(const std::string& path, uint32_t r, uint32_t g, uint32_t b)
{
    constexpr uint32_t side = 32;
    std::vector<uint32_t> texels(side * side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            const uint32_t k = (x + y) % 4 == 0 ? 5 : 4;
            texels[y * side + x] = 0xFF000000u | (r * k / 5) << 16 | (g * k / 5) << 8 | b * k / 5;
        }
    require(write_image_file(path.c_str(), texels.data(), side, side), path);
}

namespace {

struct figure_stats {
    int32_t hp;
    uint8_t skill;
    int32_t level;
    int32_t exp;
};

char_record& make_character(int slot, const char* key, const char* display, uint8_t kind, const figure_stats& s)
{
    char_record& c = g_chars[slot];
    c = char_record{};
    copy_bounded(c.name, sizeof c.name, key);
    copy_bounded(c.display_name, sizeof c.display_name, display);
    copy_bounded(c.appearance, sizeof c.appearance, key);
    c.kind = kind;
    c.life = k_life_alive;
    c.object = -1;
    c.slot = int16_t(slot);
    c.melee_base = c.melee = c.ranged_base = c.ranged = s.skill;
    c.magic_base = c.magic = c.speed_base = c.speed = s.skill;
    c.hp_max = c.hp = s.hp;
    c.hp_ceiling = int16_t(s.hp);
    c.mana_max = c.mana = 60;
    c.level = s.level;
    c.exp = s.exp;
    c.range = 100;
    c.ai_distance = c.ai_distance2 = 700;
    c.difficulty = 1;
    c.monster_point = -1;
    c.loot_container = -1;
    c.target = -1;
    c.interior = 255;
    c.light = 0xFFFF;
    c.run_speed = 4;
    c.walk_speed = 2;
    c.move_correction = 1.0f;
    c.scale_x = c.scale_y = c.scale_z = 1.0f;
    c.world_fade = 1.0f;
    c.anim_set = 1;
    c.stamina = 100;
    std::fill(std::begin(c.part_model), std::end(c.part_model), int16_t(-1));
    for (auto& values : c.part_values)
        std::fill(std::begin(values), std::end(values), 1.0f);
    return c;
}

// The mouse-focus outline: a box around the figure standing at the character's position, as
// wide and as tall on screen as the figure drawn at `scale` (outlines are tested at the
// character's scale less 0.35).
void set_outline(char_record& c, float scale)
{
    const float figure = 58.0f * scale;  // pixels of a figure drawn at scale 1
    const float k = 1.0f / (scale - 0.35f);
    begin_sector(&c.outline, 2, -0.4f * figure * k, -1.05f * figure * k);
    add_sector_point(&c.outline, 0.4f * figure * k, -1.05f * figure * k);
    add_sector_point(&c.outline, 0.4f * figure * k, 0.1f * figure * k);
    add_sector_point(&c.outline, -0.4f * figure * k, 0.1f * figure * k);
    add_sector_point(&c.outline, -0.4f * figure * k, -1.05f * figure * k);
}

void carry(char_record& c, int16_t item, uint8_t location, uint32_t value)
{
    const int i = c.inv_count++;
    c.inv_item[i] = item;
    c.inv_location[i] = location;
    c.inv_value[i] = value;
    c.inv_damage_type[i] = uint8_t(g_item_protos[item].damage_type);
}

// The bandit's class: a human with a fist a little harder than the editor's default.
void write_monster_classes()
{
    g_monster_proto_count = 1;
    monster_proto& bandit = g_monster_protos[0];
    new_monster_proto(&bandit);
    copy_bounded(bandit.name, sizeof bandit.name, "Bandit");
    copy_bounded(bandit.chr_name, sizeof bandit.chr_name, "bandit");
    bandit.damage_type = 3;  // crushing
    bandit.unarmed_base = 6;
    bandit.unarmed_per_level = 2;
    bandit.armor_base = 3;
    bandit.attack_pause = 40;
    // Monster points arm bandits with the demo's sword and may leave its armour and some gold.
    bandit.weapon_count = 1;
    bandit.weapon_item[0] = k_demo_sword;
    bandit.weapon_level[0] = 2;
    bandit.weapon_rarity[0] = 0;
    bandit.treasure_count = 1;
    bandit.treasure_item[0] = k_demo_armour;
    bandit.treasure_level[0] = 2;
    bandit.treasure_rarity[0] = 0;
    bandit.carries_gold = 1;
    bandit.treasure_chance_main = 50;
    require(save_monster_protos(), "global/monsters.dat");
}

// The combat rule tables, one "label value" line per skill grade from F to S: attack times,
// damage multipliers and block and dodge chances a little kinder than the built-in ones.
void write_rule_tables()
{
    static const char* const grades[17] = {"F", "E-", "E", "E+", "D-", "D", "D+", "C-", "C",
                                           "C+", "B-", "B", "B+", "A-", "A", "A+", "S"};
    std::string ticks = "none 1.0\r\nmedium 1.5\r\nheavy 2.0\r\nranged 1.5\r\n";
    std::string damage, chances;
    for (int i = 0; i < 17; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%s %.2f\r\n", grades[i], 3.0 - 2.0 * i / 16.0);
        ticks += line;
        std::snprintf(line, sizeof line, "%s %.2f\r\n", grades[i], 1.0 + 2.0 * i / 16.0);
        damage += line;
        std::snprintf(line, sizeof line, "%s %d\r\n", grades[i], 5 + 40 * i / 16);
        chances += line;
    }
    for (const auto& [path, text] : {std::pair{"global/ticks.txt", ticks}, {"global/damage_bonus.txt", damage},
                                     {"global/block&dodge.txt", chances}})
        require(write_whole_file(path, text.data(), text.size()), path);
}

} // namespace

void write_characters_demo_data()
{
    require(make_folder("global"), "global");
    require(make_folder("data/creature"), "data/creature");
    write_rule_tables();
    write_figure("hero", 70, 110, 200);
    write_figure("bandit", 190, 60, 50);
    write_figure("villager", 90, 170, 80);
    write_figure("squire", 200, 180, 60);

    g_char_count = 0;
    char_record& hero = make_character(0, "hero", "Traveller", k_kind_player, {100, 8, 1, 0});
    char_record& bandit = make_character(1, "bandit", "Bandita", k_kind_enemy, {20, 6, 1, 0});
    char_record& villager = make_character(2, "villager", "Dedincan", k_kind_normal, {15, 4, 1, 0});
    char_record& squire = make_character(3, "squire", "Panos", k_kind_sidekick, {30, 6, 1, 0});
    g_char_count = 4;
    set_outline(hero, 1.0f);
    hero.head_variant = hero.body_variant = 1;  // the start looks that the interface gives the hero
    set_outline(bandit, 1.35f);  // placements draw their characters at 1.35
    set_outline(villager, 1.35f);
    set_outline(squire, 1.35f);
    carry(hero, k_demo_sword, k_inv_weapon, 1);
    carry(hero, k_demo_armour, k_inv_armor, 1);
    // The backpack's first slots: a potion for the quick bar, a spare dagger, a ring, a lantern,
    // the focus and a two-handed battle axe (the dagger strikes twice as fast).
    carry(hero, k_demo_potion, 0, 1);
    carry(hero, k_demo_dagger, 1, 1);
    carry(hero, k_demo_silver_ring, 2, 1);
    carry(hero, k_demo_lantern, 3, 1);
    carry(hero, k_demo_wand, 4, 1);  // the focus of the quick bar
    carry(hero, k_demo_axe, 5, 1);
    hero.skill_points = 250;         // unspent, for the character panel
    carry(bandit, k_demo_armour, 0, 1);  // loot for whoever beats him
    carry(bandit, k_demo_gold, 1, 15);
    write_monster_classes();
    require(write_char_file(1, "data/creature/bandit.chr"), "data/creature/bandit.chr");
    require(write_char_file(2, "data/creature/villager.chr"), "data/creature/villager.chr");
    require(write_char_file(3, "data/creature/squire.chr"), "data/creature/squire.chr");
    // A bandit shaman in the bandit's looks: each strike of its staff casts a water bolt at the
    // hero (a placed character's selected spell is cleared when it enters the world).
    char_record& shaman = make_character(4, "shaman", "Bandita saman", k_kind_enemy, {25, 6, 1, 0});
    copy_bounded(shaman.appearance, sizeof shaman.appearance, "bandit");
    set_outline(shaman, 1.35f);
    carry(shaman, k_demo_staff, k_inv_weapon, 1);
    g_char_count = 5;
    require(write_char_file(4, "data/creature/shaman.chr"), "data/creature/shaman.chr");
    // The hero starts in spell mode with the spark volley chosen (the right button casts it).
    hero.spell_mode = 1;
    hero.selected_spell = k_demo_spell_volley;
    g_char_count = 3;  // the squire joins at the gate, not from the global characters
    require(write_characters(), k_characters_file);  // the hero: the one PLAYER
    g_char_count = 4;

    // The clips of all three become move prototypes over one registry of their part models.
    for (int slot = 0; slot < 4; ++slot)
        load_char_anims(&g_chars[slot], 1, true);
    require(g_move_proto_count == 4 * int(std::size(k_clips)), "the demo's move prototypes");
    require(write_chardata(), k_chardata_file);
    require(write_charpr(), k_charpr_file);
}
