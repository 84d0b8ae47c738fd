// The curl.exe stand-in, run as the programs run it, against the tests' loopback server.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "../support/beside.h"
#include "../support/tempfile.h"

namespace {

// Host paths reach Wine through its Z: drive.
std::string WinPathOfHost(const std::string &unixPath) {
    std::string path = "Z:" + unixPath;
    for (char &c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs curl.exe hidden with the given parameters and returns its exit code.
DWORD RunCurl(const std::string &parameters) {
    // Appended piece by piece: GCC 12 mis-warns (-Wrestrict) on a chain of + here.
    std::string command = "\"";
    command += Beside("curl.exe");
    command += "\" ";
    command += parameters;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << command;
        return 999;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 999;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

class Curl : public ::testing::Test {
protected:
    void SetUp() override {
        const char *state = getenv("TARN_HTTP_STATE");
        const char *root = getenv("TARN_HTTP_ROOT");
        ASSERT_TRUE(state && root) << "the loopback server fixture is not running";
        port = ReadTestFile(WinPathOfHost(std::string(state) + "/port"));
        ASSERT_FALSE(port.empty());
        served = WinPathOfHost(root);
        base = "http://127.0.0.1:" + port;
        out = served + "\\fetched.out";
        DeleteFileA(out.c_str());
        caBundle = served + "\\curl-ca-bundle.crt";
        WriteBytes(caBundle, "bundle\n");
    }
    // The updater's own parameter line.
    std::string UpdaterLine(const std::string &url, const std::string &maxTime = "300") {
        return "--fail --cacert \"" + caBundle + "\" --location --url \"" + url + "\" --output \"" + out +
               "\" --connect-timeout 15 --max-time " + maxTime;
    }
    std::string port, served, base, out, caBundle;
};

TEST_F(Curl, StoresTheWholeFile) {
    std::string big(12u << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 % 251);
    WriteBytes(served + "\\big.bin", big);
    EXPECT_EQ(RunCurl(UpdaterLine(base + "/files/big.bin")), 0u);
    EXPECT_TRUE(ReadTestFile(out) == big);

    // The editor's line has no --location; options may come in any order.
    WriteBytes(served + "\\version.txt", "1.2.3\r\nhttps://example.invalid/get\r\n");
    EXPECT_EQ(RunCurl("--max-time 30 --output \"" + out + "\" --url \"" + base +
                      "/files/version.txt\" --connect-timeout 5 --cacert \"" + caBundle + "\" --fail"),
              0u);
    EXPECT_EQ(ReadTestFile(out), "1.2.3\r\nhttps://example.invalid/get\r\n");
}

TEST_F(Curl, HttpErrors) {
    struct Case {
        const char *name;
        std::string parameters;
        DWORD code;
        bool stored;
        const char *body;
    };
    const Case cases[] = {
        {"404 with --fail", UpdaterLine(base + "/status/404"), 22, false, ""},
        {"500 with --fail", UpdaterLine(base + "/status/500"), 22, false, ""},
        {"404 without --fail", "--url " + base + "/status/404 --output \"" + out + "\"", 0, true, "status body\n"},
        {"redirect followed", UpdaterLine(base + "/redirect/version.txt"), 0, true, "1.2.3\n"},
        {"redirect not followed", "--fail --url " + base + "/redirect/version.txt --output \"" + out + "\"", 0,
         true, "moved on\n"},
        {"cut short", UpdaterLine(base + "/short"), 18, true, nullptr},
        {"stalled past --max-time", UpdaterLine(base + "/slow", "2"), 28, true, nullptr},
        {"refused", UpdaterLine("http://127.0.0.1:1/files/version.txt"), 7, false, ""},
    };
    WriteBytes(served + "\\version.txt", "1.2.3\n");
    for (const auto &c : cases) {
        DeleteFileA(out.c_str());
        EXPECT_EQ(RunCurl(c.parameters), c.code) << c.name;
        EXPECT_EQ(Exists(out), c.stored) << c.name;
        if (c.stored && c.body) {
            EXPECT_EQ(ReadTestFile(out), c.body) << c.name;
        }
    }
}

TEST_F(Curl, FileAddresses) {
    WriteBytes(served + "\\list.csv", "VORN Summits List (Date=01/02/2025)\r\n");
    std::string url = "file:///" + served + "\\list.csv";
    for (char &c : url) {
        if (c == '\\') c = '/';
    }
    EXPECT_EQ(RunCurl(UpdaterLine(url)), 0u);
    EXPECT_EQ(ReadTestFile(out), "VORN Summits List (Date=01/02/2025)\r\n");
    DeleteFileA(out.c_str());
    EXPECT_EQ(RunCurl(UpdaterLine("file:///Z:/no/such/file.csv")), 37u);
    EXPECT_FALSE(Exists(out));
}

TEST_F(Curl, RefusesCommandLinesItDoesNotKnow) {
    const std::string lines[] = {
        "--fail --url " + base + "/files/version.txt --insecure --output \"" + out + "\"",
        "--fail --output \"" + out + "\"",
        "--url " + base + "/files/version.txt --max-time soon",
        "--url",
        base + "/files/version.txt",
    };
    for (const auto &line : lines) {
        EXPECT_EQ(RunCurl(line), 2u) << line;
        EXPECT_FALSE(Exists(out)) << line;
    }
}

}  // namespace
