// File times as the save list shows them: the Windows FILETIME of a time in seconds and the
// local date text of a FILETIME.
#pragma once

#include <cstddef>
#include <cstdint>

// 100-nanosecond intervals since 1601-01-01 UTC, split into two 32-bit words.
struct filetime {
    uint32_t low, high;
};

// Seconds since 1970-01-01 UTC as a FILETIME: seconds x 10,000,000 + 116,444,736,000,000,000 as a
// signed 64-bit sum, its low and high 32 bits. False, `out` unchanged, when the sum does not fit
// in 64 bits. Pure.
bool time_to_filetime(int64_t seconds, filetime* out);

// The FILETIME's instant in the local time zone (TZ, localtime_r) written as
// "%02d/%02d/%d  %02d:%02d" (month, day, year, hour, minute). False, `out` empty, when the time
// has no calendar date.
bool local_date_text(const filetime& time, char* out, size_t size);
