// A test helper that makes writes fail: while a file_size_limit lives, writing beyond the given
// size into any file fails (the process's file-size limit; its signal is ignored), whatever the
// user's rights.
#pragma once

#include <sys/resource.h>

#include <csignal>

class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~file_size_limit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    rlimit saved_{};
};
