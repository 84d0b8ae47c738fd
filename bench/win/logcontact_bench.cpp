// Times logging one contact on the real main window under Wine, as the user's
// "Log Contact" does it: the form validated with both summits looked up in a
// summits database file, the contact inserted into the log, the list view
// rebuilt. Prints the median and the minimum of several runs per log size,
// for each step and for the whole.
//
// logcontact_bench [-rRUNS] [-sSUMMITS] [size ...]   (default sizes 1000
// 10000; runs 21 and 9 by size; 20000 summits)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "appstate.h"
#include "benchwin.h"
#include "gui/harness.h"
#include "entryform.h"
#include "loglist_win.h"
#include "mainsetup.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar_win.h"
#include "summitsdb.h"

namespace {

// The summits database the editor finds in its data folder (a new folder in
// the temporary one): summits G/LD-001 onward, all valid from 2002 on.
bool MakeDatabase(int summits, char *folder, size_t folderSize) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    snprintf(folder, folderSize, "%slogcontact_bench_%lu", temp, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", folder, kSummitsDbFileName);
    DeleteFileA(path);
    if (DbCreate(path, 0) != 1) return false;
    char from[12] = "", to[12] = "";
    DbDateLiteral(1012608000, from, sizeof from);   // 2002-02-02
    DbDateLiteral(2145830400, to, sizeof to);       // 2037-12-31
    bool made = DbBeginTransaction() == 1 && DbPrepareSummitInsert() == 1;
    for (int i = 1; made && i <= summits; ++i) {
        char ref[16], name[32];
        snprintf(ref, sizeof ref, "G/LD-%03d", i);
        snprintf(name, sizeof name, "Summit number %d", i);
        made = DbInsertSummit(ref, name, from, to, 50 + (i % 500) / 100.0, -3 + (i % 700) / 100.0) == 1;
    }
    DbFinishSummitInsert();
    made = DbEndTransaction(made) == 1 && made;
    DbClose();
    return made;
}

// The form as the user leaves it before "Log Contact": a contact in the middle
// of the log's time span, both summits known to the database.
void FillForm(HWND window, int run) {
    SYSTEMTIME when = {};
    when.wYear = 2016;
    when.wMonth = 3;
    when.wDay = static_cast<WORD>(1 + run % 28);
    when.wHour = 12;
    when.wMinute = static_cast<WORD>(run % 60);
    SendDlgItemMessageA(window, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&when));
    SendDlgItemMessageA(window, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&when));
    SetDlgItemTextA(window, IDC_HIS_CALL, "G4XYZ/P");
    SetDlgItemTextA(window, IDC_HIS_SUMMIT, "G/LD-017");
    SetDlgItemTextA(window, IDC_MY_SUMMIT, "G/LD-042");
    SetDlgItemTextA(window, IDC_NOTES, "R1 QRG:14.285 s59");
    // The last contact reset them to the first entries.
    SendDlgItemMessageA(window, IDC_BAND, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("14MHz"));
    SendDlgItemMessageA(window, IDC_MODE, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("SSB"));
}

}  // namespace

int main(int argc, char **argv) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The main window as the program sets it up, from a clean settings key.
    ResetEditorState();

    std::vector<int> sizes;
    int fixedRuns = 0, summits = 20000;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] == 'r')
            fixedRuns = atoi(argv[i] + 2);
        else if (argv[i][0] == '-' && argv[i][1] == 's')
            summits = atoi(argv[i] + 2);
        else
            sizes.push_back(atoi(argv[i]));
    }
    if (sizes.empty()) sizes = {1000, 10000};

    char folder[MAX_PATH];
    if (!MakeDatabase(summits, folder, sizeof folder)) {
        fprintf(stderr, "the summits database could not be made\n");
        return 1;
    }
    snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", folder);
    EditorSettings.DBAgeWarnPeriod = -1;   // no question about the new file's date in the way
    HWND window = OpenMainWindowHost();
    if (!window || !DbAvailable) {
        fprintf(stderr, "the main window could not be created\n");
        return 1;
    }

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    int status = 0;
    printf("%d summits in the database\n", summits);
    for (int size : sizes) {
        if (size < 0) continue;
        FillLog(size);
        RefreshLogList(window);
        Pump();
        const int runs = fixedRuns > 0 ? fixedRuns : size <= 1000 ? 21 : 9;
        std::vector<double> validate, log, refresh, total;
        int shown = 0;
        for (int run = 0; run < runs; ++run) {
            FillForm(window, run);
            Pump();
            LARGE_INTEGER start, validated, logged, refreshed;
            QueryPerformanceCounter(&start);
            const int valid = ValidateEntryForm(window);
            QueryPerformanceCounter(&validated);
            const int stored = valid && LogContact(window, 0);
            QueryPerformanceCounter(&logged);
            shown = RefreshLogList(window);
            QueryPerformanceCounter(&refreshed);
            Pump();
            if (!stored) {
                char message[160] = "";
                SendMessageA(StatusBar, SB_GETTEXTA, SBP_MESSAGE, reinterpret_cast<LPARAM>(message));
                fprintf(stderr, "the contact was not logged: %s\n", message);
                status = 1;
                break;
            }
            validate.push_back(Milliseconds(start, validated, frequency));
            log.push_back(Milliseconds(validated, logged, frequency));
            refresh.push_back(Milliseconds(logged, refreshed, frequency));
            total.push_back(Milliseconds(start, refreshed, frequency));
        }
        if (status) break;
        printf("%d contacts (%d rows after), %d runs:\n", size, shown, runs);
        Report("validate", validate);
        Report("log", log);
        Report("refresh", refresh);
        Report("total", total);
        fflush(stdout);
    }
    ResetEditorState();
    FreeQsoList();
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", folder, kSummitsDbFileName);
    DeleteFileA(path);
    RemoveDirectoryA(folder);
    return status;
}
