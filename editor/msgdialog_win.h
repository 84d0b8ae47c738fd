// The message dialog and tool tips on the window side (what portable modules
// use of them is in msgdialog.h).
#pragma once

#include <windows.h>

#include "msgdialog.h"

// Valid only while one message dialog runs (it is modal, so one at a time).
extern const char *MessageCaption;
extern const char *MessageText;
extern HICON MessageIcon;   // a shared system icon, NULL when the dialog shows none

// Shows text under caption with the buttons and icon of the MB_ flags, modal to
// owner (NULL: none). Returns IDOK 1, IDCANCEL 2 (also Escape and the close
// box), IDYES 6 or IDNO 7.
int ShowMessageDialog(HWND owner, const char *text, const char *caption, UINT flags);

INT_PTR CALLBACK MessageDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Attaches a tool tip with the text (and a title, or NULL) to control id of the
// dialog; a control keeps one tool tip, whose text follows the latest call. The
// text must outlive the tool tip. Returns the tool tip window, or NULL when it
// cannot be attached.
HWND AddToolTip(int controlId, HWND dialog, const char *title, const char *text);

// Hands a mouse message for a control whose tool tip does not watch it itself
// (the list views) to that tool tip; the main message loop calls it for every
// message.
void RelayToolTipMouse(const MSG *msg);
