// UTC time: 32-bit seconds since 1970-01-01 00:00 UTC, -1 for a missing or invalid time.
// The conversions to the platform's FILETIME and SYSTEMTIME are in utctime_win.h.
#pragma once

#include <cstdint>
#include <ctime>

typedef int32_t UtcTime;

struct tagTIMESTAMP_STRUCT;   // SQL_TIMESTAMP_STRUCT

// Reads the record as UTC, normalises it in place (a 32nd day rolls into the
// next month, and so on) and returns its time; -1 outside 0..2147483647, the
// record then untouched.
UtcTime MakeUtcTime(struct tm *tm);

// Midnight UTC at the start of the given day (month 1 to 12; fields out of
// range roll over as MakeUtcTime rolls them); -1 outside 0..2147483647.
UtcTime UtcDayStart(int year, int month, int day);

// The UTC calendar date (month 1 to 12) of t; before 1970 for a negative t.
void UtcDateOf(UtcTime t, int *year, int *month, int *day);

// The same for an ODBC timestamp; the fraction is ignored, and a year of 1900
// or less counts as already relative to 1900.
UtcTime SqlTimestampToUnix(const struct tagTIMESTAMP_STRUCT *ts);
