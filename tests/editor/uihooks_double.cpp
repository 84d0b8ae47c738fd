// The recording stand-in for the log modules' window edges (uihooks_double.h).
#include "uihooks_double.h"

#include <cstdio>

#include "uihooks.h"

UiRecord ui;
int DbAvailable = 0;
int SortColumn = 0;
int SortAscending = 1;

void ResetUiRecord() {
    ui = UiRecord{};
    DbAvailable = 0;
    SortColumn = 0;
    SortAscending = 1;
}

void ShowStatusMessage(const char *text, unsigned ms) { ui.statusMessages.emplace_back(text, ms); }

void ErrorBeep(void) { ++ui.beeps; }

void SetLogFileName(const char *path) { ui.logFileNames.emplace_back(path); }

int ShowMessageBox(const char *text, const char *caption, unsigned type) {
    ui.messageBoxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
    return ui.messageBoxAnswer;
}

void OpenWithProgram(const char *program, const char *parameters) {
    ui.programsOpened.emplace_back(program, parameters ? parameters : "");
}

int ProgramFileVersion(char *out, size_t outSize) {
    if (ui.programVersion.empty() || outSize == 0) return 0;
    snprintf(out, outSize, "%s", ui.programVersion.c_str());
    return 1;
}

int ShowEditorMessage(const char *text, unsigned type) {
    ui.questions.push_back(std::string(text) + "|" + std::to_string(type));
    if (ui.answers.empty()) return 6;   // IDYES
    int answer = ui.answers.front();
    ui.answers.erase(ui.answers.begin());
    return answer;
}

void RefillMyCallCombo(void) { ui.comboRefills += "C"; }
void RefillBandCombo(void) { ui.comboRefills += "B"; }
void RefillModeCombo(void) { ui.comboRefills += "M"; }
