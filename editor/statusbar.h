// The main window's five-part status bar: transient messages with their expiry,
// the log's status and file name, the summits database status with its age
// warning, and the UTC clock. What is declared here takes plain types only, so
// the portable log modules call it too (through uihooks.h); the bar's window,
// its timers and their procedures are in statusbar_win.h.
#pragma once

#include "utctime.h"

// Parts, from the left.
constexpr int SBP_LOG_STATUS = 0;
constexpr int SBP_LOG_FILE = 1;
constexpr int SBP_MESSAGE = 2;
constexpr int SBP_DB_STATUS = 3;
constexpr int SBP_CLOCK = 4;

// 1 when the summits database holds summits; every summit lookup is gated by it.
extern int DbAvailable;
extern UtcTime DbLastUpdate;      // -1 while unknown
extern char DbDateText[20];       // "Unknown" until the database is read
extern char DbStatusText[64];
extern char DbStatusTip[64];

// Shows text in the message part for ms milliseconds (0: until the next
// message). A new message replaces the old one and cancels its expiry.
void ShowStatusMessage(const char *text, unsigned ms);

// The beep that follows a failure message (600 Hz, 150 ms).
void ErrorBeep(void);

void SetLogStatus(const char *text);
void ClearLogStatus(void);

// Shows the last component of path in the log file part ("." for none).
void SetLogFileName(const char *path);
void ClearLogFileName(void);

void ShowRefCheckStatus(void);
void UpdateDbStatus(void);
int ShowOutOfMemory(void);
