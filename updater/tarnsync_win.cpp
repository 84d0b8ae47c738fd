// Tarnsync's entry and its Win32 stages: start-up, banner, the wait for the
// editor, settings, elevation, the download through curl.exe and the endings.
// The list checks and the rebuild are the portable stages of the library.
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
#include "strutil.h"
#include "summitsdb.h"
#include "summitslist.h"
#include "sysinfo.h"

namespace {

const char *const SettingsKey = "Software\\Brindlecote\\Tarnlog";
const char *const DefaultDownloadUrl = "https://maps.vornfell.example/summitslist.csv";
const char *const UpdaterCaption = "TARNLOG - DataBase Updater";
const char *const TryAgainLater = "Update process aborted - please try again another time.\n";
constexpr long MinimumListBytes = 10000000;

struct UpdaterRun {
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
};

// The pause before an ending; what was printed is shown first.
void Pause(const UpdaterRun &run) {
    fflush(stdout);
    fflush(stderr);
    WaitSecondsOrKey(static_cast<float>(run.Options.PauseSeconds));
}

int AbortUpdate(const UpdaterRun &run) {
    Pause(run);
    DbClose();
    return 1;
}

int FinishUpdate(const UpdaterRun &run, FILE *list) {
    if (list) fclose(list);
    CsvReaderReset();
    DbClose();
    printf("\nCompleted!\n");
    Pause(run);
    char editor[MAX_PATH];
    snprintf(editor, sizeof editor, "%s\\Tarnlog.exe", run.ProgramDirectory);
    if (run.Options.UpdateNow && FileExists(editor))
        ShellExecuteA(run.OwnerWindow, "open", editor, nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

void InitUpdater(UpdaterRun *run) {
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
}

void PrintBanner(const UpdaterRun &run) {
    printf("%s V", run.ExeName);
    for (const char *name : {"ProductVersion", "LegalCopyright"}) {
        char text[256];
        if (GetFileVersionString(text, sizeof text, run.ModulePath, name) > 0) printf("%s ", text);
    }
    printf("\nBuild Date: %s\n", __DATE__ " " __TIME__);
}

// 1 to go on; 0 when the user chose to stop; -1 out of memory.
int WaitForEditorExit(const UpdaterRun &run) {
    fflush(stdout);
    WaitSecondsOrKey(2);
    while (IsProcessRunning("Tarnlog.exe")) {
        int answer = MessageBoxA(run.OwnerWindow,
                                 "Please close Tarnlog to allow the Summits Database to be updated.\n"
                                 "Click OK to Continue or Cancel to Abort & Exit",
                                 UpdaterCaption, MB_OKCANCEL | MB_ICONINFORMATION);
        if (answer == 0) {
            MessageBoxA(run.OwnerWindow, "ERROR: Out of Memory", UpdaterCaption, MB_ICONERROR);
            return -1;
        }
        if (answer == IDCANCEL) return 0;
    }
    return 1;
}

// A registry text, terminated; empty when missing or unreadable.
void ReadSetting(const char *name, char *out, int capacity) {
    int size = capacity - 1;
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, name, out, &size);
    out[size > 0 ? size : 0] = '\0';
}

long ReadNumberSetting(const char *name, long fallback, int *found = nullptr) {
    uint32_t value = 0;
    int size = 4;
    RegReadDword(TARN_HKEY_CURRENT_USER, SettingsKey, name, &value, &size);
    if (found) *found = size == 4;
    return size == 4 ? static_cast<long>(static_cast<int32_t>(value)) : fallback;
}

void ReadUpdaterSettings(UpdaterRun *run) {
    printf("\nChecking ...\n");
    ReadSetting("DBLocation", run->DataDirectory, sizeof run->DataDirectory);
    if (!run->DataDirectory[0]) strcpy(run->DataDirectory, run->ProgramDirectory);
    printf("Database Location\n\t%s\n", run->DataDirectory);
    run->CurlConnectTimeout = ReadNumberSetting("ConnectTimeOut", 15);
    run->CurlMaxTime = ReadNumberSetting("DownLoadTimeOut", 300);
    run->NoUacWarn = ReadNumberSetting("NO_UAC_WARN", 0) != 0;
    ReadSetting("CSV_Download_URL", run->DownloadUrl, sizeof run->DownloadUrl);
    if (!run->DownloadUrl[0]) strcpy(run->DownloadUrl, DefaultDownloadUrl);
}

// -1 go on without restarting; otherwise the exit code.
int RestartElevated(const UpdaterRun &run, int argc, char **argv) {
    if (run.Options.AllowAsUser ||
        !RestartNeeded(IsVistaOrLater, IsUacEnabled, IsUserAdmin, run.DataDirectory, run.WindowsDir))
        return -1;
    if (!run.NoUacWarn) {
        char text[1024];
        int length = snprintf(text, sizeof text,
                              "WARNING: This program requires enhanced (administrative) access so that "
                              "it can update files in the Installation folder (%s), is this Ok ?\n\n"
                              "Note: Windows UAC will also ask you to confirm, "
                              "selecting NO will cancel the VORN Database update process.",
                              run.DataDirectory);
        if (length < 0 || static_cast<size_t>(length) >= sizeof text) {
            printf("ERROR: Out of Memory\n");
            Pause(run);
            return 1;
        }
        if (MessageBoxA(run.OwnerWindow, text, "WARNING", MB_YESNO | MB_ICONINFORMATION) != IDYES) {
            printf("Program Aborted by User\n");
            Pause(run);
            return 0;
        }
    }
    char arguments[1024];
    if (!BuildRestartArguments(argc, argv, arguments, sizeof arguments)) {
        printf("ERROR: Unable to restart the program\n");
        return 1;
    }
    printf("Running : %s %s\n", run.ModulePath, arguments);
    fflush(stdout);
    HINSTANCE started = ShellExecuteA(run.OwnerWindow, "runas", run.ModulePath, arguments, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) > 32) return 0;
    printf("ERROR: Unable to restart the program\n");
    return 1;
}

// 1 open, with *needsUpdate and *dbDate set; 0 after the error message.
int OpenOrCreateSummitsDb(UpdaterRun *run, int *needsUpdate, UtcTime *dbDate) {
    snprintf(run->SummitsDbPath, sizeof run->SummitsDbPath, "%s\\%s", run->DataDirectory, "VORN_REFS.MDB");
    *needsUpdate = 0;
    *dbDate = -1;
    if (FileExists(run->SummitsDbPath)) {
        char dbDateText[15] = "Unknown";
        *dbDate = DbGetInfoDate(run->SummitsDbPath, dbDateText, 0);
        if (*dbDate < 0) {
            fputs("ERROR: The database is NOT compatible with this version of the program.\n\n", stderr);
            return 0;
        }
        return 1;
    }
    if (!DbCreate(run->SummitsDbPath, 0)) {
        fputs("ERROR: Unable to create a new database\n\n", stderr);
        return 0;
    }
    *needsUpdate = 1;
    return 1;
}

// Frees the temporary name and removes its file on every path.
struct TempDownload {
    char *path = nullptr;
    ~TempDownload() {
        if (path) {
            DeleteFileA(path);
            free(path);
        }
    }
};

// -2 go on; otherwise the exit code.
int DownloadSummitsList(const UpdaterRun &run) {
    printf("\nDownloading from\n\t%s\n", run.DownloadUrl);
    printf("\nContacting download site\n");
    // The address goes into a command line that may run with raised rights.
    if (!DownloadUrlIsSafe(run.DownloadUrl)) {
        fputs("ERROR: The download address is not a plain http, https or file address\n", stderr);
        fputs("Update process aborted\n", stderr);
        return AbortUpdate(run);
    }
    TempDownload temp;
    temp.path = _tempnam(getenv("TEMP"), "VORNCSV");
    if (!temp.path) {
        printf("ERROR: %s\nUnable to create a  temporary file - the update process was aborted.", strerror(errno));
        Pause(run);
        return -1;
    }
    char parameters[2048];
    snprintf(parameters, sizeof parameters,
             "--fail --cacert \"%s\" --location --url \"%s\" --output \"%s\" --connect-timeout %ld --max-time %ld",
             run.CaBundlePath, run.DownloadUrl, temp.path, run.CurlConnectTimeout, run.CurlMaxTime);
    char curl[MAX_PATH];
    snprintf(curl, sizeof curl, "%s\\curl.exe", run.ProgramDirectory);
    SHELLEXECUTEINFOA execute;
    memset(&execute, 0, sizeof execute);
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = run.OwnerWindow;
    execute.lpVerb = "open";
    execute.lpFile = curl;
    execute.lpParameters = parameters;
    execute.nShow = SW_HIDE;
    fflush(stdout);
    if (!ShellExecuteExA(&execute) || !execute.hProcess) {
        MessageBoxA(nullptr, "ERROR: Could not execute CURL command !\r\n", "VORN CSV Log Editor", MB_ICONERROR);
        fputs("Update process aborted\n", stderr);
        DbClose();
        return 1;
    }
    WaitForSingleObject(execute.hProcess, INFINITE);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(execute.hProcess, &code);
    CloseHandle(execute.hProcess);
    if (code != 0) {
        printf("ERROR: A Problem occurred during the download\n");
        fputs(TryAgainLater, stderr);
        return AbortUpdate(run);
    }
    struct _stat status;
    if (_stat(temp.path, &status) != 0 || status.st_size < MinimumListBytes) {
        printf("ERROR: A problem was detected with the download (file is too small)\n");
        fputs(TryAgainLater, stderr);
        return AbortUpdate(run);
    }
    // Copied under a name of its own first: the old list stays whole until the new one is.
    char partial[MAX_PATH + 8];
    snprintf(partial, sizeof partial, "%s.new", run.SummitsCsvPath);
    if (!CopyFileA(temp.path, partial, FALSE) ||
        !MoveFileExA(partial, run.SummitsCsvPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        char text[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                       sizeof text, nullptr);
        StrTrim(text);
        DeleteFileA(partial);
        printf("ERROR: There was a problem saving the download (%ld %s)\n", static_cast<long>(error), text);
        fprintf(stderr, "Update process aborted - please check that you have write access to: \n\t%s\n",
                run.DataDirectory);
        return AbortUpdate(run);
    }
    return -2;
}

}  // namespace

int main(int argc, char **argv) {
    UpdaterRun run;
    memset(&run, 0, sizeof run);
    InitUpdater(&run);

    snprintf(run.CaBundlePath, sizeof run.CaBundlePath, "%s\\curl-ca-bundle.crt", run.ProgramDirectory);
    if (!FileExists(run.CaBundlePath)) {
        printf("ERROR: The required file %s is missing - You may need to re-install.\n", run.CaBundlePath);
        return 1;
    }
    PrintBanner(run);
    if (!ParseUpdaterOptions(argc, argv, &run.Options)) return 0;

    int waited = WaitForEditorExit(run);
    if (waited < 0) return 1;
    if (waited == 0) {
        printf("\nAborted\n");
        return 1;
    }
    ReadUpdaterSettings(&run);
    int restarted = RestartElevated(run, argc, argv);
    if (restarted >= 0) return restarted;

    int needsUpdate = 0;
    UtcTime dbDate = -1;
    if (!OpenOrCreateSummitsDb(&run, &needsUpdate, &dbDate)) return AbortUpdate(run);

    snprintf(run.SummitsCsvPath, sizeof run.SummitsCsvPath, "%s\\%s", run.DataDirectory, "summitslist.csv");
    if (ListNeedsDownload(run.SummitsCsvPath, run.Options.ForceUpdate, time(nullptr))) {
        int downloaded = DownloadSummitsList(run);
        if (downloaded != -2) return downloaded;
    } else {
        printf("\nThe CSV should not need updating (as it is less than 24 hours old)\n");
    }

    auto startTime = std::chrono::steady_clock::now();
    FILE *list = fopen(run.SummitsCsvPath, "rt");
    if (!list) {
        fprintf(stderr, "ERROR: Unable to open CSV file:\n\t%s\n\t(%s)\n", run.SummitsCsvPath, strerror(errno));
        return AbortUpdate(run);
    }
    ListHeader header;
    int checked = CheckSummitsListHeader(list, dbDate, needsUpdate, run.Options.ForceUpdate, &header);
    if (checked == 1 && RebuildReferences(list, &header, startTime) < 0) checked = -1;
    if (checked < 0) {
        fclose(list);
        CsvReaderReset();
        return AbortUpdate(run);
    }
    return FinishUpdate(run, list);
}
