// The running editor's main window seen from another process: found by its
// class and caption, its log list's row count read through the list's own
// message, and a clean close.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "msgdialog.h"
#include "resource.h"

// The editor's main window owned by the given process (0: any process).
inline HWND FindEditorWindow(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", kProgramName)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId) return window;
    }
    return nullptr;
}

// -1 while the window or its list is not there yet.
inline int LogListRows(HWND window) {
    HWND list = window ? GetDlgItem(window, IDC_LOG_LIST) : nullptr;
    if (!list) return -1;
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &rows)) return -1;
    return static_cast<int>(rows);
}

// Asks the window to close, as its close box does, and waits for its process
// to end. False when it did not end in time (a question in the way).
inline bool CloseEditor(HWND window, HANDLE process, DWORD timeoutMs) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}
