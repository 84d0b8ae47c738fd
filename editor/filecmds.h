// The File menu's operations and the main window's close request: the
// questions that guard unsaved work, the standard file dialogs, and the
// bookkeeping of the current log (its path, the unsaved mark, LastCSVLog and
// the recent-log list). Writing and reading files is left to the writers and
// the loader; the status texts on the results are the caller's.
#pragma once

#include <windows.h>

// The caption of every question asked here.
extern const char *const FileCommandsCaption;

// Save (saveAs 0: the current file without a dialog when there is one) or Save
// As (1). 1 when the log was written; 0 when there was nothing to save, the
// dialog was cancelled or the write failed (the writer has said why).
int SaveLog(HWND owner, int saveAs);

// Exports the log to a file of the user's choice: ADIF for the extensions .adi
// and .adif, tab-separated for .tsv, else comma-separated (any case). The open
// log's own file is refused. 1 when the export was written, else 0. Nothing of
// the current log's state changes.
int ExportLog(HWND owner);

// New log (isNew 1) or Close log (0): offers to save unsaved work, then empties
// the log and forgets its file. 1 when cleared, 0 when the log was kept.
int ResetLog(HWND owner, int isNew);

// Offers to save unsaved work, empties the log, then loads the file the user
// picks. 1 when a log was loaded; 0 otherwise, with the log left empty unless
// the user kept it at the unsaved-work question.
int OpenLog(HWND owner);

// The main window's close request: offers to log a half-typed contact and to
// save unsaved work, then stores the window's layout and destroys it. The
// window stays open when the user keeps it (Cancel, a contact that fails to
// log, a failed save not confirmed) and whenever a question could not be asked.
void CloseMainWindow(HWND window);
