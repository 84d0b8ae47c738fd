// The Windows text utilities: version resource strings of a test program of
// ours, and the console pause.
#include "strutil_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <string>

#include "../support/beside.h"
#include "../support/tempfile.h"

namespace {

std::string VersionedPath() {
    std::string path = Beside("versioned.exe");
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path << " is missing";
    return path;
}

// The Comments value of versioned.rc.
std::string LongComment() {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "0123456789";
    return text;
}

constexpr char kFill = '#';

TEST(GetFileVersionString, ReadsTheFixedVersionAndNamedStrings) {
    struct Case {
        const char *name;
        std::string expected;
    };
    const Case cases[] = {
        {nullptr, "1.5.9.7"},   // the fixed version, not the FileVersion string
        {"FileVersion", "1.5.9.7 (test build)"},
        {"ProductVersion", "2.0 beta"},
        {"LegalCopyright", "(C) 2025 Tarn test suite"},
        {"Comments", LongComment()},
    };
    const std::string path = VersionedPath();
    for (const auto &c : cases) {
        const char *shown = c.name ? c.name : "(fixed)";
        char out[512];
        memset(out, kFill, sizeof out);
        EXPECT_EQ(GetFileVersionString(out, sizeof out, path.c_str(), c.name), static_cast<int>(c.expected.size()))
            << shown;
        EXPECT_EQ(std::string(out), c.expected) << shown;
    }
}

TEST(GetFileVersionString, CutsToTheCapacityAndTerminates) {
    struct Case {
        const char *name;
        size_t capacity;
        std::string expected;
    };
    const std::string comment = LongComment();
    const Case cases[] = {
        {"Comments", 1, ""},
        {"Comments", 2, "0"},
        {"Comments", 8, "0123456"},
        {"Comments", 300, comment.substr(0, 299)},
        {"Comments", 301, comment},
        {"Comments", 302, comment},
        {"ProductVersion", 4, "2.0"},
        {nullptr, 4, "1.5"},
        {nullptr, 8, "1.5.9.7"},
    };
    const std::string path = VersionedPath();
    for (const auto &c : cases) {
        const char *shown = c.name ? c.name : "(fixed)";
        char out[512];
        memset(out, kFill, sizeof out);
        EXPECT_EQ(GetFileVersionString(out, c.capacity, path.c_str(), c.name), static_cast<int>(c.expected.size()))
            << shown << " in " << c.capacity;
        EXPECT_EQ(std::string(out), c.expected) << shown << " in " << c.capacity;
        for (size_t i = c.expected.size() + 1; i < sizeof out; ++i) {
            ASSERT_EQ(out[i], kFill) << shown << " in " << c.capacity << ": written past the value at " << i;
        }
    }
}

TEST(GetFileVersionString, FailuresReturnZeroAndLeaveTheBuffer) {
    struct Case {
        std::string path;
        const char *name;
        size_t capacity;
    };
    const std::string versioned = VersionedPath();
    const std::string plain = WriteTestFile("no_version.txt", "just text\r\n").string();
    const Case cases[] = {
        {versioned, "NoSuchValue", 64},
        {versioned, "", 64},          // the string table itself, not a value
        {versioned, "Comments", 0},   // no room at all: not even a terminator
        {versioned, nullptr, 0},
        {plain, nullptr, 64},         // a file without a version resource
        {plain, "FileVersion", 64},
        {Beside("no_such_file.exe"), nullptr, 64},
        {Beside("no_such_file.exe"), "FileVersion", 64},
    };
    for (const auto &c : cases) {
        const char *shown = c.name ? c.name : "(fixed)";
        char out[64];
        memset(out, kFill, sizeof out);
        EXPECT_EQ(GetFileVersionString(out, c.capacity, c.path.c_str(), c.name), 0) << c.path << " " << shown;
        EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, kFill)) << c.path << " " << shown;
    }
}

double SecondsTaken(float seconds) {
    auto start = std::chrono::steady_clock::now();
    WaitSecondsOrKey(seconds);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Standard input is /dev/null under the test runner, so no key ever ends a pause.
TEST(WaitSecondsOrKey, NoTickBelowOneStepReturnsAtOnce) {
    // 0.04 s is no whole 50 ms step. Twenty calls together stay far below the one
    // second that twenty single steps would take, even on a busy machine.
    const float cases[] = {0.0f, 0.04f, -1.0f};
    for (float seconds : cases) {
        double total = 0;
        for (int i = 0; i < 20; ++i) total += SecondsTaken(seconds);
        EXPECT_LT(total, 0.5) << seconds;
    }
}

TEST(WaitSecondsOrKey, PausesForTheWholeSteps) {
    // Two 50 ms steps; the upper bound only proves that it does not wait for a key.
    double taken = SecondsTaken(0.1f);
    EXPECT_GE(taken, 0.08);
    EXPECT_LT(taken, 5.0);
}

}  // namespace
