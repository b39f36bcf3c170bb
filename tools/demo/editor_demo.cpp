// The editor's help texts: "readme.txt" and the texts under "doc/" that the command window's
// help menu shows.
#include "tools/demo/demo_data.h"

#include "platform/files.h"

#include <initializer_list>
#include <string>

namespace {

void write_lines(const char* name, std::initializer_list<const char*> items)
{
    std::string text;
    for (const char* item : items)
        text += std::string(item) + "\r\n";
    require(write_whole_file(name, text.data(), text.size()), name);
}

} // namespace

void write_editor_demo_data()
{
    require(make_folder("doc"), "doc");
    write_lines("readme.txt", {
        "ZORV with its level editor",
        "",
        "Start the game with \"editor\" on the command line to edit levels and tables.",
        "The command window (top left) loads and saves level maps, exchanges the",
        "mapinfo (*.mv) and sortinfo (*.inf) files and opens the editors; the tabs",
        "under it switch the page shown below them. The help menu shows these texts.",
    });
    write_lines("doc/help.txt", {
        "Editor keys (the mouse over the game view)",
        "",
        "F1          inserting: place objects with the brush",
        "F2          editing: pick, move and change objects",
        "F3          lights",
        "F4          movement map and sectors",
        "F5          character placements",
        "F6          ground items",
        "F7          monster points",
        "Tab         game test: play the level as it is",
        "F8          wide view without the editor windows, and back",
        "NUMPAD1/2   active layer down / up (0 to 32)",
        "G           cursor grid on / off (not in lights and characters)",
        "Arrows      scroll the view",
        "F9 / F10    zoom out / in, F11 zoom 1",
        "Ctrl+S      save the map to its file",
        "Ctrl+Z      undo the last change",
        "",
        "Edit, then play",
        "",
        "1. file / new map reads the template global/empty.",
        "2. Mouse over the view, F1: click to place objects (Page Down: next",
        "   prototype); Ctrl+Z takes the last one back.",
        "3. F3, Space: a light; drag it, hold J to raise its range.",
        "4. F4, Space at four corners and the first again: a closed sector.",
        "5. rpg / spells: choose a spell, change its mana, UPDATE.",
        "6. rpg / item: ADD, choose the new item, fill in name, desc, type, price,",
        "   interface and model names, UPD; add an effect with its spell.",
        "7. Tab Cont.: new makes a container; Insert puts the item in a cell.",
        "8. optios / event: new; player in sector with the sector's number,",
        "   open container with the container's slot (0 for the first); update.",
        "9. Tab Level: choose villager.chr; F5, Space places it.",
        "10. F7, Space: a monster point; tab MPoint: a class and level for it.",
        "11. file / save map as data/levels/edited.sav; Ctrl+S writes over it.",
        "12. Close the window; start the game with console, begin a new game,",
        "    type load edited.sav in the console (the key left of 1), and walk",
        "    into the sector: the chest opens.",
    });
    write_lines("doc/faq.txt", {
        "Questions",
        "",
        "Why does Ctrl+S not save? The map has no file yet: use file / save map once.",
        "Why do keys not reach the view? Move the mouse over it and leave the text field.",
    });
    write_lines("doc/zmeny.txt", {
        "Changes",
        "",
        "- command window, mode tabs and the editor keys beside the game view",
    });
    write_lines("doc/povrch.txt", {
        "Surfaces",
        "",
        "A surface prototype lays its tiles over the ground in the active layer.",
    });
    write_lines("doc/textures.txt", {
        "Textures",
        "",
        "Object textures are TGA, BMP or DDS files; a level's textures come from its pack.",
    });
    write_lines("doc/limity.txt", {
        "Limits",
        "",
        "objects per level: 150000",
        "lights per level: 100",
        "layers: 0 to 32",
        "zoom: 0.05 and more",
    });
    write_lines("doc/todo.txt", {
        "To do",
        "",
        "- the pages of the tabs and the free-standing editors",
    });
}
