// The item tests' world: an empty texture table on a recording device, free template slots, a
// headless audio device with an empty sound table, the console log on, the item table kept, and
// the folders "global", "data/predmety/ground" and "data/sound".
#pragma once

#include "core/globals.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "support/item_table_guard.h"
#include "world/object_fixture.h"
#include "world/object_protos.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

constexpr int k_item_test_rate = 22050;

class item_media_test : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot)
            g_object_protos[slot].kind = k_proto_free;
        ASSERT_TRUE(make_folder("global"));
        ASSERT_TRUE(make_folder("data/predmety/ground"));
        ASSERT_TRUE(make_folder("data/sound"));
        audio_init_headless(k_item_test_rate);
        g_sound_enabled = 1;
        sound_init();
        g_console_enabled = 1;
    }
    void TearDown() override
    {
        g_console_enabled = 0;
        silence_all_sounds();
        audio_shutdown();
        g_sound_enabled = 0;
        sound_init();
        object_test::TearDown();
    }
    static void write_tone(const std::string& name)
    {
        std::vector<int16_t> pcm(200, 3000);
        ASSERT_TRUE(write_wav_file(("data/sound/" + name + ".wav").c_str(), pcm.data(), 1, k_item_test_rate, 200));
    }
    static void write_ground_model(const char* path)
    {
        const int32_t scratch = k_proto_slots - 1;
        object_proto& p = g_object_protos[scratch];
        reset_object_proto(&p);
        p.kind = k_proto_sprite;
        packed_stream* out = stream_open(path, "wp");
        ASSERT_NE(out, nullptr);
        ASSERT_TRUE(write_object_proto(scratch, out));
        ASSERT_EQ(stream_close(out), 0);
        reset_object_proto(&p);
    }
    item_table_guard guard_;
};

