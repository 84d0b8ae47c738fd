// The main window's log list: rebuilt in full from the QSO list after every
// change to the log, sorted in place by header clicks, drawn in two
// alternating colour pairs.
#include "loglist_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

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

// Puts the entry's row at index and returns the index it got.
int InsertRow(HWND list, int index, QsoEntry *entry, TimeTexts &texts) {
    char number[12];
    snprintf(number, sizeof number, "%d", static_cast<int>(entry->id));
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = number;
    item.lParam = entry->id;
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;

    FormatTimes(entry->qsoTime, texts);
    char swl[2] = {entry->swl ? 'Y' : ' ', '\0'};
    char *const columns[] = {texts.date,      texts.time,   entry->hisCall, entry->band,
                             entry->mode,     entry->hisSummit, entry->notes, entry->myCall,
                             entry->mySummit, swl};
    for (int column = 1; column <= kSwlColumn; ++column) {
        LVITEMA text = {};
        text.iSubItem = column;
        text.pszText = columns[column - 1];
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
    std::unique_ptr<QsoEntry *[]> rows(new (std::nothrow) QsoEntry *[count > 0 ? count : 1]);
    if (!rows) {
        // No room for the row order: the slow way, each new row on top.
        for (QsoEntry *e = QsoListHead; e; e = e->next) InsertRow(list, 0, e, texts);
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
    for (int i = at; i < count; ++i) InsertRow(list, i - at, rows[i], texts);
}

}  // namespace

int RefreshLogList(HWND window) {
    HWND list = GetDlgItem(window, IDC_LOG_LIST);
    // No drawing while the rows are rebuilt; on again, and repainted, on the way out.
    ScopedRedrawPause pause(PauseRedraw(list));
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);

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
