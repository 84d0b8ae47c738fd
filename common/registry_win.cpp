// The registry functions on advapi32.
#include "registry.h"
#include "registry_number.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>

static_assert(TARN_REG_NONE == REG_NONE && TARN_REG_SZ == REG_SZ && TARN_REG_BINARY == REG_BINARY &&
              TARN_REG_DWORD == REG_DWORD && TARN_REG_MULTI_SZ == REG_MULTI_SZ);

namespace {


// Closes an opened key on every path.
struct OpenKey {
    HKEY key = nullptr;
    OpenKey(HKEY root, const char *subKey, REGSAM access) {
        if (RegOpenKeyExA(root, subKey, 0, access, &key) != ERROR_SUCCESS) key = nullptr;
    }
    ~OpenKey() {
        if (key) RegCloseKey(key);
    }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;
};

bool IsText(DWORD type) { return type == REG_SZ || type == REG_MULTI_SZ; }

// atol's reading, kept to 32 bits the same way on every runtime.
// Reads a text or binary value through scratch memory, so the caller's buffer
// sees nothing of a failed or refused query.
void ReadBytes(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size, bool text) {
    const int capacity = *size;
    *size = 0;
    OpenKey key(root, subKey, KEY_QUERY_VALUE);
    if (!key.key || capacity <= 0) return;
    // One spare byte: the platform may append a terminator after a text that fits.
    unsigned char *scratch = static_cast<unsigned char *>(malloc(static_cast<size_t>(capacity) + 1));
    if (!scratch) return;
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(capacity);
    if (RegQueryValueExA(key.key, valueName, nullptr, &type, scratch, &length) == ERROR_SUCCESS &&
        length <= static_cast<DWORD>(capacity)) {
        const bool accepted = text ? IsText(type) : type == REG_BINARY;
        // A text that fills the buffer with no terminator would be read past its end later.
        const bool unterminated = text && length == static_cast<DWORD>(capacity) && scratch[length - 1] != '\0';
        if (accepted && !unterminated) {
            memcpy(buffer, scratch, length);
            *size = static_cast<int>(length);
        }
    }
    free(scratch);
}

}  // namespace

void RegQueryValueInfo(HKEY root, const char *subKey, const char *valueName, int *type, int *size) {
    *type = 0;
    *size = 0;
    OpenKey key(root, subKey, KEY_QUERY_VALUE);
    if (!key.key) return;
    DWORD foundType = 0, foundSize = 0;
    if (RegQueryValueExA(key.key, valueName, nullptr, &foundType, nullptr, &foundSize) != ERROR_SUCCESS) return;
    *type = static_cast<int>(foundType);
    *size = static_cast<int>(foundSize);
}

void RegReadDword(HKEY root, const char *subKey, const char *valueName, uint32_t *value, int *size) {
    *value = 0;
    OpenKey key(root, subKey, KEY_QUERY_VALUE);
    // One byte beyond the limit: room for the terminator the platform may append.
    unsigned char data[kNumberBufferSize + 1] = {};
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(kNumberBufferSize);
    if (!key.key || RegQueryValueExA(key.key, valueName, nullptr, &type, data, &length) != ERROR_SUCCESS ||
        !RegNumberDataFits(static_cast<int>(type), data, length)) {
        *size = 0;
        return;
    }
    // Shorter data fills the low bytes; the zeroed rest stays 0.
    *value = RegNumberFromData(static_cast<int>(type), data);
}

void RegReadString(HKEY root, const char *subKey, const char *valueName, char *buffer, int *size) {
    ReadBytes(root, subKey, valueName, buffer, size, true);
}

void RegReadBinary(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size) {
    ReadBytes(root, subKey, valueName, buffer, size, false);
}

int RegWriteValue(HKEY root, const char *subKey, const char *valueName, int type, const void *data, int length) {
    if (length < 0 || (length > 0 && !data)) return 0;
    OpenKey key(root, subKey, KEY_WRITE);
    if (!key.key) return 0;
    // The platform stores one byte more for a text whose last byte is not NUL when a
    // NUL follows it in memory, and so reads past the data. The private copy ends in
    // a byte that is no NUL, so exactly length bytes are stored and none is read beyond.
    unsigned char *copy = static_cast<unsigned char *>(malloc(static_cast<size_t>(length) + 1));
    if (!copy) return 0;
    if (length > 0) memcpy(copy, data, static_cast<size_t>(length));
    copy[length] = 0xFF;
    RegSetValueExA(key.key, valueName, 0, static_cast<DWORD>(type), copy, static_cast<DWORD>(length));
    free(copy);
    return 0;
}

int RegWriteDword(HKEY root, const char *subKey, const char *valueName, uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return RegWriteValue(root, subKey, valueName, REG_DWORD, bytes, 4);
}

int RegWriteBinary(HKEY root, const char *subKey, const char *valueName, const void *data, int length) {
    return RegWriteValue(root, subKey, valueName, REG_BINARY, data, length);
}

int RegRemoveValue(HKEY root, const char *subKey, const char *valueName) {
    OpenKey key(root, subKey, KEY_WRITE);
    if (key.key) RegDeleteValueA(key.key, valueName);
    return 0;
}
