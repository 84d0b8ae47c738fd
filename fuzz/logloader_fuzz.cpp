// Feeds arbitrary files to the log loader in both separator modes, with the
// summit checks on, then saves what was loaded and loads that again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "../editor/logloader.h"
#include "../editor/logwriter.h"
#include "../editor/qsolist.h"
#include "../editor/settings.h"
#include "../editor/uihooks.h"
#include "summitsdb.h"

// The window edges: every question is answered Yes or No in turn.
int DbAvailable = 1;
static int answer = 0;
void ShowStatusMessage(const char *, unsigned) {}
void ErrorBeep(void) {}
void SetLogFileName(const char *) {}
int ShowMessageBox(const char *, const char *, unsigned) { return 1; }
int ShowMessageDialog(const char *, unsigned) { return (answer++ & 1) ? 7 : 6; }
void OpenWithProgram(const char *, const char *) {}
int ProgramFileVersion(char *, size_t) { return 0; }
void RefillMyCallCombo(void) {}
void RefillBandCombo(void) {}
void RefillModeCombo(void) {}
void BuildRecentLogMenu(void) {}

// A summits database in which references starting with G exist, valid in 2020.
int DbLookupSummit(const char *ref, SummitInfo *info) {
    if (!info) return -1;
    if (ref[0] != 'G') return 0;
    memset(info, 0, sizeof *info);
    snprintf(info->Ref, sizeof info->Ref, "%s", ref);
    info->ValidFrom = 1577836800;
    info->ValidTo = 1609459199;
    return 1;
}
int FileExists(const char *path) {
    FILE *f = fopen(path, "rb");
    if (!f) return 0;
    fclose(f);
    return 1;
}

static std::string folder;

static void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (folder.empty()) {
        char pattern[] = "/tmp/tarn_loader_fuzz_XXXXXX";
        if (!mkdtemp(pattern)) abort();
        folder = pattern;
        atexit(RemoveFolder);
        // The error log goes to DataDirectory + "\\VORN_CSV_Err.log": one file inside the folder here.
        snprintf(EditorSettings.DataDirectory, sizeof EditorSettings.DataDirectory, "%s/data", folder.c_str());
    }
    const bool tabs = size > 0 && (data[0] & 1);
    const std::string path = folder + (tabs ? "/log.tsv" : "/log.csv");
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);

    EditorSettings.RefChecking = 1;
    EditorSettings.MyCallCount = EditorSettings.UserBandCount = EditorSettings.UserModeCount = 0;
    FreeQsoList();
    if (LoadCsvLog(nullptr, path.c_str()) == 1) {
        for (QsoEntry *e = QsoListHead; e; e = e->next)
            if (strlen(e->notes) > 128 || strlen(e->hisCall) > 12 || strlen(e->band) > 12 || strlen(e->mode) > 8)
                abort();
        EditorSettings.NoBackup = 1;
        if (WriteCsvLog(nullptr, path.c_str()) != 1) abort();
        FreeQsoList();
        LoadCsvLog(nullptr, path.c_str());
    }
    FreeQsoList();
    return 0;
}
