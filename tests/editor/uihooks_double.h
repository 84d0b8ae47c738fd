// A recording stand-in for the window edges of the log modules (uihooks.h),
// linked natively and under Wine until the main window provides them. It also
// holds the window modules' state those modules read (DbAvailable, the sort state).
#pragma once

#include <string>
#include <utility>
#include <vector>

struct UiRecord {
    std::vector<std::pair<std::string, unsigned>> statusMessages;
    int beeps = 0;
    std::vector<std::string> logFileNames;
    std::vector<std::string> messageBoxes;   // "caption|text|type"
    int messageBoxAnswer = 1;                // IDOK
    std::vector<std::pair<std::string, std::string>> programsOpened;
    std::string programVersion;              // empty: unreadable
    std::vector<std::string> questions;      // ShowEditorMessage: "text|type"
    std::vector<int> answers;                // given in turn; IDYES when none is left
    std::string comboRefills;                // C, B, M for each refill in order
};

// Cleared by every fixture that uses it; DbAvailable and the sort state are reset too.
extern UiRecord ui;
void ResetUiRecord();
