// UtcTime against the platform's FILETIME, SYSTEMTIME and clock.
#include "utctime_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>

namespace {

TEST(UnixTimeToFileTime, ScalesAndOffsets) {
    struct Case {
        UtcTime t;
        uint64_t expected;
    };
    const Case cases[] = {
        {0, 116444736000000000ULL},
        {1, 116444736010000000ULL},
        {-1, 116444735990000000ULL},
        {2147483647, 116444736000000000ULL + 21474836470000000ULL},
        {INT32_MIN, 116444736000000000ULL - 21474836480000000ULL},
    };
    for (const auto &c : cases) {
        FILETIME ft = {0xdeadbeef, 0xdeadbeef};
        EXPECT_EQ(UnixTimeToFileTime(c.t, &ft), c.expected) << c.t;
        EXPECT_EQ(((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime, c.expected) << c.t;
    }
}

TEST(UnixTimeToSystemTime, BrokenDownUtc) {
    struct Case {
        UtcTime t;
        WORD year, month, dayOfWeek, day, hour, minute, second;
    };
    const Case cases[] = {
        {946684800, 2000, 1, 6, 1, 0, 0, 0},
        {1709251199, 2024, 2, 4, 29, 23, 59, 59},
        {2147483647, 2038, 1, 2, 19, 3, 14, 7},
        {-1, 1969, 12, 3, 31, 23, 59, 59},   // before 1970 is a time, not an error
    };
    for (const auto &c : cases) {
        SYSTEMTIME st;
        ASSERT_NE(UnixTimeToSystemTime(c.t, &st), 0) << c.t;
        EXPECT_EQ(st.wYear, c.year) << c.t;
        EXPECT_EQ(st.wMonth, c.month) << c.t;
        EXPECT_EQ(st.wDayOfWeek, c.dayOfWeek) << c.t;
        EXPECT_EQ(st.wDay, c.day) << c.t;
        EXPECT_EQ(st.wHour, c.hour) << c.t;
        EXPECT_EQ(st.wMinute, c.minute) << c.t;
        EXPECT_EQ(st.wSecond, c.second) << c.t;
        EXPECT_EQ(st.wMilliseconds, 0) << c.t;
    }
}

TEST(GetUtcFileTimeNow, AgreesWithTheRuntimeClock) {
    uint64_t before = UnixTimeToFileTime(static_cast<UtcTime>(time(nullptr)), nullptr);
    uint64_t now = GetUtcFileTimeNow();
    uint64_t after = UnixTimeToFileTime(static_cast<UtcTime>(time(nullptr)) + 1, nullptr);
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}

}  // namespace
