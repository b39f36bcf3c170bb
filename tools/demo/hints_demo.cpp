#include "tools/demo/demo_data.h"

#include "platform/files.h"

#include <string>

namespace {

// Each hint: a centred translucent window, the hero by a placeholder and a notice phrase.
struct hint {
    const char* file;
    const char* lines[2];
};

const hint k_hints[] = {
    {"brana.txt",
     {"^window 0 0 560 110 ^center ^gl_a 0.8 The gate of the valley lies before $PLAYER.",
      "^l Serin, ask at the smithy when you are lost. ^l new location added to map"}},
    {"rand0.txt",
     {"^window 0 0 520 100 ^center ^gl_a 0.8 $PLAYER's wounds heal at a campfire.",
      "^l A finished task is marked: Quest completed"}},
    {"rand1.txt",
     {"^window 0 0 520 100 ^center ^gl_a 0.8 Serin, the quest log lists what is left to do.",
      "^l A new task is marked: new quest assigned"}},
    {"rand2.txt",
     {"^window 0 0 520 100 ^center ^gl_a 0.8 Dovan: \"The map keeps every place I have seen.\"",
      "^l Look out for: new location added to map"}},
    {"rand3.txt",
     {"^window 0 0 520 100 ^center ^gl_a 0.8 Talk to everyone, $PLAYER.",
      "^l An answer is chosen with its link: ^lnst click to continue ^lnend 0"}},
    {"rand4.txt",
     {"^window 0 0 520 100 ^center ^gl_a 0.8 Serin's attunements grow with every fight.",
      "^l Several at once are marked: Quests completed"}},
};

} // namespace

void write_hint_demo_data()
{
    require(make_folder("data/hints/eng"), "data/hints/eng");
    for (const hint& h : k_hints) {
        std::string text;
        for (const char* line : h.lines)
            text += std::string(line) + "\r\n";
        const std::string path = std::string("data/hints/eng/") + h.file;
        require(write_whole_file(path.c_str(), text.data(), text.size()), path);
    }
}
