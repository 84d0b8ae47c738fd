// The contact entry form, the same controls in the main window and the edit
// dialog; every operation takes the dialog that holds them.
#pragma once

#include <windows.h>

// Refill one combo box from the user's list (or the defaults) and select the
// entry equal to select, ignoring case; the first entry when select is NULL or
// matches nothing.
void FillBandCombo(HWND dialog, const char *select);
void FillModeCombo(HWND dialog, const char *select);
void FillMyCallCombo(HWND dialog, const char *select);
