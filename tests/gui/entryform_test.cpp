// The entry form on the main window's template: the combo boxes (what they
// offer, what they select, one tool tip each however often they are refilled),
// the validation of a contact against a real summits database file, logging
// and clearing by the on-entry options, the summit info texts and the minute
// roll-over of the time picker.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "appstate.h"
#include "entryform.h"
#include "gui/harness.h"
#include "gui/shots.h"
#include "loglist_win.h"
#include "mainsetup.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar_win.h"
#include "summitsdb.h"
#include "support/tempfile.h"
#include "support/testtime.h"
#include "utctime_win.h"

namespace {

class ComboFillers : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        dialog = OpenDialog(IDD_MAIN);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { ResetEditorState(); }

    std::vector<std::string> Entries(int id) const {
        std::vector<std::string> entries;
        HWND combo = GetDlgItem(dialog, id);
        const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = "";
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        return entries;
    }
    int Selected(int id) const { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

    HWND dialog = nullptr;
};

template <size_t N, size_t S>
void SetList(char (&slots)[N][S], int &count, const std::vector<const char *> &entries) {
    for (size_t i = 0; i < entries.size(); ++i) strcpy(slots[i], entries[i]);
    count = static_cast<int>(entries.size());
}

TEST_F(ComboFillers, OfferTheDefaultsWhileTheUserListsAreEmpty) {
    FillBandCombo(dialog, nullptr);
    FillModeCombo(dialog, nullptr);
    FillMyCallCombo(dialog, nullptr);
    const auto bands = Entries(IDC_BAND);
    ASSERT_EQ(bands.size(), 24u);
    EXPECT_EQ(bands.front(), DefaultBands[0]);
    EXPECT_EQ(Entries(IDC_MODE),
              (std::vector<std::string>{"AM", "CW", "DATA", "DV", "FM", "PSK", "RTTY", "SSB", "Other"}));
    EXPECT_EQ(Entries(IDC_MY_CALL), (std::vector<std::string>{"NOCALL"}));
    for (int id : {IDC_BAND, IDC_MODE, IDC_MY_CALL}) EXPECT_EQ(Selected(id), 0);
}

TEST_F(ComboFillers, SelectTheLastEntryEqualToTheTextIgnoringCase) {
    SetList(EditorSettings.UserBands, EditorSettings.UserBandCount, {"7MHz", "14MHz", "2m", "14mhz"});
    SetList(EditorSettings.UserModes, EditorSettings.UserModeCount, {"CW", "SSB"});
    SetList(EditorSettings.MyCall, EditorSettings.MyCallCount, {"QX1AB", "QX1AB/P"});
    struct Case {
        const char *select;
        int band, mode, call;
    };
    const Case cases[] = {
        {nullptr, 0, 0, 0},
        {"14MHZ", 3, 0, 0},   // both spellings match: the last one wins
        {"ssb", 0, 1, 0},
        {"qx1ab/p", 0, 0, 1},
        {"not there", 0, 0, 0},
        {"", 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.select ? c.select : "(null)");
        FillBandCombo(dialog, c.select);
        FillModeCombo(dialog, c.select);
        FillMyCallCombo(dialog, c.select);
        EXPECT_EQ(Selected(IDC_BAND), c.band);
        EXPECT_EQ(Selected(IDC_MODE), c.mode);
        EXPECT_EQ(Selected(IDC_MY_CALL), c.call);
    }
    EXPECT_EQ(Entries(IDC_BAND), (std::vector<std::string>{"7MHz", "14MHz", "2m", "14mhz"}));
    EXPECT_EQ(Entries(IDC_MY_CALL), (std::vector<std::string>{"QX1AB", "QX1AB/P"}));
}

TEST_F(ComboFillers, TrustAStoredCountNoFurtherThanTheSlots) {
    for (int i = 0; i < kUserBandSlots; ++i) snprintf(EditorSettings.UserBands[i], kUserBandSize, "%dm", i + 1);
    for (int i = 0; i < kUserModeSlots; ++i) snprintf(EditorSettings.UserModes[i], kUserModeSize, "M%d", i);
    for (int i = 0; i < kMyCallSlots; ++i) snprintf(EditorSettings.MyCall[i], kMyCallSize, "QX%dAA", i);
    struct Case {
        int id;
        int &count;
        int slots;
    };
    const Case cases[] = {{IDC_BAND, EditorSettings.UserBandCount, kUserBandSlots},
                          {IDC_MODE, EditorSettings.UserModeCount, kUserModeSlots},
                          {IDC_MY_CALL, EditorSettings.MyCallCount, kMyCallSlots}};
    for (const Case &c : cases) {
        for (int count : {1, c.slots, c.slots + 1, 1000}) {
            SCOPED_TRACE(std::to_string(c.id) + " with count " + std::to_string(count));
            c.count = count;
            FillBandCombo(dialog, nullptr);
            FillModeCombo(dialog, nullptr);
            FillMyCallCombo(dialog, nullptr);
            EXPECT_EQ(Entries(c.id).size(), static_cast<size_t>(std::min(count, c.slots)));
            EXPECT_EQ(Selected(c.id), 0);
        }
        c.count = 1;
    }
}

TEST_F(ComboFillers, KeepOneToolTipPerControlAcrossRefills) {
    for (int round = 0; round < 3; ++round) {
        FillBandCombo(dialog, nullptr);
        FillModeCombo(dialog, nullptr);
        FillMyCallCombo(dialog, nullptr);
    }
    EXPECT_EQ(ToolTipWindowCount(dialog), 3);
    EXPECT_EQ(ToolTipsOf(dialog), (std::vector<std::pair<int, std::string>>{{IDC_BAND, "Select operating band"},
                                                                           {IDC_MODE, "Select operating mode"},
                                                                           {IDC_MY_CALL, "Select your callsign"}}));
}

TEST_F(ComboFillers, AttachNoToolTipWhenTipsAreOff) {
    EditorSettings.UseToolTips = 0;
    FillBandCombo(dialog, nullptr);
    FillModeCombo(dialog, nullptr);
    FillMyCallCombo(dialog, nullptr);
    EXPECT_EQ(ToolTipWindowCount(dialog), 0);
}

// ---- The form on a window that drives it as the program's dialogs do ----

// What the main window and the edit dialog do for the form: the edit limits,
// the time format, and the summit and time picker notifications.
INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_HIS_CALL, EM_LIMITTEXT, kQsoCallLen, 0);
        SendDlgItemMessageA(dialog, IDC_HIS_SUMMIT, EM_LIMITTEXT, kQsoRefLen, 0);
        SendDlgItemMessageA(dialog, IDC_MY_SUMMIT, EM_LIMITTEXT, kQsoRefLen, 0);
        SendDlgItemMessageA(dialog, IDC_NOTES, EM_LIMITTEXT, kQsoNotesLen, 0);
        SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH':'mm"));
        return TRUE;
    case WM_COMMAND: {
        const int code = HIWORD(wParam);
        const bool refresh = code == EN_SETFOCUS || code == EN_CHANGE || code == EN_KILLFOCUS;
        if (refresh && DbAvailable == 1 && LOWORD(wParam) == IDC_HIS_SUMMIT) ShowHisSummitInfo(dialog);
        if (refresh && DbAvailable == 1 && LOWORD(wParam) == IDC_MY_SUMMIT) ShowMySummitInfo(dialog);
        return FALSE;
    }
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header->idFrom == IDC_QSO_TIME) RollQsoTimeMinute(dialog, header);
        return FALSE;
    }
    default:
        return FALSE;
    }
}

constexpr UtcTime kHour = 3600;

std::string DateValue(UtcTime t) {
    char text[12] = "";
    EXPECT_EQ(DbDateLiteral(t, text, sizeof text), 1);
    return std::string("'") + text + "'";
}

struct Summit {
    const char *ref, *name;
    UtcTime from, to;
    double latitude, longitude;
};

// Alpha is valid 2010 to 2020, due north of (50, 10); Bravo a little west of
// north of it; Charlie far away with a name longer than the stored 48 characters.
const Summit kSummits[] = {
    {"QX/AB-001", "Alpha Hill", Day(2010, 1, 1), Day(2020, 12, 31), 51.02, 10.0},
    {"QX/AB-002", "Bravo Fell", Day(2005, 1, 1), Day(2037, 12, 31), 51.01, 9.855},
    {"QX/AB-003", "Charlie Mountain of the Long and Winding Names 50", Day(2000, 1, 1), Day(2037, 12, 31), -45.47,
     170.53},
};

std::string Trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class EntryFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ResetEditorState();
        dbPath_ = new std::string(TestTempPath("entryform_refs.mdb").string());
        std::error_code ignored;
        std::filesystem::remove(*dbPath_, ignored);
        bool made = DbCreate(dbPath_->c_str(), 0) == 1;
        for (const Summit &s : kSummits) {
            char values[256];
            snprintf(values, sizeof values, "'%s', '%s', %s, %s, %.6f, %.6f", s.ref, s.name,
                     DateValue(s.from).c_str(), DateValue(s.to).c_str(), s.latitude, s.longitude);
            made = made && DbInsert(kReferencesTable, "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
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
        ResetEditorState();
        LastTimeText[0] = '\0';
        HomeLatitude = HomeLongitude = 0;
        ASSERT_NE(dbPath_, nullptr);
        ASSERT_EQ(DbOpen(dbPath_->c_str(), 1), 1);
        DbAvailable = 1;
        dialog = OpenDialog(IDD_MAIN, FormProc);
        ASSERT_NE(dialog, nullptr);
        MainWindow = dialog;
        ASSERT_NE(CreateMainStatusBar(dialog), nullptr);
        SetList(EditorSettings.UserBands, EditorSettings.UserBandCount,
                {"7MHz", "14MHz", "432MHz", "10GHz", "VLF", "136kHz"});
        SetList(EditorSettings.UserModes, EditorSettings.UserModeCount, {"CW", "SSB"});
        SetList(EditorSettings.MyCall, EditorSettings.MyCallCount, {"QX1AB", "QX1AB/P"});
        FillBandCombo(dialog, nullptr);
        FillModeCombo(dialog, nullptr);
        FillMyCallCombo(dialog, nullptr);
        SetForegroundWindow(dialog);
        PumpMessages(20);
    }
    void TearDown() override {
        ResetEditorState();
        LastTimeText[0] = '\0';
        HomeLatitude = HomeLongitude = 0;
    }

    void SetQsoTime(UtcTime t) const {
        SYSTEMTIME time;
        ASSERT_TRUE(UnixTimeToSystemTime(t, &time));
        SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
        SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
    SYSTEMTIME PickerTime(int id) const {
        SYSTEMTIME time = {};
        SendDlgItemMessageA(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        return time;
    }
    void Select(int id, const char *text) const {
        SendDlgItemMessageA(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    int Selected(int id) const { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }
    int FocusId() const { return GetDlgCtrlID(GetFocus()); }
    static std::string Message() { return Trimmed(StatusPartText(SBP_MESSAGE)); }

    static std::string *dbPath_;
    HWND dialog = nullptr;
};
std::string *EntryFormTest::dbPath_ = nullptr;

// ---- Validation ----

const UtcTime kMidJune2015 = Day(2015, 6, 1) + 12 * kHour;

struct FormInput {
    const char *hisCall = "QX9ZZ";
    const char *hisSummit = "";
    const char *mySummit = "";
    const char *band = "7MHz";
    const char *notes = "";
    UtcTime when = kMidJune2015;
};

struct ValidationCase {
    const char *what;
    FormInput form;
    int result;
    const char *message;   // "" when none is shown
    int focus;             // the field put in focus; IDC_NOTES where it stays
    int refChecking = 1;
    int dbAvailable = 1;
};

FormInput His(const char *summit) {
    FormInput f;
    f.hisSummit = summit;
    return f;
}
FormInput Mine(const char *summit) {
    FormInput f;
    f.mySummit = summit;
    return f;
}
FormInput With(FormInput f, const char *band, const char *notes) {
    f.band = band;
    f.notes = notes;
    return f;
}
FormInput At(FormInput f, UtcTime when) {
    f.when = when;
    return f;
}
FormInput Call(FormInput f, const char *call) {
    f.hisCall = call;
    return f;
}
FormInput Both(const char *his, const char *mine) {
    FormInput f;
    f.hisSummit = his;
    f.mySummit = mine;
    return f;
}

TEST_F(EntryFormTest, ValidationTellsTheFirstFaultAndFocusesItsField) {
    const char *tooShortHis = "Chased Summit reference too short";
    const char *tooShortMine = "My Summit reference too short";
    const char *invalid = "Invalid Summit reference";
    const char *notValid = "Summit Not valid on QSO date";
    const char *mismatch = "QRG does not match Band";
    const ValidationCase cases[] = {
        {"a full contact", His("QX/AB-002"), 1, "", IDC_NOTES},
        {"a callsign of 3 passes", Call(His("QX/AB-002"), "QX9"), 1, "", IDC_NOTES},
        {"a callsign of 2 fails", Call(His("QX/AB-002"), "Q9"), 0, "Callsign too short", IDC_HIS_CALL},
        {"the callsign comes first", Call(His("QX/AB"), "Q9"), 0, "Callsign too short", IDC_HIS_CALL},
        {"chased summit of 7", His("QX/AB-0"), 0, tooShortHis, IDC_HIS_SUMMIT},
        {"too short without checking", His("QX/AB-0"), 0, tooShortHis, IDC_HIS_SUMMIT, 0},
        {"too short without database", His("Q"), 0, tooShortHis, IDC_HIS_SUMMIT, 1, 0},
        {"unknown chased summit", His("QX/ZZ-999"), 0, invalid, IDC_HIS_SUMMIT},
        {"unknown but checking off", His("QX/ZZ-999"), 1, "", IDC_NOTES, 0},
        {"unknown but no database", His("QX/ZZ-999"), 1, "", IDC_NOTES, 1, 0},
        {"first second of the first day", At(His("QX/AB-001"), Day(2010, 1, 1)), 1, "", IDC_NOTES},
        {"last minute of the last day", At(His("QX/AB-001"), Day(2020, 12, 31) + 23 * kHour + 59 * 60), 1, "",
         IDC_NOTES},
        {"a minute before it was valid", At(His("QX/AB-001"), Day(2010, 1, 1) - 60), 0, notValid, IDC_HIS_SUMMIT},
        {"the day after it ended", At(His("QX/AB-001"), Day(2021, 1, 1)), 0, notValid, IDC_HIS_SUMMIT},
        {"out of date but checking off", At(His("QX/AB-001"), Day(2021, 1, 1)), 1, "", IDC_NOTES, 0},
        {"own summit of 7", Mine("QX/AB-0"), 0, tooShortMine, IDC_MY_SUMMIT},
        {"unknown own summit", Mine("QX/ZZ-999"), 0, invalid, IDC_MY_SUMMIT},
        {"only the own summit", Mine("QX/AB-002"), 1, "", IDC_NOTES},
        {"own summit out of date", At(Both("QX/AB-002", "QX/AB-001"), Day(2022, 3, 3)), 0, notValid, IDC_MY_SUMMIT},
        {"the chased summit first", Both("QX/AB-0", "QX/ZZ-999"), 0, tooShortHis, IDC_HIS_SUMMIT},
        {"no summit at all", FormInput{}, 0, "At least one Summit reference is required", IDC_NOTES},
        {"QRG:0", With(His("QX/AB-002"), "7MHz", "QRG:0"), 0, "QRG is not valid", IDC_NOTES},
        {"a negative QRG is ignored", With(His("QX/AB-002"), "7MHz", "QRG:-3"), 1, "", IDC_NOTES},
        {"lower case is no QRG", With(His("QX/AB-002"), "7MHz", "qrg:14.1"), 1, "", IDC_NOTES},
        {"the last QRG counts", With(His("QX/AB-002"), "7MHz", "QRG:14.062 QRG:7.03"), 1, "", IDC_NOTES},
        {"a QRG outside the band", With(His("QX/AB-002"), "7MHz", "QRG:14.062"), 0, mismatch, IDC_NOTES},
        {"blanks between tokens", With(His("QX/AB-002"), "14MHz", "  R1   QRG:14.285  "), 1, "", IDC_NOTES},
        {"anything after the number", With(His("QX/AB-002"), "14MHz", "QRG:14.285MHz"), 1, "", IDC_NOTES},
        {"432MHz takes 433.5", With(His("QX/AB-002"), "432MHz", "QRG:433.5"), 1, "", IDC_NOTES},
        {"10GHz is 10000 MHz", With(His("QX/AB-002"), "10GHz", "QRG:10368.1"), 1, "", IDC_NOTES},
        {"10GHz is not 10 MHz", With(His("QX/AB-002"), "10GHz", "QRG:10.15"), 0, mismatch, IDC_NOTES},
        {"kHz bands in MHz", With(His("QX/AB-002"), "136kHz", "QRG:0.137"), 0, mismatch, IDC_NOTES},
        {"no unit, no band", With(His("QX/AB-002"), "VLF", "QRG:0.01"), 0, mismatch, IDC_NOTES},
        {"no number reads as 0", With(His("QX/AB-002"), "7MHz", "QRG:abc"), 0, "QRG is not valid", IDC_NOTES},
        {"short notes are not examined", With(His("QX/AB-002"), "7MHz", "Q:"), 1, "", IDC_NOTES},
    };
    for (const ValidationCase &c : cases) {
        SCOPED_TRACE(c.what);
        EditorSettings.RefChecking = c.refChecking;
        DbAvailable = c.dbAvailable;
        SetDlgItemTextA(dialog, IDC_HIS_CALL, c.form.hisCall);
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, c.form.hisSummit);
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT, c.form.mySummit);
        SetDlgItemTextA(dialog, IDC_NOTES, c.form.notes);
        Select(IDC_BAND, c.form.band);
        ASSERT_EQ(ControlText(dialog, IDC_BAND), c.form.band);
        SetQsoTime(c.form.when);
        ASSERT_EQ(ReadFormQsoTime(dialog), c.form.when);
        SetFocus(GetDlgItem(dialog, IDC_NOTES));
        ASSERT_EQ(FocusId(), IDC_NOTES);
        ShowStatusMessage("", 0);

        EXPECT_EQ(ValidateEntryForm(dialog), c.result);
        EXPECT_EQ(Message(), c.message);
        EXPECT_EQ(FocusId(), c.focus);
        EXPECT_EQ(TakeSeenModals().size(), 0u);
    }
}

// A moment a log cannot hold (past 2038-01-19 03:14:07 UTC, or before 1970) is
// refused for what it is, whatever the summit checks would say, and named as
// the user reads dates.
TEST_F(EntryFormTest, ATimeNoLogHoldsIsRefusedBeforeTheSummitsAreChecked) {
    UserFormats formats("yyyy-MM-dd", "HH:mm");
    const std::string range = " cannot be logged: a log holds 1970-01-01 to 2038-01-19 03:14 UTC";
    struct Case {
        const char *what;
        WORD year, month, day, hour, minute;
        int refChecking;
        int result;
        std::string message;
        int focus;
    };
    const Case cases[] = {
        {"2040, checking on", 2040, 6, 1, 12, 0, 1, 0, "QSO date 2040-06-01 12:00" + range, IDC_QSO_DATE},
        {"2040, checking off", 2040, 6, 1, 12, 0, 0, 0, "QSO date 2040-06-01 12:00" + range, IDC_QSO_DATE},
        {"the first minute past", 2038, 1, 19, 3, 15, 0, 0, "QSO date 2038-01-19 03:15" + range, IDC_QSO_DATE},
        {"the last minute a log holds", 2038, 1, 19, 3, 14, 0, 1, "", IDC_NOTES},
        {"before 1970", 1969, 12, 31, 23, 59, 0, 0, "QSO date 1969-12-31 23:59" + range, IDC_QSO_DATE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EditorSettings.RefChecking = c.refChecking;
        SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX9ZZ");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-002");
        SYSTEMTIME at = {};
        at.wYear = c.year;
        at.wMonth = c.month;
        at.wDay = c.day;
        at.wHour = c.hour;
        at.wMinute = c.minute;
        SendDlgItemMessageA(dialog, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
        SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
        ASSERT_EQ(PickerTime(IDC_QSO_DATE).wYear, c.year);
        SetFocus(GetDlgItem(dialog, IDC_NOTES));
        ShowStatusMessage("", 0);

        EXPECT_EQ(ValidateEntryForm(dialog), c.result);
        EXPECT_EQ(Message(), c.message);
        EXPECT_EQ(FocusId(), c.focus);
    }
}

// Each warning pauses the program for two seconds: two cases only.
TEST_F(EntryFormTest, ATokenWithoutValueWarnsButPasses) {
    const std::string longToken = std::string(kQsoNotesLen - 1, 'N') + ":";
    struct Case {
        std::string notes, message;
    };
    const Case cases[] = {
        {"QRG:", "Token 'QRG:' should have a value"},
        // The whole warning is formed; the status bar shows what fits.
        {longToken, ("Token '" + longToken + "' should have a value").substr(0, 127)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.notes);
        SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX9ZZ");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-002");
        SetDlgItemTextA(dialog, IDC_NOTES, c.notes.c_str());
        ASSERT_EQ(ControlText(dialog, IDC_NOTES), c.notes);
        SetQsoTime(kMidJune2015);
        const DWORD start = GetTickCount();
        EXPECT_EQ(ValidateEntryForm(dialog), 1);
        EXPECT_GE(GetTickCount() - start, 1900u);
        EXPECT_EQ(Message(), c.message);
    }
}

// ---- Logging and clearing ----

TEST_F(EntryFormTest, LoggingStoresTheContactAndResetsTheFormByTheOptions) {
    struct Case {
        int clearRef, resetBand, clearSwl, autoTime, update;
    };
    const Case cases[] = {{1, 1, 1, 1, 0}, {0, 0, 0, 0, 1}, {1, 0, 1, 0, 0}, {0, 1, 0, 1, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "clearRef " << c.clearRef << " resetBand " << c.resetBand << " clearSwl "
                                        << c.clearSwl << " autoTime " << c.autoTime << " update " << c.update);
        ClearQsoList();
        LogModified = 0;
        EditorSettings.ClearRefOnEntry = c.clearRef;
        EditorSettings.ResetBandOnEntry = c.resetBand;
        EditorSettings.ClearSWLOnEntry = c.clearSwl;
        EditorSettings.AutoTime = c.autoTime;
        const UtcTime when = Day(2016, 2, 29) + 23 * kHour + 59 * 60;
        SetQsoTime(when);
        SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX9ZZ/P");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-001");
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "QX/AB-002");
        SetDlgItemTextA(dialog, IDC_NOTES, "R1 QRG:14.285");
        Select(IDC_BAND, "14MHz");
        Select(IDC_MODE, "SSB");
        Select(IDC_MY_CALL, "QX1AB/P");
        CheckDlgButton(dialog, IDC_SWL, BST_CHECKED);
        ASSERT_NE(ControlText(dialog, IDC_HIS_SUMMIT_INFO), "");

        ASSERT_EQ(LogContact(dialog, c.update), 1);
        ASSERT_NE(QsoListHead, nullptr);
        EXPECT_EQ(QsoListHead, QsoListTail);
        const QsoEntry &e = *QsoListHead;
        EXPECT_EQ(e.qsoTime, when);
        EXPECT_STREQ(e.hisCall, "QX9ZZ/P");
        EXPECT_STREQ(e.band, "14MHz");
        EXPECT_STREQ(e.mode, "SSB");
        EXPECT_STREQ(e.hisSummit, "QX/AB-001");
        EXPECT_STREQ(e.notes, "R1 QRG:14.285");
        EXPECT_STREQ(e.myCall, "QX1AB/P");
        EXPECT_STREQ(e.mySummit, "QX/AB-002");
        EXPECT_EQ(e.swl, 1);
        EXPECT_EQ(LogModified, 1);

        EXPECT_EQ(ControlText(dialog, IDC_HIS_SUMMIT), c.clearRef ? "" : "QX/AB-001");
        // The field's change refreshes its info text too.
        EXPECT_EQ(ControlText(dialog, IDC_HIS_SUMMIT_INFO) == "", c.clearRef == 1);
        EXPECT_EQ(Selected(IDC_BAND), c.resetBand ? 0 : 1);
        EXPECT_EQ(Selected(IDC_MODE), c.resetBand ? 0 : 1);
        EXPECT_EQ(ControlText(dialog, IDC_HIS_CALL), "");
        EXPECT_EQ(ControlText(dialog, IDC_NOTES), "");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SWL), c.clearSwl ? BST_UNCHECKED : BST_CHECKED);
        EXPECT_EQ(FocusId(), c.autoTime ? IDC_HIS_CALL : IDC_QSO_TIME);
        EXPECT_EQ(Message(), c.update ? "QSO Updated" : "QSO Logged");
        EXPECT_EQ(ControlText(dialog, IDC_MY_SUMMIT), "QX/AB-002");
        EXPECT_EQ(ControlText(dialog, IDC_MY_CALL), "QX1AB/P");
        EXPECT_EQ(ReadFormQsoTime(dialog), when);
    }
}

TEST_F(EntryFormTest, LoggedContactsKeepTheirTimeOrder) {
    const UtcTime times[] = {Day(2020, 5, 5) + 10 * kHour, Day(2020, 5, 5) + 9 * kHour, Day(2020, 5, 6)};
    for (UtcTime t : times) {
        SetQsoTime(t);
        SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX9ZZ");
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "QX/AB-002");
        ASSERT_EQ(LogContact(dialog, 0), 1);
    }
    std::vector<UtcTime> stored;
    for (const QsoEntry *e = QsoListHead; e; e = e->next) stored.push_back(e->qsoTime);
    EXPECT_EQ(stored, (std::vector<UtcTime>{times[1], times[0], times[2]}));
}

TEST_F(EntryFormTest, ClearingEmptiesTheContactButKeepsTheOwnDetails) {
    struct Case {
        int resetBand, autoTime, clearRef, clearSwl;
    };
    // The summit is emptied and the SWL mark kept whatever the on-entry options say.
    const Case cases[] = {{1, 1, 0, 1}, {0, 0, 0, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "resetBand " << c.resetBand << " autoTime " << c.autoTime);
        EditorSettings.ResetBandOnEntry = c.resetBand;
        EditorSettings.AutoTime = c.autoTime;
        EditorSettings.ClearRefOnEntry = c.clearRef;
        EditorSettings.ClearSWLOnEntry = c.clearSwl;
        SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX9ZZ");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-001");
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "QX/AB-002");
        SetDlgItemTextA(dialog, IDC_NOTES, "R1");
        Select(IDC_BAND, "14MHz");
        Select(IDC_MODE, "SSB");
        Select(IDC_MY_CALL, "QX1AB/P");
        CheckDlgButton(dialog, IDC_SWL, BST_CHECKED);
        ShowStatusMessage("before", 0);

        ClearEntryForm(dialog);
        EXPECT_EQ(ControlText(dialog, IDC_HIS_SUMMIT), "");
        EXPECT_EQ(ControlText(dialog, IDC_HIS_CALL), "");
        EXPECT_EQ(ControlText(dialog, IDC_NOTES), "");
        EXPECT_EQ(Selected(IDC_BAND), c.resetBand ? 0 : 1);
        EXPECT_EQ(Selected(IDC_MODE), c.resetBand ? 0 : 1);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SWL), BST_CHECKED);
        EXPECT_EQ(ControlText(dialog, IDC_MY_SUMMIT), "QX/AB-002");
        EXPECT_EQ(ControlText(dialog, IDC_MY_CALL), "QX1AB/P");
        EXPECT_EQ(FocusId(), c.autoTime ? IDC_HIS_CALL : IDC_QSO_TIME);
        EXPECT_EQ(Message(), "before");
        EXPECT_EQ(QsoListHead, nullptr);
        EXPECT_EQ(LogModified, 0);
    }
}

// ---- Summit info texts ----

TEST_F(EntryFormTest, ChasedSummitInfoShowsDistanceAndBearingFromHome) {
    const std::string charlie = std::string(kSummits[2].name).substr(0, 48);
    struct Case {
        const char *ref;
        float homeLatitude, homeLongitude;
        int extendQra, miles, offset;
        std::string text;
    };
    const Case cases[] = {
        {"QX/AB-001", 0, 0, 0, 0, 0, "Alpha Hill [JO51AA]"},
        {"QX/AB-001", 50, 0, 0, 0, 0, "Alpha Hill [JO51AA]"},
        {"QX/AB-001", 0, 10, 1, 0, 0, "Alpha Hill [JO51AA04]"},
        {"QX/AB-001", 50, 10, 0, 0, 0, "Alpha Hill [JO51AA] (113.4km 000deg)"},
        {"QX/AB-001", 50, 10, 1, 1, 7, "Alpha Hill [JO51AA04] (70.5mi 007deg)"},
        {"QX/AB-001", 50, 10, 2, 0, -3, "Alpha Hill [JO51AA04AT] (113.4km -03deg)"},
        {"QX/AB-002", 50, 10, 0, 0, 0, "Bravo Fell [JO41WA] (112.8km 355deg)"},
        {"QX/AB-002", 50, 10, 0, 1, 10, "Bravo Fell [JO41WA] (70.1mi 365deg)"},
        {"QX/AB-003", 50, 10, 2, 0, 0, charlie + " [RE54GM37OE] (18478.8km 078deg)"},
        {"QX/ZZ-999", 50, 10, 0, 0, 0, ""},
        {"QX/AB-0", 50, 10, 0, 0, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, c.ref);
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT_INFO, "stale");
        HomeLatitude = c.homeLatitude;
        HomeLongitude = c.homeLongitude;
        EditorSettings.ExtendQRA = c.extendQra;
        EditorSettings.ShowDistanceAsMiles = c.miles;
        EditorSettings.BearingOffset = c.offset;
        ShowHisSummitInfo(dialog);
        EXPECT_EQ(ControlText(dialog, IDC_HIS_SUMMIT_INFO), c.text);
        EXPECT_EQ(HomeLatitude, c.homeLatitude);
        EXPECT_EQ(HomeLongitude, c.homeLongitude);
    }
}

TEST_F(EntryFormTest, OwnSummitInfoMovesHomeAndRefreshesTheChasedSummit) {
    struct Case {
        const char *what, *mySummit, *myLocator;
        std::string myText;
        float homeLatitude, homeLongitude;   // afterwards; the start is (50, 10)
        std::string hisText;
    };
    const Case cases[] = {
        // Home is the middle of the shown locator's subsquare, not the summit itself.
        {"found", "QX/AB-001", "JO40AA", "Alpha Hill [JO51AA]", 51.020833f, 10.041667f,
         "Bravo Fell [JO41WA] (13.2km 265deg)"},
        {"not found", "QX/ZZ-999", "JO40AA", "", 50.020833f, 8.041667f, ""},
        {"empty, back to the locator", "", "JO40AA", "", 50.020833f, 8.041667f, ""},
        {"empty without a locator", "", "", "", 50, 10, "Bravo Fell [JO41WA] (112.8km 355deg)"},
        {"not found without a locator", "QX/ZZ-999", "", "", 50, 10, "Bravo Fell [JO41WA] (112.8km 355deg)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DbAvailable = 0;   // the fields are filled before the refresh is looked at
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-002");
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT, c.mySummit);
        SetDlgItemTextA(dialog, IDC_MY_SUMMIT_INFO, "stale");
        SetDlgItemTextA(dialog, IDC_HIS_SUMMIT_INFO, "stale");
        DbAvailable = 1;
        snprintf(EditorSettings.MyLocator, sizeof EditorSettings.MyLocator, "%s", c.myLocator);
        HomeLatitude = 50;
        HomeLongitude = 10;
        ShowMySummitInfo(dialog);
        EXPECT_EQ(ControlText(dialog, IDC_MY_SUMMIT_INFO), c.myText);
        EXPECT_NEAR(HomeLatitude, c.homeLatitude, 1e-5);
        EXPECT_NEAR(HomeLongitude, c.homeLongitude, 1e-5);
        const std::string his = ControlText(dialog, IDC_HIS_SUMMIT_INFO);
        if (c.hisText.empty())
            EXPECT_TRUE(his.rfind("Bravo Fell [JO41WA] (", 0) == 0) << his;
        else
            EXPECT_EQ(his, c.hisText);
    }
}

TEST_F(EntryFormTest, EditingASummitFieldRefreshesItsInfo) {
    HomeLatitude = 50;
    HomeLongitude = 10;
    SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "QX/AB-002");
    EXPECT_EQ(ControlText(dialog, IDC_MY_SUMMIT_INFO), "Bravo Fell [JO41WA]");
    SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-001");
    EXPECT_TRUE(ControlText(dialog, IDC_HIS_SUMMIT_INFO).rfind("Alpha Hill [JO51AA] (", 0) == 0);
    SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-00");
    EXPECT_EQ(ControlText(dialog, IDC_HIS_SUMMIT_INFO), "");
}

// For people to look at: both info lines beside their fields over a short log,
// the chased summit's with the longest name the database keeps.
TEST_F(EntryFormTest, ShotOfTheInfoLinesOverALog) {
    const std::string shot = ShotPath("entry_form_info.bmp");
    if (shot.empty()) GTEST_SKIP() << "screenshots are off";
    HWND list = GetDlgItem(dialog, IDC_LOG_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, ~0u, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ASSERT_EQ(InsertLogColumns(list), 1);
    EditorSettings.ClearRefOnEntry = 0;
    const char *calls[] = {"QX9ZZ", "QX2AB/P", "QX3CD", "QX4EF"};
    SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "QX/AB-002");
    SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-001");
    for (int i = 0; i < 4; ++i) {
        SetQsoTime(kMidJune2015 + i * 240);
        SetDlgItemTextA(dialog, IDC_HIS_CALL, calls[i]);
        SetDlgItemTextA(dialog, IDC_NOTES, "R1 QRG:14.285");
        Select(IDC_BAND, "14MHz");
        ASSERT_EQ(LogContact(dialog, 0), 1);
    }
    ASSERT_EQ(RefreshLogList(dialog), 4);
    SetDlgItemTextA(dialog, IDC_HIS_CALL, "QX5GH");
    EditorSettings.ExtendQRA = 2;
    SetDlgItemTextA(dialog, IDC_MY_SUMMIT, "QX/AB-001");
    SetDlgItemTextA(dialog, IDC_HIS_SUMMIT, "QX/AB-003");
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(300);
    EXPECT_EQ(SaveWindowShot(dialog, shot.c_str()), 1);
}

// ---- The date picker of the main window ----

class QsoDatePicker : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        EditorSettings.AutoTime = 0;   // the user picks the date
        window = OpenMainWindow();
        ASSERT_NE(window, nullptr);
        picker = GetDlgItem(window, IDC_QSO_DATE);
    }
    void TearDown() override { ResetEditorState(); }

    void SetDate(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0) const {
        SYSTEMTIME at = {};
        at.wYear = year;
        at.wMonth = month;
        at.wDay = day;
        at.wHour = hour;
        at.wMinute = minute;
        ASSERT_TRUE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at)));
        SendDlgItemMessageA(window, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&at));
    }
    SYSTEMTIME Date() const {
        SYSTEMTIME at = {};
        SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&at));
        return at;
    }
    // The user types a year into the picker's year field, its first field in
    // the format the guard below sets.
    void TypeYear(const char *year) const {
        // The picker chooses no field when it gets the focus; Right then takes the first.
        SetFocus(GetDlgItem(window, IDC_HIS_CALL));
        SetFocus(picker);
        PumpMessages(10);
        SendMessageA(picker, WM_KEYDOWN, VK_RIGHT, 1);
        SendMessageA(picker, WM_KEYUP, VK_RIGHT, 0xC0000001);
        for (const char *digit = year; *digit; ++digit) SendMessageA(picker, WM_CHAR, *digit, 1);
        SendMessageA(picker, WM_KEYDOWN, VK_RIGHT, 1);
        SendMessageA(picker, WM_KEYUP, VK_RIGHT, 0xC0000001);
        PumpMessages(20);
    }

    UserFormats formats{"yyyy-MM-dd", "HH:mm"};
    HWND window = nullptr;
    HWND picker = nullptr;
};

TEST_F(QsoDatePicker, HoldsOnlyTheDaysALogCanHold) {
    SYSTEMTIME range[2] = {};
    EXPECT_EQ(SendMessageA(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)), GDTR_MIN | GDTR_MAX);
    EXPECT_EQ(std::vector<int>({range[0].wYear, range[0].wMonth, range[0].wDay}), std::vector<int>({1970, 1, 1}));
    EXPECT_EQ(std::vector<int>({range[1].wYear, range[1].wMonth, range[1].wDay}), std::vector<int>({2038, 1, 19}));

    struct Case {
        const char *typed;
        int year;   // what the picker holds afterwards
    };
    const Case cases[] = {{"2040", 2037}, {"1969", 2037}, {"2038", 2038}, {"1970", 1970}, {"2025", 2025}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        SetDate(2037, 1, 10);
        TypeYear(c.typed);
        EXPECT_EQ(Date().wYear, c.year);
        EXPECT_EQ(Date().wMonth, 1);
        EXPECT_EQ(Date().wDay, 10);
    }
    const std::string shot = ShotPath("date_picker_refuses_2040.bmp");
    if (!shot.empty()) {
        // 2040 typed and refused; the calendar opened shows where the days end.
        SetDate(2038, 1, 19);
        TypeYear("2040");
        SetFocus(picker);
        RECT box = {};
        GetClientRect(picker, &box);
        const LPARAM arrow = MAKELPARAM(box.right - 6, box.bottom / 2);
        SendMessageA(picker, WM_LBUTTONDOWN, MK_LBUTTON, arrow);
        SendMessageA(picker, WM_LBUTTONUP, 0, arrow);
        PumpMessages(300);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(300);
        EXPECT_EQ(SaveWindowShot(window, shot.c_str()), 1);
        SendMessageA(picker, WM_KEYDOWN, VK_ESCAPE, 1);
        PumpMessages(50);
    }
}

// On the last day a log holds, a time after 03:14 cannot be stored: Log Contact
// says so, puts the focus on the date and stores nothing, checking on or off.
TEST_F(QsoDatePicker, LogContactRefusesATimeOfTheLastDayPastTheLastMinute) {
    for (int refChecking : {1, 0}) {
        SCOPED_TRACE(refChecking);
        EditorSettings.RefChecking = refChecking;
        SetDate(2038, 1, 19, 4, 0);
        SetDlgItemTextA(window, IDC_HIS_CALL, "QX9ZZ");
        SetDlgItemTextA(window, IDC_HIS_SUMMIT, "QX/AB-002");
        SetFocus(GetDlgItem(window, IDC_NOTES));
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_LOG_CONTACT, BN_CLICKED), 0);
        PumpMessages(0);
        EXPECT_EQ(QsoListHead, nullptr);
        EXPECT_EQ(LogModified, 0);
        EXPECT_EQ(Trimmed(StatusPartText(SBP_MESSAGE)),
                  "QSO date 2038-01-19 04:00 cannot be logged: a log holds 1970-01-01 to 2038-01-19 03:14 UTC");
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_QSO_DATE);
        EXPECT_EQ(ControlText(window, IDC_HIS_CALL), "QX9ZZ");
    }
}

// ---- The minute roll-over ----

// A picker that also tells its parent about a time the program sets, as some
// versions of the control do; counts what the program set.
WNDPROC pickerProc = nullptr;
int pickerSets = 0;
LRESULT CALLBACK NotifyingPickerProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(pickerProc, picker, message, wParam, lParam);
    if (message == DTM_SETSYSTEMTIME) {
        ++pickerSets;
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = picker;
        change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(picker));
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.dwFlags = GDT_VALID;
        SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&change.st));
        SendMessageA(GetParent(picker), WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
    }
    return result;
}

class RollOverTest : public EntryFormTest {
protected:
    // The user's step of the minute field: the picker changes its minute alone
    // and tells the form.
    void StepMinute(int minute) const {
        SYSTEMTIME time = PickerTime(IDC_QSO_TIME);
        time.wMinute = static_cast<WORD>(minute);
        SendDlgItemMessageA(dialog, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
        if (!pickerProc) Notify(DTN_DATETIMECHANGE);
    }
    void Notify(UINT code) const {
        NMHDR header = {GetDlgItem(dialog, IDC_QSO_TIME), IDC_QSO_TIME, code};
        SendMessageA(dialog, WM_NOTIFY, IDC_QSO_TIME, reinterpret_cast<LPARAM>(&header));
    }
    void Focus() const {
        SetFocus(GetDlgItem(dialog, IDC_HIS_CALL));
        SetFocus(GetDlgItem(dialog, IDC_QSO_TIME));
        PumpMessages(10);
        Notify(NM_SETFOCUS);   // whether or not the control sent its own
    }
    std::string Shown() const {
        const SYSTEMTIME t = PickerTime(IDC_QSO_TIME);
        char text[16];
        snprintf(text, sizeof text, "%02u:%02u", t.wHour, t.wMinute);
        return text;
    }
    void TearDown() override {
        if (pickerProc)
            SetWindowLongPtrA(GetDlgItem(dialog, IDC_QSO_TIME), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pickerProc));
        pickerProc = nullptr;
        EntryFormTest::TearDown();
    }
};

TEST_F(RollOverTest, TheHourFollowsTheMinuteOverTheTop) {
    struct Case {
        int hour, minute, stepTo;
        const char *shown;
    };
    const Case cases[] = {
        {23, 59, 0, "00:00"}, {0, 0, 59, "23:59"}, {14, 59, 0, "15:00"}, {14, 0, 59, "13:59"},
        {14, 30, 31, "14:31"}, {14, 59, 58, "14:58"},
    };
    const UtcTime day = Day(2019, 12, 31);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shown);
        SetQsoTime(day + c.hour * kHour + c.minute * 60);
        Focus();
        char before[8];
        snprintf(before, sizeof before, "%02d:%02d", c.hour, c.minute);
        ASSERT_STREQ(LastTimeText, before);
        StepMinute(c.stepTo);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_STREQ(LastTimeText, c.shown);
        // The date stays: 23:59 rolls to 00:00 of the same day.
        const SYSTEMTIME date = PickerTime(IDC_QSO_DATE);
        EXPECT_EQ(date.wYear, 2019);
        EXPECT_EQ(date.wMonth, 12);
        EXPECT_EQ(date.wDay, 31);
        EXPECT_EQ(ReadFormQsoTime(dialog), day + atoi(c.shown) * kHour + atoi(c.shown + 3) * 60);
    }
}

TEST_F(RollOverTest, TheUsersArrowKeyOnTheMinuteCarriesTheHour) {
    SetQsoTime(Day(2019, 6, 1) + 14 * kHour + 59 * 60);
    Focus();
    HWND picker = GetDlgItem(dialog, IDC_QSO_TIME);
    // Right to the hour, right to the minute, then up (the control starts with
    // no field chosen); the control itself notifies the form.
    for (WPARAM key : {VK_RIGHT, VK_RIGHT, VK_UP}) {
        SendMessageA(picker, WM_KEYDOWN, key, 1);
        SendMessageA(picker, WM_KEYUP, key, 0xC0000001);
    }
    PumpMessages(20);
    EXPECT_EQ(Shown(), "15:00");
    EXPECT_STREQ(LastTimeText, "15:00");
}

TEST_F(RollOverTest, RepeatedStepsRollOnEachTime) {
    SetQsoTime(Day(2019, 6, 1) + 22 * kHour + 59 * 60);
    Focus();
    StepMinute(0);
    EXPECT_EQ(Shown(), "23:00");
    for (int m = 1; m <= 59; ++m) StepMinute(m);
    EXPECT_EQ(Shown(), "23:59");
    StepMinute(0);
    EXPECT_EQ(Shown(), "00:00");
    StepMinute(59);
    EXPECT_EQ(Shown(), "23:59");
}

TEST_F(RollOverTest, NoRollOverBeforeThePickerHadTheFocus) {
    SetQsoTime(Day(2019, 6, 1) + 23 * kHour + 59 * 60);
    StepMinute(0);
    EXPECT_EQ(Shown(), "23:00");
    // That change is remembered; the next step over the top rolls.
    EXPECT_STREQ(LastTimeText, "23:00");
}

TEST_F(RollOverTest, APickerThatNotifiesItsOwnSetRollsOnce) {
    HWND picker = GetDlgItem(dialog, IDC_QSO_TIME);
    pickerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(picker, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NotifyingPickerProc)));
    SetQsoTime(Day(2019, 6, 1) + 23 * kHour + 59 * 60);
    Focus();
    pickerSets = 0;
    StepMinute(0);
    EXPECT_EQ(Shown(), "00:00");
    EXPECT_STREQ(LastTimeText, "00:00");
    EXPECT_EQ(pickerSets, 2);   // the user's step and the roll-over, nothing more
}

}  // namespace
