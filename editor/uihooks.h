// The seam between the portable log modules and the main window: everything
// they call of it, defined by the window modules for the program and by
// recording stand-ins in the native tests. A window module's own operations and
// state are declared in that module's header, included here; this header itself
// declares only the edges that belong to no single window module.
#pragma once

#include <cstddef>

#include "loglist.h"     // SortColumn, SortAscending
#include "msgdialog.h"   // ShowEditorMessage, kProgramName, the message box numbers
#include "statusbar.h"   // ShowStatusMessage, ErrorBeep, SetLogFileName, DbAvailable

// The system message box over the main window; returns the button pressed.
int ShowMessageBox(const char *text, const char *caption, unsigned type);

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
