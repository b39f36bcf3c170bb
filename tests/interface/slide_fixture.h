// The slide shows under test: a scratch folder, a recording device, the headless mixer, the
// three show records empty, the interface's hooks recording their calls and the narration's
// activity scripted. Every global the shows read or set is given back as the test found it.
#pragma once

#include "core/settings.h"
#include "engine/render_context.h"
#include "core/game_globals.h"
#include "engine/lights.h"
#include "interface/interface_links.h"
#include "interface/slide_shows.h"
#include "platform/recording_device.h"
#include "support/temp_folder.h"
#include "world/scene_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class slide_test : public ::testing::Test {
public:
    // The hook calls so far, as "name" or "name:argument".
    static std::vector<std::string>& calls();

protected:
    void SetUp() override;
    void TearDown() override;

    // Whether the scripted narration still plays (the activity test the shows see).
    static bool& narration_playing();
    // The real activity test instead of the scripted one.
    void use_mixer_activity();

    // Writes a short narration "data/sound/slide/<language>/<name>.ogg".
    static void write_narration(const char* language, const char* name);
    // Writes a 64 x 64 tile image of one colour, without syncing it (tests write many).
    static void write_tile(const std::string& path, uint32_t argb);

    // Writes every tile of a picture of `rows` rows into `folder` ("data/slides/zudevu/").
    static void write_picture(const std::string& folder, int rows);

    // Advances the clock past the show's due tick and plays one frame: exactly one step. The
    // device's recording starts afresh.
    void step(void (*play)());
    // Steps while `field` holds `value` (at most 2000); the number of steps taken.
    template <class Field>
    int steps_while(void (*play)(), const Field& field, std::type_identity_t<Field> value)
    {
        int steps = 0;
        for (; field == value && steps < 2000; ++steps)
            step(play);
        return steps;
    }

    std::unique_ptr<temp_folder> folder_;
    std::unique_ptr<recording_device> device_;

private:
    // A function that gives `global` back the value it has now.
    template <class T>
    static std::function<void()> keep_value(T& global)
    {
        auto saved = std::make_shared<T>();
        std::memcpy(saved.get(), &global, sizeof(T));
        return [&global, saved] { std::memcpy(&global, saved.get(), sizeof(T)); };
    }

    std::vector<std::function<void()>> restorers_;
};
