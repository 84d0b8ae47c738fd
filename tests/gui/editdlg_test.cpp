// The edit-entry dialog over the real main window and its log list: what it
// shows of the row's contact, Update placing the edited contact by time and
// keeping what the form was not asked to change, Cancel in each way leaving
// the log alone, and the own position given back when it closes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "appstate.h"
#include "editdlg.h"
#include "entryform.h"
#include "gui/harness.h"
#include "gui/shots.h"
#include "loglist_win.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "summitsdb.h"
#include "support/tempfile.h"
#include "support/testtime.h"
#include "utctime_win.h"

namespace {

constexpr UtcTime kHour = 3600;
const UtcTime kMorning = Day(2015, 6, 14) + 9 * kHour;

// What the test does inside the open dialog before the answerer presses its button.
std::function<void(HWND)> insideDialog;
constexpr UINT kRunInside = WM_APP + 11;

// The program's procedure, with the test's look inside once the dialog is up.
INT_PTR CALLBACK ScriptedEditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunInside) {
        if (insideDialog) insideDialog(dialog);
        return TRUE;
    }
    const INT_PTR result = EditEntryDlgProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) PostMessageA(dialog, kRunInside, 0, 0);
    return result;
}

template <size_t N, size_t S>
void SetList(char (&slots)[N][S], int &count, const std::vector<const char *> &entries) {
    count = 0;
    for (const char *entry : entries) snprintf(slots[count++], S, "%s", entry);
}

// One contact as the tests compare it.
struct Contact {
    UtcTime time;
    std::string call, band, mode, summit, notes, myCall, mySummit;
    int swl;
    bool operator==(const Contact &) const = default;
};

std::vector<Contact> LogContents() {
    std::vector<Contact> contacts;
    for (const QsoEntry *e = QsoListHead; e; e = e->next)
        contacts.push_back({e->qsoTime, e->hisCall, e->band, e->mode, e->hisSummit, e->notes, e->myCall, e->mySummit,
                            e->swl});
    return contacts;
}

std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    for (const QsoEntry *e = QsoListHead; e; e = e->next) calls.emplace_back(e->hisCall);
    return calls;
}

void Store(const Contact &c) {
    ASSERT_NE(InsertQsoEntry(0, c.time, c.call.c_str(), c.band.c_str(), c.mode.c_str(), c.summit.c_str(),
                             c.notes.c_str(), c.myCall.c_str(), c.mySummit.c_str(), c.swl),
              nullptr);
}

void SetPickers(HWND dialog, UtcTime t) {
    SYSTEMTIME at = {};
    ASSERT_EQ(UnixTimeToSystemTime(t, &at), 1);
    SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
    SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
}

SYSTEMTIME PickerTime(HWND dialog, int id) {
    SYSTEMTIME at = {};
    SendDlgItemMessageA(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&at));
    return at;
}

std::vector<std::string> ComboEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = "";
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

// The status bar's message part as read, without the padding it is shown with.
std::string StatusMessage() {
    std::string text = StatusPartText(SBP_MESSAGE);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Memory running out for a new contact: while a guard lives, this program's
// import of calloc refuses blocks of a contact's size (the log keeps its
// contacts in such blocks); everything else is allocated as before.
using CallocFunction = void *(__cdecl *)(size_t, size_t);
CallocFunction realCalloc = nullptr;
void *__cdecl RefusingCalloc(size_t count, size_t size) {
    if (count * size == sizeof(QsoEntry)) return nullptr;
    return realCalloc(count, size);
}

class NoMemoryForContacts {
public:
    NoMemoryForContacts() {
        realCalloc = reinterpret_cast<CallocFunction>(
            ReplaceImport("msvcrt.dll", "calloc", reinterpret_cast<ULONG_PTR>(&RefusingCalloc)));
    }
    ~NoMemoryForContacts() {
        if (realCalloc) ReplaceImport("msvcrt.dll", "calloc", reinterpret_cast<ULONG_PTR>(realCalloc));
    }
    NoMemoryForContacts(const NoMemoryForContacts &) = delete;
    NoMemoryForContacts &operator=(const NoMemoryForContacts &) = delete;
    bool active() const { return realCalloc != nullptr; }
};

const Contact kAlpha{kMorning, "QX1AA", "14MHz", "CW", "QX/AB-001", "first", "QX9ME", "", 0};
const Contact kBravo{kMorning + kHour, "QX2BB", "7MHz", "SSB", "QX/AB-002", "second", "QX9ME", "", 1};
const Contact kCharlie{kMorning + 2 * kHour, "QX3CC", "14MHz", "SSB", "", "third", "QX9ME/P", "QX/AB-002", 0};

class EditDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        insideDialog = nullptr;
        HomeLatitude = HomeLongitude = 0;
        EditorSettings.UseToolTips = 1;
        SetList(EditorSettings.UserBands, EditorSettings.UserBandCount, {"7MHz", "14MHz", "144MHz"});
        SetList(EditorSettings.UserModes, EditorSettings.UserModeCount, {"CW", "SSB"});
        SetList(EditorSettings.MyCall, EditorSettings.MyCallCount, {"QX9ME", "QX9ME/P"});
        window_ = OpenMainWindowHost();
        ASSERT_NE(window_, nullptr);
        list_ = GetDlgItem(window_, IDC_LOG_LIST);
    }
    void TearDown() override {
        insideDialog = nullptr;
        ResetEditorState();
        HomeLatitude = HomeLongitude = 0;
    }

    void StoreAndShow(const std::vector<Contact> &contacts) {
        for (const Contact &c : contacts) Store(c);
        ASSERT_EQ(RefreshLogList(window_), static_cast<int>(contacts.size()));
        LogModified = 0;
    }

    // The list-view index of the row that shows the callsign.
    int RowOf(const std::string &call) const {
        const auto rows = ListRows(list_);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i][3] == call) return static_cast<int>(i);
        ADD_FAILURE() << call << " is not in the list";
        return -1;
    }

    // Opens the dialog on the row as the main window does, runs inside in it and
    // lets the answerer end it; the dialog's result.
    INT_PTR Edit(int row, std::function<void(HWND)> inside, std::vector<Answer> answers) {
        insideDialog = std::move(inside);
        AnswerModals(std::move(answers));
        const INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_EDIT_ENTRY), window_,
                                               ScriptedEditProc, static_cast<LPARAM>(row));
        insideDialog = nullptr;
        return result;
    }

    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(EditDialog, OpensWithTheRowsContactInTheForm) {
    struct Case {
        const char *what;
        int useToolTips;
    };
    const Case cases[] = {{"with tool tips", 1}, {"without tool tips", 0}};
    StoreAndShow({kAlpha, kBravo, kCharlie});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorSettings.UseToolTips = c.useToolTips;
        bool looked = false;
        const INT_PTR result = Edit(RowOf("QX2BB"), [&](HWND dialog) {
            looked = true;
            EXPECT_EQ(WindowTextOf(dialog), "Edit Log Entry");
            EXPECT_EQ(EditedEntryId, 2);
            const SYSTEMTIME date = PickerTime(dialog, IDC_QSO_DATE), time = PickerTime(dialog, IDC_QSO_TIME);
            EXPECT_EQ(date.wYear, 2015);
            EXPECT_EQ(date.wMonth, 6);
            EXPECT_EQ(date.wDay, 14);
            EXPECT_EQ(time.wHour, 10);
            EXPECT_EQ(time.wMinute, 0);
            EXPECT_EQ(ControlText(dialog, IDC_QSO_TIME), "10:00");
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_QSO_DATE)));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_QSO_TIME)));
            EXPECT_EQ(ControlText(dialog, IDC_HIS_CALL), "QX2BB");
            EXPECT_EQ(ControlText(dialog, IDC_HIS_SUMMIT), "QX/AB-002");
            EXPECT_EQ(ControlText(dialog, IDC_NOTES), "second");
            EXPECT_EQ(ControlText(dialog, IDC_MY_SUMMIT), "");
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SWL), BST_CHECKED);
            EXPECT_EQ(ControlText(dialog, IDC_BAND), "7MHz");
            EXPECT_EQ(ControlText(dialog, IDC_MODE), "SSB");
            EXPECT_EQ(ControlText(dialog, IDC_MY_CALL), "QX9ME");
            // Only the user's own entries: nothing added for stored values they hold.
            EXPECT_EQ(ComboEntries(dialog, IDC_BAND), (std::vector<std::string>{"7MHz", "14MHz", "144MHz"}));
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_HIS_CALL, EM_GETLIMITTEXT, 0, 0), 12);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_HIS_SUMMIT, EM_GETLIMITTEXT, 0, 0), 12);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_NOTES, EM_GETLIMITTEXT, 0, 0), 128);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_MY_SUMMIT, EM_GETLIMITTEXT, 0, 0), 12);
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_QSO_DATE);
            auto tips = ToolTipsOf(dialog);
            std::sort(tips.begin(), tips.end());
            if (c.useToolTips) {
                const std::vector<std::pair<int, std::string>> expected = {
                    {IDOK, "Update the log"},
                    {IDCANCEL, "Cancel changes"},
                    {IDC_QSO_DATE, "Select/Edit QSO Date"},
                    {IDC_QSO_TIME, "Select/Edit QSO Time"},
                    {IDC_HIS_SUMMIT, "Other stations Summit Reference (if any)"},
                    {IDC_BAND, "Select operating band"},
                    {IDC_MODE, "Select operating mode"},
                    {IDC_MY_CALL, "Select your callsign"},
                    {IDC_HIS_CALL, "Callsign of other station"},
                    {IDC_NOTES, "Comments and other information (optional)"},
                    {IDC_MY_SUMMIT, "Your Summit Reference (if any)"},
                    {IDC_SWL, "Tick if this is a SWL Entry"},
                };
                auto sorted = expected;
                std::sort(sorted.begin(), sorted.end());
                EXPECT_EQ(tips, sorted);
            } else {
                EXPECT_EQ(ToolTipWindowCount(dialog), 0);
            }
        }, {Answer(Press::Button, IDCANCEL)});
        EXPECT_TRUE(looked);
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST_F(EditDialog, UpdatePlacesTheEditedContactByItsTime) {
    struct Case {
        const char *what, *call;
        UtcTime newTime;
        std::vector<std::string> order;   // the callsigns afterwards, in time order
    };
    const Case cases[] = {
        {"earliest becomes latest", "QX1AA", kMorning + 3 * kHour, {"QX2BB", "QX3CC", "QX1AA"}},
        {"latest becomes earliest", "QX3CC", kMorning - kHour, {"QX3CC", "QX1AA", "QX2BB"}},
        // A new entry comes before the others of its time.
        {"onto another's time", "QX3CC", kMorning + kHour, {"QX1AA", "QX3CC", "QX2BB"}},
        {"only the notes", "QX2BB", kMorning + kHour, {"QX1AA", "QX2BB", "QX3CC"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClearQsoList();
        StoreAndShow({kAlpha, kBravo, kCharlie});
        const INT_PTR result = Edit(RowOf(c.call), [&](HWND dialog) {
            SetPickers(dialog, c.newTime);
            SetDlgItemTextA(dialog, IDC_NOTES, "edited");
        }, {Answer(Press::Button, IDOK)});
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(Calls(), c.order);
        EXPECT_EQ(LogModified, 1);
        EXPECT_EQ(StatusMessage(), "QSO Updated");
        ASSERT_NE(FindQsoEntry(0, nullptr), nullptr);
        EXPECT_EQ(FindQsoEntry(0, nullptr)->qsoTime, c.newTime);
        EXPECT_STREQ(FindQsoEntry(0, nullptr)->hisCall, c.call);
        EXPECT_STREQ(FindQsoEntry(0, nullptr)->notes, "edited");
        // The caller's refresh numbers the rows anew in the new order.
        ASSERT_EQ(RefreshLogList(window_), 3);
        const auto rows = ListRows(list_);
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i][0], std::to_string(i + 1));
            EXPECT_EQ(rows[i][3], c.order[i]);
        }
    }
}

TEST_F(EditDialog, UpdateKeepsTheFieldsTheUserDidNotTouch) {
    StoreAndShow({kAlpha, kBravo, kCharlie});
    const INT_PTR result = Edit(RowOf("QX3CC"), [](HWND dialog) { SetDlgItemTextA(dialog, IDC_NOTES, "new notes"); },
                                {Answer(Press::Button, IDOK)});
    EXPECT_EQ(result, IDOK);
    Contact expected = kCharlie;
    expected.notes = "new notes";
    EXPECT_EQ(LogContents(), (std::vector<Contact>{kAlpha, kBravo, expected}));
}

TEST_F(EditDialog, AFailedCheckKeepsTheDialogOpenAndTheLogUnchanged) {
    StoreAndShow({kAlpha, kBravo, kCharlie});
    const auto before = LogContents();
    const INT_PTR result = Edit(RowOf("QX1AA"), [](HWND dialog) { SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX"); },
                                {Answer(Press::Button, IDOK), Answer(Press::Escape)});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(LogContents(), before);
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(StatusMessage(), "Callsign too short");
}

TEST_F(EditDialog, CancelInAnyWayChangesNothing) {
    struct Case {
        const char *what;
        Answer answer;
    };
    const Case cases[] = {
        {"Cancel button", Answer(Press::Button, IDCANCEL)},
        {"Escape", Answer(Press::Escape)},
        {"close box", Answer(Press::CloseBox)},
    };
    StoreAndShow({kAlpha, kBravo, kCharlie});
    const auto before = LogContents();
    const auto rowsBefore = ListRows(list_);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const INT_PTR result = Edit(RowOf("QX2BB"), [](HWND dialog) {
            SetPickers(dialog, kMorning + 5 * kHour);
            SetDlgItemTextA(dialog, IDC_NOTES, "not to be kept");
            SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX7ZZ");
        }, {c.answer});
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(LogContents(), before);
        EXPECT_EQ(ListRows(list_), rowsBefore);
        EXPECT_EQ(LogModified, 0);
        EXPECT_EQ(TakeSeenModals().size(), 1u);
    }
}

TEST_F(EditDialog, AnUnreadableTimeOpensAtTheLastMinuteBefore1970) {
    Contact bad = kAlpha;
    bad.time = -1;
    StoreAndShow({bad, kBravo});
    SYSTEMTIME date = {}, time = {};
    std::string timeText;
    const INT_PTR result = Edit(RowOf("QX1AA"), [&](HWND dialog) {
        date = PickerTime(dialog, IDC_QSO_DATE);
        time = PickerTime(dialog, IDC_QSO_TIME);
        timeText = ControlText(dialog, IDC_QSO_TIME);
    }, {Answer(Press::Button, IDCANCEL)});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(date.wYear, 1969);
    EXPECT_EQ(date.wMonth, 12);
    EXPECT_EQ(date.wDay, 31);
    EXPECT_EQ(time.wHour, 23);
    EXPECT_EQ(time.wMinute, 59);
    EXPECT_EQ(timeText, "23:59");
}

TEST_F(EditDialog, AStoredChoiceMissingFromTheUsersListsIsOfferedAndKept) {
    struct Case {
        const char *what, *band, *mode, *myCall;
        std::vector<std::string> bands;   // what the band box offers
        const char *shownBand, *shownMode, *shownCall;
        const char *storedBand;           // afterwards
    };
    const Case cases[] = {
        {"all missing", "2m", "FM", "QX5OLD", {"144MHz", "14MHz", "2m", "7MHz"}, "2m", "FM", "QX5OLD", "2m"},
        // Differently cased: the user's entry is selected, nothing is added.
        {"all present", "14mhz", "cw", "qx9me/p", {"7MHz", "14MHz", "144MHz"}, "14MHz", "CW", "QX9ME/P", "14MHz"},
        {"empty band", "", "SSB", "QX9ME", {"", "144MHz", "14MHz", "7MHz"}, "", "SSB", "QX9ME", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClearQsoList();
        Contact odd = kAlpha;
        odd.band = c.band;
        odd.mode = c.mode;
        odd.myCall = c.myCall;
        StoreAndShow({odd});
        std::vector<std::string> bands;
        std::string band, mode, call;
        const INT_PTR result = Edit(0, [&](HWND dialog) {
            bands = ComboEntries(dialog, IDC_BAND);
            band = ControlText(dialog, IDC_BAND);
            mode = ControlText(dialog, IDC_MODE);
            call = ControlText(dialog, IDC_MY_CALL);
            SetDlgItemTextA(dialog, IDC_NOTES, "only the notes");
        }, {Answer(Press::Button, IDOK)});
        EXPECT_EQ(result, IDOK);
        // The drop-down lists are unsorted unless the template says so: compare as sets.
        std::sort(bands.begin(), bands.end());
        auto expectedBands = c.bands;
        std::sort(expectedBands.begin(), expectedBands.end());
        EXPECT_EQ(bands, expectedBands);
        EXPECT_EQ(band, c.shownBand);
        EXPECT_EQ(mode, c.shownMode);
        EXPECT_EQ(call, c.shownCall);
        ASSERT_NE(QsoListHead, nullptr);
        EXPECT_EQ(QsoListHead->next, nullptr);
        EXPECT_STREQ(QsoListHead->band, c.storedBand);
        EXPECT_STREQ(QsoListHead->mode, c.shownMode);
        EXPECT_STREQ(QsoListHead->myCall, c.shownCall);
        EXPECT_STREQ(QsoListHead->notes, "only the notes");
    }
}

TEST_F(EditDialog, ARowWhoseContactIsGoneIsReportedAndNothingChanges) {
    StoreAndShow({kAlpha, kBravo});
    // The list still shows line 2, the log no longer has it.
    ASSERT_EQ(DeleteQsoEntry(2), 0);
    LogModified = 0;
    bool looked = false;
    const INT_PTR result = Edit(1, [&](HWND) { looked = true; }, {Answer(Press::Button, IDOK)});
    EXPECT_EQ(result, IDCANCEL);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
    EXPECT_EQ(seen[0].text, "INTERNAL ERROR: Unable to locate the selected log entry");
    EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(Calls(), std::vector<std::string>{"QX1AA"});
    EXPECT_EQ(LogModified, 0);
}

// The new contact is stored before the old one goes: when it cannot be
// stored, the old contact is still there, unchanged.
TEST_F(EditDialog, AContactThatCannotBeStoredLeavesTheOldOneInPlace) {
    StoreAndShow({kAlpha, kBravo, kCharlie});
    const auto before = LogContents();
    INT_PTR result = 0;
    {
        NoMemoryForContacts noMemory;
        ASSERT_TRUE(noMemory.active());
        result = Edit(RowOf("QX2BB"), [](HWND dialog) {
            SetPickers(dialog, kMorning + 3 * kHour);
            SetDlgItemTextA(dialog, IDC_NOTES, "edited");
        }, {Answer(Press::Button, IDOK)});
    }
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(LogContents(), before);
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(StatusMessage(), "Failed to update QSO details");
    // The caller's refresh and autosave see the whole log.
    ASSERT_EQ(RefreshLogList(window_), 3);
}

// The new contact is stored before the old one goes: a contact that vanished
// while the dialog was open is not replaced by a stray copy.
TEST_F(EditDialog, NothingIsStoredWhenTheOldContactCannotBeReplaced) {
    StoreAndShow({kAlpha, kBravo, kCharlie});
    const INT_PTR result = Edit(RowOf("QX2BB"), [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NOTES, "edited");
        ASSERT_EQ(DeleteQsoEntry(EditedEntryId), 0);
        LogModified = 0;
    }, {Answer(Press::Button, IDOK)});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"QX1AA", "QX3CC"}));
    EXPECT_EQ(LogModified, 0);
    EXPECT_EQ(StatusMessage(), "Failed to update QSO details");
}

// The shot is taken once the dialog's own loop has shown and painted it.
std::string shotFile;
HWND shotWindow = nullptr;
int shotSaved = 0;
void CALLBACK TakeShotAndCancel(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    shotSaved = IsWindowVisible(dialog) ? SaveWindowShot(shotWindow, shotFile.c_str()) : 0;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(EditDialog, ShotOverTheMainWindow) {
    shotFile = ShotPath("edit_entry_dialog.bmp");
    if (shotFile.empty()) GTEST_SKIP() << "screenshots are off";
    StoreAndShow({kAlpha, kBravo, kCharlie});
    shotWindow = window_;
    shotSaved = 0;
    const INT_PTR result = Edit(RowOf("QX2BB"), [](HWND dialog) { SetTimer(dialog, 1, 500, TakeShotAndCancel); }, {});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(shotSaved, 1);
    EXPECT_TRUE(TakeSeenModals().empty());
}

// ---- With a summits database: the info lines and the own position ----

class EditDialogWithSummits : public EditDialog {
protected:
    static void SetUpTestSuite() {
        ResetEditorState();
        dbPath_ = new std::string(TestTempPath("editdlg_refs.mdb").string());
        std::error_code ignored;
        std::filesystem::remove(*dbPath_, ignored);
        char from[12] = "", to[12] = "";
        bool made = DbCreate(dbPath_->c_str(), 0) == 1 && DbDateLiteral(Day(2005, 1, 1), from, sizeof from) == 1 &&
                    DbDateLiteral(Day(2037, 12, 31), to, sizeof to) == 1;
        const char *rows[] = {"'QX/AB-001', 'Alpha Hill'", "'QX/AB-002', 'Bravo Fell'"};
        const double places[][2] = {{51.02, 10.0}, {51.01, 9.855}};
        for (int i = 0; i < 2 && made; ++i) {
            char values[200];
            snprintf(values, sizeof values, "%s, '%s', '%s', %.6f, %.6f", rows[i], from, to, places[i][0],
                     places[i][1]);
            made = DbInsert(kReferencesTable, "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
                            values) == 1;
        }
        DbClose();
        ASSERT_TRUE(made);
    }
    static void TearDownTestSuite() {
        delete dbPath_;
        dbPath_ = nullptr;
    }
    void SetUp() override {
        EditDialog::SetUp();
        ASSERT_NE(dbPath_, nullptr);
        ASSERT_EQ(DbOpen(dbPath_->c_str(), 1), 1);
        DbAvailable = 1;
    }
    static std::string *dbPath_;
};
std::string *EditDialogWithSummits::dbPath_ = nullptr;

TEST_F(EditDialogWithSummits, TheOwnPositionIsGivenBackWhenTheDialogEnds) {
    struct Case {
        const char *what;
        std::function<void(HWND)> inside;
        Answer answer;
        INT_PTR result;
    };
    const Case cases[] = {
        {"Cancel", [](HWND) {}, Answer(Press::Button, IDCANCEL), IDCANCEL},
        {"close box", [](HWND) {}, Answer(Press::CloseBox), IDCANCEL},
        {"Update", [](HWND dialog) { SetDlgItemTextA(dialog, IDC_NOTES, "edited"); }, Answer(Press::Button, IDOK),
         IDOK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClearQsoList();
        StoreAndShow({kAlpha, kBravo, kCharlie});
        HomeLatitude = 50;
        HomeLongitude = 10;
        std::string myInfo;
        float insideLatitude = 0;
        const INT_PTR result = Edit(RowOf("QX3CC"), [&](HWND dialog) {
            myInfo = ControlText(dialog, IDC_MY_SUMMIT_INFO);
            insideLatitude = HomeLatitude;
            c.inside(dialog);
        }, {c.answer});
        EXPECT_EQ(result, c.result);
        // Inside, the contact's own summit is home, as on the main form.
        EXPECT_EQ(myInfo, "Bravo Fell [JO41WA]");
        EXPECT_GT(std::fabs(insideLatitude - 50.0f), 0.5f);
        EXPECT_EQ(HomeLatitude, 50.0f);
        EXPECT_EQ(HomeLongitude, 10.0f);
    }
}

// A date and time that no log holds is refused for what it is, before the
// summit's validity is looked at; the dialog stays open on the date picker,
// which holds only the days a log can hold, and the log keeps its contact.
TEST_F(EditDialogWithSummits, AnUpdateToATimeNoLogHoldsIsRefusedAndTheDialogStays) {
    UserFormats formats("yyyy-MM-dd", "HH:mm");
    const std::string range = " cannot be logged: a log holds 1970-01-01 to 2038-01-19 03:14 UTC";
    struct Case {
        const char *what;
        int refChecking;
        UtcTime stored;
        bool moveToLastDay;   // the pickers set to 2038-01-19 04:00 in the dialog
        std::string message;
    };
    const Case cases[] = {
        {"past 03:14 of the last day, checking on", 1, kMorning, true, "QSO date 2038-01-19 04:00" + range},
        {"past 03:14 of the last day, checking off", 0, kMorning, true, "QSO date 2038-01-19 04:00" + range},
        {"a contact without a usable time, as it opens", 0, -1, false, "QSO date 1969-12-31 23:59" + range},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClearQsoList();
        EditorSettings.RefChecking = c.refChecking;
        Contact edited = kBravo;
        edited.time = c.stored;
        StoreAndShow({kAlpha, edited});
        const auto before = LogContents();
        SYSTEMTIME limits[2] = {};
        LRESULT limited = 0;
        const INT_PTR result = Edit(RowOf("QX2BB"), [&](HWND dialog) {
            limited = SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(limits));
            if (!c.moveToLastDay) return;
            SYSTEMTIME at = {};
            at.wYear = 2038;
            at.wMonth = 1;
            at.wDay = 19;
            at.wHour = 4;
            SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
            SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
        }, {Answer(Press::Button, IDOK), Answer(Press::Escape)});
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(LogContents(), before);
        EXPECT_EQ(LogModified, 0);
        EXPECT_EQ(StatusMessage(), c.message);
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[1].focusId, IDC_QSO_DATE);   // when the dialog was still open after Update
        EXPECT_EQ(limited, GDTR_MIN | GDTR_MAX);
        EXPECT_EQ(std::vector<int>({limits[0].wYear, limits[0].wMonth, limits[0].wDay}),
                  std::vector<int>({1970, 1, 1}));
        EXPECT_EQ(std::vector<int>({limits[1].wYear, limits[1].wMonth, limits[1].wDay}),
                  std::vector<int>({2038, 1, 19}));
    }
}

TEST_F(EditDialogWithSummits, TheChasedSummitsLineShowsAtOnce) {
    StoreAndShow({kAlpha, kBravo});
    HomeLatitude = 50;
    HomeLongitude = 10;
    std::string hisInfo;
    Edit(RowOf("QX2BB"), [&](HWND dialog) { hisInfo = ControlText(dialog, IDC_HIS_SUMMIT_INFO); },
         {Answer(Press::Button, IDCANCEL)});
    EXPECT_EQ(hisInfo, "Bravo Fell [JO41WA] (112.8km 355deg)");
}

}  // namespace
