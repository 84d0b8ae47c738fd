// The editor's settings: one program-wide record whose fields are named after
// the values of the key Software\Brindlecote\Tarnlog under the current user,
// the built-in tables, the savers that write values back in their registry
// forms, and the recent-log list with its menu. What reaches windows and menus
// is declared in settings_win.h.
//
// Registry forms: numbers as 4-byte REG_DWORD; texts as REG_SZ of their
// characters without a terminator (the empty text as one NUL byte); lists as
// REG_MULTI_SZ, each entry with its NUL, then one more NUL (an empty list is
// one NUL byte); CustomColours as 64 bytes of REG_BINARY.
#pragma once

#include <cstdint>

#include "registry.h"   // SettingsKey: the key every setting lives in

// Capacities in bytes, each with room for its terminator.
constexpr int kSettingsPathSize = 260;
constexpr int kMyCallSlots = 20, kMyCallSize = 13;
constexpr int kUserBandSlots = 30, kUserBandSize = 13;
constexpr int kUserModeSlots = 15, kUserModeSize = 9;
constexpr int kShortCallSlots = 12, kShortCallSize = 4;
constexpr int kShortRefSlots = 12, kShortRefSize = 6;   // loaded entries keep 4 characters
constexpr int kRecentLogSlots = 5;
constexpr int kLogColumnCount = 11;
constexpr int kCustomColourCount = 16;
constexpr int kMyLocatorSize = 12;
constexpr int kAdifOperatorSize = 13;

// Colours are COLORREF values, 0x00BBGGRR. Flags are 0 or 1.
struct EditorSettingsRecord {
    char DataDirectory[kSettingsPathSize] = "";   // DBLocation
    char CurrentLogPath[kSettingsPathSize] = "";  // LastCSVLog
    int LogoIndex = 0;                            // UseIcon
    char ADIF_Editor[kSettingsPathSize] = "";
    int FirstRun = 1;
    int UseToolTips = 1;
    int ToolTipDisplayTime = 4000;   // ms
    int Left = 0;
    int Top = 0;
    uint32_t PriListColour = 0xFFFFFF;
    uint32_t AltListColour = 0xC0C0C0;
    uint32_t PriListTXTColour = 0;   // the system's window-text colour, set at program start
    uint32_t AltListTXTColour = 0;
    int AutoSave = 1;
    int NoBackup = 0;
    int AutoTime = 1;
    int AllowEmptySave = 0;
    int RefChecking = 1;
    int ClearRefOnEntry = 1;
    int ResetBandOnEntry = 1;
    int ClearSWLOnEntry = 1;
    int ExtendQRA = 0;
    int ColumnWidths[kLogColumnCount] = {40, 70, 40, 80, 60, 50, 90, 220, 60, 90, 40};   // LogColumnSize
    char MyCall[kMyCallSlots][kMyCallSize] = {};
    int MyCallCount = 0;
    char UserBands[kUserBandSlots][kUserBandSize] = {};
    int UserBandCount = 0;
    char UserModes[kUserModeSlots][kUserModeSize] = {};
    int UserModeCount = 0;
    int ConnectTimeOut = 15;    // seconds
    int DownLoadTimeOut = 300;  // seconds
    char RecentLogs[kRecentLogSlots][kSettingsPathSize] = {};   // newest first
    int RecentLogCount = 0;
    char MyLocator[kMyLocatorSize] = "";
    char ADIF_Operator[kAdifOperatorSize] = "";
    int ShowDistanceAsMiles = 0;
    uint32_t CustomColours[kCustomColourCount] = {};
    int DBAgeWarnPeriod = 3024000;   // seconds (35 days)
    char ShortCalls[kShortCallSlots][kShortCallSize] = {};
    int ShortCallCount = 0;
    char ShortRefs[kShortRefSlots][kShortRefSize] = {};
    int ShortRefCount = 0;
    int BearingOffset = 0;   // degrees, signed
};

// Holds the defaults above until the settings are loaded at start.
extern EditorSettingsRecord EditorSettings;

// Bands offered while the user has none (24 of 30 slots used), modes likewise (9
// of 15), and the titles of the log list's columns in order.
extern const char DefaultBands[kUserBandSlots][kUserBandSize];
extern const char DefaultModes[kUserModeSlots][kUserModeSize];
extern const char *const ColumnTitles[kLogColumnCount];

// Writes text as a REG_SZ setting in its stored form.
void SaveSettingText(const char *valueName, const char *text);

// LogColumnSize: the 11 ColumnWidths as decimal texts.
void SaveLogColumnSize(void);
// The four list colours as REG_DWORD and CustomColours as REG_BINARY.
void SaveListColours(void);

// Each writes its list from its first count slots; empty slots are left out, as
// an empty entry would end the stored list early.
void SaveMyCall(void);
void SaveUserBands(void);
void SaveUserModes(void);
void SaveRecentLogs(void);
void SaveShortCalls(void);
void SaveShortRefs(void);

// Puts the path of a log just saved or opened at the head of RecentLogs: an
// entry equal to it (the last such) changes places with the first; a new path
// pushes the others down, dropping the fifth. Then rebuilds the menu and saves
// the list.
void PromoteRecentLog(const char *path);

// Rebuilds the "Recent logs" popup from RecentLogs. The Windows build defines it;
// native tests link a stand-in.
void BuildRecentLogMenu(void);
