// Keys and stored values for tests, under the current user: the real registry
// on Windows (read back with the platform's own calls, so a test sees the bytes
// as stored), the in-memory store natively.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

#include "registry.h"

#ifdef _WIN32
#include <windows.h>
#endif

struct TestStoredValue {
    int type = 0;   // 0: no such value
    std::string bytes;
    bool operator==(const TestStoredValue &) const = default;
};

// Shown in failures as the type and the bytes, unprintable ones in hex.
inline void PrintTo(const TestStoredValue &value, std::ostream *os) {
    *os << "{type " << value.type << ", " << value.bytes.size() << " bytes \"";
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned char c : value.bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\')
            *os << static_cast<char>(c);
        else
            *os << "\\x" << digits[c >> 4] << digits[c & 15];
    }
    *os << "\"}";
}

inline void TestCreateKey(const char *subKey) {
#ifdef _WIN32
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
#else
    RegMemCreateKey(TARN_HKEY_CURRENT_USER, subKey);
#endif
}

inline void TestDeleteKey(const char *subKey) {
#ifdef _WIN32
    RegDeleteTreeA(HKEY_CURRENT_USER, subKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, subKey);
#else
    RegMemDeleteKey(TARN_HKEY_CURRENT_USER, subKey);
#endif
}

inline bool TestKeyExists(const char *subKey) {
#ifdef _WIN32
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
#else
    return RegMemKeyExists(TARN_HKEY_CURRENT_USER, subKey) != 0;
#endif
}

// The value's type and bytes as stored.
inline TestStoredValue TestReadValue(const char *subKey, const char *name) {
    TestStoredValue result;
#ifdef _WIN32
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return result;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        // The size asked for first may be an upper bound for texts; the read gives the exact one.
        std::string bytes(size + 2, '\0');
        DWORD length = size + 2;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(bytes.data()), &length) ==
            ERROR_SUCCESS) {
            result.type = static_cast<int>(type);
            result.bytes = bytes.substr(0, length);
        }
    }
    RegCloseKey(key);
#else
    // The store's own readers, each given one byte more than the value holds;
    // numbers of 4 bytes through the number reader, other forms by size alone.
    int type = 0, size = 0;
    RegQueryValueInfo(TARN_HKEY_CURRENT_USER, subKey, name, &type, &size);
    if (type == 0) return result;
    result.type = type;
    result.bytes.assign(static_cast<size_t>(size), '\0');
    int length = size + 1;
    std::string bytes(static_cast<size_t>(length), '\0');
    if (type == TARN_REG_BINARY) {
        RegReadBinary(TARN_HKEY_CURRENT_USER, subKey, name, bytes.data(), &length);
        result.bytes = bytes.substr(0, static_cast<size_t>(length));
    } else if (type == TARN_REG_SZ || type == TARN_REG_MULTI_SZ) {
        RegReadString(TARN_HKEY_CURRENT_USER, subKey, name, bytes.data(), &length);
        result.bytes = bytes.substr(0, static_cast<size_t>(length));
    } else if (type == TARN_REG_DWORD && size == 4) {
        uint32_t value = 0;
        int four = 4;
        RegReadDword(TARN_HKEY_CURRENT_USER, subKey, name, &value, &four);
        for (int b = 0; b < 4; ++b) result.bytes[static_cast<size_t>(b)] = static_cast<char>(value >> (8 * b));
    }
#endif
    return result;
}

// A stored REG_DWORD as a number; -1 when the value is missing or of another form.
inline int64_t TestReadDword(const char *subKey, const char *name) {
    const TestStoredValue value = TestReadValue(subKey, name);
    if (value.type != TARN_REG_DWORD || value.bytes.size() != 4) return -1;
    uint32_t number = 0;
    for (size_t b = 0; b < 4; ++b) number |= static_cast<uint32_t>(static_cast<unsigned char>(value.bytes[b])) << (8 * b);
    return number;
}

inline TestStoredValue Stored(int type, std::string bytes) { return TestStoredValue{type, std::move(bytes)}; }

inline TestStoredValue StoredDword(uint32_t value) {
    std::string bytes(4, '\0');
    for (int b = 0; b < 4; ++b) bytes[static_cast<size_t>(b)] = static_cast<char>(value >> (8 * b));
    return Stored(TARN_REG_DWORD, bytes);
}
