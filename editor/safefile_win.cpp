#include "safefile.h"

#include <windows.h>

// msvcrt's rename refuses an existing target; MoveFileEx replaces it.
int MoveFileReplacing(const char *from, const char *to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}
