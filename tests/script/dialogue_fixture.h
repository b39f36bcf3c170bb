// The text-window tests' set-up with a character table (the hero "hero_key", shown as "Aren", in
// slot 0 and the inhabitant "villager" in slot 1), empty quest and flag tables and the dialogue
// record cleared; every one of them is given back as found. Dialogue files are written with the
// demo data's writer.
#pragma once

#include "script/dialogues.h"
#include "script/text_window_fixture.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "tools/demo/dialogue_file_writer.h"

#include <string>

class dialogue_test : public text_window_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A dialogue record with `nodes` nodes named n0, n1, ... spoken by the villager, each with the
    // text "text <n>".
    static std::unique_ptr<dialogue_record> make_dialogue(const char* name, int nodes);
    // Writes the record as "data/dia/eng/villager/<file>.dia2".
    static void write_villager_file(const std::string& file, const dialogue_record& d);

    item_table_guard items_;
    saved_globals saved_;
};
