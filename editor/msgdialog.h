// The editor's own message dialog (dialog IDD_MESSAGE) and the tool tips of
// every dialog. Here what the portable log modules use too (through
// uihooks.h): the program's caption, the message box numbers and the dialog
// over the main window; the dialog itself, its procedure and AddToolTip take
// window types and are in msgdialog_win.h.
#pragma once

// The program's display name: the caption of every message box and message
// dialog of the editor, and its name in the files it exports.
inline constexpr char kProgramName[] = "VORN CSV Log Editor";

// Message box styles and answers, with the platform's numbers (msgdialog.cpp
// checks them against the platform's own).
constexpr unsigned kMessageBoxIconError = 0x10;        // MB_ICONERROR
constexpr unsigned kMessageBoxIconQuestion = 0x20;     // MB_ICONQUESTION
constexpr unsigned kMessageBoxIconWarning = 0x30;      // MB_ICONWARNING, MB_ICONEXCLAMATION
constexpr unsigned kMessageBoxYesNo = 0x4;             // MB_YESNO
constexpr int kAnswerNo = 7;                           // IDNO

// ShowMessageDialog over the main window (no owner while it is being made) with
// the caption kProgramName; returns the button pressed (IDYES 6, IDNO 7).
int ShowEditorMessage(const char *text, unsigned flags);
