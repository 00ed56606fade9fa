#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>

#include "platform/TimeText.h"

using namespace quilvane;

namespace {

// Runs the tests of one fixture in a given time zone and restores the previous one.
class TimeZoneTest : public ::testing::Test {
protected:
    void UseZone(const char* zone)
    {
        setenv("TZ", zone, 1);
        tzset();
    }
    void SetUp() override
    {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (hadZone_) {
            oldZone_ = old;
        }
    }
    void TearDown() override
    {
        if (hadZone_) {
            setenv("TZ", oldZone_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool hadZone_ = false;
    std::string oldZone_;
};

// 2026-12-06 19:36:20 UTC, which is Monday 2026-12-07 04:36:20 in Tokyo.
constexpr std::time_t Sample = 1796585780;

} // namespace

TEST(SpanText, DaysHoursMinutesSeconds)
{
    EXPECT_EQ(FormatSpan(3725), "00 01:02:05");
    EXPECT_EQ(FormatSpan(0), "00 00:00:00");
    EXPECT_EQ(FormatSpan(100 * 86400 + 59), "100 00:00:59");
    EXPECT_EQ(FormatSpan(86400 + 23 * 3600), "01 23:00:00");
}

TEST(SpanText, OutOfRangeSpansSaturate)
{
    struct Case {
        std::int64_t seconds;
        const char* text;
    };
    const Case cases[] = {
        {-1, "00 00:00:00"},
        {std::numeric_limits<std::int32_t>::min(), "00 00:00:00"},
        {std::numeric_limits<std::int32_t>::max(), "24855 03:14:07"},
        {std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1, "24855 03:14:07"},
        {std::numeric_limits<std::int64_t>::max(), "24855 03:14:07"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSpan(c.seconds), c.text) << c.seconds;
    }
    // The difference of two moments is taken without wrapping.
    constexpr std::int32_t Earliest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t Latest = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(FormatSpanBetween(Earliest, Latest), "24855 03:14:07");
    EXPECT_EQ(FormatSpanBetween(Latest, Earliest), "00 00:00:00");
    EXPECT_EQ(FormatSpanBetween(1000, 4725), "00 01:02:05");
}

TEST_F(TimeZoneTest, MomentIsLocalTime)
{
    UseZone("Asia/Tokyo");
    EXPECT_EQ(FormatMoment(static_cast<std::int32_t>(Sample)), "2026/12/07  04:36:20");
    UseZone("UTC");
    EXPECT_EQ(FormatMoment(static_cast<std::int32_t>(Sample)), "2026/12/06  19:36:20");
}

TEST_F(TimeZoneTest, CtimeHasZeroPaddedDayAndLineFeed)
{
    UseZone("Asia/Tokyo");
    EXPECT_EQ(WindowsCtime(Sample), "Mon Dec 07 04:36:20 2026\n");
    UseZone("America/New_York");
    EXPECT_EQ(WindowsCtime(Sample), "Sun Dec 06 14:36:20 2026\n");
}
