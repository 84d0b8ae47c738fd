// The main window's log list (IDC_LOG_LIST): rebuilt from the QSO list after
// every change, sorted by header clicks, drawn in alternating colours. Here the
// sort state, which the QSO list's comparison reads too;
// the list's operations take window types and are in loglist_win.h.
#pragma once

// Loaded from SortByColumn at start, changed only by SetSortColumn.
extern int SortColumn;      // the column the list is sorted by (SortByColumn's low byte)
extern int SortAscending;   // 1 ascending (up arrow), 0 descending (SortByColumn's bit 0x800)
