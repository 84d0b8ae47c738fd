// UtcTime from broken-down times, days and ODBC timestamps, in several time
// zones, at the edges of the 32-bit range.
#include "utctime.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "odbc_types.h"

namespace {

void SetZone(const char *tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz);
    _tzset();
#else
    setenv("TZ", tz, 1);
    tzset();
#endif
}

// Zones with odd offsets both sides of UTC, with and without summer time.
const char *const kZones[] = {"UTC0", "NPT-05:45", "NST+03:30NDT", "CET-1CEST", "PST8PDT", "AEST-10AEDT"};

struct tm Tm(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    struct tm tm;
    memset(&tm, 0, sizeof tm);
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return tm;
}

struct TimeCase {
    const char *name;
    struct tm tm;
    UtcTime expected;
};

TEST(MakeUtcTime, ReadsTheRecordAsUtcInEveryZone) {
    const TimeCase cases[] = {
        {"epoch", Tm(1970, 1, 1), 0},
        {"2000", Tm(2000, 1, 1), 946684800},
        {"summer", Tm(2024, 6, 30, 12), 1719748800},
        {"winter", Tm(2024, 1, 15, 12), 1705320000},
        {"leap day", Tm(2024, 2, 29, 23, 59, 59), 1709251199},
        {"last second", Tm(2038, 1, 19, 3, 14, 7), 2147483647},
        {"before 1970", Tm(1969, 12, 31, 23, 59, 59), -1},
        {"past 2038", Tm(2038, 1, 19, 3, 14, 8), -1},
        {"far past", Tm(1900, 1, 1), -1},
        {"far future", Tm(2100, 1, 1), -1},
    };
    for (const char *zone : kZones) {
        SetZone(zone);
        for (const auto &c : cases) {
            struct tm tm = c.tm;
            EXPECT_EQ(MakeUtcTime(&tm), c.expected) << c.name << " in " << zone;
        }
    }
    SetZone("UTC0");
}

TEST(MakeUtcTime, NormalisesTheRecord) {
    struct NormCase {
        const char *name;
        struct tm in;
        int year, month, day, hour, minute, second, wday, yday;
    };
    const NormCase cases[] = {
        {"30 February", Tm(2024, 2, 30), 2024, 3, 1, 0, 0, 0, 5, 60},
        {"month 13", Tm(2023, 13, 1), 2024, 1, 1, 0, 0, 0, 1, 0},
        {"month 0", Tm(2024, 0, 31), 2023, 12, 31, 0, 0, 0, 0, 364},
        {"day 0", Tm(2024, 3, 0), 2024, 2, 29, 0, 0, 0, 4, 59},
        {"hour 24", Tm(1999, 12, 31, 24), 2000, 1, 1, 0, 0, 0, 6, 0},
        {"second -1", Tm(2000, 1, 1, 0, 0, -1), 1999, 12, 31, 23, 59, 59, 5, 364},
        {"minute 90", Tm(2010, 6, 1, 10, 90), 2010, 6, 1, 11, 30, 0, 2, 151},
    };
    for (const auto &c : cases) {
        struct tm tm = c.in;
        tm.tm_isdst = 1;
        ASSERT_NE(MakeUtcTime(&tm), -1) << c.name;
        EXPECT_EQ(tm.tm_year + 1900, c.year) << c.name;
        EXPECT_EQ(tm.tm_mon + 1, c.month) << c.name;
        EXPECT_EQ(tm.tm_mday, c.day) << c.name;
        EXPECT_EQ(tm.tm_hour, c.hour) << c.name;
        EXPECT_EQ(tm.tm_min, c.minute) << c.name;
        EXPECT_EQ(tm.tm_sec, c.second) << c.name;
        EXPECT_EQ(tm.tm_wday, c.wday) << c.name;
        EXPECT_EQ(tm.tm_yday, c.yday) << c.name;
        EXPECT_EQ(tm.tm_isdst, 0) << c.name;
    }
}

TEST(MakeUtcTime, RefusedTimeLeavesRecordUntouched) {
    struct tm tm = Tm(2040, 2, 30);
    struct tm before = tm;
    EXPECT_EQ(MakeUtcTime(&tm), -1);
    EXPECT_EQ(memcmp(&tm, &before, sizeof tm), 0);
    EXPECT_EQ(MakeUtcTime(nullptr), -1);
}

TEST(MakeUtcTime, ExtremeFieldsNeitherOverflowNorWrap) {
    struct tm cases[] = {Tm(2000, 1, 1), Tm(2000, 1, 1), Tm(2000, 1, 1), Tm(2000, 1, 1), Tm(2000, 1, 1)};
    cases[0].tm_year = INT_MAX;
    cases[1].tm_year = INT_MIN;
    cases[2].tm_mon = INT_MAX;
    cases[3].tm_sec = INT_MIN;
    cases[4].tm_mday = INT_MAX;
    for (auto &tm : cases) EXPECT_EQ(MakeUtcTime(&tm), -1);
    // Large fields that still land inside the range are honoured.
    struct tm big = Tm(1970, 1, 1);
    big.tm_sec = INT_MAX;
    EXPECT_EQ(MakeUtcTime(&big), INT_MAX);
    EXPECT_EQ(big.tm_year + 1900, 2038);
}

// The start of a day, as MakeUtcTime gives it for the same fields, without
// overflow for any int; and back from a time to its day.
TEST(UtcDayStart, MatchesMakeUtcTimeAndConvertsBack) {
    struct DayCase {
        int year, month, day;
        UtcTime expected;
    };
    const DayCase cases[] = {
        {1970, 1, 1, 0},
        {2024, 2, 29, 1709164800},
        {2024, 13, 1, 1735689600},        // rolls into 2025-01-01
        {2024, 3, 0, 1709164800},         // the day before 1 March
        {2038, 1, 19, 2147472000},        // the last day that starts inside 32 bits
        {2038, 1, 20, -1},
        {1969, 12, 31, -1},
        {INT_MAX, INT_MAX, INT_MAX, -1},
        {INT_MIN, INT_MIN, INT_MIN, -1},
        {2000, INT_MIN, 1, -1},
        {INT_MIN, INT_MAX, 1, -1},
    };
    for (const DayCase &c : cases) {
        EXPECT_EQ(UtcDayStart(c.year, c.month, c.day), c.expected) << c.year << "-" << c.month << "-" << c.day;
        if (c.expected != -1 && c.year > INT_MIN + 1900) {
            struct tm tm = Tm(c.year, c.month, c.day);
            EXPECT_EQ(MakeUtcTime(&tm), c.expected) << c.year << "-" << c.month << "-" << c.day;
        }
    }
    const struct {
        UtcTime t;
        int year, month, day;
    } dates[] = {
        {0, 1970, 1, 1}, {-1, 1969, 12, 31}, {1709164800 + 86399, 2024, 2, 29}, {INT32_MAX, 2038, 1, 19},
        {INT32_MIN, 1901, 12, 13},
    };
    for (const auto &d : dates) {
        int year = 0, month = 0, day = 0;
        UtcDateOf(d.t, &year, &month, &day);
        EXPECT_EQ(year * 10000 + month * 100 + day, d.year * 10000 + d.month * 100 + d.day) << d.t;
    }
}

SQL_TIMESTAMP_STRUCT Ts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                        unsigned fraction = 0) {
    SQL_TIMESTAMP_STRUCT ts;
    ts.year = static_cast<SQLSMALLINT>(year);
    ts.month = static_cast<SQLUSMALLINT>(month);
    ts.day = static_cast<SQLUSMALLINT>(day);
    ts.hour = static_cast<SQLUSMALLINT>(hour);
    ts.minute = static_cast<SQLUSMALLINT>(minute);
    ts.second = static_cast<SQLUSMALLINT>(second);
    ts.fraction = fraction;
    return ts;
}

TEST(SqlTimestampToUnix, Conversions) {
    struct SqlCase {
        const char *name;
        SQL_TIMESTAMP_STRUCT ts;
        UtcTime expected;
    };
    const SqlCase cases[] = {
        {"fraction ignored", Ts(2025, 3, 18, 0, 0, 0, 500000000), 1742256000},
        {"time of day", Ts(2025, 3, 18, 23, 59, 59), 1742342399},
        {"year 100 is 2000", Ts(100, 1, 1), 946684800},
        {"year 1901", Ts(1901, 1, 1), -1},
        {"year 1900 counts from 1900", Ts(1900, 1, 1), -1},
        {"year 0", Ts(0, 1, 1), -1},
        {"negative year", Ts(-5, 1, 1), -1},
        {"month 0", Ts(2025, 0, 1), 1733011200},
        {"end of range", Ts(2038, 1, 19, 3, 14, 7), 2147483647},
        {"past the range", Ts(2038, 1, 19, 3, 14, 8), -1},
        {"open end, 9999", Ts(9999, 12, 31), -1},
    };
    for (const char *zone : kZones) {
        SetZone(zone);
        for (const auto &c : cases) EXPECT_EQ(SqlTimestampToUnix(&c.ts), c.expected) << c.name << " in " << zone;
    }
    SetZone("UTC0");
    EXPECT_EQ(SqlTimestampToUnix(nullptr), -1);
}

}  // namespace
