// The inhabitant's conversation: its dialogue files and the closing text.
#include "tools/demo/demo_data.h"

#include "platform/files.h"
#include "tools/demo/dialogue_file_writer.h"

#include <memory>
#include <string>

namespace {

const char* const k_folder = "data/dia/eng/villager";

// A dialogue of the villager with one node per text; `node` adds options to it afterwards.
std::unique_ptr<dialogue_record> villager_dialogue(const char* name, std::initializer_list<const char*> texts)
{
    auto d = std::make_unique<dialogue_record>();
    std::snprintf(d->name, sizeof d->name, "%s", name);
    int n = 0;
    for (const char* text : texts) {
        set_dialogue_node(d.get(), n, "villager", ("node" + std::to_string(n)).c_str(), text);
        ++n;
    }
    return d;
}

void write_villager_file(const char* file, const dialogue_record& d)
{
    const std::string path = std::string(k_folder) + "/" + file + ".dia2";
    require(write_dialogue_file(path.c_str(), d), path);
}

void write_text(const char* path, const std::string& text)
{
    require(write_whole_file(path, text.data(), text.size()), path);
}

} // namespace

void write_dialogues_demo_data()
{
    require(make_folder(k_folder) && make_folder("data/dialogs/eng"), k_folder);

    // The first meeting: two numbered options, one to a second node, one to the questions.
    auto first = villager_dialogue("villager_first", {"Welcome, stranger. The well of our village has run dry.",
                                                      "The spring up the hill was blocked. Someone must clear it."});
    set_dialogue_option(first.get(), 0, 0, "What happened to the well?", 2);
    set_dialogue_option(first.get(), 0, 1, "I have questions.", 0);
    set_dialogue_option(first.get(), 1, 0, "I will look into it.", 0);
    write_villager_file("first0", *first);

    // Greetings: both guarded by conditions that hold at the start, so either may be spoken.
    auto start0 = villager_dialogue("villager_start0", {"Back again, Dovan? The water is still gone."});
    set_dialogue_option(start0.get(), 0, 0, "Continue", 0);
    set_dialogue_condition(start0.get(), 0, k_dia_quest_at_most, "watersupply", 1);
    write_villager_file("start0", *start0);
    auto start1 = villager_dialogue("villager_start1", {"Have you seen the bandits by the crate?"});
    set_dialogue_option(start1.get(), 0, 0, "Continue", 0);
    set_dialogue_condition(start1.get(), 0, k_dia_flag_equal, "encounter", 0);
    write_villager_file("start1", *start1);

    // The hero's questions: node 0 is the question, node 1 the answer; the second only once the
    // water quest is under way.
    auto question0 = villager_dialogue("villager_q0", {"Where is the spring?", "Up the hill, past the old oak."});
    set_dialogue_option(question0.get(), 1, 0, "Thank you.", 0);
    write_villager_file("question0", *question0);
    auto question1 = villager_dialogue("villager_q1", {"Who blocked the spring?", "Bandits, they say. They camp by the road."});
    set_dialogue_option(question1.get(), 1, 0, "I see.", 0);
    set_dialogue_condition(question1.get(), 0, k_dia_quest_at_least, "watersupply", 1);
    write_villager_file("question1", *question1);

    auto end0 = villager_dialogue("villager_end0", {"Safe travels, and mind the road."});
    set_dialogue_option(end0.get(), 0, 0, "Goodbye.", 0);
    write_villager_file("end0", *end0);

    write_text("data/dialogs/eng/close.txt", "^close\n");
}
