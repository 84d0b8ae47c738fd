// Small files for tests, written byte for byte in a folder of this test process's own,
// so several runs of one test program can go on side by side.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#define TARN_TEST_PID _getpid()
#else
#include <unistd.h>
#define TARN_TEST_PID getpid()
#endif

inline std::filesystem::path TestTempDir() {
    return std::filesystem::temp_directory_path() / ("tarn_test_" + std::to_string(TARN_TEST_PID));
}

// Removes the folder when the test program ends.
struct TestTempCleanup {
    ~TestTempCleanup() {
        std::error_code ignored;
        std::filesystem::remove_all(TestTempDir(), ignored);
    }
};
inline TestTempCleanup testTempCleanup;

inline std::filesystem::path TestTempPath(std::string_view name) {
    std::filesystem::path dir = TestTempDir();
    std::filesystem::create_directories(dir);
    return dir / std::string(name);
}

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadTestFile(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path &path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::filesystem::path WriteTestFile(std::string_view name, std::string_view bytes) {
    std::filesystem::path path = TestTempPath(name);
    WriteBytes(path, bytes);
    return path;
}
