// The editor's program-wide window state: the module, the main window, the
// program's paths and the pictures every dialog shares. One GUI thread reads
// and writes all of it.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;   // the module the resources come from
extern HWND MainWindow;         // the main dialog; NULL until its creation returns
extern HICON AppIcon;           // small icon of every dialog; NULL until the main window's set-up
extern HBITMAP LogoBitmap;      // the logo chosen at start, NULL when none loaded

// The program's path, its folder and the CA bundle beside it (259 characters each).
extern char ModulePath[MAX_PATH];
extern char ProgramDirectory[MAX_PATH];
extern char CaBundlePath[MAX_PATH];

// The menu bar and its popups, made by the main window's set-up (the "Recent
// logs" popup is RecentLogMenu of settings_win.h).
extern HMENU MainMenu;
extern HMENU FileMenu;
extern HMENU OptionsMenu;
extern HMENU HelpMenu;
