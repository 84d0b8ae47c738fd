// How the registry's number reader turns stored data into a number: shared by
// the real registry and the in-memory store, so the two cannot drift apart.
// Internal to the registry module.
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
