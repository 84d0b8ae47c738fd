// System tests and helpers on the Win32 API.
#include "sysinfo.h"

#include <windows.h>
#include <psapi.h>

#include <cstdlib>
#include <cstring>

#include "registry.h"

namespace {

typedef int(WINAPI *MessageBoxTimeoutAProc)(HWND, LPCSTR, LPCSTR, UINT, WORD, DWORD);
typedef int(WINAPI *MessageBoxTimeoutWProc)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);

// Found once, then kept; a failed look-up is tried again on the next call.
MessageBoxTimeoutAProc messageBoxTimeoutA = nullptr;
MessageBoxTimeoutWProc messageBoxTimeoutW = nullptr;

FARPROC User32Entry(const char *name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

// Room for this many process ids at first; the array doubles until every id fits.
// Starting small keeps the growing path the one every call takes.
constexpr DWORD kFirstProcessCapacity = 4;

// 1 when the process's first module (its executable) has the wanted base name.
int HasBaseName(DWORD id, const char *exeName) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) return 0;
    char name[MAX_PATH] = "<unknown>";
    HMODULE module = nullptr;
    DWORD needed = 0;
    int match = 0;
    if (EnumProcessModules(process, &module, sizeof module, &needed)) {
        GetModuleBaseNameA(process, module, name, sizeof name);
        match = _strcmpi(name, exeName) == 0;
    }
    CloseHandle(process);
    return match;
}

}  // namespace

int IsVistaOrLater(void) {
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return 0;
    return info.dwMajorVersion > 5 ? 1 : 0;
}

int IsUserAdmin(void) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, &administrators))
        return 0;
    BOOL isMember = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &isMember)) isMember = FALSE;
    FreeSid(administrators);
    return isMember ? 1 : 0;
}

int IsUacEnabled(void) {
    // The number reader has exactly this policy's rules: a number or decimal text,
    // missing or over 64 bytes counts as absent, any other type reads as 0.
    uint32_t value = 0;
    int size = 4;
    RegReadDword(TARN_HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", "EnableLUA",
                 &value, &size);
    return size == 4 && value != 0 ? 1 : 0;
}

int IsProcessRunning(const char *exeName) {
    DWORD capacity = kFirstProcessCapacity;
    DWORD *ids = nullptr;
    DWORD bytes = 0;
    for (;;) {
        DWORD *grown = static_cast<DWORD *>(realloc(ids, capacity * sizeof(DWORD)));
        if (!grown) {
            free(ids);
            return 0;
        }
        ids = grown;
        if (!EnumProcesses(ids, capacity * sizeof(DWORD), &bytes)) {
            free(ids);
            return 0;
        }
        // A full array may have left processes out: ask again with twice the room.
        if (bytes < capacity * sizeof(DWORD)) break;
        capacity *= 2;
    }
    int found = 0;
    const DWORD count = bytes / sizeof(DWORD);
    for (DWORD i = 0; i < count && !found; ++i)
        if (ids[i] != 0) found = HasBaseName(ids[i], exeName);
    free(ids);
    return found;
}

HWND GetConsoleHwnd(void) {
    char saved[1024] = "";
    GetConsoleTitleA(saved, sizeof saved);
    char unique[64];
    wsprintfA(unique, "%d/%d", static_cast<int>(GetTickCount()), static_cast<int>(GetCurrentProcessId()));
    SetConsoleTitleA(unique);
    Sleep(60);
    HWND window = FindWindowA(nullptr, unique);
    SetConsoleTitleA(saved);
    return window;
}

int TimedMessageBoxA(HWND owner, const char *text, const char *caption, unsigned flags, unsigned languageId,
                     unsigned long milliseconds) {
    if (!messageBoxTimeoutA)
        messageBoxTimeoutA = reinterpret_cast<MessageBoxTimeoutAProc>(
            reinterpret_cast<void (*)(void)>(User32Entry("MessageBoxTimeoutA")));
    if (!messageBoxTimeoutA) return 0;
    return messageBoxTimeoutA(owner, text, caption, flags, static_cast<WORD>(languageId), milliseconds);
}

int TimedMessageBoxW(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned flags, unsigned languageId,
                     unsigned long milliseconds) {
    if (!messageBoxTimeoutW)
        messageBoxTimeoutW = reinterpret_cast<MessageBoxTimeoutWProc>(
            reinterpret_cast<void (*)(void)>(User32Entry("MessageBoxTimeoutW")));
    if (!messageBoxTimeoutW) return 0;
    return messageBoxTimeoutW(owner, text, caption, flags, static_cast<WORD>(languageId), milliseconds);
}
