// The seam edges of uihooks.h that belong to no single window module: the
// system box, the shell, the program's version and the entry form's combo
// boxes of the main window. The others are defined by their modules.
#include "uihooks.h"

#include <windows.h>
#include <shellapi.h>

#include "appstate.h"
#include "entryform.h"
#include "strutil_win.h"

int ShowMessageBox(const char *text, const char *caption, unsigned type) {
    return MessageBoxA(MainWindow, text, caption, type);
}

void OpenWithProgram(const char *program, const char *parameters) {
    ShellExecuteA(MainWindow, "open", program, parameters, nullptr, SW_SHOWNORMAL);
}

int ProgramFileVersion(char *out, size_t outSize) {
    return GetFileVersionString(out, outSize, ModulePath, "FileVersion") > 0 ? 1 : 0;
}

void RefillMyCallCombo(void) { FillMyCallCombo(MainWindow, nullptr); }
void RefillBandCombo(void) { FillBandCombo(MainWindow, nullptr); }
void RefillModeCombo(void) { FillModeCombo(MainWindow, nullptr); }
