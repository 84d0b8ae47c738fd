// The configuration dialog: what it shows, how it reads and tests the user's
// input, and the order in which Save stores it.
#include "configdlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "appstate.h"
#include "entryform.h"
#include "help.h"
#include "locator.h"
#include "loglist_win.h"
#include "msgdialog_win.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "strutil.h"
#include "summitsdb.h"

namespace {

constexpr int kWorkBufferSize = 2048;
constexpr int kBearingOffsetLimit = 15;
constexpr int kSampleColumns = 5;
constexpr int kHelpButton = 9;

// The colours as the dialog opened, for Cancel (one modal dialog at a time).
uint32_t openingColours[4];

// The tool tips keep pointers to their texts.
char callsignTip[160], bandTip[160], modeTip[160];

struct ToolTipRow {
    int id;
    const char *title;
    const char *text;
};

void AddConfigToolTips(HWND dialog) {
    snprintf(callsignTip, sizeof callsignTip,
             "Enter a list of Callsigns, one per line\n(MAX: %d calls up to %d characters each - any more will be "
             "ignored or truncated)",
             kMyCallSlots, kMyCallSize - 1);
    snprintf(bandTip, sizeof bandTip,
             "Enter a list of Bands, one per line\n(MAX: %d bands up to %d characters each - any more will be "
             "ignored or truncated)",
             kUserBandSlots, kUserBandSize - 1);
    snprintf(modeTip, sizeof modeTip,
             "Enter a list of Modes, one per line\n(MAX: %d modes up to %d characters each - any more will be "
             "ignored or truncated)",
             kUserModeSlots, kUserModeSize - 1);
    static const ToolTipRow rows[] = {
        {IDC_CALLSIGNS, "Callsigns used:", callsignTip},
        {IDC_BANDS, "Bands used:", bandTip},
        {IDC_MODES, "Modes used:", modeTip},
        {IDC_DEFAULT_BANDS, "", "Reset to Default Bands"},
        {IDC_DEFAULT_MODES, "", "Reset to Default Modes"},
        {IDC_TEXT_COLOUR_1, "", "Choose Text Colour (Line 1)"},
        {IDC_TEXT_COLOUR_2, "", "Choose Text Colour (Line 2)"},
        {IDC_BACK_COLOUR_1, "", "Choose Background Colour (Line 1)"},
        {IDC_BACK_COLOUR_2, "", "Choose Background Colour (Line 2)"},
        {IDC_SAMPLE_LIST, "", "Sample Log View"},
        {IDC_DEFAULT_COLOURS, "", "Reset Colours to Defaults"},
        {IDC_LOCATOR, "", "Enter your QTH Locator (4,6,8 or 10 characters)"},
        {IDC_MILES, "", "Select to show Distances as Miles"},
        {IDC_EXTEND_QRA, "", "Show extended QRA's for summits"},
        {IDC_ALLOW_EMPTY_SAVE, "", "Allow saving of empty logs"},
        {IDC_NO_BACKUP, "", "Do NOT create backup of logs"},
        {IDC_BROWSE_VIEWER, "", "Click to Browse for ADIF Viewer/Editor"},
        {IDC_VIEWER_PATH, "", "Path to ADIF Viewer/Editor (clear to disable)"},
        {IDOK, "", "Save Settings"},
        {IDCANCEL, "", "Cancel Changes"},
    };
    for (const ToolTipRow &row : rows) AddToolTip(row.id, dialog, row.title, row.text);
}

// The non-empty entries of a list, each followed by a line break, into buffer.
void JoinList(const char *slots, int slotCount, int slotSize, int count, char *buffer) {
    buffer[0] = '\0';
    if (count > slotCount) count = slotCount;
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        const char *entry = slots + i * slotSize;
        size_t length = strnlen(entry, slotSize - 1);
        if (length == 0 || used + length + 3 > static_cast<size_t>(kWorkBufferSize)) continue;
        memcpy(buffer + used, entry, length);
        used += length;
        memcpy(buffer + used, "\r\n", 3);
        used += 2;
    }
}

void ShowDefaultList(HWND dialog, int id, const char *defaults, int slotCount, int slotSize) {
    char *buffer = static_cast<char *>(malloc(kWorkBufferSize));
    if (!buffer) {
        ShowOutOfMemory();
        return;
    }
    JoinList(defaults, slotCount, slotSize, slotCount, buffer);
    SetDlgItemTextA(dialog, id, buffer);
    free(buffer);
}

void ShowSaveProblem(HWND dialog, const char *text) {
    SetDlgItemTextA(dialog, IDC_MESSAGE_LINE, text);
    Beep(600, 150);
}

struct ListBox {
    int id;
    char *slots;
    int slotCount;
    int slotSize;
    int *count;
    const char *warning;
    void (*save)(void);
};

// Stores one list box as its list and saves it. An empty box leaves the list as
// it is. The text is split before the slots are cleared, so a split that runs
// out of memory keeps the stored list; 0 then, after telling the user.
int StoreListBox(HWND dialog, const ListBox &box, char *buffer) {
    GetDlgItemTextA(dialog, box.id, buffer, kWorkBufferSize);
    if (buffer[0] == '\0') return 1;
    char **lines = nullptr;
    int lineCount = SplitString(buffer, "\r\n", &lines);
    if (lineCount == 0 && buffer[strspn(buffer, "\r\n")] != '\0') {
        ShowOutOfMemory();
        return 0;
    }
    memset(box.slots, 0, static_cast<size_t>(box.slotCount) * box.slotSize);
    int stored = lineCount < box.slotCount ? lineCount : box.slotCount;
    for (int i = 0; i < stored; ++i) {
        char *slot = box.slots + i * box.slotSize;
        strncpy(slot, lines[i], box.slotSize - 1);
        slot[box.slotSize - 1] = '\0';
    }
    *box.count = stored;
    for (int i = 0; i < lineCount; ++i) free(lines[i]);
    free(lines);
    if (lineCount > box.slotCount) {
        ShowSaveProblem(dialog, box.warning);
        Sleep(2000);
    }
    box.save();
    return 1;
}

void SaveSettingFlag(HWND dialog, int id, const char *valueName, int *setting) {
    *setting = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, valueName, static_cast<uint32_t>(*setting));
}

// 1 when everything was stored and the dialog may close; 0 when it stays open
// with the reason shown (what was stored before that stays stored).
int SaveConfiguration(HWND dialog) {
    char *buffer = static_cast<char *>(malloc(kWorkBufferSize));
    if (!buffer) {
        ShowOutOfMemory();
        return 0;
    }
    SetDlgItemTextA(dialog, IDC_MESSAGE_LINE, "");
    const ListBox boxes[] = {
        {IDC_CALLSIGNS, &EditorSettings.MyCall[0][0], kMyCallSlots, kMyCallSize, &EditorSettings.MyCallCount,
         "WARNING: More Callsigns defined than code supports", SaveMyCall},
        {IDC_BANDS, &EditorSettings.UserBands[0][0], kUserBandSlots, kUserBandSize, &EditorSettings.UserBandCount,
         "WARNING: More Bands defined than code supports", SaveUserBands},
        {IDC_MODES, &EditorSettings.UserModes[0][0], kUserModeSlots, kUserModeSize, &EditorSettings.UserModeCount,
         "WARNING: More Modes defined than code supports", SaveUserModes},
    };
    for (const ListBox &box : boxes) {
        if (!StoreListBox(dialog, box, buffer)) {
            free(buffer);
            return 0;
        }
    }

    // The locator moves the home position only when it converts.
    GetDlgItemTextA(dialog, IDC_LOCATOR, buffer, kMyLocatorSize);
    if (buffer[0] && !LocatorToLatLon(buffer, &HomeLatitude, &HomeLongitude)) {
        ShowSaveProblem(dialog, "ERROR: The details given for Locator are not valid !");
        free(buffer);
        return 0;
    }
    snprintf(EditorSettings.MyLocator, sizeof EditorSettings.MyLocator, "%s", buffer);
    SaveSettingText("MyLocator", EditorSettings.MyLocator);

    SaveSettingFlag(dialog, IDC_MILES, "ShowDistanceAsMiles", &EditorSettings.ShowDistanceAsMiles);
    SaveSettingFlag(dialog, IDC_EXTEND_QRA, "ExtendQRA", &EditorSettings.ExtendQRA);

    GetDlgItemTextA(dialog, IDC_BEARING_OFFSET, buffer, 5);
    EditorSettings.BearingOffset = static_cast<int>(strtol(buffer, nullptr, 10));
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "BearingOffset",
                  static_cast<uint32_t>(EditorSettings.BearingOffset));

    SaveSettingFlag(dialog, IDC_ALLOW_EMPTY_SAVE, "AllowEmptySave", &EditorSettings.AllowEmptySave);
    SaveSettingFlag(dialog, IDC_NO_BACKUP, "NoBackup", &EditorSettings.NoBackup);

    GetDlgItemTextA(dialog, IDC_OPERATOR, buffer, kAdifOperatorSize);
    snprintf(EditorSettings.ADIF_Operator, sizeof EditorSettings.ADIF_Operator, "%s", buffer);
    SaveSettingText("ADIF_Operator", EditorSettings.ADIF_Operator);

    GetDlgItemTextA(dialog, IDC_VIEWER_PATH, buffer, kSettingsPathSize);
    if (buffer[0] && !FileExists(buffer)) {
        ShowSaveProblem(dialog, "ERROR: The ADIF Viewer/Editor does not point to a valid application or script !");
        free(buffer);
        return 0;
    }
    snprintf(EditorSettings.ADIF_Editor, sizeof EditorSettings.ADIF_Editor, "%s", buffer);
    SaveSettingText("ADIF_Editor", EditorSettings.ADIF_Editor);

    SaveListColours();
    free(buffer);
    return 1;
}

uint32_t *ColourOfButton(int id) {
    switch (id) {
    case IDC_TEXT_COLOUR_1: return &EditorSettings.PriListTXTColour;
    case IDC_TEXT_COLOUR_2: return &EditorSettings.AltListTXTColour;
    case IDC_BACK_COLOUR_1: return &EditorSettings.PriListColour;
    default: return &EditorSettings.AltListColour;
    }
}

void ChooseListColour(HWND dialog, int id) {
    uint32_t *setting = ColourOfButton(id);
    CHOOSECOLORA record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = dialog;
    record.rgbResult = *setting;
    record.lpCustColors = reinterpret_cast<COLORREF *>(EditorSettings.CustomColours);
    record.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
    record.lCustData = id;
    record.lpfnHook = ColourDialogHook;
    if (ChooseColorA(&record)) *setting = record.rgbResult;
    FillSampleLogView(dialog);
}

void UseDefaultColours(HWND dialog) {
    EditorSettings.PriListTXTColour = EditorSettings.AltListTXTColour = GetSysColor(COLOR_WINDOWTEXT);
    EditorSettings.PriListColour = 0xFFFFFF;
    EditorSettings.AltListColour = 0xC0C0C0;
    FillSampleLogView(dialog);
}

// 0 when the work buffer could not be had: the caller ends the dialog, as empty
// fields would be saved over the user's settings.
int InitConfigDialog(HWND dialog) {
    char *buffer = static_cast<char *>(malloc(kWorkBufferSize));
    if (!buffer) {
        ShowOutOfMemory();
        return 0;
    }
    openingColours[0] = EditorSettings.PriListColour;
    openingColours[1] = EditorSettings.PriListTXTColour;
    openingColours[2] = EditorSettings.AltListColour;
    openingColours[3] = EditorSettings.AltListTXTColour;

    SetWindowPos(dialog, nullptr, EditorSettings.Left, EditorSettings.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));

    LoadStringA(AppInstance, IDS_CONFIG_HEADER, buffer, kWorkBufferSize - 1);
    SetDlgItemTextA(dialog, IDC_CONFIG_HEADER, buffer);
    LoadStringA(AppInstance, IDS_CONFIG_FOOTER, buffer, kWorkBufferSize - 1);
    SetDlgItemTextA(dialog, IDC_CONFIG_FOOTER, buffer);

    if (EditorSettings.UseToolTips) AddConfigToolTips(dialog);

    if (EditorSettings.MyCallCount == 0)
        strcpy(buffer, "NOCALL\r\n");
    else
        JoinList(&EditorSettings.MyCall[0][0], kMyCallSlots, kMyCallSize, EditorSettings.MyCallCount, buffer);
    SetDlgItemTextA(dialog, IDC_CALLSIGNS, buffer);
    if (EditorSettings.UserBandCount == 0)
        JoinList(&DefaultBands[0][0], kUserBandSlots, kUserBandSize, kUserBandSlots, buffer);
    else
        JoinList(&EditorSettings.UserBands[0][0], kUserBandSlots, kUserBandSize, EditorSettings.UserBandCount,
                 buffer);
    SetDlgItemTextA(dialog, IDC_BANDS, buffer);
    if (EditorSettings.UserModeCount == 0)
        JoinList(&DefaultModes[0][0], kUserModeSlots, kUserModeSize, kUserModeSlots, buffer);
    else
        JoinList(&EditorSettings.UserModes[0][0], kUserModeSlots, kUserModeSize, EditorSettings.UserModeCount,
                 buffer);
    SetDlgItemTextA(dialog, IDC_MODES, buffer);

    HWND sample = GetDlgItem(dialog, IDC_SAMPLE_LIST);
    SendMessageA(sample, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    InsertSampleColumns(sample);
    FillSampleLogView(dialog);

    SendDlgItemMessageA(dialog, IDC_LOCATOR, EM_LIMITTEXT, kMyLocatorSize - 2, 0);
    SetDlgItemTextA(dialog, IDC_LOCATOR, EditorSettings.MyLocator);
    SendDlgItemMessageA(dialog, IDC_OPERATOR, EM_LIMITTEXT, kAdifOperatorSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_OPERATOR, EditorSettings.ADIF_Operator);
    CheckDlgButton(dialog, IDC_MILES, EditorSettings.ShowDistanceAsMiles ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_EXTEND_QRA, EditorSettings.ExtendQRA ? BST_CHECKED : BST_UNCHECKED);

    HWND offsets = GetDlgItem(dialog, IDC_BEARING_OFFSET);
    SendMessageA(offsets, CB_RESETCONTENT, 0, 0);
    for (int offset = -kBearingOffsetLimit; offset <= kBearingOffsetLimit; ++offset) {
        char text[8];
        snprintf(text, sizeof text, "%-d", offset);
        SendMessageA(offsets, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(offsets, CB_SETMINVISIBLE, 2 * kBearingOffsetLimit + 1, 0);
    int offset = EditorSettings.BearingOffset;
    SendMessageA(offsets, CB_SETCURSEL,
                 offset >= -kBearingOffsetLimit && offset <= kBearingOffsetLimit ? offset + kBearingOffsetLimit : 0, 0);

    CheckDlgButton(dialog, IDC_ALLOW_EMPTY_SAVE, EditorSettings.AllowEmptySave ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_NO_BACKUP, EditorSettings.NoBackup ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_VIEWER_PATH, EM_LIMITTEXT, kSettingsPathSize, 0);
    SetDlgItemTextA(dialog, IDC_VIEWER_PATH, EditorSettings.ADIF_Editor);
    EnableWindow(GetDlgItem(dialog, IDC_VIEWER_PATH), TRUE);

    free(buffer);
    return 1;
}

}  // namespace

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!InitConfigDialog(dialog)) {
            EndDialog(dialog, -1);
            return FALSE;
        }
        return TRUE;
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->idFrom != IDC_SAMPLE_LIST || header->code != NM_CUSTOMDRAW) return FALSE;
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, DrawLogListItem(reinterpret_cast<NMLVCUSTOMDRAW *>(lParam)));
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (SaveConfiguration(dialog)) EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EditorSettings.PriListColour = openingColours[0];
            EditorSettings.PriListTXTColour = openingColours[1];
            EditorSettings.AltListColour = openingColours[2];
            EditorSettings.AltListTXTColour = openingColours[3];
            EndDialog(dialog, 2);
            return TRUE;
        case kHelpButton:
            OpenHelpTopic(dialog, kHelpConfigTopic);
            return TRUE;
        case IDC_DEFAULT_BANDS:
            ShowDefaultList(dialog, IDC_BANDS, &DefaultBands[0][0], kUserBandSlots, kUserBandSize);
            return TRUE;
        case IDC_DEFAULT_MODES:
            ShowDefaultList(dialog, IDC_MODES, &DefaultModes[0][0], kUserModeSlots, kUserModeSize);
            return TRUE;
        case IDC_TEXT_COLOUR_1:
        case IDC_TEXT_COLOUR_2:
        case IDC_BACK_COLOUR_1:
        case IDC_BACK_COLOUR_2:
            ChooseListColour(dialog, LOWORD(wParam));
            return TRUE;
        case IDC_DEFAULT_COLOURS:
            UseDefaultColours(dialog);
            return TRUE;
        case IDC_BROWSE_VIEWER:
            BrowseAdifViewer(dialog);
            return TRUE;
        default:
            return TRUE;
        }
    default:
        return FALSE;
    }
}

UINT_PTR CALLBACK ColourDialogHook(HWND colourDialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return 0;
    const auto *record = reinterpret_cast<const CHOOSECOLORA *>(lParam);
    switch (record->lCustData) {
    case IDC_TEXT_COLOUR_1: SetWindowTextA(colourDialog, "Select: Text Colour (Line 1)"); break;
    case IDC_TEXT_COLOUR_2: SetWindowTextA(colourDialog, "Select: Text Colour (Line 2)"); break;
    case IDC_BACK_COLOUR_1: SetWindowTextA(colourDialog, "Select: Background Colour (Line 1)"); break;
    case IDC_BACK_COLOUR_2: SetWindowTextA(colourDialog, "Select: Background Colour (Line 2)"); break;
    default: break;
    }
    RECT parent, own;
    GetWindowRect(GetParent(colourDialog), &parent);
    GetWindowRect(colourDialog, &own);
    int parentWidth = parent.right - parent.left, parentHeight = parent.bottom - parent.top;
    int width = own.right - own.left, height = own.bottom - own.top;
    MoveWindow(colourDialog, parent.left + parentWidth / 2 - width / 2, parent.top + parentHeight / 2 - height / 2,
               width, height, TRUE);
    return 1;
}

int BrowseAdifViewer(HWND dialog) {
    char path[kSettingsPathSize];
    snprintf(path, sizeof path, "%s", EditorSettings.ADIF_Editor);
    OPENFILENAMEA record = {};
    record.lStructSize = sizeof record;
    record.hwndOwner = dialog;
    record.lpstrFilter = "Applications or scripts \0*.exe;*.com;*.cmd;*.bat\0All Files (*.*)\0*.*\0";
    record.nFilterIndex = 1;
    record.lpstrFile = path;
    record.nMaxFile = sizeof path;
    record.lpstrDefExt = "exe";
    record.lpstrTitle = "Select the Viewer/Editor to use for ADIF files:";
    record.Flags = OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&record) || path[0] == '\0') return 0;
    SetDlgItemTextA(dialog, IDC_VIEWER_PATH, path);
    return 1;
}

int FillSampleLogView(HWND dialog) {
    static const char *const rows[2][kSampleColumns] = {
        {"1", "03/09/2015", "11:22", "QX1AB/P", "144MHz"},
        {"2", "05/09/2015", "10:45", "QX2CD/P", "7MHz"},
    };
    HWND list = GetDlgItem(dialog, IDC_SAMPLE_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int row = 0; row < 2; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<char *>(rows[row][0]);
        item.lParam = row + 1;
        int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int column = 1; column < kSampleColumns; ++column) {
            LVITEMA cell = {};
            cell.mask = LVIF_TEXT;
            cell.iItem = index;
            cell.iSubItem = column;
            cell.pszText = const_cast<char *>(rows[row][column]);
            SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
        }
    }
    EnableWindow(list, FALSE);
    return 1;
}

int InsertSampleColumns(HWND listView) {
    for (int column = 0; column < kSampleColumns; ++column) {
        LVCOLUMNA record = {};
        record.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        record.fmt = LVCFMT_LEFT;
        record.cx = EditorSettings.ColumnWidths[column];
        record.pszText = const_cast<char *>(ColumnTitles[column]);
        record.iSubItem = column;
        if (SendMessageA(listView, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&record)) == -1) return 0;
    }
    return 1;
}
