// Screenshots of the editor's windows for people to look at: the window's
// rectangle copied from the screen into a 24-bit BMP file.
#pragma once

#include <windows.h>

// Copies what the screen shows of the window (frame included) into a BMP file at
// path. 1 when the file was written, 0 when the window, the capture or the file
// failed. The window must be shown and painted first.
int SaveWindowShot(HWND window, const char *path);
