// Times the editor's start-up under Wine as the user meets it: the real
// Tarnlog.exe started on a log, from its CreateProcess to its main window
// waiting for input with every contact of the log in its list, reference
// checking as the editor's settings have it. Each run closes the editor again
// (nothing is changed, so nothing is asked) and waits for it to end. Prints the
// median and the minimum of the runs.
//
// startup_bench [-rRUNS] <Tarnlog.exe> <summit references file> <contacts> <log.csv>
//
// The log is written first, by the editor's own writer, in the shape of
// benchwin.h's FillLog, with its summits from the references file
// (one a line, each valid from 2014 or earlier to 2099, so that every contact
// passes the reference check).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchwin.h"
#include "editorwindow.h"
#include "logwriter.h"
#include "qsolist.h"
#include "settings.h"

namespace {

std::vector<std::string> ReadReferences(const char *path) {
    std::vector<std::string> references;
    FILE *file = fopen(path, "r");
    if (!file) return references;
    char line[64];
    while (fgets(line, sizeof line, file)) {
        std::string reference(line);
        while (!reference.empty() && (reference.back() == '\n' || reference.back() == '\r')) reference.pop_back();
        if (!reference.empty()) references.push_back(reference);
    }
    fclose(file);
    return references;
}

bool WriteLog(const char *path, int count, const std::vector<std::string> &summits) {
    const bool written = FillLog(count, &summits) && ExportCsv(path) == 1;
    FreeQsoList();
    return written;
}

// One start: the milliseconds to the filled, idle window, or a negative value
// when the editor did not get there.
double TimeOneStart(const char *commandLine, int rows, LARGE_INTEGER frequency) {
    std::string command = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "the editor could not be started (error %lu)\n", GetLastError());
        return -1;
    }
    CloseHandle(process.hThread);
    double result = -1;
    HWND window = nullptr;
    int shown = -1;
    const DWORD deadline = GetTickCount() + 300000;
    if (WaitForInputIdle(process.hProcess, 300000) == 0) {
        // Idle before the list is filled would be a question in the way: the
        // list is waited for, and the idle state asked for again.
        while (static_cast<int32_t>(deadline - GetTickCount()) > 0) {
            window = FindEditorWindow(process.dwProcessId);
            shown = LogListRows(window);
            if (shown == rows && WaitForInputIdle(process.hProcess, 0) == 0) {
                QueryPerformanceCounter(&ready);
                result = Milliseconds(start, ready, frequency);
                break;
            }
            if (WaitForSingleObject(process.hProcess, 2) == WAIT_OBJECT_0) break;
        }
    }
    if (result < 0) fprintf(stderr, "the editor's window did not show the %d contacts (it shows %d)\n", rows, shown);
    if (!window || !CloseEditor(window, process.hProcess, 60000)) {
        fprintf(stderr, "the editor did not end after its window was closed\n");
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
        result = -1;
    }
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

int main(int argc, char **argv) {
    int runs = 5;
    int first = 1;
    if (argc > 1 && argv[1][0] == '-' && argv[1][1] == 'r') {
        runs = atoi(argv[1] + 2);
        first = 2;
    }
    if (argc - first != 4 || runs < 1) {
        fprintf(stderr, "usage: startup_bench [-rRUNS] <Tarnlog.exe> <summit references file> <contacts> <log.csv>\n");
        return 2;
    }
    const char *program = argv[first];
    const std::vector<std::string> summits = ReadReferences(argv[first + 1]);
    const int rows = atoi(argv[first + 2]);
    const char *log = argv[first + 3];
    if (summits.empty() || rows < 1) {
        fprintf(stderr, "no summit references in %s, or no contacts asked for\n", argv[first + 1]);
        return 2;
    }
    if (!WriteLog(log, rows, summits)) {
        fprintf(stderr, "the log %s could not be written\n", log);
        return 1;
    }

    char commandLine[2 * MAX_PATH + 8];
    snprintf(commandLine, sizeof commandLine, "\"%s\" \"%s\"", program, log);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double ms = TimeOneStart(commandLine, rows, frequency);
        if (ms < 0) return 1;
        printf("  run %d: %.0f ms\n", run + 1, ms);
        fflush(stdout);
        times.push_back(ms);
    }
    printf("%d contacts, %d summits, %d runs:\n", rows, static_cast<int>(summits.size()), runs);
    Report("startup", times);
    return 0;
}
