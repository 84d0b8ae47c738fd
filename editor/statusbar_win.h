// The status bar's window, its timers and their procedures: the part of the
// status bar module that needs window types (the rest is in statusbar.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "statusbar.h"

constexpr UINT_PTR IDT_CLOCK = 100;     // on the main window, 1000 ms
constexpr UINT_PTR IDT_MESSAGE = 101;   // thread timer, 200 ms; the system picks the id used

extern HWND StatusBar;            // made by CreateMainStatusBar (mainsetup.h)
extern uint64_t MessageExpiry;    // FILETIME count (UTC) at which the message goes
extern UINT_PTR MessageTimerId;   // the armed message timer, 0 when none
extern HICON DbStatusIcon;

void CALLBACK ClockTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
void CALLBACK ClearMessageTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
