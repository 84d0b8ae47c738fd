// One table of registry cases for both builds: natively it runs against the
// in-memory store, under Wine against the real registry, so the two cannot drift.
#include "registry.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "../support/tempfile.h"
#include "../support/testregistry.h"

using namespace std::string_literals;

namespace {

class Registry : public ::testing::Test {
protected:
    // A scratch key of this test process's own, so parallel runs keep apart.
    std::string key = "Software\\Brindlecote\\TarnTest\\" + std::to_string(TARN_TEST_PID);
    std::string missingKey = key + "\\Missing";

    void SetUp() override {
        TestDeleteKey(key.c_str());
        TestCreateKey(key.c_str());
        ASSERT_TRUE(TestKeyExists(key.c_str()));
    }
    void TearDown() override { TestDeleteKey(key.c_str()); }
};

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

enum class Read { Info, Dword, String, Binary };

struct ReadCase {
    const char *what;
    int storedType;   // 0: nothing stored
    std::string stored;
    Read read;
    int capacity;   // String and Binary; the number reader always offers 4
    int size;       // the size after the call
    int type;       // Info
    uint32_t value; // Dword
    std::string copied;   // String and Binary: the buffer's leading bytes
    bool inMissingKey = false;
};

constexpr char kUntouched = '#';

TEST_F(Registry, ReadersKeepTheirSizeContract) {
    const std::string blanks62(62, ' ');
    const std::string pattern = [] {
        std::string bytes;
        for (int i = 0; i < 64; ++i) bytes += static_cast<char>((i * 37) & 0xFF);   // NULs and high bytes too
        return bytes;
    }();
    const ReadCase cases[] = {
        {"info of a missing value", 0, "", Read::Info, 0, 0, 0, 0, ""},
        {"info in a missing key", TARN_REG_SZ, "abc", Read::Info, 0, 0, 0, 0, "", true},
        {"info of a text", TARN_REG_SZ, "abc", Read::Info, 0, 3, TARN_REG_SZ, 0, ""},
        {"info of the empty text", TARN_REG_SZ, "\0"s, Read::Info, 0, 1, TARN_REG_SZ, 0, ""},
        {"info of a list", TARN_REG_MULTI_SZ, "a\0b\0\0"s, Read::Info, 0, 5, TARN_REG_MULTI_SZ, 0, ""},
        {"info of bytes", TARN_REG_BINARY, pattern, Read::Info, 0, 64, TARN_REG_BINARY, 0, ""},
        {"info of a number", TARN_REG_DWORD, "\1\0\0\0"s, Read::Info, 0, 4, TARN_REG_DWORD, 0, ""},

        {"number", TARN_REG_DWORD, "\x78\x56\x34\x12", Read::Dword, 0, 4, 0, 0x12345678u, ""},
        {"all bits", TARN_REG_DWORD, "\xFF\xFF\xFF\xFF", Read::Dword, 0, 4, 0, 0xFFFFFFFFu, ""},
        {"short number", TARN_REG_DWORD, "\x34\x12", Read::Dword, 0, 4, 0, 0x1234u, ""},
        {"long number: low 4 bytes", TARN_REG_DWORD, "\x78\x56\x34\x12\xAA\xBB\xCC\xDD", Read::Dword, 0, 4, 0,
         0x12345678u, ""},
        {"number over 64 bytes", TARN_REG_DWORD, std::string(65, '\1'), Read::Dword, 0, 0, 0, 0, ""},
        {"text 42abc", TARN_REG_SZ, "42abc", Read::Dword, 0, 4, 0, 42, ""},
        {"empty text is found", TARN_REG_SZ, "\0"s, Read::Dword, 0, 4, 0, 0, ""},
        {"text with blanks and sign", TARN_REG_SZ, "  -17x", Read::Dword, 0, 4, 0, 0xFFFFFFEFu, ""},
        {"text without digits", TARN_REG_SZ, "abc", Read::Dword, 0, 4, 0, 0, ""},
        {"text beyond 32 bits", TARN_REG_SZ, "99999999999", Read::Dword, 0, 4, 0, 0x7FFFFFFFu, ""},
        {"text below 32 bits", TARN_REG_SZ, "-99999999999", Read::Dword, 0, 4, 0, 0x80000000u, ""},
        {"text of 63 characters", TARN_REG_SZ, blanks62 + "7", Read::Dword, 0, 4, 0, 7, ""},
        {"text of 63 characters and NUL", TARN_REG_SZ, blanks62 + "7\0"s, Read::Dword, 0, 4, 0, 7, ""},
        {"text filling 64 bytes unterminated", TARN_REG_SZ, blanks62 + "77", Read::Dword, 0, 0, 0, 0, ""},
        {"text of 65 characters", TARN_REG_SZ, blanks62 + "777", Read::Dword, 0, 0, 0, 0, ""},
        {"bytes read as 0, found", TARN_REG_BINARY, "\5\0\0\0"s, Read::Dword, 0, 4, 0, 0, ""},
        {"list read as 0, found", TARN_REG_MULTI_SZ, "5\0\0"s, Read::Dword, 0, 4, 0, 0, ""},
        {"missing number", 0, "", Read::Dword, 0, 0, 0, 0, ""},
        {"number in a missing key", TARN_REG_DWORD, "\1\0\0\0"s, Read::Dword, 0, 0, 0, 0, "", true},

        {"text copied without terminator", TARN_REG_SZ, "abc", Read::String, 260, 3, 0, 0, "abc"},
        {"the empty text", TARN_REG_SZ, "\0"s, Read::String, 260, 1, 0, 0, "\0"s},
        {"list with inner NULs", TARN_REG_MULTI_SZ, "a\0b\0\0"s, Read::String, 260, 5, 0, 0, "a\0b\0\0"s},
        {"text longer than the buffer", TARN_REG_SZ, std::string(300, 'x'), Read::String, 260, 0, 0, 0, ""},
        {"text filling the buffer unterminated", TARN_REG_SZ, "abcd", Read::String, 4, 0, 0, 0, ""},
        {"text and NUL filling the buffer", TARN_REG_SZ, "abc\0"s, Read::String, 4, 4, 0, 0, "abc\0"s},
        {"text one short of the buffer", TARN_REG_SZ, "abcd", Read::String, 5, 4, 0, 0, "abcd"},
        {"list filling the buffer", TARN_REG_MULTI_SZ, "ab\0\0"s, Read::String, 4, 4, 0, 0, "ab\0\0"s},
        {"list filling the buffer unterminated", TARN_REG_MULTI_SZ, "a\0bc"s, Read::String, 4, 0, 0, 0, ""},
        {"a number is no text", TARN_REG_DWORD, "\1\0\0\0"s, Read::String, 260, 0, 0, 0, ""},
        {"bytes are no text", TARN_REG_BINARY, "abc", Read::String, 260, 0, 0, 0, ""},
        {"no room at all", TARN_REG_SZ, "abc", Read::String, 0, 0, 0, 0, ""},
        {"missing text", 0, "", Read::String, 260, 0, 0, 0, ""},
        {"text in a missing key", TARN_REG_SZ, "abc", Read::String, 260, 0, 0, 0, "", true},

        {"64 bytes of colours", TARN_REG_BINARY, pattern, Read::Binary, 64, 64, 0, 0, pattern},
        {"bytes longer than the buffer", TARN_REG_BINARY, pattern + "x", Read::Binary, 64, 0, 0, 0, ""},
        {"a text is no bytes", TARN_REG_SZ, "abc", Read::Binary, 64, 0, 0, 0, ""},
        {"missing bytes", 0, "", Read::Binary, 64, 0, 0, 0, ""},
    };

    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // Written under one spelling, read under another: names compare without case.
        const std::string name = "Value" + std::to_string(index++);
        const std::string where = c.inMissingKey ? missingKey : key;
        if (c.storedType != 0) {
            EXPECT_EQ(RegWriteValue(TARN_HKEY_CURRENT_USER, key.c_str(), name.c_str(), c.storedType, c.stored.data(),
                                    static_cast<int>(c.stored.size())),
                      0);
#ifdef _WIN32
            // Exactly the given bytes, though a NUL follows the text in memory.
            EXPECT_EQ(TestReadValue(key.c_str(), name.c_str()), Stored(c.storedType, c.stored));
#endif
        }
        const std::string readKey = Upper(where), readName = Upper(name);
        char buffer[300];
        memset(buffer, kUntouched, sizeof buffer);
        int size = 0;
        switch (c.read) {
        case Read::Info: {
            int type = -1;
            size = -1;
            RegQueryValueInfo(TARN_HKEY_CURRENT_USER, readKey.c_str(), readName.c_str(), &type, &size);
            EXPECT_EQ(type, c.type);
            break;
        }
        case Read::Dword: {
            uint32_t value = 0xDEADBEEF;
            size = 4;
            RegReadDword(TARN_HKEY_CURRENT_USER, readKey.c_str(), readName.c_str(), &value, &size);
            EXPECT_EQ(value, c.value);
            break;
        }
        case Read::String:
            size = c.capacity;
            RegReadString(TARN_HKEY_CURRENT_USER, readKey.c_str(), readName.c_str(), buffer, &size);
            break;
        case Read::Binary:
            size = c.capacity;
            RegReadBinary(TARN_HKEY_CURRENT_USER, readKey.c_str(), readName.c_str(), buffer, &size);
            break;
        }
        EXPECT_EQ(size, c.size);
        // The copied bytes, and not one byte more: no terminator added, nothing left by a refused read.
        EXPECT_EQ(std::string(buffer, c.copied.size()), c.copied);
        EXPECT_EQ(std::string(buffer + c.copied.size(), sizeof buffer - c.copied.size()),
                  std::string(sizeof buffer - c.copied.size(), kUntouched));
    }
}

TEST_F(Registry, WritersStoreExactFormsAndCreateNothing) {
    const char *k = key.c_str();
    EXPECT_EQ(RegWriteDword(TARN_HKEY_CURRENT_USER, k, "Number", 0x80000001u), 0);
    EXPECT_EQ(TestReadValue(k, "Number"), StoredDword(0x80000001u));
    EXPECT_EQ(RegWriteBinary(TARN_HKEY_CURRENT_USER, k, "Bytes", "\0\1\2"s.data(), 3), 0);
    EXPECT_EQ(TestReadValue(k, "Bytes"), Stored(TARN_REG_BINARY, "\0\1\2"s));

    // A value written again takes the new type and bytes.
    RegWriteValue(TARN_HKEY_CURRENT_USER, k, "NUMBER", TARN_REG_SZ, "12", 2);
    EXPECT_EQ(TestReadValue(k, "Number"), Stored(TARN_REG_SZ, "12"));

    EXPECT_EQ(RegRemoveValue(TARN_HKEY_CURRENT_USER, k, "bytes"), 0);
    EXPECT_EQ(TestReadValue(k, "Bytes"), TestStoredValue{});
    EXPECT_EQ(RegRemoveValue(TARN_HKEY_CURRENT_USER, k, "Bytes"), 0);   // already gone: nothing happens

    // Nothing reaches a key that does not exist, and no key is made for it.
    const std::string deeper = missingKey + "\\Deeper";
    for (const std::string &absent : {missingKey, deeper}) {
        const char *a = absent.c_str();
        EXPECT_EQ(RegWriteValue(TARN_HKEY_CURRENT_USER, a, "Text", TARN_REG_SZ, "abc", 3), 0);
        EXPECT_EQ(RegWriteDword(TARN_HKEY_CURRENT_USER, a, "Number", 1), 0);
        EXPECT_EQ(RegWriteBinary(TARN_HKEY_CURRENT_USER, a, "Bytes", "x", 1), 0);
        EXPECT_EQ(RegRemoveValue(TARN_HKEY_CURRENT_USER, a, "Text"), 0);
        EXPECT_FALSE(TestKeyExists(a)) << absent;
    }
    int type = -1, size = -1;
    RegQueryValueInfo(TARN_HKEY_CURRENT_USER, missingKey.c_str(), "Text", &type, &size);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(size, 0);
}

}  // namespace
