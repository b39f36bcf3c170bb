#include "world/level_saves.h"

#include "platform/files.h"

#include <cstdio>
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

char g_map_path[k_map_path_size] = {};

int32_t save_level_map(const char*)
{
    return -1;
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
