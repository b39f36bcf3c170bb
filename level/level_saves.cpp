#include "level/level_saves.h"

#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_links.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "world/world_objects.h"

#include <algorithm>

#include <string>

char g_level_save_names[k_level_save_names][k_level_save_name_size] = {
    "brana.sav", "klastor.sav", "klastorin.sav", "sien.sav", "dung1.sav", "bojovka01.sav",
    "bojovka02.sav", "dedina01.sav", "dedina02.sav", "les.sav", "tab_prechod.sav", "tabor.sav",
    "tab_bojovka.sav", "jaskyna_ent.sav", "jaskyna01.sav", "jaskyna02.sav", "shrine_ent.sav",
    "shrine.sav", "vantiel_p.sav", "vantiel_m2.sav", "vantiel_d01.sav", "vantiel_d02.sav",
    "vantiel_a.sav", "vantiel_penta.sav", "vantiel_b.sav", "vantiel_c.sav", "vantiel_h.sav",
    "vantiel_dd.sav", "vantiel_s.sav", "hellgate.sav", "bana_p.sav", "bana_spider.sav",
    "bana_vchod.sav", "bana_level2.sav", "bana_cerv.sav", "bana_cerv2.sav", "bana_lanovka.sav",
    "bana_necro.sav", "oracle_ent.sav", "oracle_beast.sav", "oracle_beast2.sav",
    "oracle_black.sav", "oracle_snow.sav", "oracle_vell.sav", "oracle.sav", "oracle2.sav",
    "arena.sav", "vantiel_k.sav", "relik1.sav", "relik2.sav", "arena_p.sav", "", "", "",
};


namespace {

bool monster_points_kept(packed_stream* out)
{
    return write_monster_points(out, false);
}

// The sections of a change file in their order.
bool (*const k_change_writers[])(packed_stream*) = {
    write_char_placements, write_entities, write_events, save_level_containers,
    save_level_container_states, save_ground_items, monster_points_kept,
};
struct change_reader {
    bool (*read)(packed_stream*);
    const char* name;  // as a damaged file's report names it
};
const change_reader k_change_readers[] = {
    {read_char_placements, "postavy"},  {read_entities, "identity"},
    {read_events, "udalosti"},          {load_level_containers, "kontajnery"},
    {load_level_container_states, "stavy kontajnerov"}, {load_ground_items, "predmety na zemi"},
    {read_monster_points, "monster pointy"},
};

// "global/" + level, or "" for no level and (logged) for a name that would leave the folder.
std::string change_file_path(const char* level)
{
    if (!level || !level[0])
        return {};
    if (!is_plain_file_name(level)) {
        console_log("zmeny: nepovolene meno levelu %s", level);
        return {};
    }
    return std::string("global/") + level;
}

// Objects of an entity (classes 0 and 1) join its object list again.
void link_entity_objects()
{
    if (!g_objects)
        return;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (o.entity != -1 && o.object_class < k_class_attached)
            run_hook(g_object_links.add_entity_object, "add_entity_object", o.entity, int32_t(i));
    }
}

} // namespace

bool save_level_changes(const char* level)
{
    console_log("%s", level ? level : "");
    std::string path = change_file_path(level);
    if (path.empty())
        return false;
    packed_stream* out = stream_open(path.c_str(), "wp");
    if (!out) {
        console_log("zmeny: %s sa neda otvorit", path.c_str());
        return false;
    }
    run_hook(g_level_links.clear_player_interior, "clear_player_interior");
    bool written = true;
    for (auto write : k_change_writers)
        written = written && write(out);
    if (!finish_written_file(out, written)) {
        console_log("zmeny: zapis %s zlyhal, stary subor ostava", path.c_str());
        return false;
    }
    return true;
}

int32_t load_level_changes(const char* level)
{
    console_log("Chcem citat zmeny z %s", level ? level : "");
    std::string path = change_file_path(level);
    if (path.empty() || file_exists(path.c_str()) != 1) {
        console_log("nepodarilo sa nacitat zmeny z %s", level ? level : "");
        return 0;
    }
    packed_stream* in = open_data_file(path.c_str(), "level z mapy");
    if (!in)
        return 0;
    console_log("citam zmeny z %s", level);
    const char* damaged = nullptr;
    for (const change_reader& r : k_change_readers)
        if (!r.read(in)) {
            damaged = r.name;
            break;  // what follows would be read from the wrong place
        }
    const int64_t after = close_read_file(in, !damaged, path.c_str(), "zmeny pred nimi");
    link_entity_objects();
    int16_t count = std::clamp<int16_t>(g_ground_item_count, 0, k_ground_item_slots);
    for (int16_t i = 0; i < count; ++i)
        if (g_ground_items[i].state == k_ground_item_dropped)
            run_hook(g_level_links.place_ground_item, "place_ground_item", int32_t(i));
    if (damaged) {
        const std::string where = std::string("sekcia ") + damaged;
        report_damaged_file(path.c_str(), where.c_str(), "zmeny pred nou, zvysok z mapy");
        return 0;
    }
    if (after > 0)
        return 0;
    console_log("zmeny nacitane");
    return 1;
}

void delete_level_saves()
{
    static const char* const fixed[] = {
        "mapa_eng.sav", "mapa_it.sav", "mapa_es.sav", "mapa_fr.sav", "mapa_de.sav",
        "final_eng.sav", "final_it.sav", "final_es.sav", "final_fr.sav", "final_de.sav",
        "start.sav", "encounter.sav", "credits.sav",
    };
    // An empty entry names the folder itself, which is not a file and is left alone.
    for (const auto& name : g_level_save_names)
        if (name[0])
            delete_file(("global/" + std::string(name)).c_str());
    for (const char* name : fixed)
        delete_file(("global/" + std::string(name)).c_str());
}
