// The real-window harness (harness.h): the test environment, the main window
// made from its template, the message pump and the dialog answerer.
#include "gui/harness.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <set>

#include "appstate.h"
#include "gui/shots.h"
#include "help.h"
#include "loglist_win.h"
#include "maindlg.h"
#include "mainsetup.h"
#include "qsolist.h"
#include "resource.h"
#include "settings.h"
#include "settings_win.h"
#include "startup.h"
#include "statusbar_win.h"
#include "summitsdb.h"

namespace {

std::set<HWND> hosts;              // modeless windows made by the tests
std::deque<Answer> pendingAnswers;
std::vector<SeenDialog> seenDialogs;
HWND waitingDialog = nullptr;      // an unanswered dialog and when it was first seen
DWORD waitingSince = 0;
constexpr DWORD kUnexpectedAfterMs = 3000;
HWND realMain = nullptr;           // the main window with the program's procedure
bool quitSeen = false;             // the pump met a quit message

HACCEL ProgramAccelerators() {
    static HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return accelerators;
}

INT_PTR CALLBACK IdleDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Stands in for the main window's procedure: the program's own set-up, and the
// notifications the tests need.
INT_PTR CALLBACK MainHostProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        // The set-up gives the focus itself.
        InitMainWindow(window);
        return FALSE;
    case WM_SIZE:
        if (StatusBar) SendMessageA(StatusBar, WM_SIZE, 0, 0);
        return FALSE;
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header->idFrom != IDC_LOG_LIST) return FALSE;
        if (header->code == NM_CUSTOMDRAW) {
            SetWindowLongPtrA(window, DWLP_MSGRESULT, DrawLogListItem(reinterpret_cast<NMLVCUSTOMDRAW *>(lParam)));
            return TRUE;
        }
        if (header->code == LVN_DELETEALLITEMS) {
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        if (header->code == LVN_GETDISPINFOA) {
            GiveLogListText(reinterpret_cast<NMLVDISPINFOA *>(lParam));
            return TRUE;
        }
        if (header->code == LVN_COLUMNCLICK) {
            SortOnColumnClick(reinterpret_cast<NMLISTVIEW *>(lParam));
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM out) {
    reinterpret_cast<std::vector<HWND> *>(out)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectThreadWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The topmost visible, enabled dialog of this thread that no test made itself.
HWND OpenModalDialog() {
    for (HWND window : ThreadWindows()) {
        if (hosts.count(window) || ClassOf(window) != "#32770") continue;
        if (IsWindowVisible(window) && IsWindowEnabled(window)) return window;
    }
    return nullptr;
}

SeenDialog Describe(HWND dialog) {
    SeenDialog seen;
    seen.caption = WindowTextOf(dialog);
    // The system box keeps its text in a static with id 0xFFFF and its icon in 0x440.
    seen.systemBox = GetDlgItem(dialog, 0xFFFF) != nullptr;
    seen.text = ControlText(dialog, seen.systemBox ? 0xFFFF : IDC_MESSAGE_TEXT);
    for (int id = IDOK; id <= IDNO; ++id) {
        HWND button = GetDlgItem(dialog, id);
        if (button && IsWindowVisible(button)) seen.buttons.push_back(id);
    }
    seen.focusId = GetDlgCtrlID(GetFocus());
    HWND icon = GetDlgItem(dialog, seen.systemBox ? 0x440 : IDC_MESSAGE_ICON);
    seen.iconShown = icon && IsWindowVisible(icon);
    seen.tips = ToolTipsOf(dialog);
    return seen;
}

// The file-name field of a common file dialog (a combo box or an edit), NULL
// for other dialogs.
HWND FileNameField(HWND dialog) {
    if (HWND field = GetDlgItem(dialog, cmb13)) return field;
    return ClassOf(dialog) == "#32770" && GetDlgItem(dialog, cmb1) ? GetDlgItem(dialog, edt1) : nullptr;
}

void DescribeFileDialog(HWND dialog, SeenDialog &seen) {
    HWND field = FileNameField(dialog);
    if (!field) return;
    seen.fileDialog = true;
    seen.fileName = WindowTextOf(field);
    char folder[MAX_PATH] = "";
    if (SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder)) > 0)
        seen.folder = folder;
    HWND types = GetDlgItem(dialog, cmb1);
    const int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        if (SendMessageA(types, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        seen.fileTypes.emplace_back(text);
    }
    seen.fileType = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
}

void PressAnswer(HWND dialog, const Answer &answer) {
    if (!answer.typed.empty()) {
        if (HWND field = FileNameField(dialog)) SetWindowTextA(field, answer.typed.c_str());
    }
    switch (answer.how) {
    case Press::Button:
        SendMessageA(GetDlgItem(dialog, answer.buttonId), BM_CLICK, 0, 0);
        break;
    case Press::Enter:
    case Press::Escape:
        // Through the dialog's own loop, as a key press arrives.
        PostMessageA(GetFocus(), WM_KEYDOWN, answer.how == Press::Enter ? VK_RETURN : VK_ESCAPE, 1);
        break;
    case Press::CloseBox:
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

// Runs inside every message loop of the thread, modal ones included.
void CALLBACK AnswerTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    static bool busy = false;
    if (busy) return;
    busy = true;
    HWND dialog = OpenModalDialog();
    if (!dialog) {
        waitingDialog = nullptr;
    } else if (!pendingAnswers.empty()) {
        Answer answer = pendingAnswers.front();
        pendingAnswers.pop_front();
        seenDialogs.push_back(Describe(dialog));
        DescribeFileDialog(dialog, seenDialogs.back());
        if (!answer.shotPath.empty()) SaveWindowShot(dialog, answer.shotPath.c_str());
        PressAnswer(dialog, answer);
        waitingDialog = nullptr;
    } else if (dialog != waitingDialog) {
        waitingDialog = dialog;
        waitingSince = GetTickCount();
    } else if (GetTickCount() - waitingSince > kUnexpectedAfterMs) {
        // Nobody expected it: note it and get it out of the way so the test ends.
        SeenDialog seen = Describe(dialog);
        seen.unexpected = true;
        seenDialogs.push_back(seen);
        PressAnswer(dialog, Answer{Press::Escape, 0, ""});
        waitingDialog = nullptr;
    }
    busy = false;
}

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES |
                                                              ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        SetTimer(nullptr, 0, 30, AnswerTimerProc);
    }
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

void ResetEditorState() {
    for (HWND window : hosts) DestroyWindow(window);
    hosts.clear();
    realMain = nullptr;
    MainWindow = nullptr;
    SelectedListIndex = -1;
    PendingUpdater[0] = '\0';
    HelpCookie = 0;
    HelpWindow = nullptr;
    StatusBar = nullptr;
    // The menus went with their window; the pictures are the program's for good.
    MainMenu = FileMenu = OptionsMenu = HelpMenu = RecentLogMenu = nullptr;
    ClearHistoryBitmap = nullptr;
    LogoBitmap = nullptr;
    if (MessageTimerId) KillTimer(nullptr, MessageTimerId);
    MessageTimerId = 0;
    MessageExpiry = 0;
    DbClose();
    DbAvailable = 0;
    DbLastUpdate = -1;
    strcpy(DbDateText, "Unknown");
    DbStatusText[0] = DbStatusTip[0] = '\0';
    DbStatusIcon = nullptr;
    ClearQsoList();
    LogModified = 0;
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
    EditorSettings = EditorSettingsRecord{};
    SortColumn = 0;
    SortAscending = 1;
    EditorSettings.PriListTXTColour = EditorSettings.AltListTXTColour = GetSysColor(COLOR_WINDOWTEXT);
    AppInstance = GetModuleHandleA(nullptr);
    AppIcon = nullptr;
    pendingAnswers.clear();
    seenDialogs.clear();
    waitingDialog = nullptr;
    PumpMessages(0);
    // The real main window quits the loop when it is destroyed.
    TakeQuitPosted();
}

void PumpMessages(int ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()> &done, int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                continue;
            }
            if (realMain && MainWindow == realMain && IsWindow(realMain)) {
                DispatchMainMessage(&msg, ProgramAccelerators());
                continue;
            }
            bool taken = false;
            for (HWND host : hosts)
                if (IsDialogMessageA(host, &msg)) {
                    taken = true;
                    break;
                }
            if (!taken) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(timeoutMs)) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeoutMs) - elapsed, QS_ALLINPUT);
    }
}

HWND OpenDialog(int templateId, DLGPROC proc, LPARAM param) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                                     proc ? proc : IdleDlgProc, param);
    if (!dialog) return nullptr;
    hosts.insert(dialog);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    PumpMessages(20);
    return dialog;
}

HWND OpenMainWindowHost() {
    HWND window =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainHostProc, 0);
    // A window that could not be set up was destroyed while it was being made.
    if (!window || !IsWindow(window)) return nullptr;
    hosts.insert(window);
    // As at start-up, the window is known only once its creation has returned.
    MainWindow = window;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PumpMessages(20);
    return window;
}

HWND OpenMainWindow() {
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDlgProc, 0);
    if (!window || !IsWindow(window)) return nullptr;
    hosts.insert(window);
    MainWindow = realMain = window;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PumpMessages(20);
    return window;
}

HeldKeys::HeldKeys(bool ctrl, bool shift, bool alt) {
    GetKeyboardState(saved_);
    BYTE keys[256];
    memcpy(keys, saved_, sizeof keys);
    const auto hold = [&keys](bool down, std::initializer_list<int> vks) {
        for (int vk : vks) keys[vk] = down ? 0x80 : 0;
    };
    hold(ctrl, {VK_CONTROL, VK_LCONTROL});
    hold(shift, {VK_SHIFT, VK_LSHIFT});
    hold(alt, {VK_MENU, VK_LMENU});
    SetKeyboardState(keys);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved_); }

void PressKey(UINT vk, bool ctrl, bool shift) {
    {
        HeldKeys held(ctrl, shift);
        HWND target = GetFocus() ? GetFocus() : MainWindow;
        const UINT scan = MapVirtualKeyA(vk, 0);
        MSG down = {};
        down.hwnd = target;
        down.message = WM_KEYDOWN;
        down.wParam = vk;
        down.lParam = static_cast<LPARAM>(1 | (scan << 16));
        down.time = GetTickCount();
        DispatchMainMessage(&down, ProgramAccelerators());
        MSG up = down;
        up.hwnd = GetFocus() ? GetFocus() : target;
        up.message = WM_KEYUP;
        up.lParam = static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u);
        DispatchMainMessage(&up, ProgramAccelerators());
    }
    PumpMessages(0);
}

bool TakeQuitPosted() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) quitSeen = true;
    const bool seen = quitSeen;
    quitSeen = false;
    return seen;
}

UserFormats::UserFormats(const char *shortDate, const char *timeFormat) {
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, savedDate_, sizeof savedDate_);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, savedTime_, sizeof savedTime_);
    EXPECT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate));
    EXPECT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, timeFormat));
}

UserFormats::~UserFormats() {
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, savedDate_);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, savedTime_);
}

std::vector<std::vector<std::string>> ListRows(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::vector<std::string>> rows(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < columns; ++column) {
            char text[260] = "";
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            rows[static_cast<size_t>(row)].emplace_back(text);
        }
    return rows;
}

std::vector<int> HeaderArrows(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> arrows;
    for (int column = 0; column < columns; ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        arrows.push_back((item.fmt & HDF_SORTUP) ? 1 : (item.fmt & HDF_SORTDOWN) ? 2 : 0);
    }
    return arrows;
}

void ClickColumnHeader(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT r = {};
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r)));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_MOUSEMOVE, 0, at);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    PumpMessages(0);
}

std::string WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

std::string ControlText(HWND dialog, int id) { return WindowTextOf(GetDlgItem(dialog, id)); }

std::string StatusPartText(int part) {
    const LRESULT length = SendMessageA(StatusBar, SB_GETTEXTLENGTHA, part, 0);
    std::string text(LOWORD(length) + 1u, '\0');
    SendMessageA(StatusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(strlen(text.c_str()));
    return text;
}

std::string StatusPartTip(int part) {
    char tip[512] = "";
    SendMessageA(StatusBar, SB_GETTIPTEXTA, MAKEWPARAM(part, sizeof tip), reinterpret_cast<LPARAM>(tip));
    return tip;
}

std::string ShotPath(const char *name) {
    const char *folder = getenv("TARN_SHOTS_DIR");
    return folder && *folder ? std::string(folder) + "\\" + name : std::string();
}

Answer TypeAndPress(std::string text, int buttonId) {
    Answer answer{Press::Button, buttonId};
    answer.typed = std::move(text);
    return answer;
}

void AnswerModals(std::vector<Answer> answers) {
    for (auto &answer : answers) pendingAnswers.push_back(std::move(answer));
}

std::vector<SeenDialog> TakeSeenModals() {
    std::vector<SeenDialog> seen;
    seen.swap(seenDialogs);
    return seen;
}

namespace {
std::vector<HWND> ToolTipWindowsOf(HWND dialog) {
    std::vector<HWND> tips;
    for (HWND window : ThreadWindows())
        if (ClassOf(window) == TOOLTIPS_CLASSA && GetWindow(window, GW_OWNER) == dialog) tips.push_back(window);
    return tips;
}
}  // namespace

std::vector<std::pair<int, std::string>> ToolTipsOf(HWND dialog) {
    std::vector<std::pair<int, std::string>> found;
    for (HWND tip : ToolTipWindowsOf(dialog)) {
        const int count = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            static char text[4096];
            text[0] = '\0';
            TOOLINFOA info = {};
            info.cbSize = TTTOOLINFOA_V2_SIZE;
            info.lpszText = text;
            if (!SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info))) continue;
            // The narrow messages cut long texts short; the whole text, as shown.
            static WCHAR wide[4096];
            wide[0] = L'\0';
            TOOLINFOW whole = {};
            whole.cbSize = TTTOOLINFOW_V2_SIZE;
            whole.hwnd = info.hwnd;
            whole.uId = info.uId;
            whole.lpszText = wide;
            SendMessageW(tip, TTM_GETTEXTW, sizeof wide / sizeof wide[0], reinterpret_cast<LPARAM>(&whole));
            if (wide[0]) WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            const int id = (info.uFlags & TTF_IDISHWND) ? GetDlgCtrlID(reinterpret_cast<HWND>(info.uId))
                                                         : static_cast<int>(info.uId);
            found.emplace_back(id, text);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

int ToolTipWindowCount(HWND dialog) { return static_cast<int>(ToolTipWindowsOf(dialog).size()); }

ULONG_PTR ReplaceImport(const char *dll, const char *function, ULONG_PTR replacement) {
    auto *base = reinterpret_cast<unsigned char *>(GetModuleHandleA(nullptr));
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ULONG_PTR previous = 0;
    for (auto *entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char *>(base + entry->Name), dll) != 0) continue;
        auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto *byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char *>(byName->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            if (!previous) previous = slots->u1.Function;
            slots->u1.Function = replacement;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
        }
    }
    return previous;
}
