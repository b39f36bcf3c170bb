// Writes the demo data set into the folder named on the command line (created when missing).
#include "tools/demo/demo_data.h"

#include "platform/files.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void require(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "make_demo_data: cannot write %s\n", what.c_str());
        std::exit(1);
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_data FOLDER\n");
        return 2;
    }
    if (!make_folder(argv[1]) || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "make_demo_data: cannot use folder %s\n", argv[1]);
        return 1;
    }
    write_shell_demo_data();
    write_text_demo_data();
    write_items_demo_data();
    write_quests_demo_data();
    write_sound_demo_data();
    write_texture_demo_data();
    write_sprite_font_demo_data();
    write_model_demo_data();
    write_characters_demo_data();
    write_objects_demo_data();
    write_environment_demo_data();
    write_levels_demo_data();
    write_events_demo_data();
    write_detours_demo_data();
    write_travel_map_demo_data();
    write_credits_demo_data();
    write_hint_demo_data();
    write_slides_demo_data();
    write_front_end_demo_data();
    write_spells_demo_data();
    write_spell_effects_demo_data();
    write_interface_demo_data();
    write_containers_demo_data();
    write_dialogues_demo_data();
    write_item_looks_demo_data();
    write_ground_items_demo_data();
    write_table_editors_demo_data();
    write_hero_looks_demo_data();
    write_monster_item_editors_demo_data();
    write_item_descriptions();
    write_remaining_ground_models();
    write_editor_demo_data();
    write_proto_editor_demo_data();
    write_saves_demo_data();
    return 0;
}
