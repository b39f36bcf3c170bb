#include "tools/demo/demo_data.h"

#include "engine/ui_texts.h"
#include "platform/files.h"

#include <iterator>
#include <string>

namespace {

// The English UI texts, entry n on line n, each worded for the place the interface shows it.
const char* const k_english[] = {
    // 0-5: the HUD buttons' tooltips; 6, 7: the hit-point word and the day.
    "Menu", "Inventory", "Character", "Quest log", "Attunements", "Dream world", "HP", "Day",
    // 8-11: the quest log's and the attunement panel's headings.
    "Open quests", "Completed quests", "Learned attunements", "Active attunements",
    // 12-27: the skills and the character panel's rows.
    "Melee", "Ranged", "Magic", "Speed", "Skill points", "Level", "Experience", "Next level",
    "Critical chance", "Critical damage", "Attack speed", "Damage", "Armour class", "Armour weight", "Block",
    "Dodge",
    // 28-32: units, the shield, the automatic save's name.
    "points", "gold coin", "gold coins", "Shield", "Location:",
    // 33-36: the quick-slot pull-down; 37, 38: the attunement selection's headings.
    "Weapons", "Focus", "Quick items", "Empty the slot", "Choose attunements", "Active attunements",
    // 39-58: tooltip words.
    "Attuned", "in progress", "Fire", "Water", "Air", "Earth", "Kind", "Sells for", "Price", "Type",
    "Critical chance", "Critical damage", "Element", "Block factor", "Covers", "Armour", "Weight", "Amount",
    "Attunement", "Attunement learned",
    // 59-92: item classes and the tooltips' other names.
    "Quest", "Melee", "Ranged", "Armour", "Boots", "Ring", "Necklace", "Cloak", "Healing Item", "Container",
    "Gem", "Fast", "Normal", "Heavy", "Small", "Medium", "Large", "Body", "Head", "Legs", "Right Arm",
    "Left Arm", "Weapon", "No Shield", "No Armour", "Light Armour", "Heavy Armour", "Fast Melee",
    "Normal Melee", "Heavy Melee", "Dreamworld", "No Element", " Element", " Element Focus",
    // 93-128: the message log.
    "bears the hex mark.", "Your backpack is full.", "is stunned!", "You recover", "hit points.",
    "Your wounds leave a mark of", "health", "New attunement:", "It is locked.",
    "has received 5 attunement points.", "You cannot save while talking.", "There is no room for more saves.",
    "You cannot save during a fight.", "- game saved.", "The save cannot be read.", "loaded.", "You enter",
    "blocks the blow", "dodges the blow", "takes", "damage", "slain", "has gained", "experience",
    "You have taken", "Out of your pack:", "Level up!", "Light", "Heavy", "None", "Welcome, traveller.",
    "Quest", "completed", "Back", "Name", "You cannot rest while enemies are near!",
    // 129-145: the settings pages.
    "Graphics", "Sound", "Gamma", "Detail", "Low particles", "Shadows", "Force 16 bit", "Disable lights",
    "Weather", "Show statistics", "Run windowed", "W-buffer", "Music volume", "Sound volume",
    "Swap channels", "Mute all", "Environment audio",
    // 146-154: the new-hero page and the story's messages.
    "Choose two attunements", "Choose one more attunement", "Attunements chosen", "Click to continue.",
    "New location added to the map.", "New quest assigned.", "Quest completed.", "No", "Are you sure?",
    // 155-158: the quick save's row and messages.
    "Quick save", "Quick save", "done.", "loaded.",
    // 159-165: the leave option, books, the notice icons, the loading screen, the story's messages.
    "Farewell.", "Book", "A new attunement: open the attunements (A)",
    "Skill points to spend: open the character panel (C)", "Loading...", "New quests assigned.",
    "Quests completed.",
    // 166-171: the new-hero page's difficulty.
    "Difficulty", "Easy", "Normal", "Hard", "Very hard", "Nightmare",
};
static_assert(std::size(k_english) == k_ui_text_count);

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
    for (const char* text : k_english)
        ui += std::string(text) + "\r\n";
    write("global/text_eng.txt", ui);

    write("global/chars_eng.txt", lines({"Bandita;Bandit", "Dedincan;Villager", "Panos;Squire", "Bandita saman;Bandit shaman"}));
    write("global/itemnames_eng.txt",
          lines({"0;mec;Sword", "1;stit;Shield", "2;luk;Bow", "3;elixir;Healing Potion"}));

    require(make_folder("data/leveltext/eng/Brana"), "data/leveltext");
    write("data/leveltext/eng/Brana/levelname", lines({"The Gate"}));
    write("data/leveltext/eng/Brana/tabula.txt", "The road north is closed until the spring thaw.");
}
