// Stand-ins for the window edges that the portable settings code calls. The
// Windows build links the real ones.
#pragma once

#ifndef _WIN32
// How often BuildRecentLogMenu ran.
extern int recentLogMenuBuilds;
#endif
