// The log list's operations on the window (the sort state is in loglist.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "loglist.h"
#include "utctime.h"

// Refills the list of window from the QSO list, numbering the entries 1..n, sets
// the log status and sorts; returns n.
int RefreshLogList(HWND window);

// A header click: chooses the sort column and direction, clears the old arrow
// and stores SortByColumn. Clicks on "Line" and "Time" become clicks on "Date".
void SetSortColumn(NMLISTVIEW *record);

// kind 1 up, 2 down, anything else none; the header update's result, 0 when
// the header or its column cannot be read.
int SetSortArrow(HWND listView, int column, int kind);

// A contact's time as its row shows it: the user's short date and the 24-hour
// time without seconds, both in UTC; empty texts when t cannot be shown.
void FormatLogListTime(UtcTime t, char (&date)[12], char (&time)[10]);

// The answer to the list's LVN_GETDISPINFO: the row's text in the asked column
// as the last RefreshLogList made it (its rows keep none of their own).
void GiveLogListText(NMLVDISPINFOA *record);

// The answer to the list's NM_CUSTOMDRAW, to be stored as the dialog's message result.
LRESULT DrawLogListItem(NMLVCUSTOMDRAW *record);

// What the main window does on LVN_COLUMNCLICK: SetSortColumn, sort the rows in
// place, set the arrow.
void SortOnColumnClick(NMLISTVIEW *record);
