#include "tools/demo/demo_data.h"

#include "engine/ui_texts.h"
#include "platform/files.h"

#include <map>
#include <string>

namespace {

// The English UI texts by number; numbers not listed get a neutral label.
const std::map<int, const char*> k_english = {
    {0, "New Game"}, {1, "Load Game"}, {2, "Save Game"}, {3, "Settings"}, {4, "Credits"},
    {5, "Quit"}, {6, "HP"}, {7, "Day"}, {8, "Open quests"}, {9, "Completed quests"},
    {10, "Learned attunements"}, {11, "Active attunements"}, {12, "Melee"}, {13, "Ranged"}, {14, "Magic"}, {15, "Speed"},
    {16, "Skill points"}, {17, "Level"}, {18, "Experience"}, {19, "Next level"}, {20, "Mana"},
    {21, "Stamina"}, {22, "Hit points"}, {23, "Damage"}, {24, "Armour class"}, {25, "Block"},
    {26, "Dodge"}, {27, "Resistances"}, {28, "points"}, {29, "gold coin"}, {30, "gold coins"},
    {31, "Shield"}, {32, "Location:"}, {33, "Weapons"}, {34, "Focus"}, {35, "Quick items"},
    {36, "Empty"}, {37, "Choose attunements"}, {38, "Active attunements"}, {39, "Attuned"}, {40, "in progress"},
    {41, "Fire"}, {42, "Water"}, {43, "Air"}, {44, "Earth"}, {45, "Kind"}, {46, "Sells for"},
    {47, "Price"}, {48, "Type"}, {49, "Critical chance"}, {50, "Critical damage"},
    {51, "Element"}, {52, "Block factor"}, {53, "Covers"}, {54, "Armour"}, {55, "Weight"},
    {56, "Amount"}, {57, "Attunement"}, {58, "Attunement learned"}, {59, "Quest"}, {60, "Melee"},
    {61, "Ranged"}, {62, "Armour"}, {63, "Boots"}, {64, "Ring"}, {65, "Necklace"}, {66, "Cloak"},
    {67, "Healing Item"}, {68, "Container"}, {69, "Gem"}, {70, "Fast"}, {71, "Normal"},
    {72, "Heavy"}, {73, "Small"}, {74, "Medium"}, {75, "Large"}, {76, "Body"}, {77, "Head"},
    {78, "Legs"}, {79, "Right Arm"}, {80, "Left Arm"}, {81, "Weapon"}, {82, "No Shield"},
    {83, "No Armour"}, {84, "Light Armour"}, {85, "Heavy Armour"}, {86, "Fast Melee"},
    {87, "Normal Melee"}, {88, "Heavy Melee"}, {89, "Dreamworld"}, {90, "No Element"},
    {91, " Element"}, {92, " Element Focus"}, {93, "You feel stronger."},
    {94, "Your backpack is full."}, {95, "is stunned!"}, {96, "You have found"}, {97, "gold"},
    {98, "You have rested for"}, {99, "hours"}, {100, "New attunement:"}, {101, "It is locked."},
    {102, "has received 5 attunement points"}, {109, "You have learned"}, {110, "blocks the blow"},
    {111, "dodges the blow"}, {112, "takes"}, {113, "damage"},
    {114, "slain"}, {115, "has gained"}, {116, "experience"},
    {117, "You have taken"}, {118, "You have lost"}, {119, "Level up!"}, {120, "Light"},
    {121, "Heavy"}, {122, "None"}, {123, "Welcome, traveller."}, {124, "Quest"},
    {125, "completed"}, {126, "Back"}, {127, "Name"}, {128, "You cannot rest while enemies are near!"},
    {129, "Graphics"}, {130, "Sound"}, {131, "Gamma"}, {132, "Detail"}, {133, "Low particles"},
    {134, "Shadows"}, {135, "Force 16 bit"}, {136, "Disable lights"}, {137, "Weather"},
    {138, "Show statistics"}, {139, "Run windowed"}, {140, "W-buffer"}, {141, "Music volume"},
    {142, "Sound volume"}, {143, "Swap channels"}, {144, "Mute all"}, {145, "Environment audio"},
    {146, "Choose two attunements"}, {147, "Choose one more attunement"},
    {148, "Attunements chosen"}, {149, "Click to continue."},
    {150, "New location added to the map."}, {151, "New quest assigned."}, {152, "Quest completed."},
    {153, "No"}, {154, "Are you sure?"}, {155, "Quick save"}, {156, "Game saved."},
    {157, "Game loaded."}, {158, "Continue"}, {159, "Farewell."}, {160, "Book"},
    {161, "Attunement"}, {162, "points"}, {163, "Travel"}, {164, "New quests assigned."},
    {165, "Quests completed."},
    {166, "Difficulty"}, {167, "Easy"}, {168, "Normal"}, {169, "Hard"}, {170, "Very hard"},
    {171, "Nightmare"},
};

void write(const char* name, const std::string& text)
{
    require(write_whole_file(name, text.data(), text.size()), name);
}

// Lines ended by carriage return and line feed, as the data files are.
std::string lines(std::initializer_list<const char*> items)
{
    std::string text;
    for (const char* item : items)
        text += std::string(item) + "\r\n";
    return text;
}

} // namespace

void write_text_demo_data()
{
    std::string ui;
    for (int n = 0; n < k_ui_text_count; ++n) {
        auto found = k_english.find(n);
        ui += (found != k_english.end() ? std::string(found->second) : "Text " + std::to_string(n)) + "\r\n";
    }
    write("global/text_eng.txt", ui);

    write("global/chars_eng.txt", lines({"Strazca;Guard", "Kovac;Smith", "Starec;Old man", "Vlk;Wolf"}));
    write("global/itemnames_eng.txt",
          lines({"0;mec;Sword", "1;stit;Shield", "2;luk;Bow", "3;elixir;Healing Potion"}));

    require(make_folder("data/leveltext/eng/Brana"), "data/leveltext");
    write("data/leveltext/eng/Brana/levelname", lines({"The Gate"}));
    write("data/leveltext/eng/Brana/tabula.txt", "The road north is closed until the spring thaw.");
}
