// Program start-up.
#include "startup.h"

#include <windows.h>

#include "settings.h"

void InitDefaultTextColours(void) {
    EditorSettings.PriListTXTColour = GetSysColor(COLOR_WINDOWTEXT);
    EditorSettings.AltListTXTColour = GetSysColor(COLOR_WINDOWTEXT);
}

namespace {

// EditorSettings is constant-initialised, so it is ready before this runs.
[[maybe_unused]] const bool defaultTextColoursSet = (InitDefaultTextColours(), true);

}  // namespace
