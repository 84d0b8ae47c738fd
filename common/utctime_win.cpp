// The Windows side of UtcTime: the current time and the conversions to
// FILETIME and SYSTEMTIME, apart so that portable modules never see them.
#include "utctime_win.h"

#include <windows.h>

uint64_t GetUtcFileTimeNow(void) {
    SYSTEMTIME now;
    FILETIME fileTime;
    GetSystemTime(&now);
    SystemTimeToFileTime(&now, &fileTime);
    return (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

uint64_t UnixTimeToFileTime(UtcTime t, FILETIME *out) {
    uint64_t units = static_cast<uint64_t>(static_cast<int64_t>(t) * 10000000 + 116444736000000000LL);
    if (out) {
        out->dwLowDateTime = static_cast<DWORD>(units);
        out->dwHighDateTime = static_cast<DWORD>(units >> 32);
    }
    return units;
}

int UnixTimeToSystemTime(UtcTime t, SYSTEMTIME *out) {
    FILETIME fileTime;
    UnixTimeToFileTime(t, &fileTime);
    return FileTimeToSystemTime(&fileTime, out) ? 1 : 0;
}
