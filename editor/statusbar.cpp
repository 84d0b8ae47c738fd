// The main window's status bar: what each of its five parts shows, the message
// expiry, the summits database status with its age warning, and the clock.
#include "statusbar_win.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "appstate.h"
#include "msgdialog_win.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "summitsdb.h"
#include "utctime_win.h"

int DbAvailable = 0;
HWND StatusBar = nullptr;
uint64_t MessageExpiry = 0;
UINT_PTR MessageTimerId = 0;
char DbStatusText[64] = "";
char DbStatusTip[64] = "";
HICON DbStatusIcon = nullptr;
UtcTime DbLastUpdate = -1;
char DbDateText[20] = "Unknown";

namespace {

// Every text is shown at a fixed length, cut or padded with blanks.
constexpr size_t kMessageWidth = 127;
constexpr size_t kMessageClearedWidth = 87;
constexpr size_t kLogStatusWidth = 28;
constexpr size_t kLogStatusClearedWidth = 31;
constexpr size_t kLogFileWidth = 64;
constexpr size_t kLogFileClearedWidth = 63;
constexpr size_t kDbStatusWidth = 32;

constexpr char kMessageTip[] = "Warning/Notification Message";
constexpr char kMessageAreaTip[] = "Warning/Notification Message Area";
constexpr char kLogStatusTip[] = "Log Status";
constexpr char kLogFileTip[] = "Current log file name";
constexpr char kClockTip[] = "Current Date/Time (UTC)";
constexpr char kRefCheckOffText[] = "Ref checking disabled           ";
constexpr char kRefCheckOffTip[] = "Summit Reference Checking is Disabled (F7)";
constexpr char kDbAgeWarnValue[] = "DBAgeWarn";

// The age warning is given at most this many times; a count at or above the
// second limit turns it off for good, as no fresh database resets it.
constexpr uint32_t kDbAgeWarnLimit = 9;
constexpr uint32_t kDbAgeWarnResetLimit = 98;

// Writes exactly width characters of text (length of them at most), blanks
// after, and a terminator into out, which holds width + 1. out may be text.
void PadText(char *out, size_t width, const char *text, size_t length) {
    if (length > width) length = width;
    memmove(out, text, length);
    memset(out + length, ' ', width - length);
    out[width] = '\0';
}

void SetPart(int part, const char *text, const char *tip) {
    SendMessageA(StatusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    SendMessageA(StatusBar, SB_SETTIPTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(tip));
}

// The part shows text at width characters.
void SetPaddedPart(int part, size_t width, const char *text, size_t length, const char *tip) {
    char padded[kMessageWidth + 1];
    PadText(padded, width, text, length);
    SetPart(part, padded, tip);
}

void SetPaddedPart(int part, size_t width, const char *text, const char *tip) {
    SetPaddedPart(part, width, text, strlen(text), tip);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

HICON LoadSmallIcon(int id) {
    return static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

void SetDbState(const char *text, int iconId, const char *tip) {
    snprintf(DbStatusText, sizeof DbStatusText, "%s", text);
    snprintf(DbStatusTip, sizeof DbStatusTip, "%s", tip);
    DbStatusIcon = LoadSmallIcon(iconId);
}

void WriteDbAgeWarn(uint32_t count) { RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, kDbAgeWarnValue, count); }

// Warns of an old database at most ten times, counting the warnings the user
// confirmed; a database within its age resets the count.
void CheckDbAge(void) {
    const double age = difftime(time(nullptr), static_cast<time_t>(DbLastUpdate));
    uint32_t count = 0;
    int size = 4;
    RegReadDword(TARN_HKEY_CURRENT_USER, SettingsKey, kDbAgeWarnValue, &count, &size);
    const bool missing = size == 0;

    if (age > static_cast<double>(static_cast<uint32_t>(EditorSettings.DBAgeWarnPeriod))) {
        if (missing) WriteDbAgeWarn(0);
        if (count > kDbAgeWarnLimit) return;
        char warning[2048] = "";
        LoadStringA(AppInstance, IDS_DB_AGE_WARNING, warning, sizeof warning);
        if (ShowMessageDialog(MainWindow, warning, kProgramName, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK)
            WriteDbAgeWarn(count + 1);
    } else if (missing || count <= kDbAgeWarnResetLimit) {
        WriteDbAgeWarn(0);
    }
}

}  // namespace

void ShowStatusMessage(const char *text, unsigned ms) {
    const uint64_t now = GetUtcFileTimeNow();
    if (MessageTimerId != 0) {
        KillTimer(nullptr, MessageTimerId);
        MessageTimerId = 0;
    }
    SetPaddedPart(SBP_MESSAGE, kMessageWidth, text ? text : "", kMessageTip);
    if (ms != 0) {
        MessageExpiry = now + static_cast<uint64_t>(ms) * 10000u;
        MessageTimerId = SetTimer(nullptr, IDT_MESSAGE, 200, ClearMessageTimerProc);
    }
}

void CALLBACK ClearMessageTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    // A tick of a timer killed since (already taken from the queue) must not
    // clear the message that replaced its own.
    if (MessageTimerId == 0 || id != MessageTimerId) return;
    if (GetUtcFileTimeNow() < MessageExpiry) return;
    KillTimer(nullptr, MessageTimerId);
    MessageTimerId = 0;
    SetPaddedPart(SBP_MESSAGE, kMessageClearedWidth, "", kMessageAreaTip);
}

void ErrorBeep(void) { Beep(600, 150); }

void SetLogStatus(const char *text) { SetPaddedPart(SBP_LOG_STATUS, kLogStatusWidth, text, kLogStatusTip); }

void ClearLogStatus(void) { SetPaddedPart(SBP_LOG_STATUS, kLogStatusClearedWidth, "", kLogStatusTip); }

void SetLogFileName(const char *path) {
    if (!path) path = "";
    size_t start = 0;
    const char drive = static_cast<char>(path[0] | 0x20);
    if (drive >= 'a' && drive <= 'z' && path[1] == ':') start = 2;
    size_t end = strlen(path);
    while (end > start && IsSeparator(path[end - 1])) --end;
    size_t begin = end;
    while (begin > start && !IsSeparator(path[begin - 1])) --begin;
    if (begin == end)
        SetPaddedPart(SBP_LOG_FILE, kLogFileWidth, ".", kLogFileTip);
    else
        SetPaddedPart(SBP_LOG_FILE, kLogFileWidth, path + begin, end - begin, kLogFileTip);
}

void ClearLogFileName(void) { SetPaddedPart(SBP_LOG_FILE, kLogFileClearedWidth, "", kLogFileTip); }

void ShowRefCheckStatus(void) {
    if (EditorSettings.RefChecking) {
        SendMessageA(StatusBar, SB_SETICON, SBP_DB_STATUS, reinterpret_cast<LPARAM>(DbStatusIcon));
        SetPart(SBP_DB_STATUS, DbStatusText, DbStatusTip);
    } else {
        SendMessageA(StatusBar, SB_SETICON, SBP_DB_STATUS, 0);
        SetPart(SBP_DB_STATUS, kRefCheckOffText, kRefCheckOffTip);
    }
}

void UpdateDbStatus(void) {
    char path[MAX_PATH];
    // A path cut to the buffer would name another file: such a database is missing.
    const int length = snprintf(path, sizeof path, "%s\\%s", EditorSettings.DataDirectory, kSummitsDbFileName);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path || !FileExists(path)) {
        SetDbState("No Summits DB", IDI_NO_DBICON, "The Summits Database is Missing");
    } else if ((DbLastUpdate = DbGetInfoDate(path, DbDateText, 1)) < 0) {
        SetDbState("Wrong Summits DB", IDI_NO_DBICON, "The Summits Database is not Compatible");
    } else {
        CheckDbAge();
        const int count = DbCount(kReferencesTable, nullptr);
        if (count <= 0) {
            SetDbState("Empty Summits DB", IDI_NO_DBICON, "The Summits Database is Empty");
        } else {
            DbAvailable = 1;
            char text[sizeof DbStatusText];
            snprintf(text, sizeof text, "%s (%d)", DbDateText, count);
            SetDbState(text, IDI_FL_DBICON, "Full Summit Database: Date (Number of Summits)");
        }
    }
    PadText(DbStatusText, kDbStatusWidth, DbStatusText, strlen(DbStatusText));
    ShowRefCheckStatus();
}

int ShowOutOfMemory(void) { return MessageBoxA(MainWindow, "ERROR: Out of Memory", kProgramName, MB_ICONERROR); }

void CALLBACK ClockTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char date[32], clock[32], text[96];
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date) &&
        GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &now, nullptr, clock,
                       sizeof clock))
        snprintf(text, sizeof text, "%s %s  UTC          ", date, clock);
    else
        snprintf(text, sizeof text, "%02d/%02d/%4d %02d:%02d:%02d UTC          ", now.wDay, now.wMonth, now.wYear,
                 now.wHour, now.wMinute, now.wSecond);
    SetPart(SBP_CLOCK, text, kClockTip);
    if (EditorSettings.AutoTime) {
        SendDlgItemMessageA(MainWindow, IDC_QSO_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&now));
        SendDlgItemMessageA(MainWindow, IDC_QSO_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&now));
    }
}
