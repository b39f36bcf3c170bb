// The gate level's entities, along its southern edge from west to east: a hut whose interior
// fades in when the hero walks in, a lever working a gate, a trap shooting water bolts, a
// campfire, a lamp lit only at night, a statue with a description, a chest in the south-east
// corner, and a day sound of chimes.
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "core/utilities.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_texts.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <string>

namespace {

// A closed rectangular sector; its slot.
int16_t rect_sector(float x0, float y0, float x1, float y1)
{
    add_rect_sector(x0, y0, x1, y1, 2);
    return int16_t(g_sector_count - 1);
}

int32_t gate_entity(const char* name, uint8_t type, uint8_t state, int16_t sector)
{
    const int32_t e = add_entity(name, type, state);
    require(e >= 0, name);
    g_entities[e].sector = sector;
    return e;
}

// Object `object` belongs to entity `e`, at that opacity.
void own(int32_t e, int32_t object, float alpha = 1.0f)
{
    g_objects[object].entity = e;
    g_objects[object].alpha = alpha;
}

} // namespace

void add_gate_entities(int32_t torch, int32_t crate)
{
    // The hut: two crates that fade in while the hero stands inside, drawn in front of it.
    const int32_t hut = gate_entity("chata", k_entity_interior, 0, rect_sector(20, 600, 200, 740));
    g_entities[hut].value = 40;
    own(hut, place(crate, 80, 650, 10, true), 0.0f);
    own(hut, place(crate, 150, 700, 10, true), 0.0f);

    // The gate, shut while the lever is up; pulled over, the lever swings it open.
    const int32_t gate = gate_entity("vrata", k_entity_normal, k_entity_state_done, -1);
    own(gate, place(gate_proto(), 270, 545, 10, true));
    const int32_t lever = gate_entity("paka", k_entity_lever, 1, rect_sector(240, 650, 300, 710));
    g_entities[lever].link = int16_t(gate);
    own(lever, place(lever_proto(), 270, 675, 10, true));

    // The trap fires a water bolt from beside the path once each time the hero steps in.
    const int32_t trap = gate_entity("pasca", k_entity_trap, 1, rect_sector(340, 620, 460, 740));
    const int16_t launcher = int16_t(new_sector());
    begin_sector(&g_sectors[launcher], 2, 400, 560);
    g_entities[trap].link = launcher;
    g_entities[trap].spell = k_demo_spell_shaman + 1;
    g_entities[trap].value = 1;
    own(trap, place(crate, 400, 680, 10, true, 0.6f, 0.6f, 0.6f));

    // The campfire and the night lamp.
    const int32_t fire = gate_entity("taborak", k_entity_campfire, 1, rect_sector(500, 640, 580, 720));
    own(fire, place(torch, 540, 680, 10, true, 1.0f, 0.5f, 0.2f));
    const int32_t lamp = gate_entity("lampa", k_entity_night_item, 0, rect_sector(700, 700, 720, 720));
    own(lamp, place(torch, 660, 660, 10, true, 1.0f, 1.0f, 0.6f), 0.0f);

    // The statue's short description is a map text; its long one "data/text/eng/socha.txt".
    map_text& text = g_map_texts[g_map_text_count];
    text.tag = 1;
    copy_bounded(text.key, sizeof text.key, "socha");
    copy_bounded(text.text, sizeof text.text, "An old statue of the gatekeeper");
    const int32_t statue = gate_entity("socha", k_entity_normal, 1, rect_sector(740, 620, 840, 740));
    g_entities[statue].description = int16_t(++g_map_text_count);
    own(statue, place(statue_proto(), 790, 660, 10, true));

    // The chest in the south-east, in the start view left of the health bar: a click sends the
    // hero there, and it opens beside the inventory when he arrives.
    const int32_t chest = gate_entity("truhla", k_entity_container, 1, rect_sector(875, 590, 925, 650));
    g_entities[chest].container = 1;  // the level's container 0
    own(chest, place(crate, 900, 620, 10, true, 0.8f, 0.6f, 0.4f));

    // Chimes by day at the north-west corner.
    const int32_t chimes = gate_entity("chime", k_entity_loop_sound_day, 1, -1);
    own(chimes, place(torch, 60, 60, 10, true));

    require(make_folder("data/text") && make_folder("data/text/eng"), "data/text/eng");
    const std::string long_text =
        "The statue remembers the day the gate was first shut. Pull the lever beside the hut to open it.";
    require(write_whole_file("data/text/eng/socha.txt", long_text.data(), long_text.size()),
            "the statue's description");
}
