// The native stand-ins for the settings' window edges (doubles.h).
#include "doubles.h"

#include "settings.h"

#ifndef _WIN32
int recentLogMenuBuilds = 0;

void BuildRecentLogMenu(void) { ++recentLogMenuBuilds; }
#endif
