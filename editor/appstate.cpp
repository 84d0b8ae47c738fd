// The definitions of the editor's program-wide window state (appstate.h), in
// one place that every window module links.
#include "appstate.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
HICON AppIcon = nullptr;
HBITMAP LogoBitmap = nullptr;
char ModulePath[MAX_PATH] = "";
char ProgramDirectory[MAX_PATH] = "";
char CaBundlePath[MAX_PATH] = "";
HMENU MainMenu = nullptr;
HMENU FileMenu = nullptr;
HMENU OptionsMenu = nullptr;
HMENU HelpMenu = nullptr;
