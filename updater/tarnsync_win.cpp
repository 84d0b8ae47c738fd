// Tarnsync's entry and its Win32 stages: start-up, banner, the wait for the
// editor, settings, elevation, the download through curl.exe and the endings.
// The option parsing, the list checks and the rebuild are the portable stages
// of the library (options, summitslist, rebuild), called from here.
#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

#include "csvreader.h"
#include "options.h"
#include "rebuild.h"
#include "registry.h"
#include "scoped_win.h"
#include "strutil.h"
#include "strutil_win.h"
#include "summitsdb.h"
#include "summitslist.h"
#include "sysinfo.h"

namespace {

constexpr char kDefaultDownloadUrl[] = "https://maps.vornfell.example/summitslist.csv";
constexpr char kUpdaterCaption[] = "TARNLOG - DataBase Updater";
constexpr char kTryAgainLater[] = "Update process aborted - please try again another time.\n";
constexpr long kMinimumListBytes = 10000000;

struct UpdaterRun {
    int Argc;
    char **Argv;
    HWND OwnerWindow;
    char ModulePath[MAX_PATH];
    char ProgramDirectory[MAX_PATH];
    char ExeName[MAX_PATH];
    char WindowsDir[MAX_PATH];
    char CaBundlePath[MAX_PATH];
    UpdaterOptions Options;
    int NoUacWarn;
    char DataDirectory[MAX_PATH];
    long CurlConnectTimeout;
    long CurlMaxTime;
    char DownloadUrl[MAX_PATH];
    char SummitsDbPath[MAX_PATH];
    char SummitsCsvPath[MAX_PATH];
    int NeedsUpdate;   // the database was just created
    UtcTime DbDate;    // the database's date, -1 unknown
    FILE *List;        // the summits list, open from its check to the end of the run
    int ListPlaced;    // this run's download now stands as the list, not yet built from
    int HadPreviousList;
    char PreviousCsvPath[MAX_PATH + 8];   // the list it replaced, kept until the run ends well
    ListHeader Header;
    std::chrono::steady_clock::time_point StartTime;   // of the list check and rebuild
    int ExitCode;                                      // the process's, once a stage has ended the run
};

// Every stage takes the run and returns true to hand on to the next stage, or
// false when the run ends there, with run->ExitCode set. No stage is returned to.
typedef bool (*UpdaterStage)(UpdaterRun *run);

bool EndRun(UpdaterRun *run, int exitCode) {
    run->ExitCode = exitCode;
    return false;
}

// The pause before an ending; what was printed is shown first.
void Pause(const UpdaterRun &run) {
    fflush(stdout);
    fflush(stderr);
    WaitSecondsOrKey(static_cast<float>(run.Options.PauseSeconds));
}

void CloseList(UpdaterRun *run) {
    if (run->List) fclose(run->List);
    run->List = nullptr;
    CsvReaderReset();
}

// After a failure the download must not stay as the list of the day: the next
// run would take it for a young copy and fail on it again instead of fetching.
// The previous list comes back with its own age, or the new one goes.
void RestorePreviousList(UpdaterRun *run) {
    if (!run->ListPlaced) return;
    run->ListPlaced = 0;
    const bool restored =
        run->HadPreviousList
            ? MoveFileExA(run->PreviousCsvPath, run->SummitsCsvPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
            : DeleteFileA(run->SummitsCsvPath) || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (!restored && !DeleteFileA(run->SummitsCsvPath))
        fprintf(stderr, "WARNING: Unable to remove the failed download %s (%ld)\n", run->SummitsCsvPath,
                static_cast<long>(GetLastError()));
}

// The error ending: pause, close, exit code 1.
bool AbortUpdate(UpdaterRun *run) {
    CloseList(run);
    RestorePreviousList(run);
    Pause(*run);
    DbClose();
    return EndRun(run, 1);
}

// The good ending, also when the database needed no update: close, report,
// pause, and start the editor again when it started this run.
bool FinishUpdate(UpdaterRun *run) {
    CloseList(run);
    if (run->ListPlaced) DeleteFileA(run->PreviousCsvPath);
    run->ListPlaced = 0;
    DbClose();
    printf("\nCompleted!\n");
    Pause(*run);
    char editor[MAX_PATH];
    snprintf(editor, sizeof editor, "%s\\Tarnlog.exe", run->ProgramDirectory);
    if (run->Options.UpdateNow && FileExists(editor))
        ShellExecuteA(run->OwnerWindow, "open", editor, nullptr, nullptr, SW_SHOWNORMAL);
    return EndRun(run, 0);
}

bool InitUpdater(UpdaterRun *run) {
    run->OwnerWindow = GetConsoleHwnd();
    if (!run->OwnerWindow) run->OwnerWindow = GetDesktopWindow();
    SetConsoleTitleA("Tarnsync");
    DWORD length = GetModuleFileNameA(nullptr, run->ModulePath, sizeof run->ModulePath);
    if (length >= sizeof run->ModulePath) length = 0;
    run->ModulePath[length] = '\0';
    UINT windows = GetWindowsDirectoryA(run->WindowsDir, sizeof run->WindowsDir);
    if (windows >= sizeof run->WindowsDir) windows = 0;
    run->WindowsDir[windows] = '\0';
    strcpy(run->ProgramDirectory, run->ModulePath);
    const char *slash = strrchr(run->ModulePath, '\\');
    strcpy(run->ExeName, slash ? slash + 1 : run->ModulePath);
    run->ProgramDirectory[slash ? slash - run->ModulePath : 0] = '\0';
    size_t nameLength = strlen(run->ExeName);
    if (strstr(run->ExeName, ".exe") && nameLength >= 4) run->ExeName[nameLength - 4] = '\0';
    return true;
}

// curl.exe cannot check the server without its certificates.
bool CheckCaBundle(UpdaterRun *run) {
    snprintf(run->CaBundlePath, sizeof run->CaBundlePath, "%s\\curl-ca-bundle.crt", run->ProgramDirectory);
    if (FileExists(run->CaBundlePath)) return true;
    printf("ERROR: The required file %s is missing - You may need to re-install.\n", run->CaBundlePath);
    return EndRun(run, 1);
}

bool PrintBanner(UpdaterRun *run) {
    printf("%s V", run->ExeName);
    for (const char *name : {"ProductVersion", "LegalCopyright"}) {
        char text[256];
        if (GetFileVersionString(text, sizeof text, run->ModulePath, name) > 0) printf("%s ", text);
    }
    printf("\nBuild Date: %s\n", __DATE__ " " __TIME__);
    return true;
}

// ParseUpdaterOptions as a stage: "version" ends the run after the banner.
bool OptionsStage(UpdaterRun *run) {
    if (ParseUpdaterOptions(run->Argc, run->Argv, &run->Options)) return true;
    return EndRun(run, 0);
}

bool WaitForEditorExit(UpdaterRun *run) {
    fflush(stdout);
    WaitSecondsOrKey(2);
    while (IsProcessRunning("Tarnlog.exe")) {
        int answer = MessageBoxA(run->OwnerWindow,
                                 "Please close Tarnlog to allow the Summits Database to be updated.\n"
                                 "Click OK to Continue or Cancel to Abort & Exit",
                                 kUpdaterCaption, MB_OKCANCEL | MB_ICONINFORMATION);
        if (answer == 0) {
            MessageBoxA(run->OwnerWindow, "ERROR: Out of Memory", kUpdaterCaption, MB_ICONERROR);
            return EndRun(run, 1);
        }
        if (answer == IDCANCEL) {
            printf("\nAborted\n");
            return EndRun(run, 1);
        }
    }
    return true;
}

// A registry text, terminated; empty when missing or unreadable.
// The whole field is offered: the reader refuses a text that fills its room
// without a terminator, so the longest value needs the spare byte. Data that
// fills the field holds its own terminator.
void ReadSetting(const char *name, char *out, int capacity) {
    int size = capacity;
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, name, out, &size);
    out[size <= 0 ? 0 : size < capacity ? size : capacity - 1] = '\0';
}

long ReadNumberSetting(const char *name, long fallback) {
    uint32_t value = 0;
    int size = 4;
    RegReadDword(TARN_HKEY_CURRENT_USER, SettingsKey, name, &value, &size);
    return size == 4 ? static_cast<long>(static_cast<int32_t>(value)) : fallback;
}

bool ReadUpdaterSettings(UpdaterRun *run) {
    printf("\nChecking ...\n");
    ReadSetting("DBLocation", run->DataDirectory, sizeof run->DataDirectory);
    if (!run->DataDirectory[0]) strcpy(run->DataDirectory, run->ProgramDirectory);
    printf("Database Location\n\t%s\n", run->DataDirectory);
    run->CurlConnectTimeout = ReadNumberSetting("ConnectTimeOut", 15);
    run->CurlMaxTime = ReadNumberSetting("DownLoadTimeOut", 300);
    run->NoUacWarn = ReadNumberSetting("NO_UAC_WARN", 0) != 0;
    ReadSetting("CSV_Download_URL", run->DownloadUrl, sizeof run->DownloadUrl);
    if (!run->DownloadUrl[0]) strcpy(run->DownloadUrl, kDefaultDownloadUrl);
    return true;
}

// Goes on without restarting where no restart is needed; otherwise the run
// ends here, the elevated copy (when it started) running in its place.
bool RestartElevated(UpdaterRun *run) {
    if (run->Options.AllowAsUser ||
        !RestartNeeded(IsVistaOrLater, IsUacEnabled, IsUserAdmin, run->DataDirectory, run->WindowsDir))
        return true;
    if (!run->NoUacWarn) {
        char text[1024];
        int length = snprintf(text, sizeof text,
                              "WARNING: This program requires enhanced (administrative) access so that "
                              "it can update files in the Installation folder (%s), is this Ok ?\n\n"
                              "Note: Windows UAC will also ask you to confirm, "
                              "selecting NO will cancel the VORN Database update process.",
                              run->DataDirectory);
        if (length < 0 || static_cast<size_t>(length) >= sizeof text) {
            printf("ERROR: Out of Memory\n");
            Pause(*run);
            return EndRun(run, 1);
        }
        if (MessageBoxA(run->OwnerWindow, text, "WARNING", MB_YESNO | MB_ICONINFORMATION) != IDYES) {
            printf("Program Aborted by User\n");
            Pause(*run);
            return EndRun(run, 0);
        }
    }
    char arguments[1024];
    if (!BuildRestartArguments(run->Argc, run->Argv, arguments, sizeof arguments)) {
        printf("ERROR: Unable to restart the program\n");
        return EndRun(run, 1);
    }
    printf("Running : %s %s\n", run->ModulePath, arguments);
    fflush(stdout);
    HINSTANCE started = ShellExecuteA(run->OwnerWindow, "runas", run->ModulePath, arguments, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) > 32) return EndRun(run, 0);
    printf("ERROR: Unable to restart the program\n");
    return EndRun(run, 1);
}

// Opens the database, or creates it (which then needs the update).
bool OpenOrCreateSummitsDb(UpdaterRun *run) {
    snprintf(run->SummitsDbPath, sizeof run->SummitsDbPath, "%s\\%s", run->DataDirectory, kSummitsDbFileName);
    run->NeedsUpdate = 0;
    run->DbDate = -1;
    if (FileExists(run->SummitsDbPath)) {
        char dbDateText[15] = "Unknown";
        run->DbDate = DbGetInfoDate(run->SummitsDbPath, dbDateText, 0);
        if (run->DbDate < 0) {
            fputs("ERROR: The database is NOT compatible with this version of the program.\n\n", stderr);
            return AbortUpdate(run);
        }
        return true;
    }
    if (!DbCreate(run->SummitsDbPath, 0)) {
        fputs("ERROR: Unable to create a new database\n\n", stderr);
        return AbortUpdate(run);
    }
    run->NeedsUpdate = 1;
    return true;
}

// Fetches the list through curl.exe when the copy beside the database is
// missing, forced or more than a day old.
bool DownloadSummitsList(UpdaterRun *run) {
    snprintf(run->SummitsCsvPath, sizeof run->SummitsCsvPath, "%s\\%s", run->DataDirectory, "summitslist.csv");
    if (!ListNeedsDownload(run->SummitsCsvPath, run->Options.ForceUpdate, time(nullptr))) {
        printf("\nThe CSV should not need updating (as it is less than 24 hours old)\n");
        return true;
    }
    printf("\nDownloading from\n\t%s\n", run->DownloadUrl);
    printf("\nContacting download site\n");
    // The address goes into a command line that may run with raised rights.
    if (!DownloadUrlIsSafe(run->DownloadUrl)) {
        fputs("ERROR: The download address is not a plain http, https or file address\n", stderr);
        fputs("Update process aborted\n", stderr);
        return AbortUpdate(run);
    }
    // Removed again on every path.
    ScopedTempFile temp(_tempnam(getenv("TEMP"), "VORNCSV"));
    if (!temp) {
        printf("ERROR: %s\nUnable to create a  temporary file - the update process was aborted.", strerror(errno));
        Pause(*run);
        return EndRun(run, -1);
    }
    char parameters[2048];
    snprintf(parameters, sizeof parameters,
             "--fail --cacert \"%s\" --location --url \"%s\" --output \"%s\" --connect-timeout %ld --max-time %ld",
             run->CaBundlePath, run->DownloadUrl, temp.Get(), run->CurlConnectTimeout, run->CurlMaxTime);
    char curl[MAX_PATH];
    snprintf(curl, sizeof curl, "%s\\curl.exe", run->ProgramDirectory);
    SHELLEXECUTEINFOA execute;
    memset(&execute, 0, sizeof execute);
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = run->OwnerWindow;
    execute.lpVerb = "open";
    execute.lpFile = curl;
    execute.lpParameters = parameters;
    execute.nShow = SW_HIDE;
    fflush(stdout);
    const BOOL launched = ShellExecuteExA(&execute);
    ScopedKernelHandle process(launched ? execute.hProcess : nullptr);
    if (!process) {
        MessageBoxA(nullptr, "ERROR: Could not execute CURL command !\r\n", "VORN CSV Log Editor", MB_ICONERROR);
        fputs("Update process aborted\n", stderr);
        DbClose();
        return EndRun(run, 1);
    }
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.Get(), &code);
    process.Reset();
    if (code != 0) {
        printf("ERROR: A Problem occurred during the download\n");
        fputs(kTryAgainLater, stderr);
        return AbortUpdate(run);
    }
    struct _stat status;
    if (_stat(temp.Get(), &status) != 0 || status.st_size < kMinimumListBytes) {
        printf("ERROR: A problem was detected with the download (file is too small)\n");
        fputs(kTryAgainLater, stderr);
        return AbortUpdate(run);
    }
    // Copied under a name of its own first: the old list stays whole until the
    // new one is, and is then kept aside until the new one has been built from.
    char partial[MAX_PATH + 8];
    snprintf(partial, sizeof partial, "%s.new", run->SummitsCsvPath);
    snprintf(run->PreviousCsvPath, sizeof run->PreviousCsvPath, "%s.old", run->SummitsCsvPath);
    run->HadPreviousList = FileExists(run->SummitsCsvPath);
    const DWORD replace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    bool saved = CopyFileA(temp.Get(), partial, FALSE) &&
                 (!run->HadPreviousList || MoveFileExA(run->SummitsCsvPath, run->PreviousCsvPath, replace));
    if (saved) {
        run->ListPlaced = 1;
        saved = MoveFileExA(partial, run->SummitsCsvPath, replace);
    }
    if (!saved) {
        DWORD error = GetLastError();
        RestorePreviousList(run);
        char text[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                       sizeof text, nullptr);
        StrTrim(text);
        DeleteFileA(partial);
        printf("ERROR: There was a problem saving the download (%ld %s)\n", static_cast<long>(error), text);
        fprintf(stderr, "Update process aborted - please check that you have write access to: \n\t%s\n",
                run->DataDirectory);
        return AbortUpdate(run);
    }
    return true;
}

// Opens the list and runs CheckSummitsListHeader on it: a list that needs no
// rebuild ends the run well, a faulty or cut one aborts it.
bool ListCheckStage(UpdaterRun *run) {
    run->StartTime = std::chrono::steady_clock::now();
    // Binary: as text, msvcrt would end the list at a Ctrl+Z byte. The reader
    // takes CR LF itself.
    run->List = fopen(run->SummitsCsvPath, "rb");
    if (!run->List) {
        fprintf(stderr, "ERROR: Unable to open CSV file:\n\t%s\n\t(%s)\n", run->SummitsCsvPath, strerror(errno));
        return AbortUpdate(run);
    }
    const int checked = CheckSummitsListHeader(run->List, run->DbDate, run->NeedsUpdate, run->Options.ForceUpdate,
                                               &run->Header);
    if (checked < 0) return AbortUpdate(run);
    if (checked > 0) return true;
    // No rebuild: a list just downloaded is still read to its end, as a list cut
    // short in transfer must not stay as the day's list.
    if (run->ListPlaced && CheckListEnd(run->List, &run->Header) < 0) {
        fputs(kTryAgainLater, stderr);
        return AbortUpdate(run);
    }
    return FinishUpdate(run);
}

// RebuildReferences (which stamps the database's date) as a stage.
bool RebuildStage(UpdaterRun *run) {
    if (RebuildReferences(run->List, &run->Header, run->StartTime) < 0) return AbortUpdate(run);
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    static UpdaterRun run;
    run.Argc = argc;
    run.Argv = argv;
    static const UpdaterStage stages[] = {
        InitUpdater,         CheckCaBundle,       PrintBanner,     OptionsStage,
        WaitForEditorExit,   ReadUpdaterSettings, RestartElevated, OpenOrCreateSummitsDb,
        DownloadSummitsList, ListCheckStage,      RebuildStage,    FinishUpdate,
    };
    for (UpdaterStage stage : stages)
        if (!stage(&run)) break;
    return run.ExitCode;
}
