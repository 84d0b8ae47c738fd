// UTC time: 32-bit seconds since 1970-01-01 00:00 UTC, -1 for a missing or invalid time.
#pragma once

#include <cstdint>
#include <ctime>

typedef int32_t UtcTime;

struct tagTIMESTAMP_STRUCT;   // SQL_TIMESTAMP_STRUCT

// Reads the record as UTC, normalises it in place (a 32nd day rolls into the
// next month, and so on) and returns its time; -1 outside 0..2147483647, the
// record then untouched.
UtcTime MakeUtcTime(struct tm *tm);

// The same for an ODBC timestamp; the fraction is ignored, and a year of 1900
// or less counts as already relative to 1900.
UtcTime SqlTimestampToUnix(const struct tagTIMESTAMP_STRUCT *ts);

#ifdef _WIN32
struct _FILETIME;
struct _SYSTEMTIME;

// The current UTC time in FILETIME units (100 ns since 1601).
uint64_t GetUtcFileTimeNow(void);

// t in FILETIME units, also stored through out.
uint64_t UnixTimeToFileTime(UtcTime t, struct _FILETIME *out);

// Non-zero when the platform converted t; out is undefined otherwise.
int UnixTimeToSystemTime(UtcTime t, struct _SYSTEMTIME *out);
#endif
