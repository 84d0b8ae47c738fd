// Program start-up: the single-instance guard, the paths, the settings, the
// first-run configuration, the main window and its message loop.
#pragma once

#include <windows.h>

// The named single-instance mutex; NULL when it could not be created.
extern HANDLE InstanceMutex;

// Gives the two list text colours the system's window-text colour. Runs during
// static initialisation, so LoadSettings finds these defaults to keep or write.
void InitDefaultTextColours(void);

// Takes the log named first on the command line as the current log when its
// extension is .csv in any case; any other argument is ignored. A path longer
// than the current log's room is refused with a message. 1 when taken.
int TakeCommandLineLog(int argc, char **argv);

// On a first run (FirstRun set) the configuration dialog, with no owner: Save
// stores FirstRun 0, Cancel 1 (it is shown again next time); any other
// ending stores nothing.
void RunFirstConfiguration(void);

// One message of the main loop: a list's tool tip sees the mouse first, then
// the accelerators (whichever control has the focus), then the main dialog's
// own keys, and what none of them takes is dispatched.
void DispatchMainMessage(MSG *msg, HACCEL accelerators);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
