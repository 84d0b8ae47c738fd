// The rules of the registry readers that do not depend on the store: how stored
// data becomes a number, and which data a text or byte reader may hand over.
// Shared by the real registry and the in-memory store, so the two cannot drift
// apart. Internal to the registry module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "registry.h"

// The largest data the number reader accepts, in bytes.
constexpr size_t kNumberBufferSize = 64;

// False when data of this type and length does not count as a stored number
// (too long, or a text that fills the buffer without its terminator).
inline bool RegNumberDataFits(int type, const unsigned char *data, size_t length) {
    return length <= kNumberBufferSize &&
           !(type == TARN_REG_SZ && length == kNumberBufferSize && data[length - 1] != '\0');
}

// data holds the stored bytes zero-padded to kNumberBufferSize + 1. A text
// reads its leading decimal number (clamped to 32 bits, so every C library
// agrees), a DWORD its little-endian bytes; any other type reads 0.
inline uint32_t RegNumberFromData(int type, const unsigned char *data) {
    if (type == TARN_REG_SZ) {
        long long number = strtoll(reinterpret_cast<const char *>(data), nullptr, 10);
        if (number > INT32_MAX) number = INT32_MAX;
        if (number < INT32_MIN) number = INT32_MIN;
        return static_cast<uint32_t>(static_cast<int32_t>(number));
    }
    if (type == TARN_REG_DWORD) {
        return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
               static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    }
    return 0;
}

// True when stored data of this type and length goes to a reader with room
// for capacity bytes (at least 1): a text reader (text) takes REG_SZ and
// REG_MULTI_SZ, the byte reader REG_BINARY. A text that fills the room without
// a terminator is refused, as it would be read past its end later.
inline bool RegBytesReadable(int type, bool text, const unsigned char *data, size_t length, size_t capacity) {
    if (length > capacity) return false;
    if (text ? type != TARN_REG_SZ && type != TARN_REG_MULTI_SZ : type != TARN_REG_BINARY) return false;
    return !(text && length == capacity && data[length - 1] != '\0');
}

// The store's own reader behind RegReadString (text) and RegReadBinary: the
// value's bytes into buffer, *size the capacity in and the length out; size 0
// and the buffer untouched for anything RegBytesReadable refuses.
void RegReadBytes(HKEY root, const char *subKey, const char *valueName, void *buffer, int *size, bool text);
