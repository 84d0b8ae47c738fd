// The compiled resources as the program's code finds them: the five dialog
// templates created on real controls (ids, kinds, styles, places, nothing clipped,
// nothing on top of another), the keyboard accelerators, the fixed strings and
// every picture. With TARN_SHOTS_DIR set, each dialog is also saved as a
// screenshot for people to look at.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "gui/shots.h"
#include "resource.h"
#include "strutil_win.h"

namespace {

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void InitControlsOnce()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES |
                                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    ASSERT_TRUE(done);
}

void PumpMessages(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// A dialog template created modeless with a procedure that does nothing, so the
// controls stand exactly as the template puts them. Destroyed with the scope.
struct TemplateWindow {
    HWND hwnd = nullptr;
    explicit TemplateWindow(int id)
    {
        InitControlsOnce();
        hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, InertDialogProc, 0);
    }
    ~TemplateWindow()
    {
        if (hwnd != nullptr)
            DestroyWindow(hwnd);
        PumpMessages(20);
    }
    TemplateWindow(const TemplateWindow &) = delete;
    TemplateWindow &operator=(const TemplateWindow &) = delete;
};

std::string WindowText(HWND hwnd)
{
    char text[2048] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd)
{
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

bool IsGroupBox(HWND hwnd)
{
    return _stricmp(ClassOf(hwnd).c_str(), "Button") == 0 && (StyleOf(hwnd) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A control's rectangle in its dialog's client coordinates, in pixels.
RECT PlaceOf(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

std::vector<HWND> ChildrenInOrder(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

// Text formatting without chains of operator+, which GCC 12's -Wrestrict
// misreads at -O2 and above.
std::string Format(const char *format, ...)
{
    char text[2600];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string Describe(HWND control)
{
    return Format("%s %d \"%s\"", ClassOf(control).c_str(), GetDlgCtrlID(control), WindowText(control).c_str());
}

std::string Describe(const RECT &r)
{
    return Format("(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
}

// One control of a template. x < 0: the place is ours to choose and not compared.
// text nullptr: not compared (the code fills it). The style is compared under
// mask | WS_TABSTOP, so every row also says whether the control is a tab stop.
struct Control {
    int id;
    const char *cls;
    const char *text;
    int x, y, w, h;
    DWORD style;
    DWORD mask;
};

constexpr DWORD kLabel = SS_RIGHT | SS_CENTERIMAGE;
constexpr DWORD kLabelMask = SS_TYPEMASK | SS_CENTERIMAGE;
constexpr DWORD kCapsEdit = ES_UPPERCASE | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kEditMask = ES_UPPERCASE | ES_AUTOHSCROLL | ES_MULTILINE;
constexpr DWORD kDropList = CBS_DROPDOWNLIST | WS_TABSTOP;
constexpr DWORD kComboMask = CBS_DROPDOWNLIST | CBS_SIMPLE;
constexpr DWORD kDateMask = DTS_TIMEFORMAT | DTS_LONGDATEFORMAT | DTS_SHORTDATECENTURYFORMAT;
constexpr DWORD kListStyle = LVS_REPORT | LVS_SINGLESEL | WS_BORDER;
constexpr DWORD kListMask = LVS_TYPEMASK | LVS_SINGLESEL | WS_BORDER;
// Statics that show data draw "&" as it is.
constexpr DWORD kDataMask = SS_TYPEMASK | SS_NOPREFIX;

// The entry form, the same in the main window and the edit dialog, in tab order.
#define ENTRY_FORM_ROWS                                                                                               \
    {-1, "Button", "Contact Details :", 5, 5, 425, 80, BS_GROUPBOX, BS_TYPEMASK},                                     \
    {-1, "Static", "Date", 10, 17, 50, 12, kLabel, kLabelMask},                                                     \
    {IDC_QSO_DATE, "SysDateTimePick32", nullptr, 65, 17, 65, 12, DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateMask},      \
    {-1, "Static", "Time", 135, 17, 30, 12, kLabel, kLabelMask},                                                    \
    {IDC_QSO_TIME, "SysDateTimePick32", nullptr, 170, 17, 50, 12, DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP, kDateMask}, \
    {IDC_CALLSIGN_LABEL, "Static", "Callsign", 10, 32, 50, 12, kLabel, kLabelMask},                                 \
    {IDC_HIS_CALL, "Edit", "", 65, 32, 65, 12, kCapsEdit, kEditMask},                                               \
    {IDC_SUMMIT_LABEL, "Static", "Summit", 135, 32, 30, 12, kLabel, kLabelMask},                                    \
    {IDC_HIS_SUMMIT, "Edit", "", 170, 32, 55, 12, kCapsEdit, kEditMask},                                            \
    {IDC_HIS_SUMMIT_INFO, "Static", nullptr, 230, 32, 200, 12, SS_LEFT | SS_NOPREFIX, kDataMask},                   \
    {-1, "Static", "Band", 10, 49, 50, 12, kLabel, kLabelMask},                                                     \
    {IDC_BAND, "ComboBox", nullptr, 65, 49, 65, 12, kDropList, kComboMask},                                         \
    {-1, "Static", "Mode", 135, 49, 30, 12, kLabel, kLabelMask},                                                    \
    {IDC_MODE, "ComboBox", nullptr, 170, 49, 50, 12, kDropList, kComboMask},                                        \
    {-1, "Static", "Notes", 10, 65, 50, 12, kLabel, kLabelMask},                                                    \
    {IDC_NOTES, "Edit", "", 65, 65, 155, 12, ES_AUTOHSCROLL | WS_TABSTOP, kEditMask},                               \
    {IDC_MY_REF_LABEL, "Static", "My Ref", 222, 65, 35, 12, kLabel, kLabelMask},                                    \
    {IDC_MY_SUMMIT, "Edit", "", 260, 65, 55, 12, kCapsEdit, kEditMask},                                             \
    {IDC_SWL, "Button", "SWL", 260, 49, 85, 14, BS_AUTOCHECKBOX | WS_TABSTOP, BS_TYPEMASK},                         \
    {IDC_MY_SUMMIT_INFO, "Static", nullptr, 320, 65, 105, 12, SS_LEFT | SS_NOPREFIX, kDataMask}

const Control kMainControls[] = {
    ENTRY_FORM_ROWS,
    {IDC_LOG_CONTACT, "Button", "&Log Contact", 10, 87, 62, 12, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDC_CLEAR_ENTRY, "Button", "&Clear Entry", 85, 87, 62, 12, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {-1, "Static", "My Call", 320, 87, 40, 12, kLabel, kLabelMask},
    {IDC_MY_CALL, "ComboBox", nullptr, 370, 87, 60, 12, kDropList, kComboMask},
    {IDC_LOG_LIST, "SysListView32", nullptr, 7, 105, 485, 105, kListStyle, kListMask},
    {IDC_DELETE_ENTRY, "Button", "&Delete selected", 220, 222, 62, 12, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDC_LOGO, "Button", "VORN", 435, 8, 55, 55, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, BS_TYPEMASK | BS_BITMAP},
};

const Control kEditEntryControls[] = {
    ENTRY_FORM_ROWS,
    {-1, "Static", "My Call", 320, 87, 40, 12, kLabel, kLabelMask},
    {IDC_MY_CALL, "ComboBox", nullptr, 370, 87, 60, 12, kDropList, kComboMask},
    {IDOK, "Button", "Update", 15, 87, 62, 12, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDCANCEL, "Button", "&Cancel", 90, 87, 62, 12, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
};

const Control kMessageControls[] = {
    {IDOK, "Button", "&OK", 100, 55, 40, 14, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDYES, "Button", "&Yes", 50, 55, 40, 14, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDNO, "Button", "&No", 100, 55, 40, 14, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDCANCEL, "Button", "&Cancel", 150, 55, 40, 14, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDC_MESSAGE_ICON, "Button", "ICON", 10, 10, 30, 30, BS_OWNERDRAW, BS_TYPEMASK},
    {IDC_MESSAGE_TEXT, "Static", "Message Text", 45, 5, 140, 40, SS_CENTER | WS_GROUP | SS_NOPREFIX, kDataMask | WS_GROUP},
};

// The about and configuration dialogs: ids, kinds and texts; the places are ours.
const Control kAboutControls[] = {
    {IDOK, "Button", "&OK", -1, 0, 0, 0, WS_TABSTOP, 0},
    {IDC_CHECK_UPDATE, "Button", "Check for &Update", -1, 0, 0, 0, WS_TABSTOP, 0},
    {IDCANCEL, "Button", "&Cancel", -1, 0, 0, 0, WS_TABSTOP, 0},
    {IDC_UPDATE_NOW, "Button", "Update &Now", -1, 0, 0, 0, WS_TABSTOP, 0},
    {IDC_LOGO, "Button", nullptr, -1, 0, 0, 0, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, BS_TYPEMASK | BS_BITMAP},
    {IDC_ABOUT_DESCRIPTION, "Static", nullptr, -1, 0, 0, 0, 0, 0},
    {IDC_ABOUT_VERSION, "Static", nullptr, -1, 0, 0, 0, 0, 0},
    {IDC_ABOUT_NOTICE, "Static", nullptr, -1, 0, 0, 0, 0, 0},
    {IDC_UPDATE_STATUS, "Static", nullptr, -1, 0, 0, 0, SS_LEFT | SS_NOPREFIX, kDataMask},
};

constexpr DWORD kListEdit = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kListEditMask = kListEdit | ES_UPPERCASE;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;

const Control kConfigControls[] = {
    {IDOK, "Button", "&Save", -1, 0, 0, 0, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDCANCEL, "Button", "&Cancel", -1, 0, 0, 0, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {9, "Button", "&Help", -1, 0, 0, 0, BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK},
    {IDC_CONFIG_HEADER, "Static", nullptr, -1, 0, 0, 0, SS_LEFT, SS_TYPEMASK},
    {IDC_CALLSIGNS_LABEL, "Static", "Callsigns used", -1, 0, 0, 0, SS_CENTER | WS_BORDER, SS_TYPEMASK | WS_BORDER},
    {IDC_BANDS_LABEL, "Static", "Bands used", -1, 0, 0, 0, SS_CENTER | WS_BORDER, SS_TYPEMASK | WS_BORDER},
    {IDC_MODES_LABEL, "Static", "Modes used", -1, 0, 0, 0, SS_CENTER | WS_BORDER, SS_TYPEMASK | WS_BORDER},
    {IDC_CALLSIGNS, "Edit", nullptr, -1, 0, 0, 0, kListEdit | ES_UPPERCASE, kListEditMask},
    {IDC_BANDS, "Edit", nullptr, -1, 0, 0, 0, kListEdit, kListEditMask},
    {IDC_MODES, "Edit", nullptr, -1, 0, 0, 0, kListEdit, kListEditMask},
    {IDC_DEFAULT_BANDS, "Button", "Use Default &Bands", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_DEFAULT_MODES, "Button", "Use Default &Modes", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_CONFIG_FOOTER, "Static", nullptr, -1, 0, 0, 0, SS_LEFT, SS_TYPEMASK},
    {IDC_SAMPLE_LIST, "SysListView32", nullptr, -1, 0, 0, 0, kListStyle, kListMask},
    {IDC_TEXT_COLOUR_1, "Button", "Text Colour (Line 1)", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_TEXT_COLOUR_2, "Button", "Text Colour (Line 2)", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_BACK_COLOUR_1, "Button", "Background Colour (Line 1)", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_BACK_COLOUR_2, "Button", "Background Colour (Line 2)", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_DEFAULT_COLOURS, "Button", "Use Default Colours", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_LOCATOR_LABEL, "Static", "&Locator", -1, 0, 0, 0, 0, 0},
    {IDC_LOCATOR, "Edit", "", -1, 0, 0, 0, kCapsEdit, kEditMask},
    {IDC_MILES, "Button", "Show &Distances as Miles", -1, 0, 0, 0, kCheck, BS_TYPEMASK},
    {IDC_EXTEND_QRA, "Button", "Display Extended &QRA", -1, 0, 0, 0, kCheck, BS_TYPEMASK},
    {IDC_BEARING_OFFSET, "ComboBox", nullptr, -1, 0, 0, 0, kDropList, kComboMask},
    {IDC_OPERATOR, "Edit", "", -1, 0, 0, 0, kCapsEdit, kEditMask},
    {IDC_BROWSE_VIEWER, "Button", "ADIF &Viewer", -1, 0, 0, 0, WS_TABSTOP, BS_TYPEMASK},
    {IDC_VIEWER_PATH, "Edit", "", -1, 0, 0, 0, ES_AUTOHSCROLL | WS_TABSTOP, kEditMask},
    {IDC_ALLOW_EMPTY_SAVE, "Button", "&Allow save of blank log", -1, 0, 0, 0, kCheck, BS_TYPEMASK},
    {IDC_NO_BACKUP, "Button", "Do &not create log backup", -1, 0, 0, 0, kCheck, BS_TYPEMASK},
    {IDC_MESSAGE_LINE, "Static", "", -1, 0, 0, 0, SS_CENTER | SS_NOPREFIX, kDataMask},
    // Group boxes and labels without an id of their own are found by their text.
    {-1, "Button", "Calls, bands and modes:", -1, 0, 0, 0, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Button", "Log View :", -1, 0, 0, 0, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Button", "Settings for Locator, Distance and Bearing display :", -1, 0, 0, 0, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Button", "ADIF Options:", -1, 0, 0, 0, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Button", "Other Options :", -1, 0, 0, 0, BS_GROUPBOX, BS_TYPEMASK},
    {-1, "Static", "Bearing Offset:", -1, 0, 0, 0, 0, 0},
    {-1, "Static", "Operator", -1, 0, 0, 0, 0, 0},
    {-1, "Static",
     "This is a sample of how your Log will appear in the main window, you can change the Colours using the buttons.",
     -1, 0, 0, 0, 0, 0},
};

struct DialogCase {
    const char *name;
    int id;
    const char *caption;
    int width, height;   // client size in dialog units; 0: ours
    DWORD style;         // must be set
    DWORD absent;        // must not be set
    const Control *controls;
    size_t controlCount;
    bool inTabOrder;     // the rows list every control in creation (tab) order
    int sharedSpot[2];   // two buttons the code never shows together, or 0
};

const DialogCase kDialogs[] = {
    {"about", IDD_ABOUT, "About: Tarnlog", 0, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_VISIBLE, kAboutControls,
     std::size(kAboutControls), false, {0, 0}},
    {"main", IDD_MAIN, "VORN CSV Log Editor", 500, 265, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
     WS_VISIBLE, kMainControls, std::size(kMainControls), true, {0, 0}},
    {"config", IDD_CONFIG, "Configure: VORN CSV Log Editor", 500, 330, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_VISIBLE,
     kConfigControls, std::size(kConfigControls), false, {0, 0}},
    {"edit_entry", IDD_EDIT_ENTRY, "Edit Log Entry", 440, 110, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
     WS_VISIBLE, kEditEntryControls, std::size(kEditEntryControls), true, {0, 0}},
    {"message", IDD_MESSAGE, "", 200, 75, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_VISIBLE, kMessageControls,
     std::size(kMessageControls), true, {IDOK, IDNO}},
};

std::string LoadResourceString(UINT id)
{
    char text[2048] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

// The configuration's sample list as the dialog fills it: five columns, two rows.
void FillSampleList(HWND list)
{
    const char *titles[] = {"Line", "Date", "Time", "Callsign", "Band"};
    const char *rows[2][5] = {{"1", "03/09/2015", "11:22", "QX1AB/P", "144MHz"},
                              {"2", "05/09/2015", "10:45", "QX2CD/P", "7MHz"}};
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char *>(titles[i]);
        column.cx = i == 0 ? 40 : 70;
        column.iSubItem = i;
        ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column)), i);
    }
    for (int row = 0; row < 2; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char *>(rows[row][0]);
        ASSERT_EQ(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), row);
        for (int cell = 1; cell < 5; ++cell) {
            item.iSubItem = cell;
            item.pszText = const_cast<char *>(rows[row][cell]);
            SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        }
    }
}

// The logo as the program sets it: scaled to the button's client area.
void SetLogo(HWND dialog)
{
    HWND logo = GetDlgItem(dialog, IDC_LOGO);
    RECT client;
    GetClientRect(logo, &client);
    HANDLE bitmap = LoadImageA(GetModuleHandleA(nullptr), "VORNBMP00", IMAGE_BITMAP, client.right, client.bottom,
                               LR_SHARED);
    SendMessageA(logo, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

// What the code puts into the controls that the template leaves empty or holds
// placeholders in: the layout must hold the real texts.
void FillTypicalTexts(HWND dialog, int id)
{
    switch (id) {
    case IDD_ABOUT:
        SetLogo(dialog);
        SetDlgItemTextA(dialog, IDC_ABOUT_DESCRIPTION, LoadResourceString(IDS_ABOUT_DESCRIPTION).c_str());
        SetDlgItemTextA(dialog, IDC_ABOUT_NOTICE, LoadResourceString(IDS_LOGO_NOTICE).c_str());
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION,
                        "Tarnlog V1.5.9.7\nTarnsync V1.5.9.7\nTarnfetch V1.5.9.7\nBuild Date: Mar 18 2025 22:44:39\n"
                        "Database last updated: 18/03/2025");
        // The longest status text.
        SetDlgItemTextA(dialog, IDC_UPDATE_STATUS,
                        "Thanks, you have a pre-release version, no further program updates are available at this "
                        "time, but you might need to update the Summits Database (Click OK, then press Ctrl-F10)");
        break;
    case IDD_MAIN:
    case IDD_EDIT_ENTRY:
        if (id == IDD_MAIN)
            SetLogo(dialog);
        SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH':'mm"));
        SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX1AB/P");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "VA/AA-001");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT_INFO, "Tarnmor Fell [JN58AB] (123.4km 045deg)");
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "VA/AB-012");
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT_INFO, "Brindle Pike [JN58CD]");
        SetDlgItemTextA(dialog, IDC_NOTES, "QRG:7.032 nice signal");
        for (const char *band : {"7MHz", "14MHz", "144MHz"})
            SendDlgItemMessageA(dialog, IDC_BAND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(band));
        for (const char *mode : {"CW", "SSB", "FM"})
            SendDlgItemMessageA(dialog, IDC_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
        SendDlgItemMessageA(dialog, IDC_MY_CALL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("QX9ZZ"));
        for (int combo : {IDC_BAND, IDC_MODE, IDC_MY_CALL})
            SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, 0, 0);
        break;
    case IDD_CONFIG:
        SetDlgItemTextA(dialog, IDC_CONFIG_HEADER, LoadResourceString(IDS_CONFIG_HEADER).c_str());
        SetDlgItemTextA(dialog, IDC_CONFIG_FOOTER, LoadResourceString(IDS_CONFIG_FOOTER).c_str());
        SetDlgItemTextA(dialog, IDC_CALLSIGNS, "QX9ZZ\r\nQX9ZZ/P\r\n");
        SetDlgItemTextA(dialog, IDC_BANDS, "7MHz\r\n14MHz\r\n144MHz\r\n432MHz\r\n");
        SetDlgItemTextA(dialog, IDC_MODES, "AM\r\nCW\r\nDATA\r\nDV\r\nFM\r\nPSK\r\nRTTY\r\nSSB\r\nOther\r\n");
        SetDlgItemTextA(dialog, IDC_LOCATOR, "JN58AB");
        SendDlgItemMessageA(dialog, IDC_BEARING_OFFSET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("-15"));
        SendDlgItemMessageA(dialog, IDC_BEARING_OFFSET, CB_SETCURSEL, 0, 0);
        SetDlgItemTextA(dialog, IDC_MESSAGE_LINE, "ERROR: The details given for Locator are not valid !");
        FillSampleList(GetDlgItem(dialog, IDC_SAMPLE_LIST));
        break;
    case IDD_MESSAGE:
        SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, "\n\nVORN CSV Log Editor is already running");
        break;
    }
}

// Whether the control's own text fits into it as the control draws it.
bool TextFits(HWND control, std::string &why)
{
    const std::string text = WindowText(control);
    if (text.empty())
        return true;
    const std::string cls = ClassOf(control);
    const DWORD style = StyleOf(control);
    UINT format = DT_CALCRECT;
    int spare = 0;   // room the control keeps for itself beside the text, in pixels
    if (_stricmp(cls.c_str(), "Static") == 0) {
        if ((style & SS_TYPEMASK) > SS_RIGHT)
            return true;   // pictures and frames
        format |= (style & SS_CENTERIMAGE) ? DT_SINGLELINE : DT_WORDBREAK;
    } else if (_stricmp(cls.c_str(), "Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_OWNERDRAW || (style & (BS_BITMAP | BS_ICON)))
            return true;
        format |= DT_SINGLELINE;
        if (type == BS_GROUPBOX)
            spare = 16;
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            spare = GetSystemMetrics(SM_CXMENUCHECK) + 6;
        else
            spare = 8;
    } else {
        return true;   // edits, lists and pickers scroll their own contents
    }

    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, client.right - spare, 0};
    DrawTextA(dc, text.c_str(), -1, &need, format);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);

    if (need.right + spare <= client.right && need.bottom <= client.bottom)
        return true;
    why = Format("%s needs %ldx%ld pixels, has %ldx%ld", Describe(control).c_str(), need.right + spare, need.bottom,
                 client.right, client.bottom);
    return false;
}

bool Contains(const RECT &outer, const RECT &inner)
{
    // The dialog manager maps a control's place and size separately, so a
    // control that ends where its group ends in dialog units may end a pixel later.
    return inner.left >= outer.left - 1 && inner.top >= outer.top - 1 && inner.right <= outer.right + 1 &&
           inner.bottom <= outer.bottom + 1;
}

HWND FindControl(HWND dialog, const Control &row)
{
    if (row.id != -1)
        return GetDlgItem(dialog, row.id);
    for (HWND child : ChildrenInOrder(dialog))
        if (GetDlgCtrlID(child) == -1 && _stricmp(ClassOf(child).c_str(), row.cls) == 0 && WindowText(child) == row.text)
            return child;
    return nullptr;
}

void ExpectControl(HWND dialog, HWND control, const Control &row)
{
    SCOPED_TRACE(Format("control %d %s", row.id, row.text ? row.text : ""));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), row.id);
    EXPECT_STRCASEEQ(ClassOf(control).c_str(), row.cls);
    if (row.text != nullptr) {
        EXPECT_EQ(WindowText(control), row.text);
    }
    // Edits, statics and list views trade WS_BORDER for a 3-D edge of the extended style.
    const DWORD mask = (row.mask | WS_TABSTOP) & ~static_cast<DWORD>(WS_BORDER);
    EXPECT_EQ(StyleOf(control) & mask, row.style & mask) << std::hex << "style 0x" << StyleOf(control);
    if (row.style & WS_BORDER) {
        const DWORD edges = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
        EXPECT_TRUE((StyleOf(control) & WS_BORDER) ||
                    (static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE)) & edges))
            << "no border";
    }
    if (row.x < 0)
        return;

    // MapDialogRect of (x, y, w, h) maps each of them as the dialog manager does.
    RECT wanted = {row.x, row.y, row.w, row.h};
    MapDialogRect(dialog, &wanted);
    const RECT place = PlaceOf(dialog, control);
    EXPECT_EQ(place.left, wanted.left);
    EXPECT_EQ(place.top, wanted.top);
    EXPECT_EQ(place.right - place.left, wanted.right);
    if (_stricmp(row.cls, "ComboBox") != 0) {
        EXPECT_EQ(place.bottom - place.top, wanted.bottom);
    } else {
        // A closed drop-down list is as high as its font makes it; the template's
        // height is that of the opened list, which shows about ten entries.
        RECT dropped = {};
        SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        const LRESULT item = SendMessageA(control, CB_GETITEMHEIGHT, 0, 0);
        ASSERT_GT(item, 0);
        EXPECT_GE((dropped.bottom - dropped.top) - (place.bottom - place.top), 8 * item);
    }
}

void PrintTo(const DialogCase &c, std::ostream *out)
{
    *out << c.name;
}

class DialogLayout : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogLayout, MatchesItsTableFitsItsTextsAndNothingOverlaps)
{
    const DialogCase &c = GetParam();
    TemplateWindow window(c.id);
    HWND dialog = window.hwnd;
    ASSERT_NE(dialog, nullptr) << "template " << c.id << " not created, error " << GetLastError();

    EXPECT_EQ(WindowText(dialog), c.caption);
    EXPECT_EQ(StyleOf(dialog) & c.style, c.style);
    EXPECT_EQ(StyleOf(dialog) & c.absent, 0);
    RECT client;
    GetClientRect(dialog, &client);
    if (c.width != 0) {
        RECT size = {0, 0, c.width, c.height};
        MapDialogRect(dialog, &size);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
    }

    const std::vector<HWND> children = ChildrenInOrder(dialog);
    if (c.inTabOrder) {
        ASSERT_EQ(children.size(), c.controlCount);
        for (size_t i = 0; i < c.controlCount; ++i)
            ExpectControl(dialog, children[i], c.controls[i]);
    } else {
        for (size_t i = 0; i < c.controlCount; ++i)
            ExpectControl(dialog, FindControl(dialog, c.controls[i]), c.controls[i]);
    }

    // From here on with the texts the program puts in.
    FillTypicalTexts(dialog, c.id);

    for (size_t i = 0; i < children.size(); ++i) {
        const RECT a = PlaceOf(dialog, children[i]);
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right && a.bottom <= client.bottom)
            << Describe(children[i]) << " at " << Describe(a) << " leaves the client area " << Describe(client);
        std::string why;
        EXPECT_TRUE(TextFits(children[i], why)) << why;
        if (!(StyleOf(children[i]) & WS_VISIBLE))
            continue;
        for (size_t j = i + 1; j < children.size(); ++j) {
            if (!(StyleOf(children[j]) & WS_VISIBLE))
                continue;
            const RECT b = PlaceOf(dialog, children[j]);
            RECT common;
            if (!IntersectRect(&common, &a, &b))
                continue;
            if ((IsGroupBox(children[i]) && !IsGroupBox(children[j]) && Contains(a, b)) ||
                (IsGroupBox(children[j]) && !IsGroupBox(children[i]) && Contains(b, a)))
                continue;
            const int idA = GetDlgCtrlID(children[i]), idB = GetDlgCtrlID(children[j]);
            if (c.sharedSpot[0] != 0 && ((idA == c.sharedSpot[0] && idB == c.sharedSpot[1]) ||
                                         (idA == c.sharedSpot[1] && idB == c.sharedSpot[0])))
                continue;
            ADD_FAILURE() << Describe(children[i]) << " at " << Describe(a) << " overlaps " << Describe(children[j])
                          << " at " << Describe(b);
        }
    }

    const char *shots = std::getenv("TARN_SHOTS_DIR");
    if (shots != nullptr && *shots != '\0') {
        if (HWND ok = GetDlgItem(dialog, IDOK))
            SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
        ShowWindow(dialog, SW_SHOWNORMAL);
        SetForegroundWindow(dialog);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(400);
        CreateDirectoryA(shots, nullptr);
        const std::string path = Format("%s\\dialog_%d_%s.bmp", shots, c.id, c.name);
        EXPECT_EQ(SaveWindowShot(dialog, path.c_str()), 1) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogLayout, ::testing::ValuesIn(kDialogs),
                         [](const ::testing::TestParamInfo<DialogCase> &info) { return std::string(info.param.name); });

// Which pixels of a control's client area carry ink: unlike the bottom-right
// corner's colour, the background of every static here.
struct InkMask {
    int width = 0, height = 0;
    std::vector<bool> inked;
};

InkMask InkOf(HDC dc, int width, int height)
{
    InkMask mask;
    mask.width = width;
    mask.height = height;
    const COLORREF background = GetPixel(dc, width - 1, height - 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask.inked.push_back(GetPixel(dc, x, y) != background);
    return mask;
}

int Mismatches(const InkMask &a, const InkMask &b)
{
    int count = 0;
    for (size_t i = 0; i < a.inked.size() && i < b.inked.size(); ++i)
        count += a.inked[i] != b.inked[i];
    return count;
}

// A static as it paints itself (WM_PRINTCLIENT), or, with drawFlags set, its
// text drawn by DrawText in its font with those flags.
InkMask RenderStatic(HWND control, UINT drawFlags)
{
    RECT client;
    GetClientRect(control, &client);
    HDC screen = GetDC(control);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(control, screen);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
    if (drawFlags == 0) {
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        const std::string text = WindowText(control);
        DrawTextA(dc, text.c_str(), -1, &client, drawFlags);
        SelectObject(dc, previousFont);
    }
    InkMask mask = InkOf(dc, client.right, client.bottom);
    SelectObject(dc, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return mask;
}

// Statics that show data (file names, summit names, messages) must show an "&"
// in them, not turn it into a mnemonic that hides it and underlines what follows.
TEST(DataStatics, ShowAnAmpersandAsItIs)
{
    const struct {
        int dialog, control;
    } cases[] = {
        {IDD_MAIN, IDC_HIS_SUMMIT_INFO},       {IDD_MAIN, IDC_MY_SUMMIT_INFO}, {IDD_EDIT_ENTRY, IDC_HIS_SUMMIT_INFO},
        {IDD_EDIT_ENTRY, IDC_MY_SUMMIT_INFO}, {IDD_ABOUT, IDC_UPDATE_STATUS}, {IDD_CONFIG, IDC_MESSAGE_LINE},
        {IDD_MESSAGE, IDC_MESSAGE_TEXT},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Format("dialog %d, control %d", c.dialog, c.control));
        TemplateWindow window(c.dialog);
        ASSERT_NE(window.hwnd, nullptr);
        HWND control = GetDlgItem(window.hwnd, c.control);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(StyleOf(control) & SS_NOPREFIX) << std::hex << "style 0x" << StyleOf(control);
        SetWindowTextA(control, "Tom & Jerry.csv");
        EXPECT_EQ(WindowText(control), "Tom & Jerry.csv");

        // The control's drawing against the same text drawn both ways, laid out as a static lays it out.
        const DWORD style = StyleOf(control);
        UINT layout = DT_EXPANDTABS | ((style & SS_TYPEMASK) == SS_CENTER ? DT_CENTER : DT_LEFT);
        layout |= (style & SS_CENTERIMAGE) ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK;
        const InkMask shown = RenderStatic(control, 0);
        const InkMask asText = RenderStatic(control, layout | DT_NOPREFIX);
        const InkMask asMnemonic = RenderStatic(control, layout);
        ASSERT_GT(Mismatches(asText, asMnemonic), 0) << "the two drawings must differ";
        EXPECT_LT(Mismatches(shown, asText), Mismatches(shown, asMnemonic))
            << Mismatches(shown, asText) << " pixels differ from the text with its \"&\", "
            << Mismatches(shown, asMnemonic) << " from it drawn as a mnemonic";
    }
}

// The configuration's sample list must show its header and both sample rows.
TEST(ConfigSampleList, ShowsTheHeaderAndBothRowsWithoutScrolling)
{
    TemplateWindow window(IDD_CONFIG);
    ASSERT_NE(window.hwnd, nullptr);
    HWND list = GetDlgItem(window.hwnd, IDC_SAMPLE_LIST);
    ASSERT_NE(list, nullptr);
    FillSampleList(list);
    if (HasFatalFailure())
        return;
    RECT client, last = {};
    GetClientRect(list, &client);
    last.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last)));
    EXPECT_LE(last.bottom, client.bottom) << "the second sample row is cut off";
    EXPECT_GE(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0), 2);
}

struct AcceleratorCase {
    BYTE modifiers;
    WORD key;
    WORD command;
};

TEST(Accelerators, AreTheKeyTableInItsOrder)
{
    std::vector<AcceleratorCase> expected = {
        {FCONTROL, 'N', IDM_NEW_LOG},        {FCONTROL, 'S', IDM_SAVE_LOG},
        {FCONTROL, 'A', IDM_SAVE_LOG_AS},    {FCONTROL, 'O', IDM_OPEN_LOG},
        {FCONTROL, 'W', IDC_CLEAR_ENTRY},    {FCONTROL, 'L', IDC_LOG_CONTACT},
        {FCONTROL, VK_F1, IDM_ABOUT},        {FCONTROL, VK_F4, IDM_CLOSE_LOG},
        {FCONTROL, VK_F10, IDM_UPDATE_DB},   {0, VK_F1, IDM_HELP},
        {0, VK_F2, IDM_UNUSED_F2},           {0, VK_F4, IDM_AUTO_TIME},
        {0, VK_F5, IDM_AUTO_CLEAR_SUMMIT},   {0, VK_F6, IDM_AUTO_BAND_RESET},
        {0, VK_F7, IDM_REF_CHECK},           {0, VK_F9, IDM_CONFIGURATION},
    };
    for (WORD n = 0; n < 12; ++n)
        expected.push_back({FSHIFT, static_cast<WORD>(VK_F1 + n), static_cast<WORD>(IDM_QUICK_PREFIX_FIRST + n)});

    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(table);

    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(Format("entry %u", static_cast<unsigned>(i)));
        EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | expected[i].modifiers);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].command);
    }
}

TEST(Strings, FixedTextsAreExact)
{
    const struct {
        UINT id;
        const char *text;
    } cases[] = {
        {IDS_CONFIG_HEADER, "The information below is required to customise the log entry and edit screens for you. "
                            "These settings may be changed at any time by selecting 'Configuration' from the File "
                            "menu or by pressing F9."},
        {IDS_CONFIG_FOOTER, "You can add, remove or change the order within each of the above to control which "
                            "options appear in relevant selection boxes of the logging window. The first entry in "
                            "each these lists will be the default selection on start-up of the program."},
        {IDS_DB_AGE_WARNING, "The Summits database being used by Tarnlog is getting old, you may want to update the "
                             "database by selecting 'Update Summits DB' from the File menu or by pressing Ctrl-F10."},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LoadResourceString(c.id), c.text) << "string " << c.id;
    }
}

TEST(Strings, LogoTipIsTheNoticeFollowedByTheClickLine)
{
    const std::string notice = LoadResourceString(IDS_LOGO_NOTICE);
    const std::string tip = LoadResourceString(IDS_LOGO_TIP);
    ASSERT_FALSE(notice.empty());
    ASSERT_GT(tip.size(), notice.size() + 1);
    EXPECT_EQ(tip.substr(0, notice.size() + 1), notice + "\n");
    for (const char *word : {"Ctrl", "Alt"})
        EXPECT_NE(tip.find(word, notice.size()), std::string::npos) << word;
    EXPECT_FALSE(LoadResourceString(IDS_ABOUT_DESCRIPTION).empty());
}

// The version block as the About box reads it back from the program file.
TEST(VersionBlock, NamesTheEditorAndItsRelease)
{
    char module[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(nullptr, module, sizeof module), 0u);
    const struct {
        const char *name;   // nullptr: the fixed file version
        const char *value;
    } cases[] = {
        {nullptr, "1.5.9.7"},
        {"FileVersion", "1.5.9.7"},
        {"ProductVersion", "1.597"},
        {"FileDescription", "VORN CSV Log Editor"},
        {"ProductName", "VORN CSV Log Editor"},
        {"InternalName", "Tarnlog"},
        {"OriginalFilename", "Tarnlog.exe"},
        {"CompanyName", "Brindlecote"},
        {"LegalCopyright", "Copyright (C) 2025 Brindlecote"},
    };
    for (const auto &c : cases) {
        char value[260] = "";
        EXPECT_GT(GetFileVersionString(value, sizeof value, module, c.name), 0) << (c.name ? c.name : "fixed");
        EXPECT_STREQ(value, c.value) << (c.name ? c.name : "fixed");
    }
}

std::vector<DWORD> PixelsOf(HBITMAP bitmap, int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rows, height);
    for (DWORD &p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

struct BitmapCase {
    const char *name;   // a named resource, or nullptr for id
    int id;
    int size;
};

TEST(Pictures, EveryBitmapLoadsAtItsSize)
{
    std::vector<BitmapCase> cases = {
        {nullptr, IDB_NEW, 16},    {nullptr, IDB_OPEN, 16},   {nullptr, IDB_SAVE, 16},      {nullptr, IDB_SAVEAS, 16},
        {nullptr, IDB_QUIT, 16},   {nullptr, IDB_CFG, 16},    {nullptr, IDB_CLOSE, 16},     {nullptr, IDB_HELP, 16},
        {nullptr, IDB_EXPORT, 16}, {nullptr, IDB_VORN, 16},   {nullptr, IDB_DBUPD, 16},     {nullptr, IDB_RECENT, 16},
        {nullptr, IDB_CLEARHIST, 16},
    };
    static char logoNames[LOGO_BITMAP_COUNT][16];
    for (int i = 0; i < LOGO_BITMAP_COUNT; ++i) {
        std::snprintf(logoNames[i], sizeof logoNames[i], "VORNBMP%02d", i);
        cases.push_back({logoNames[i], 0, 110});
    }
    for (const BitmapCase &c : cases) {
        SCOPED_TRACE(c.name ? Format("%s", c.name) : Format("%d", c.id));
        HANDLE image = LoadImageA(GetModuleHandleA(nullptr), c.name ? c.name : MAKEINTRESOURCEA(c.id), IMAGE_BITMAP, 0,
                                  0, LR_CREATEDIBSECTION);
        ASSERT_NE(image, nullptr);
        HBITMAP bitmap = static_cast<HBITMAP>(image);
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, c.size);
        EXPECT_EQ(info.bmHeight, c.size);
        EXPECT_EQ(info.bmBitsPixel, 24);
        if (c.name == nullptr) {
            // Menu bitmaps: the program turns every pixel of the top-left
            // pixel's colour into the menu colour, except in the About item's.
            const std::vector<DWORD> pixels = PixelsOf(bitmap, c.size, c.size);
            size_t keyed = 0;
            for (DWORD p : pixels)
                keyed += p == 0xFF00FF;
            if (c.id == IDB_VORN) {
                EXPECT_EQ(keyed, 0u) << "the unconverted About bitmap would show its key colour";
            } else {
                EXPECT_EQ(pixels[0], 0xFF00FFu) << "background is not the key colour";
                EXPECT_LT(keyed, pixels.size() - 40) << "hardly any picture on the background";
            }
        }
        DeleteObject(bitmap);
    }
}

TEST(Pictures, EveryIconLoadsInBothSizes)
{
    const struct {
        const char *name;
        int id;
    } icons[] = {{"APP_ICON", 0}, {nullptr, IDI_NO_DBICON}, {nullptr, IDI_FL_DBICON}};
    for (const auto &icon : icons) {
        for (int size : {16, 32}) {
            SCOPED_TRACE(icon.name ? Format("%s at %d", icon.name, size) : Format("%d at %d", icon.id, size));
            HANDLE image = LoadImageA(GetModuleHandleA(nullptr), icon.name ? icon.name : MAKEINTRESOURCEA(icon.id),
                                      IMAGE_ICON, size, size, 0);
            ASSERT_NE(image, nullptr);
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(static_cast<HICON>(image), &info));
            BITMAP colour = {};
            GetObjectA(info.hbmColor, sizeof colour, &colour);
            EXPECT_EQ(colour.bmWidth, size);
            EXPECT_EQ(colour.bmHeight, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(static_cast<HICON>(image));
        }
    }
    // The program asks for its icon by name with LoadIconA.
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), "APP_ICON"), nullptr);
}

} // namespace
