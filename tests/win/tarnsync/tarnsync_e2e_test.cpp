// The real Tarnsync.exe under Wine, with the curl.exe stand-in, against the
// loopback server and a file: address: its texts, exit codes and the database
// it leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "csvreader.h"
#include "summitsdb.h"
#include "../../support/beside.h"
#include "../../support/tempfile.h"
#include "../../support/testtime.h"

namespace {

const char *const kKey = "Software\\Brindlecote\\Tarnlog";

std::string WinPathOfHost(const std::string &unixPath) {
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string FileUrl(std::string windowsPath) {
    for (char &c : windowsPath)
        if (c == '\\') c = '/';
    return "file:///" + windowsPath;
}

// Redirected output comes with CR LF under Wine; the progress count keeps its lone CR.
std::string Lines(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

void SetSetting(const char *name, const std::string &value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

struct Outcome {
    DWORD code;
    std::string out, err;
};

class Tarnsync : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The generated list, with lines the updater must skip or mend added at its end.
        const char *state = getenv("TARN_HTTP_STATE");
        const char *root = getenv("TARN_HTTP_ROOT");
        const char *generated = getenv("TARNSYNC_TEST_LIST");
        ASSERT_TRUE(state && root && generated) << "the loopback server or the generated list is missing";
        port = ReadTestFile(WinPathOfHost(std::string(state) + "/port"));
        served = WinPathOfHost(root);
        list = ReadTestFile(WinPathOfHost(generated));
        ASSERT_GT(list.size(), 10000000u);
        list += "VX/A'B-001,Vornfell X,Region AB,Quoted Ref,500,1640,1.0,2.0,1.0,2.0,1,0,01/01/2010,,0,,\r\n";
        list += "VX/ABCDEFGHIJ-001,Vornfell X,Region AB,Long Ref,500,1640,1.0,2.0,1.0,2.0,1,0,01/01/2010,,0,,\r\n";
        list += "VX/AB-002,Vornfell X,Region AB,Nowhere Fell,500,1640,nan,inf,nan,inf,1,0,2011-04-05,12-25-2030,0,,\r\n";
        WriteBytes(served + "\\summitslist.csv", list);
        WriteBytes(served + "\\small.csv", list.substr(0, 9999999));
    }

    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        // A program folder of its own, so the editor beside it is ours.
        // Folders of each test's own: nothing a previous run left is read again.
        static int tests = 0;
        ++tests;
        program = TestTempPath("program" + std::to_string(tests)).string();
        data = TestTempPath("data" + std::to_string(tests)).string();
        CreateDirectoryA(program.c_str(), nullptr);
        CreateDirectoryA(data.c_str(), nullptr);
        for (const char *name : {"Tarnsync.exe", "curl.exe", "curl-ca-bundle.crt"})
            ASSERT_TRUE(CopyFileA(Beside(name).c_str(), (program + "\\" + name).c_str(), FALSE)) << name;
        ASSERT_TRUE(CopyFileA(Beside("tarnsync_dummy_editor.exe").c_str(), (program + "\\Tarnlog.exe").c_str(), FALSE));
        SetSetting("DBLocation", data);
    }

    void TearDown() override {
        DbClose();
        CsvReaderReset();
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    }

    Outcome Start(const std::string &arguments) {
        ++runs;
        std::string outPath = program + "\\out" + std::to_string(runs) + ".txt";
        std::string errPath = program + "\\err" + std::to_string(runs) + ".txt";
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        HANDLE in = CreateFileA("NUL", GENERIC_READ, 0, &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = in;
        si.hStdOutput = out;
        si.hStdError = err;
        PROCESS_INFORMATION pi = {};
        std::string command = "\"" + program + "\\Tarnsync.exe\" " + arguments;
        Outcome run = {999, "", ""};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, INFINITE);
            GetExitCodeProcess(pi.hProcess, &run.code);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        } else {
            ADD_FAILURE() << "cannot start " << command;
        }
        CloseHandle(in);
        CloseHandle(out);
        CloseHandle(err);
        run.out = Lines(ReadTestFile(outPath));
        run.err = Lines(ReadTestFile(errPath));
        return run;
    }

    std::string HttpUrl(const std::string &name) { return "http://127.0.0.1:" + port + "/" + name; }
    std::string DbPath() { return data + "\\VORN_REFS.MDB"; }
    std::string CsvPath() { return data + "\\summitslist.csv"; }

    // The list's own data lines are found; the skipped ones are not.
    void ExpectDatabaseOfTheList() {
        ASSERT_EQ(DbGetInfoDate(DbPath().c_str(), nullptr, 1), Day(2025, 3, 18));
        EXPECT_EQ(DbCount("\"References\"", nullptr), 180001);
        std::string path = TestTempPath("check.csv").string();
        WriteBytes(path, list.substr(0, 4000));
        FILE *file = fopen(path.c_str(), "rb");
        CsvReaderReset();
        CsvReadLine(file);
        CsvReadLine(file);
        for (int i = 0; i < 10 && CsvReadLine(file); ++i) {
            if (CsvFieldCount() < 17) continue;
            SummitInfo info;
            EXPECT_EQ(DbLookupSummit(CsvGetField(0), &info), 1) << CsvGetField(0);
            EXPECT_FLOAT_EQ(static_cast<float>(info.Latitude), strtof(CsvGetField(9), nullptr));
        }
        fclose(file);
        SummitInfo info;
        EXPECT_EQ(DbLookupSummit("VX/A'B-001", &info), 0);
        EXPECT_EQ(DbLookupSummit("VX/ABCDEFGHIJ-001", &info), 0);
        ASSERT_EQ(DbLookupSummit("VX/AB-002", &info), 1);
        EXPECT_EQ(info.Latitude, 0);
        EXPECT_EQ(info.ValidFrom, Day(2011, 4, 5));
        EXPECT_EQ(info.ValidTo, Day(2030, 12, 25) + 86399);
        DbClose();
    }

    static std::string port, served, list;
    std::string program, data;
    int runs = 0;
};

std::string Tarnsync::port, Tarnsync::served, Tarnsync::list;

bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Downloads the updater left in the temporary folder.
int TempDownloads() {
    char folder[MAX_PATH];
    if (!GetEnvironmentVariableA("TEMP", folder, sizeof folder)) return -1;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "\\VORNCSV*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

TEST_F(Tarnsync, BuildsTheDatabaseFromTheLoopbackServerAndKeepsItWhenADownloadFails) {
    SetSetting("CSV_Download_URL", HttpUrl("files/summitslist.csv"));
    int downloadsBefore = TempDownloads();
    Outcome built = Start("/n");
    EXPECT_EQ(built.code, 0u) << built.out << built.err;
    EXPECT_EQ(built.out.rfind("Tarnsync V1.597 Copyright (C) 2025 Brindlecote \nBuild Date: ", 0), 0u) << built.out;
    EXPECT_TRUE(Has(built.out, "\nChecking ...\nDatabase Location\n\t" + data + "\n")) << built.out;
    EXPECT_TRUE(Has(built.out, "\nDownloading from\n\t" + HttpUrl("files/summitslist.csv") +
                                   "\n\nContacting download site\nChecking CSV\nProcessing CSV\n1000     \r"));
    EXPECT_TRUE(Has(built.out, "180000     \r180003 Summits Processed in ")) << built.out;
    EXPECT_TRUE(Has(built.out, " Secs\n\nCompleted!\n"));
    EXPECT_TRUE(Has(built.err, "WARNING: Unusable Summit reference found on line 180003 (Summit VX/A'B-001) - line skipped!\n"));
    EXPECT_TRUE(Has(built.err, "WARNING: Unusable coordinates set to 0 (VX/AB-002)\n"));
    EXPECT_TRUE(Has(built.err, "WARNING: HTML removed from Summit Name ("));
    EXPECT_EQ(ReadTestFile(CsvPath()), list);
    ExpectDatabaseOfTheList();

    // A young copy and an unchanged date: nothing to do.
    Outcome again = Start("-nopause");
    EXPECT_EQ(again.code, 0u);
    EXPECT_TRUE(Has(again.out, "\nThe CSV should not need updating (as it is less than 24 hours old)\nChecking CSV\n"
                               "The database does not require updating at this time.\n\nCompleted!\n"))
        << again.out;

    // Failed downloads leave the list byte for byte and the database as it was.
    struct Failure {
        std::string url;
        DWORD code;
        std::string out, err;
    } failures[] = {
        {HttpUrl("status/404"), 1, "ERROR: A Problem occurred during the download\n",
         "Update process aborted - please try again another time.\n"},
        {HttpUrl("files/small.csv"), 1, "ERROR: A problem was detected with the download (file is too small)\n",
         "Update process aborted - please try again another time.\n"},
        {HttpUrl("files/x\"--output\"C:\\evil.csv"), 1, "",
         "ERROR: The download address is not a plain http, https or file address\nUpdate process aborted\n"},
    };
    for (const Failure &f : failures) {
        SCOPED_TRACE(f.url);
        SetSetting("CSV_Download_URL", f.url);
        Outcome failed = Start("/a /n");
        EXPECT_EQ(failed.code, f.code);
        EXPECT_TRUE(Has(failed.out, f.out)) << failed.out;
        EXPECT_EQ(failed.err, f.err);
        EXPECT_FALSE(Has(failed.out, "Completed!"));
        EXPECT_TRUE(ReadTestFile(CsvPath()) == list);
    }
    ExpectDatabaseOfTheList();
    EXPECT_FALSE(FileExists((data + "\\summitslist.csv.new").c_str()));
    EXPECT_EQ(TempDownloads(), downloadsBefore);
}

// The time a file was last written, in seconds since 1970.
long long WrittenAt(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    ULARGE_INTEGER time = {{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}};
    return static_cast<long long>(time.QuadPart / 10000000ULL) - 11644473600LL;
}

void SetWrittenAt(const std::string &path, long long seconds) {
    ULARGE_INTEGER time;
    time.QuadPart = static_cast<ULONGLONG>(seconds + 11644473600LL) * 10000000ULL;
    FILETIME written = {time.LowPart, time.HighPart};
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
}

// A download that fails its checks after it was saved never stays as the list:
// the previous one comes back with its age (or the new one goes), so the next
// plain run downloads again once the server is good.
TEST_F(Tarnsync, AFailedDownloadLeavesNoListThatBlocksTheNextUpdate) {
    const std::string flaky = served + "\\flaky.csv";
    SetSetting("CSV_Download_URL", HttpUrl("files/flaky.csv"));
    std::string html = "<html><body>Down for maintenance</body></html>\r\n";
    while (html.size() < 10000000) html += html;
    const size_t cut = list.find("\r\n", 12000000) + 40;   // inside a summit's line

    // No list yet: a list cut short fails the rebuild and is removed.
    WriteBytes(flaky, list.substr(0, cut));
    Outcome failed = Start("/n");
    EXPECT_EQ(failed.code, 1u) << failed.out << failed.err;
    EXPECT_TRUE(Has(failed.err, "ERROR: The CSV ends part way through line ")) << failed.err;
    EXPECT_FALSE(Has(failed.out, "Completed!"));
    EXPECT_FALSE(FileExists(CsvPath().c_str()));
    WriteBytes(flaky, list);
    Outcome built = Start("/n");
    EXPECT_EQ(built.code, 0u) << built.out << built.err;
    EXPECT_TRUE(Has(built.out, "\nDownloading from\n"));
    EXPECT_TRUE(ReadTestFile(CsvPath()) == list);
    ExpectDatabaseOfTheList();

    // A list two days old: a bad download fails and the old list comes back as
    // it was, age and all. An error page fails the check; a list cut short with
    // the database's own date needs no rebuild, and is refused all the same.
    const long long twoDaysAgo = static_cast<long long>(time(nullptr)) - 2 * 86400;
    SetWrittenAt(CsvPath(), twoDaysAgo);
    const struct {
        std::string bytes;
        const char *err;
    } bad[] = {
        {html, "ERROR: The CSV does not have Date of build!\n"},
        {list.substr(0, cut), "ERROR: The CSV ends part way through line "},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.err);
        WriteBytes(flaky, b.bytes);
        failed = Start("/n");
        EXPECT_EQ(failed.code, 1u) << failed.out << failed.err;
        EXPECT_TRUE(Has(failed.err, b.err)) << failed.err;
        EXPECT_TRUE(ReadTestFile(CsvPath()) == list);
        EXPECT_EQ(WrittenAt(CsvPath()), twoDaysAgo);
        ExpectDatabaseOfTheList();
    }

    // The server good again, with a newer list: the next plain run takes it,
    // whole, with a Ctrl+Z byte in a summit's name (which read as text would
    // end the list there, cut short half way).
    std::string newer = list;
    const size_t date = newer.find("Date=18/03/2025");
    ASSERT_NE(date, std::string::npos);
    newer.replace(date, 15, "Date=19/03/2025");
    const size_t name = newer.find(",Region ", 12000000);
    ASSERT_NE(name, std::string::npos);
    newer.insert(newer.find(',', name + 1) + 2, 1, '\x1A');
    WriteBytes(flaky, newer);
    Outcome updated = Start("/n");
    EXPECT_EQ(updated.code, 0u) << updated.out << updated.err;
    EXPECT_TRUE(Has(updated.out, "\nDownloading from\n"));
    EXPECT_TRUE(Has(updated.out, " Summits Processed in ")) << updated.out;
    EXPECT_TRUE(ReadTestFile(CsvPath()) == newer);
    EXPECT_EQ(DbGetInfoDate(DbPath().c_str(), nullptr, 1), Day(2025, 3, 19));
    EXPECT_EQ(DbCount("\"References\"", nullptr), 180001);
    DbClose();
    EXPECT_FALSE(FileExists((CsvPath() + ".old").c_str()));
    EXPECT_FALSE(FileExists((CsvPath() + ".new").c_str()));
}

TEST_F(Tarnsync, UpdateNowFromAFileAddressStartsTheEditorAgain) {
    SetSetting("CSV_Download_URL", FileUrl(served + "\\summitslist.csv"));
    Outcome run = Start("/update-now");
    EXPECT_EQ(run.code, 0u) << run.out << run.err;
    EXPECT_TRUE(Has(run.out, "\nCompleted!\n"));
    ExpectDatabaseOfTheList();
    // The editor is started without waiting for it.
    std::string started = program + "\\editor-started.txt";
    for (int i = 0; i < 100 && !FileExists(started.c_str()); ++i) Sleep(100);
    EXPECT_EQ(Lines(ReadTestFile(started)), "0 arguments\n");
}

TEST_F(Tarnsync, OptionsAndTheCaBundle) {
    Outcome version = Start("word /V /a");
    EXPECT_EQ(version.code, 0u);
    EXPECT_EQ(version.err, "\nUnknown argument 'word' ignored.\n\n");
    EXPECT_FALSE(Has(version.out, "Checking"));

    // A name whose extension is in capitals keeps it in the banner.
    std::string caps = program + "\\caps";
    CreateDirectoryA(caps.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((program + "\\Tarnsync.exe").c_str(), (caps + "\\TARNSYNC.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((program + "\\curl-ca-bundle.crt").c_str(), (caps + "\\curl-ca-bundle.crt").c_str(), FALSE));
    std::string command = "\"" + caps + "\\TARNSYNC.EXE\" -version";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    std::string capsOut = program + "\\caps.txt";
    HANDLE out = CreateFileA(capsOut.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(out);
    EXPECT_EQ(ReadTestFile(capsOut).rfind("TARNSYNC.EXE V1.597 ", 0), 0u) << ReadTestFile(capsOut);
    EXPECT_EQ(version.out.rfind("Tarnsync V1.597 ", 0), 0u);

    DeleteFileA((program + "\\curl-ca-bundle.crt").c_str());
    Outcome missing = Start("/n");
    EXPECT_EQ(missing.code, 1u);
    EXPECT_EQ(missing.out, "ERROR: The required file " + program +
                               "\\curl-ca-bundle.crt is missing - You may need to re-install.\n");
}

}  // namespace
