#include "core/hooks.h"

#include "core/console_log.h"

#include <set>
#include <string>

namespace {

std::set<std::string>& logged_skips()
{
    static std::set<std::string> names;
    return names;
}

} // namespace

void log_hook_skipped(const char* hook)
{
    if (logged_skips().insert(hook).second)
        console_log("%s: nie je, preskakujem", hook);
}

void reset_hook_skip_log()
{
    logged_skips().clear();
}
