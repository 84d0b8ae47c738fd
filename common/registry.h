// Typed access to single registry values under a root key and subkey the caller
// names, and the key both programs keep their settings in. Each call opens the
// key for itself and closes it again; no function creates a key, and none
// reports an error: readers signal absence through size 0, writers and the
// remover always return 0.
//
// Usable without <windows.h>: the Windows build talks to advapi32
// (registry_win.cpp), the native build to an in-memory store with the same
// observable rules (registry_mem.cpp); registry.cpp holds what both share.
#pragma once

#include <cstdint>

// The platform's key handle, declared the way <windows.h> declares it.
struct HKEY__;
typedef struct HKEY__ *HKEY;

// Root keys and value types with the platform's own numbers, for code that
// includes no <windows.h>.
#define TARN_HKEY_CURRENT_USER ((HKEY)(intptr_t)(int32_t)0x80000001u)
#define TARN_HKEY_LOCAL_MACHINE ((HKEY)(intptr_t)(int32_t)0x80000002u)
constexpr int TARN_REG_NONE = 0;
constexpr int TARN_REG_SZ = 1;
constexpr int TARN_REG_BINARY = 3;
constexpr int TARN_REG_DWORD = 4;
constexpr int TARN_REG_MULTI_SZ = 7;

// The settings key under TARN_HKEY_CURRENT_USER: the editor creates it and
// writes its values, the updater only reads some of them.
extern const char SettingsKey[];

// Type and data size of the value; both 0 when the key cannot be opened or the
// value does not exist.
void RegQueryValueInfo(HKEY root, const char *subKey, const char *valueName, int *type, int *size);

// Reads a number. The caller sets *size to 4 and tests it afterwards: still 4
// means found, 0 means missing (value 0). A REG_DWORD gives its little-endian
// bytes (at most 4), a REG_SZ its leading decimal number (blanks and a sign
// allowed, no digits give 0, beyond 32 bits the nearest 32-bit limit), any other
// type 0 with the size unchanged. Data over 64 bytes, or text that fills all 64
// without a terminator, counts as missing.
void RegReadDword(HKEY root, const char *subKey, const char *valueName, uint32_t *value, int *size);

// Reads a REG_SZ or REG_MULTI_SZ value: *size holds the buffer's capacity on
// entry and the data length on return. The data is copied exactly as stored (no
// terminator added). Missing, another type, data longer than the capacity, or
// text that fills the capacity without a terminator: size 0 and the buffer left
// untouched.
void RegReadString(HKEY root, const char *subKey, const char *valueName, char *buffer, int *size);

// The same for a REG_BINARY value (which fills its capacity freely).
void RegReadBinary(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size);

// Stores exactly length bytes of data with the given type; a text is stored
// without a terminator unless the data holds one. Returns 0.
int RegWriteValue(HKEY root, const char *subKey, const char *valueName, int type, const void *data, int length);

// Stores a 4-byte REG_DWORD. Returns 0.
int RegWriteDword(HKEY root, const char *subKey, const char *valueName, uint32_t value);

// Stores length bytes as REG_BINARY. Returns 0.
int RegWriteBinary(HKEY root, const char *subKey, const char *valueName, const void *data, int length);

// Deletes the value. Returns 0.
int RegRemoveValue(HKEY root, const char *subKey, const char *valueName);

#ifndef _WIN32
// The native store starts empty under every root; keys exist only once made
// here, as on Windows only something outside these functions creates one.
void RegMemCreateKey(HKEY root, const char *subKey);   // with any missing parents
void RegMemDeleteKey(HKEY root, const char *subKey);   // with its values and subkeys
int RegMemKeyExists(HKEY root, const char *subKey);    // 1 or 0
#endif
