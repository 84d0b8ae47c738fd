// UtcTime and the platform's own times: FILETIME (100 ns units since 1601) and
// SYSTEMTIME. Apart from utctime.h so that portable modules never see them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "utctime.h"

// The current UTC time in FILETIME units (100 ns since 1601).
uint64_t GetUtcFileTimeNow(void);

// t in FILETIME units, also stored through out.
uint64_t UnixTimeToFileTime(UtcTime t, FILETIME *out);

// Non-zero when the platform converted t; out is undefined otherwise.
int UnixTimeToSystemTime(UtcTime t, SYSTEMTIME *out);
