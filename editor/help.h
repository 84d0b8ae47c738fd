// The editor's help: the HTML Help viewer on the help file in the program folder.
#pragma once

#include <windows.h>

// HTML Help's state for the run: the cookie of its initialisation (0 until help
// is first opened, never reset) and the viewer window it last returned.
extern DWORD HelpCookie;
extern HWND HelpWindow;

// The start page and the configuration topic of the help file.
constexpr char kHelpStartTopic[] = "start.htm";
constexpr char kHelpConfigTopic[] = "12_ConfiguringVORNCSVLogEditor.htm";

// Opens "<ProgramDirectory>\VORN CSV Log Editor.chm" for window: on
// its contents with the start page (topic NULL), or on the named topic. HTML Help
// is initialised first when it has not been. Returns 1 when the viewer opened,
// 0 when HTML Help gave no window, -1 when HTML Help is not available (no
// hhctrl.ocx) or the path does not fit.
int OpenHelpTopic(HWND window, const char *topic);

// When help was opened in this run: minimises the viewer and ends HTML Help
// for window. HelpCookie keeps its value.
void CloseHelpViewer(HWND window);

// The HTML Help entry point OpenHelpTopic calls. NULL (the default) means
// HtmlHelpA of hhctrl.ocx, loaded on first use; tests put a recorder in its place.
typedef HWND(WINAPI *HtmlHelpProc)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
void SetHtmlHelpProc(HtmlHelpProc proc);
