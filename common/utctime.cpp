// UtcTime by plain calendar arithmetic, the same on every build and in every
// time zone; the conversions to the platform's own times are utctime_win.cpp's.
#include "utctime.h"

#include "odbc_types.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = FloorDiv(y, 400);
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int *y, int *m, int *d) {
    z += 719468;
    int64_t era = FloorDiv(z, 146097);
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

}  // namespace

// Plain calendar arithmetic rather than mktime: it gives the same answer in
// every time zone and on every runtime library, with no summer-time shift.
UtcTime MakeUtcTime(struct tm *tm) {
    if (!tm) return -1;
    int64_t month = tm->tm_mon;
    int64_t year = static_cast<int64_t>(tm->tm_year) + 1900 + FloorDiv(month, 12);
    month -= FloorDiv(month, 12) * 12;
    // Every int field fits: these 64-bit sums cannot overflow.
    int64_t days = DaysFromCivil(year, month + 1, 1) + tm->tm_mday - 1;
    int64_t seconds = days * 86400 + static_cast<int64_t>(tm->tm_hour) * 3600 +
                      static_cast<int64_t>(tm->tm_min) * 60 + tm->tm_sec;
    if (seconds < 0 || seconds > INT32_MAX) return -1;

    int64_t dayNumber = FloorDiv(seconds, 86400);
    int64_t rest = seconds - dayNumber * 86400;
    int y, m, d;
    CivilFromDays(dayNumber, &y, &m, &d);
    tm->tm_year = y - 1900;
    tm->tm_mon = m - 1;
    tm->tm_mday = d;
    tm->tm_hour = static_cast<int>(rest / 3600);
    tm->tm_min = static_cast<int>(rest / 60 % 60);
    tm->tm_sec = static_cast<int>(rest % 60);
    tm->tm_wday = static_cast<int>((dayNumber + 4) % 7);   // 1970-01-01 was a Thursday
    tm->tm_yday = static_cast<int>(dayNumber - DaysFromCivil(y, 1, 1));
    tm->tm_isdst = 0;
    return static_cast<UtcTime>(seconds);
}

UtcTime UtcDayStart(int year, int month, int day) {
    // In 64 bits, so that no field can overflow on its way to the range test.
    int64_t monthIndex = static_cast<int64_t>(month) - 1;
    const int64_t fullYear = year + FloorDiv(monthIndex, 12);
    monthIndex -= FloorDiv(monthIndex, 12) * 12;
    const int64_t seconds = (DaysFromCivil(fullYear, monthIndex + 1, 1) + day - 1) * 86400;
    return seconds < 0 || seconds > INT32_MAX ? -1 : static_cast<UtcTime>(seconds);
}

void UtcDateOf(UtcTime t, int *year, int *month, int *day) { CivilFromDays(FloorDiv(t, 86400), year, month, day); }

UtcTime SqlTimestampToUnix(const SQL_TIMESTAMP_STRUCT *ts) {
    if (!ts) return -1;
    struct tm tm = {};
    tm.tm_mday = ts->day;
    tm.tm_mon = ts->month - 1;
    tm.tm_year = ts->year > 1900 ? ts->year - 1900 : ts->year;
    tm.tm_hour = ts->hour;
    tm.tm_min = ts->minute;
    tm.tm_sec = ts->second;
    return MakeUtcTime(&tm);
}
