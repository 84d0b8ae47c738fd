// Replacing a file for native builds: fsync, then rename, which replaces
// atomically here.
#include "safefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

// rename replaces an existing target atomically here.
int MoveFileReplacing(const char *from, const char *to, char *reason, size_t reasonSize) {
    if (rename(from, to) == 0) return 1;
    if (reason && reasonSize) snprintf(reason, reasonSize, "%s", strerror(errno));
    return 0;
}

int SyncFileToDisk(FILE *file, char *reason, size_t reasonSize) {
    if (fsync(fileno(file)) == 0) return 1;
    if (reason && reasonSize) snprintf(reason, reasonSize, "%s", strerror(errno));
    return 0;
}
