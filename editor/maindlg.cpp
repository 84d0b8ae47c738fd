// The main window's procedure: its messages, the log list's notifications, every
// command of the menus, keys and buttons, and the end-session answers.
#include "maindlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "aboutdlg.h"
#include "appstate.h"
#include "configdlg.h"
#include "editdlg.h"
#include "entryform.h"
#include "filecmds.h"
#include "help.h"
#include "logloader.h"
#include "loglist_win.h"
#include "mainsetup.h"
#include "msgdialog_win.h"
#include "qsolist.h"
#include "registry.h"
#include "resource.h"
#include "settings_win.h"
#include "statusbar_win.h"
#include "summitsdb.h"

int SelectedListIndex = -1;
char PendingUpdater[kUpdaterPathSize] = "";

namespace {

constexpr char kUnsavedQuestion[] = "WARNING: The Log has not been saved !!\n\nDo you want to save it now?";
constexpr char kQuitAnywayQuestion[] =
    "ERROR: Unable to save the log\n\nDo you want to close VORN CSV Log Editor anyway?\n";
constexpr char kOpenAnywayQuestion[] =
    "ERROR: Unable to save the log\n\nDo you want to open the selected log anyway?\n";
constexpr UINT kUnsavedFlags = MB_YESNO | MB_ICONEXCLAMATION;
constexpr UINT kAnywayFlags = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;
constexpr double kDbFreshSeconds = 86400.0;

// Set when the user, asked whether Windows may end the session, let the unsaved
// log go: the end of the session must not save it after all.
bool EndSessionDiscards = false;

int Ask(HWND window, const char *text, UINT flags) { return ShowMessageDialog(window, text, kProgramName, flags); }

// Moved as the dialog manager moves it after a question or dialog: a text in
// the field is selected, so typing replaces it, and Log Contact stays the
// default push button.
void FocusEntryStart(HWND window) {
    HWND control = GetDlgItem(window, EditorSettings.AutoTime == 1 ? IDC_HIS_CALL : IDC_QSO_TIME);
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// Makes Log Contact the default push button again, so Enter logs the contact.
void RestoreDefaultButton(HWND window) {
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_LOG_CONTACT)), TRUE);
}

void AutoSaveLog(HWND window) {
    if (LogModified == 1 && EditorSettings.AutoSave == 1 && EditorSettings.CurrentLogPath[0]) SaveLog(window, 0);
}

int FirstSelectedRow(HWND window) {
    return static_cast<int>(
        SendDlgItemMessageA(window, IDC_LOG_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The unsaved-log question before the log goes: only an explicit No lets it go
// unsaved; else it is saved, and a failed save asks anywayQuestion. True when
// the caller may go on.
bool SaveOrLetGo(HWND window, const char *anywayQuestion) {
    if (Ask(window, kUnsavedQuestion, kUnsavedFlags) == IDNO) return true;
    if (SaveLog(window, EditorSettings.CurrentLogPath[0] ? 0 : 1) == 1) return true;
    return Ask(window, anywayQuestion, kAnywayFlags) == IDYES;
}

void LogContactCommand(HWND window) {
    if (ValidateEntryForm(window) == 1 && LogContact(window, 0) == 0) {
        ShowStatusMessage("Failed to log QSO details", 0);
        ErrorBeep();
    }
    RefreshLogList(window);
    AutoSaveLog(window);
}

void ClearEntryCommand(HWND window) {
    ClearEntryForm(window);
    RestoreDefaultButton(window);
    FocusEntryStart(window);
}

void DeleteSelectedEntry(HWND window) {
    // The row highlighted now: the row clicked last may show another contact
    // since a refresh, a sort, New or Open.
    const int row = FirstSelectedRow(window);
    if (row == -1) {
        ShowStatusMessage("No log entry selected", 3000);
        ErrorBeep();
        return;
    }
    char idText[16] = "";
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = idText;
    item.cchTextMax = sizeof idText;
    SendDlgItemMessageA(window, IDC_LOG_LIST, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    const int id = atoi(idText);
    const QsoEntry *entry = FindQsoEntry(id, nullptr);
    if (!entry) {
        Ask(window, "INTERNAL ERROR: Unable to locate the selected log entry", MB_OK);
        return;
    }

    char date[12], time[10];
    FormatLogListTime(entry->qsoTime, date, time);
    char question[sizeof entry->hisCall + sizeof date + sizeof time + 64];
    snprintf(question, sizeof question, "Are you sure you want to delete the QSO\nwith %s at %s on %s ?",
             entry->hisCall, time, date);
    if (Ask(window, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES && DeleteQsoEntry(id) == 0) {
        ShowStatusMessage("Log entry deleted", 3000);
        AutoSaveLog(window);
    }
    RefreshLogList(window);
    RestoreDefaultButton(window);
    FocusEntryStart(window);
    SelectedListIndex = -1;
}

void EditSelectedEntry(HWND window) {
    SelectedListIndex = FirstSelectedRow(window);
    if (SelectedListIndex != -1 &&
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_EDIT_ENTRY), window, EditEntryDlgProc,
                        SelectedListIndex) == IDOK) {
        RefreshLogList(window);
        AutoSaveLog(window);
        SelectedListIndex = -1;
    }
    FocusEntryStart(window);
}

void RunConfiguration(HWND window) {
    const INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_CONFIG), window, ConfigDlgProc, 0);
    if (result == 1) {
        RefreshLogList(window);
        FillBandCombo(window, nullptr);
        FillMyCallCombo(window, nullptr);
        FillModeCombo(window, nullptr);
    } else if (result == 2) {
        RefreshLogList(window);
    } else if (result == -1) {
        Ask(window, "ERROR: Unable to Display Configuration Dialog!", MB_OKCANCEL | MB_ICONINFORMATION);
    }
}

void RunAbout(HWND window) {
    if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDlgProc, 0) == -1)
        Ask(window, "ERROR: Unable to Display About Information Dialog!", MB_OKCANCEL | MB_ICONINFORMATION);
}

// The Options menu's toggles: each command, its setting and registry value.
struct OptionToggle {
    int id;
    int EditorSettingsRecord::*setting;
    const char *valueName;
};
constexpr OptionToggle kOptionToggles[] = {
    {IDM_AUTO_SAVE, &EditorSettingsRecord::AutoSave, "AutoSave"},
    {IDM_AUTO_TIME, &EditorSettingsRecord::AutoTime, "AutoTime"},
    {IDM_AUTO_CLEAR_SUMMIT, &EditorSettingsRecord::ClearRefOnEntry, "ClearRefOnEntry"},
    {IDM_AUTO_BAND_RESET, &EditorSettingsRecord::ResetBandOnEntry, "ResetBandOnEntry"},
    {IDM_REF_CHECK, &EditorSettingsRecord::RefChecking, "RefChecking"},
    {IDM_AUTO_SWL_CLEAR, &EditorSettingsRecord::ClearSWLOnEntry, "ClearSWLOnEntry"},
};

const OptionToggle *FindOptionToggle(int id) {
    for (const OptionToggle &toggle : kOptionToggles)
        if (toggle.id == id) return &toggle;
    return nullptr;
}

void ToggleOption(HWND window, const OptionToggle &toggle) {
    int &value = EditorSettings.*toggle.setting;
    value = value ? 0 : 1;
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, toggle.valueName, static_cast<uint32_t>(value));
    CheckMenuItem(OptionsMenu, toggle.id, MF_BYCOMMAND | (value ? MF_CHECKED : MF_UNCHECKED));
    switch (toggle.id) {
    case IDM_AUTO_SAVE:
        if (value && LogModified == 1) SaveLog(window, 0);
        break;
    case IDM_AUTO_TIME:
        EnableWindow(GetDlgItem(MainWindow, IDC_QSO_DATE), !value);
        EnableWindow(GetDlgItem(MainWindow, IDC_QSO_TIME), !value);
        if (value) SetFocus(GetDlgItem(window, IDC_HIS_CALL));
        break;
    case IDM_REF_CHECK:
        ShowRefCheckStatus();
        break;
    default:
        break;
    }
}

int RecentLogIndex(const char *path) {
    for (int i = 0; i < EditorSettings.RecentLogCount && i < kRecentLogSlots; ++i)
        if (strcmp(EditorSettings.RecentLogs[i], path) == 0) return i;
    return -1;
}

void OpenRecentLog(HWND window, int i) {
    // Only entries the list holds: the ids past its count name no log.
    if (i < 0 || i >= EditorSettings.RecentLogCount || i >= kRecentLogSlots) return;
    char path[kSettingsPathSize];
    snprintf(path, sizeof path, "%s", EditorSettings.RecentLogs[i]);
    if (!path[0]) return;
    if (!FileExists(path)) {
        ShowStatusMessage("Selected log no longer exists", 6000);
        ErrorBeep();
        return;
    }
    if (LogModified == 1 && !SaveOrLetGo(window, kOpenAnywayQuestion)) return;

    if (QsoListHead) FreeQsoList();
    RefreshLogList(window);
    const int loaded = LoadCsvLog(window, path);
    LogModified = 0;
    char *current = EditorSettings.CurrentLogPath;
    if (loaded != 1) {
        current[0] = '\0';
        SetLogFileName(current);
        return;
    }
    snprintf(current, kSettingsPathSize, "%s", path);
    SetLogFileName(current);
    RefreshLogList(window);
    // The log opened goes first by changing places with the first entry. A save
    // on the way may have put the log it wrote first and moved this one along,
    // or off the list: it is looked for where it is now.
    const int at = RecentLogIndex(path);
    if (at > 0) {
        char(&logs)[kRecentLogSlots][kSettingsPathSize] = EditorSettings.RecentLogs;
        char first[kSettingsPathSize];
        memcpy(first, logs[0], sizeof first);
        memcpy(logs[0], logs[at], sizeof first);
        memcpy(logs[at], first, sizeof first);
        BuildRecentLogMenu();
        SaveRecentLogs();
    } else if (at < 0) {
        PromoteRecentLog(path);
    }
    SaveSettingText("LastCSVLog", current);
}

void ClearRecentLogs() {
    for (int i = 0; i < EditorSettings.RecentLogCount && i < kRecentLogSlots; ++i)
        EditorSettings.RecentLogs[i][0] = '\0';
    EditorSettings.RecentLogCount = 0;
    BuildRecentLogMenu();
    SaveRecentLogs();
}

void UpdateSummitsDb(HWND window) {
    if (DbLastUpdate != -1 && difftime(time(nullptr), static_cast<time_t>(DbLastUpdate)) <= kDbFreshSeconds) {
        ShowStatusMessage("Summits DB update not required", 5000);
        ErrorBeep();
        return;
    }
    // The editor closes for the updater only when there is one, and the updater
    // starts only once the editor has really closed (it waits for the editor).
    char updater[kUpdaterPathSize];
    const int length = snprintf(updater, sizeof updater, "%s\\Tarnsync.EXE", ProgramDirectory);
    if (length < 0 || length >= static_cast<int>(sizeof updater) || !FileExists(updater)) {
        ShowStatusMessage("ERROR: Summits DB updater Tarnsync.EXE not found", 6000);
        ErrorBeep();
        return;
    }
    memcpy(PendingUpdater, updater, sizeof updater);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// Fills an empty edit field with a quick text, the caret at its end.
void FillIfEmpty(HWND window, int id, const char *text, size_t room) {
    const std::string quick(text, strnlen(text, room));
    HWND edit = GetDlgItem(window, id);
    if (quick.empty() || GetWindowTextLengthA(edit) > 0) return;
    SetWindowTextA(edit, quick.c_str());
    const int length = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, length, length);
}

void QuickPrefix(HWND window, int i) {
    FillIfEmpty(window, IDC_HIS_CALL, EditorSettings.ShortCalls[i], sizeof EditorSettings.ShortCalls[i]);
    FillIfEmpty(window, IDC_HIS_SUMMIT, EditorSettings.ShortRefs[i], sizeof EditorSettings.ShortRefs[i]);
}

BOOL OnCommand(HWND window, int id, int code) {
    if (const OptionToggle *toggle = FindOptionToggle(id)) {
        ToggleOption(window, *toggle);
        return TRUE;
    }
    if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + 10) {
        OpenRecentLog(window, id - IDM_RECENT_FIRST);
        return TRUE;
    }
    if (id >= IDM_QUICK_PREFIX_FIRST && id < IDM_QUICK_PREFIX_FIRST + kShortCallSlots) {
        QuickPrefix(window, id - IDM_QUICK_PREFIX_FIRST);
        return TRUE;
    }
    switch (id) {
    case IDM_NEW_LOG:
        ResetLog(window, 1);
        break;
    case IDM_OPEN_LOG:
        if (OpenLog(window) == 1) RefreshLogList(window);
        break;
    case IDM_SAVE_LOG:
    case IDM_SAVE_LOG_AS:
        if (SaveLog(window, id == IDM_SAVE_LOG_AS ? 1 : 0) == 1) ShowStatusMessage("Log Saved", 3000);
        break;
    case IDM_CONFIGURATION:
        RunConfiguration(window);
        break;
    case IDM_EXPORT:
        if (ExportLog(window) == 1) {
            ShowStatusMessage("Export Completed", 3000);
        } else {
            ShowStatusMessage("Export failed or aborted", 3000);
            ErrorBeep();
        }
        break;
    case IDM_QUIT:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case IDM_CLOSE_LOG:
        ResetLog(window, 0);
        break;
    case IDM_OPEN_LOG_DIR:
        ShellExecuteA(window, "explore", EditorSettings.DataDirectory, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case IDM_UPDATE_DB:
        UpdateSummitsDb(window);
        break;
    case IDM_CLEAR_RECENT:
        ClearRecentLogs();
        break;
    case IDM_UNUSED_F2:
        break;
    case IDC_HIS_SUMMIT:
    case IDC_MY_SUMMIT:
        if (DbAvailable == 1 && (code == EN_SETFOCUS || code == EN_CHANGE || code == EN_KILLFOCUS)) {
            if (id == IDC_HIS_SUMMIT)
                ShowHisSummitInfo(window);
            else
                ShowMySummitInfo(window);
        }
        break;
    case IDC_LOG_CONTACT:
        LogContactCommand(window);
        break;
    case IDC_CLEAR_ENTRY:
        ClearEntryCommand(window);
        break;
    case IDC_DELETE_ENTRY:
        DeleteSelectedEntry(window);
        break;
    case IDC_LOGO:
        OpenSchemeSiteByKeys(window);
        break;
    case IDM_HELP:
        OpenHelpTopic(window, nullptr);
        break;
    case IDM_ABOUT:
        RunAbout(window);
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

BOOL OnNotify(HWND window, NMHDR *header) {
    if (header->idFrom == IDC_QSO_TIME && (header->code == NM_SETFOCUS || header->code == DTN_DATETIMECHANGE)) {
        RollQsoTimeMinute(window, header);
        return TRUE;
    }
    if (header->idFrom != IDC_LOG_LIST) return FALSE;
    switch (header->code) {
    case LVN_COLUMNCLICK:
        SortOnColumnClick(reinterpret_cast<NMLISTVIEW *>(header));
        return TRUE;
    case NM_CUSTOMDRAW:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, DrawLogListItem(reinterpret_cast<NMLVCUSTOMDRAW *>(header)));
        return TRUE;
    case LVN_GETDISPINFOA:
        GiveLogListText(reinterpret_cast<NMLVDISPINFOA *>(header));
        return TRUE;
    case LVN_DELETEALLITEMS:
        // No LVN_DELETEITEM for each row: nothing here needs them.
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case NM_CLICK:
    case NM_RCLICK:
        SelectedListIndex = FirstSelectedRow(window);
        return TRUE;
    case NM_DBLCLK:
    case NM_RDBLCLK:
        EditSelectedEntry(window);
        return TRUE;
    default:
        return FALSE;
    }
}

// Windows asks whether the session may end. The unsaved log is decided now (saved,
// let go, or the end refused); the program quits only when the session ends.
BOOL OnQueryEndSession(HWND window) {
    EndSessionDiscards = false;
    BOOL mayEnd = TRUE;
    if (LogModified == 1) {
        mayEnd = SaveOrLetGo(window, kQuitAnywayQuestion) ? TRUE : FALSE;
        EndSessionDiscards = mayEnd && LogModified == 1;
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, mayEnd);
    return TRUE;
}

BOOL OnEndSession(HWND window, BOOL ending) {
    if (!ending) {
        EndSessionDiscards = false;
        return FALSE;
    }
    if (LogModified == 1 && EditorSettings.CurrentLogPath[0] && !EndSessionDiscards) SaveLog(window, 0);
    EndSessionDiscards = false;
    PostQuitMessage(0);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK MainDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitMainWindow(window);
        return FALSE;   // the set-up has put the focus where typing starts
    case WM_SIZE:
        if (StatusBar) SendMessageA(StatusBar, WM_SIZE, wParam, lParam);
        return TRUE;
    case WM_CLOSE:
        CloseHelpViewer(window);
        CloseMainWindow(window);
        // Kept open: the database update waits for another close.
        if (IsWindow(window)) PendingUpdater[0] = '\0';
        return TRUE;
    case WM_DESTROY:
        // A window destroyed by its own failed set-up is not the program's yet:
        // the quit would end start-up's error message at once.
        if (window == MainWindow) PostQuitMessage(0);
        return TRUE;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession(window);
    case WM_ENDSESSION:
        return OnEndSession(window, static_cast<BOOL>(wParam));
    case WM_NOTIFY:
        return OnNotify(window, reinterpret_cast<NMHDR *>(lParam));
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}

void SendClose(HWND window) { SendMessageA(window, WM_CLOSE, 0, 0); }
