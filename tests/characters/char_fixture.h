// A scratch working folder with an empty character table, model registry, move-prototype table,
// object array and light table, the console log on, the clocks at known values and the view at
// 1024 x 768, zoom 1, camera at the origin, for the character tests. The table, the player slot,
// the lights, the dream world, the clocks and the view are restored afterwards.
#pragma once

#include "characters/char_record.h"
#include "engine/lights.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class char_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::unique_ptr<temp_folder> folder_;
    saved_globals saved_;
};

// Writes one ".3d" file per part into "3d/<appearance>/<set>/<clip>/", each a small grid model of
// `frames` frames.
void write_clip(const char* appearance, int set, const char* clip, std::initializer_list<const char*> parts,
                int frames);
// Slot `slot` as a fresh character of that appearance and kind, the count raised to include it.
char_record& make_char(int slot, const char* appearance, uint8_t kind);
// The console log written so far.
std::string log_text();
