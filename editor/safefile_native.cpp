#include "safefile.h"

#include <cstdio>

// rename replaces an existing target atomically here.
int MoveFileReplacing(const char *from, const char *to) { return rename(from, to) == 0 ? 1 : 0; }
