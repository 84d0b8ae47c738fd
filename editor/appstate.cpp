#include "appstate.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
HICON AppIcon = nullptr;
HBITMAP LogoBitmap = nullptr;
char ModulePath[MAX_PATH] = "";
char ProgramDirectory[MAX_PATH] = "";
char CaBundlePath[MAX_PATH] = "";
