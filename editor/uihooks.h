// What the log modules need of the main window. The window's own modules
// define these for the program; tests link recording stand-ins.
#pragma once

#include <cstddef>

// The caption of every message box and message dialog of the editor.
inline constexpr char kProgramName[] = "VORN CSV Log Editor";

// 1 when the summits database holds summits; every summit lookup is gated by it.
extern int DbAvailable;

// Shows text in the status bar's message part for ms milliseconds (0: until
// the next message).
void ShowStatusMessage(const char *text, unsigned ms);

// The beep that follows a failure message (600 Hz, 150 ms).
void ErrorBeep(void);

// Shows the log file's name in the status bar.
void SetLogFileName(const char *path);

// The system message box over the main window; returns the button pressed.
int ShowMessageBox(const char *text, const char *caption, unsigned type);

// The editor's own question dialog, caption "VORN CSV Log Editor"; returns the
// button pressed (IDYES 6, IDNO 7).
int ShowMessageDialog(const char *text, unsigned type);

// Opens a file, or starts a program with parameters (NULL for none), through
// the shell's "open"; the result is not looked at.
void OpenWithProgram(const char *program, const char *parameters);

// Refill the entry form's callsign, band and mode boxes from MyCall,
// UserBands and UserModes, selecting the first item.
void RefillMyCallCombo(void);
void RefillBandCombo(void);
void RefillModeCombo(void);

// The FileVersion text of the running program's file into out (cut to
// outSize, terminated); 0 and out untouched when it cannot be read.
int ProgramFileVersion(char *out, size_t outSize);

// Message box styles and answers, with the platform's numbers.
constexpr unsigned kMessageBoxIconError = 0x10;        // MB_ICONERROR
constexpr unsigned kMessageBoxIconQuestion = 0x20;     // MB_ICONQUESTION
constexpr unsigned kMessageBoxIconWarning = 0x30;      // MB_ICONWARNING, MB_ICONEXCLAMATION
constexpr unsigned kMessageBoxYesNo = 0x4;             // MB_YESNO
constexpr int kAnswerNo = 7;                           // IDNO
