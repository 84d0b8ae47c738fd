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

// Runs curl.exe hidden with the given parameters and returns its exit code;
// what it wrote on standard error goes to err when asked for.
DWORD RunCurl(const std::string &parameters, std::string *err = nullptr) {
    // Appended piece by piece: GCC 12 mis-warns (-Wrestrict) on a chain of + here.
    std::string command = "\"";
    command += Beside("curl.exe");
    command += "\" ";
    command += parameters;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    // A name of its own each run: Wine may still hold the last one for a moment.
    static int runs = 0;
    const std::string errPath = Beside(("curl-stderr" + std::to_string(++runs) + ".txt").c_str());
    HANDLE errFile = INVALID_HANDLE_VALUE;
    if (err) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        errFile = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = errFile;
    }
    PROCESS_INFORMATION pi = {};
    const BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, err ? TRUE : FALSE, 0, nullptr, nullptr, &si, &pi);
    if (errFile != INVALID_HANDLE_VALUE) CloseHandle(errFile);
    if (!started) {
        ADD_FAILURE() << "cannot start " << command;
        return 999;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 999;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (err) {
        *err = ReadTestFile(errPath);
        DeleteFileA(errPath.c_str());
    }
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

// A body that ends before its length or its last chunk is no whole file:
// exit code 18 as curl gives it, with what arrived kept and a message.
TEST_F(Curl, CutShortBodiesFailAsCurlDoes) {
    struct Case {
        const char *name;
        const char *path;
        DWORD code;
        std::string stored;
        const char *message;
    };
    std::string tenLetters;
    for (int i = 0; i < 300; ++i) tenLetters += "abcdefghij";
    const Case cases[] = {
        {"shorter than its Content-Length", "/short", 18, std::string(1000, 'x'),
         "curl: (18) transfer closed with 99000 bytes remaining to read"},
        {"chunked, closed before the last chunk", "/chunked/cut", 18, tenLetters,
         "curl: (18) transfer closed with outstanding read data remaining"},
        {"chunked, closed inside a chunk", "/chunked/inside", 18, tenLetters + std::string(400, 'k'),
         "curl: (18) transfer closed with outstanding read data remaining"},
        {"chunked and whole", "/chunked/whole", 0, tenLetters, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(out.c_str());
        std::string err;
        EXPECT_EQ(RunCurl(UpdaterLine(base + c.path), &err), c.code);
        EXPECT_TRUE(ReadTestFile(out) == c.stored) << ReadTestFile(out).size();
        if (c.message) {
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
        } else {
            EXPECT_EQ(err, "");
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
