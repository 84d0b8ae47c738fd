// The native stand-ins: no user locale, no ODBC installer, no Wine.
#include "summitsdb_platform.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

int DbPlatformShortDate(UtcTime t, char *out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    time_t seconds = t;
    struct tm day;
    if (gmtime_r(&seconds, &day)) {
        int length = snprintf(out, outSize, "%04d-%02d-%02d", day.tm_year + 1900, day.tm_mon + 1, day.tm_mday);
        if (length >= 0 && static_cast<size_t>(length) < outSize) return 1;
    }
    out[0] = '\0';
    return 0;
}

int DbPlatformCreateDatabase(const char *, const char *) { return 0; }

int DbPlatformRenameNew(const char *from, const char *to) {
    if (!from || !to) return 0;
    // A second link fails when the name is taken, where rename would replace the file.
    if (link(from, to) != 0) return 0;
    unlink(from);
    return 1;
}

int DbPlatformRemoveFile(const char *path) { return path && unlink(path) == 0 ? 1 : 0; }

int DbPlatformHostPath(const char *path, char *out, size_t outSize) {
    if (!path || !out) return 0;
    size_t length = strlen(path);
    if (length >= outSize) return 0;
    memcpy(out, path, length + 1);
    return 1;
}
