// The About dialog: the description, the versions of the programs beside the
// editor, the build and database dates, the update check (curl.exe fetches the
// version endpoint's answer into a temporary file, waited for while the windows
// keep painting, and only a version line with a safe https address counts) and
// the hand-over of an announced release to Tarnfetch; the logo opens the
// scheme's web sites.
#include "aboutdlg.h"

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "appstate.h"
#include "msgdialog_win.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "strutil_win.h"
#include "uihooks.h"

char NewVersion[MAX_PATH] = "";
char UpdateUrl[MAX_PATH] = "";
char UpdateParams[2 * MAX_PATH + 16] = "";
char VersionEndpointBase[MAX_PATH] = "https://www.brindlecote.net";

namespace {

constexpr int kWorkTextSize = 2048;
constexpr int kAnswerLineSize = 255;   // 254 characters and the terminator
constexpr double kStaleDatabaseSeconds = 604800.0;

// A tool tip's text must outlive it: the dialog's stay here.
char LogoTipText[1024] = "";

// Set while the check waits for curl.exe: the dialog's messages keep flowing,
// but nothing may end it then.
bool Checking = false;

void ShowOutOfMemoryBox() { MessageBoxA(MainWindow, "ERROR: Out of Memory", kProgramName, MB_ICONERROR); }

void AppendVersionLine(char *text, size_t size, const char *label, const char *path) {
    char version[MAX_PATH];
    if (GetFileVersionString(version, sizeof version, path, "FileVersion") <= 0) return;
    const size_t used = strlen(text);
    snprintf(text + used, size - used, "%s%s\n", label, version);
}

void ProgramFile(char *out, size_t size, const char *name) { snprintf(out, size, "%s\\%s", ProgramDirectory, name); }

// Skips leading zeros of a digit run and says how long the rest of it is.
const char *DigitRun(const char *p, size_t *length) {
    while (*p == '0' && p[1] >= '0' && p[1] <= '9') ++p;
    size_t n = 0;
    while (p[n] >= '0' && p[n] <= '9') ++n;
    *length = n;
    return p;
}

bool IsVersionShaped(const char *text) {
    if (!(*text >= '0' && *text <= '9')) return false;
    for (const char *p = text; *p; ++p) {
        if (*p == '.') {
            if (!(p[1] >= '0' && p[1] <= '9')) return false;
        } else if (!(*p >= '0' && *p <= '9')) {
            return false;
        }
    }
    return true;
}

// An https address that reaches a command line safely: no blanks, quotes or
// control characters.
bool IsSafeHttpsAddress(const char *text) {
    if (_strnicmp(text, "https://", 8) != 0 || !text[8]) return false;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        if (*p <= ' ' || *p == 0x7f || *p == '"' || *p == '\'') return false;
    }
    return true;
}

// Reads one answer line of at most 254 characters; false at the end of the
// file or when the line is longer (a cut line is never a usable answer).
bool ReadAnswerLine(FILE *file, char *line, bool *cut) {
    if (!fgets(line, kAnswerLineSize, file)) return false;
    size_t length = strlen(line);
    *cut = false;
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = '\0';
    } else if (!feof(file)) {
        *cut = true;
    }
    if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
    return true;
}

// Starts curl.exe hidden; its process handle, or NULL when it did not start.
// Starts program hidden with parameters; its process handle, or NULL when it
// did not start.
HANDLE StartHidden(const char *program, const char *parameters) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = MainWindow;
    info.lpVerb = "open";
    info.lpFile = program;
    info.lpParameters = parameters;
    info.nShow = SW_HIDE;
    return ShellExecuteExA(&info) ? info.hProcess : nullptr;
}

HANDLE StartCurl(const char *url, const char *outputPath) {
    char program[MAX_PATH + 16];
    ProgramFile(program, sizeof program, "curl.exe");
    char parameters[4 * MAX_PATH + 128];
    snprintf(parameters, sizeof parameters,
             "--fail --cacert \"%s\" --url \"%s\" --output \"%s\" --connect-timeout %ld --max-time %ld", CaBundlePath,
             url, outputPath, static_cast<long>(EditorSettings.ConnectTimeOut),
             static_cast<long>(EditorSettings.DownLoadTimeOut));
    return StartHidden(program, parameters);
}

// Waits for the process at most ms milliseconds while the thread's windows keep
// painting and moving; ends it when it overruns. Its exit code, or -1.
long WaitForCurl(HANDLE process, DWORD ms) {
    const DWORD start = GetTickCount();
    bool quit = false;
    WPARAM quitCode = 0;
    bool ended = false;
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= ms) break;
        const DWORD got = MsgWaitForMultipleObjects(1, &process, FALSE, ms - spent, QS_ALLINPUT);
        if (got == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (got != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    if (!ended) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (!GetExitCodeProcess(process, &code)) return -1;
    return static_cast<long>(code);
}

void ShowCheckFailed(const char *text) {
    ShowStatusMessage(text, 0);
    ErrorBeep();
}

void SetStatus(HWND dialog, const char *text) { SetDlgItemTextA(dialog, IDC_UPDATE_STATUS, text); }

void FocusOk(HWND dialog) {
    ShowWindow(GetDlgItem(dialog, IDOK), SW_SHOW);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
}

// The close button and OK after any check that announced no new release.
void OfferClose(HWND dialog) {
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_SHOW);
    if (EditorSettings.UseToolTips) AddToolTip(IDCANCEL, dialog, nullptr, "Close");
    EnableWindow(GetDlgItem(dialog, IDC_LOGO), TRUE);
    FocusOk(dialog);
}

BOOL InitAbout(HWND dialog) {
    char *text = static_cast<char *>(malloc(kWorkTextSize));
    if (!text) {
        ShowOutOfMemoryBox();
        return FALSE;
    }
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));
    HWND logo = GetDlgItem(dialog, IDC_LOGO);
    SetWindowLongPtrA(logo, GWL_STYLE, GetWindowLongPtrA(logo, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
    ShowWindow(GetDlgItem(dialog, IDC_UPDATE_STATUS), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_UPDATE_NOW), SW_HIDE);

    text[0] = '\0';
    LoadStringA(AppInstance, IDS_ABOUT_DESCRIPTION, text, kWorkTextSize);
    SetDlgItemTextA(dialog, IDC_ABOUT_DESCRIPTION, text);
    text[0] = '\0';
    LoadStringA(AppInstance, IDS_LOGO_NOTICE, text, kWorkTextSize);
    SetDlgItemTextA(dialog, IDC_ABOUT_NOTICE, text);

    if (LogoBitmap) SendMessageA(logo, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(LogoBitmap));
    if (EditorSettings.UseToolTips) {
        LogoTipText[0] = '\0';
        LoadStringA(AppInstance, IDS_LOGO_TIP, LogoTipText, sizeof LogoTipText);
        AddToolTip(IDC_LOGO, dialog, "VORN LOGO", LogoTipText);
        AddToolTip(IDOK, dialog, nullptr, "Ok");
        AddToolTip(IDC_CHECK_UPDATE, dialog, nullptr, "Click to check for update");
    }

    char path[MAX_PATH + 16];
    text[0] = '\0';
    AppendVersionLine(text, kWorkTextSize, "Tarnlog V", ModulePath);
    ProgramFile(path, sizeof path, "Tarnsync.EXE");
    AppendVersionLine(text, kWorkTextSize, "Tarnsync V", path);
    ProgramFile(path, sizeof path, "Tarnfetch.EXE");
    AppendVersionLine(text, kWorkTextSize, "Tarnfetch V", path);
    size_t used = strlen(text);
    snprintf(text + used, kWorkTextSize - used, "Build Date: %s %s\n", __DATE__, __TIME__);
    if (DbAvailable) {
        used = strlen(text);
        snprintf(text + used, kWorkTextSize - used, "Database last updated: %s", DbDateText);
    }
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, text);
    free(text);
    return TRUE;
}

void RunCheck(HWND dialog) {
    ShowWindow(GetDlgItem(dialog, IDOK), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_CHECK_UPDATE), SW_HIDE);
    EnableWindow(GetDlgItem(dialog, IDC_LOGO), FALSE);
    SetStatus(dialog, "Checking, please wait a moment ..");
    ShowWindow(GetDlgItem(dialog, IDC_UPDATE_STATUS), SW_SHOW);

    char version[MAX_PATH];
    if (!ProgramFileVersion(version, sizeof version)) {
        SetStatus(dialog, "ERROR: Unable to determine current version (this should not happen).");
        ErrorBeep();
        OfferClose(dialog);
        return;
    }
    HCURSOR wait = static_cast<HCURSOR>(LoadImageA(nullptr, IDC_WAIT, IMAGE_CURSOR, 0, 0, LR_SHARED));
    SetCursor(wait);
    Checking = true;
    const int result = CheckForUpdate(version);
    Checking = false;
    SetCursor(nullptr);
    // The wait cursor is the system's shared one: nothing to release.

    const bool stale = DbLastUpdate == -1 ||
                       difftime(time(nullptr), static_cast<time_t>(DbLastUpdate)) > kStaleDatabaseSeconds;
    switch (result) {
    case 1: {
        char *text = static_cast<char *>(malloc(kWorkTextSize));
        if (!text) {
            ShowOutOfMemoryBox();
            OfferClose(dialog);
            return;
        }
        snprintf(text, kWorkTextSize,
                 "An update to V%s is now available, click 'Update Now' to download and install it.", NewVersion);
        SetStatus(dialog, text);
        free(text);
        snprintf(UpdateParams, sizeof UpdateParams, " -URL %s -new %s", UpdateUrl, NewVersion);
        ShowWindow(GetDlgItem(dialog, IDC_UPDATE_NOW), SW_SHOW);
        if (EditorSettings.UseToolTips) AddToolTip(IDC_UPDATE_NOW, dialog, nullptr, "Download and install update");
        EnableWindow(GetDlgItem(dialog, IDC_LOGO), TRUE);
        FocusOk(dialog);
        return;
    }
    case 0:
        SetStatus(dialog, stale ? "Thanks, you already have the current program release, but you might need to "
                                  "update the Summits Database (Click OK, then press Ctrl-F10)"
                                : "Thanks, you already have the current program release.");
        break;
    case -1:
        SetStatus(dialog, stale ? "Thanks, you have a pre-release version, no further program updates are "
                                  "available at this time, but you might need to update the Summits Database "
                                  "(Click OK, then press Ctrl-F10)"
                                : "Thanks, you have a pre-release version, no further updates are available at "
                                  "this time.");
        break;
    default:
        SetStatus(dialog, "Sorry: There was a problem checking for updates, please try later");
        ErrorBeep();
        break;
    }
    OfferClose(dialog);
}

// 1 when Tarnfetch started; otherwise the reason is in the status line.
int StartTarnfetch(HWND dialog) {
    char program[MAX_PATH + 16];
    ProgramFile(program, sizeof program, "Tarnfetch.exe");
    const DWORD attributes = GetFileAttributesA(program);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetStatus(dialog, "ERROR: Tarnfetch.exe is missing from the program folder, the update cannot be started.");
        ErrorBeep();
        return 0;
    }
    HANDLE process = StartHidden(program, UpdateParams);
    if (!process) {
        SetStatus(dialog, "ERROR: Tarnfetch.exe could not be started, the update was not begun.");
        ErrorBeep();
        return 0;
    }
    CloseHandle(process);
    return 1;
}

}  // namespace

void OpenSchemeSiteByKeys(HWND owner) {
    static constexpr char kMainSite[] = "https://www.vorn-award.org/";
    static constexpr char kReflectorSite[] = "https://groups.io/g/vorn-award";
    static constexpr char kSpottingSite[] = "https://spots.vorn-award.org/";
    const char *site = kSpottingSite;
    if (GetKeyState(VK_CONTROL) < 0)
        site = kMainSite;
    else if (GetKeyState(VK_MENU) < 0)
        site = kReflectorSite;
    // Owned by the window clicked, so a box the shell shows belongs to it.
    ShellExecuteA(owner, "open", site, nullptr, nullptr, SW_SHOWNORMAL);
}

int CompareVersions(const char *a, const char *b) {
    for (;;) {
        size_t lengthA = 0, lengthB = 0;
        const char *runA = DigitRun(a, &lengthA);
        const char *runB = DigitRun(b, &lengthB);
        if (lengthA != lengthB) {
            // "0" and an absent part are both zero; otherwise the longer number is greater.
            const bool zeroA = lengthA == 0 || (lengthA == 1 && *runA == '0');
            const bool zeroB = lengthB == 0 || (lengthB == 1 && *runB == '0');
            if (!(zeroA && zeroB)) return lengthA > lengthB ? 1 : -1;
        } else if (lengthA > 0) {
            const int c = strncmp(runA, runB, lengthA);
            if (c != 0) return c > 0 ? 1 : -1;
        }
        a = runA + lengthA;
        b = runB + lengthB;
        const bool moreA = a[0] == '.' && a[1] >= '0' && a[1] <= '9';
        const bool moreB = b[0] == '.' && b[1] >= '0' && b[1] <= '9';
        if (!moreA && !moreB) return 0;
        if (moreA) ++a;
        if (moreB) ++b;
    }
}

int CheckForUpdate(const char *version) {
    char url[2 * MAX_PATH + 64];
    snprintf(url, sizeof url, "%s/soft_vers.php?AppName=tarnlog&Vers=%s&TextOnly", VersionEndpointBase, version);
    char *tempName = _tempnam(getenv("TEMP"), "LogVer");
    if (!tempName) return -2;

    HANDLE curl = StartCurl(url, tempName);
    if (!curl) {
        MessageBoxA(nullptr, "ERROR: Could not execute CURL command !\r\n", kProgramName, MB_ICONERROR);
        free(tempName);
        return -2;
    }
    const long connect = EditorSettings.ConnectTimeOut > 0 ? EditorSettings.ConnectTimeOut : 0;
    const long transfer = EditorSettings.DownLoadTimeOut > 0 ? EditorSettings.DownLoadTimeOut : 0;
    const DWORD bound = static_cast<DWORD>(connect + transfer + kCurlWaitMarginSeconds) * 1000u;
    const long code = WaitForCurl(curl, bound);
    CloseHandle(curl);
    if (code != 0) {
        ShowCheckFailed("Error: Unable to check for updates - please try later\n");
        _unlink(tempName);   // what a failed or ended transfer left
        free(tempName);
        return -2;
    }
    FILE *answer = fopen(tempName, "rt");
    if (!answer) {
        char text[300];
        snprintf(text, sizeof text, "Error: %s\n", strerror(errno));
        ShowCheckFailed(text);
        free(tempName);
        return -2;
    }
    // Only a version on the first line and a safe https address on the second
    // are an answer: anything else (an error page, a cut line) fails the check.
    char first[kAnswerLineSize], second[kAnswerLineSize], rest[kAnswerLineSize];
    bool cutFirst = false, cutSecond = false, cut = false;
    int result = -2;
    if (ReadAnswerLine(answer, first, &cutFirst) && ReadAnswerLine(answer, second, &cutSecond) && !cutFirst &&
        !cutSecond && IsVersionShaped(first) && IsSafeHttpsAddress(second)) {
        result = CompareVersions(first, version);
        lstrcpynA(NewVersion, first, sizeof NewVersion);
        lstrcpynA(UpdateUrl, second, sizeof UpdateUrl);
    }
    while (ReadAnswerLine(answer, rest, &cut)) {
    }
    fclose(answer);
    _unlink(tempName);
    free(tempName);
    return result;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return InitAbout(dialog);
    case WM_COMMAND:
        if (Checking) return TRUE;   // nothing ends the dialog while curl.exe runs
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, 1);
            break;
        case IDCANCEL:
            EndDialog(dialog, 2);
            break;
        case IDC_CHECK_UPDATE:
            RunCheck(dialog);
            break;
        case IDC_UPDATE_NOW:
            if (StartTarnfetch(dialog)) EndDialog(dialog, 1);
            break;
        case IDC_LOGO:
            OpenSchemeSiteByKeys(dialog);
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}
