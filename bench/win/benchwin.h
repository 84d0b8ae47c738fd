// What the window benchmarks share: the message pump between runs, a log of
// the shape users make, and the timing and the report of several runs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "qsolist.h"
#include "settings.h"

inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A log as activators and chasers make it: runs of contacts a few minutes
// apart, days or weeks between the runs; the same few bands, modes and calls;
// summits G/LD-001 to G/LD-060, or, when summits are given, the chased ones
// drawn from them and the own one changing with each run. False when a contact
// could not be stored.
inline bool FillLog(int count, const std::vector<std::string> *summits = nullptr) {
    FreeQsoList();
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    UtcTime t = 1420070400;   // 2015-01-01 00:00 UTC
    for (int i = 0; i < count; ++i) {
        if (i % 40 == 0) t += static_cast<UtcTime>(86400 * (1 + next(10)));
        t += static_cast<UtcTime>(20 + next(300));
        char call[16], his[16], mine[16] = "G/SP-004", notes[64];
        snprintf(call, sizeof call, "G%uABC", static_cast<unsigned>(next(10)));
        if (summits && !summits->empty()) {
            const size_t pick = summits->size();
            snprintf(his, sizeof his, "%s", (*summits)[next(static_cast<uint32_t>(pick))].c_str());
            snprintf(mine, sizeof mine, "%s", (*summits)[static_cast<size_t>(i / 40) % pick].c_str());
        } else {
            snprintf(his, sizeof his, "G/LD-%03u", static_cast<unsigned>(1 + next(60)));
        }
        snprintf(notes, sizeof notes, "QRG:14.%03u calling CQ", static_cast<unsigned>(next(1000)));
        if (!InsertQsoEntry(0, t, call, DefaultBands[next(24)], DefaultModes[next(9)], his, notes, "M0XYZ",
                            i % 3 ? "" : mine, next(20) == 0))
            return false;
    }
    return true;
}

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline void Report(const char *what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    printf("  %-9s median %9.2f ms   min %9.2f ms\n", what, times[times.size() / 2], times.front());
}
