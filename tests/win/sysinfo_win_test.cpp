// The system functions under Wine: the process finder with a probe program, the
// version, administrator and UAC tests, the console window and timed boxes.
#include "sysinfo.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <string>
#include <thread>
#include <vector>

#include "../support/beside.h"
#include "../support/tempfile.h"
#include "registry.h"

namespace {

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Starts the probe program copied to fileName (in this test's temp folder); the
// process handle, or NULL.
HANDLE StartProbe(const std::string &fileName, const char *arguments = "") {
    const std::string path = TestTempPath(fileName).string();
    if (!CopyFileA(Beside("sysprobe.exe").c_str(), path.c_str(), FALSE)) return nullptr;
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Ends the probe on every path, a failed check included.
struct RunningProbe {
    HANDLE process;
    ~RunningProbe() { End(); }
    void End() {
        if (!process) return;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        process = nullptr;
    }
};

// Polls for up to ten seconds: a new process lists its modules only once it is loaded.
bool BecomesRunning(const std::string &name, int wanted) {
    for (int i = 0; i < 200; ++i) {
        if (IsProcessRunning(name.c_str()) == wanted) return true;
        Sleep(50);
    }
    return false;
}

std::vector<DWORD> ProcessIds() {
    std::vector<DWORD> ids(65536);
    DWORD bytes = 0;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return {};
    ids.resize(bytes / sizeof(DWORD));
    return ids;
}

TEST(IsProcessRunning, FindsAProgramByItsNameInAnyCase) {
    const std::string name = "TarnLog-Probe" + std::to_string(GetCurrentProcessId()) + ".Exe";
    EXPECT_EQ(IsProcessRunning(Upper(name).c_str()), 0);

    RunningProbe probe{StartProbe(name)};
    ASSERT_NE(probe.process, nullptr);
    ASSERT_TRUE(BecomesRunning(Upper(name), 1));
    EXPECT_EQ(IsProcessRunning(name.c_str()), 1);
    EXPECT_EQ(IsProcessRunning(Lower(name).c_str()), 1);
    // The whole base name must match.
    EXPECT_EQ(IsProcessRunning(name.substr(0, name.size() - 4).c_str()), 0);
    EXPECT_EQ(IsProcessRunning(("X" + name).c_str()), 0);
    EXPECT_EQ(IsProcessRunning((name + "x").c_str()), 0);
    // The process array starts with room for fewer processes than run here, so the
    // probe was found only because the array grew.
    EXPECT_GT(ProcessIds().size(), 4u);

    probe.End();
    EXPECT_TRUE(BecomesRunning(Upper(name), 0));
}

TEST(IsVistaOrLater, FollowsTheReportedVersion) {
    EXPECT_EQ(IsVistaOrLater(), 1);   // this prefix reports a later Windows

    // The probe, told by Wine's per-program setting that it runs on XP.
    const std::string name = "XpProbe" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string appKey = "Software\\Wine\\AppDefaults\\" + name;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, appKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>("winxp"), 6);
    RegCloseKey(key);
    HANDLE process = StartProbe(name, "version");
    ASSERT_NE(process, nullptr);
    WaitForSingleObject(process, 30000);
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    RegDeleteKeyA(HKEY_CURRENT_USER, appKey.c_str());
    EXPECT_EQ(exitCode, 0u);
}

TEST(IsUserAdmin, TheWineUserIsAnAdministrator) { EXPECT_EQ(IsUserAdmin(), 1); }

// Sets EnableLUA for each case and puts the policy key back as it was.
TEST(IsUacEnabled, ReadsTheEnableLuaPolicy) {
    const char *policy = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, policy, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    DWORD savedType = 0, savedSize = 0;
    std::vector<BYTE> saved(4096);
    savedSize = static_cast<DWORD>(saved.size());
    const bool hadValue = RegQueryValueExA(key, "EnableLUA", nullptr, &savedType, saved.data(), &savedSize) == ERROR_SUCCESS;

    struct Case {
        const char *what;
        int type;   // 0: no value
        std::string bytes;
        int expected;
    };
    const Case cases[] = {
        {"no value", 0, "", 0},
        {"number 1", TARN_REG_DWORD, std::string("\1\0\0\0", 4), 1},
        {"number 0", TARN_REG_DWORD, std::string("\0\0\0\0", 4), 0},
        {"text 1", TARN_REG_SZ, "1", 1},
        {"text 0", TARN_REG_SZ, "0", 0},
        {"text without digits", TARN_REG_SZ, "on", 0},
        {"bytes", TARN_REG_BINARY, std::string("\1\0\0\0", 4), 0},
        {"text over 64 bytes", TARN_REG_SZ, "1" + std::string(70, ' '), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteValueA(key, "EnableLUA");
        if (c.type) RegWriteValue(TARN_HKEY_LOCAL_MACHINE, policy, "EnableLUA", c.type, c.bytes.data(), static_cast<int>(c.bytes.size()));
        EXPECT_EQ(IsUacEnabled(), c.expected);
    }

    RegDeleteValueA(key, "EnableLUA");
    if (hadValue) RegSetValueExA(key, "EnableLUA", 0, savedType, saved.data(), savedSize);
    RegCloseKey(key);
    if (disposition == REG_CREATED_NEW_KEY) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, policy);
        EXPECT_EQ(IsUacEnabled(), 0);   // no key at all
    }
}

TEST(GetConsoleHwnd, FindsTheConsoleWindowAndKeepsItsTitle) {
    // Give this process a console window of its own for the test, then none again;
    // the output keeps going where it went.
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE),
           err = GetStdHandle(STD_ERROR_HANDLE);
    FreeConsole();
    EXPECT_EQ(GetConsoleHwnd(), nullptr);
    ASSERT_TRUE(AllocConsole());
    SetConsoleTitleA("Tarn console test");
    HWND found = GetConsoleHwnd();
    char title[256] = "";
    GetConsoleTitleA(title, sizeof title);
    HWND expected = GetConsoleWindow();
    FreeConsole();
    SetStdHandle(STD_INPUT_HANDLE, in);
    SetStdHandle(STD_OUTPUT_HANDLE, out);
    SetStdHandle(STD_ERROR_HANDLE, err);

    EXPECT_NE(found, nullptr);
    EXPECT_EQ(found, expected);
    EXPECT_STREQ(title, "Tarn console test");
}

// Answers the message box with this caption by the given button once it shows,
// and keeps the text it showed.
template <typename Char>
std::thread AnswerBox(std::basic_string<Char> caption, int button, std::basic_string<Char> *shownText) {
    return std::thread([caption, button, shownText] {
        for (int i = 0; i < 400; ++i) {
            Char text[256] = {};
            HWND box = nullptr;
            if constexpr (sizeof(Char) == 1) {
                box = FindWindowA("#32770", caption.c_str());
                if (box) GetDlgItemTextA(box, 0xFFFF, text, 256);
            } else {
                box = FindWindowW(L"#32770", caption.c_str());
                if (box) GetDlgItemTextW(box, 0xFFFF, text, 256);
            }
            if (box) {
                *shownText = text;
                PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
                return;
            }
            Sleep(25);
        }
    });
}

TEST(TimedMessageBox, ShowsTheBoxAndGivesItsAnswer) {
    // Long limits: the box is answered long before, so the answer is the button's.
    std::string shown;
    std::thread answerer = AnswerBox<char>("Tarn timed box", IDNO, &shown);
    EXPECT_EQ(TimedMessageBoxA(nullptr, "Close the editor?", "Tarn timed box", MB_YESNO, 0, 60000), IDNO);
    answerer.join();
    EXPECT_EQ(shown, "Close the editor?");

    std::wstring shownWide;
    answerer = AnswerBox<wchar_t>(L"Tarn timed box \u00e4", IDCANCEL, &shownWide);
    EXPECT_EQ(TimedMessageBoxW(nullptr, L"Zeit\u00fcberschreitung", L"Tarn timed box \u00e4", MB_OKCANCEL,
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), 60000),
              IDCANCEL);
    answerer.join();
    EXPECT_EQ(shownWide, L"Zeit\u00fcberschreitung");
}

}  // namespace
