#include "tools/demo/demo_data.h"

#include "core/settings.h"
#include "platform/files.h"


void write_shell_demo_data()
{
    for (const char* folder : {"global", "data", "save", "3d"})
        require(make_folder(folder), folder);

    // A window rather than the full screen, so the demo does not take over the display.
    game_settings settings;
    config_set_defaults(&settings);
    settings.gr_runwindowed = 1;
    require(config_write(&settings), "config.cfg");
}
