// Times for test fixtures.
#pragma once

#include "utctime.h"

// Midnight UTC at the start of the given day.
inline UtcTime Day(int year, int month, int day) { return UtcDayStart(year, month, day); }
