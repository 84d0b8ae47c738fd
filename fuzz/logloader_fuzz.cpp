// Feeds arbitrary files to the log loader in both separator modes, with the
// summit checks on, then saves what was loaded and loads that again: every
// file that loads must come back from a save with every contact unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "../editor/logloader.h"
#include "../editor/logwriter.h"
#include "../editor/qsolist.h"
#include "../editor/settings.h"
#include "../editor/uihooks.h"
#include "strutil.h"
#include "summitsdb.h"

// The window edges: every question is answered Yes or No in turn.
int DbAvailable = 1;
int SortColumn = 0;
int SortAscending = 1;
static int answer = 0;
static bool suspect = false;   // the last load reported suspect entries
void ShowStatusMessage(const char *text, unsigned) {
    if (strcmp(text, "Log opened (but with suspect entries)") == 0) suspect = true;
}
void ErrorBeep(void) {}
void SetLogFileName(const char *) {}
int ShowMessageBox(const char *, const char *, unsigned) { return 1; }
int ShowEditorMessage(const char *, unsigned) { return (answer++ & 1) ? 7 : 6; }
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

// Every contact of the list, all its fields, sorted: contacts of one time come
// back from each load the other way round, as the list puts a new entry before
// those of its time. Calls and references as the save writes them, without
// blanks around them.
static std::string Trimmed(const char *text) {
    std::string copy = text;
    return StrTrim(copy.data());
}
static std::vector<std::string> Contacts() {
    std::vector<std::string> out;
    for (QsoEntry *e = QsoListHead; e; e = e->next)
        out.push_back(std::to_string(e->qsoTime) + "|" + Trimmed(e->hisCall) + "|" + e->band + "|" + e->mode + "|" +
                      Trimmed(e->hisSummit) + "|" + e->notes + "|" + Trimmed(e->myCall) + "|" +
                      Trimmed(e->mySummit) + "|" + std::to_string(e->swl));
    std::sort(out.begin(), out.end());
    return out;
}

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
    suspect = false;
    if (LoadCsvLog(nullptr, path.c_str()) == 1) {
        for (QsoEntry *e = QsoListHead; e; e = e->next)
            if (strlen(e->notes) > 128 || strlen(e->hisCall) > 12 || strlen(e->band) > 12 || strlen(e->mode) > 8)
                abort();
        // Every contact that loaded comes back from a save, field for field.
        EditorSettings.NoBackup = 1;
        if (WriteCsvLog(nullptr, path.c_str()) != 1) abort();
        const std::vector<std::string> saved = Contacts();
        FreeQsoList();
        const bool hadProblems = suspect;
        if (LoadCsvLog(nullptr, path.c_str()) != 1) {
            // A log accepted with problems may lose the allowance its extra header
            // lines gave it: then the save is refused openly, never in part.
            if (hadProblems && !QsoListHead) {
                FreeQsoList();
                return 0;
            }
            fprintf(stderr, "the saved log does not load\n");
            abort();
        }
        if (Contacts() != saved) {
            const std::vector<std::string> again = Contacts();
            for (size_t i = 0; i < saved.size() || i < again.size(); ++i)
                fprintf(stderr, "%s\n   %s\n", i < saved.size() ? saved[i].c_str() : "(none)",
                        i < again.size() ? again[i].c_str() : "(none)");
            abort();
        }
    }
    FreeQsoList();
    return 0;
}
