// The one-time set-up of the main window. So far: the log list's columns.
#pragma once

#include <windows.h>

// Inserts the eleven columns of the log list (titles ColumnTitles, widths
// ColumnWidths, left-aligned) into listView; 1 when all went in, 0 at the first
// that did not (the later ones are left out).
int InsertLogColumns(HWND listView);
