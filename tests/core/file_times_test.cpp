#include "core/file_times.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

// The process's time zone set to `zone` while the object lives, then put back.
class time_zone {
public:
    explicit time_zone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~time_zone()
    {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    time_zone(const time_zone&) = delete;
    time_zone& operator=(const time_zone&) = delete;

private:
    std::optional<std::string> saved_;
};

std::string date_of(int64_t seconds)
{
    filetime time{};
    char text[64] = "unchanged";
    if (!time_to_filetime(seconds, &time) || !local_date_text(time, text, sizeof text))
        return "none";
    return text;
}

TEST(FileTimes, FiletimeWordsAndTheLocalDateAcrossZonesDaylightSavingAnd2038)
{
    filetime epoch{};
    ASSERT_TRUE(time_to_filetime(0, &epoch));
    EXPECT_EQ(epoch.low, 0xD53E8000u);  // 116,444,736,000,000,000
    EXPECT_EQ(epoch.high, 0x019DB1DEu);
    filetime before{};
    ASSERT_TRUE(time_to_filetime(-1, &before));  // a signed sum: one second earlier
    EXPECT_EQ(uint64_t(before.high) << 32 | before.low, 116444736000000000ull - 10000000ull);
    filetime kept{7, 9};
    EXPECT_FALSE(time_to_filetime(int64_t(1) << 60, &kept));  // beyond 64 bits: refused, untouched
    EXPECT_EQ(kept.low, 7u);
    EXPECT_EQ(kept.high, 9u);

    {
        time_zone zone("CET-1CEST,M3.5.0,M10.5.0/3");
        EXPECT_EQ(date_of(1700000000), "11/14/2023  23:13");  // 22:13:20 UTC, winter time
        EXPECT_EQ(date_of(1690000000), "07/22/2023  06:26");  // 04:26:40 UTC, summer time
        EXPECT_EQ(date_of(4102444800), "01/01/2100  01:00");  // past 2038
        EXPECT_EQ(date_of(-1), "01/01/1970  00:59");
    }
    time_zone zone("XST+5");
    EXPECT_EQ(date_of(1700000000), "11/14/2023  17:13");
    char small[8] = "x";
    ASSERT_TRUE(time_to_filetime(1700000000, &epoch));
    EXPECT_FALSE(local_date_text(epoch, small, sizeof small));  // does not fit: empty
    EXPECT_STREQ(small, "");
}

} // namespace
