// The inhabitant's conversation: its dialogue files, the closing text, the task it gives in
// markup dialogue parts, its encounter script and the gate's level script.
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
    require(make_folder(k_folder) && make_folder("data/dialogs/eng/villager_task") && make_folder("data/scripts"),
            k_folder);

    // The first meeting: two numbered options, one to a second node, one to the questions.
    auto first = villager_dialogue("villager_first", {"Welcome, stranger. The well of our village has run dry.",
                                                      "The spring up the hill was blocked. Someone must clear it."});
    set_dialogue_option(first.get(), 0, 0, "What happened to the well?", 2);
    set_dialogue_option(first.get(), 0, 1, "I have questions.", 0);
    set_dialogue_option(first.get(), 1, 0, "I will look into it.", 0);
    write_villager_file("first0", *first);

    // Greetings, one for each turn of the water quest: before it is given, while the bandits
    // live, once they are dead (the gate's event sets the villager's memory 0 to 1), and after the
    // reward.
    struct greeting {
        const char* file;
        const char* text;
        uint16_t quest_kind;
        int32_t quest_state, bandits_dead;  // -1: either
    };
    const greeting greetings[] = {
        {"start0", "Back again, Dovan? The water is still gone.", k_dia_quest_at_most, 0, -1},
        {"start1", "Have you seen the bandits east of the gate? They keep us from the spring.", k_dia_quest_equal, 1, 0},
        {"start2", "The bandits are quiet. Was that your doing, Dovan?", k_dia_quest_equal, 1, 1},
        {"start3", "The water flows again. You are always welcome here, Dovan.", k_dia_quest_at_least, 2, -1},
    };
    for (const greeting& g : greetings) {
        auto d = villager_dialogue(g.file, {g.text});
        set_dialogue_option(d.get(), 0, 0, "Continue", 0);
        set_dialogue_condition(d.get(), 0, g.quest_kind, "watersupply", g.quest_state);
        if (g.bandits_dead >= 0)
            set_dialogue_condition(d.get(), 1, k_dia_char_memory0, "villager", g.bandits_dead);
        write_villager_file(g.file, *d);
    }

    // The hero's questions: node 0 is the question, node 1 the answer; the second only while the
    // water quest is under way and the bandits live.
    auto question0 = villager_dialogue("villager_q0", {"Where is the spring?", "Up the hill, past the old oak."});
    set_dialogue_option(question0.get(), 1, 0, "Thank you.", 0);
    write_villager_file("question0", *question0);
    auto question1 = villager_dialogue("villager_q1", {"Who blocked the spring?", "Bandits, they say. They camp east of the gate."});
    set_dialogue_option(question1.get(), 1, 0, "I see.", 0);
    set_dialogue_condition(question1.get(), 0, k_dia_quest_equal, "watersupply", 1);
    set_dialogue_condition(question1.get(), 1, k_dia_char_memory0, "villager", 0);
    write_villager_file("question1", *question1);

    // Offering help starts the task, while the water quest is not yet given.
    auto question2 = villager_dialogue("villager_q2", {"Can I help?", "^start_dialog villager_task"});
    set_dialogue_condition(question2.get(), 0, k_dia_quest_at_most, "watersupply", 0);
    write_villager_file("question2", *question2);

    // Once the gate's bandits are dead and while the water quest is under way (state 1), the hero
    // reports back and takes the reward; the reward moves the quest on, so it is offered once.
    auto question3 = villager_dialogue("villager_q3", {"The bandits are gone.", "^start_dialog villager_reward"});
    set_dialogue_condition(question3.get(), 0, k_dia_char_memory0, "villager", 1);
    set_dialogue_condition(question3.get(), 1, k_dia_quest_equal, "watersupply", 1);
    write_villager_file("question3", *question3);

    // The shop, in every talk.
    auto question4 = villager_dialogue("villager_q4", {"Show me your wares.", "^start_dialog villager_shop"});
    write_villager_file("question4", *question4);

    auto end0 = villager_dialogue("villager_end0", {"Safe travels, and mind the road."});
    set_dialogue_option(end0.get(), 0, 0, "Goodbye.", 0);
    write_villager_file("end0", *end0);

    write_text("data/dialogs/eng/close.txt", "^close\n");

    // The well's story, exported as markup parts the way the dialogue editor exports them; the
    // gate's well event starts it at its part "1".
    auto well = villager_dialogue("well_story", {"The well is dry, but the rope still hangs in it.",
                                                 "Far below, something glints in the mud."});
    std::snprintf(well->node_name[0], sizeof well->node_name[0], "1");
    std::snprintf(well->node_name[1], sizeof well->node_name[1], "2");
    set_dialogue_option(well.get(), 0, 0, "Look closer.", 2);
    set_dialogue_option(well.get(), 1, 0, "Leave it.", 0);
    require(export_dialogue_texts(well.get()), "well_story");

    // The task, started by "^start_dialog villager_task": the quest, a flag and a potion, then
    // the shop of the gate (container 1) or the way to the yard.
    write_text("data/dialogs/eng/villager_task/0.txt",
               "^window 50 420 900 700\n^dialog\n^l Villager:\n^l Take this potion and clear the spring for us.\n"
               "^assign_quest watersupply\n^set_flag spring_told\n^add_char_item HERO elixir 1\n^l\n"
               "^lnst 1. Show me your wares. ^lnend villager_shop/0.txt\n^l\n"
               "^lnst 2. Take me to the yard. ^lnend villager_task/yard.txt\n");
    require(make_folder("data/dialogs/eng/villager_shop"), "data/dialogs/eng/villager_shop");
    write_text("data/dialogs/eng/villager_shop/0.txt",
               "^window 50 420 900 700\n^dialog\n^l Villager:\n^l Have a look, friend.\n^shop 1 50 100\n^l\n"
               "^lnst Thank you. ^lnend close.txt\n");
    write_text("data/dialogs/eng/villager_task/yard.txt",
               "^window 50 420 900 700\n^dialog\n^l Villager:\n^l The yard is behind the gate. Follow me.\n"
               "^map dedina01.sav 0 villager_task/arrive.txt\n");
    require(make_folder("data/dialogs/eng/villager_reward"), "data/dialogs/eng/villager_reward");
    write_text("data/dialogs/eng/villager_reward/0.txt",
               "^window 50 420 900 700\n^dialog\n^l Villager:\n^l The water flows again. Take this, with our "
               "thanks.\n^complete_quest watersupply\n^set_quest_state watersupply 3\n^add_char_item HERO zlato 100\n^l\n"
               "^lnst Farewell. ^lnend close.txt\n");
    write_text("data/dialogs/eng/villager_task/arrive.txt",
               "^window 50 420 900 700\n^dialog\n^l The yard behind the gate.\n^l\n^lnst Continue ^lnend close.txt\n");

    // The level's greeting stays until the player goes on (Space or a click); its lines go into
    // the message log, and from here on the HUD offers the dream world. On the first entry (while
    // the flag "gate_lessons" is 0) the gate's lessons take its place: the same greeting, which
    // also teaches the hero three attunements and sets the flag. It speaks of the bandits, so it
    // is given only while they camp: not once the villager knows them dead (its memory 0, set by
    // the gate's event) nor after the water quest is done.
    const std::string greeting = "^window 50 50 640 150\n^center\n^gl_a 0.6\n^l The gate of the valley. A villager "
                                 "waits by the torches; bandits camp east of the gate.\n"
                                 "^l Left button: walk. Right button: strike. Key 2: drink a potion.\n";
    const std::string go_on = "^l\n^lnst Continue ^lnend close.txt\n";
    write_text("data/scripts/brana.txt",
               "^enable_dreamworld\n^if flagstate.gate_lessons = 0 ^then ^start_dialog gate_lessons ^endif\n"
               "^if queststate.watersupply >= 2 ^then ^close ^endif\n^if charmem0.villager != 0 ^then ^close ^endif\n" +
                   greeting + go_on);
    require(make_folder("data/dialogs/eng/gate_lessons"), "data/dialogs/eng/gate_lessons");
    write_text("data/dialogs/eng/gate_lessons/0.txt",
               greeting + "^add_attunement 175\n^add_attunement 179\n^add_attunement 180\n^set_flag gate_lessons\n"
                          "^l The old gate remembers its keepers: three of their ways come back to you.\n" + go_on);
}
