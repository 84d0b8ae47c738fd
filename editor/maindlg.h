// The main window's procedure: what every menu item, accelerator key, button
// and notification of the main window does, and its answers when Windows logs
// off or shuts down.
#pragma once

#include <windows.h>

// The row of the log list selected at the last mouse click on it, -1 when none.
extern int SelectedListIndex;

// Paths built from the program folder (help file, updater) have 271 characters of room.
constexpr int kUpdaterPathSize = 272;

// The updater the database update closed the editor for: start-up starts it
// with "/update-now" once the editor has ended. Empty when none is due; the
// close that the user refuses empties it again.
extern char PendingUpdater[kUpdaterPathSize];

// Procedure of the modeless main dialog IDD_MAIN. Results that a message needs
// (custom draw, the end-session queries) are its DWLP_MSGRESULT.
INT_PTR CALLBACK MainDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sends WM_CLOSE to window.
void SendClose(HWND window);
