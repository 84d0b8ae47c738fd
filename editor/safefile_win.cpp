// Replacing a file on Windows: FlushFileBuffers, then MoveFileEx, with the
// refusals of Windows itself kept under Wine too.
#include "safefile.h"

#include <cstdio>
#include <cstring>

#include <io.h>

#include <windows.h>

namespace {

// The system's own text for the error, without its line end; 0 returned.
int SystemReason(DWORD error, char *reason, size_t reasonSize) {
    if (!reason || !reasonSize) return 0;
    reason[0] = '\0';
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  reason, static_cast<DWORD>(reasonSize), nullptr);
    if (length >= reasonSize) length = static_cast<DWORD>(reasonSize - 1);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        --length;
    reason[length] = '\0';
    if (!length) snprintf(reason, reasonSize, "system error %lu", static_cast<unsigned long>(error));
    return 0;
}

}  // namespace

// msvcrt's rename refuses an existing target; MoveFileEx replaces it. Windows
// refuses to replace a read-only file or a folder; Wine replaces both, so the
// target is asked first and refused the same way everywhere.
int MoveFileReplacing(const char *from, const char *to, char *reason, size_t reasonSize) {
    DWORD error = ERROR_ACCESS_DENIED;
    DWORD attributes = GetFileAttributesA(to);
    bool refused = attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
    if (!refused) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
        error = GetLastError();
    }
    return SystemReason(error, reason, reasonSize);
}

// MOVEFILE_WRITE_THROUGH covers the rename only, not the bytes of the file.
int SyncFileToDisk(FILE *file, char *reason, size_t reasonSize) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle)) return 1;
    return SystemReason(handle == INVALID_HANDLE_VALUE ? ERROR_INVALID_HANDLE : GetLastError(), reason, reasonSize);
}
