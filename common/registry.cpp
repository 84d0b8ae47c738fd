// The registry functions that are the same over every store: the typed readers
// and writers built on each store's RegReadBytes and RegWriteValue, and the
// settings key. The stores themselves are registry_win.cpp (advapi32) and
// registry_mem.cpp (in memory, for native builds).
#include "registry.h"
#include "registry_store.h"

const char SettingsKey[] = "Software\\Brindlecote\\Tarnlog";

void RegReadString(HKEY root, const char *subKey, const char *valueName, char *buffer, int *size) {
    RegReadBytes(root, subKey, valueName, buffer, size, true);
}

void RegReadBinary(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size) {
    RegReadBytes(root, subKey, valueName, buffer, size, false);
}

int RegWriteDword(HKEY root, const char *subKey, const char *valueName, uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return RegWriteValue(root, subKey, valueName, TARN_REG_DWORD, bytes, 4);
}

int RegWriteBinary(HKEY root, const char *subKey, const char *valueName, const void *data, int length) {
    return RegWriteValue(root, subKey, valueName, TARN_REG_BINARY, data, length);
}
