// The edit-entry dialog: the shared entry form filled from one logged contact,
// and Update, which stores the form as a new contact in time order before the
// old one is removed, so a failed store loses nothing.
#include "editdlg.h"

#include <commctrl.h>

#include <cstdlib>

#include "appstate.h"
#include "entryform.h"
#include "msgdialog_win.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "strutil.h"
#include "utctime_win.h"

int EditedEntryId = 0;

namespace {

// The own position as the main form had it; the own summit of the edited
// contact moves it only while the dialog is open.
float savedHomeLatitude = 0, savedHomeLongitude = 0;

// The row's "Line" column: the contact's id.
int RowEntryId(int row) {
    char text[10] = "";
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    HWND list = GetDlgItem(MainWindow, IDC_LOG_LIST);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    text[sizeof text - 1] = '\0';
    return atoi(text);
}

// A stored band, mode or callsign that the user's list lacks is offered for
// this edit and selected, so that Update keeps it instead of the first item.
void KeepStoredChoice(HWND dialog, int id, const char *stored) {
    HWND combo = GetDlgItem(dialog, id);
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected >= 0) {
        char shown[64] = "";
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
        if (length >= 0 && length < static_cast<LRESULT>(sizeof shown)) {
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(shown));
            if (StrCompareNoCase(shown, stored) == 0) return;
        }
    }
    const LRESULT added = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(stored));
    if (added >= 0) SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(added), 0);
}

void SetPickers(HWND dialog, UtcTime t) {
    SYSTEMTIME at = {};
    UnixTimeToSystemTime(t, &at);
    SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
    // Limited after the date is set: a contact without a usable time keeps
    // showing its date (1969-12-31) and is refused by Update, not moved to today.
    LimitQsoDate(dialog);
    SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH':'mm"));
    SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
}

void SetLimitedText(HWND dialog, int id, int limit, const char *text) {
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    SetDlgItemTextA(dialog, id, text);
}

void AddTips(HWND dialog) {
    static const struct {
        int id;
        const char *text;
    } tips[] = {
        {IDC_QSO_DATE, "Select/Edit QSO Date"},
        {IDC_QSO_TIME, "Select/Edit QSO Time"},
        {IDC_HIS_CALL, "Callsign of other station"},
        {IDC_HIS_SUMMIT, "Other stations Summit Reference (if any)"},
        {IDC_MY_SUMMIT, "Your Summit Reference (if any)"},
        {IDC_NOTES, "Comments and other information (optional)"},
        {IDC_SWL, "Tick if this is a SWL Entry"},
        {IDOK, "Update the log"},
        {IDCANCEL, "Cancel changes"},
    };
    for (const auto &tip : tips) AddToolTip(tip.id, dialog, "", tip.text);
}

void EndEdit(HWND dialog, INT_PTR result) {
    HomeLatitude = savedHomeLatitude;
    HomeLongitude = savedHomeLongitude;
    EndDialog(dialog, result);
}

INT_PTR OpenEdit(HWND dialog, int row) {
    savedHomeLatitude = HomeLatitude;
    savedHomeLongitude = HomeLongitude;
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));
    EditedEntryId = RowEntryId(row);
    const QsoEntry *entry = QsoListHead;
    while (entry && entry->id != EditedEntryId) entry = entry->next;
    if (!entry) {
        ShowMessageDialog(dialog, "INTERNAL ERROR: Unable to locate the selected log entry", kProgramName,
                          MB_OK | MB_ICONERROR);
        EndEdit(dialog, IDCANCEL);
        return TRUE;
    }
    SetPickers(dialog, entry->qsoTime);
    // The summit texts raise their change notifications: the info lines fill here.
    SetLimitedText(dialog, IDC_HIS_CALL, kQsoCallLen, entry->hisCall);
    SetLimitedText(dialog, IDC_HIS_SUMMIT, kQsoRefLen, entry->hisSummit);
    SetLimitedText(dialog, IDC_NOTES, kQsoNotesLen, entry->notes);
    SetLimitedText(dialog, IDC_MY_SUMMIT, kQsoRefLen, entry->mySummit);
    CheckDlgButton(dialog, IDC_SWL, entry->swl ? BST_CHECKED : BST_UNCHECKED);
    FillBandCombo(dialog, entry->band);
    KeepStoredChoice(dialog, IDC_BAND, entry->band);
    FillModeCombo(dialog, entry->mode);
    KeepStoredChoice(dialog, IDC_MODE, entry->mode);
    FillMyCallCombo(dialog, entry->myCall);
    KeepStoredChoice(dialog, IDC_MY_CALL, entry->myCall);
    if (EditorSettings.UseToolTips == 1) AddTips(dialog);
    return TRUE;
}

void Update(HWND dialog) {
    if (!ValidateEntryForm(dialog)) return;
    // The new contact is stored first: when that fails, the old one is still there.
    bool updated = false;
    if (FindQsoEntry(EditedEntryId, nullptr) && LogContact(dialog, 1)) updated = DeleteQsoEntry(EditedEntryId) == 0;
    if (!updated) {
        ShowStatusMessage("Failed to update QSO details", 0);
        ErrorBeep();
    }
    EndEdit(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK EditEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OpenEdit(dialog, static_cast<int>(lParam));
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK) {
            Update(dialog);
        } else if (id == IDCANCEL) {
            EndEdit(dialog, IDCANCEL);
        } else if (DbAvailable == 1 && (code == EN_SETFOCUS || code == EN_CHANGE || code == EN_KILLFOCUS)) {
            if (id == IDC_HIS_SUMMIT) ShowHisSummitInfo(dialog);
            if (id == IDC_MY_SUMMIT) ShowMySummitInfo(dialog);
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header && header->idFrom == IDC_QSO_TIME) RollQsoTimeMinute(dialog, header);
        return FALSE;
    }
    default:
        return FALSE;
    }
}
