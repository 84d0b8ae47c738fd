// Times for test fixtures.
#pragma once

#include <cstring>
#include <ctime>

#include "utctime.h"

// Midnight UTC at the start of the given day.
inline UtcTime Day(int year, int month, int day) {
    struct tm tm;
    memset(&tm, 0, sizeof tm);
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    return MakeUtcTime(&tm);
}
