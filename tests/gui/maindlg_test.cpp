// The real main window with its own procedure: every command by the message
// its menu item sends and by its key through the program's loop step, every
// question answered each way, and after each step what a user sees (rows,
// status texts, menu ticks, focus) and what is on disk and in the registry.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "appstate.h"
#include "help.h"
#include "gui/harness.h"
#include "loglist_win.h"
#include "logwriter.h"
#include "maindlg.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "settings_win.h"
#include "startup.h"
#include "statusbar.h"
#include "statusbar_win.h"
#include "summitsdb.h"
#include "support/tempfile.h"

namespace {

const char kUnsaved[] = "WARNING: The Log has not been saved !!\n\nDo you want to save it now?";
const char kQuitAnyway[] = "ERROR: Unable to save the log\n\nDo you want to close VORN CSV Log Editor anyway?\n";
const char kOpenAnyway[] = "ERROR: Unable to save the log\n\nDo you want to open the selected log anyway?\n";
const char kHelpFile[] = "\\VORN CSV Log Editor.chm::/start.htm";
const char kSaveAsDialog[] = "[Save Log to:]";

Answer Yes() { return Answer{Press::Button, IDYES}; }
Answer No() { return Answer{Press::Button, IDNO}; }
Answer Cancel() { return Answer{Press::Button, IDCANCEL}; }
Answer Ok() { return Answer{Press::Button, IDOK}; }

std::string Win(const std::filesystem::path &path) { return path.string(); }

std::string RegText(const char *name) {
    char data[2048] = "";
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
        return "<missing>";
    return std::string(data, size);
}

// The stored DWORD, -1 when there is none.
long long RegDword(const char *name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return value;
}

std::vector<std::string> StoredRecentLogs() {
    const std::string data = RegText("RecentLogs");
    std::vector<std::string> logs;
    if (data == "<missing>") return logs;
    for (size_t start = 0; start < data.size();) {
        const size_t end = data.find('\0', start);
        if (end == start || end == std::string::npos) break;
        logs.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return logs;
}

std::string StatusText(int part) {
    std::string text = StatusPartText(part);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Calls the shell would have run.
struct ShellCall {
    HWND owner;
    std::string verb, file, parameters;
    int show;
};
std::vector<ShellCall> shellCalls;
HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT show) {
    shellCalls.push_back({owner, verb ? verb : "", file ? file : "", parameters ? parameters : "", show});
    return reinterpret_cast<HINSTANCE>(42);
}

// HTML Help as the program sees it: a viewer window, a cookie, every call noted.
struct HelpCall {
    HWND caller;
    std::string file;
    UINT command;
    DWORD_PTR data;
};
std::vector<HelpCall> helpCalls;
HWND helpViewer = nullptr;
constexpr DWORD kCookie = 0x5150;
HWND WINAPI RecordHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    helpCalls.push_back({caller, file ? file : "", command, data});
    if (command == 0x1C) *reinterpret_cast<DWORD *>(data) = kCookie;
    return command == 0x01 ? helpViewer : nullptr;
}

// Dialog templates whose modal run gives a set result instead of the dialog.
std::map<UINT_PTR, INT_PTR> forcedResults;
using DialogBoxParamProc = INT_PTR(WINAPI *)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
DialogBoxParamProc realDialogBoxParam = nullptr;
INT_PTR WINAPI ForcedDialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    const auto forced = forcedResults.find(reinterpret_cast<UINT_PTR>(name));
    if (IS_INTRESOURCE(name) && forced != forcedResults.end()) return forced->second;
    return realDialogBoxParam(instance, name, owner, proc, param);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TestTempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        lstrcpynA(savedProgramDirectory, ProgramDirectory, MAX_PATH);
        lstrcpynA(ProgramDirectory, Win(dir).c_str(), MAX_PATH);
        previousShell = ReplaceImport("shell32.dll", "ShellExecuteA", reinterpret_cast<ULONG_PTR>(RecordShellExecute));
        ASSERT_NE(previousShell, 0u);
        previousDialog =
            ReplaceImport("user32.dll", "DialogBoxParamA", reinterpret_cast<ULONG_PTR>(ForcedDialogBoxParam));
        ASSERT_NE(previousDialog, 0u);
        realDialogBoxParam = reinterpret_cast<DialogBoxParamProc>(previousDialog);
        helpViewer = CreateWindowExA(0, "STATIC", "help viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetHtmlHelpProc(RecordHtmlHelp);
        Fresh();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        for (const auto &entry : std::filesystem::directory_iterator(dir))
            SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        ResetEditorState();
        SetHtmlHelpProc(nullptr);
        DestroyWindow(helpViewer);
        ReplaceImport("shell32.dll", "ShellExecuteA", previousShell);
        ReplaceImport("user32.dll", "DialogBoxParamA", previousDialog);
        forcedResults.clear();
        lstrcpynA(ProgramDirectory, savedProgramDirectory, MAX_PATH);
    }

    // No files of an earlier case.
    void EmptyDir() {
        for (const auto &entry : std::filesystem::directory_iterator(dir)) {
            SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
            std::filesystem::remove_all(entry.path());
        }
    }
    // A clean start with the settings key in place and no files; before the
    // window opens adjust() may set what InitMainWindow reads.
    void Fresh(const std::function<void()> &adjust = {}) {
        ResetEditorState();
        EmptyDir();
        HKEY key = nullptr;
        RegCreateKeyA(HKEY_CURRENT_USER, SettingsKey, &key);
        RegCloseKey(key);
        EditorSettings.RefChecking = 0;
        EditorSettings.AutoSave = 0;
        EditorSettings.AutoTime = 0;
        snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", Win(dir).c_str());
        if (adjust) adjust();
        window = OpenMainWindow();
        shellCalls.clear();
        helpCalls.clear();
        TakeSeenModals();
    }
    // Three contacts, unsaved.
    void FillLog() {
        InsertQsoEntry(0, 1700000000, "QX1AAA", "20m", "CW", "QX/AB-001", "first", "QX9ME", "", 0);
        InsertQsoEntry(0, 1700000600, "QX2BBB", "40m", "SSB", "QX/AB-002", "second", "QX9ME", "", 1);
        InsertQsoEntry(0, 1700001200, "QX3CCC", "2m", "FM", "QX/AB-003", "third", "QX9ME", "", 0);
        LogModified = 1;
        RefreshLogList(window);
    }
    // The log written to name and made the open log.
    std::string SavedLog(const char *name) {
        const std::string path = Win(dir / name);
        EXPECT_EQ(WriteCsvLog(nullptr, path.c_str()), 1);
        return path;
    }
    // One more contact, unsaved, shown.
    void AddUnsaved() {
        InsertQsoEntry(0, 1700003000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
        LogModified = 1;
        RefreshLogList(window);
    }
    void TypeContact(const char *call = "QX7FORM", const char *summit = "QX/AB-007") {
        SetDlgItemTextA(window, IDC_HIS_CALL, call);
        SetDlgItemTextA(window, IDC_HIS_SUMMIT, summit);
    }
    HWND List() const { return GetDlgItem(window, IDC_LOG_LIST); }
    std::vector<std::vector<std::string>> Rows() const { return ListRows(List()); }
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (const auto &row : Rows()) calls.push_back(row[3]);
        return calls;
    }
    void Select(int row) {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    // The notification the list sends for a mouse action on it.
    LRESULT ListNotify(UINT code) {
        NMITEMACTIVATE record = {};
        record.hdr.hwndFrom = List();
        record.hdr.idFrom = IDC_LOG_LIST;
        record.hdr.code = code;
        record.iItem = -1;
        const LRESULT result = SendMessageA(window, WM_NOTIFY, IDC_LOG_LIST, reinterpret_cast<LPARAM>(&record));
        PumpMessages(0);
        return result;
    }
    // WM_COMMAND as a menu item sends it.
    void Command(int id) {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        PumpMessages(0);
    }
    // When a modal box's window goes, the program can lose the foreground to the
    // desktop (the virtual display has no window manager to hand it back): the
    // focus is then nowhere until the window is active again, and what counts is
    // the control the dialog manager puts back then, as when the user returns.
    bool FocusIs(int id) const {
        if (GetActiveWindow() != window) {
            SetForegroundWindow(window);
            PumpMessages(20);
        }
        HWND control = GetDlgItem(window, id);
        HWND focus = GetFocus();
        return focus && (focus == control || IsChild(control, focus));
    }
    bool LooksDefault(int id) const {
        return (GetWindowLongPtrA(GetDlgItem(window, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }
    bool Ticked(int id) const { return (GetMenuState(OptionsMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    std::vector<std::string> Questions() {
        std::vector<std::string> texts;
        for (const auto &seen : TakeSeenModals()) {
            EXPECT_FALSE(seen.unexpected) << seen.caption << ": " << seen.text;
            texts.push_back(seen.fileDialog ? "[" + seen.caption + "]" : seen.text.empty() ? seen.caption : seen.text);
        }
        return texts;
    }
    std::vector<std::pair<UINT, std::string>> RecentMenu() const {
        std::vector<std::pair<UINT, std::string>> items;
        for (int i = 0; i < GetMenuItemCount(RecentLogMenu); ++i) {
            char text[300] = "";
            GetMenuStringA(RecentLogMenu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            items.emplace_back(GetMenuItemID(RecentLogMenu, i), text);
        }
        return items;
    }

    HWND window = nullptr;
    std::filesystem::path dir;
    char savedProgramDirectory[MAX_PATH] = "";
    ULONG_PTR previousShell = 0, previousDialog = 0;
};

// Every command that has a key, once as its menu item sends it and once by its
// key through the loop step, with what shows that it ran.
TEST_F(MainWindowTest, CommandsRunByMenuAndByKey) {
    struct Case {
        std::string name;
        int id;
        UINT vk;
        bool ctrl, shift;
        std::function<void()> prepare;
        std::function<std::vector<Answer>()> answers;
        std::vector<std::string> asked;
        std::function<void()> check;
    };
    const auto none = [] { return std::vector<Answer>{}; };
    std::string path;
    std::vector<Case> cases = {
        {"new log", IDM_NEW_LOG, 'N', true, false, [&] { FillLog(); LogModified = 0; }, none, {},
         [&] {
             EXPECT_TRUE(Rows().empty());
             EXPECT_EQ(StatusText(SBP_MESSAGE), "New (empty) log created");
         }},
        {"close log", IDM_CLOSE_LOG, VK_F4, true, false, [&] { FillLog(); LogModified = 0; }, none, {},
         [&] {
             EXPECT_TRUE(Rows().empty());
             EXPECT_EQ(StatusText(SBP_MESSAGE), "Log closed");
         }},
        {"save", IDM_SAVE_LOG, 'S', true, false,
         [&] {
             FillLog();
             path = SavedLog("log.csv");
             AddUnsaved();
         },
         none, {},
         [&] {
             EXPECT_NE(ReadTestFile(path).find("QX4DDD"), std::string::npos);
             EXPECT_EQ(LogModified, 0);
             EXPECT_EQ(StatusText(SBP_MESSAGE), "Log Saved");
         }},
        {"save as", IDM_SAVE_LOG_AS, 'A', true, false,
         [&] {
             FillLog();
             path = Win(dir / "as.csv");
         },
         [&] { return std::vector<Answer>{TypeAndPress(path)}; }, {kSaveAsDialog},
         [&] {
             EXPECT_NE(ReadTestFile(path).find("QX3CCC"), std::string::npos);
             EXPECT_EQ(EditorSettings.CurrentLogPath, path);
             EXPECT_EQ(StatusText(SBP_MESSAGE), "Log Saved");
         }},
        {"open", IDM_OPEN_LOG, 'O', true, false,
         [&] {
             FillLog();
             path = SavedLog("open.csv");
             ClearQsoList();
             LogModified = 0;
             EditorSettings.CurrentLogPath[0] = '\0';
             RefreshLogList(window);
         },
         [&] { return std::vector<Answer>{TypeAndPress(path)}; }, {"[Open existing Log file]"},
         [&] {
             EXPECT_EQ(Rows().size(), 3u);
             EXPECT_EQ(EditorSettings.CurrentLogPath, path);
         }},
        {"clear entry", IDC_CLEAR_ENTRY, 'W', true, false, [&] { TypeContact(); }, none, {},
         [&] {
             EXPECT_EQ(ControlText(window, IDC_HIS_CALL), "");
             EXPECT_EQ(ControlText(window, IDC_HIS_SUMMIT), "");
             EXPECT_TRUE(FocusIs(IDC_QSO_TIME));
         }},
        {"log contact", IDC_LOG_CONTACT, 'L', true, false, [&] { TypeContact(); }, none, {},
         [&] {
             EXPECT_EQ(Calls(), (std::vector<std::string>{"QX7FORM"}));
             EXPECT_EQ(LogModified, 1);
         }},
        {"about", IDM_ABOUT, VK_F1, true, false, [] {}, [] { return std::vector<Answer>{Ok()}; },
         {"About: Tarnlog"}, [] {}},
        {"update not required", IDM_UPDATE_DB, VK_F10, true, false,
         [] { DbLastUpdate = static_cast<UtcTime>(time(nullptr) - 3600); }, none, {},
         [&] {
             EXPECT_EQ(StatusText(SBP_MESSAGE), "Summits DB update not required");
             EXPECT_TRUE(IsWindow(window));
         }},
        {"help", IDM_HELP, VK_F1, false, false, [] {}, none, {},
         [&] {
             ASSERT_EQ(helpCalls.size(), 2u);
             EXPECT_EQ(helpCalls[1].command, 0x01u);
         }},
        {"F2 does nothing", IDM_UNUSED_F2, VK_F2, false, false,
         [&] {
             FillLog();
             ShowStatusMessage("before", 0);
         },
         none, {},
         [&] {
             EXPECT_EQ(StatusText(SBP_MESSAGE), "before");
             EXPECT_EQ(Rows().size(), 3u);
             EXPECT_EQ(LogModified, 1);
             EXPECT_TRUE(helpCalls.empty());
             EXPECT_TRUE(shellCalls.empty());
         }},
        {"auto time", IDM_AUTO_TIME, VK_F4, false, false, [] {}, none, {},
         [] { EXPECT_EQ(EditorSettings.AutoTime, 1); }},
        {"auto clear summit", IDM_AUTO_CLEAR_SUMMIT, VK_F5, false, false,
         [] { EditorSettings.ClearRefOnEntry = 0; }, none, {}, [] { EXPECT_EQ(EditorSettings.ClearRefOnEntry, 1); }},
        {"auto band reset", IDM_AUTO_BAND_RESET, VK_F6, false, false, [] {}, none, {},
         [] { EXPECT_EQ(EditorSettings.ResetBandOnEntry, 0); }},
        // As when a database was found: without one the item is disabled.
        {"ref check", IDM_REF_CHECK, VK_F7, false, false,
         [] { EnableMenuItem(OptionsMenu, IDM_REF_CHECK, MF_BYCOMMAND | MF_ENABLED); }, none, {},
         [] { EXPECT_EQ(EditorSettings.RefChecking, 1); }},
        {"configuration", IDM_CONFIGURATION, VK_F9, false, false, [] {},
         [] { return std::vector<Answer>{Cancel()}; }, {"Configure: VORN CSV Log Editor"}, [] {}},
    };
    for (int i = 0; i < kShortCallSlots; ++i) {
        char slot[8];
        snprintf(slot, sizeof slot, "Q%d", i);
        const std::string call = slot;
        std::string name = "quick prefix ";
        name += slot;
        cases.push_back({name, IDM_QUICK_PREFIX_FIRST + i,
                         static_cast<UINT>(VK_F1 + i), false, true,
                         [] {
                             for (int slot = 0; slot < kShortCallSlots; ++slot)
                                 snprintf(EditorSettings.ShortCalls[slot], sizeof EditorSettings.ShortCalls[slot],
                                          "Q%d", slot);
                         },
                         none, {}, [&, call] { EXPECT_EQ(ControlText(window, IDC_HIS_CALL), call); }});
    }
    for (const Case &c : cases) {
        for (bool byKey : {false, true}) {
            std::string trace = c.name;
            trace += byKey ? " (key)" : " (menu)";
            SCOPED_TRACE(trace);
            Fresh();
            c.prepare();
            TakeSeenModals();
            AnswerModals(c.answers());
            if (byKey)
                PressKey(c.vk, c.ctrl, c.shift);
            else
                Command(c.id);
            PumpMessages(0);
            EXPECT_EQ(Questions(), c.asked);
            c.check();
        }
    }
}

// The summit fields' info lines follow the fields' focus and edits, and only
// while a database is open. A reference too short to look up empties its line.
TEST_F(MainWindowTest, SummitInfoFollowsTheFieldsWithADatabase) {
    struct Case {
        int field, info;
        int available;
        WORD code;
        bool shown;
    } cases[] = {
        {IDC_HIS_SUMMIT, IDC_HIS_SUMMIT_INFO, 1, EN_CHANGE, true},
        {IDC_HIS_SUMMIT, IDC_HIS_SUMMIT_INFO, 1, EN_SETFOCUS, true},
        {IDC_HIS_SUMMIT, IDC_HIS_SUMMIT_INFO, 1, EN_KILLFOCUS, true},
        {IDC_HIS_SUMMIT, IDC_HIS_SUMMIT_INFO, 1, EN_UPDATE, false},
        {IDC_HIS_SUMMIT, IDC_HIS_SUMMIT_INFO, 0, EN_CHANGE, false},
        {IDC_MY_SUMMIT, IDC_MY_SUMMIT_INFO, 1, EN_CHANGE, true},
        {IDC_MY_SUMMIT, IDC_MY_SUMMIT_INFO, 1, EN_KILLFOCUS, true},
        {IDC_MY_SUMMIT, IDC_MY_SUMMIT_INFO, 0, EN_SETFOCUS, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " code " + std::to_string(c.code) + " db " +
                     std::to_string(c.available));
        DbAvailable = 0;
        SetDlgItemTextA(window, c.field, "QX/A");
        SetDlgItemTextA(window, c.info, "earlier summit");
        DbAvailable = c.available;
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(c.field, c.code),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, c.field)));
        EXPECT_EQ(ControlText(window, c.info), c.shown ? "" : "earlier summit");
    }
    DbAvailable = 0;
}

// With no database to check against, the disabled menu item takes F7's press.
TEST_F(MainWindowTest, RefCheckKeyDoesNothingWithoutADatabase) {
    ASSERT_EQ(DbAvailable, 0);
    PressKey(VK_F7);
    EXPECT_EQ(EditorSettings.RefChecking, 0);
    EXPECT_EQ(RegDword("RefChecking"), -1);
    EXPECT_EQ(StatusText(SBP_DB_STATUS), "Ref checking disabled");
}

TEST_F(MainWindowTest, OptionTogglesStoreTickAndFlip) {
    struct Case {
        int id;
        int EditorSettingsRecord::*setting;
        const char *value;
    } cases[] = {
        {IDM_AUTO_SAVE, &EditorSettingsRecord::AutoSave, "AutoSave"},
        {IDM_AUTO_TIME, &EditorSettingsRecord::AutoTime, "AutoTime"},
        {IDM_AUTO_CLEAR_SUMMIT, &EditorSettingsRecord::ClearRefOnEntry, "ClearRefOnEntry"},
        {IDM_AUTO_BAND_RESET, &EditorSettingsRecord::ResetBandOnEntry, "ResetBandOnEntry"},
        {IDM_REF_CHECK, &EditorSettingsRecord::RefChecking, "RefChecking"},
        {IDM_AUTO_SWL_CLEAR, &EditorSettingsRecord::ClearSWLOnEntry, "ClearSWLOnEntry"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        Fresh([&] { EditorSettings.*c.setting = 0; });
        EXPECT_FALSE(Ticked(c.id));
        for (int expected : {1, 0}) {
            Command(c.id);
            EXPECT_EQ(EditorSettings.*c.setting, expected);
            EXPECT_EQ(RegDword(c.value), expected);
            EXPECT_EQ(Ticked(c.id), expected == 1);
        }
        EXPECT_TRUE(Questions().empty());
    }
}

// Turning auto-save on saves an unsaved log at once: in place, or through Save As.
TEST_F(MainWindowTest, AutoSaveTurnedOnSavesTheUnsavedLog) {
    struct Case {
        const char *name;
        bool modified, hasFile;
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        int modifiedAfter;
    } cases[] = {
        {"in place", true, true, {}, {}, 0},
        {"no file, dialog cancelled", true, false, {Cancel()}, {kSaveAsDialog}, 1},
        {"nothing unsaved", false, true, {}, {}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        std::string path;
        if (c.hasFile) path = SavedLog("log.csv");
        AddUnsaved();
        LogModified = c.modified;
        AnswerModals(c.answers);
        Command(IDM_AUTO_SAVE);
        EXPECT_EQ(Questions(), c.asked);
        EXPECT_EQ(EditorSettings.AutoSave, 1);
        EXPECT_EQ(LogModified, c.modifiedAfter);
        if (c.hasFile) {
            EXPECT_EQ(ReadTestFile(path).find("QX4DDD") != std::string::npos, c.modified);
        }
    }
}

TEST_F(MainWindowTest, AutoTimeDisablesThePickersAndTakesTheFocus) {
    SetFocus(GetDlgItem(window, IDC_HIS_SUMMIT));
    Command(IDM_AUTO_TIME);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_QSO_DATE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_QSO_TIME)));
    EXPECT_TRUE(FocusIs(IDC_HIS_CALL));

    SetFocus(GetDlgItem(window, IDC_HIS_SUMMIT));
    Command(IDM_AUTO_TIME);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_QSO_DATE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_QSO_TIME)));
    EXPECT_TRUE(FocusIs(IDC_HIS_SUMMIT));
}

TEST_F(MainWindowTest, RefCheckingShowsItsStatusBothWays) {
    const std::string off = StatusText(SBP_DB_STATUS);
    EXPECT_EQ(off, "Ref checking disabled");
    Command(IDM_REF_CHECK);
    std::string on = DbStatusText;
    on.erase(on.find_last_not_of(' ') + 1);
    EXPECT_FALSE(on.empty());
    EXPECT_EQ(StatusText(SBP_DB_STATUS), on);
    Command(IDM_REF_CHECK);
    EXPECT_EQ(StatusText(SBP_DB_STATUS), off);
}

class RecentLogs : public MainWindowTest {
protected:
    // Four logs on disk, a..d, with 1..4 contacts, listed in that order; the
    // open log is a fifth one with a contact that is not saved yet.
    void MakeLogs(bool currentHasFile) {
        Fresh();
        const char *calls[] = {"QX1AAA", "QX2BBB", "QX3CCC", "QX4DDD"};
        for (int i = 0; i < 4; ++i) {
            ClearQsoList();
            for (int k = 0; k <= i; ++k) InsertQsoEntry(0, 1700000000 + 600 * k, calls[k], "20m", "CW", "QX/AB-001", "", "QX9ME", "", 0);
            logs[i] = SavedLog((std::string(1, static_cast<char>('a' + i)) + ".csv").c_str());
        }
        ClearQsoList();
        InsertQsoEntry(0, 1700009000, "QX5EEE", "20m", "CW", "QX/AB-005", "", "QX9ME", "", 0);
        current.clear();
        EditorSettings.CurrentLogPath[0] = '\0';
        if (currentHasFile) current = SavedLog("current.csv");
        InsertQsoEntry(0, 1700009600, "QX6FFF", "20m", "CW", "QX/AB-006", "", "QX9ME", "", 0);
        for (int i = 0; i < kRecentLogSlots; ++i) EditorSettings.RecentLogs[i][0] = '\0';
        for (int i = 0; i < 4; ++i) strcpy(EditorSettings.RecentLogs[i], logs[i].c_str());
        EditorSettings.RecentLogCount = 4;
        SaveRecentLogs();
        BuildRecentLogMenu();
        LogModified = 0;
        RefreshLogList(window);
        TakeSeenModals();
    }
    std::vector<std::string> Listed() const {
        std::vector<std::string> listed;
        for (int i = 0; i < EditorSettings.RecentLogCount; ++i) listed.emplace_back(EditorSettings.RecentLogs[i]);
        return listed;
    }
    std::string logs[4];
    std::string current;
};

TEST_F(RecentLogs, FirstEntryOpensAndKeepsTheOrder) {
    MakeLogs(true);
    const auto menuBefore = RecentMenu();
    Command(IDM_RECENT_FIRST);
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(Calls(), (std::vector<std::string>{"QX1AAA"}));
    EXPECT_EQ(EditorSettings.CurrentLogPath, logs[0]);
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(Listed(), (std::vector<std::string>{logs[0], logs[1], logs[2], logs[3]}));
    EXPECT_EQ(RecentMenu(), menuBefore);
    EXPECT_EQ(RegText("LastCSVLog"), logs[0]);
    EXPECT_EQ(StatusText(SBP_LOG_FILE), "a.csv");
}

TEST_F(RecentLogs, FourthEntrySwapsWithTheFirst) {
    MakeLogs(true);
    Command(IDM_RECENT_FIRST + 3);
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(Calls(), (std::vector<std::string>{"QX1AAA", "QX2BBB", "QX3CCC", "QX4DDD"}));
    EXPECT_EQ(EditorSettings.CurrentLogPath, logs[3]);
    const std::vector<std::string> swapped = {logs[3], logs[1], logs[2], logs[0]};
    EXPECT_EQ(Listed(), swapped);
    EXPECT_EQ(StoredRecentLogs(), swapped);
    std::vector<std::pair<UINT, std::string>> menu;
    for (int i = 0; i < 4; ++i)
        menu.emplace_back(IDM_RECENT_FIRST + i, std::to_string(i + 1) + ". " + swapped[static_cast<size_t>(i)]);
    menu.emplace_back(IDM_CLEAR_RECENT, "Clear recent log history");
    EXPECT_EQ(RecentMenu(), menu);
    EXPECT_EQ(RegText("LastCSVLog"), logs[3]);
}

TEST_F(RecentLogs, MissingFileIsReportedAndStaysListed) {
    MakeLogs(true);
    std::filesystem::remove(logs[2]);
    const auto menuBefore = RecentMenu();
    LogModified = 1;
    Command(IDM_RECENT_FIRST + 2);
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(StatusText(SBP_MESSAGE), "Selected log no longer exists");
    EXPECT_EQ(Calls(), (std::vector<std::string>{"QX5EEE", "QX6FFF"}));
    EXPECT_EQ(EditorSettings.CurrentLogPath, current);
    EXPECT_EQ(LogModified, 1);
    EXPECT_EQ(Listed(), (std::vector<std::string>{logs[0], logs[1], logs[2], logs[3]}));
    EXPECT_EQ(RecentMenu(), menuBefore);
}

// Only entries the list holds open: the ids past its count do nothing, even
// where a slot still holds an old path.
TEST_F(RecentLogs, IdsPastTheCountAreIgnored) {
    MakeLogs(true);
    EditorSettings.RecentLogCount = 2;
    for (int i = 2; i < 10; ++i) {
        SCOPED_TRACE(i);
        Command(IDM_RECENT_FIRST + i);
        EXPECT_EQ(EditorSettings.CurrentLogPath, current);
        EXPECT_EQ(Calls(), (std::vector<std::string>{"QX5EEE", "QX6FFF"}));
        EXPECT_EQ(StatusText(SBP_MESSAGE), "");
    }
    EXPECT_TRUE(Questions().empty());
}

TEST_F(RecentLogs, UnsavedLogIsAskedAbout) {
    struct Case {
        const char *name;
        bool hasFile, readOnly;
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        bool opened, saved;
    } cases[] = {
        {"no", true, false, {No()}, {kUnsaved}, true, false},
        {"yes", true, false, {Yes()}, {kUnsaved}, true, true},
        {"yes, save fails, stay", true, true, {Yes(), No()}, {kUnsaved, kOpenAnyway}, false, false},
        {"yes, save fails, open anyway", true, true, {Yes(), Yes()}, {kUnsaved, kOpenAnyway}, true, false},
        {"yes unnamed, dialog cancelled, stay", false, false, {Yes(), Cancel(), No()},
         {kUnsaved, kSaveAsDialog, kOpenAnyway}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MakeLogs(c.hasFile);
        LogModified = 1;
        if (c.readOnly) SetFileAttributesA(current.c_str(), FILE_ATTRIBUTE_READONLY);
        AnswerModals(c.answers);
        Command(IDM_RECENT_FIRST + 1);
        EXPECT_EQ(Questions(), c.asked);
        if (c.opened) {
            EXPECT_EQ(Calls(), (std::vector<std::string>{"QX1AAA", "QX2BBB"}));
            EXPECT_EQ(EditorSettings.CurrentLogPath, logs[1]);
            EXPECT_EQ(LogModified, 0);
            const auto listed = Listed();
            if (c.saved) {
                // The save listed the log it wrote first, moving the others along;
                // the log opened still comes first.
                EXPECT_EQ(listed, (std::vector<std::string>{logs[1], logs[0], current, logs[2], logs[3]}));
            } else {
                EXPECT_EQ(listed, (std::vector<std::string>{logs[1], logs[0], logs[2], logs[3]}));
            }
        } else {
            EXPECT_EQ(Calls(), (std::vector<std::string>{"QX5EEE", "QX6FFF"}));
            EXPECT_EQ(EditorSettings.CurrentLogPath, current);
            EXPECT_EQ(LogModified, 1);
            EXPECT_EQ(Listed(), (std::vector<std::string>{logs[0], logs[1], logs[2], logs[3]}));
        }
        if (c.hasFile) {
            EXPECT_EQ(ReadTestFile(current).find("QX6FFF") != std::string::npos, c.saved);
            SetFileAttributesA(current.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}

TEST_F(RecentLogs, ClearHistoryEmptiesTheMenuAndTheStoredList) {
    MakeLogs(true);
    const std::vector<std::pair<UINT, std::string>> empty = {{IDM_RECENT_FIRST, "None"},
                                                             {IDM_CLEAR_RECENT, "Clear recent log history"}};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Command(IDM_CLEAR_RECENT);
        EXPECT_EQ(EditorSettings.RecentLogCount, 0);
        EXPECT_EQ(EditorSettings.RecentLogs[0][0], '\0');
        EXPECT_EQ(RecentMenu(), empty);
        EXPECT_TRUE(GetMenuState(RecentLogMenu, IDM_RECENT_FIRST, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_TRUE(StoredRecentLogs().empty());
        EXPECT_NE(RegText("RecentLogs"), "<missing>");
    }
    EXPECT_EQ(EditorSettings.CurrentLogPath, current);
}

TEST_F(MainWindowTest, DeleteAsksAboutTheHighlightedContact) {
    struct Case {
        const char *name;
        int selected;   // row, -1 none
        bool autoSave;
        std::vector<Answer> answers;
        std::vector<std::string> left;
        const char *status;
    } cases[] = {
        {"none selected", -1, true, {}, {"QX1AAA", "QX2BBB", "QX3CCC"}, "No log entry selected"},
        {"no", 1, true, {No()}, {"QX1AAA", "QX2BBB", "QX3CCC"}, ""},
        {"escape", 1, true, {Answer{Press::Escape}}, {"QX1AAA", "QX2BBB", "QX3CCC"}, ""},
        {"yes, autosaved", 1, true, {Yes()}, {"QX1AAA", "QX3CCC"}, "Log entry deleted"},
        {"yes, no autosave", 2, false, {Yes()}, {"QX1AAA", "QX2BBB"}, "Log entry deleted"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        const std::string path = SavedLog("log.csv");
        EditorSettings.AutoSave = c.autoSave;
        RefreshLogList(window);
        const std::string before = ReadTestFile(path);
        std::string question, deletedCall;
        if (c.selected >= 0) {
            Select(c.selected);
            const auto row = Rows()[static_cast<size_t>(c.selected)];
            deletedCall = row[3];
            question = "Are you sure you want to delete the QSO\nwith " + row[3] + " at " + row[2] + " on " + row[1] +
                       " ?";
        }
        SetFocus(GetDlgItem(window, IDC_NOTES));
        AnswerModals(c.answers);
        Command(IDC_DELETE_ENTRY);
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), c.answers.size());
        if (!seen.empty()) {
            EXPECT_EQ(seen[0].text, question);
            EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
            EXPECT_EQ(seen[0].focusId, IDNO);
            EXPECT_TRUE(FocusIs(IDC_QSO_TIME));
        }
        EXPECT_EQ(Calls(), c.left);
        EXPECT_EQ(StatusText(SBP_MESSAGE), c.status);
        const bool deleted = c.left.size() == 2;
        const std::string onDisk = ReadTestFile(path);
        if (deleted && c.autoSave) {
            EXPECT_EQ(onDisk.find(deletedCall), std::string::npos);
        } else {
            EXPECT_EQ(onDisk, before);
        }
        EXPECT_EQ(LogModified, deleted && !c.autoSave ? 1 : 0);
        EXPECT_EQ(SelectedListIndex, -1);
    }
}

// A row whose contact is gone from the log (the list not refreshed since) is
// reported and left as it stands.
TEST_F(MainWindowTest, DeleteOfARowWithoutItsContact) {
    FillLog();
    Select(1);
    ListNotify(NM_CLICK);
    const int id = atoi(Rows()[1][0].c_str());
    ASSERT_EQ(DeleteQsoEntry(id), 0);
    AnswerModals({Ok()});
    Command(IDC_DELETE_ENTRY);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "INTERNAL ERROR: Unable to locate the selected log entry");
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDOK}));
    EXPECT_FALSE(seen[0].iconShown);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"QX1AAA", "QX2BBB", "QX3CCC"}));
    EXPECT_EQ(SelectedListIndex, 1);
}

// The selection moves with its contact when the list is sorted; the delete
// takes the contact highlighted now, not the row clicked before the sort.
TEST_F(MainWindowTest, DeleteAfterASortTakesTheHighlightedContact) {
    FillLog();
    LogModified = 0;
    ASSERT_EQ(Calls(), (std::vector<std::string>{"QX1AAA", "QX2BBB", "QX3CCC"}));
    Select(0);
    ListNotify(NM_CLICK);
    EXPECT_EQ(SelectedListIndex, 0);
    // By callsign, then again for the reverse order: QX1AAA goes to the bottom.
    ClickColumnHeader(List(), 3);
    ClickColumnHeader(List(), 3);
    ASSERT_EQ(Calls(), (std::vector<std::string>{"QX3CCC", "QX2BBB", "QX1AAA"}));
    AnswerModals({Yes()});
    Command(IDC_DELETE_ENTRY);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find("with QX1AAA at"), std::string::npos) << seen[0].text;
    EXPECT_EQ(Calls(), (std::vector<std::string>{"QX3CCC", "QX2BBB"}));
}

TEST_F(MainWindowTest, DoubleClickEditsTheSelectedContact) {
    struct Case {
        const char *name;
        int selected;
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        int modifiedAfter;   // autosave ran when 0
        int indexAfter;
    } cases[] = {
        {"no selection", -1, {}, {}, 1, -1},
        {"update", 1, {Ok()}, {"Edit Log Entry"}, 0, -1},
        {"cancel", 1, {Cancel()}, {"Edit Log Entry"}, 1, 1},
    };
    for (UINT code : {static_cast<UINT>(NM_DBLCLK), static_cast<UINT>(NM_RDBLCLK)}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (code == static_cast<UINT>(NM_DBLCLK) ? " (left)" : " (right)"));
            Fresh([] { EditorSettings.AutoSave = 1; });
            FillLog();
            const std::string path = SavedLog("log.csv");
            AddUnsaved();
            if (c.selected >= 0) Select(c.selected);
            SetFocus(GetDlgItem(window, IDC_NOTES));
            AnswerModals(c.answers);
            ListNotify(code);
            EXPECT_EQ(Questions(), c.asked);
            EXPECT_EQ(LogModified, c.modifiedAfter);
            EXPECT_EQ(ReadTestFile(path).find("QX4DDD") != std::string::npos, c.modifiedAfter == 0);
            EXPECT_EQ(SelectedListIndex, c.indexAfter);
            EXPECT_TRUE(FocusIs(IDC_QSO_TIME));
            EXPECT_EQ(Rows().size(), 4u);
        }
    }
}

// After the delete question and the edit dialog the focus goes where typing
// starts as the dialog manager moves it (a callsign left in the field is
// selected, so typing replaces it), so what the manager puts back when the
// window is activated again is that field.
TEST_F(MainWindowTest, AfterAQuestionTheFocusIsMovedByTheDialogManager) {
    struct Case {
        const char *name;
        std::function<void()> ask;
        Answer answer;
    } cases[] = {
        {"delete answered No", [this] { Command(IDC_DELETE_ENTRY); }, No()},
        {"edit cancelled", [this] { ListNotify(NM_DBLCLK); }, Cancel()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh([] { EditorSettings.AutoTime = 1; });
        FillLog();
        SetDlgItemTextA(window, IDC_HIS_CALL, "QX7FORM");
        Select(1);
        SetFocus(GetDlgItem(window, IDC_NOTES));
        AnswerModals({c.answer});
        c.ask();
        EXPECT_EQ(TakeSeenModals().size(), 1u);
        EXPECT_TRUE(FocusIs(IDC_HIS_CALL));
        // The program losing the foreground and getting it back keeps it there.
        SetForegroundWindow(GetDesktopWindow());
        PumpMessages(20);
        EXPECT_TRUE(FocusIs(IDC_HIS_CALL));
        DWORD start = 0, end = 0;
        SendDlgItemMessageA(window, IDC_HIS_CALL, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                            reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 7u);
        EXPECT_TRUE(LooksDefault(IDC_LOG_CONTACT));
    }
}

// What the configuration dialog's result makes of the window: saved settings
// refill the combo boxes, any close refreshes the list, a dialog that could not
// be made is reported.
TEST_F(MainWindowTest, ConfigurationResults) {
    struct Case {
        const char *name;
        INT_PTR forced;   // 0: the real dialog, cancelled
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        bool refreshed, refilled;
    } cases[] = {
        {"cancelled", 0, {Cancel()}, {"Configure: VORN CSV Log Editor"}, true, false},
        {"saved", 1, {}, {}, true, true},
        {"not shown", -1, {Ok()}, {"ERROR: Unable to Display Configuration Dialog!"}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        InsertQsoEntry(0, 1700005000, "QX8NEW", "20m", "CW", "QX/AB-008", "", "QX9ME", "", 0);
        strcpy(EditorSettings.UserBands[0], "7MHz");
        EditorSettings.UserBandCount = 1;
        forcedResults.clear();
        if (c.forced) forcedResults[IDD_CONFIG] = c.forced;
        AnswerModals(c.answers);
        Command(IDM_CONFIGURATION);
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), c.asked.size());
        for (size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(seen[i].text.empty() ? seen[i].caption : seen[i].text, c.asked[i]);
        if (c.forced == -1) {
            EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
            EXPECT_TRUE(seen[0].iconShown);
        }
        EXPECT_EQ(Rows().size(), c.refreshed ? 4u : 3u);
        const bool refilled = SendDlgItemMessageA(window, IDC_BAND, CB_GETCOUNT, 0, 0) == 1;
        EXPECT_EQ(refilled, c.refilled);
    }
}

TEST_F(MainWindowTest, AboutThatCannotBeShownIsReported) {
    forcedResults[IDD_ABOUT] = -1;
    AnswerModals({Ok()});
    PressKey(VK_F1, true, false);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "ERROR: Unable to Display About Information Dialog!");
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));

    forcedResults[IDD_ABOUT] = 1;
    Command(IDM_ABOUT);
    EXPECT_TRUE(TakeSeenModals().empty());
}

TEST_F(MainWindowTest, HelpOpensTheStartPageAndIsClosedWithTheWindow) {
    // A close before any help leaves HTML Help alone.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(helpCalls.empty());

    Fresh();
    const std::string file = Win(dir) + kHelpFile;
    PressKey(VK_F1);
    Command(IDM_HELP);
    ASSERT_EQ(helpCalls.size(), 3u);
    EXPECT_EQ(helpCalls[0].command, 0x1Cu);   // initialised once
    EXPECT_EQ(helpCalls[0].file, "");
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(helpCalls[i].command, 0x01u);   // contents
        EXPECT_EQ(helpCalls[i].file, file);
    }
    EXPECT_EQ(HelpWindow, helpViewer);
    EXPECT_FALSE(IsIconic(helpViewer));

    helpCalls.clear();
    SendMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].command, 0x1Du);
    EXPECT_EQ(helpCalls[0].data, kCookie);
    EXPECT_TRUE(IsIconic(helpViewer));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(HelpCookie, kCookie);
}

// Help is the main window's, whichever window is active when it is asked for
// (the viewer itself, say).
TEST_F(MainWindowTest, HelpIsOpenedForTheMainWindow) {
    for (bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "F1" : "menu");
        Fresh();
        SetActiveWindow(helpViewer);
        ASSERT_EQ(GetActiveWindow(), helpViewer);
        if (byKey)
            PressKey(VK_F1);
        else
            Command(IDM_HELP);
        ASSERT_EQ(helpCalls.size(), 2u);
        for (const HelpCall &call : helpCalls) EXPECT_EQ(call.caller, window);
    }
}

TEST_F(MainWindowTest, LogoOpensTheSiteOfTheHeldKey) {
    for (const LogoSite &c : kLogoSites) {
        SCOPED_TRACE(c.site);
        shellCalls.clear();
        {
            HeldKeys held(c.ctrl, false, c.alt);
            SendMessageA(GetDlgItem(window, IDC_LOGO), BM_CLICK, 0, 0);
        }
        PumpMessages(0);
        ASSERT_EQ(shellCalls.size(), 1u);
        EXPECT_EQ(shellCalls[0].verb, "open");
        EXPECT_EQ(shellCalls[0].file, c.site);
        EXPECT_EQ(shellCalls[0].owner, window);
        EXPECT_EQ(shellCalls[0].show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(Questions().empty());
}

TEST_F(MainWindowTest, OpenLogFolderExploresTheDataFolder) {
    Command(IDM_OPEN_LOG_DIR);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].verb, "explore");
    EXPECT_EQ(shellCalls[0].file, Win(dir));
    EXPECT_EQ(shellCalls[0].parameters, "");
    EXPECT_EQ(shellCalls[0].owner, window);
    EXPECT_EQ(shellCalls[0].show, SW_SHOWNORMAL);
}

TEST_F(MainWindowTest, ExportReportsItsOutcome) {
    FillLog();
    const std::string path = Win(dir / "out.adi");
    AnswerModals({TypeAndPress(path)});
    Command(IDM_EXPORT);
    EXPECT_EQ(Questions(), (std::vector<std::string>{"[Export Log to:]"}));
    EXPECT_EQ(StatusText(SBP_MESSAGE), "Export Completed");
    EXPECT_NE(ReadTestFile(path).find("<EOH>"), std::string::npos);

    AnswerModals({Cancel()});
    Command(IDM_EXPORT);
    EXPECT_EQ(Questions(), (std::vector<std::string>{"[Export Log to:]"}));
    EXPECT_EQ(StatusText(SBP_MESSAGE), "Export failed or aborted");
}

TEST_F(MainWindowTest, QuitClosesThroughTheCloseQuestions) {
    FillLog();
    AnswerModals({Cancel()});
    Command(IDM_QUIT);
    PumpMessages(50);
    EXPECT_EQ(Questions(), (std::vector<std::string>{kUnsaved}));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(TakeQuitPosted());

    AnswerModals({No()});
    Command(IDM_QUIT);
    PumpMessages(50);
    EXPECT_EQ(Questions(), (std::vector<std::string>{kUnsaved}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(TakeQuitPosted());
}

TEST_F(MainWindowTest, QuickPrefixFillsOnlyEmptyFields) {
    struct Case {
        const char *call, *summit;       // typed before
        const char *slotCall, *slotRef;  // the third slots
        const char *callAfter, *summitAfter;
    } cases[] = {
        {"", "", "QX3", "QX/CC", "QX3", "QX/CC"},
        {"QX1ABC", "", "QX3", "QX/CC", "QX1ABC", "QX/CC"},
        {"", "QX/ZZ-001", "QX3", "QX/CC", "QX3", "QX/ZZ-001"},
        {"", "", "", "QX/CC", "", "QX/CC"},
        {"QX1ABC", "QX/ZZ-001", "QX3", "QX/CC", "QX1ABC", "QX/ZZ-001"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.call) + "|" + c.summit + "|" + c.slotCall);
        Fresh([&] {
            strcpy(EditorSettings.ShortCalls[2], c.slotCall);
            strcpy(EditorSettings.ShortRefs[2], c.slotRef);
            strcpy(EditorSettings.ShortCalls[1], "QX2");
            strcpy(EditorSettings.ShortRefs[1], "QX/BB");
        });
        TypeContact(c.call, c.summit);
        SetFocus(GetDlgItem(window, IDC_NOTES));
        PressKey(VK_F3, false, true);
        EXPECT_EQ(ControlText(window, IDC_HIS_CALL), c.callAfter);
        EXPECT_EQ(ControlText(window, IDC_HIS_SUMMIT), c.summitAfter);
        EXPECT_TRUE(FocusIs(IDC_NOTES));
        for (int id : {IDC_HIS_CALL, IDC_HIS_SUMMIT}) {
            if (ControlText(window, id) == (id == IDC_HIS_CALL ? c.call : c.summit)) continue;
            DWORD start = 0, end = 0;
            SendDlgItemMessageA(window, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            const DWORD length = static_cast<DWORD>(ControlText(window, id).size());
            EXPECT_EQ(start, length);
            EXPECT_EQ(end, length);
        }
    }
}

// Log-off and shut-down: the query decides (and says so through its result),
// only the end of the session quits, and what the user declined is not saved.
TEST_F(MainWindowTest, EndSessionFollowsTheAnswers) {
    struct Case {
        const char *name;
        bool modified, hasFile, readOnly;
        std::vector<Answer> answers;   // to the query
        std::vector<std::string> asked;
        LRESULT mayEnd;
        bool savedByQuery;
        bool savedAtEnd;               // the log file holds QX4DDD after WM_ENDSESSION(TRUE)
    } cases[] = {
        {"clean", false, true, false, {}, {}, TRUE, false, false},
        {"no", true, true, false, {No()}, {kUnsaved}, TRUE, false, false},
        {"yes", true, true, false, {Yes()}, {kUnsaved}, TRUE, true, true},
        {"escape saves", true, true, false, {Answer{Press::Escape}}, {kUnsaved}, TRUE, true, true},
        {"save fails, quit anyway", true, true, true, {Yes(), Yes()}, {kUnsaved, kQuitAnyway}, TRUE, false, false},
        {"save fails, refuse", true, true, true, {Yes(), No()}, {kUnsaved, kQuitAnyway}, FALSE, false, false},
        {"unnamed, yes, saved as", true, false, false, {Yes(), TypeAndPress(Win(dir / "log.csv"))},
         {kUnsaved, kSaveAsDialog}, TRUE, true, true},
        {"unnamed, yes, dialog cancelled, refuse", true, false, false, {Yes(), Cancel(), No()},
         {kUnsaved, kSaveAsDialog, kQuitAnyway}, FALSE, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        std::string path = Win(dir / "log.csv");
        if (c.hasFile) path = SavedLog("log.csv");
        AddUnsaved();
        LogModified = c.modified;
        if (c.readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        AnswerModals(c.answers);
        TakeQuitPosted();
        const LRESULT mayEnd = SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        EXPECT_EQ(mayEnd, c.mayEnd);
        EXPECT_EQ(Questions(), c.asked);
        EXPECT_FALSE(TakeQuitPosted());
        EXPECT_EQ(ReadTestFile(path).find("QX4DDD") != std::string::npos, c.savedByQuery);
        EXPECT_TRUE(IsWindow(window));

        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.mayEnd) {
            EXPECT_EQ(SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF), 0);
            EXPECT_TRUE(TakeQuitPosted());
            EXPECT_TRUE(Questions().empty());
            EXPECT_EQ(ReadTestFile(path).find("QX4DDD") != std::string::npos, c.savedAtEnd);
        } else {
            EXPECT_EQ(SendMessageA(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF), 0);
            EXPECT_FALSE(TakeQuitPosted());
            EXPECT_TRUE(IsWindow(window));
            EXPECT_EQ(LogModified, 1);
        }
    }
}

// A session that ends without a query saves an unsaved named log in place; a
// cancelled end forgets an earlier No.
TEST_F(MainWindowTest, EndSessionWithoutADecision) {
    struct Case {
        const char *name;
        bool hasFile;
        bool cancelledNoFirst;   // a query answered No, then WM_ENDSESSION(FALSE)
        bool saved;
    } cases[] = {
        {"named", true, false, true},
        {"unnamed", false, false, false},
        {"no forgotten after a cancelled end", true, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        std::string path = Win(dir / "log.csv");
        if (c.hasFile) path = SavedLog("log.csv");
        AddUnsaved();
        if (c.cancelledNoFirst) {
            AnswerModals({No()});
            EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), TRUE);
            EXPECT_EQ(SendMessageA(window, WM_ENDSESSION, FALSE, 0), 0);
            EXPECT_FALSE(TakeQuitPosted());
        }
        EXPECT_EQ(SendMessageA(window, WM_ENDSESSION, TRUE, 0), 0);
        EXPECT_TRUE(TakeQuitPosted());
        EXPECT_EQ(ReadTestFile(path).find("QX4DDD") != std::string::npos, c.saved);
        EXPECT_EQ(Questions(), (std::vector<std::string>(c.cancelledNoFirst ? 1 : 0, kUnsaved)));
    }
}

TEST_F(MainWindowTest, UpdateDbHandsOverOnlyWhenTheEditorCloses) {
    const std::string updater = Win(dir) + "\\Tarnsync.EXE";
    struct Case {
        const char *name;
        long long age;   // seconds since the database's date, -1: no date
        bool present;
        bool modified;
        std::vector<Answer> answers;
        const char *status;
        bool closed;
    } cases[] = {
        {"fresh", 3600, true, false, {}, "Summits DB update not required", false},
        {"stale, updater missing", 2 * 86400, false, false, {}, "ERROR: Summits DB updater Tarnsync.EXE not found",
         false},
        {"no date, updater missing", -1, false, false, {}, "ERROR: Summits DB updater Tarnsync.EXE not found", false},
        {"stale, closes", 2 * 86400, true, false, {}, "", true},
        {"no date, closes", -1, true, false, {}, "", true},
        {"stale, close refused", 2 * 86400, true, true, {Cancel()}, "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        std::filesystem::remove(updater);
        if (c.present) WriteBytes(updater, "MZ");
        DbLastUpdate = c.age < 0 ? -1 : static_cast<UtcTime>(time(nullptr) - c.age);
        if (c.modified) FillLog();
        AnswerModals(c.answers);
        Command(IDM_UPDATE_DB);
        PumpMessages(50);
        EXPECT_EQ(Questions(), (std::vector<std::string>(c.answers.size(), kUnsaved)));
        EXPECT_EQ(!IsWindow(window), c.closed);
        if (!c.closed) {
            EXPECT_EQ(StatusText(SBP_MESSAGE), c.status);
        }
        EXPECT_EQ(std::string(PendingUpdater), c.closed ? updater : "");
        EXPECT_EQ(TakeQuitPosted(), c.closed);
        // Nothing starts the updater while the editor runs.
        EXPECT_TRUE(shellCalls.empty());
    }
}

// Log Contact refreshes the list whatever the validation says, and the
// autosave follows a logged contact when the log has a file.
TEST_F(MainWindowTest, LogContactRefreshesAndAutoSaves) {
    struct Case {
        const char *name;
        const char *call;
        bool autoSave, hasFile;
        bool logged, saved;   // saved: the autosave ran
        const char *status;
    } cases[] = {
        {"autosaved", "QX7FORM", true, true, true, true, "QSO Logged"},
        {"autosave off", "QX7FORM", false, true, true, false, "QSO Logged"},
        {"no file", "QX7FORM", true, false, true, false, "QSO Logged"},
        // The autosave runs whatever the outcome: the unsaved contact is saved.
        {"invalid", "QX", true, true, false, true, "Callsign too short"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh([&] { EditorSettings.AutoSave = c.autoSave; });
        FillLog();
        std::string path = Win(dir / "log.csv");
        if (c.hasFile) path = SavedLog("log.csv");
        // Known to the log but not shown yet.
        InsertQsoEntry(0, 1700003000, "QX4DDD", "20m", "CW", "QX/AB-004", "", "QX9ME", "", 0);
        LogModified = 1;
        TypeContact(c.call);
        Command(IDC_LOG_CONTACT);
        EXPECT_TRUE(Questions().empty());
        std::vector<std::string> calls = {"QX1AAA", "QX2BBB", "QX3CCC", "QX4DDD"};
        if (c.logged) calls.push_back(c.call);
        EXPECT_EQ(Calls(), calls);
        EXPECT_EQ(StatusText(SBP_MESSAGE), c.status);
        EXPECT_EQ(LogModified, c.saved ? 0 : 1);
        const std::string onDisk = ReadTestFile(path);
        EXPECT_EQ(onDisk.find("QX4DDD") != std::string::npos, c.saved);
        EXPECT_EQ(onDisk.find("QX7FORM") != std::string::npos, c.saved && c.logged);
    }
}

TEST_F(MainWindowTest, EscapeAndOkNeverCloseTheWindow) {
    FillLog();
    SetFocus(GetDlgItem(window, IDC_HIS_CALL));
    PressKey(VK_ESCAPE);
    Command(IDCANCEL);
    Command(IDOK);
    PumpMessages(20);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(Questions().empty());
    EXPECT_FALSE(TakeQuitPosted());
    EXPECT_EQ(Rows().size(), 3u);
}

// Enter in an edit field logs the contact: the default button is Log Contact
// from the start, and again after Clear and Delete made another button default.
TEST_F(MainWindowTest, EnterLogsTheContact) {
    struct Case {
        const char *name;
        int before;   // command run first with its button made the default, 0: none
        std::vector<Answer> answers;
    } cases[] = {
        {"at start", 0, {}},
        {"after clear", IDC_CLEAR_ENTRY, {}},
        {"after delete", IDC_DELETE_ENTRY, {No()}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        FillLog();
        LogModified = 0;
        if (c.before) {
            Select(0);
            // As a click on the button leaves it: focused and the default.
            SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, c.before)), TRUE);
            EXPECT_TRUE(LooksDefault(c.before));
            AnswerModals(c.answers);
            Command(c.before);
            EXPECT_EQ(TakeSeenModals().size(), c.answers.size());
            EXPECT_FALSE(LooksDefault(c.before));
        }
        EXPECT_TRUE(LooksDefault(IDC_LOG_CONTACT));
        TypeContact();
        SetFocus(GetDlgItem(window, IDC_HIS_CALL));
        PressKey(VK_RETURN);
        EXPECT_EQ(Calls(), (std::vector<std::string>{"QX1AAA", "QX2BBB", "QX3CCC", "QX7FORM"}));
        EXPECT_EQ(ControlText(window, IDC_HIS_CALL), "");
        EXPECT_EQ(LogModified, 1);
        EXPECT_TRUE(Questions().empty());
    }
}

// The list's tool tip does not watch the list itself: it shows only because
// the loop step hands it the mouse moves over the list.
TEST_F(MainWindowTest, ListToolTipShowsFromRelayedMouseMoves) {
    HWND tip = static_cast<HWND>(GetPropA(List(), "TarnlogToolTip"));
    ASSERT_NE(tip, nullptr);
    RECT r = {};
    GetClientRect(List(), &r);
    POINT middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT onScreen = middle;
    ClientToScreen(List(), &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    EXPECT_FALSE(IsWindowVisible(tip));
    for (int i = 0; i < 3; ++i) {
        PostMessageA(List(), WM_MOUSEMOVE, 0, MAKELPARAM(middle.x + i, middle.y));
        PumpMessages(50);
    }
    EXPECT_TRUE(PumpUntil([tip] { return IsWindowVisible(tip) != FALSE; }, 3000));
}

TEST_F(MainWindowTest, CommandLineLogNeedsACsvExtensionAndRoom) {
    const std::string room(253, 'x');
    struct Case {
        std::string argument;   // empty: none given
        bool taken;
        bool refused;           // the length message is shown
    } cases[] = {
        {"", false, false},
        {"C:\\logs\\day.csv", true, false},
        {"C:\\logs\\DAY.CSV", true, false},
        {"C:\\logs\\Day.Csv", true, false},
        {"C:\\logs\\day.txt", false, false},
        {"C:\\logs.csv\\day", false, false},
        {"C:\\logs.csv\\day.txt", false, false},
        {"C:\\logs\\day.csv.bak", false, false},
        {"C:\\" + room.substr(0, 252) + ".csv", true, false},    // 259 characters
        {"C:\\" + room.substr(0, 253) + ".csv", false, true},    // 260 characters
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.argument.size()) + " " + c.argument.substr(0, 40));
        strcpy(EditorSettings.CurrentLogPath, "C:\\old.csv");
        std::string argument = c.argument;
        char program[] = "Tarnlog.exe";
        char *argv[] = {program, argument.data(), nullptr};
        if (c.refused) AnswerModals({Ok()});
        EXPECT_EQ(TakeCommandLineLog(c.argument.empty() ? 1 : 2, argv), c.taken ? 1 : 0);
        EXPECT_EQ(EditorSettings.CurrentLogPath, c.taken ? c.argument : std::string("C:\\old.csv"));
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_FALSE(seen[0].unexpected);
            EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
            EXPECT_EQ(seen[0].text.rfind("ERROR: The log named on the command line was not opened", 0), 0u)
                << seen[0].text;
        }
    }
}

TEST_F(MainWindowTest, FirstRunConfigurationStoresItsOutcome) {
    struct Case {
        const char *name;
        int firstRun;
        std::vector<Answer> answers;   // to the configuration dialog
        long long stored;              // FirstRun afterwards, -1 none
    } cases[] = {
        {"not a first run", 0, {}, -1},
        {"saved", 1, {Ok()}, 0},
        {"cancelled", 1, {Cancel()}, 1},
        {"closed by Escape", 1, {Answer{Press::Escape}}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditorState();
        // Start-up has made the key by then.
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        EditorSettings.FirstRun = c.firstRun;
        AnswerModals(c.answers);
        RunFirstConfiguration();
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), c.answers.size());
        if (!seen.empty()) {
            EXPECT_FALSE(seen[0].unexpected);
            EXPECT_FALSE(seen[0].systemBox);
        }
        EXPECT_EQ(RegDword("FirstRun"), c.stored);
        if (c.stored >= 0) {
            EXPECT_EQ(EditorSettings.FirstRun, c.stored);
        }
    }
}

}  // namespace
