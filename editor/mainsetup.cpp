// The main window's one-time set-up: what its dialog template does not hold.
#include "mainsetup.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "appstate.h"
#include "entryform.h"
#include "loglist_win.h"
#include "logloader.h"
#include "msgdialog_win.h"
#include "qsolist.h"
#include "registry.h"
#include "resource.h"
#include "settings_win.h"
#include "statusbar_win.h"
#include "strutil.h"
#include "summitsdb.h"

namespace {

// The menu-item pictures, loaded in this order; all but the About item's are
// converted for the menu's background.
constexpr int kMenuBitmapIds[] = {IDB_NEW,  IDB_OPEN,   IDB_SAVE, IDB_SAVEAS, IDB_QUIT,   IDB_CFG,      IDB_CLOSE,
                                  IDB_HELP, IDB_EXPORT, IDB_VORN, IDB_DBUPD,  IDB_RECENT, IDB_CLEARHIST};
constexpr int kMenuBitmapCount = static_cast<int>(sizeof kMenuBitmapIds / sizeof kMenuBitmapIds[0]);
HBITMAP MenuBitmaps[kMenuBitmapCount];   // by id - IDB_NEW; kept for the program's life

HBITMAP MenuBitmap(int id) { return MenuBitmaps[id - IDB_NEW]; }

// One row of a popup: a separator has id 0 and no text; bitmap 0 is none.
constexpr UINT kRecentPopup = ~0u;   // the "Recent logs" popup
struct MenuRow {
    UINT id;
    const char *text;
    int bitmap;
};

const MenuRow kFileRows[] = {
    {IDM_NEW_LOG, "&New log\tCtrl-N", IDB_NEW},
    {0, nullptr, 0},
    {IDM_OPEN_LOG, "&Open...\tCtrl-O", IDB_OPEN},
    {kRecentPopup, "Recent logs", IDB_RECENT},
    {0, nullptr, 0},
    {IDM_SAVE_LOG, "&Save\tCtrl-S", IDB_SAVE},
    {IDM_SAVE_LOG_AS, "Save log &as...\tCtrl-A", IDB_SAVEAS},
    {IDM_EXPORT, "&Export to...", IDB_EXPORT},
    {0, nullptr, 0},
    {IDM_CLOSE_LOG, "Close log\tCtrl-F4", IDB_CLOSE},
    {0, nullptr, 0},
    {IDM_OPEN_LOG_DIR, "Open log &directory...", IDB_OPEN},
    {0, nullptr, 0},
    {IDM_UPDATE_DB, "&Update Summits DB\tCtrl-F10", IDB_DBUPD},
    {0, nullptr, 0},
    {IDM_CONFIGURATION, "&Configuration\tF9", IDB_CFG},
    {0, nullptr, 0},
    {IDM_QUIT, "&Quit\tAlt-F4", IDB_QUIT},
};

const MenuRow kHelpRows[] = {
    {IDM_HELP, "&Help...\tF1", IDB_HELP},
    {IDM_ABOUT, "&About...\tCtrl-F1", IDB_VORN},
};

void AppendRows(HMENU menu, const MenuRow *rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const MenuRow &row = rows[i];
        if (!row.text) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const bool popup = row.id == kRecentPopup;
        const UINT_PTR id = popup ? reinterpret_cast<UINT_PTR>(RecentLogMenu) : row.id;
        AppendMenuA(menu, popup ? MF_POPUP : MF_STRING, id, row.text);
        if (HBITMAP bitmap = row.bitmap ? MenuBitmap(row.bitmap) : nullptr)
            SetMenuItemBitmaps(menu, static_cast<UINT>(id), MF_BYCOMMAND, bitmap, nullptr);
    }
}

void AppendOption(HMENU menu, UINT id, const char *text, int checked) {
    AppendMenuA(menu, MF_STRING, id, text);
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The menu bar with its three popups, attached to window; 0 when a menu could not be made.
int BuildMenus(HWND window) {
    RecentLogMenu = CreateMenu();
    MainMenu = CreateMenu();
    FileMenu = CreatePopupMenu();
    OptionsMenu = CreatePopupMenu();
    HelpMenu = CreatePopupMenu();
    if (!RecentLogMenu || !MainMenu || !FileMenu || !OptionsMenu || !HelpMenu) {
        for (HMENU *menu : {&RecentLogMenu, &MainMenu, &FileMenu, &OptionsMenu, &HelpMenu}) {
            if (*menu) DestroyMenu(*menu);
            *menu = nullptr;
        }
        return 0;
    }
    BuildRecentLogMenu();

    AppendRows(FileMenu, kFileRows, sizeof kFileRows / sizeof kFileRows[0]);
    AppendMenuA(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(FileMenu), "&File");

    const EditorSettingsRecord &s = EditorSettings;
    AppendOption(OptionsMenu, IDM_AUTO_SAVE, "Auto-save", s.AutoSave);
    AppendOption(OptionsMenu, IDM_AUTO_TIME, "Auto-time\tF4", s.AutoTime);
    // With the clock setting them, the date and time are not the user's to pick.
    EnableWindow(GetDlgItem(window, IDC_QSO_DATE), !s.AutoTime);
    EnableWindow(GetDlgItem(window, IDC_QSO_TIME), !s.AutoTime);
    AppendOption(OptionsMenu, IDM_AUTO_CLEAR_SUMMIT, "Auto-clear-summit\tF5", s.ClearRefOnEntry);
    AppendOption(OptionsMenu, IDM_AUTO_BAND_RESET, "Auto-band-reset\tF6", s.ResetBandOnEntry);
    AppendOption(OptionsMenu, IDM_AUTO_SWL_CLEAR, "Auto-SWL-Clear", s.ClearSWLOnEntry);
    AppendMenuA(OptionsMenu, MF_SEPARATOR, 0, nullptr);
    AppendOption(OptionsMenu, IDM_REF_CHECK, "Summit Reference Check\tF7", s.RefChecking);
    if (!DbAvailable) {
        // Nothing to check against.
        CheckMenuItem(OptionsMenu, IDM_REF_CHECK, MF_BYCOMMAND | MF_UNCHECKED);
        EnableMenuItem(OptionsMenu, IDM_REF_CHECK, MF_BYCOMMAND | MF_DISABLED);
    }
    AppendMenuA(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(OptionsMenu), "&Options");

    AppendRows(HelpMenu, kHelpRows, sizeof kHelpRows / sizeof kHelpRows[0]);
    AppendMenuA(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(HelpMenu), "&Help");

    SetMenu(window, MainMenu);
    return 1;
}

void LoadMenuBitmaps() {
    const int size[2] = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    for (int i = 0; i < kMenuBitmapCount; ++i) {
        const int id = kMenuBitmapIds[i];
        HBITMAP loaded = static_cast<HBITMAP>(
            LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, size[0], size[1], LR_SHARED));
        // The About item shows the logo's own colours.
        MenuBitmaps[id - IDB_NEW] = id == IDB_VORN || !loaded ? loaded : MakeMenuBitmap(loaded);
    }
    ClearHistoryBitmap = MenuBitmap(IDB_CLEARHIST);
}

void SetLogo(HWND window) {
    HWND logo = GetDlgItem(window, IDC_LOGO);
    RECT client = {};
    GetClientRect(logo, &client);
    char name[24];
    snprintf(name, sizeof name, "VORNBMP%02d", EditorSettings.LogoIndex);
    LogoBitmap = static_cast<HBITMAP>(
        LoadImageA(AppInstance, name, IMAGE_BITMAP, client.right - client.left, client.bottom - client.top, LR_SHARED));
    if (LogoBitmap) SendMessageA(logo, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(LogoBitmap));
}

void RemoveTabStop(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
}

void AddToolTips(HWND window) {
    // The tool tip shows the text for as long as the window lives.
    static char logoTip[2048];
    if (EditorSettings.UseToolTips) {
        const struct {
            int id;
            const char *title;
            const char *text;
        } tips[] = {
            {IDC_QSO_DATE, nullptr, "Select QSO Date"},
            {IDC_QSO_TIME, nullptr, "Select QSO Time"},
            {IDC_HIS_CALL, nullptr, "Callsign of other station"},
            {IDC_HIS_SUMMIT, nullptr, "Other stations Summit Reference (if any)"},
            {IDC_MY_SUMMIT, nullptr, "Your Summit Reference (if any)"},
            {IDC_SWL, nullptr, "Tick if this is a SWL Entry"},
            {IDC_NOTES, nullptr, "Comments and other information (optional)"},
            {IDC_LOG_CONTACT, nullptr, "Add contact to log (Ctrl+l)"},
            {IDC_CLEAR_ENTRY, nullptr, "Clear current entry (Ctrl+w)"},
            {IDC_LOG_LIST, "Log Details", "Details of each QSO made"},
            {IDC_DELETE_ENTRY, nullptr, "Delete selected entry"},
        };
        for (const auto &tip : tips) AddToolTip(tip.id, window, tip.title, tip.text);
    }
    // The logo's notice is shown whatever the setting; with tips on it also
    // tells what its clicks open.
    logoTip[0] = '\0';
    LoadStringA(AppInstance, EditorSettings.UseToolTips ? IDS_LOGO_TIP : IDS_LOGO_NOTICE, logoTip, sizeof logoTip);
    AddToolTip(IDC_LOGO, window, "VORN LOGO", logoTip);
}

// Whether the stored LastCSVLog names path.
bool IsLastCsvLog(const char *path) {
    char stored[kSettingsPathSize + 1] = "";
    int size = kSettingsPathSize;
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, "LastCSVLog", stored, &size);
    if (size <= 0) return false;
    stored[size] = '\0';
    return StrCompareNoCase(stored, path) == 0;
}

void OpenLogNamedAtStart(HWND window) {
    char *path = EditorSettings.CurrentLogPath;
    if (!path[0]) return;
    if (!FileExists(path)) {
        // Room for the longest path the setting holds; a longer one is cut.
        char warning[kSettingsPathSize + 48];
        snprintf(warning, sizeof warning, "WARNING: The Log file '%s' was Not Found !!", path);
        ShowMessageDialog(window, warning, kProgramName, MB_OKCANCEL | MB_ICONEXCLAMATION);
        // A missing log given on the command line leaves the last good one to open next time.
        if (IsLastCsvLog(path)) SaveSettingText("LastCSVLog", "");
        path[0] = '\0';
        return;
    }
    if (LoadCsvLog(window, path)) {
        LogModified = 0;
        SetLogFileName(path);
        RefreshLogList(window);
        // The loader adds the log's own calls, bands and modes to the lists; its
        // refill reaches only MainWindow, which is not set while the window is made.
        FillMyCallCombo(window, nullptr);
        FillBandCombo(window, nullptr);
        FillModeCombo(window, nullptr);
    } else {
        // LastCSVLog keeps the path: the next start tries the file again.
        path[0] = '\0';
        SetLogFileName(path);
    }
}

// Gives up on a window that cannot work: destroyed here, so its creation fails.
int Abandon(HWND window) {
    DestroyWindow(window);
    StatusBar = nullptr;
    MainMenu = FileMenu = OptionsMenu = HelpMenu = RecentLogMenu = nullptr;
    return 0;
}

}   // namespace

int InitMainWindow(HWND window) {
    if (GetKeyState(VK_SHIFT) >= 0)
        SetWindowPos(window, nullptr, EditorSettings.Left, EditorSettings.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    AppIcon = LoadIconA(AppInstance, "APP_ICON");
    if (AppIcon) SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));
    SetLogo(window);
    SendDlgItemMessageA(window, IDC_QSO_TIME, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH':'mm"));
    LimitQsoDate(window);

    // Every later status text goes to the bar.
    if (!CreateMainStatusBar(window)) return Abandon(window);
    SetTimer(window, IDT_CLOCK, 1000, ClockTimerProc);
    UpdateDbStatus();

    HWND list = GetDlgItem(window, IDC_LOG_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, ~0u, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    InsertLogColumns(list);

    for (int id : {IDC_LOGO, IDC_CLEAR_ENTRY, IDC_DELETE_ENTRY}) RemoveTabStop(window, id);

    LoadMenuBitmaps();
    // The commands live in the menus.
    if (!BuildMenus(window)) return Abandon(window);

    SendDlgItemMessageA(window, IDC_HIS_CALL, EM_LIMITTEXT, 12, 0);
    SendDlgItemMessageA(window, IDC_HIS_SUMMIT, EM_LIMITTEXT, 12, 0);
    SendDlgItemMessageA(window, IDC_MY_SUMMIT, EM_LIMITTEXT, 12, 0);
    SendDlgItemMessageA(window, IDC_NOTES, EM_LIMITTEXT, 128, 0);

    FillBandCombo(window, nullptr);
    FillModeCombo(window, nullptr);
    FillMyCallCombo(window, nullptr);

    AddToolTips(window);

    ClearLogStatus();
    ClearLogFileName();
    char blanks[88];
    memset(blanks, ' ', sizeof blanks - 1);
    blanks[sizeof blanks - 1] = '\0';
    SendMessageA(StatusBar, SB_SETTEXTA, SBP_MESSAGE, reinterpret_cast<LPARAM>(blanks));
    SendMessageA(StatusBar, SB_SETTIPTEXTA, SBP_MESSAGE, reinterpret_cast<LPARAM>("Warning/Notification Message Area"));
    SetLogStatus("0 Entries");

    OpenLogNamedAtStart(window);

    SetFocus(GetDlgItem(window, EditorSettings.AutoTime ? IDC_HIS_CALL : IDC_QSO_TIME));
    return 1;
}

HWND CreateMainStatusBar(HWND window) {
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS, 0, 0, 0, 0,
                                window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)), AppInstance,
                                nullptr);
    if (!StatusBar) return nullptr;
    RECT client = {};
    GetClientRect(StatusBar, &client);
    const int w = client.right - client.left;
    int edges[5] = {w / 10, w / 10 + w / 5, w - (2 * w) / 5, w - w / 5, -1};
    SendMessageA(StatusBar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    return StatusBar;
}

int InsertLogColumns(HWND listView) {
    for (int i = 0; i < kLogColumnCount; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = EditorSettings.ColumnWidths[i];
        column.pszText = const_cast<char *>(ColumnTitles[i]);
        column.cchTextMax = static_cast<int>(strlen(ColumnTitles[i]));
        column.iSubItem = i;
        if (SendMessageA(listView, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)) == -1)
            return 0;
    }
    return 1;
}

HBITMAP MakeMenuBitmap(HBITMAP bitmap) {
    HDC sourceDc = CreateCompatibleDC(nullptr);
    if (!sourceDc) return nullptr;
    HDC copyDc = CreateCompatibleDC(nullptr);
    if (!copyDc) {
        DeleteDC(sourceDc);
        return nullptr;
    }
    HBITMAP copy = nullptr;
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info) == static_cast<int>(sizeof info)) {
        HGDIOBJ oldSource = SelectObject(sourceDc, bitmap);
        copy = CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr);
        if (copy) {
            HGDIOBJ oldCopy = SelectObject(copyDc, copy);
            BitBlt(copyDc, 0, 0, info.bmWidth, info.bmHeight, sourceDc, 0, 0, SRCCOPY);
            const COLORREF key = GetPixel(copyDc, 0, 0);
            const COLORREF menu = GetSysColor(COLOR_MENU);
            for (int y = 0; y < info.bmHeight; ++y)
                for (int x = 0; x < info.bmWidth; ++x)
                    if (GetPixel(copyDc, x, y) == key) SetPixel(copyDc, x, y, menu);
            SelectObject(copyDc, oldCopy);
        }
        SelectObject(sourceDc, oldSource);
    }
    DeleteDC(copyDc);
    DeleteDC(sourceDc);
    return copy;
}
