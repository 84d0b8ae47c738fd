// Replacing a file for native builds: rename, which replaces atomically here.
#include "safefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

// rename replaces an existing target atomically here.
int MoveFileReplacing(const char *from, const char *to, char *reason, size_t reasonSize) {
    if (rename(from, to) == 0) return 1;
    if (reason && reasonSize) snprintf(reason, reasonSize, "%s", strerror(errno));
    return 0;
}
