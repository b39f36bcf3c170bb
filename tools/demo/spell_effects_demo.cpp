// What the demo spells show where they end and in their tooltips: the fire bolt's second and
// third explosions ("data/spell/e0_ohen.pr", a sprite flash, and "data/spell/ee_ohen.pr", a
// spark emitter raised above the impact), made from its own first-explosion and glow prototypes,
// and the descriptions "data/spell/<name>.txt" of the attunement spells.
#include "tools/demo/demo_data.h"

#include "platform/files.h"

#include <string>

namespace {

void write_description(const char* spell, const char* text)
{
    std::string path = std::string("data/spell/") + spell + ".txt";
    std::string body = std::string(text) + "\r\n";
    require(write_whole_file(path.c_str(), body.data(), body.size()), path);
}

} // namespace

void write_spell_effects_demo_data()
{
    require(copy_file("data/spell/e3_ohen.pr", "data/spell/e0_ohen.pr"), "data/spell/e0_ohen.pr");
    require(copy_file("data/spell/e_ohen.pr", "data/spell/ee_ohen.pr"), "data/spell/ee_ohen.pr");
    write_description("Fire bolt", "A bolt of fire that bursts into flame and sparks where it strikes.");
    write_description("Water bolt", "A spear of cold water flung at one enemy.");
    write_description("Air bolt", "A gust sharp enough to cut.");
    write_description("Tremor", "The ground shakes around the caster, stunning those who stand close.");
}
