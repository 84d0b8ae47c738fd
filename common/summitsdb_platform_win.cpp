// The summits database's Win32 edge: the user's date format, the ODBC
// installer, and Wine's path conversion for drivers that run on the host.
#include "summitsdb_platform.h"

#include <windows.h>
#include <odbcinst.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "utctime_win.h"

namespace {

int CopyWhole(const char *text, char *out, size_t outSize) {
    size_t length = strlen(text);
    if (length >= outSize) return 0;
    memcpy(out, text, length + 1);
    return 1;
}

}  // namespace

int DbPlatformShortDate(UtcTime t, char *out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    SYSTEMTIME day;
    if (UnixTimeToSystemTime(t, &day)) {
        int room = outSize > INT_MAX ? INT_MAX : static_cast<int>(outSize);
        if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, out, room) > 0) return 1;
        // A user's form longer than the room fails and leaves out unterminated.
        int length = snprintf(out, outSize, "%04u-%02u-%02u", static_cast<unsigned>(day.wYear),
                              static_cast<unsigned>(day.wMonth), static_cast<unsigned>(day.wDay));
        if (length >= 0 && static_cast<size_t>(length) < outSize) return 1;
    }
    out[0] = '\0';
    return 0;
}

int DbPlatformCreateDatabase(const char *driver, const char *path) {
    if (!driver || !path) return 0;
    // One attribute, then the empty entry that closes the list.
    char attributes[1100];
    int length = snprintf(attributes, sizeof attributes - 1, "CREATE_DB=\"%s\"", path);
    if (length < 0 || static_cast<size_t>(length) >= sizeof attributes - 1) return 0;
    attributes[length + 1] = '\0';
    return SQLConfigDataSource(GetDesktopWindow(), ODBC_ADD_SYS_DSN, driver, attributes) ? 1 : 0;
}

int DbPlatformRenameNew(const char *from, const char *to) {
    if (!from || !to) return 0;
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

int DbPlatformRemoveFile(const char *path) { return path && DeleteFileA(path) ? 1 : 0; }

int DbPlatformHostPath(const char *path, char *out, size_t outSize) {
    if (!path || !out) return 0;
    // Present only under Wine, whose ODBC forwards to the host's driver manager.
    typedef char *(CDECL * UnixFileName)(LPCWSTR);
    FARPROC entry = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!entry) return CopyWhole(path, out, outSize);
    UnixFileName toUnix = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)(void)>(entry));

    int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (wideLength <= 0) return 0;
    wchar_t *wide = static_cast<wchar_t *>(malloc(sizeof(wchar_t) * static_cast<size_t>(wideLength)));
    if (!wide) return 0;
    int result = 0;
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, wideLength) > 0) {
        char *unixName = toUnix(wide);
        if (unixName) {
            result = CopyWhole(unixName, out, outSize);
            HeapFree(GetProcessHeap(), 0, unixName);
        }
    }
    free(wide);
    return result;
}
