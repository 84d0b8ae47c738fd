// The file commands (filecmds.h).
#include "filecmds.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "adifexport.h"
#include "appstate.h"
#include "entryform.h"
#include "logloader.h"
#include "loglist_win.h"
#include "logwriter.h"
#include "msgdialog_win.h"
#include "qsolist.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "settings_win.h"
#include "statusbar_win.h"
#include "strutil.h"

const char *const FileCommandsCaption = "VORN CSV Log Editor";

namespace {

const char kUnsavedQuestion[] = "WARNING: The Log has not been saved !!\n\nDo you want to save it now?";
const char kClearAnyway[] = "ERROR: Unable to save the log\n\nDo you want to clear the log anyway?\n";
const char kCloseLogAnyway[] = "ERROR: Unable to save the log\n\nDo you want to close the log anyway?\n";
const char kQuitAnyway[] = "ERROR: Unable to save the log\n\nDo you want to close VORN CSV Log Editor anyway?\n";
const char kIncompleteEntry[] = "WARNING: Incomplete log entry detected !\n\nLog it now?";
const char kNothingToSave[] =
    "Sorry: There is nothing in the Log to save.\n\nIf you want enable saving of empty Logs refer to the "
    "documentation (F1).";
const char kNothingToExport[] = "Sorry: There is nothing in the Log to export.\n";
const char kExportOntoLog[] =
    "Sorry: The export cannot replace the open log.\n\nPlease choose another file name for the export.";

// Description and pattern pairs, ended by an empty pair.
const char kLogFileFilter[] = "Comma Separated Values (*.csv)\0*.csv\0";
const char kExportFilter[] =
    "Amateur Data Interchange Format (*.adi)\0*.adi;*.adif\0"
    "Comma Separated Values (*.csv)\0*.csv\0"
    "Tab Separated Values (*.tsv)\0*.tsv\0";

int Ask(HWND owner, const char *text, UINT flags) {
    return ShowMessageDialog(owner, text, FileCommandsCaption, flags);
}

// The operator part of a proposed file name: ADIF_Operator as stored now, else
// the default own callsign; cut before any "/" so it stays one name.
void ProposedOperator(char (&out)[kAdifOperatorSize]) {
    out[0] = '\0';
    char stored[kAdifOperatorSize] = "";
    int size = static_cast<int>(sizeof stored);
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, "ADIF_Operator", stored, &size);
    // Stored without a terminator: a text that fits always leaves one.
    if (size > 0 && stored[0]) {
        snprintf(out, sizeof out, "%s", stored);
    } else if (EditorSettings.MyCallCount > 0) {
        snprintf(out, sizeof out, "%s", EditorSettings.MyCall[0]);
    }
    if (char *slash = strchr(out, '/')) *slash = '\0';
}

// The file name part of path, after its last separator.
const char *FileNamePart(const char *path) {
    const char *name = path;
    for (const char *p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

// The extension of the file name part, with its dot; "" when it has none.
const char *ExtensionOf(const char *path) {
    const char *dot = strrchr(FileNamePart(path), '.');
    return dot ? dot : "";
}

// 1 when both name the same file (as far as the names tell, ignoring case).
int SameFile(const char *a, const char *b) {
    char fullA[MAX_PATH] = "", fullB[MAX_PATH] = "";
    const DWORD lengthA = GetFullPathNameA(a, sizeof fullA, fullA, nullptr);
    const DWORD lengthB = GetFullPathNameA(b, sizeof fullB, fullB, nullptr);
    if (lengthA == 0 || lengthA >= sizeof fullA || lengthB == 0 || lengthB >= sizeof fullB)
        return StrCompareNoCase(a, b) == 0;
    return StrCompareNoCase(fullA, fullB) == 0;
}

void StoreLastLog(const char *path) { SaveSettingText("LastCSVLog", path); }

// Offers to save unsaved work before it is discarded. 1: go on; 0: the user
// keeps the log (a failed save not confirmed with the anyway question).
int SaveBeforeDiscarding(HWND owner, const char *anywayQuestion) {
    if (!LogModified) return 1;
    if (Ask(owner, kUnsavedQuestion, MB_YESNO | MB_ICONEXCLAMATION) == IDNO) return 1;
    if (SaveLog(owner, EditorSettings.CurrentLogPath[0] ? 0 : 1)) return 1;
    return Ask(owner, anywayQuestion, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

// Empties the log and forgets its file.
void DiscardLog(HWND owner) {
    ClearQsoList();
    RefreshLogList(owner);
    EditorSettings.CurrentLogPath[0] = '\0';
    LogModified = 0;
    ClearLogFileName();
    StoreLastLog("");
}

// Shows the standard file dialog (save, or open when open is set) on file,
// which holds the proposal and gets the choice; 1 when a file was chosen.
int ChooseFile(HWND owner, bool open, const char *filter, char *file, DWORD fileSize, const char *folder,
               const char *title, DWORD flags, const char *defaultExtension) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileSize;
    dialog.lpstrInitialDir = folder && folder[0] ? folder : nullptr;
    dialog.lpstrTitle = title;
    dialog.Flags = flags;
    dialog.lpstrDefExt = defaultExtension;
    return (open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog)) ? 1 : 0;
}

}  // namespace

int SaveLog(HWND owner, int saveAs) {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    char date[32] = "";
    snprintf(date, sizeof date, "_%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    char op[kAdifOperatorSize] = "";
    ProposedOperator(op);

    if (!QsoListHead && !EditorSettings.AllowEmptySave) {
        Ask(owner, kNothingToSave, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (EditorSettings.CurrentLogPath[0] && !saveAs) return WriteCsvLog(owner, EditorSettings.CurrentLogPath) ? 1 : 0;

    const char *folder = EditorSettings.DataDirectory;
    char file[MAX_PATH] = "";
    const int length = snprintf(file, sizeof file, "%s\\%s%s.csv", folder, op, date);
    // A folder too long for the whole proposal: the dialog starts in it anyway.
    if (length < 0 || length >= static_cast<int>(sizeof file)) snprintf(file, sizeof file, "%s%s.csv", op, date);

    if (!ChooseFile(owner, false, kLogFileFilter, file, sizeof file, folder, "Save Log to:",
                    OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, "csv"))
        return 0;
    return WriteCsvLog(owner, file) ? 1 : 0;
}

int ExportLog(HWND owner) {
    if (!QsoListHead) {
        Ask(owner, kNothingToExport, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char file[MAX_PATH] = "";
    snprintf(file, sizeof file, "%s", EditorSettings.CurrentLogPath);
    const size_t length = strlen(file);
    if (length >= 3) memcpy(file + length - 3, "adi", 3);

    if (!ChooseFile(owner, false, kExportFilter, file, sizeof file, nullptr, "Export Log to:",
                    OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, "adi"))
        return 0;

    // An export would replace the log with another layout, and without a backup.
    if (EditorSettings.CurrentLogPath[0] && SameFile(file, EditorSettings.CurrentLogPath)) {
        Ask(owner, kExportOntoLog, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    const char *extension = ExtensionOf(file);
    if (StrCompareNoCase(extension, ".adi") == 0 || StrCompareNoCase(extension, ".adif") == 0)
        return ExportAdif(file) ? 1 : 0;
    return ExportCsv(file) ? 1 : 0;
}

int ResetLog(HWND owner, int isNew) {
    if (!SaveBeforeDiscarding(owner, kClearAnyway)) return 0;
    DiscardLog(owner);
    ShowStatusMessage(isNew ? "New (empty) log created" : "Log closed", 3000);
    return 1;
}

int OpenLog(HWND owner) {
    if (!SaveBeforeDiscarding(owner, kCloseLogAnyway)) return 0;
    DiscardLog(owner);

    const char *folder = EditorSettings.DataDirectory;
    char file[MAX_PATH] = "";
    if (folder[0]) {
        const int length = snprintf(file, sizeof file, "%s\\*.csv", folder);
        if (length < 0 || length >= static_cast<int>(sizeof file)) snprintf(file, sizeof file, "*.csv");
    }
    if (!ChooseFile(owner, true, kLogFileFilter, file, sizeof file, folder, "Open existing Log file",
                    OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, "csv"))
        return 0;
    if (!LoadCsvLog(owner, file)) return 0;

    snprintf(EditorSettings.CurrentLogPath, sizeof EditorSettings.CurrentLogPath, "%s", file);
    SetLogFileName(file);
    LogModified = 0;
    StoreLastLog(file);
    PromoteRecentLog(file);
    return 1;
}

void CloseMainWindow(HWND window) {
    char summit[64] = "", call[64] = "";
    GetDlgItemTextA(window, IDC_HIS_SUMMIT, summit, sizeof summit);
    GetDlgItemTextA(window, IDC_HIS_CALL, call, sizeof call);
    if (summit[0] && call[0]) {
        const int answer = Ask(window, kIncompleteEntry, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        // Only an explicit No gives the typed contact up.
        if (answer != IDYES && answer != IDNO) return;
        if (answer == IDYES) {
            if (!ValidateEntryForm(window)) return;
            if (!LogContact(window, 0)) {
                // The form still holds the contact: keep the window for it.
                ShowStatusMessage("Failed to log QSO details", 0);
                ErrorBeep();
                return;
            }
            RefreshLogList(window);
            if (LogModified && EditorSettings.AutoSave && EditorSettings.CurrentLogPath[0]) SaveLog(window, 0);
        }
    }
    if (LogModified) {
        const int answer = Ask(window, kUnsavedQuestion, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        if (answer == IDYES) {
            if (!SaveLog(window, EditorSettings.CurrentLogPath[0] ? 0 : 1) &&
                Ask(window, kQuitAnyway, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
                return;
        } else if (answer != IDNO) {
            // Cancel, or a question that could not be shown: unsaved work stays.
            return;
        }
    }
    SaveWindowPosition(window);
    CaptureLogColumnWidths(window);
    SaveLogColumnSize();
    KillTimer(MainWindow, IDT_CLOCK);
    DbStatusText[0] = DbStatusTip[0] = '\0';
    DestroyWindow(window);
}
