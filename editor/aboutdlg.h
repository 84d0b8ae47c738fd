// The About dialog (IDD_ABOUT): what the editor is, the versions of the programs
// in its folder, the build and database dates, and the one update check per
// opening that asks the maker's version endpoint through curl.exe and can hand
// the announced release to Tarnfetch.
#pragma once

#include <windows.h>

// The last accepted update answer: the newest release's version and the address
// Tarnfetch fetches it from; they keep their values after the dialog ends.
extern char NewVersion[MAX_PATH];
extern char UpdateUrl[MAX_PATH];
// Tarnfetch's parameters, " -URL <UpdateUrl> -new <NewVersion>".
extern char UpdateParams[2 * MAX_PATH + 16];

// Scheme and host of the version endpoint, without a trailing slash; the tests
// point it at their loopback server.
extern char VersionEndpointBase[MAX_PATH];

// Seconds the check waits for curl.exe beyond its own connect and transfer limits.
constexpr int kCurlWaitMarginSeconds = 5;

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One update query for the running version text: 1 a newer release is announced,
// 0 the same, -1 an older one (the running editor is a pre-release), -2 no usable
// answer. Sets NewVersion and UpdateUrl from an accepted answer only.
int CheckForUpdate(const char *version);

// Compares two versions by their dot-separated numbers (missing parts count as
// 0): -1, 0 or 1. Leading digits of each text are compared; anything after them
// is ignored.
int CompareVersions(const char *a, const char *b);

// The logo's click, in the main window and here: Ctrl held opens the scheme's
// main web site, else Alt its reflector, else its spotting site, through the
// shell with owner (the window whose logo was clicked) as the owner.
void OpenSchemeSiteByKeys(HWND owner);
