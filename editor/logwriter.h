// Saving the log as a V2 file and the plain CSV/TSV export. Tabs separate the
// fields when the file name's extension is .tsv (any case), else commas.
#pragma once

// Writes the whole list to path: "v2swl" for SWL entries, the calls and
// references trimmed (the stored entries lose their trailing blanks too). An
// existing file is first kept as its backup (the extension .csv or .tsv
// replaced by .bak) unless NoBackup; the new file takes its place only when
// complete, and the new backup only once the new file is in place, so on any
// failure the old file and the old backup stay as they were. Every failure is
// shown in the status bar, with the system's reason, and the error beep. On
// success the file becomes the current log. 1 or 0; owner is unused.
int WriteCsvLog(void *owner, const char *path);

// The same layout with "v2" throughout and the fields as stored, to a file of
// the user's choice; no backup and no change to the editor's state. Failures
// are shown as the save's are. 1 or 0.
int ExportCsv(const char *path);
