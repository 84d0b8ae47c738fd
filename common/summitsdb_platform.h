// What the summits database needs from the platform. The Windows layer
// defines these with Win32 and the ODBC installer; native builds link plain
// stand-ins (yyyy-mm-dd dates, no installer, paths unchanged, POSIX files).
#pragma once

#include <cstddef>

#include "utctime.h"

// The user's short date of t, falling back to yyyy-mm-dd when the user's form
// does not fit. 0 when neither fits in outSize, out then empty (when outSize > 0).
int DbPlatformShortDate(UtcTime t, char *out, size_t outSize);

// Asks driver's installer to create an empty database file at path (CREATE_DB).
int DbPlatformCreateDatabase(const char *driver, const char *path);

// Gives the file at from the name to, which must not exist: 0 when it does or
// the rename fails, from then left in place.
int DbPlatformRenameNew(const char *from, const char *to);

// Deletes the file at path; 1 when it was deleted.
int DbPlatformRemoveFile(const char *path);

// The path as a driver running on the host system sees it: under Wine the
// file's Linux path, elsewhere the path unchanged. 0 when it cannot be
// converted or does not fit in outSize.
int DbPlatformHostPath(const char *path, char *out, size_t outSize);
