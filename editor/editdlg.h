// The edit dialog of one logged contact (dialog IDD_EDIT_ENTRY): the entry
// form filled from a row of the main window's log list; Update replaces the
// contact with the form's contents, placed by its time.
#pragma once

#include <windows.h>

// The id of the contact being edited, read from the row when the dialog opens.
extern int EditedEntryId;

// Run by DialogBoxParamA with the main window as owner and the list-view index
// of the row as parameter. Ends with IDOK after an Update attempt (the caller
// refreshes the list and autosaves), IDCANCEL when cancelled or when the row's
// contact is not in the log (nothing changed then). The home position is
// given back as it was when the dialog opened.
INT_PTR CALLBACK EditEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
