// Help through the platform's HTML Help control. hhctrl.ocx is loaded only when
// help is first asked for, so the editor starts where HTML Help is missing.
#include "help.h"

#include <cstdio>

#include "appstate.h"

DWORD HelpCookie = 0;
HWND HelpWindow = NULL;

namespace {

// The commands of HtmlHelpA this module sends (htmlhelp.h).
constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kDisplayToc = 0x0001;    // HH_DISPLAY_TOC
constexpr UINT kInitialize = 0x001C;    // HH_INITIALIZE
constexpr UINT kUninitialize = 0x001D;  // HH_UNINITIALIZE

constexpr char kHelpFileName[] = "VORN CSV Log Editor.chm";

HtmlHelpProc TestProc = nullptr;
HtmlHelpProc LoadedProc = nullptr;
bool LoadTried = false;

HtmlHelpProc HtmlHelpEntry() {
    if (TestProc) return TestProc;
    if (!LoadTried) {
        LoadTried = true;
        // Never freed: the viewer runs inside this process until it ends.
        HMODULE module = LoadLibraryA("hhctrl.ocx");
        FARPROC proc = module ? GetProcAddress(module, "HtmlHelpA") : nullptr;
        // Through the generic function type, so the compiler accepts the change of signature.
        if (proc) LoadedProc = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void (*)()>(proc));
    }
    return LoadedProc;
}

}  // namespace

void SetHtmlHelpProc(HtmlHelpProc proc) { TestProc = proc; }

int OpenHelpTopic(HWND window, const char *topic) {
    // The program folder (up to 259 characters), the file name and the topic, in full.
    char path[MAX_PATH + sizeof kHelpFileName + 128];
    int length = std::snprintf(path, sizeof path, "%s\\%s::/%s", ProgramDirectory, kHelpFileName,
                               topic ? topic : kHelpStartTopic);
    if (length < 0 || length >= static_cast<int>(sizeof path)) return -1;

    HtmlHelpProc htmlHelp = HtmlHelpEntry();
    if (!htmlHelp) return -1;

    if (HelpCookie == 0) htmlHelp(window, NULL, kInitialize, reinterpret_cast<DWORD_PTR>(&HelpCookie));
    HelpWindow = htmlHelp(window, path, topic ? kDisplayTopic : kDisplayToc, 0);
    return HelpWindow ? 1 : 0;
}

void CloseHelpViewer(HWND window) {
    if (HelpCookie == 0) return;
    if (HelpWindow) CloseWindow(HelpWindow);
    if (HtmlHelpProc htmlHelp = HtmlHelpEntry()) htmlHelp(window, NULL, kUninitialize, HelpCookie);
}
