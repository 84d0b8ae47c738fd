// The main window's log list: rebuilt in full from the QSO list after every
// change to the log, sorted in place by header clicks, drawn in two
// alternating colour pairs.
#include "loglist_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "appstate.h"
#include "qsolist.h"
#include "registry.h"
#include "resource.h"
#include "scoped_win.h"
#include "settings.h"
#include "statusbar.h"
#include "utctime_win.h"

int SortColumn = 0;
int SortAscending = 1;

namespace {

constexpr int kSwlColumn = 10;
constexpr int kBandColumn = 4;
constexpr uint32_t kDescendingFlag = 0x800;

int CALLBACK CompareRows(LPARAM id1, LPARAM id2, LPARAM column) {
    return CompareLogEntries(static_cast<int32_t>(id1), static_cast<int32_t>(id2), static_cast<int>(column));
}

void SortRows(HWND list, int column) {
    SendMessageA(list, LVM_SORTITEMS, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(CompareRows));
}

int ArrowKind() { return SortAscending == 1 ? 1 : 2; }

// The date and time texts of the row before, reused while the day or the
// minute stays the same: formatting dominates the rebuild otherwise, and a log
// holds many contacts per day and often several per minute.
struct TimeTexts {
    int dayKey = -1, minuteKey = -1;
    char date[12] = "";
    char time[10] = "";
};

void FormatTimes(UtcTime t, TimeTexts &texts) {
    SYSTEMTIME at;
    if (!UnixTimeToSystemTime(t, &at)) {
        texts.dayKey = texts.minuteKey = -1;
        texts.date[0] = texts.time[0] = '\0';
        return;
    }
    const int dayKey = at.wYear * 512 + at.wMonth * 32 + at.wDay;
    if (dayKey != texts.dayKey) {
        texts.dayKey = dayKey;
        // A user's format too long for the column's room shows nothing.
        if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &at, nullptr, texts.date, sizeof texts.date))
            texts.date[0] = '\0';
    }
    const int minuteKey = at.wHour * 60 + at.wMinute;
    if (minuteKey != texts.minuteKey) {
        texts.minuteKey = minuteKey;
        if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &at,
                            nullptr, texts.time, sizeof texts.time))
            texts.time[0] = '\0';
    }
}

}  // namespace

void FormatLogListTime(UtcTime t, char (&date)[12], char (&time)[10]) {
    TimeTexts texts;
    FormatTimes(t, texts);
    memcpy(date, texts.date, sizeof date);
    memcpy(time, texts.time, sizeof time);
}

namespace {

// The rows' texts as the last refresh made them: for each row its eleven
// columns one after the other, each ended by a NUL, from RowStart[id - 1] on.
// The list keeps no texts of its own (LPSTR_TEXTCALLBACK) and asks for these
// whenever it shows or hands out a row's text: setting ten texts per row made
// the rebuild of a long log many times slower than the rest of it. They are a
// copy, not the entries themselves, so a row shows what it showed at the
// refresh even when the log changes before the next one.
std::string RowTexts;
std::vector<uint32_t> RowStart;

// The order in which the rows went in, by entry id: RowMadeAs[id - 1] is how
// many went in before it; empty when not known.
std::vector<int32_t> RowMadeAs;

void ForgetRowTexts() {
    std::string().swap(RowTexts);
    std::vector<uint32_t>().swap(RowStart);
}

int32_t MadeAs(LPARAM id) {
    return id >= 1 && static_cast<size_t>(id) <= RowMadeAs.size() ? RowMadeAs[static_cast<size_t>(id - 1)] : -1;
}

int CALLBACK FirstMadeLast(LPARAM id1, LPARAM id2, LPARAM) {
    const int32_t a = MadeAs(id1), b = MadeAs(id2);
    return a < b ? 1 : a > b ? -1 : 0;
}

// Empties the list. While it removes the rows, from the bottom one up, the
// list looks each row's record up among those of the rows still there,
// searching from the one made first: the rows are first put in the order that
// ends each search at once (the row made first at the bottom), which costs far
// less than the searches of a long log would.
void DeleteAllRows(HWND list) {
    if (!RowMadeAs.empty()) SendMessageA(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(FirstMadeLast));
    std::vector<int32_t>().swap(RowMadeAs);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

// The eleven texts of the entry's row, some of them in number, swl and texts.
void ColumnTexts(const QsoEntry *e, TimeTexts &texts, char (&number)[12], char (&swl)[2],
                 const char *(&columns)[kSwlColumn + 1]) {
    snprintf(number, sizeof number, "%d", static_cast<int>(e->id));
    FormatTimes(e->qsoTime, texts);
    swl[0] = e->swl ? 'Y' : ' ';
    swl[1] = '\0';
    const char *const all[kSwlColumn + 1] = {number,  texts.date,   texts.time, e->hisCall, e->band,    e->mode,
                                             e->hisSummit, e->notes, e->myCall, e->mySummit, swl};
    std::copy(std::begin(all), std::end(all), columns);
}

// The texts of every entry's row; false (and none kept) without the memory.
bool KeepRowTexts(int count) try {
    RowTexts.clear();
    RowStart.clear();
    RowStart.reserve(static_cast<size_t>(count));
    TimeTexts texts;
    for (const QsoEntry *e = QsoListHead; e; e = e->next) {
        RowStart.push_back(static_cast<uint32_t>(RowTexts.size()));
        char number[12], swl[2];
        const char *columns[kSwlColumn + 1];
        ColumnTexts(e, texts, number, swl, columns);
        for (const char *text : columns) RowTexts.append(text, strlen(text) + 1);
    }
    return true;
} catch (const std::bad_alloc &) {
    ForgetRowTexts();
    return false;
}

// The kept text of the row of entry id in column, or nullptr.
const char *RowText(LPARAM id, int column) {
    if (id < 1 || static_cast<size_t>(id) > RowStart.size() || column < 0 || column > kSwlColumn) return nullptr;
    const char *text = RowTexts.data() + RowStart[static_cast<size_t>(id - 1)];
    for (int c = 0; c < column; ++c) text += strlen(text) + 1;
    return text;
}

// Puts the entry's row at index and returns the index it got: its texts asked
// for when needed, or, when they could not be kept, set here.
int InsertRow(HWND list, int index, const QsoEntry *entry, TimeTexts &texts, bool textsKept) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACK;
    item.lParam = entry->id;
    if (textsKept) return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));

    char number[12], swl[2];
    const char *columns[kSwlColumn + 1];
    ColumnTexts(entry, texts, number, swl, columns);
    item.pszText = number;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;
    for (int column = 1; column <= kSwlColumn; ++column) {
        LVITEMA text = {};
        text.iSubItem = column;
        text.pszText = const_cast<char *>(columns[column]);
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text));
    }
    return row;
}

// Fills the empty list, newest entry on top as the sort expects to find them.
// Rows go in at the end: inserting each at the top moves every row each time.
// When the sort is known to leave rows that compare equal where they stand,
// they go in already in their sorted order, so the sort has nothing to move.
void FillRows(HWND list, int count) {
    TimeTexts texts;
    const bool textsKept = KeepRowTexts(count);
    std::unique_ptr<QsoEntry *[]> rows(new (std::nothrow) QsoEntry *[count > 0 ? count : 1]);
    if (!rows) {
        // No room for the row order: the slow way, each new row on top.
        for (QsoEntry *e = QsoListHead; e; e = e->next) InsertRow(list, 0, e, texts, textsKept);
        return;
    }
    int at = count;
    for (QsoEntry *e = QsoListHead; e && at > 0; e = e->next) rows[--at] = e;
    const int column = SortColumn;
    // Band numbers closer than 1 compare equal without being one group, so no
    // order of ours would be the one the list's own sort finds for them.
    if (column != kBandColumn)
        std::stable_sort(rows.get() + at, rows.get() + count, [column](const QsoEntry *a, const QsoEntry *b) {
            return CompareLogEntries(a->id, b->id, column) < 0;
        });
    try {
        RowMadeAs.assign(static_cast<size_t>(count), -1);
    } catch (const std::bad_alloc &) {
        // The next refresh empties the list the slow way.
    }
    for (int i = at; i < count; ++i) {
        const int32_t id = rows[i]->id;
        if (InsertRow(list, i - at, rows[i], texts, textsKept) >= 0 && !RowMadeAs.empty() && id >= 1 && id <= count)
            RowMadeAs[static_cast<size_t>(id - 1)] = i - at;
    }
}

}  // namespace

int RefreshLogList(HWND window) {
    HWND list = GetDlgItem(window, IDC_LOG_LIST);
    // No drawing while the rows are rebuilt; on again, and repainted, on the way out.
    ScopedRedrawPause pause(PauseRedraw(list));
    DeleteAllRows(list);

    NumberQsoEntries();
    int n = 0;
    for (const QsoEntry *e = QsoListHead; e; e = e->next) ++n;
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(n), 0);
    FillRows(list, n);

    char status[32];
    if (n == 0)
        snprintf(status, sizeof status, "No entry");
    else if (n == 1)
        snprintf(status, sizeof status, "1 entry");
    else
        snprintf(status, sizeof status, "%d entries", n);
    SetLogStatus(status);

    SortRows(list, SortColumn);
    SetSortArrow(list, SortColumn, ArrowKind());
    return n;
}

void SetSortColumn(NMLISTVIEW *record) {
    // "Line", "Date" and "Time" all sort by time, through the date column.
    if (record->iSubItem == 0 || record->iSubItem == 2) record->iSubItem = 1;
    SetSortArrow(GetDlgItem(MainWindow, IDC_LOG_LIST), SortColumn, 0);
    if (record->iSubItem == SortColumn)
        SortAscending = !SortAscending;
    else
        SortColumn = record->iSubItem;
    const uint32_t stored = static_cast<uint32_t>(SortColumn) | (SortAscending ? 0 : kDescendingFlag);
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "SortByColumn", stored);
}

int SetSortArrow(HWND listView, int column, int kind) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView, LVM_GETHEADER, 0, 0));
    if (!header) return 0;
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) return 0;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (kind == 1)
        item.fmt |= HDF_SORTUP;
    else if (kind == 2)
        item.fmt |= HDF_SORTDOWN;
    return static_cast<int>(
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)));
}

LRESULT DrawLogListItem(NMLVCUSTOMDRAW *record) {
    switch (record->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // By display position, so the rows alternate whatever the sort.
        if (record->nmcd.dwItemSpec & 1) {
            record->clrText = EditorSettings.AltListTXTColour;
            record->clrTextBk = EditorSettings.AltListColour;
        } else {
            record->clrText = EditorSettings.PriListTXTColour;
            record->clrTextBk = EditorSettings.PriListColour;
        }
        return CDRF_NEWFONT;
    default:
        return CDRF_DODEFAULT;
    }
}

void SortOnColumnClick(NMLISTVIEW *record) {
    SetSortColumn(record);
    HWND list = GetDlgItem(MainWindow, IDC_LOG_LIST);
    SortRows(list, record->iSubItem);
    SetSortArrow(list, SortColumn, ArrowKind());
}

void GiveLogListText(NMLVDISPINFOA *record) {
    LVITEMA &asked = record->item;
    if (!(asked.mask & LVIF_TEXT) || !asked.pszText || asked.cchTextMax <= 0) return;
    LVITEMA row = {};
    row.mask = LVIF_PARAM;
    row.iItem = asked.iItem;
    const char *text = nullptr;
    if (SendMessageA(record->hdr.hwndFrom, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)))
        text = RowText(row.lParam, asked.iSubItem);
    lstrcpynA(asked.pszText, text ? text : "", asked.cchTextMax);
}
