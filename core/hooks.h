// Calls from a lower layer up to a higher one. The lower layer owns a table of function pointers
// (a hook table) that the higher layer fills at start-up; a member left null means the subsystem
// behind it is not built, and the call is skipped.
#pragma once

#include <type_traits>

// Logs "<hook>: nie je, preskakujem" the first time a hook of that name is skipped in this run.
void log_hook_skipped(const char* hook);

// Forgets which skips were logged, so the next skip of each hook is logged again.
void reset_hook_skip_log();

// Calls the hook, or logs its skip once.
template <class... Args>
void run_hook(void (*hook)(Args...), const char* name, std::type_identity_t<Args>... args)
{
    if (hook)
        hook(args...);
    else
        log_hook_skipped(name);
}

// Calls the hook and gives its result, or logs its skip once and gives `fallback`.
template <class R, class... Args>
R run_hook_or(R (*hook)(Args...), const char* name, std::type_identity_t<R> fallback,
              std::type_identity_t<Args>... args)
{
    if (hook)
        return hook(args...);
    log_hook_skipped(name);
    return fallback;
}
