// Program start-up: WinMain and the defaults that must be in place before it.
#include "startup.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "appstate.h"
#include "configdlg.h"
#include "maindlg.h"
#include "msgdialog_win.h"
#include "qsolist.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "settingsload.h"
#include "statusbar_win.h"
#include "summitsdb.h"

HANDLE InstanceMutex = nullptr;

void InitDefaultTextColours(void) {
    EditorSettings.PriListTXTColour = GetSysColor(COLOR_WINDOWTEXT);
    EditorSettings.AltListTXTColour = GetSysColor(COLOR_WINDOWTEXT);
}

namespace {

// EditorSettings is constant-initialised, so it is ready before this runs.
[[maybe_unused]] const bool defaultTextColoursSet = (InitDefaultTextColours(), true);

constexpr char kMutexName[] = "{FC0AAB9D-B5A4-4EAA-B6E5-1739E40934FC}";

void StartupError(const char *text, UINT flags) { MessageBoxA(nullptr, text, kProgramName, flags); }

void StartupErrorWithCode(const char *format) {
    char text[128];
    snprintf(text, sizeof text, format, static_cast<long>(GetLastError()));
    StartupError(text, MB_ICONERROR);
}

// False when another editor runs: it has been restored and told about.
bool TakeSingleInstance() {
    InstanceMutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (!InstanceMutex) {
        StartupErrorWithCode("ERROR: CreateMutex(): %ld");
        return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
    HWND other = FindWindowA("#32770", kProgramName);
    if (other) {
        ShowWindow(other, SW_RESTORE);
        Sleep(250);
    }
    ShowMessageDialog(other, "\n\nVORN CSV Log Editor is already running", kProgramName,
                      MB_OKCANCEL | MB_ICONINFORMATION);
    CloseHandle(InstanceMutex);
    InstanceMutex = nullptr;
    return false;
}

void SetProgramPaths() {
    DWORD length = GetModuleFileNameA(AppInstance, ModulePath, sizeof ModulePath);
    if (length >= sizeof ModulePath) length = 0;
    ModulePath[length] = '\0';
    strcpy(ProgramDirectory, ModulePath);
    char *slash = strrchr(ProgramDirectory, '\\');
    *(slash ? slash : ProgramDirectory) = '\0';
    snprintf(CaBundlePath, sizeof CaBundlePath, "%s\\curl-ca-bundle.crt", ProgramDirectory);
}

bool HasCsvExtension(const char *path) {
    const char *dot = strrchr(path, '.');
    return dot && !strpbrk(dot, "\\/") && lstrcmpiA(dot, ".csv") == 0;
}

void CleanUp() {
    DbClose();
    if (QsoListHead) FreeQsoList();
    if (InstanceMutex) {
        ReleaseMutex(InstanceMutex);
        CloseHandle(InstanceMutex);
        InstanceMutex = nullptr;
    }
    if (AppIcon) DestroyIcon(AppIcon);
    if (DbStatusIcon) DestroyIcon(DbStatusIcon);
    AppIcon = DbStatusIcon = nullptr;
}

}  // namespace

int TakeCommandLineLog(int argc, char **argv) {
    if (argc < 2 || !argv[1] || !HasCsvExtension(argv[1])) return 0;
    if (strlen(argv[1]) >= sizeof EditorSettings.CurrentLogPath) {
        char text[sizeof EditorSettings.CurrentLogPath + 160];
        snprintf(text, sizeof text,
                 "ERROR: The log named on the command line was not opened: its path is longer than %d characters\n\n"
                 "%.*s...",
                 kSettingsPathSize - 1, 80, argv[1]);
        ShowMessageDialog(nullptr, text, kProgramName, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    strcpy(EditorSettings.CurrentLogPath, argv[1]);
    return 1;
}

void RunFirstConfiguration(void) {
    if (EditorSettings.FirstRun == 0) return;
    const INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_CONFIG), nullptr, ConfigDlgProc, 0);
    if (result != 1 && result != 2) return;
    EditorSettings.FirstRun = result == 1 ? 0 : 1;
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "FirstRun", static_cast<uint32_t>(EditorSettings.FirstRun));
}

void DispatchMainMessage(MSG *msg, HACCEL accelerators) {
    RelayToolTipMouse(msg);
    if (accelerators && MainWindow && TranslateAcceleratorA(MainWindow, accelerators, msg)) return;
    if (MainWindow && IsDialogMessageA(MainWindow, msg)) return;
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // Set first: the message that another editor runs comes from this module's resources.
    AppInstance = instance;
    if (!TakeSingleInstance()) return -1;

    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&controls)) StartupErrorWithCode("ERROR: Unable to Initialize common controls : %ld");

    SetProgramPaths();
    LoadSettings();
    TakeCommandLineLog(__argc, __argv);
    RunFirstConfiguration();

    HWND window = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDlgProc, 0);
    // A window whose set-up failed is destroyed already; Wine still hands back its handle.
    if (!window || !IsWindow(window)) {
        StartupError("ERROR: Window Creation Failed!", MB_ICONEXCLAMATION);
        CleanUp();
        return 0;
    }
    MainWindow = window;

    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    if (!accelerators) StartupError("ERROR: Unable to load Keyboard Accelerators", MB_ICONEXCLAMATION);
    ShowWindow(MainWindow, showCommand);

    MSG msg = {};
    int exitCode = 0;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        // A failing message queue would otherwise be asked again for ever.
        if (got == -1) {
            exitCode = 1;
            break;
        }
        DispatchMainMessage(&msg, accelerators);
    }

    CleanUp();
    // The updater waits for this editor to end before it rebuilds the database.
    if (PendingUpdater[0])
        ShellExecuteA(nullptr, "open", PendingUpdater, "/update-now", nullptr, SW_SHOWNORMAL);
    return exitCode;
}
