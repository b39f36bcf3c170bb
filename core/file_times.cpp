#include "core/file_times.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr int64_t k_ticks_per_second = 10'000'000;
constexpr int64_t k_ticks_to_1970 = 116'444'736'000'000'000;

} // namespace

bool time_to_filetime(int64_t seconds, filetime* out)
{
    int64_t ticks = 0;
    if (__builtin_mul_overflow(seconds, k_ticks_per_second, &ticks) ||
        __builtin_add_overflow(ticks, k_ticks_to_1970, &ticks))
        return false;
    const uint64_t bits = uint64_t(ticks);
    out->low = uint32_t(bits);
    out->high = uint32_t(bits >> 32);
    return true;
}

bool local_date_text(const filetime& time, char* out, size_t size)
{
    if (size > 0)
        out[0] = '\0';
    const int64_t ticks = int64_t(uint64_t(time.high) << 32 | time.low);
    int64_t since_1970 = 0;
    if (__builtin_sub_overflow(ticks, k_ticks_to_1970, &since_1970))
        return false;
    int64_t seconds = since_1970 / k_ticks_per_second;
    if (since_1970 % k_ticks_per_second < 0)
        --seconds;  // whole seconds toward the past
    const time_t t = time_t(seconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return false;
    const int written = std::snprintf(out, size, "%02d/%02d/%d  %02d:%02d", local.tm_mon + 1, local.tm_mday,
                                      local.tm_year + 1900, local.tm_hour, local.tm_min);
    if (written > 0 && size_t(written) < size)
        return true;
    if (size > 0)
        out[0] = '\0';
    return false;
}
