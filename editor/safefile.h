// Writing a file without risking the one it replaces: the bytes go to a
// temporary file beside it, every write, the flush and the close are checked,
// and only a complete file that has reached the disk is moved over the
// target. Lines are written with CR LF on every build.
//
// Every user of these functions is a save or an export, so a failure after the
// temporary file was created is shown at once: "Error: <the system's reason>"
// in the status bar with the error beep, once per file (unless quiet). A
// failure of SafeFileBegin is left to the caller, which has errno.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct SafeFile {
    std::string target;
    std::string temp;   // the target's path with ".~tmp" appended
    FILE *file = nullptr;
    bool failed = false;
    bool quiet = false;    // failures only recorded in reason, not shown
    std::string reason;    // the system's text for the first failure
};

// Creates the temporary file. 1, or 0 with errno set and nothing created.
int SafeFileBegin(SafeFile *sf, const char *path);

// Writes text with every LF as CR LF. 0 once any write came out short.
int SafeFileWrite(SafeFile *sf, const char *text, size_t length);

// Flushes the temporary file through to the disk and closes it; 1 when every
// byte reached it. On failure the temporary file is removed and the target is
// untouched.
int SafeFileClose(SafeFile *sf);

// Moves the closed temporary file over the target. On failure it is removed
// and the target is untouched.
int SafeFileCommit(SafeFile *sf);

// Closes and removes the temporary file, if any.
void SafeFileAbandon(SafeFile *sf);

// Copies the file from into the closed temporary file of out (quiet), ready to
// be committed over to; nothing at to changes yet. 1, or 0 with out->reason
// set and nothing left behind.
int SafeCopyBegin(const char *from, const char *to, SafeFile *out);

// Renames from to to, replacing an existing to. 1, or 0 with the system's
// reason for the failure in reason (cut to reasonSize, terminated). The
// platform layer (safefile_native.cpp, safefile_win.cpp) defines it.
int MoveFileReplacing(const char *from, const char *to, char *reason, size_t reasonSize);

// Writes what the system holds of an open, flushed file through to the disk,
// so that a rename after it cannot reach the disk first and leave an empty
// file after a power loss. 1, or 0 with the reason as for MoveFileReplacing.
int SyncFileToDisk(FILE *file, char *reason, size_t reasonSize);
