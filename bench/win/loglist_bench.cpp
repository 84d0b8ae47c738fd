// Times RefreshLogList on the main window under Wine, made and set up as the
// program does it (through the GUI tests' harness): the view is rebuilt
// in full after every change to the log, so its cost at the largest logs
// decides how the editor feels. Prints the median and the minimum of several
// runs per log size, and the same for the paint that follows each rebuild.
//
// loglist_bench [-rRUNS] [size ...]   (default sizes 1000 10000 50000; runs 21,
// 9 and 5 by size)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "appstate.h"
#include "gui/harness.h"
#include "loglist_win.h"
#include "mainsetup.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar_win.h"

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A log as activators and chasers make it: runs of contacts a few minutes
// apart, days or weeks between the runs; the same few bands, modes and calls.
void FillLog(int count) {
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
        char call[16], summit[16], notes[64];
        snprintf(call, sizeof call, "G%uABC", static_cast<unsigned>(next(10)));
        snprintf(summit, sizeof summit, "G/LD-%03u", static_cast<unsigned>(next(60)));
        snprintf(notes, sizeof notes, "QRG:14.%03u calling CQ", static_cast<unsigned>(next(1000)));
        InsertQsoEntry(0, t, call, DefaultBands[next(24)], DefaultModes[next(9)], summit, notes, "M0XYZ",
                       i % 3 ? "" : "G/SP-004", next(20) == 0);
    }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Report(const char *what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    printf("  %-8s median %9.1f ms   min %9.1f ms\n", what, times[times.size() / 2], times.front());
}

}  // namespace

int main(int argc, char **argv) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES |
                                                          ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The main window as the program sets it up, from a clean settings key.
    ResetEditorState();
    HWND window = OpenMainWindowHost();
    if (!window) {
        fprintf(stderr, "the main window could not be created\n");
        return 1;
    }
    HWND list = GetDlgItem(window, IDC_LOG_LIST);

    std::vector<int> sizes;
    int fixedRuns = 0;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] == 'r')
            fixedRuns = atoi(argv[i] + 2);
        else
            sizes.push_back(atoi(argv[i]));
    }
    if (sizes.empty()) sizes = {1000, 10000, 50000};

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int size : sizes) {
        if (size < 0) continue;
        FillLog(size);
        const int runs = fixedRuns > 0 ? fixedRuns : size <= 1000 ? 21 : size <= 10000 ? 9 : 5;
        std::vector<double> refresh, paint;
        int shown = 0;
        for (int run = 0; run < runs; ++run) {
            LARGE_INTEGER start, filled, painted;
            QueryPerformanceCounter(&start);
            shown = RefreshLogList(window);
            QueryPerformanceCounter(&filled);
            UpdateWindow(list);
            QueryPerformanceCounter(&painted);
            Pump();
            refresh.push_back(Milliseconds(start, filled, frequency));
            paint.push_back(Milliseconds(filled, painted, frequency));
        }
        printf("%d contacts (%d rows), %d runs:\n", size, shown, runs);
        Report("refresh", refresh);
        Report("paint", paint);
        fflush(stdout);
    }
    ResetEditorState();
    return 0;
}
