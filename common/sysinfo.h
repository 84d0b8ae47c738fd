// Windows version, administrator and UAC tests, the process finder, the console
// window finder and timed message boxes. Windows builds only.
#pragma once

#ifdef _WIN32
struct HWND__;
typedef struct HWND__ *HWND;

// 1 when the system reports a major version above 5, else 0.
int IsVistaOrLater(void);

// 1 when the calling thread's token is a member of the built-in Administrators
// group, else 0.
int IsUserAdmin(void);

// 1 when User Account Control is on (the EnableLUA policy value, a number or
// decimal text, is non-zero), else 0; a missing value counts as off.
int IsUacEnabled(void);

// 1 when the main module of some running process that may be queried has the
// base name exeName ("Tarnlog.exe"), compared without regard to case; else 0.
// Every process is looked at, however many run.
int IsProcessRunning(const char *exeName);

// The program's console window, NULL when there is none. Retitles the console
// for about 60 ms to find it, then restores the title.
HWND GetConsoleHwnd(void);

// A message box that closes itself after milliseconds. Returns the box's result,
// or 0 when the system has no timed message box. languageId is cut to 16 bits.
int TimedMessageBoxA(HWND owner, const char *text, const char *caption, unsigned flags, unsigned languageId,
                     unsigned long milliseconds);
int TimedMessageBoxW(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned flags, unsigned languageId,
                     unsigned long milliseconds);
#endif
