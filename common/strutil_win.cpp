// The utilities that need the platform: version resources and the console keyboard.
#include "strutil_win.h"

#include <windows.h>
#include <conio.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Copies at most count characters of value, cut to outSize (> 0) and terminated.
int CopyCut(char *out, size_t outSize, const char *value, size_t count) {
    size_t length = 0;
    while (length < count && value[length]) ++length;
    if (length > outSize - 1) length = outSize - 1;
    memcpy(out, value, length);
    out[length] = '\0';
    return static_cast<int>(length);
}

// Reads the wanted value out of a filled version block; 0 leaves out untouched.
int QueryVersionBlock(void *block, char *out, size_t outSize, const char *name) {
    void *data = nullptr;
    UINT size = 0;
    if (!name) {
        char root[] = "\\";
        if (!VerQueryValueA(block, root, &data, &size) || !data || size < sizeof(VS_FIXEDFILEINFO)) return 0;
        const VS_FIXEDFILEINFO *info = static_cast<const VS_FIXEDFILEINFO *>(data);
        char text[32];
        int length = snprintf(text, sizeof text, "%ld.%ld.%ld.%ld",
                              static_cast<long>(HIWORD(info->dwFileVersionMS)),
                              static_cast<long>(LOWORD(info->dwFileVersionMS)),
                              static_cast<long>(HIWORD(info->dwFileVersionLS)),
                              static_cast<long>(LOWORD(info->dwFileVersionLS)));
        if (length <= 0) return 0;
        return CopyCut(out, outSize, text, static_cast<size_t>(length));
    }

    // An empty name would address the string table itself, which is no value.
    if (!*name) return 0;
    char translation[] = "\\VarFileInfo\\Translation";
    if (!VerQueryValueA(block, translation, &data, &size) || !data || size < 2 * sizeof(WORD)) return 0;
    const WORD *language = static_cast<const WORD *>(data);
    // Value names are short; one too long to fit here cannot be asked for.
    char subBlock[256];
    int subLength = snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\%s",
                             static_cast<unsigned>(language[0]), static_cast<unsigned>(language[1]), name);
    if (subLength < 0 || static_cast<size_t>(subLength) >= sizeof subBlock) return 0;
    if (!VerQueryValueA(block, subBlock, &data, &size) || !data) return 0;
    // The reported size may or may not count the terminator; stop at whichever comes first.
    return CopyCut(out, outSize, static_cast<const char *>(data), size);
}

}  // namespace

int GetFileVersionString(char *out, size_t outSize, const char *path, const char *name) {
    if (!out || outSize == 0 || !path) return 0;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return 0;
    void *block = malloc(size);
    if (!block) return 0;
    // One exit after the block is filled, so it is freed on every path.
    int written = GetFileVersionInfoA(path, 0, size, block) ? QueryVersionBlock(block, out, outSize, name) : 0;
    free(block);
    return written;
}

void WaitSecondsOrKey(float seconds) {
    // Also ends at once for negative or NaN seconds, which callers never pass.
    if (!(seconds > 0)) return;
    const double ticks = std::trunc(seconds / 0.05);
    for (double tick = 0; tick < ticks; ++tick) {
        Sleep(50);
        if (_kbhit()) {
            // Code 0 only announces an extended key; say nothing for it.
            if (_getch() != 0) fputs("\nOk\n", stdout);
            return;
        }
    }
}
