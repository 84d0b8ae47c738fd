// The log list on the main window's real list view under Wine: rows and their
// texts, numbering, the log status, sorting by mouse clicks on the header with
// the arrows and the stored SortByColumn, and the colours of custom draw, both
// as answered to the list and as painted on screen. What the rows show and
// hand out is checked against a plain list filled the plain way: each row on
// top with its texts set, then sorted.
#include "loglist_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "appstate.h"
#include "gui/harness.h"
#include "gui/shots.h"
#include "mainsetup.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "statusbar_win.h"
#include "support/testregistry.h"
#include "support/testtime.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
constexpr UtcTime kHour = 3600, kMinute = 60;

std::vector<int> ArrowOn(int column, int kind) {
    std::vector<int> arrows(kLogColumnCount, 0);
    arrows[static_cast<size_t>(column)] = kind;
    return arrows;
}

class LogList : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        TestCreateKey(SettingsKey);
        window_ = OpenMainWindowHost();
        ASSERT_NE(window_, nullptr);
        list_ = GetDlgItem(window_, IDC_LOG_LIST);
        ASSERT_NE(list_, nullptr);
    }
    void TearDown() override { ResetEditorState(); }

    static QsoEntry *Add(UtcTime t, const char *call, const char *band = "14MHz", const char *mode = "CW",
                         int swl = 0) {
        QsoEntry *e = InsertQsoEntry(0, t, call, band, mode, "VA/AA-001", "", "QX9ZZ", "", swl);
        EXPECT_NE(e, nullptr);
        return e;
    }

    // The first column of every row, top to bottom.
    std::vector<std::string> LineOrder() const {
        std::vector<std::string> lines;
        for (const auto &row : ListRows(list_)) lines.push_back(row.at(0));
        return lines;
    }

    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

int CALLBACK CompareForReference(LPARAM id1, LPARAM id2, LPARAM column) {
    return CompareLogEntries(static_cast<int32_t>(id1), static_cast<int32_t>(id2), static_cast<int>(column));
}

// The log as a list whose rows hold their own texts shows it: every entry
// inserted on top with its number and id, its ten other texts set one by one,
// then the rows sorted by column. A plain list of the window, so nothing
// answers for it.
class ReferenceList {
public:
    explicit ReferenceList(HWND parent)
        : list_(CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 400, 100, parent,
                                reinterpret_cast<HMENU>(4711), AppInstance, nullptr)) {
        InsertLogColumns(list_);
    }
    ~ReferenceList() { DestroyWindow(list_); }
    ReferenceList(const ReferenceList &) = delete;
    ReferenceList &operator=(const ReferenceList &) = delete;

    void Fill(int column) {
        SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
        for (const QsoEntry *e = QsoListHead; e; e = e->next) {
            std::string number = std::to_string(e->id);
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = 0;
            item.pszText = number.data();
            item.lParam = e->id;
            const LRESULT row = SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            char date[12], time[10];
            FormatLogListTime(e->qsoTime, date, time);
            const std::string texts[] = {date,         time,     e->hisCall, e->band,     e->mode,
                                         e->hisSummit, e->notes, e->myCall,  e->mySummit, e->swl ? "Y" : " "};
            for (int c = 1; c < kLogColumnCount; ++c) {
                std::string text = texts[c - 1];
                LVITEMA cell = {};
                cell.iSubItem = c;
                cell.pszText = text.data();
                SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
            }
        }
        Sort(column);
    }
    void Sort(int column) {
        SendMessageA(list_, LVM_SORTITEMS, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(CompareForReference));
    }
    HWND Handle() const { return list_; }

private:
    HWND list_;
};

// Each row's item data and the number in its first column read as the edit
// dialog and Delete read it (a buffer of 10), then the entry found by it.
struct RowKey {
    LPARAM data;
    int number;
    int32_t entryId;   // 0: no entry with that number
    bool operator==(const RowKey &) const = default;
};
std::vector<RowKey> RowKeys(HWND list) {
    std::vector<RowKey> keys;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        char text[10] = "";
        LVITEMA number = {};
        number.pszText = text;
        number.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&number));
        const QsoEntry *e = FindQsoEntry(atoi(text), nullptr);
        keys.push_back({item.lParam, atoi(text), e ? e->id : 0});
    }
    return keys;
}

// A log whose every column has ties, blanks, letter case and the longest texts.
void AddVariedLog() {
    const char *calls[] = {"QX1AB/P", "qx1ab/p", "QX2CD", "QX10ZZZ/MM", "QX3EF"};
    const char *bands[] = {"14MHz", "7MHz", "144MHz", "14MHz", "2m"};
    const char *modes[] = {"CW", "SSB", "FM", "cw"};
    const char *summits[] = {"VA/AA-001", "", "VA/AB-012", "va/aa-001"};
    const std::string longNote(kQsoNotesLen, 'n');
    for (int i = 0; i < 37; ++i) {
        // Some contacts share their minute, some their day; one time unreadable.
        const UtcTime t = i == 5 ? -1 : Day(2024, 3 + i % 4, 1 + i % 3) + (i % 5) * 23 * kHour / 4 + (i % 2) * kMinute;
        const std::string notes = i % 9 == 0 ? longNote : i % 2 ? "" : "QRG:14.062 s" + std::to_string(i % 3);
        ASSERT_NE(InsertQsoEntry(0, t, calls[i % 5], bands[i % 5], modes[i % 4], summits[i % 4], notes.c_str(),
                                 i % 3 ? "QX9ZZ" : "QX9ZZ/P", summits[(i + 1) % 4], i % 4 == 0),
                  nullptr);
    }
}

// Every column of every row, their order after a refresh with each sort and
// after each header click, and what the other modules read from the rows, as
// a list whose rows hold their own texts gives them, in two users' formats.
TEST_F(LogList, RowsShowAndHandOutWhatTextsSetPerRowGive) {
    AddVariedLog();
    ReferenceList reference(window_);
    const char *const formats[][2] = {{"dd/MM/yyyy", "HH:mm:ss"}, {"yyyy.M.d", "H.mm.ss"}};
    for (const auto &format : formats) {
        SCOPED_TRACE(format[0]);
        UserFormats user(format[0], format[1]);
        for (int column = 0; column < kLogColumnCount; ++column)
            for (int ascending : {1, 0}) {
                SCOPED_TRACE("refresh sorted by " + std::to_string(column) + (ascending ? " up" : " down"));
                SortColumn = column;
                SortAscending = ascending;
                ASSERT_EQ(RefreshLogList(window_), 37);
                reference.Fill(column);
                EXPECT_EQ(ListRows(list_), ListRows(reference.Handle()));
                const std::vector<RowKey> keys = RowKeys(list_);
                EXPECT_EQ(keys, RowKeys(reference.Handle()));
                for (const RowKey &key : keys) EXPECT_TRUE(key.data == key.number && key.entryId == key.number);
            }
        for (int click = 0; click < kLogColumnCount; ++click) {
            SCOPED_TRACE("click on " + std::to_string(click));
            ClickColumnHeader(list_, click);
            reference.Sort(SortColumn);
            EXPECT_EQ(ListRows(list_), ListRows(reference.Handle()));
            EXPECT_EQ(RowKeys(list_), RowKeys(reference.Handle()));
        }
    }
}

// Between a change to the log and the next refresh the rows still show and
// hand out what the last refresh put there, as texts kept by the list would.
TEST_F(LogList, RowsShowTheLastRefreshUntilTheNext) {
    AddVariedLog();
    ASSERT_EQ(RefreshLogList(window_), 37);
    const Rows before = ListRows(list_);
    const std::vector<RowKey> keysBefore = RowKeys(list_);

    QsoEntry *changed = FindQsoEntry(3, nullptr);
    ASSERT_NE(changed, nullptr);
    strcpy(changed->hisCall, "QX7XX");
    strcpy(changed->notes, "edited");
    ASSERT_EQ(DeleteQsoEntry(4), 0);
    QsoEntry *added = Add(Day(2023, 1, 1), "QX8YY");
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ListRows(list_), before);
    EXPECT_EQ(added->id, 0);
    // Row data as before; only the entries found by the old numbers differ.
    const std::vector<RowKey> keys = RowKeys(list_);
    ASSERT_EQ(keys.size(), keysBefore.size());
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i].number, keysBefore[i].number);

    ASSERT_EQ(RefreshLogList(window_), 37);
    ReferenceList reference(window_);
    reference.Fill(SortColumn);
    EXPECT_EQ(ListRows(list_), ListRows(reference.Handle()));
    EXPECT_EQ(RowKeys(list_), RowKeys(reference.Handle()));
    ASSERT_GT(added->id, 0);
    bool shown = false;
    for (const auto &row : ListRows(list_)) shown |= row.at(0) == std::to_string(added->id) && row.at(3) == "QX8YY";
    EXPECT_TRUE(shown);
}

TEST_F(LogList, HasElevenLeftAlignedColumnsWithTheirTitlesAndWidths) {
    EditorSettings.ColumnWidths[7] = 333;   // as a stored LogColumnSize gives it
    HWND fresh = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 400, 100, window_, nullptr,
                                 AppInstance, nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(InsertLogColumns(fresh), 1);
    const std::vector<std::string> titles = {"Line",    "Date",  "Time",    "Callsign",  "Band", "Mode",
                                             "Summit",  "Notes", "My Call", "My Summit", "SWL"};
    for (int i = 0; i < kLogColumnCount; ++i) {
        SCOPED_TRACE(i);
        char text[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(fresh, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(text, titles[static_cast<size_t>(i)]);
        EXPECT_EQ(column.cx, EditorSettings.ColumnWidths[i]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        EXPECT_EQ(column.iSubItem, i);
    }
    EXPECT_EQ(HeaderArrows(fresh).size(), static_cast<size_t>(kLogColumnCount));
    DestroyWindow(fresh);
}

TEST_F(LogList, ShowsEveryEntryNumberedInTimeOrderWithTheCountInTheStatus) {
    struct Case {
        int entries;
        const char *status;
    };
    const Case cases[] = {{0, "No entry"}, {1, "1 entry"}, {2, "2 entries"}, {250, "250 entries"}, {0, "No entry"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entries);
        ClearQsoList();
        // Inserted out of time order: the list keeps them in time order.
        for (int i = 0; i < c.entries; ++i)
            Add(Day(2024, 5, 1) + ((i * 37) % c.entries) * kMinute, ("QX" + std::to_string(i)).c_str());
        EXPECT_EQ(RefreshLogList(window_), c.entries);

        EXPECT_EQ(StatusPartText(SBP_LOG_STATUS), std::string(c.status) + std::string(28 - strlen(c.status), ' '));
        EXPECT_EQ(StatusPartTip(SBP_LOG_STATUS), "Log Status");
        const Rows rows = ListRows(list_);
        ASSERT_EQ(rows.size(), static_cast<size_t>(c.entries));
        int position = 0;
        UtcTime previous = -1;
        for (const QsoEntry *e = QsoListHead; e; e = e->next) {
            ++position;
            EXPECT_EQ(e->id, position);
            EXPECT_GE(e->qsoTime, previous);
            previous = e->qsoTime;
            // With no stored sort the view is in line order, so row i shows entry i + 1.
            EXPECT_EQ(rows[static_cast<size_t>(position - 1)][0], std::to_string(position));
            EXPECT_EQ(rows[static_cast<size_t>(position - 1)][3], e->hisCall);
        }
        // No SortByColumn stored: by "Line", ascending, arrow up on "Line".
        EXPECT_EQ(HeaderArrows(list_), ArrowOn(0, 1));
    }
}

TEST_F(LogList, RowsShowTheFieldsWithUtcTimesInTheUsersFormat) {
    const UtcTime lateEvening = Day(2024, 6, 1) + 23 * kHour + 30 * kMinute;
    ASSERT_NE(InsertQsoEntry(0, lateEvening, "QX1AB/P", "14MHz", "CW", "VA/AA-001", "QRG:14.062 nice signal",
                             "QX9ZZ", "VA/AB-012", 0),
              nullptr);
    ASSERT_NE(InsertQsoEntry(0, lateEvening + 35 * kMinute, "QX2CD", "144MHz", "FM", "", "", "QX9ZZ/P", "", 1),
              nullptr);
    struct Case {
        const char *shortDate, *timeFormat;
        const char *date1, *time1, *date2, *time2;
    };
    const Case cases[] = {
        {"yyyy-MM-dd", "HH:mm:ss", "2024-06-01", "23:30", "2024-06-02", "00:05"},
        {"dd.MM.yyyy", "H.mm.ss", "01.06.2024", "23.30", "02.06.2024", "0.05"},
        {"M/d/yy", "hh:mm:ss tt", "6/1/24", "23:30", "6/2/24", "00:05"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shortDate);
        UserFormats formats(c.shortDate, c.timeFormat);
        ASSERT_EQ(RefreshLogList(window_), 2);
        const Rows expected = {
            {"1", c.date1, c.time1, "QX1AB/P", "14MHz", "CW", "VA/AA-001", "QRG:14.062 nice signal", "QX9ZZ",
             "VA/AB-012", " "},
            {"2", c.date2, c.time2, "QX2CD", "144MHz", "FM", "", "", "QX9ZZ/P", "", "Y"},
        };
        EXPECT_EQ(ListRows(list_), expected);
    }
}

TEST_F(LogList, HeaderClicksSortInPlaceMoveTheArrowAndStoreTheChoice) {
    // Each column orders these three differently from time order.
    Add(Day(2024, 7, 1), "QX3CC", "7MHz");
    Add(Day(2024, 7, 2), "QX1AA", "144MHz");
    Add(Day(2024, 7, 3), "qx2bb", "14MHz");
    ASSERT_EQ(RefreshLogList(window_), 3);
    ASSERT_EQ(LineOrder(), (std::vector<std::string>{"1", "2", "3"}));

    struct Step {
        int click;
        int column;
        bool ascending;
        std::vector<std::string> lines;   // empty: the order is not defined
    };
    const Step steps[] = {
        {4, 4, true, {"1", "3", "2"}},        // Band, by frequency: 7, 14, 144
        {4, 4, false, {"2", "3", "1"}},       // again: the other way round
        {0, 1, false, {"3", "2", "1"}},       // Line sorts by Date, keeping the direction
        {2, 1, true, {"1", "2", "3"}},        // Time is Date too, so this turns it round
        {1, 1, false, {"3", "2", "1"}},
        {3, 3, false, {"1", "3", "2"}},       // Callsign, ignoring case, descending
        {10, 10, false, {}},                  // SWL: every row equal
    };
    for (const Step &s : steps) {
        SCOPED_TRACE("click on column " + std::to_string(s.click));
        ClickColumnHeader(list_, s.click);
        EXPECT_EQ(SortColumn, s.column);
        EXPECT_EQ(SortAscending, s.ascending ? 1 : 0);
        EXPECT_EQ(TestReadDword(SettingsKey, "SortByColumn"), s.column + (s.ascending ? 0 : 0x800));
        EXPECT_EQ(HeaderArrows(list_), ArrowOn(s.column, s.ascending ? 1 : 2));
        if (!s.lines.empty()) {
            EXPECT_EQ(LineOrder(), s.lines);
        }
        // Sorting moves whole rows and renumbers nothing.
        for (const auto &row : ListRows(list_)) {
            const QsoEntry *e = FindQsoEntry(std::stoi(row.at(0)), nullptr);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(row.at(3), e->hisCall);
        }
    }
}

TEST_F(LogList, ARefreshKeepsTheStoredSortAndRenumbersByTime) {
    SortColumn = 4;   // Band, descending, as SortByColumn 0x804 loads
    SortAscending = 0;
    Add(Day(2024, 8, 2), "QX1AA", "7MHz");
    Add(Day(2024, 8, 3), "QX2BB", "144MHz");
    ASSERT_EQ(RefreshLogList(window_), 2);
    EXPECT_EQ(LineOrder(), (std::vector<std::string>{"2", "1"}));
    EXPECT_EQ(HeaderArrows(list_), ArrowOn(4, 2));

    // Logged before the next refresh: no number yet; then the earliest becomes line 1.
    QsoEntry *early = Add(Day(2024, 8, 1), "QX0ZZ", "14MHz");
    EXPECT_EQ(early->id, 0);
    ASSERT_EQ(RefreshLogList(window_), 3);
    EXPECT_EQ(early->id, 1);
    const Rows rows = ListRows(list_);
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::pair<std::string, std::string>> shown = {
        {rows[0][0], rows[0][3]}, {rows[1][0], rows[1][3]}, {rows[2][0], rows[2][3]}};
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{{"3", "QX2BB"}, {"1", "QX0ZZ"}, {"2", "QX1AA"}}));
    EXPECT_EQ(StatusPartText(SBP_LOG_STATUS).substr(0, 9), "3 entries");
    // A refresh stores nothing: only a header click does.
    EXPECT_EQ(TestReadDword(SettingsKey, "SortByColumn"), -1);
}

// The answers the main window gives the list's custom-draw notification.
TEST_F(LogList, CustomDrawAnswersTheRowColoursByDisplayPosition) {
    EditorSettings.PriListTXTColour = 0x000080;
    EditorSettings.PriListColour = 0xF0F0FF;
    EditorSettings.AltListTXTColour = 0x008000;
    EditorSettings.AltListColour = 0xE0FFE0;
    struct Case {
        DWORD stage;
        DWORD_PTR row;
        LRESULT answer;
        COLORREF text, back;   // CLR_NONE: left alone
    };
    const Case cases[] = {
        {CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW, CLR_NONE, CLR_NONE},
        {CDDS_ITEMPREPAINT, 0, CDRF_NEWFONT, 0x000080, 0xF0F0FF},
        {CDDS_ITEMPREPAINT, 1, CDRF_NEWFONT, 0x008000, 0xE0FFE0},
        {CDDS_ITEMPREPAINT, 2, CDRF_NEWFONT, 0x000080, 0xF0F0FF},
        {CDDS_ITEMPREPAINT, 7, CDRF_NEWFONT, 0x008000, 0xE0FFE0},
        {CDDS_ITEMPOSTPAINT, 1, CDRF_DODEFAULT, CLR_NONE, CLR_NONE},
        {CDDS_POSTPAINT, 0, CDRF_DODEFAULT, CLR_NONE, CLR_NONE},
        {CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, CDRF_DODEFAULT, CLR_NONE, CLR_NONE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("stage " + std::to_string(c.stage) + " row " + std::to_string(c.row));
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = list_;
        draw.nmcd.hdr.idFrom = IDC_LOG_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = c.stage;
        draw.nmcd.dwItemSpec = c.row;
        draw.clrText = draw.clrTextBk = CLR_NONE;
        EXPECT_EQ(SendMessageA(window_, WM_NOTIFY, IDC_LOG_LIST, reinterpret_cast<LPARAM>(&draw)), c.answer);
        EXPECT_EQ(draw.clrText, c.text);
        EXPECT_EQ(draw.clrTextBk, c.back);
    }
}

// What the screen shows: the top row in the line 1 colours whatever the sort.
TEST_F(LogList, PaintedRowsAlternateFromTheTopWhateverTheSort) {
    EditorSettings.PriListColour = 0xF0D0A0;
    EditorSettings.AltListColour = 0x90E090;
    for (int i = 0; i < 5; ++i) Add(Day(2024, 9, 1) + i * kMinute, "QX1AB");
    auto backgroundOf = [this](int row) {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        HDC dc = GetDC(list_);
        // Right of the short line number, clear of the grid lines.
        const COLORREF colour = GetPixel(dc, EditorSettings.ColumnWidths[0] - 6, (r.top + r.bottom) / 2);
        ReleaseDC(list_, dc);
        return colour;
    };
    for (int ascending : {1, 0}) {
        SCOPED_TRACE(ascending ? "ascending" : "descending");
        SortAscending = ascending;
        ASSERT_EQ(RefreshLogList(window_), 5);
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpMessages(50);
        EXPECT_EQ(LineOrder().front(), ascending ? "1" : "5");
        for (int row = 0; row < 5; ++row) {
            SCOPED_TRACE(row);
            EXPECT_EQ(backgroundOf(row), row % 2 ? 0x90E090u : 0xF0D0A0u);
        }
    }

    // For people to look at: the window with its list and every status part in use.
    const std::string shot = ShotPath("main_window_log.bmp");
    if (!shot.empty()) {
        SetLogFileName("C:\\Logs\\summer-2024.csv");
        ShowStatusMessage("Log opened (All Ok)", 0);
        snprintf(DbStatusText, sizeof DbStatusText, "%-32s", "18/03/2025 (180000)");
        DbStatusIcon = static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_FL_DBICON), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                     LR_SHARED));
        ShowRefCheckStatus();
        ClockTimerProc(window_, WM_TIMER, IDT_CLOCK, 0);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(300);
        EXPECT_EQ(SaveWindowShot(window_, shot.c_str()), 1);
    }
}

}  // namespace
