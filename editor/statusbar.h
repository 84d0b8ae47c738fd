// The main window's five-part status bar: transient messages with their expiry,
// the log's status and file name, the summits database status with its age
// warning, and the UTC clock. ShowStatusMessage, ErrorBeep, SetLogFileName and
// DbAvailable are declared in uihooks.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "uihooks.h"
#include "utctime.h"

// Parts, from the left.
constexpr int SBP_LOG_STATUS = 0;
constexpr int SBP_LOG_FILE = 1;
constexpr int SBP_MESSAGE = 2;
constexpr int SBP_DB_STATUS = 3;
constexpr int SBP_CLOCK = 4;

constexpr UINT_PTR IDT_CLOCK = 100;     // on the main window, 1000 ms
constexpr UINT_PTR IDT_MESSAGE = 101;   // thread timer, 200 ms; the system picks the id used

extern HWND StatusBar;
extern uint64_t MessageExpiry;    // FILETIME count (UTC) at which the message goes
extern UINT_PTR MessageTimerId;   // the armed message timer, 0 when none
extern char DbStatusText[64];
extern char DbStatusTip[64];
extern HICON DbStatusIcon;
extern UtcTime DbLastUpdate;      // -1 while unknown
extern char DbDateText[20];       // "Unknown" until the database is read

// Creates the status bar (control IDC_STATUS_BAR) along the bottom of window and
// sets its five part edges from its width; returns it (also kept in StatusBar).
HWND CreateMainStatusBar(HWND window);

void SetLogStatus(const char *text);
void ClearLogStatus(void);
void ClearLogFileName(void);
void ShowRefCheckStatus(void);
void UpdateDbStatus(void);
int ShowOutOfMemory(void);

void CALLBACK ClockTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
void CALLBACK ClearMessageTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
