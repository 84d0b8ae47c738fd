// The real Tarnlog.exe under Wine, driven from outside as a user would: a second
// start while one runs, the hand-over to Tarnsync and back, and a log named on
// the command line edited with the keyboard and saved.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "summitsdb.h"
#include "utctime.h"
#include "../../../editor/statusbar.h"
#include "../../../resources/resource.h"
#include "../../support/beside.h"
#include "../../support/tempfile.h"
#include "../../support/testregistry.h"
#include "../../support/testtime.h"

namespace {

const char *const kKey = "Software\\Brindlecote\\Tarnlog";
const char *const kCaption = "VORN CSV Log Editor";
// Wine processes start slowly here (emulated), so every wait is generous.
const DWORD kStartMs = 90000;
const DWORD kUpdateMs = 400000;

std::string WinPathOfHost(const std::string &unixPath) {
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

void SetText(const char *name, const std::string &value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void SetNumber(const char *name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
    RegCloseKey(key);
}

// Every value of the editor's key, by name.
std::map<std::string, TestStoredValue> KeySnapshot() {
    std::map<std::string, TestStoredValue> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        values[std::string(name, length)] = TestReadValue(kKey, name);
    }
    RegCloseKey(key);
    return values;
}

bool PollUntil(const std::function<bool()> &done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    // WM_GETTEXT is carried across processes, unlike GetWindowText's own shortcut.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 10000,
                        nullptr);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct WindowSearch {
    int childId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<WindowSearch *>(param);
    if (ClassOf(window) != "#32770" || !IsWindowVisible(window) || !GetDlgItem(window, search->childId)) return TRUE;
    search->found = window;
    return FALSE;
}

// The first visible dialog of a thread that has the given child control.
HWND ThreadWindowWith(DWORD thread, int childId) {
    WindowSearch search = {childId, nullptr};
    EnumThreadWindows(thread, MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND AwaitThreadWindow(DWORD thread, int childId, DWORD ms) {
    HWND found = nullptr;
    PollUntil([&] { return (found = ThreadWindowWith(thread, childId)) != nullptr; }, ms);
    return found;
}

// Memory in another process, for the messages whose pointers are not carried across.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD pid, size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)), size_(size) {
        if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer &) = delete;
    RemoteBuffer &operator=(const RemoteBuffer &) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(memory_); }
    bool Write(const void *bytes, size_t size) {
        return memory_ && size <= size_ && WriteProcessMemory(process_, memory_, bytes, size, nullptr);
    }
    std::string Read() {
        std::string bytes(size_, '\0');
        if (!memory_ || !ReadProcessMemory(process_, memory_, bytes.data(), size_, nullptr)) return {};
        return bytes;
    }

private:
    HANDLE process_;
    void *memory_ = nullptr;
    size_t size_;
};

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::string StatusPart(HWND mainWindow, int part) {
    HWND bar = GetDlgItem(mainWindow, IDC_STATUS_BAR);
    RemoteBuffer text(ProcessOf(bar), 512);
    if (!bar || !text.Write("", 1)) return "<no status bar>";
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), text.Address());
    return text.Read().c_str();
}

void SetPickers(HWND mainWindow, const SYSTEMTIME &when) {
    RemoteBuffer time(ProcessOf(mainWindow), sizeof when);
    ASSERT_TRUE(time.Write(&when, sizeof when));
    for (int id : {IDC_QSO_DATE, IDC_QSO_TIME})
        EXPECT_TRUE(SendDlgItemMessageA(mainWindow, id, DTM_SETSYSTEMTIME, GDT_VALID, time.Address())) << id;
}

// Ctrl and a key, as typed: the accelerators read the editor thread's own key state.
void PressCtrl(HWND window, WORD key) {
    SetForegroundWindow(window);
    ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == window; }, 5000)) << "no focus for the editor";
    INPUT keys[4] = {};
    const WORD sequence[4][2] = {{VK_CONTROL, 0}, {key, 0}, {key, KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i][0];
        keys[i].ki.dwFlags = sequence[i][1];
    }
    ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
}

// A process by its id, held so its exit code stays readable.
struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0, thread = 0;

    bool Ended(DWORD ms) const { return handle && WaitForSingleObject(handle, ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = 999;
        GetExitCodeProcess(handle, &code);
        return code;
    }
    // Nothing this test started outlives it.
    void Stop() {
        if (!handle) return;
        if (!Ended(0)) {
            TerminateProcess(handle, 99);
            WaitForSingleObject(handle, 10000);
        }
        CloseHandle(handle);
        handle = nullptr;
    }
};

Process Open(DWORD pid) {
    Process p;
    p.id = pid;
    p.handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    return p;
}

// The ids of the running processes of an executable name.
std::vector<DWORD> ProcessesNamed(const char *exe) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exe) == 0) ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

std::string ImageOf(const Process &p) {
    char path[MAX_PATH] = "";
    DWORD length = sizeof path;
    if (!QueryFullProcessImageNameA(p.handle, 0, path, &length)) return {};
    return path;
}

// The user's short date of a day, as the editor shows dates.
std::string ShortDate(int year, int month, int day) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    char text[32] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text);
    return text;
}

class Tarnlog : public ::testing::Test {
protected:
    void SetUp() override {
        TestDeleteKey(kKey);
        static int tests = 0;
        ++tests;
        data = TestTempPath("data" + std::to_string(tests)).string();
        CreateDirectoryA(data.c_str(), nullptr);
        SetNumber("FirstRun", 0);
        // An old database would otherwise ask to be updated at every start.
        SetNumber("DBAgeWarn", 10);
        SetText("DBLocation", data);
    }

    void TearDown() override {
        for (Process &p : processes) p.Stop();
        // After a failure the updater may still have started an editor: whatever
        // runs from this test's own folder goes too.
        const std::string own = TestTempDir().string();
        for (const char *name : {"Tarnsync.exe", "Tarnlog.exe"})
            for (DWORD pid : ProcessesNamed(name)) {
                Process p = Open(pid);
                if (_strnicmp(ImageOf(p).c_str(), own.c_str(), own.size()) == 0) p.Stop();
                else if (p.handle) CloseHandle(p.handle);
            }
        DbClose();
        TestDeleteKey(kKey);
    }

    Process &Start(const std::string &exe, const std::string &arguments, WORD show = SW_SHOWNORMAL) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = show;
        PROCESS_INFORMATION pi = {};
        std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        Process p;
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            p.handle = pi.hProcess;
            p.id = pi.dwProcessId;
            p.thread = pi.dwThreadId;
        } else {
            ADD_FAILURE() << "cannot start " << command;
        }
        processes.push_back(p);
        return processes.back();
    }

    Process &Adopt(DWORD pid) {
        processes.push_back(Open(pid));
        return processes.back();
    }

    // Asks the editor to close and expects it to end normally.
    void Close(HWND mainWindow, Process &editor) {
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        ASSERT_TRUE(editor.Ended(kStartMs)) << "the editor did not close";
        EXPECT_EQ(editor.ExitCode(), 0u);
    }

    std::string data;
    std::deque<Process> processes;   // handed out by reference: never moved
};

TEST_F(Tarnlog, ASecondStartRestoresTheFirstTellsAndLeavesTheSettingsAlone) {
    Process &first = Start(Beside("Tarnlog.exe"), "", SW_SHOWMINIMIZED);
    HWND main = AwaitThreadWindow(first.thread, IDC_LOG_LIST, kStartMs);
    ASSERT_NE(main, nullptr) << "the first editor's window did not appear";
    ASSERT_TRUE(PollUntil([&] { return IsIconic(main) != 0; }, 5000));
    WaitForInputIdle(first.handle, 10000);
    // A value the settings load would write back: the second editor must stop before it.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key), 0);
    ASSERT_EQ(RegDeleteValueA(key, "AutoSave"), 0);
    RegCloseKey(key);
    const auto before = KeySnapshot();
    ASSERT_FALSE(before.empty());

    Process &second = Start(Beside("Tarnlog.exe"), "");
    HWND message = AwaitThreadWindow(second.thread, IDC_MESSAGE_TEXT, kStartMs);
    ASSERT_NE(message, nullptr) << "the second editor showed no message";
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(GetWindow(message, GW_OWNER), main);
    EXPECT_EQ(WindowText(message), kCaption);
    EXPECT_EQ(WindowText(GetDlgItem(message, IDC_MESSAGE_TEXT)), "\n\nVORN CSV Log Editor is already running");
    for (int id : {IDOK, IDCANCEL}) EXPECT_TRUE(IsWindowVisible(GetDlgItem(message, id))) << id;
    for (int id : {IDYES, IDNO}) EXPECT_FALSE(IsWindowVisible(GetDlgItem(message, id))) << id;
    // The second editor has no main window of its own.
    EXPECT_EQ(ThreadWindowWith(second.thread, IDC_LOG_LIST), nullptr);

    PostMessageA(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(message, IDOK)));
    ASSERT_TRUE(second.Ended(kStartMs));
    EXPECT_EQ(second.ExitCode(), static_cast<DWORD>(-1));
    EXPECT_EQ(KeySnapshot(), before);

    // The first carries on as it was.
    EXPECT_TRUE(IsWindow(main));
    EXPECT_FALSE(first.Ended(0));
    Close(main, first);
}

TEST_F(Tarnlog, CtrlF10HandsOverToTheUpdaterWhichStartsTheEditorAgainWithTheNewDatabase) {
    const char *state = getenv("TARN_HTTP_STATE");
    const char *root = getenv("TARN_HTTP_ROOT");
    const char *generated = getenv("TARNSYNC_TEST_LIST");
    ASSERT_TRUE(state && root && generated) << "the loopback server or the generated list is missing";
    const std::string port = ReadTestFile(WinPathOfHost(std::string(state) + "/port"));
    ASSERT_TRUE(CopyFileA(WinPathOfHost(generated).c_str(), (WinPathOfHost(root) + "\\tarnlog_e2e.csv").c_str(), FALSE));
    SetText("CSV_Download_URL", "http://127.0.0.1:" + port + "/files/tarnlog_e2e.csv");

    // The program folder of this test's own, so the editor the updater starts is this one.
    const std::string program = TestTempPath("program").string();
    CreateDirectoryA(program.c_str(), nullptr);
    for (const char *name : {"Tarnlog.exe", "Tarnsync.exe", "curl.exe", "curl-ca-bundle.crt"})
        ASSERT_TRUE(CopyFileA(Beside(name).c_str(), (program + "\\" + name).c_str(), FALSE)) << name;

    // A stale database: one summit, dated years ago.
    const std::string db = data + "\\VORN_REFS.MDB";
    ASSERT_EQ(DbCreate(db.c_str(), 0), 1);
    char literal[12];
    ASSERT_EQ(DbDateLiteral(Day(2020, 1, 1), literal, sizeof literal), 1);
    const std::string from = std::string("'") + literal + "'";
    ASSERT_EQ(DbInsert("\"References\"", "SummitRef, SummitName, ValidFrom, ValidTo, Latitude, Longitude",
                       ("'VX/ZZ-001', 'Old Fell', " + from + ", " + from + ", 1.0, 2.0").c_str()),
              1);
    ASSERT_EQ(DbUpdate("Info", ("LastUpdate = " + from).c_str(), "Version = 1.1"), 1);
    DbClose();
    ASSERT_EQ(DbGetInfoDate(db.c_str(), nullptr, 1), Day(2020, 1, 1));
    DbClose();

    Process &editor = Start(program + "\\Tarnlog.exe", "");
    HWND main = AwaitThreadWindow(editor.thread, IDC_LOG_LIST, kStartMs);
    ASSERT_NE(main, nullptr);
    WaitForInputIdle(editor.handle, 10000);
    EXPECT_EQ(StatusPart(main, SBP_DB_STATUS).rfind(ShortDate(2020, 1, 1) + " (1)", 0), 0u)
        << StatusPart(main, SBP_DB_STATUS);

    PressCtrl(main, VK_F10);
    // The updater is watched from its start: it may be quick once the editor is gone.
    std::vector<DWORD> updaters;
    ASSERT_TRUE(PollUntil([&] { return !(updaters = ProcessesNamed("Tarnsync.exe")).empty(); }, kStartMs))
        << "no updater started";
    ASSERT_EQ(updaters.size(), 1u);
    Process &updater = Adopt(updaters[0]);
    ASSERT_NE(updater.handle, nullptr);
    // The editor closes by its normal path while the updater waits for it.
    ASSERT_TRUE(editor.Ended(kStartMs)) << "the editor did not close";
    EXPECT_EQ(editor.ExitCode(), 0u);

    ASSERT_TRUE(updater.Ended(kUpdateMs)) << "the updater did not end";
    EXPECT_EQ(updater.ExitCode(), 0u);
    // It downloaded only once the editor had gone.
    FILETIME created, exited, kernel, user;
    ASSERT_TRUE(GetProcessTimes(editor.handle, &created, &exited, &kernel, &user));
    WIN32_FILE_ATTRIBUTE_DATA list = {};
    ASSERT_TRUE(GetFileAttributesExA((data + "\\summitslist.csv").c_str(), GetFileExInfoStandard, &list));
    EXPECT_GT(CompareFileTime(&list.ftLastWriteTime, &exited), 0);
    EXPECT_EQ(DbGetInfoDate(db.c_str(), nullptr, 1), Day(2025, 3, 18));
    DbClose();

    HWND again = nullptr;
    ASSERT_TRUE(PollUntil(
        [&] {
            again = FindWindowA("#32770", kCaption);
            return again && GetDlgItem(again, IDC_LOG_LIST) && IsWindowVisible(again);
        },
        kStartMs))
        << "the editor was not started again";
    Process &restarted = Adopt(ProcessOf(again));
    ASSERT_NE(restarted.handle, nullptr);
    EXPECT_EQ(lstrcmpiA(ImageOf(restarted).c_str(), (program + "\\Tarnlog.exe").c_str()), 0) << ImageOf(restarted);
    WaitForInputIdle(restarted.handle, 10000);
    EXPECT_EQ(StatusPart(again, SBP_DB_STATUS).rfind(ShortDate(2025, 3, 18) + " (180000)", 0), 0u)
        << StatusPart(again, SBP_DB_STATUS);
    Close(again, restarted);
}

TEST_F(Tarnlog, ALogNamedInCapitalsOnTheCommandLineTakesAContactFromTheKeyboardAndIsSavedWithABackup) {
    SetNumber("AutoTime", 0);
    // Only Ctrl+S saves.
    SetNumber("AutoSave", 0);
    const std::string header =
        "Signature,Call (my call),Full Reference (my summit),Date,Time,Band,Mode,Call (his call),"
        "Full Reference (his summit),Notes\n";
    const std::string old = header +
        "v2,QX9ZZ/P,VX/AB-001,02/05/2024,10:15,7MHz,SSB,QX2DEF,,first\n"
        "v2,QX9ZZ/P,VX/AB-001,02/05/2024,10:20,14MHz,CW,QX3GHI,VX/CD-002,\n";
    const std::string log = TestTempPath("FELLS.CSV").string();
    WriteBytes(log, old);

    Process &editor = Start(Beside("Tarnlog.exe"), "\"" + log + "\"");
    HWND main = AwaitThreadWindow(editor.thread, IDC_LOG_LIST, kStartMs);
    ASSERT_NE(main, nullptr);
    WaitForInputIdle(editor.handle, 10000);
    HWND list = GetDlgItem(main, IDC_LOG_LIST);
    ASSERT_TRUE(PollUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 2; }, 10000))
        << SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) << " rows";

    SYSTEMTIME when = {};
    when.wYear = 2024;
    when.wMonth = 6;
    when.wDay = 1;
    when.wHour = 12;
    when.wMinute = 34;
    SetPickers(main, when);
    const struct {
        int id;
        const char *text;
    } typed[] = {{IDC_HIS_CALL, "QX1ABC"}, {IDC_HIS_SUMMIT, "VX/EF-003"}, {IDC_NOTES, "s2s, wx fine"}};
    for (const auto &t : typed)
        SendMessageA(GetDlgItem(main, t.id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.text));
    const std::string band = WindowText(GetDlgItem(main, IDC_BAND));
    const std::string mode = WindowText(GetDlgItem(main, IDC_MODE));
    const std::string myCall = WindowText(GetDlgItem(main, IDC_MY_CALL));

    PressCtrl(main, 'L');
    ASSERT_TRUE(PollUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 10000))
        << "not logged: " << StatusPart(main, SBP_MESSAGE);
    EXPECT_EQ(WindowText(GetDlgItem(main, IDC_HIS_CALL)), "");
    EXPECT_EQ(ReadTestFile(log), old);

    PressCtrl(main, 'S');
    const std::string backup = TestTempPath("FELLS.bak").string();
    ASSERT_TRUE(PollUntil([&] { return ReadTestFile(log) != old; }, 10000))
        << "not saved: " << StatusPart(main, SBP_MESSAGE);
    // Saved with Windows line ends, whatever the file had.
    std::string saved;
    for (char c : old + "v2," + myCall + ",,01/06/2024,12:34," + band + "," + mode +
                      ",QX1ABC,VX/EF-003,\"s2s, wx fine\"\n")
        saved += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ReadTestFile(log), saved);
    EXPECT_EQ(ReadTestFile(backup), old);
    Close(main, editor);
}

}  // namespace
