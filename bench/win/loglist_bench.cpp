// Times RefreshLogList on the main window under Wine, made and set up as the
// program does it (through the GUI tests' harness): the view is rebuilt
// in full after every change to the log, so its cost at the largest logs
// decides how the editor feels. Prints the median and the minimum of several
// runs per log size, and the same for the paint that follows each rebuild and
// for File > Open of that log once its file is chosen (the old log discarded,
// the file loaded, the list filled).
//
// loglist_bench [-rRUNS] [size ...]   (default sizes 1000 10000 50000; runs 21,
// 9 and 5 by size)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "appstate.h"
#include "logloader.h"
#include "logwriter.h"
#include "benchwin.h"
#include "gui/harness.h"
#include "loglist_win.h"
#include "mainsetup.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar_win.h"

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

    char logPath[MAX_PATH] = "";
    GetTempPathA(sizeof logPath, logPath);
    snprintf(logPath + strlen(logPath), sizeof logPath - strlen(logPath), "loglist_bench_%lu.csv",
             GetCurrentProcessId());
    EditorSettings.NoBackup = 1;

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    int status = 0;
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

        // What File > Open does after its dialog, from a window showing the log.
        if (!WriteCsvLog(nullptr, logPath)) {
            fprintf(stderr, "the log could not be written to %s\n", logPath);
            status = 1;
            break;
        }
        std::vector<double> open;
        int opened = 0;
        for (int run = 0; run < runs; ++run) {
            LARGE_INTEGER start, loaded;
            QueryPerformanceCounter(&start);
            ClearQsoList();
            RefreshLogList(window);
            const int read = LoadCsvLog(window, logPath);
            opened = read ? RefreshLogList(window) : -1;
            QueryPerformanceCounter(&loaded);
            Pump();
            open.push_back(Milliseconds(start, loaded, frequency));
        }
        printf("%d contacts (%d rows, %d after opening), %d runs:\n", size, shown, opened, runs);
        Report("refresh", refresh);
        Report("paint", paint);
        Report("open", open);
        fflush(stdout);
    }
    DeleteFileA(logPath);
    ResetEditorState();
    return status;
}
