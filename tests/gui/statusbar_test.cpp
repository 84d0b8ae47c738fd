// The main window's status bar on the real control under Wine: part edges,
// padded texts and tips, message expiry through the real thread timer, the
// summits database states on real database files with the age warning answered
// in the editor's own dialog, and the clock in the user's formats.
#include "statusbar_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "appstate.h"
#include "gui/harness.h"
#include "mainsetup.h"
#include "msgdialog.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "summitsdb.h"
#include "support/tempfile.h"
#include "support/testregistry.h"
#include "support/testtime.h"
#include "utctime_win.h"

namespace {

constexpr char kRefs[] = "\"References\"";
constexpr char kAgeWarning[] =
    "The Summits database being used by Tarnlog is getting old, you may want to update the database by selecting "
    "'Update Summits DB' from the File menu or by pressing Ctrl-F10.";
constexpr UtcTime kDaySeconds = 86400;

// Short display times keep the expiry cases quick; the margins allow for a slow machine.
constexpr unsigned kShortMs = 600;
constexpr int kGoneWithinMs = static_cast<int>(kShortMs) + 1000;

std::string Padded(const std::string &text, size_t width) { return text + std::string(width - text.size(), ' '); }
std::string Blanks(size_t width) { return std::string(width, ' '); }

UtcTime Yesterday() { return static_cast<UtcTime>(time(nullptr) / kDaySeconds * kDaySeconds - kDaySeconds); }

std::string DateValue(UtcTime t) {
    char text[12] = "";
    EXPECT_EQ(DbDateLiteral(t, text, sizeof text), 1);
    return std::string("'") + text + "'";
}

std::string ShortDate(UtcTime t) {
    SYSTEMTIME day;
    EXPECT_TRUE(UnixTimeToSystemTime(t, &day));
    char text[32] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, sizeof text);
    return text;
}

HICON SmallIcon(int id) {
    return static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

HICON PartIcon(int part) { return reinterpret_cast<HICON>(SendMessageA(StatusBar, SB_GETICON, part, 0)); }

// A database at path whose Info row has the given LastUpdate, with summits rows.
bool MakeDatabase(const std::string &path, UtcTime lastUpdate, int summits) {
    if (DbCreate(path.c_str(), 0) != 1) return false;
    bool made = DbUpdate("Info", ("LastUpdate = " + DateValue(lastUpdate)).c_str(), "Version = 1.1") == 1;
    for (int i = 1; made && i <= summits; ++i) {
        char values[160];
        snprintf(values, sizeof values, "'AB/CD-%03d', 'Hill %d', %s, %s, 52.5, -3.75", i, i,
                 DateValue(Day(2002, 2, 2)).c_str(), DateValue(Day(2037, 12, 31)).c_str());
        made = DbInsert(kRefs, "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude", values) == 1;
    }
    DbClose();
    return made;
}

uint64_t WholeSeconds(SYSTEMTIME time) {
    time.wMilliseconds = 0;
    FILETIME units;
    EXPECT_TRUE(SystemTimeToFileTime(&time, &units));
    return ((static_cast<uint64_t>(units.dwHighDateTime) << 32) | units.dwLowDateTime) / 10000000u;
}

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(::testing::UnitTest::GetInstance()->current_test_info()->name()); }
    void TearDown() override { ResetEditorState(); }

    // A clean start with the main window and an empty data folder of its own;
    // the settings key exists, as the program's start makes it.
    void Fresh(const std::string &name) {
        ResetEditorState();
        TestCreateKey(SettingsKey);
        window_ = OpenMainWindowHost();
        ASSERT_NE(window_, nullptr);
        ASSERT_NE(StatusBar, nullptr);
        dataDir_ = TestTempPath("statusbar_" + name);
        std::error_code ignored;
        std::filesystem::remove_all(dataDir_, ignored);
        std::filesystem::create_directories(dataDir_);
        SetDataDirectory(dataDir_.string());
    }

    static void SetDataDirectory(const std::string &folder) {
        ASSERT_LT(folder.size(), sizeof EditorSettings.DataDirectory);
        snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s", folder.c_str());
    }

    std::string DbPath() const { return (dataDir_ / "VORN_REFS.MDB").string(); }

    HWND window_ = nullptr;
    std::filesystem::path dataDir_;
};

// ---- Layout and texts ----

TEST_F(StatusBarTest, PartEdgesFollowTheWidthAtCreation) {
    struct Case {
        int width;
        std::vector<int> edges;
    };
    const Case cases[] = {{1000, {100, 300, 600, 800, -1}}, {999, {99, 298, 600, 800, -1}}};
    for (const Case &c : cases) {
        SCOPED_TRACE("width " + std::to_string(c.width));
        DestroyWindow(StatusBar);
        StatusBar = nullptr;
        RECT outer, inner;
        GetWindowRect(window_, &outer);
        GetClientRect(window_, &inner);
        SetWindowPos(window_, nullptr, 0, 0, c.width + (outer.right - outer.left) - inner.right,
                     outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(window_, &inner);
        ASSERT_EQ(inner.right, c.width);

        HWND bar = CreateMainStatusBar(window_);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar, StatusBar);
        EXPECT_EQ(GetParent(bar), window_);
        EXPECT_EQ(GetDlgCtrlID(bar), IDC_STATUS_BAR);
        const LONG style = GetWindowLongA(bar, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS), WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS);
        RECT client;
        GetClientRect(bar, &client);
        EXPECT_EQ(client.right, c.width);

        int edges[8] = {};
        ASSERT_EQ(SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
        EXPECT_EQ(std::vector<int>(edges, edges + 5), c.edges);
    }
}

TEST_F(StatusBarTest, EachTextIsPaddedOrCutToItsPartWithItsTip) {
    const std::string token = "Token '" + std::string(150, 'q') + "' should have a value";
    const std::string longName(250, 'n');
    struct Case {
        const char *what;
        std::function<void()> show;
        int part;
        std::string text;
        const char *tip;
    };
    const Case cases[] = {
        {"message", [] { ShowStatusMessage("Log Saved", 0); }, SBP_MESSAGE, Padded("Log Saved", 127),
         "Warning/Notification Message"},
        {"long message", [&] { ShowStatusMessage(token.c_str(), 0); }, SBP_MESSAGE, token.substr(0, 127),
         "Warning/Notification Message"},
        {"log status", [] { SetLogStatus("3 entries"); }, SBP_LOG_STATUS, Padded("3 entries", 28), "Log Status"},
        {"long log status", [] { SetLogStatus("1234567890123456789012345678 entries"); }, SBP_LOG_STATUS,
         "1234567890123456789012345678", "Log Status"},
        {"log status cleared", [] { ClearLogStatus(); }, SBP_LOG_STATUS, Blanks(31), "Log Status"},
        {"file name", [] { SetLogFileName("C:\\Logs\\summer.csv"); }, SBP_LOG_FILE, Padded("summer.csv", 64),
         "Current log file name"},
        {"long file name", [&] { SetLogFileName(("C:\\" + longName + ".csv").c_str()); }, SBP_LOG_FILE,
         longName.substr(0, 64), "Current log file name"},
        {"file name cleared", [] { ClearLogFileName(); }, SBP_LOG_FILE, Blanks(63), "Current log file name"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.show();
        EXPECT_EQ(StatusPartText(c.part), c.text);
        EXPECT_EQ(StatusPartTip(c.part), c.tip);
    }
}

TEST_F(StatusBarTest, LogFileNameIsThePathsLastComponent) {
    struct Case {
        const char *path;
        const char *name;
    };
    const Case cases[] = {
        {"C:\\Logs\\2024\\summer.csv", "summer.csv"},
        {"summer.csv", "summer.csv"},
        {"C:\\Logs\\2024\\", "2024"},
        {"C:\\Logs\\2024\\\\/", "2024"},
        {"", "."},
        {"C:summer.csv", "summer.csv"},
        {"d:", "."},
        {"C:/Logs/2024/summer.csv", "summer.csv"},
        {"/home/op/logs/", "logs"},
        {"Logs\\2024/summer.csv", "summer.csv"},
        {"\\\\server\\share\\summer.csv", "summer.csv"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        SetLogFileName(c.path);
        EXPECT_EQ(StatusPartText(SBP_LOG_FILE), Padded(c.name, 64));
    }
}

// ---- Message expiry ----

TEST_F(StatusBarTest, ATimedMessageGoesAfterItsTime) {
    ShowStatusMessage("QSO Logged", kShortMs);
    EXPECT_NE(MessageTimerId, 0u);
    PumpMessages(150);
    EXPECT_EQ(StatusPartText(SBP_MESSAGE), Padded("QSO Logged", 127));

    EXPECT_TRUE(PumpUntil([] { return StatusPartText(SBP_MESSAGE) == Blanks(87); }, kGoneWithinMs));
    EXPECT_EQ(StatusPartTip(SBP_MESSAGE), "Warning/Notification Message Area");
    EXPECT_EQ(MessageTimerId, 0u);
}

TEST_F(StatusBarTest, AMessageWithoutTimeStaysAndCancelsTheEarlierExpiry) {
    ShowStatusMessage("Log Saved", kShortMs);
    PumpMessages(150);
    ShowStatusMessage("Checking CSV ...", 0);
    EXPECT_EQ(MessageTimerId, 0u);

    PumpMessages(static_cast<int>(kShortMs) + 600);
    EXPECT_EQ(StatusPartText(SBP_MESSAGE), Padded("Checking CSV ...", 127));
    EXPECT_EQ(StatusPartTip(SBP_MESSAGE), "Warning/Notification Message");
}

TEST_F(StatusBarTest, ALaterMessageKeepsItsOwnTime) {
    ShowStatusMessage("QSO Logged", kShortMs);
    PumpMessages(150);
    constexpr unsigned kLongerMs = 2000;
    ShowStatusMessage("Log opened (All Ok)", kLongerMs);

    // Past the first message's time, well before the second's.
    PumpMessages(static_cast<int>(kShortMs) + 400);
    EXPECT_EQ(StatusPartText(SBP_MESSAGE), Padded("Log opened (All Ok)", 127));

    EXPECT_TRUE(PumpUntil([] { return StatusPartText(SBP_MESSAGE) == Blanks(87); }, kLongerMs + 1000));
    EXPECT_EQ(MessageTimerId, 0u);
}

TEST_F(StatusBarTest, AStaleTimerTickClearsNothing) {
    // A tick of the killed timer arrives after the next message, which has no time.
    ShowStatusMessage("Log Saved", 1);
    const UINT_PTR killed = MessageTimerId;
    ASSERT_NE(killed, 0u);
    ShowStatusMessage("ERROR: Wrong CSV format", 0);
    Sleep(20);
    ClearMessageTimerProc(nullptr, WM_TIMER, killed, 0);
    EXPECT_EQ(StatusPartText(SBP_MESSAGE), Padded("ERROR: Wrong CSV format", 127));

    // While a timer is armed, only its own ticks count.
    ShowStatusMessage("QSO Updated", 1);
    const UINT_PTR armed = MessageTimerId;
    ASSERT_NE(armed, 0u);
    Sleep(20);
    ClearMessageTimerProc(nullptr, WM_TIMER, armed + 1, 0);
    EXPECT_EQ(StatusPartText(SBP_MESSAGE), Padded("QSO Updated", 127));
    EXPECT_EQ(MessageTimerId, armed);
    ClearMessageTimerProc(nullptr, WM_TIMER, armed, 0);
    EXPECT_EQ(StatusPartText(SBP_MESSAGE), Blanks(87));
    EXPECT_EQ(MessageTimerId, 0u);
}

// ---- Database status ----

TEST_F(StatusBarTest, DatabaseStates) {
    const UtcTime fresh = Yesterday();
    struct Case {
        const char *name;
        std::function<bool(const std::string &path)> make;
        std::string text;
        const char *tip;
        int icon;
        int available;
        UtcTime lastUpdate;
        std::string dateText;
        int storedWarnings;   // -1: not written
    };
    const Case cases[] = {
        {"missing", [](const std::string &) { return true; }, "No Summits DB", "The Summits Database is Missing",
         IDI_NO_DBICON, 0, -1, "Unknown", -1},
        {"junk",
         [](const std::string &path) {
             WriteBytes(path, "Standard Jet DB? No, just a text file.\r\n");
             return true;
         },
         "Wrong Summits DB", "The Summits Database is not Compatible", IDI_NO_DBICON, 0, -1, "Unknown", -1},
        {"old version",
         [&](const std::string &path) {
             if (!MakeDatabase(path, fresh, 2) || DbOpen(path.c_str(), 0) != 1) return false;
             const bool changed = DbUpdate("Info", "Version = 1.0", "1") == 1;
             DbClose();
             return changed;
         },
         "Wrong Summits DB", "The Summits Database is not Compatible", IDI_NO_DBICON, 0, -1, ShortDate(fresh), -1},
        {"empty", [&](const std::string &path) { return MakeDatabase(path, fresh, 0); }, "Empty Summits DB",
         "The Summits Database is Empty", IDI_NO_DBICON, 0, fresh, ShortDate(fresh), 0},
        {"filled", [&](const std::string &path) { return MakeDatabase(path, fresh, 3); }, ShortDate(fresh) + " (3)",
         "Full Summit Database: Date (Number of Summits)", IDI_FL_DBICON, 1, fresh, ShortDate(fresh), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh(std::string("DatabaseStates_") + c.name);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(c.make(DbPath()));
        UpdateDbStatus();
        EXPECT_EQ(StatusPartText(SBP_DB_STATUS), Padded(c.text, 32));
        EXPECT_EQ(StatusPartTip(SBP_DB_STATUS), c.tip);
        EXPECT_NE(PartIcon(SBP_DB_STATUS), nullptr);
        EXPECT_EQ(PartIcon(SBP_DB_STATUS), SmallIcon(c.icon));
        EXPECT_EQ(DbAvailable, c.available);
        EXPECT_EQ(DbLastUpdate, c.lastUpdate);
        EXPECT_EQ(DbDateText, c.dateText);
        EXPECT_EQ(TestReadDword(SettingsKey, "DBAgeWarn"), c.storedWarnings);
        EXPECT_TRUE(TakeSeenModals().empty());
    }
}

TEST_F(StatusBarTest, ADatabasePathThatWouldNotFitCountsAsMissing) {
    // A folder whose database path has 259 characters is used; one more character
    // and the path would be cut, naming the file planted at the cut.
    const std::string base = (dataDir_ / "").string();
    const std::string name = "\\VORN_REFS.MDB";
    struct Case {
        size_t folderLength;
        const char *text;
    };
    const Case cases[] = {{259 - name.size(), "(1)"}, {260 - name.size(), "No Summits DB"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folderLength);
        ASSERT_LT(base.size() + 2, c.folderLength);
        const std::string folder = base + std::string(c.folderLength - base.size(), 'f');
        std::filesystem::create_directories(folder);
        const std::string whole = folder + name;
        ASSERT_TRUE(MakeDatabase(whole.substr(0, 259), Yesterday(), 1));
        DbAvailable = 0;
        SetDataDirectory(folder);
        UpdateDbStatus();
        EXPECT_NE(StatusPartText(SBP_DB_STATUS).find(c.text), std::string::npos) << StatusPartText(SBP_DB_STATUS);
        EXPECT_EQ(DbAvailable, c.text[0] == '(' ? 1 : 0);
        DbClose();
    }
}

TEST_F(StatusBarTest, AgeWarningCountsConfirmations) {
    const UtcTime old = Day(2020, 1, 1);
    const UtcTime twoDaysAgo = Yesterday() - kDaySeconds;
    constexpr int kMissing = -1, kNoDialog = 0;
    struct Case {
        const char *what;
        UtcTime lastUpdate;
        int period;
        int before;   // kMissing or the stored count
        int answer;   // the button pressed, kNoDialog when no warning may show
        int after;
    };
    const Case cases[] = {
        {"old, first warning confirmed", old, 3024000, kMissing, IDOK, 1},
        {"old, first warning cancelled", old, 3024000, kMissing, IDCANCEL, 0},
        {"old, counted on", old, 3024000, 5, IDOK, 6},
        {"old, tenth warning", old, 3024000, 9, IDOK, 10},
        {"old, tenth warning cancelled", old, 3024000, 9, IDCANCEL, 9},
        {"old, after ten warnings", old, 3024000, 10, kNoDialog, 10},
        {"old, warning off for good", old, 3024000, 99, kNoDialog, 99},
        {"fresh, never warned", Yesterday(), 3024000, kMissing, kNoDialog, 0},
        {"fresh resets the count", Yesterday(), 3024000, 10, kNoDialog, 0},
        {"fresh resets up to 98", Yesterday(), 3024000, 98, kNoDialog, 0},
        {"fresh keeps 99", Yesterday(), 3024000, 99, kNoDialog, 99},
        {"fresh keeps more", Yesterday(), 3024000, 250, kNoDialog, 250},
        {"older than a short period", twoDaysAgo, kDaySeconds, kMissing, IDOK, 1},
        {"within a longer period", twoDaysAgo, 4 * kDaySeconds, 3, kNoDialog, 0},
        // The period is unsigned: -1 is some 136 years.
        {"negative period", old, -1, 3, kNoDialog, 0},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Fresh(std::string("AgeWarning").append(std::to_string(++n)));
        if (HasFatalFailure()) return;
        ASSERT_TRUE(MakeDatabase(DbPath(), c.lastUpdate, 1));
        EditorSettings.DBAgeWarnPeriod = c.period;
        if (c.before != kMissing)
            RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "DBAgeWarn", static_cast<uint32_t>(c.before));
        if (c.answer != kNoDialog) AnswerModals({{Press::Button, c.answer}});

        UpdateDbStatus();
        const std::vector<SeenDialog> seen = TakeSeenModals();
        if (c.answer == kNoDialog) {
            EXPECT_TRUE(seen.empty());
        } else {
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_FALSE(seen[0].systemBox);
            EXPECT_FALSE(seen[0].unexpected);
            EXPECT_EQ(seen[0].caption, kProgramName);
            EXPECT_EQ(seen[0].text, kAgeWarning);
            EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
            EXPECT_TRUE(seen[0].iconShown);
        }
        EXPECT_EQ(TestReadDword(SettingsKey, "DBAgeWarn"), c.after);
        // The warning changes nothing of the database state.
        EXPECT_EQ(DbAvailable, 1);
        EXPECT_EQ(DbLastUpdate, c.lastUpdate);
    }
}

TEST_F(StatusBarTest, ReferenceCheckingOffShowsTheNoteWithoutIcon) {
    ASSERT_TRUE(MakeDatabase(DbPath(), Yesterday(), 2));
    const std::string dbText = Padded(ShortDate(Yesterday()) + " (2)", 32);
    const std::string dbTip = "Full Summit Database: Date (Number of Summits)";
    const std::string offText = Padded("Ref checking disabled", 32);
    const std::string offTip = "Summit Reference Checking is Disabled (F7)";

    EditorSettings.RefChecking = 0;
    UpdateDbStatus();
    EXPECT_EQ(StatusPartText(SBP_DB_STATUS), offText);
    EXPECT_EQ(StatusPartTip(SBP_DB_STATUS), offTip);
    EXPECT_EQ(PartIcon(SBP_DB_STATUS), nullptr);
    EXPECT_EQ(DbAvailable, 1);

    struct Step {
        int refChecking;
        const std::string &text;
        const std::string &tip;
        bool icon;
    };
    const Step steps[] = {{1, dbText, dbTip, true}, {0, offText, offTip, false}, {1, dbText, dbTip, true}};
    for (const Step &s : steps) {
        SCOPED_TRACE("RefChecking " + std::to_string(s.refChecking));
        EditorSettings.RefChecking = s.refChecking;
        ShowRefCheckStatus();
        EXPECT_EQ(StatusPartText(SBP_DB_STATUS), s.text);
        EXPECT_EQ(StatusPartTip(SBP_DB_STATUS), s.tip);
        EXPECT_EQ(PartIcon(SBP_DB_STATUS), s.icon ? SmallIcon(IDI_FL_DBICON) : nullptr);
        if (s.icon) {
            EXPECT_NE(PartIcon(SBP_DB_STATUS), nullptr);
        }
    }
}

TEST_F(StatusBarTest, OutOfMemoryIsTheSystemBox) {
    AnswerModals({{Press::Button, IDOK}});
    EXPECT_EQ(ShowOutOfMemory(), IDOK);
    const std::vector<SeenDialog> seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].systemBox);
    EXPECT_EQ(seen[0].caption, kProgramName);
    EXPECT_EQ(seen[0].text, "ERROR: Out of Memory");
    EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(seen[0].iconShown);
}

// ---- Clock ----

TEST_F(StatusBarTest, ClockShowsUtcInTheUsersFormat) {
    char text[128];
    struct Case {
        const char *shortDate;
        const char *timeFormat;
        std::function<std::string(const SYSTEMTIME &)> expected;
    };
    const Case cases[] = {
        {"yyyy-MM-dd", "HH:mm:ss",
         [&](const SYSTEMTIME &t) {
             snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d  UTC          ", t.wYear, t.wMonth, t.wDay,
                      t.wHour, t.wMinute, t.wSecond);
             return std::string(text);
         }},
        {"dd.MM.yy", "H.mm",
         [&](const SYSTEMTIME &t) {
             snprintf(text, sizeof text, "%02d.%02d.%02d %d.%02d  UTC          ", t.wDay, t.wMonth, t.wYear % 100,
                      t.wHour, t.wMinute);
             return std::string(text);
         }},
        // A date longer than its 32 characters falls back to the numeric form.
        {"dddd', day 'dd' of the month of 'MMMM' in the year 'yyyy", "HH:mm:ss",
         [&](const SYSTEMTIME &t) {
             snprintf(text, sizeof text, "%02d/%02d/%4d %02d:%02d:%02d UTC          ", t.wDay, t.wMonth, t.wYear,
                      t.wHour, t.wMinute, t.wSecond);
             return std::string(text);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shortDate);
        UserFormats formats(c.shortDate, c.timeFormat);
        SYSTEMTIME before, after;
        GetSystemTime(&before);
        ClockTimerProc(window_, WM_TIMER, IDT_CLOCK, 0);
        GetSystemTime(&after);
        const std::string shown = StatusPartText(SBP_CLOCK);
        EXPECT_TRUE(shown == c.expected(before) || shown == c.expected(after))
            << "shown \"" << shown << "\", expected \"" << c.expected(after) << "\"";
        EXPECT_EQ(StatusPartTip(SBP_CLOCK), "Current Date/Time (UTC)");
    }
}

TEST_F(StatusBarTest, ClockSetsThePickersOnlyWithAutoTime) {
    const SYSTEMTIME earlier = {2001, 2, 6, 3, 4, 5, 6, 0};
    for (int autoTime : {1, 0}) {
        SCOPED_TRACE("AutoTime " + std::to_string(autoTime));
        EditorSettings.AutoTime = autoTime;
        for (int id : {IDC_QSO_DATE, IDC_QSO_TIME})
            ASSERT_TRUE(SendDlgItemMessageA(window_, id, DTM_SETSYSTEMTIME, GDT_VALID,
                                            reinterpret_cast<LPARAM>(&earlier)));
        SYSTEMTIME before, after;
        GetSystemTime(&before);
        ClockTimerProc(window_, WM_TIMER, IDT_CLOCK, 0);
        GetSystemTime(&after);
        for (int id : {IDC_QSO_DATE, IDC_QSO_TIME}) {
            SCOPED_TRACE(id);
            SYSTEMTIME shown = {};
            ASSERT_EQ(SendDlgItemMessageA(window_, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)),
                      GDT_VALID);
            if (autoTime) {
                EXPECT_GE(WholeSeconds(shown), WholeSeconds(before));
                EXPECT_LE(WholeSeconds(shown), WholeSeconds(after));
            } else {
                EXPECT_EQ(WholeSeconds(shown), WholeSeconds(earlier));
            }
        }
    }
}

}  // namespace
