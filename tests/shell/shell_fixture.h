// A scratch working folder holding the demo data, and the shell's switches back at their
// start values, for tests that run start-up, frames and shutdown in-process. What a run leaves
// behind (the level's tables, the level paths, the camera, the effects, the settings, the level
// links) is put back as it was before the test.
#pragma once

#include "support/saved_globals.h"
#include "support/temp_folder.h"
#include "world/dream_world.h"
#include "world/weather.h"

#include <gtest/gtest.h>

#include <memory>

class shell_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up, `frames` frames (fewer when a quit comes first) and shutdown, as the entry runs them.
    void run(const char* command_line, int frames);

    // After the start-up of a level whose script greets the hero: frames until the greeting is up,
    // then Space on its single option, as a player goes on, until it no longer runs.
    // False when it stays.
    bool pass_greeting();

    // A second language `code` in the data, whole: a copy of every file English has under its
    // code (language_files).
    static void copy_english_as(const char* code);

    std::unique_ptr<temp_folder> folder_;

private:
    saved_globals saved_;
};
