// The contact entry form, the same controls in the main window and the edit
// dialog; every operation takes the dialog that holds them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "utctime.h"

// The own position in degrees (north, east): set at start from MyLocator and moved
// by the own summit's info. Both non-zero: a home position exists.
extern float HomeLatitude, HomeLongitude;

// What the time picker showed before its current change (as 14:05); written
// only by RollQsoTimeMinute. Empty until the picker first had the focus.
extern char LastTimeText[8];

// Limits the date picker to the days a log can hold, 1970-01-01 to 2038-01-19.
void LimitQsoDate(HWND dialog);

// The day of the date picker and the hour and minute of the time picker, as
// UTC with seconds 0; -1 when that moment cannot be represented.
UtcTime ReadFormQsoTime(HWND dialog);

// 1 when the form holds a contact that may be stored; 0 after the reason was
// shown in the status bar with a beep (and the focus put on the faulty
// callsign or summit field, or on the date picker for a time no log holds).
int ValidateEntryForm(HWND dialog);

// Stores the form as a new contact and resets the form by the on-entry
// options; update non-zero only changes the status text to "QSO Updated".
// 1, or 0 when the contact could not be stored (the form is then kept).
int LogContact(HWND dialog, int update);

// Empties the form for a new contact; the own summit, own call and SWL mark stay.
void ClearEntryForm(HWND dialog);

// Refill one combo box from the user's list (or the defaults) and select the
// entry equal to select, ignoring case; the first entry when select is NULL or
// matches nothing.
void FillBandCombo(HWND dialog, const char *select);
void FillModeCombo(HWND dialog, const char *select);
void FillMyCallCombo(HWND dialog, const char *select);

// The texts beside the summit fields: name and locator, for the chased summit
// with distance and bearing from the home position when there is one. The own
// summit's refresh moves the home position to its locator (back to MyLocator
// without one) and then refreshes the chased summit's text. Callers call them
// only while DbAvailable.
void ShowHisSummitInfo(HWND dialog);
void ShowMySummitInfo(HWND dialog);

// The time picker's WM_NOTIFY: NM_SETFOCUS remembers its text, and a change
// of the minute from 59 to 00 (or back) carries the hour along.
void RollQsoTimeMinute(HWND dialog, const NMHDR *notification);
