// The demo's hands on the running editor, from a second process under the same
// Wine prefix:
//   editor_window wait [ROWS]   waits (two minutes at most) until the editor's
//                               main window waits for input with at least ROWS
//                               contacts in its list (default 1); prints them
//   editor_window summits HIS [MINE]
//                               types the summit references into the entry
//                               form, which shows what the database knows of them
//   editor_window close         closes the window as its close box does and
//                               waits for the editor to end
// Exit status 0 when done, 1 when the editor did not get there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editorwindow.h"

namespace {

HANDLE OpenEditorProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id) : nullptr;
}

int WaitForFilledWindow(int rows) {
    const DWORD deadline = GetTickCount() + 120000;
    int shown = -1;
    while (static_cast<LONG>(deadline - GetTickCount()) > 0) {
        HWND window = FindEditorWindow(0);
        shown = LogListRows(window);
        if (shown >= rows) {
            HANDLE process = OpenEditorProcess(window);
            const bool idle = process && WaitForInputIdle(process, 0) == 0;
            if (process) CloseHandle(process);
            if (idle) {
                printf("%d contacts in the list\n", shown);
                return 0;
            }
        }
        Sleep(100);
    }
    fprintf(stderr, "the editor's window did not show %d contacts in time (it shows %d)\n", rows, shown);
    return 1;
}

// The form's fields take the text as typed ones do, so the editor looks the
// summits up as they change.
int TypeSummits(const char *his, const char *mine) {
    HWND window = FindEditorWindow(0);
    if (!window) {
        fprintf(stderr, "no editor window to type into\n");
        return 1;
    }
    const struct {
        int id;
        const char *text;
    } fields[] = {{IDC_MY_SUMMIT, mine}, {IDC_HIS_SUMMIT, his}};
    for (const auto &field : fields) {
        HWND edit = GetDlgItem(window, field.id);
        DWORD_PTR done = 0;
        if (!field.text) continue;
        if (!edit || !SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(field.text), SMTO_ABORTIFHUNG,
                                          5000, &done)) {
            fprintf(stderr, "the entry form did not take %s\n", field.text);
            return 1;
        }
    }
    return 0;
}

int CloseEditorWindow() {
    HWND window = FindEditorWindow(0);
    HANDLE process = window ? OpenEditorProcess(window) : nullptr;
    if (!process) {
        fprintf(stderr, "no editor window to close\n");
        return 1;
    }
    const bool ended = CloseEditor(window, process, 60000);
    CloseHandle(process);
    if (!ended) fprintf(stderr, "the editor did not end after its window was closed\n");
    return ended ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc >= 2 && strcmp(argv[1], "wait") == 0) return WaitForFilledWindow(argc >= 3 ? atoi(argv[2]) : 1);
    if ((argc == 3 || argc == 4) && strcmp(argv[1], "summits") == 0)
        return TypeSummits(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 2 && strcmp(argv[1], "close") == 0) return CloseEditorWindow();
    fprintf(stderr, "usage: editor_window wait [ROWS] | summits HIS [MINE] | close\n");
    return 2;
}
