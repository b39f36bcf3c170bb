// The demo data set: each subsystem writes its share into the working folder, through the
// program's own savers where one exists.
#pragma once

#include <cstdint>
#include <string>

struct model;

// Ends the tool with a message naming `what` unless ok (a part of the data was not written).
void require(bool ok, const std::string& what);

// The shell's files: the folders, config.cfg.
void write_shell_demo_data();
// The story detours' levels "encounter.sav" and "vantiel_penta.sav" with their scripts.
void write_detours_demo_data();
// The localized texts: the English UI text table, the demo characters' names keyed by their
// stored ones, item names, a level's texts.
void write_text_demo_data();
// The picture of the item `name` (its icon's file stem), size x size, in its colour.
void write_item_picture(const std::string& path, const std::string& name, uint32_t size, uint32_t colour);
// The item table "global/items.dat" (330 records, deleted ones between) with the icons, the
// default ground model, the weapon sounds and "global/attunements.txt": among them a sword that
// trains an attunement, a leather armour, gold and the attunement, with these ids.
void write_items_demo_data();
// "data/predmety/eng/<key>.txt" for every item but the attunements: what the item is and what it
// does. After every writer of the item table; the tool ends at an item without a description.
void write_item_descriptions();
constexpr int16_t k_demo_sword = 0;
constexpr int16_t k_demo_armour = 1;
constexpr int16_t k_demo_gold = 2;
constexpr int16_t k_demo_focus = 3;
constexpr int16_t k_demo_dagger = 5;  // a fast weapon
constexpr int16_t k_demo_axe = 6;     // a heavy weapon for both hands
constexpr int16_t k_demo_potion = 10;
constexpr int16_t k_demo_essence = 15;
// One item of each equipment class the ones above leave out: a focus wand (class 5), boots,
// a shield, a second ring, a neclace, a cloak, leggings, both hand armours, and a lantern.
constexpr int16_t k_demo_wand = 22;
constexpr int16_t k_demo_boots = 23;
constexpr int16_t k_demo_shield = 24;
constexpr int16_t k_demo_silver_ring = 25;
constexpr int16_t k_demo_neclace = 26;
constexpr int16_t k_demo_cloak = 27;
constexpr int16_t k_demo_legs = 28;
constexpr int16_t k_demo_bracer = 29;
constexpr int16_t k_demo_glove = 30;
constexpr int16_t k_demo_lantern = 31;
// The ground model "data/predmety/ground/<name>.pr" (template "gr_<name>"): a sprite of one
// 32 x 32 frame, the image "data/predmety/ground/<name>00.tga".
void write_ground_sprite_model(const char* name);
// The enemy caster's staff: property 34 (cast on attack) with the water bolt.
constexpr int16_t k_demo_staff = 14;
constexpr int16_t k_demo_spell_shaman = 1;  // the water bolt
constexpr uint8_t k_demo_staff_property = 34;
// The helm: models "3d/hero/1/<clip>/kapa.3d" grown from the hero's head, a gold tint of its body
// part and sparks above the wearer (effect prototype 0 of "global/efects.dat"); it is added to
// the item table in memory and "global/items.dat" and worn by the hero in
// "global/characters.dat". The items and characters must be written first.
void write_item_looks_demo_data();
constexpr int16_t k_demo_helm = 20;
// The items shown lying at the gate get their own ground models and images; the trap (which
// casts the thunderclap under an enemy that steps on it) is added to the item table in memory
// and "global/items.dat". The items and the spells must be written first.
void write_ground_items_demo_data();
// A ground model for every item whose image has none yet, its icon lying on the ground, so that
// no item falls back to the shared default look. After every writer of the item table.
void write_remaining_ground_models();
constexpr int16_t k_demo_trap = 21;
// The quests "watersupply", "locdrusk" and "meetdrusk" in "global/quest_eng.txt" with their texts
// in "data/quests/eng/", and the story flags "encounter", "spring_told" and "gate_lessons" in
// "global/flag.txt".
void write_quests_demo_data();
// The sounds, the narration and the music: "data/sound/" (with the footsteps of every ground,
// the dream world's sounds, the completed quest's fanfare and the narrations of the slide shows
// and the ending), "data/voice/", "data/music/" and the chapter slide music.
void write_sound_demo_data();
// The engine's images: the fixed start-up images, ground tiles, sprites and the language's
// texture pack "data/levels/main_eng.dat" with its index.
void write_texture_demo_data();
// The sprite font "global/main.fn": 5 × 7 glyphs drawn here, white with a shadow.
void write_sprite_font_demo_data();
// The models: a generated crate "3d/demo/crate.3d" of two materials and four frames, its skin
// file with two skins, and their images.
void write_model_demo_data();
// The characters, through the character savers: the hero in "global/characters.dat", the enemy
// "data/creature/bandit.chr", the enemy caster "data/creature/shaman.chr" (in the bandit's looks,
// with the staff that casts) and the inhabitant "data/creature/villager.chr", the body-part
// models of their clips stand1, move1, attack1, death1 and hit1 under "3d/<name>/1/" with skin
// files and frame times, the model registry "global/chardata.dat" and the move prototypes
// "global/charpr.dat". The hero is saved in spell mode with the spark volley chosen. The others'
// display names are stored in Slovak; "global/chars_eng.txt" gives them in English.
void write_characters_demo_data();
// A 32 x 32 cloth texture of the colour with a lighter weave, as the characters' skins are.
void write_skin_texture(const std::string& path, uint32_t r, uint32_t g, uint32_t b);
// Every frame of the model scaled about the middle of its bounds, by sx, sy and sz along the
// model's x, y and z.
void scale_model_about_middle(model& m, float sx, float sy, float sz);
// The hero's head looks 1 to 12 and body looks 1 to 9, "3d/hero/1/<clip>/head<n>.3d" and
// "body<n>.3d" with their skin files and textures (look 1 the plain part), and the new hero's six
// candidate attunements (ids 204, 208, 220, 216, 178, 151) added to "global/items.dat" where the
// table holds them deleted, each with "data/attunements/eng/<key>.txt". After the characters and
// the item table.
void write_hero_looks_demo_data();
// The object prototypes: the mouse cursor "global/mouse.txt", sprites, a 16-frame sprite,
// particle emitters (among them the weather and blood templates) and a tiled surface with its
// mask, as ".pr" files with their images.
void write_objects_demo_data();
// The dream world's twelve overlay frames "data/dreamworld/dream01.tga" to "dream12.tga".
void write_environment_demo_data();
// The levels, through the level map writer: the menu level "data/levels/start.sav", the level
// "data/levels/brana.sav" to change to, the editor's template "global/empty", and the loading
// pictures "data/loading.tga", "data/loading2.tga" and "data/loading3.tga".
void write_levels_demo_data();
// The second demo level "data/levels/dedina01.sav", a small yard the gate level's north-west corner
// leads to; its south-east corner leads back to the gate's entry, and being there puts it on the
// travel map (location 1).
void write_events_demo_data();
// The travel map "data/levels/mapa_eng.sav": its 19 location areas, markers and labels (letters
// 16 pixels high) over a parchment; location 0 leads back to the gate.
void write_travel_map_demo_data();
// The credits level "data/levels/credits.sav": six entities of text cards (heading and lines), all
// at alpha 0, in the view of the camera (-630, -1599); and the final level
// "data/levels/final_eng.sav" without music, its entities 0 to 18 as the ending shows them in the
// view of the camera (-2366, -414): 0 the closing words, 1 / 4 mercenary / benevolent, 2 / 5
// betrayer / defender, 8 a night sky, 9 to 13 stars, 14 to 18 the five titles (3, 6 and 7 hold
// nothing), every card at alpha 0.
void write_credits_demo_data();
// The loading-screen hints "data/hints/eng/brana.txt" and "rand0.txt" to "rand4.txt": markup
// with the hero's placeholders and a notice phrase each.
void write_hint_demo_data();
// The slide shows' pictures: the intro's tall picture "data/slides/zudevu/", the chapter
// pictures "data/slides/1/" and "2/", the chapter list "data/slides/chapter1.txt" and the
// narrations' subtitles in "data/sound/slide/eng/".
void write_slides_demo_data();
// The front end's splash cards "data/tollvane.tga" and "data/p3.tga", 1024 x 512.
void write_front_end_demo_data();
// The spell table "global/spells.dat" (115 records) through the spell saver: fire, water and air
// missiles, earth area spells and healing on the ids the combat rules (11, 64, 114) and the
// attunements name, their effect prototypes "data/spell/*.pr" and the cast and explosion sounds;
// and the casting showcase on these ids: a CIRCULAR spark volley with glow, companion, light,
// three explosion groups and the burst as its hit spell, a LINE stone wall, a CLOSEDAM
// thunderclap that stuns and a GLOBAL fire rain.
void write_spells_demo_data();
constexpr int32_t k_demo_spell_volley = 20;
constexpr int32_t k_demo_spell_burst = 21;
constexpr int32_t k_demo_spell_wall = 22;
constexpr int32_t k_demo_spell_thunder = 23;
constexpr int32_t k_demo_spell_rain = 24;
// The effect items "Ember glow" and "Stone skin" (class 19) and the spell "Ember shield" (hit
// spell: the ember burst; item effects: the two); after the items, the spells and every other
// writer of the item table.
void write_table_editors_demo_data();
constexpr int16_t k_demo_ember_glow = 16;
constexpr int16_t k_demo_stone_skin = 17;
constexpr int32_t k_demo_spell_shield = 25;
// The fire bolt's second and third explosions "data/spell/e0_ohen.pr" and "ee_ohen.pr", and the
// descriptions "data/spell/<name>.txt" of the fire, water and air bolts and the tremor; after
// the spell table.
void write_spell_effects_demo_data();
// Every interface image under "data/buttons/" and "data/interface/" (the "eng" folders): panel
// tiles shaded by their place in the panel, frame pieces with their outer side marked, labelled
// buttons, and the HUD's four notice icons.
void write_interface_demo_data();
// The player's bag container (slot 100, a potion, a ring and 15 gold) in "global/cont.dat".
void write_containers_demo_data();
// Level containers 0 and 1 of the gate level: the chest "truhla" (goods, two gold cells and a sword) and
// the shop "obchod" (an item of every equipment class among its 19 goods, the last cell free),
// filled with demo items at their prices; the item table must be filled first.
void add_gate_containers();
// The gate level's entities and their sectors, objects of the given prototypes and the set
// pieces' own, and the statue's map text and long description "data/text/eng/socha.txt".
void add_gate_entities(int32_t torch, int32_t crate);
// The editor's help texts: "readme.txt" and the seven texts under "doc/".
void write_editor_demo_data();
// Two relics with an effect of every family and an element requirement, and a bandit captain
// class with weapons and custom treasure, for the item and monster editors.
void write_monster_item_editors_demo_data();
// The prototype editor's "global/select.txt" and the meadow tiles' "size.txt" and "mask.dat"
// (after the objects' data).
void write_proto_editor_demo_data();
// The save game "save/demo" with its entry in "save/save.dat", written by save_game after the
// levels and characters: the hero at the gate level's first entry, the first quest assigned; and
// "global/quick.dat" with the sword in quick slot 0 and the potion in slot 1.
void write_saves_demo_data();
// The inhabitant's conversation under "data/dia/eng/villager/": first0 (two numbered options),
// start0 to start3 (a greeting for each turn of the quest "watersupply"), question0 to question4
// (the last, the shop, in every talk) and end0; "data/dialogs/eng/close.txt"; the task parts under
// "data/dialogs/eng/villager_task/" (0.txt gives the quest, the flag "spring_told" and a potion and
// leads to the shop "villager_shop/0.txt" or to yard.txt, which changes to "dedina01.sav"); the
// gate's level script "data/scripts/brana.txt" and the gate's lessons
// "data/dialogs/eng/gate_lessons/0.txt" that take its place on the first entry, which close
// themselves.
void write_dialogues_demo_data();
