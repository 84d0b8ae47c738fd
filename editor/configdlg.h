// The configuration dialog (IDD_CONFIG): the own callsigns, the bands and modes
// the entry form offers, the log list's colours, the own locator and how
// distances and bearings are shown, the ADIF operator and viewer, and the two
// saving options. Run modally with DialogBoxParamA; its result is 1 when the
// settings were saved, 2 when cancelled, -1 when it could not be made or set up.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The colour chooser's hook: names the colour being chosen in its caption (the
// button id is the record's custom data) and centres it on its owner.
UINT_PTR CALLBACK ColourDialogHook(HWND colourDialog, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the user pick the ADIF viewer; 1 when a path was put into the viewer
// box, 0 when cancelled or no name was chosen.
int BrowseAdifViewer(HWND dialog);

// Rebuilds the two sample rows of the colour preview and disables the list
// (it takes neither focus nor selection); returns 1.
int FillSampleLogView(HWND dialog);

// The log list's first five columns with their current widths; 1, or 0 at the
// first column that cannot be inserted.
int InsertSampleColumns(HWND listView);
