// A test helper: the id of a process that has ended (a child started, ended and reaped).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

inline pid_t ended_process_id()
{
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return child;
}
