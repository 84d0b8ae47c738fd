// The settings load at start-up. Every registry failure is silent: a value that
// cannot be read counts as missing, a failed write goes unreported.
#include "settingsload.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "appstate.h"
#include "entryform.h"   // HomeLatitude, HomeLongitude
#include "locator.h"
#include "loglist.h"     // SortColumn, SortAscending
#include "msgdialog_win.h"
#include "registry.h"
#include "settings.h"
#include "statusbar.h"   // ShowOutOfMemory
#include "summitsdb.h"   // FileExists

namespace {

// Values of older versions, deleted at every start.
const char *const ObsoleteValueNames[] = {
    "ActMode", "ADIF_FPad", "ADIF_RPad", "Update0950", "NoSplash", "CallValidate", "DefaultBand", "DefaultMode",
    "DBAgeWarnTime",
};

constexpr int kLogoCount = 27;         // VORNBMP00..VORNBMP26
constexpr int kWarningSize = 256;      // the load-time warnings' text buffer
constexpr int kRecentLogChars = kSettingsPathSize - 1;
constexpr int kShortRefChars = 4;      // of a slot of kShortRefSize

int ValueType(const char *name) {
    int type = 0, size = 0;
    RegQueryValueInfo(TARN_HKEY_CURRENT_USER, SettingsKey, name, &type, &size);
    return type;
}

// A value of another type than a number or a text reads as 0 and counts as found.
bool ReadNumber(const char *name, uint32_t *value) {
    int size = 4;
    RegReadDword(TARN_HKEY_CURRENT_USER, SettingsKey, name, value, &size);
    return size == 4;
}

void WriteNumber(const char *name, uint32_t value) {
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, name, value);
}

// Found: the value as stored. Missing: written is stored and the field keeps what it holds.
void LoadInt(const char *name, int *field, int written) {
    uint32_t value = 0;
    if (ReadNumber(name, &value))
        *field = static_cast<int>(value);
    else
        WriteNumber(name, static_cast<uint32_t>(written));
}

// Found: 1 for any non-zero value. Missing: the field's default is stored.
void LoadFlag(const char *name, int *field) {
    uint32_t value = 0;
    if (ReadNumber(name, &value))
        *field = value != 0;
    else
        WriteNumber(name, static_cast<uint32_t>(*field));
}

void LoadColour(const char *name, uint32_t *field) {
    uint32_t value = 0;
    if (ReadNumber(name, &value))
        *field = value;
    else
        WriteNumber(name, *field);
}

// Reads a text into a field of size bytes, which keeps its longest text and a
// terminator. A text that does not fit, or of another type, reads as empty.
template <int Size>
void ReadText(const char *name, char (&field)[Size]) {
    memset(field, 0, Size);
    int size = Size;
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, name, field, &size);
    field[Size - 1] = '\0';
}

// The empty text is written only in place of a missing value: one that is there
// but unreadable here (too long, another type) is the user's and stays.
void WriteEmptyTextIfMissing(const char *name) {
    if (ValueType(name) == TARN_REG_NONE) SaveSettingText(name, "");
}

void UpperCaseLetters(char *text) {
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

void ShowLoadWarning(const char *text) { ShowMessageDialog(nullptr, text, kProgramName, MB_ICONEXCLAMATION); }

// A REG_MULTI_SZ value's data in a block of its own. A zero byte follows the
// data, so the last entry ends even when the stored one has no NUL.
struct ListBlock {
    char *data = nullptr;
    int length = 0;
};

enum class ListRead { NotAList, NoMemory, Read };

ListRead ReadListBlock(const char *name, ListBlock *block) {
    int type = 0, size = 0;
    RegQueryValueInfo(TARN_HKEY_CURRENT_USER, SettingsKey, name, &type, &size);
    if (type != TARN_REG_MULTI_SZ) return ListRead::NotAList;
    if (size <= 0) return ListRead::Read;   // an empty list
    const int capacity = size < INT_MAX ? size + 1 : size;
    block->data = static_cast<char *>(calloc(static_cast<size_t>(capacity), 1));
    if (!block->data) {
        ShowOutOfMemory();
        return ListRead::NoMemory;
    }
    block->length = capacity;
    RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, name, block->data, &block->length);
    return ListRead::Read;
}

// The entry at *pos and its length, moving *pos past it; NULL at the list's
// end: an empty entry or the end of the data.
const char *NextEntry(const ListBlock &block, int *pos, int *length) {
    if (!block.data || *pos >= block.length || block.data[*pos] == '\0') return nullptr;
    const char *entry = block.data + *pos;
    *length = static_cast<int>(strnlen(entry, static_cast<size_t>(block.length - *pos)));
    *pos += *length + 1;
    return entry;
}

// Fills the slots of a list from its REG_MULTI_SZ value in order, each entry
// cut to entryChars; the entries after the last slot are left. *more tells
// whether there were any. A value of another type leaves the list as it is.
ListRead LoadList(const char *name, char *slots, int slotSize, int slotCount, int entryChars, int *count,
                  bool *more) {
    *more = false;
    ListBlock block;
    const ListRead read = ReadListBlock(name, &block);
    if (read == ListRead::NotAList) return read;
    memset(slots, 0, static_cast<size_t>(slotSize) * static_cast<size_t>(slotCount));
    *count = 0;
    int pos = 0, length = 0;
    for (const char *entry; (entry = NextEntry(block, &pos, &length)) != nullptr;) {
        if (*count == slotCount) {
            *more = true;
            break;
        }
        memcpy(slots + static_cast<size_t>(*count) * static_cast<size_t>(slotSize), entry,
               static_cast<size_t>(length < entryChars ? length : entryChars));
        ++*count;
    }
    free(block.data);
    return read;
}

template <int Slots, int Size>
ListRead LoadList(const char *name, char (&slots)[Slots][Size], int entryChars, int *count, bool *more) {
    return LoadList(name, &slots[0][0], Size, Slots, entryChars, count, more);
}

template <int Slots, int Size>
ListRead LoadList(const char *name, char (&slots)[Slots][Size], int *count) {
    bool more = false;
    return LoadList(name, slots, Size - 1, count, &more);
}

template <int Slots, int Size>
void LoadWarnedList(const char *name, char (&slots)[Slots][Size], int *count, const char *warning) {
    bool more = false;
    LoadList(name, slots, Size - 1, count, &more);
    if (more) MessageBoxA(nullptr, warning, kProgramName, MB_ICONWARNING);
}

// Wider than any screen; a stored width outside 0..kMaxColumnWidth (a negative
// one is a list view sizing code, not a width) counts as missing.
constexpr long kMaxColumnWidth = 2000;

void LoadColumnWidths() {
    ListBlock block;
    if (ReadListBlock("LogColumnSize", &block) != ListRead::Read) return;
    static const EditorSettingsRecord defaults;
    int pos = 0, length = 0;
    const char *entry;
    for (int i = 0; i < kLogColumnCount && (entry = NextEntry(block, &pos, &length)) != nullptr; ++i) {
        const long width = strtol(entry, nullptr, 10);   // no number gives 0
        EditorSettings.ColumnWidths[i] =
            width >= 0 && width <= kMaxColumnWidth ? static_cast<int>(width) : defaults.ColumnWidths[i];
    }
    free(block.data);
}

// ShortCalls and ShortRefs are written back in their cleaned form, an empty
// list in place of a missing one; a value of another type is left alone.
template <int Slots, int Size>
void LoadShortList(const char *name, char (&slots)[Slots][Size], int entryChars, int *count, void (*save)(void)) {
    bool more = false;
    const int type = ValueType(name);
    if (type == TARN_REG_MULTI_SZ) {
        if (LoadList(name, slots, entryChars, count, &more) == ListRead::Read) save();
    } else if (type == TARN_REG_NONE) {
        memset(slots, 0, sizeof slots);
        *count = 0;
        save();
    }
}

}  // namespace

void LoadSettings(void) {
    EditorSettingsRecord &s = EditorSettings;

    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &key);
    if (opened == ERROR_SUCCESS) RegCloseKey(key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        // The first start: the defaults are written by the next one. The database
        // beside the program is found this time too.
        if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS)
            RegCloseKey(key);
        lstrcpynA(s.DataDirectory, ProgramDirectory, sizeof s.DataDirectory);
        return;
    }

    for (const char *name : ObsoleteValueNames)
        if (ValueType(name) != TARN_REG_NONE) RegRemoveValue(TARN_HKEY_CURRENT_USER, SettingsKey, name);

    ReadText("DBLocation", s.DataDirectory);
    if (!s.DataDirectory[0]) lstrcpynA(s.DataDirectory, ProgramDirectory, sizeof s.DataDirectory);
    ReadText("LastCSVLog", s.CurrentLogPath);

    uint32_t logo = 0;
    if (ReadNumber("UseIcon", &logo)) {
        s.LogoIndex = static_cast<int>(logo);
    } else {
        s.LogoIndex = 0;
        WriteNumber("UseIcon", 0);
    }
    // A number that names no logo draws one anew at every start; the stored one stays.
    if (static_cast<unsigned>(s.LogoIndex) >= kLogoCount) {
        srand(static_cast<unsigned>(time(nullptr)));
        s.LogoIndex = rand() % kLogoCount;
    }

    ReadText("ADIF_Editor", s.ADIF_Editor);
    if (!s.ADIF_Editor[0]) {
        WriteEmptyTextIfMissing("ADIF_Editor");
    } else if (!FileExists(s.ADIF_Editor)) {
        // A long path is cut so that the sentence stays whole.
        static const char prefix[] = "Warning: ADIF Editor (", suffix[] = ") was not found !";
        constexpr int room = kWarningSize - 1 - (sizeof prefix - 1) - (sizeof suffix - 1);
        char text[kWarningSize];
        snprintf(text, sizeof text, "%s%.*s%s", prefix, room, s.ADIF_Editor, suffix);
        ShowLoadWarning(text);
    }

    uint32_t firstRun = 0;
    if (ReadNumber("FirstRun", &firstRun)) s.FirstRun = firstRun != 0;

    LoadFlag("UseToolTips", &s.UseToolTips);
    LoadInt("ToolTipDisplayTime", &s.ToolTipDisplayTime, 4000);
    LoadInt("Left", &s.Left, 5);
    LoadInt("Top", &s.Top, 5);

    // Only the virtual screen's size counts, so a place left of or above the
    // primary monitor is always reset.
    if (s.Left >= GetSystemMetrics(SM_CXVIRTUALSCREEN) - 499 || s.Left < 0) {
        s.Left = 5;
        WriteNumber("Left", 5);
    }
    if (s.Top >= GetSystemMetrics(SM_CYVIRTUALSCREEN) - 399 || s.Top < 0) {
        s.Top = 5;
        WriteNumber("Top", 5);
    }

    LoadColour("PriListColour", &s.PriListColour);
    LoadColour("AltListColour", &s.AltListColour);
    LoadColour("PriListTXTColour", &s.PriListTXTColour);
    LoadColour("AltListTXTColour", &s.AltListTXTColour);

    LoadFlag("AutoSave", &s.AutoSave);
    LoadFlag("NoBackup", &s.NoBackup);
    LoadFlag("AutoTime", &s.AutoTime);
    LoadFlag("AllowEmptySave", &s.AllowEmptySave);
    LoadFlag("RefChecking", &s.RefChecking);
    LoadFlag("ClearRefOnEntry", &s.ClearRefOnEntry);
    LoadFlag("ResetBandOnEntry", &s.ResetBandOnEntry);
    LoadFlag("ClearSWLOnEntry", &s.ClearSWLOnEntry);

    LoadInt("ExtendQRA", &s.ExtendQRA, 0);

    uint32_t sort = 0;
    if (ReadNumber("SortByColumn", &sort)) {
        SortColumn = static_cast<int>(sort & 0xFF);
        SortAscending = (sort & 0x800) == 0;
    } else {
        SortColumn = 0;
        SortAscending = 1;
        WriteNumber("SortByColumn", 0);
    }

    LoadColumnWidths();

    LoadWarnedList("MyCall", s.MyCall, &s.MyCallCount, "WARNING: More Callsigns defined than code supports");
    LoadWarnedList("UserBands", s.UserBands, &s.UserBandCount, "WARNING: More Bands defined than code supports");
    LoadList("UserModes", s.UserModes, &s.UserModeCount);

    uint32_t timeout = 0;
    s.ConnectTimeOut = ReadNumber("ConnectTimeOut", &timeout) ? static_cast<int>(timeout) : 15;
    s.DownLoadTimeOut = ReadNumber("DownLoadTimeOut", &timeout) ? static_cast<int>(timeout) : 300;

    bool moreLogs = false;
    LoadList("RecentLogs", s.RecentLogs, kRecentLogChars, &s.RecentLogCount, &moreLogs);

    ReadText("MyLocator", s.MyLocator);
    if (s.MyLocator[0]) {
        UpperCaseLetters(s.MyLocator);
        if (!LocatorToLatLon(s.MyLocator, &HomeLatitude, &HomeLongitude)) {
            char text[kWarningSize];
            snprintf(text, sizeof text,
                     "Warning: The Locator '%s' is NOT valid - Please correct it in the configuration (F9)!",
                     s.MyLocator);
            ShowLoadWarning(text);
        }
    } else {
        WriteEmptyTextIfMissing("MyLocator");
    }

    // Read with room for the longest operator the configuration allows and a terminator.
    ReadText("ADIF_Operator", s.ADIF_Operator);
    if (s.ADIF_Operator[0])
        UpperCaseLetters(s.ADIF_Operator);
    else
        WriteEmptyTextIfMissing("ADIF_Operator");

    LoadFlag("ShowDistanceAsMiles", &s.ShowDistanceAsMiles);

    unsigned char colours[kCustomColourCount * 4] = {};
    int size = sizeof colours;
    RegReadBinary(TARN_HKEY_CURRENT_USER, SettingsKey, "CustomColours", colours, &size);
    if (size > 0)
        for (int i = 0; i < kCustomColourCount; ++i)
            s.CustomColours[i] = static_cast<uint32_t>(colours[i * 4]) | static_cast<uint32_t>(colours[i * 4 + 1]) << 8 |
                                 static_cast<uint32_t>(colours[i * 4 + 2]) << 16 |
                                 static_cast<uint32_t>(colours[i * 4 + 3]) << 24;

    LoadInt("DBAgeWarnPeriod", &s.DBAgeWarnPeriod, s.DBAgeWarnPeriod);

    LoadShortList("ShortCalls", s.ShortCalls, kShortCallSize - 1, &s.ShortCallCount, SaveShortCalls);
    LoadShortList("ShortRefs", s.ShortRefs, kShortRefChars, &s.ShortRefCount, SaveShortRefs);

    LoadInt("BearingOffset", &s.BearingOffset, 0);
}
