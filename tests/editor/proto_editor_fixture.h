// The prototype, particle and level pages on an empty prototype table and object array with
// textures on a recording device: the pages' globals kept, dialogs and responders cleared after
// each test, and helpers that answer the file chooser and read the pages' controls.
#pragma once

#include "world/object_fixture.h"
#include "tests/editor/dialog_texts.h"

#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "support/saved_globals.h"

#include <cstdint>
#include <string>
#include <vector>

class page_test : public object_test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The next file choosers take these names in turn (an empty name cancels); a message box in
    // between is answered OK and its text kept in boxes_.
    void choose(std::vector<std::string> names);
    // A level prototype of the kind named `name`.
    static int32_t add_named(const char* name, int32_t kind = 0);
    // An object of the prototype in use on the layer.
    static int32_t place(int32_t proto, uint8_t layer = 0);

    std::vector<std::string> boxes_;
    saved_globals saved_;
};
