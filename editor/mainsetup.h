// The one-time set-up of the main window: everything its dialog template does
// not hold (place, icons, logo, status bar and clock, database status, the log
// list's columns, the menu bar with its item bitmaps, limits, combos, tool tips,
// the log named at start and the focus).
#pragma once

#include <windows.h>

// Runs once inside the main window's WM_INITDIALOG, while MainWindow is still
// unset. 1 when the window is set up. 0 when something it cannot go without
// (the status bar, the menus) could not be made: the window has then been
// destroyed, so what CreateDialogParamA hands back is no window (NULL, or a
// handle IsWindow refuses) and start-up reports the failed creation.
int InitMainWindow(HWND window);

// Creates the status bar (control IDC_STATUS_BAR) along the bottom of window and
// sets its five part edges from its width; returns it (also kept in StatusBar).
HWND CreateMainStatusBar(HWND window);

// Inserts the eleven columns of the log list (titles ColumnTitles, widths
// ColumnWidths, left-aligned) into listView; 1 when all went in, 0 at the first
// that did not (the later ones are left out).
int InsertLogColumns(HWND listView);

// A copy of bitmap for a menu item: every pixel of the colour of its top-left
// pixel becomes the menu colour. The source is left as it is (a shared
// resource); the caller keeps the copy. NULL when it cannot be made.
HBITMAP MakeMenuBitmap(HBITMAP bitmap);
