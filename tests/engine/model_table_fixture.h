// A scratch folder with empty model and texture tables, the screen at 640 pixels (no load-time
// scaling) and the debug log on, for the model tests.
#pragma once

#include "core/console_log.h"
#include "core/globals.h"
#include "engine/models.h"
#include "engine/textures.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

class model_table_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_screen_width = 640;
        g_console_enabled = 1;
        g_console_history_count = 0;
        std::memset(g_console_history, 0, sizeof g_console_history);
        clear_models();
        clear_texture_table();
    }
    void TearDown() override
    {
        clear_models();
        g_console_enabled = 0;
        clear_texture_table();
    }

    static void clear_models()
    {
        for (model& m : g_models)
            m = model{};
        g_model_count = 0;
    }

    // True when one of the last lines logged holds the text.
    static bool logged(const char* text)
    {
        for (int i = 0; i < k_console_history_lines; ++i)
            if (std::strstr(g_console_history[i], text))
                return true;
        return false;
    }

    temp_folder folder;
};
