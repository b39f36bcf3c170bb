#include "tools/demo/demo_data.h"

#include "platform/files.h"

#include <string>

namespace {

void write_text(const char* path, const std::string& text)
{
    require(write_whole_file(path, text.data(), text.size()), path);
}

} // namespace

void write_quests_demo_data()
{
    require(make_folder("global") && make_folder("data/quests/eng"), "data/quests/eng");
    write_text("global/quest_eng.txt",
               "3\n"
               "watersupply\nWater for the village\n150\n"
               "locdrusk\nThe lost scout\n300\n"
               "meetdrusk\nA meeting in the ruins\n7\n");
    write_text("global/flag.txt", "3\nencounter\nspring_told\ngate_lessons\n");
    write_text("data/quests/eng/watersupply.txt",
               "The well of the village has run dry. ^l Find where the spring was blocked.\n");
    write_text("data/quests/eng/locdrusk.txt",
               "A scout of the valley was dragged off the road. ^l Follow the trail towards the old ruins.\n");
    write_text("data/quests/eng/meetdrusk.txt",
               "The scout's trail ends at a circle of old stones in the ruins. ^l Find out who waits there.\n");
}
