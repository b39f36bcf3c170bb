// The FFmpeg libraries as the platform layer uses them: they log nothing; failures are results.
#pragma once

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

inline void quiet_av_library()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}
