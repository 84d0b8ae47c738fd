// The registry store on advapi32: each call opens its key for itself and closes
// it again. The readers and writers common to both stores are in registry.cpp.
#include "registry.h"
#include "registry_store.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "scoped_win.h"

static_assert(TARN_REG_NONE == REG_NONE && TARN_REG_SZ == REG_SZ && TARN_REG_BINARY == REG_BINARY &&
              TARN_REG_DWORD == REG_DWORD && TARN_REG_MULTI_SZ == REG_MULTI_SZ);

namespace {

// The key opened for one call; empty when it cannot be opened.
ScopedRegKey OpenKey(HKEY root, const char *subKey, REGSAM access) {
    ScopedRegKey key;
    if (RegOpenKeyExA(root, subKey, 0, access, key.Out()) != ERROR_SUCCESS) key.Detach();
    return key;
}

}  // namespace

// Reads through scratch memory, so the caller's buffer sees nothing of a failed
// or refused query.
void RegReadBytes(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size, bool text) {
    const int capacity = *size;
    *size = 0;
    ScopedRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
    if (!key || capacity <= 0) return;
    // One spare byte: the platform may append a terminator after a text that fits.
    unsigned char *scratch = static_cast<unsigned char *>(malloc(static_cast<size_t>(capacity) + 1));
    if (!scratch) return;
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(capacity);
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, scratch, &length) == ERROR_SUCCESS &&
        RegBytesReadable(static_cast<int>(type), text, scratch, length, static_cast<size_t>(capacity))) {
        memcpy(buffer, scratch, length);
        *size = static_cast<int>(length);
    }
    free(scratch);
}

void RegQueryValueInfo(HKEY root, const char *subKey, const char *valueName, int *type, int *size) {
    *type = 0;
    *size = 0;
    ScopedRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
    if (!key) return;
    DWORD foundType = 0, foundSize = 0;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &foundType, nullptr, &foundSize) != ERROR_SUCCESS) return;
    *type = static_cast<int>(foundType);
    *size = static_cast<int>(foundSize);
}

void RegReadDword(HKEY root, const char *subKey, const char *valueName, uint32_t *value, int *size) {
    *value = 0;
    ScopedRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
    // One byte beyond the limit: room for the terminator the platform may append.
    unsigned char data[kNumberBufferSize + 1] = {};
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(kNumberBufferSize);
    if (!key || RegQueryValueExA(key.Get(), valueName, nullptr, &type, data, &length) != ERROR_SUCCESS ||
        !RegNumberDataFits(static_cast<int>(type), data, length)) {
        *size = 0;
        return;
    }
    // Shorter data fills the low bytes; the zeroed rest stays 0.
    *value = RegNumberFromData(static_cast<int>(type), data);
}

int RegWriteValue(HKEY root, const char *subKey, const char *valueName, int type, const void *data, int length) {
    if (length < 0 || (length > 0 && !data)) return 0;
    ScopedRegKey key = OpenKey(root, subKey, KEY_WRITE);
    if (!key) return 0;
    // The platform stores one byte more for a text whose last byte is not NUL when a
    // NUL follows it in memory, and so reads past the data. The private copy ends in
    // a byte that is no NUL, so exactly length bytes are stored and none is read beyond.
    unsigned char *copy = static_cast<unsigned char *>(malloc(static_cast<size_t>(length) + 1));
    if (!copy) return 0;
    if (length > 0) memcpy(copy, data, static_cast<size_t>(length));
    copy[length] = 0xFF;
    RegSetValueExA(key.Get(), valueName, 0, static_cast<DWORD>(type), copy, static_cast<DWORD>(length));
    free(copy);
    return 0;
}

int RegRemoveValue(HKEY root, const char *subKey, const char *valueName) {
    ScopedRegKey key = OpenKey(root, subKey, KEY_WRITE);
    if (key) RegDeleteValueA(key.Get(), valueName);
    return 0;
}
