// The demo started in-process in game mode at the gate level, for the tests of the level
// requests and the travel map; the requests, the known locations and the quests are put back
// as they were.
#pragma once

#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "script/quests.h"
#include "shell/program.h"
#include "shell/shell_fixture.h"
#include "shell/travel_map.h"

class request_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        kept_.keep(g_pending_level), kept_.keep(g_load_twice), kept_.keep(g_new_game_request);
        kept_.keep(g_map_locations_open), kept_.keep(g_travel_map_fade_tick), kept_.keep(g_dialogue_running);
        kept_.keep(g_quests), kept_.keep(g_quest_count), kept_.keep(g_flags), kept_.keep(g_flag_count);
        reset_hook_skip_log();
    }
    void TearDown() override
    {
        if (started_)
            program_shutdown(true);
        shell_test::TearDown();
        kept_.restore();
    }

    // Start-up with the console on (its log is read) in the gate level.
    void start(const char* command_line = "zorv console brana.sav")
    {
        g_shell_trace = nullptr;
        started_ = program_startup(command_line);
        ASSERT_TRUE(started_);
        g_shell_trace = &trace_;
    }

    // The entries of the trace that are among `names`, in order.
    std::vector<std::string> traced(const std::vector<std::string>& names) const
    {
        std::vector<std::string> out;
        for (const std::string& entry : trace_)
            for (const std::string& name : names)
                if (entry == name)
                    out.push_back(entry);
        return out;
    }

    std::vector<std::string> trace_;
    bool started_ = false;

private:
    saved_globals kept_;
};
