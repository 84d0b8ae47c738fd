// The settings that reach windows and menus: the recent-log popup, the main
// window's place and the log list's column widths. Apart from settings.h so
// that the portable modules never see a window type.
#pragma once

#include <windows.h>

#include "settings.h"

// The "Recent logs" popup and the image of its clear item; the main window's
// set-up makes them, BuildRecentLogMenu fills the popup.
extern HMENU RecentLogMenu;
extern HBITMAP ClearHistoryBitmap;

// Left and Top of the window, its restored place when it is minimised.
void SaveWindowPosition(HWND window);

// Takes the widths of the log list's columns (IDC_LOG_LIST) into ColumnWidths;
// a column that answers 0 keeps its width.
void CaptureLogColumnWidths(HWND window);
