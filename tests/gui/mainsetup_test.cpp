// The main window as the program sets it up, on the real dialog under Wine:
// place, icon, logo, time format, status bar and clock, the log list, tab
// stops, the whole menu bar with its pictures and ticks, edit limits, combos,
// tool tips, the start-up texts, the log named at start and the focus; a window
// that cannot be set up is not created; and the menu pictures' conversion.
#include "mainsetup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "appstate.h"
#include "gui/harness.h"
#include "gui/shots.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "settings_win.h"
#include "statusbar_win.h"
#include "summitsdb.h"
#include "support/tempfile.h"
#include "support/testregistry.h"

namespace {

constexpr UtcTime kDaySeconds = 86400;
const std::string kLogoTip = [] {
    char text[2048] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_LOGO_TIP, text, sizeof text);
    return std::string(text);
}();
const std::string kLogoNotice = [] {
    char text[2048] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_LOGO_NOTICE, text, sizeof text);
    return std::string(text);
}();

std::string Padded(const std::string &text, size_t width) { return text + std::string(width - text.size(), ' '); }

// Holds Shift down for this thread for the life of the guard, as GetKeyState sees it.
struct ShiftHeld {
    ShiftHeld() { SetShift(0x80); }
    ~ShiftHeld() { SetShift(0); }
    static void SetShift(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = state;
        SetKeyboardState(keys);
    }
};

// A summits database in folder with a fresh information row and two summits.
void MakeDatabase(const std::filesystem::path &folder) {
    const std::string path = (folder / "VORN_REFS.MDB").string();
    ASSERT_EQ(DbCreate(path.c_str(), 0), 1);
    char yesterday[12] = "";
    ASSERT_EQ(DbDateLiteral(static_cast<UtcTime>(time(nullptr) / kDaySeconds * kDaySeconds - kDaySeconds), yesterday,
                            sizeof yesterday),
              1);
    ASSERT_EQ(DbUpdate("Info", (std::string("LastUpdate = '") + yesterday + "'").c_str(), "Version = 1.1"), 1);
    for (const char *summit : {"'VA/AA-001', 'Tarnmor Fell', '2002-02-02', '2037-12-31', 52.5, -3.75",
                               "'VA/AB-012', 'Brindle Pike', '2002-02-02', '2037-12-31', 52.1, -3.25"})
        ASSERT_EQ(DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude", summit),
                  1);
    DbClose();
}

constexpr char kGoodLog[] = "v2,QX9ZZ,,05/03/2020,14:07,14.062,CW,QX1AB,VA/AA-001,first\r\n"
                            "v2,QX9ZZ,,06/03/2020,09:30,7.032,SSB,QX2CD,,second\r\n";

class MainSetup : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        TestCreateKey(SettingsKey);
        data_ = TestTempPath(std::string("mainsetup_") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::error_code ignored;
        std::filesystem::remove_all(data_, ignored);
        std::filesystem::create_directories(data_);
        const std::string folder = data_.string();
        ASSERT_LT(folder.size(), sizeof EditorSettings.DataDirectory);
        snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", folder.c_str());
        EditorSettings.Left = 40;
        EditorSettings.Top = 30;
    }
    void TearDown() override { ResetEditorState(); }

    // A fresh start with the settings as they stand now.
    HWND Open() {
        ResetWindowOnly();
        window_ = OpenMainWindowHost();
        EXPECT_NE(window_, nullptr);
        return window_;
    }
    void ResetWindowOnly() {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        MainWindow = nullptr;
        StatusBar = nullptr;
        DbClose();
        DbAvailable = 0;
        ClearQsoList();
        LogModified = 0;
        PumpMessages(0);
    }

    std::filesystem::path data_;
    HWND window_ = nullptr;
};

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)); }

TEST_F(MainSetup, PlaceIsLeftAndTopUnlessShiftIsHeld) {
    // Where the template alone puts the window.
    HWND bare = OpenDialog(IDD_MAIN);
    ASSERT_NE(bare, nullptr);
    RECT templatePlace;
    GetWindowRect(bare, &templatePlace);
    DestroyWindow(bare);

    const struct {
        bool shift;
        int left, top;
    } cases[] = {{false, 40, 30}, {false, 130, 75}, {true, 130, 75}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top) + (c.shift ? " with Shift" : ""));
        EditorSettings.Left = c.left;
        EditorSettings.Top = c.top;
        RECT place = {};
        if (c.shift) {
            ShiftHeld shift;
            ASSERT_LT(GetKeyState(VK_SHIFT), 0);
            ASSERT_NE(Open(), nullptr);
        } else {
            ASSERT_NE(Open(), nullptr);
        }
        GetWindowRect(window_, &place);
        EXPECT_EQ(place.left, c.shift ? templatePlace.left : c.left);
        EXPECT_EQ(place.top, c.shift ? templatePlace.top : c.top);
        // The size is the template's either way.
        EXPECT_EQ(place.right - place.left, templatePlace.right - templatePlace.left);
    }
}

// The bitmap's pixels as 0xRRGGBB values, top row first.
std::vector<DWORD> PixelsOf(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS),
              info.bmHeight);
    ReleaseDC(nullptr, screen);
    for (DWORD &p : pixels) p &= 0xFFFFFF;
    return pixels;
}

TEST_F(MainSetup, IconLogoAndTimeFormat) {
    EditorSettings.LogoIndex = 7;
    ASSERT_NE(Open(), nullptr);
    EXPECT_NE(AppIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window_, WM_GETICON, ICON_SMALL, 0)), AppIcon);

    HWND logo = GetDlgItem(window_, IDC_LOGO);
    ASSERT_NE(LogoBitmap, nullptr);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(logo, BM_GETIMAGE, IMAGE_BITMAP, 0)), LogoBitmap);
    RECT client;
    GetClientRect(logo, &client);
    BITMAP info = {};
    GetObjectA(LogoBitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, client.right);
    EXPECT_EQ(info.bmHeight, client.bottom);
    auto logoAtSize = [&](const char *name) {
        HBITMAP b = static_cast<HBITMAP>(LoadImageA(AppInstance, name, IMAGE_BITMAP, client.right, client.bottom, 0));
        std::vector<DWORD> pixels = PixelsOf(b);
        DeleteObject(b);
        return pixels;
    };
    const std::vector<DWORD> shown = PixelsOf(LogoBitmap);
    EXPECT_EQ(shown, logoAtSize("VORNBMP07"));
    EXPECT_NE(shown, logoAtSize("VORNBMP06"));

    // Hours and minutes only, whatever the user's own time format shows.
    UserFormats formats("dd/MM/yyyy", "h:mm:ss tt");
    ASSERT_NE(Open(), nullptr);
    SYSTEMTIME t = {2024, 6, 0, 9, 7, 5, 9, 0};
    SendDlgItemMessageA(window_, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    EXPECT_EQ(ControlText(window_, IDC_QSO_TIME), "07:05");
}

TEST_F(MainSetup, StatusBarPartsTextsAndClock) {
    ASSERT_NE(Open(), nullptr);
    ASSERT_NE(StatusBar, nullptr);
    EXPECT_EQ(GetDlgCtrlID(StatusBar), IDC_STATUS_BAR);
    EXPECT_TRUE(StyleOf(StatusBar) & SBARS_TOOLTIPS);
    RECT bar;
    GetClientRect(StatusBar, &bar);
    const int w = bar.right;
    int edges[6] = {};
    ASSERT_EQ(SendMessageA(StatusBar, SB_GETPARTS, 6, reinterpret_cast<LPARAM>(edges)), 5);
    EXPECT_EQ(std::vector<int>(edges, edges + 5),
              (std::vector<int>{w / 10, w / 10 + w / 5, w - 2 * w / 5, w - w / 5, -1}));

    const struct {
        int part;
        std::string text, tip;
    } parts[] = {
        {SBP_LOG_STATUS, Padded("0 Entries", 28), "Log Status"},
        {SBP_LOG_FILE, std::string(63, ' '), "Current log file name"},
        {SBP_MESSAGE, std::string(87, ' '), "Warning/Notification Message Area"},
        {SBP_DB_STATUS, Padded("No Summits DB", 32), "The Summits Database is Missing"},
        {SBP_CLOCK, "", ""},
    };
    for (const auto &p : parts) {
        SCOPED_TRACE(p.part);
        EXPECT_EQ(StatusPartText(p.part), p.text);
        EXPECT_EQ(StatusPartTip(p.part), p.tip);
    }
    // The clock's first tick comes a second after the set-up.
    EXPECT_TRUE(PumpUntil([] { return !StatusPartText(SBP_CLOCK).empty(); }, 2500));
    EXPECT_NE(StatusPartText(SBP_CLOCK).find(" UTC"), std::string::npos) << StatusPartText(SBP_CLOCK);
    EXPECT_EQ(StatusPartTip(SBP_CLOCK), "Current Date/Time (UTC)");
}

TEST_F(MainSetup, LogListTabStopsLimitsAndCombos) {
    EditorSettings.ColumnWidths[3] = 123;
    snprintf(EditorSettings.MyCall[0], kMyCallSize, "QX9ZZ");
    snprintf(EditorSettings.MyCall[1], kMyCallSize, "QX9ZZ/P");
    EditorSettings.MyCallCount = 2;
    ASSERT_NE(Open(), nullptr);

    HWND list = GetDlgItem(window_, IDC_LOG_LIST);
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), kLogColumnCount);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 3, 0), 123);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);

    const struct {
        int id;
        bool tabStop;
    } stops[] = {{IDC_QSO_DATE, true}, {IDC_QSO_TIME, true}, {IDC_HIS_CALL, true},     {IDC_LOG_CONTACT, true},
                 {IDC_MY_CALL, true},  {IDC_LOGO, false},    {IDC_CLEAR_ENTRY, false}, {IDC_DELETE_ENTRY, false}};
    for (const auto &s : stops)
        EXPECT_EQ((StyleOf(GetDlgItem(window_, s.id)) & WS_TABSTOP) != 0, s.tabStop) << "control " << s.id;

    const struct {
        int id, limit;
    } limits[] = {{IDC_HIS_CALL, 12}, {IDC_HIS_SUMMIT, 12}, {IDC_MY_SUMMIT, 12}, {IDC_NOTES, 128}};
    for (const auto &l : limits) {
        SCOPED_TRACE(l.id);
        EXPECT_EQ(SendDlgItemMessageA(window_, l.id, EM_GETLIMITTEXT, 0, 0), l.limit);
        // Typing stops at the limit.
        SetDlgItemTextA(window_, l.id, "");
        const std::string typed(static_cast<size_t>(l.limit) + 5, 'A');
        SendDlgItemMessageA(window_, l.id, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed.c_str()));
        EXPECT_EQ(ControlText(window_, l.id).size(), static_cast<size_t>(l.limit));
    }

    const struct {
        int id, count;
        const char *selected;
    } combos[] = {{IDC_BAND, 24, DefaultBands[0]}, {IDC_MODE, 9, DefaultModes[0]}, {IDC_MY_CALL, 2, "QX9ZZ"}};
    for (const auto &c : combos) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(SendDlgItemMessageA(window_, c.id, CB_GETCOUNT, 0, 0), c.count);
        EXPECT_EQ(SendDlgItemMessageA(window_, c.id, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(ControlText(window_, c.id), c.selected);
    }
}

// One menu item as GetMenuItemInfo reports it.
struct ItemSeen {
    bool separator = false;
    UINT id = 0;
    std::string text;
    HBITMAP unchecked = nullptr, checked = nullptr;
    bool isChecked = false, disabled = false;
    HMENU submenu = nullptr;
};

ItemSeen ItemAt(HMENU menu, int position) {
    ItemSeen seen;
    char text[128] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU | MIIM_CHECKMARKS;
    info.dwTypeData = text;
    info.cch = sizeof text;
    EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) << "position " << position;
    seen.separator = (info.fType & MFT_SEPARATOR) != 0;
    seen.id = info.wID;
    seen.text = seen.separator ? "" : text;
    seen.unchecked = info.hbmpUnchecked;
    seen.checked = info.hbmpChecked;
    seen.isChecked = (info.fState & MFS_CHECKED) != 0;
    seen.disabled = (info.fState & MFS_DISABLED) != 0;
    seen.submenu = info.hSubMenu;
    return seen;
}

bool HasColour(HBITMAP bitmap, DWORD colour) {
    for (DWORD p : PixelsOf(bitmap))
        if (p == colour) return true;
    return false;
}

DWORD Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

TEST_F(MainSetup, MenuBarHasEveryItemWithItsTextIdPictureAndTick) {
    enum Picture { None, Converted, AsLoaded };
    struct Row {
        UINT id;   // 0: separator; kPopup: the Recent logs popup
        const char *text;
        Picture picture;
    };
    constexpr UINT kPopup = ~0u;
    const Row file[] = {
        {IDM_NEW_LOG, "&New log\tCtrl-N", Converted},
        {0, "", None},
        {IDM_OPEN_LOG, "&Open...\tCtrl-O", Converted},
        {kPopup, "Recent logs", Converted},
        {0, "", None},
        {IDM_SAVE_LOG, "&Save\tCtrl-S", Converted},
        {IDM_SAVE_LOG_AS, "Save log &as...\tCtrl-A", Converted},
        {IDM_EXPORT, "&Export to...", Converted},
        {0, "", None},
        {IDM_CLOSE_LOG, "Close log\tCtrl-F4", Converted},
        {0, "", None},
        {IDM_OPEN_LOG_DIR, "Open log &directory...", Converted},
        {0, "", None},
        {IDM_UPDATE_DB, "&Update Summits DB\tCtrl-F10", Converted},
        {0, "", None},
        {IDM_CONFIGURATION, "&Configuration\tF9", Converted},
        {0, "", None},
        {IDM_QUIT, "&Quit\tAlt-F4", Converted},
    };
    const Row help[] = {{IDM_HELP, "&Help...\tF1", Converted}, {IDM_ABOUT, "&About...\tCtrl-F1", AsLoaded}};
    const DWORD menuColour = Rgb(GetSysColor(COLOR_MENU));

    auto expectRows = [&](HMENU menu, const Row *rows, size_t count) {
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            const Row &row = rows[i];
            SCOPED_TRACE(row.text);
            const ItemSeen seen = ItemAt(menu, static_cast<int>(i));
            EXPECT_EQ(seen.separator, row.id == 0);
            if (row.id == 0) continue;
            EXPECT_EQ(seen.text, row.text);
            if (row.id == kPopup) {
                EXPECT_EQ(seen.submenu, RecentLogMenu);
                EXPECT_NE(RecentLogMenu, nullptr);
            } else {
                EXPECT_EQ(seen.id, row.id);
                EXPECT_EQ(seen.submenu, nullptr);
            }
            EXPECT_FALSE(seen.disabled);
            EXPECT_EQ(seen.checked, nullptr);
            ASSERT_NE(seen.unchecked, nullptr);
            BITMAP info = {};
            GetObjectA(seen.unchecked, sizeof info, &info);
            EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXSMICON));
            EXPECT_EQ(info.bmHeight, GetSystemMetrics(SM_CYSMICON));
            const std::vector<DWORD> pixels = PixelsOf(seen.unchecked);
            if (row.picture == Converted) {
                // The key colour is gone; the menu colour stands in its place.
                EXPECT_EQ(pixels[0], menuColour);
                EXPECT_FALSE(HasColour(seen.unchecked, 0xFF00FF));
            } else {
                EXPECT_NE(pixels[0], menuColour);
            }
        }
    };

    const struct {
        const char *name;
        bool database;
        int autoSave, autoTime, clearRef, resetBand, clearSwl, refChecking;
    } cases[] = {
        {"defaults without a database", false, 1, 1, 1, 1, 1, 1},
        {"all off with a database", true, 0, 0, 0, 0, 0, 0},
        {"mixed with a database", true, 1, 0, 1, 0, 0, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.database) MakeDatabase(data_);
        EditorSettings.AutoSave = c.autoSave;
        EditorSettings.AutoTime = c.autoTime;
        EditorSettings.ClearRefOnEntry = c.clearRef;
        EditorSettings.ResetBandOnEntry = c.resetBand;
        EditorSettings.ClearSWLOnEntry = c.clearSwl;
        EditorSettings.RefChecking = c.refChecking;
        ASSERT_NE(Open(), nullptr);
        ASSERT_EQ(DbAvailable, c.database ? 1 : 0);

        ASSERT_NE(MainMenu, nullptr);
        EXPECT_EQ(GetMenu(window_), MainMenu);
        ASSERT_EQ(GetMenuItemCount(MainMenu), 3);
        const struct {
            const char *title;
            HMENU popup;
        } bar[] = {{"&File", FileMenu}, {"&Options", OptionsMenu}, {"&Help", HelpMenu}};
        for (int i = 0; i < 3; ++i) {
            const ItemSeen seen = ItemAt(MainMenu, i);
            EXPECT_EQ(seen.text, bar[i].title);
            EXPECT_NE(seen.submenu, nullptr);
            EXPECT_EQ(seen.submenu, bar[i].popup);
        }
        expectRows(FileMenu, file, std::size(file));
        expectRows(HelpMenu, help, std::size(help));
        // Both folder items show the one open picture.
        EXPECT_EQ(ItemAt(FileMenu, 2).unchecked, ItemAt(FileMenu, 11).unchecked);

        // The recent-log popup as its builder fills it, with the clear picture.
        ASSERT_EQ(GetMenuItemCount(RecentLogMenu), 2);
        EXPECT_EQ(ItemAt(RecentLogMenu, 0).text, "None");
        EXPECT_NE(ClearHistoryBitmap, nullptr);
        EXPECT_EQ(ItemAt(RecentLogMenu, 1).id, static_cast<UINT>(IDM_CLEAR_RECENT));
        EXPECT_EQ(ItemAt(RecentLogMenu, 1).unchecked, ClearHistoryBitmap);
        EXPECT_EQ(PixelsOf(ClearHistoryBitmap)[0], menuColour);

        const struct {
            UINT id;
            const char *text;
            bool checked, disabled;
        } options[] = {
            {IDM_AUTO_SAVE, "Auto-save", c.autoSave == 1, false},
            {IDM_AUTO_TIME, "Auto-time\tF4", c.autoTime == 1, false},
            {IDM_AUTO_CLEAR_SUMMIT, "Auto-clear-summit\tF5", c.clearRef == 1, false},
            {IDM_AUTO_BAND_RESET, "Auto-band-reset\tF6", c.resetBand == 1, false},
            {IDM_AUTO_SWL_CLEAR, "Auto-SWL-Clear", c.clearSwl == 1, false},
            {0, "", false, false},
            {IDM_REF_CHECK, "Summit Reference Check\tF7", c.database && c.refChecking == 1, !c.database},
        };
        ASSERT_EQ(GetMenuItemCount(OptionsMenu), static_cast<int>(std::size(options)));
        for (size_t i = 0; i < std::size(options); ++i) {
            SCOPED_TRACE(options[i].text);
            const ItemSeen seen = ItemAt(OptionsMenu, static_cast<int>(i));
            EXPECT_EQ(seen.separator, options[i].id == 0);
            if (options[i].id == 0) continue;
            EXPECT_EQ(seen.id, options[i].id);
            EXPECT_EQ(seen.text, options[i].text);
            EXPECT_EQ(seen.isChecked, options[i].checked);
            EXPECT_EQ(seen.disabled, options[i].disabled);
            EXPECT_EQ(seen.unchecked, nullptr);
        }
        // The pickers follow Auto-time.
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(window_, IDC_QSO_DATE)) != 0, c.autoTime == 0);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(window_, IDC_QSO_TIME)) != 0, c.autoTime == 0);
        ResetWindowOnly();
        std::filesystem::remove(data_ / "VORN_REFS.MDB");
    }
}

TEST_F(MainSetup, ToolTipsOnAndOffTheLogoAlways) {
    using Tips = std::vector<std::pair<int, std::string>>;
    const struct {
        int useToolTips;
        Tips tips;
    } cases[] = {
        {1,
         {{IDC_QSO_DATE, "Select QSO Date"},
          {IDC_QSO_TIME, "Select QSO Time"},
          {IDC_HIS_SUMMIT, "Other stations Summit Reference (if any)"},
          {IDC_BAND, "Select operating band"},
          {IDC_MODE, "Select operating mode"},
          {IDC_MY_CALL, "Select your callsign"},
          {IDC_HIS_CALL, "Callsign of other station"},
          {IDC_NOTES, "Comments and other information (optional)"},
          {IDC_MY_SUMMIT, "Your Summit Reference (if any)"},
          {IDC_SWL, "Tick if this is a SWL Entry"},
          {IDC_LOG_CONTACT, "Add contact to log (Ctrl+l)"},
          {IDC_CLEAR_ENTRY, "Clear current entry (Ctrl+w)"},
          {IDC_DELETE_ENTRY, "Delete selected entry"},
          {IDC_LOGO, kLogoTip},
          {IDC_LOG_LIST, "Details of each QSO made"}}},
        {0, {{IDC_LOGO, kLogoNotice}}},
    };
    ASSERT_NE(kLogoTip, kLogoNotice);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.useToolTips);
        EditorSettings.UseToolTips = c.useToolTips;
        ASSERT_NE(Open(), nullptr);
        Tips expected = c.tips;
        std::sort(expected.begin(), expected.end());
        // The status bar's parts (ids 0 to 4) have tips of their own.
        Tips controls;
        for (const auto &tip : ToolTipsOf(window_))
            if (tip.first > SBP_CLOCK) controls.push_back(tip);
        EXPECT_EQ(controls, expected);
    }
}

TEST_F(MainSetup, FocusFollowsAutoTime) {
    for (int autoTime : {1, 0}) {
        SCOPED_TRACE(autoTime);
        EditorSettings.AutoTime = autoTime;
        ASSERT_NE(Open(), nullptr);
        PumpMessages(50);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), autoTime ? IDC_HIS_CALL : IDC_QSO_TIME);
    }
}

TEST_F(MainSetup, LogNamedAtStart) {
    const std::string good = WriteTestFile("start_good.csv", kGoodLog).string();
    const std::string bad = WriteTestFile("start_bad.csv", "this,is\r\nnot,a log\r\n").string();
    const std::string other = WriteTestFile("start_other.csv", kGoodLog).string();
    const std::string gone = TestTempPath("start_gone.csv").string();
    // The longest path the setting holds, in a folder that is not there.
    std::string longGone = TestTempDir().string() + "\\missing\\";
    longGone += std::string(static_cast<size_t>(kSettingsPathSize - 1) - longGone.size() - 4, 'x') + ".csv";
    ASSERT_EQ(longGone.size(), static_cast<size_t>(kSettingsPathSize - 1));

    const struct {
        const char *name;
        std::string path;         // CurrentLogPath at start
        std::string lastCsvLog;   // as stored
        int rows;
        std::string pathAfter, storedAfter, fileShown;
        bool warned;
    } cases[] = {
        {"loads", good, good, 2, good, good, "start_good.csv", false},
        {"missing, from LastCSVLog", gone, gone, 0, "", "", "", true},
        {"missing, from the command line", gone, other, 0, "", other, "", true},
        {"missing, the longest path", longGone, other, 0, "", other, "", true},
        {"fails to load", bad, bad, 0, "", bad, ".", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(gone);
        snprintf(EditorSettings.CurrentLogPath, sizeof EditorSettings.CurrentLogPath, "%s", c.path.c_str());
        SaveSettingText("LastCSVLog", c.lastCsvLog.c_str());
        if (c.warned) AnswerModals({{Press::Button, IDOK}});
        ASSERT_NE(Open(), nullptr);
        const std::vector<SeenDialog> seen = TakeSeenModals();
        if (c.warned) {
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_FALSE(seen[0].systemBox);
            EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
            EXPECT_EQ(seen[0].text, "WARNING: The Log file '" + c.path + "' was Not Found !!");
            EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
            EXPECT_TRUE(seen[0].iconShown);
        } else {
            EXPECT_TRUE(seen.empty()) << seen.size() << " dialogs, the first: " << seen.at(0).text;
        }
        EXPECT_EQ(ListRows(GetDlgItem(window_, IDC_LOG_LIST)).size(), static_cast<size_t>(c.rows));
        EXPECT_EQ(EditorSettings.CurrentLogPath, c.pathAfter);
        EXPECT_EQ(TestReadValue(SettingsKey, "LastCSVLog"),
                  Stored(TARN_REG_SZ, c.storedAfter.empty() ? std::string(1, '\0') : c.storedAfter));
        // A missing file leaves the part cleared; one that fails to load is shown as no file.
        EXPECT_EQ(StatusPartText(SBP_LOG_FILE), c.fileShown.empty() ? std::string(63, ' ') : Padded(c.fileShown, 64));
        EXPECT_EQ(LogModified, 0);
        if (c.rows) {
            EXPECT_EQ(StatusPartText(SBP_LOG_STATUS), Padded("2 entries", 28));
            // The log's own call joins the list, and the form offers it at once.
            EXPECT_NE(SendDlgItemMessageA(window_, IDC_MY_CALL, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>("QX9ZZ")),
                      CB_ERR);
        }
    }
}

// Refuses the creation of every status bar while installed.
LRESULT CALLBACK RefuseStatusBars(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto *create = reinterpret_cast<CBT_CREATEWNDA *>(lParam);
        const char *cls = create->lpcs->lpszClass;
        if (HIWORD(reinterpret_cast<UINT_PTR>(cls)) != 0 && _stricmp(cls, STATUSCLASSNAMEA) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MainSetup, AWindowThatCannotBeSetUpIsNotCreated) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseStatusBars, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND window = OpenMainWindowHost();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(StatusBar, nullptr);
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(FindWindowA("#32770", "VORN CSV Log Editor"), nullptr);
    // Nothing of it is left to run.
    PumpMessages(1200);
    EXPECT_TRUE(TakeSeenModals().empty());
}

// A bitmap of the screen's kind with the given rows of colours (COLORREF).
HBITMAP MakeBitmap(const std::vector<std::vector<COLORREF>> &rows) {
    HDC screen = GetDC(nullptr);
    const int height = static_cast<int>(rows.size()), width = static_cast<int>(rows[0].size());
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixel(dc, x, y, rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

std::vector<std::vector<COLORREF>> RowsOf(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<std::vector<COLORREF>> rows(static_cast<size_t>(info.bmHeight));
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x) rows[static_cast<size_t>(y)].push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return rows;
}

TEST(MakeMenuBitmap, EveryPixelOfTheTopLeftColourBecomesTheMenuColour) {
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF magenta = RGB(255, 0, 255), green = RGB(0, 128, 0), red = RGB(200, 0, 0), blue = RGB(0, 0, 160);
    for (COLORREF key : {magenta, green, blue}) ASSERT_NE(menu, key);
    const std::vector<std::vector<std::vector<COLORREF>>> pictures = {
        // The key colour around the picture and inside it.
        {{magenta, magenta, magenta, magenta, magenta},
         {magenta, red, red, red, magenta},
         {magenta, red, magenta, red, magenta},
         {magenta, blue, blue, blue, green}},
        // Another key colour; magenta is then part of the picture.
        {{green, magenta, green}, {red, green, blue}, {green, green, magenta}},
        // A picture of one colour is all background.
        {{blue, blue}, {blue, blue}},
    };
    for (const auto &picture : pictures) {
        SCOPED_TRACE(picture.size());
        HBITMAP source = MakeBitmap(picture);
        ASSERT_EQ(RowsOf(source), picture);
        HBITMAP copy = MakeMenuBitmap(source);
        ASSERT_NE(copy, nullptr);
        ASSERT_NE(copy, source);
        std::vector<std::vector<COLORREF>> expected = picture;
        for (auto &row : expected)
            for (COLORREF &p : row)
                if (p == picture[0][0]) p = menu;
        EXPECT_EQ(RowsOf(copy), expected);
        EXPECT_EQ(RowsOf(source), picture) << "the source is changed";
        DeleteObject(copy);
        DeleteObject(source);
    }
    EXPECT_EQ(MakeMenuBitmap(nullptr), nullptr);
}

// For people to look at: the main window as it starts with a log named at
// start and a summit's info line.
TEST_F(MainSetup, Screenshot) {
    const std::string shot = ShotPath("main_window_setup.bmp");
    if (shot.empty()) GTEST_SKIP() << "screenshots are off";
    MakeDatabase(data_);
    std::string log;
    for (int i = 0; i < 30; ++i) {
        char line[160];
        snprintf(line, sizeof line,
                 "v2,QX9ZZ/P,VA/AB-012,%02d/03/2024,%02d:%02d,14.062,CW,QX%dAB,VA/AA-001,QRG:14.062 nice signal %d\r\n",
                 1 + i % 28, 8 + i % 10, (i * 7) % 60, i % 10, i);
        log += line;
    }
    const std::string path = WriteTestFile("summer-2024.csv", log).string();
    snprintf(EditorSettings.CurrentLogPath, sizeof EditorSettings.CurrentLogPath, "%s", path.c_str());
    EditorSettings.AutoTime = 1;
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(TakeSeenModals().empty());
    EXPECT_EQ(ListRows(GetDlgItem(window_, IDC_LOG_LIST)).size(), 30u);
    SetDlgItemTextA(window_, IDC_HIS_CALL, "QX1AB/P");
    SetDlgItemTextA(window_, IDC_HIS_SUMMIT, "VA/AA-001");
    SetDlgItemTextA(window_, IDC_HIS_SUMMIT_INFO, "Tarnmor Fell [JN58AB] (123.4km 045deg)");
    SetDlgItemTextA(window_, IDC_MY_SUMMIT, "VA/AB-012");
    SetDlgItemTextA(window_, IDC_MY_SUMMIT_INFO, "Brindle Pike [JN58CD]");
    PumpUntil([] { return !StatusPartText(SBP_CLOCK).empty(); }, 2500);
    SetForegroundWindow(window_);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpMessages(300);
    EXPECT_EQ(SaveWindowShot(window_, shot.c_str()), 1);
}

}   // namespace
