// The About dialog on its real template, with the update check asking the loopback
// server through the curl.exe stand-in, and Tarnfetch's stand-in recording how it
// was started. The program folder is a scratch folder the cases fill.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "aboutdlg.h"
#include "appstate.h"
#include "gui/harness.h"
#include "gui/shots.h"
#include "resource.h"
#include "settings.h"
#include "statusbar.h"
#include "support/beside.h"
#include "support/tempfile.h"

namespace {

std::string WinPathOfHost(const std::string &unixPath) {
    std::string path = "Z:" + unixPath;
    for (char &c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// The first of the program's logos, as the main window's set-up loads it.
HBITMAP LoadLogo() {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "VORNBMP00", IMAGE_BITMAP, 0, 0, LR_SHARED));
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

constexpr char kNewerUrl[] = "https://downloads.example.org/tarnlog/setup-1.5.10.0.exe";

class AboutDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        const char *state = getenv("TARN_HTTP_STATE");
        const char *root = getenv("TARN_HTTP_ROOT");
        ASSERT_TRUE(state && root) << "the loopback server fixture is not running";
        const std::string port = ReadTestFile(WinPathOfHost(std::string(state) + "/port"));
        ASSERT_FALSE(port.empty());
        answerFile = WinPathOfHost(root) + "\\soft_vers.php";
        DeleteFileA(answerFile.c_str());

        lstrcpynA(saved.module, ModulePath, MAX_PATH);
        lstrcpynA(saved.folder, ProgramDirectory, MAX_PATH);
        lstrcpynA(saved.bundle, CaBundlePath, MAX_PATH);
        lstrcpynA(saved.endpoint, VersionEndpointBase, MAX_PATH);

        folder = TestTempPath("program").string();
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char *name : {"curl.exe", "Tarnsync.EXE", "Tarnfetch.exe", "tarnfetch-args.txt",
                                 "tarnfetch-pid.txt", "tarnfetch-hang.txt"}) {
            DeleteFileA((folder + "\\" + name).c_str());
        }
        ASSERT_TRUE(CopyFileA(Beside("curl.exe").c_str(), (folder + "\\curl.exe").c_str(), FALSE));
        WriteBytes(folder + "\\curl-ca-bundle.crt", "bundle\n");
        lstrcpynA(ModulePath, Beside("about_tests.exe").c_str(), MAX_PATH);   // FileVersion 1.5.9.7
        lstrcpynA(ProgramDirectory, folder.c_str(), MAX_PATH);
        lstrcpynA(CaBundlePath, (folder + "\\curl-ca-bundle.crt").c_str(), MAX_PATH);
        lstrcpynA(VersionEndpointBase, ("http://127.0.0.1:" + port + "/files").c_str(), MAX_PATH);
        NewVersion[0] = UpdateUrl[0] = UpdateParams[0] = '\0';
    }
    void TearDown() override {
        ResetEditorState();
        lstrcpynA(ModulePath, saved.module, MAX_PATH);
        lstrcpynA(ProgramDirectory, saved.folder, MAX_PATH);
        lstrcpynA(CaBundlePath, saved.bundle, MAX_PATH);
        lstrcpynA(VersionEndpointBase, saved.endpoint, MAX_PATH);
        DeleteFileA(answerFile.c_str());
    }

    // The endpoint's answer from now on; NULL: none (the server answers 404).
    void Serve(const char *body) {
        if (body) {
            WriteBytes(answerFile, body);
        } else {
            DeleteFileA(answerFile.c_str());
        }
    }
    void PlaceTarnfetch(const char *asName) {
        ASSERT_TRUE(CopyFileA(Beside("tarnfetch_standin.exe").c_str(), (folder + "\\" + asName).c_str(), FALSE));
    }
    HWND OpenAbout() {
        HWND dialog = OpenDialog(IDD_ABOUT, AboutDlgProc);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    static bool Shown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
    static void Click(HWND dialog, int id) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    struct {
        char module[MAX_PATH], folder[MAX_PATH], bundle[MAX_PATH], endpoint[MAX_PATH];
    } saved = {};
    std::string answerFile, folder;
};

TEST(VersionCompare, ComparesThePartsAsNumbers) {
    const struct {
        const char *a, *b;
        int result;
    } cases[] = {
        {"1.5.10.0", "1.5.9.7", 1},  {"1.5.9.7", "1.5.10.0", -1}, {"1.5.9.7", "1.5.9.7", 0},
        {"1.5.9.6", "1.5.9.7", -1},  {"2", "1.99.99.99", 1},      {"1.5", "1.5.0.0", 0},
        {"1.5.0.1", "1.5", 1},       {"01.05.9.7", "1.5.9.7", 0}, {"1.5.9.7", "1.5.9.7 (test build)", 0},
        {"10.0", "9.0", 1},          {"1.5.9.70", "1.5.9.8", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(CompareVersions(c.a, c.b), c.result);
    }
}

TEST_F(AboutDialog, VersionLinesFollowTheProgramsInTheFolder) {
    const std::string buildDate = R"(Build Date: [A-Z][a-z]{2} [ 0-9]\d \d{4} \d\d:\d\d:\d\d\n)";
    {
        SCOPED_TRACE("the editor alone, no database");
        HWND dialog = OpenAbout();
        EXPECT_TRUE(std::regex_match(ControlText(dialog, IDC_ABOUT_VERSION), std::regex("Tarnlog V1\\.5\\.9\\.7\n" + buildDate)))
            << ControlText(dialog, IDC_ABOUT_VERSION);
        EXPECT_FALSE(ControlText(dialog, IDC_ABOUT_DESCRIPTION).empty());
        EXPECT_NE(ControlText(dialog, IDC_ABOUT_DESCRIPTION), "Description");
        EXPECT_NE(ControlText(dialog, IDC_ABOUT_NOTICE), "Notice");
        EXPECT_FALSE(Shown(dialog, IDC_UPDATE_STATUS));
        EXPECT_FALSE(Shown(dialog, IDCANCEL));
        EXPECT_FALSE(Shown(dialog, IDC_UPDATE_NOW));
        EXPECT_TRUE(Shown(dialog, IDOK));
        EXPECT_TRUE(Shown(dialog, IDC_CHECK_UPDATE));
        EXPECT_FALSE(GetWindowLongPtrA(GetDlgItem(dialog, IDC_LOGO), GWL_STYLE) & WS_TABSTOP);
        auto tips = ToolTipsOf(dialog);
        std::sort(tips.begin(), tips.end());
        ASSERT_EQ(tips.size(), 3u);
        EXPECT_EQ(tips[0], (std::pair<int, std::string>(IDOK, "Ok")));
        EXPECT_EQ(tips[1], (std::pair<int, std::string>(IDC_CHECK_UPDATE, "Click to check for update")));
        EXPECT_EQ(tips[2].first, IDC_LOGO);
        EXPECT_NE(tips[2].second.find("spotting site"), std::string::npos) << tips[2].second;
        ResetEditorState();
    }
    {
        SCOPED_TRACE("no tool tips");
        EditorSettings.UseToolTips = 0;
        HWND dialog = OpenAbout();
        EXPECT_TRUE(ToolTipsOf(dialog).empty());
        ResetEditorState();
    }
    {
        SCOPED_TRACE("all three programs and a database");
        ASSERT_TRUE(CopyFileA(Beside("Tarnsync.exe").c_str(), (folder + "\\Tarnsync.EXE").c_str(), FALSE));
        PlaceTarnfetch("Tarnfetch.exe");
        LogoBitmap = LoadLogo();
        ASSERT_NE(LogoBitmap, nullptr);
        DbAvailable = 1;
        strcpy(DbDateText, "18/03/2025");
        HWND dialog = OpenAbout();
        EXPECT_TRUE(std::regex_match(ControlText(dialog, IDC_ABOUT_VERSION),
                                     std::regex("Tarnlog V1\\.5\\.9\\.7\nTarnsync V1\\.5\\.9\\.7\nTarnfetch V0\\.9\\.0\\.1\n" +
                                                buildDate + "Database last updated: 18/03/2025")))
            << ControlText(dialog, IDC_ABOUT_VERSION);
        EXPECT_EQ(reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, IDC_LOGO, BM_GETIMAGE, IMAGE_BITMAP, 0)),
                  LogoBitmap);
    }
}

TEST_F(AboutDialog, CheckOutcomesAndWhatTheDialogOffers) {
    const char *current = "Thanks, you already have the current program release.";
    const char *currentStale = "Thanks, you already have the current program release, but you might need to update "
                               "the Summits Database (Click OK, then press Ctrl-F10)";
    const char *pre = "Thanks, you have a pre-release version, no further updates are available at this time.";
    const char *preStale = "Thanks, you have a pre-release version, no further program updates are available at "
                           "this time, but you might need to update the Summits Database (Click OK, then press "
                           "Ctrl-F10)";
    const char *sorry = "Sorry: There was a problem checking for updates, please try later";
    const std::string longLine(300, '1');
    const std::string longUrl = "https://downloads.example.org/" + std::string(260, 'a') + "\n";
    const time_t now = time(nullptr);
    const struct {
        const char *name;
        std::string body;   // "-" for no answer file (404)
        UtcTime dbLastUpdate;
        std::string status;
    } cases[] = {
        {"newer", "1.5.9.8\nhttps://downloads.example.org/a.exe\n", -1,
         "An update to V1.5.9.8 is now available, click 'Update Now' to download and install it."},
        {"newer by number", std::string("1.5.10.0\n") + kNewerUrl + "\nignored\n", static_cast<UtcTime>(now),
         "An update to V1.5.10.0 is now available, click 'Update Now' to download and install it."},
        {"equal, fresh", "1.5.9.7\nhttps://downloads.example.org/a.exe\n", static_cast<UtcTime>(now - 604790), current},
        {"equal, stale by a second", "1.5.9.7\nhttps://downloads.example.org/a.exe\n",
         static_cast<UtcTime>(now - 604802), currentStale},
        {"equal, database unknown", "1.5.9.7\nhttps://downloads.example.org/a.exe", -1, currentStale},
        {"CR LF ends", "1.5.9.7\r\nhttps://downloads.example.org/a.exe\r\n", static_cast<UtcTime>(now), current},
        {"older, fresh", "1.5.9.6\nhttps://downloads.example.org/a.exe\n", static_cast<UtcTime>(now), pre},
        {"older, stale", "1.5.9.6\nhttps://downloads.example.org/a.exe\n", -1, preStale},
        {"HTTP error", "-", static_cast<UtcTime>(now), sorry},
        {"empty answer", "", static_cast<UtcTime>(now), sorry},
        {"300-character line", longLine + "\nhttps://downloads.example.org/a.exe\n", static_cast<UtcTime>(now), sorry},
        {"address cut at 254", "1.5.9.8\n" + longUrl, static_cast<UtcTime>(now), sorry},
        {"HTML page with status 200", "<!DOCTYPE html>\n<html><body>Service unavailable</body></html>\n",
         static_cast<UtcTime>(now), sorry},
        {"version only", "1.5.9.8\n", static_cast<UtcTime>(now), sorry},
        {"words in the version", "1.5.9.8 beta\nhttps://downloads.example.org/a.exe\n", static_cast<UtcTime>(now), sorry},
        {"plain http address", "1.5.9.8\nhttp://downloads.example.org/a.exe\n", static_cast<UtcTime>(now), sorry},
        {"blank in the address", "1.5.9.8\nhttps://downloads.example.org/a b.exe\n", static_cast<UtcTime>(now), sorry},
        {"quote in the address", "1.5.9.8\nhttps://downloads.example.org/a\".exe\n", static_cast<UtcTime>(now), sorry},
        {"tab in the address", "1.5.9.8\nhttps://downloads.example.org/a\t-x.exe\n", static_cast<UtcTime>(now), sorry},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Serve(c.body == "-" ? nullptr : c.body.c_str());
        strcpy(NewVersion, "untouched");
        strcpy(UpdateUrl, "untouched");
        DbLastUpdate = c.dbLastUpdate;
        HWND dialog = OpenAbout();
        Click(dialog, IDC_CHECK_UPDATE);
        EXPECT_TRUE(Shown(dialog, IDC_UPDATE_STATUS));
        EXPECT_EQ(ControlText(dialog, IDC_UPDATE_STATUS), c.status);
        EXPECT_FALSE(Shown(dialog, IDC_CHECK_UPDATE));
        EXPECT_TRUE(Shown(dialog, IDOK));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOGO)));
        const bool newer = c.status.rfind("An update", 0) == 0;
        EXPECT_EQ(Shown(dialog, IDC_UPDATE_NOW), newer);
        EXPECT_EQ(Shown(dialog, IDCANCEL), !newer);
        if (!newer) {
            const auto tips = ToolTipsOf(dialog);
            EXPECT_NE(std::find(tips.begin(), tips.end(), std::pair<int, std::string>(IDCANCEL, "Close")), tips.end());
        }
        if (c.status == sorry) {
            EXPECT_STREQ(NewVersion, "untouched");
            EXPECT_STREQ(UpdateUrl, "untouched");
        }
        ResetEditorState();
    }
}

TEST_F(AboutDialog, UpdateNowStartsTarnfetchWithTheAnnouncedRelease) {
    Serve((std::string("1.5.10.0\r\n") + kNewerUrl + "\r\n").c_str());
    PlaceTarnfetch("Tarnfetch.exe");
    LogoBitmap = LoadLogo();
    HWND dialog = OpenAbout();
    Click(dialog, IDC_CHECK_UPDATE);
    ASSERT_TRUE(Shown(dialog, IDC_UPDATE_NOW));
    const auto tips = ToolTipsOf(dialog);
    EXPECT_NE(std::find(tips.begin(), tips.end(), std::pair<int, std::string>(IDC_UPDATE_NOW, "Download and install update")),
              tips.end());
    const std::string shot = ShotPath("about_update_available.bmp");
    if (!shot.empty()) {
        PumpMessages(100);
        EXPECT_EQ(SaveWindowShot(dialog, shot.c_str()), 1);
    }
    Click(dialog, IDC_UPDATE_NOW);
    EXPECT_FALSE(IsWindowVisible(dialog));   // ended
    const std::string args = folder + "\\tarnfetch-args.txt";
    ASSERT_TRUE(PumpUntil([&] { return Exists(args); }, 10000));
    PumpMessages(200);
    EXPECT_EQ(ReadTestFile(args), std::string(" -URL ") + kNewerUrl + " -new 1.5.10.0");
    EXPECT_EQ(std::string(UpdateParams), std::string(" -URL ") + kNewerUrl + " -new 1.5.10.0");
}

TEST_F(AboutDialog, UpdateNowWithoutAWorkingTarnfetchKeepsTheDialogOpen) {
    const struct {
        const char *name;
        const char *file;   // what lies at Tarnfetch.exe, NULL for nothing
        const char *status;
    } cases[] = {
        {"missing", nullptr,
         "ERROR: Tarnfetch.exe is missing from the program folder, the update cannot be started."},
        {"not a program", "this is not a program\r\n",
         "ERROR: Tarnfetch.exe could not be started, the update was not begun."},
    };
    Serve((std::string("1.5.10.0\n") + kNewerUrl + "\n").c_str());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file) WriteBytes(folder + "\\Tarnfetch.exe", c.file);
        HWND dialog = OpenAbout();
        Click(dialog, IDC_CHECK_UPDATE);
        ASSERT_TRUE(Shown(dialog, IDC_UPDATE_NOW));
        Click(dialog, IDC_UPDATE_NOW);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(ControlText(dialog, IDC_UPDATE_STATUS), c.status);
        EXPECT_TRUE(Shown(dialog, IDC_UPDATE_NOW));
        EXPECT_TRUE(Shown(dialog, IDOK));
        ResetEditorState();
    }
}

// What the shell was asked to open, and for which window.
struct ShellCall {
    HWND owner;
    std::string verb, file;
    bool parameters;
    int show;
};
std::vector<ShellCall> shellCalls;
HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT show) {
    shellCalls.push_back({owner, verb ? verb : "", file ? file : "", parameters != nullptr, show});
    return reinterpret_cast<HINSTANCE>(42);
}

// The logo's site belongs to the About box, not to the disabled window behind it.
TEST_F(AboutDialog, LogoOpensTheSiteOfTheHeldKeyForTheDialog) {
    HWND behind = CreateWindowExA(0, "STATIC", "main window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(behind, nullptr);
    MainWindow = behind;
    const ULONG_PTR realShell =
        ReplaceImport("shell32.dll", "ShellExecuteA", reinterpret_cast<ULONG_PTR>(RecordShellExecute));
    ASSERT_NE(realShell, 0u);
    HWND dialog = OpenAbout();
    for (const LogoSite &c : kLogoSites) {
        SCOPED_TRACE(c.site);
        shellCalls.clear();
        {
            HeldKeys held(c.ctrl, false, c.alt);
            SendMessageA(GetDlgItem(dialog, IDC_LOGO), BM_CLICK, 0, 0);
        }
        PumpMessages(0);
        ASSERT_EQ(shellCalls.size(), 1u);
        EXPECT_EQ(shellCalls[0].owner, dialog);
        EXPECT_EQ(shellCalls[0].verb, "open");
        EXPECT_EQ(shellCalls[0].file, c.site);
        EXPECT_FALSE(shellCalls[0].parameters);
        EXPECT_EQ(shellCalls[0].show, SW_SHOWNORMAL);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
    ReplaceImport("shell32.dll", "ShellExecuteA", realShell);
    ResetEditorState();
    DestroyWindow(behind);
}

// curl.exe replaced by the recording stand-in: the exact command line the check builds.
TEST_F(AboutDialog, CurlGetsTheCommandLineItExpects) {
    PlaceTarnfetch("curl.exe");
    EditorSettings.ConnectTimeOut = 12;
    EditorSettings.DownLoadTimeOut = 34;
    EXPECT_EQ(CheckForUpdate("1.5.9.7"), -2);   // the stand-in stores no answer
    const std::string args = ReadTestFile(folder + "\\tarnfetch-args.txt");
    const std::string head = "--fail --cacert \"" + std::string(CaBundlePath) + "\" --url \"" + VersionEndpointBase +
                             "/soft_vers.php?AppName=tarnlog&Vers=1.5.9.7&TextOnly\" --output \"";
    const std::string tail = "\" --connect-timeout 12 --max-time 34";
    ASSERT_GT(args.size(), head.size() + tail.size()) << args;
    EXPECT_EQ(args.substr(0, head.size()), head);
    EXPECT_EQ(args.substr(args.size() - tail.size()), tail);
    const std::string output = args.substr(head.size(), args.size() - head.size() - tail.size());
    EXPECT_NE(output.find("\\Log"), std::string::npos) << output;   // the system keeps 3 letters of the prefix
    EXPECT_FALSE(Exists(output));   // nothing left behind
}

int Ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++Ticks; }

// A curl.exe that never ends: the check gives up after the time-outs and a margin,
// ends the process, and the thread's messages kept flowing meanwhile.
TEST_F(AboutDialog, HungCurlIsEndedAndTheCheckFails) {
    PlaceTarnfetch("curl.exe");
    WriteBytes(folder + "\\tarnfetch-hang.txt", "hang\n");
    EditorSettings.ConnectTimeOut = 1;
    EditorSettings.DownLoadTimeOut = 1;
    Ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CountTick);
    Serve("1.5.9.8\nhttps://downloads.example.org/a.exe\n");
    HWND dialog = OpenAbout();
    const DWORD start = GetTickCount();
    // A close while the check waits is not taken: the dialog stays for the result.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Click(dialog, IDC_CHECK_UPDATE);
    const DWORD spent = GetTickCount() - start;
    KillTimer(nullptr, timer);
    EXPECT_EQ(ControlText(dialog, IDC_UPDATE_STATUS),
              "Sorry: There was a problem checking for updates, please try later");
    EXPECT_GE(spent, static_cast<DWORD>((2 + kCurlWaitMarginSeconds) * 1000 - 500));
    EXPECT_LT(spent, static_cast<DWORD>((2 + kCurlWaitMarginSeconds) * 1000 + 5000));
    EXPECT_GT(Ticks, 10);
    PumpMessages(100);
    EXPECT_TRUE(IsWindowVisible(dialog));
    const DWORD pid = static_cast<DWORD>(atol(ReadTestFile(folder + "\\tarnfetch-pid.txt").c_str()));
    ASSERT_NE(pid, 0u);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 2000), WAIT_OBJECT_0) << "curl.exe still runs";
        CloseHandle(process);
    }
}

}  // namespace
