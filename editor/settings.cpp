// The settings record, its tables and the savers.
#include "settings.h"

#include <cstdio>
#include <cstring>

#include "registry.h"

// Constant-initialised, so it holds its defaults before any other static initialisation runs.
constinit EditorSettingsRecord EditorSettings{};

const char DefaultBands[kUserBandSlots][kUserBandSize] = {
    "VLF",    "1.8MHz", "3.5MHz", "5MHz",   "7MHz",    "10MHz",  "14MHz",  "18MHz",
    "21MHz",  "24MHz",  "28MHz",  "50MHz",  "70MHz",   "144MHz", "220MHz", "432MHz",
    "900MHz", "1240MHz", "2.3GHz", "3.4GHz", "5.6GHz", "10GHz",  "24GHz",  "MICROWAVE",
};

const char DefaultModes[kUserModeSlots][kUserModeSize] = {
    "AM", "CW", "DATA", "DV", "FM", "PSK", "RTTY", "SSB", "Other",
};

const char *const ColumnTitles[kLogColumnCount] = {
    "Line", "Date", "Time", "Callsign", "Band", "Mode", "Summit", "Notes", "My Call", "My Summit", "SWL",
};

namespace {

// Every list fits: the largest, five paths of 259 characters, needs 1301 bytes.
constexpr int kListBlockSize = 2048;
static_assert(kRecentLogSlots * kSettingsPathSize + 1 <= kListBlockSize);

// Writes count slots of slotSize bytes as one REG_MULTI_SZ. An empty slot would
// store an empty entry, which ends the list for every reader: it is left out.
void SaveList(const char *valueName, const char *slots, int slotSize, int slotCount, int count) {
    if (count < 0) count = 0;
    if (count > slotCount) count = slotCount;
    char block[kListBlockSize] = {};
    int used = 0;
    for (int i = 0; i < count; ++i) {
        const char *slot = slots + static_cast<size_t>(i) * static_cast<size_t>(slotSize);
        const int length = static_cast<int>(strnlen(slot, static_cast<size_t>(slotSize - 1)));
        if (length == 0) continue;
        memcpy(block + used, slot, static_cast<size_t>(length));
        used += length + 1;   // the entry's NUL is already there
    }
    RegWriteValue(TARN_HKEY_CURRENT_USER, SettingsKey, valueName, TARN_REG_MULTI_SZ, block, used + 1);
}

template <int Slots, int Size>
void SaveList(const char *valueName, const char (&slots)[Slots][Size], int count) {
    SaveList(valueName, &slots[0][0], Size, Slots, count);
}

}  // namespace

void SaveSettingText(const char *valueName, const char *text) {
    const size_t length = strlen(text);
    // The empty text is stored as its terminator alone.
    RegWriteValue(TARN_HKEY_CURRENT_USER, SettingsKey, valueName, TARN_REG_SZ, text,
                  length ? static_cast<int>(length) : 1);
}

void SaveLogColumnSize(void) {
    char widths[kLogColumnCount][12] = {};
    for (int i = 0; i < kLogColumnCount; ++i)
        snprintf(widths[i], sizeof widths[i], "%d", EditorSettings.ColumnWidths[i]);
    SaveList("LogColumnSize", widths, kLogColumnCount);
}

void SaveListColours(void) {
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "PriListColour", EditorSettings.PriListColour);
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "AltListColour", EditorSettings.AltListColour);
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "PriListTXTColour", EditorSettings.PriListTXTColour);
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "AltListTXTColour", EditorSettings.AltListTXTColour);
    // 16 little-endian COLORREFs, the same bytes on every build.
    unsigned char colours[kCustomColourCount * 4];
    for (int i = 0; i < kCustomColourCount; ++i)
        for (int b = 0; b < 4; ++b)
            colours[i * 4 + b] = static_cast<unsigned char>(EditorSettings.CustomColours[i] >> (8 * b));
    RegWriteBinary(TARN_HKEY_CURRENT_USER, SettingsKey, "CustomColours", colours, sizeof colours);
}

void SaveMyCall(void) { SaveList("MyCall", EditorSettings.MyCall, EditorSettings.MyCallCount); }
void SaveUserBands(void) { SaveList("UserBands", EditorSettings.UserBands, EditorSettings.UserBandCount); }
void SaveUserModes(void) { SaveList("UserModes", EditorSettings.UserModes, EditorSettings.UserModeCount); }
void SaveRecentLogs(void) { SaveList("RecentLogs", EditorSettings.RecentLogs, EditorSettings.RecentLogCount); }
void SaveShortCalls(void) { SaveList("ShortCalls", EditorSettings.ShortCalls, EditorSettings.ShortCallCount); }
void SaveShortRefs(void) { SaveList("ShortRefs", EditorSettings.ShortRefs, EditorSettings.ShortRefCount); }

void PromoteRecentLog(const char *path) {
    char (&logs)[kRecentLogSlots][kSettingsPathSize] = EditorSettings.RecentLogs;
    int found = -1;
    for (int i = 0; i < EditorSettings.RecentLogCount && i < kRecentLogSlots; ++i)
        if (strcmp(logs[i], path) == 0) found = i;

    if (found > 0) {
        // An exchange, not a move to the front: the entries between stay where they are.
        char first[kSettingsPathSize];
        memcpy(first, logs[0], sizeof first);
        memcpy(logs[0], logs[found], sizeof first);
        memcpy(logs[found], first, sizeof first);
    } else if (found < 0) {
        for (int i = kRecentLogSlots - 2; i >= 0; --i) memcpy(logs[i + 1], logs[i], sizeof logs[i]);
        memset(logs[0], 0, sizeof logs[0]);
        memcpy(logs[0], path, strnlen(path, sizeof logs[0] - 1));
        if (EditorSettings.RecentLogCount < kRecentLogSlots) ++EditorSettings.RecentLogCount;
    }
    BuildRecentLogMenu();
    SaveRecentLogs();
}
