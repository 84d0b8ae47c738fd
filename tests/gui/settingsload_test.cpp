// The settings load at start-up against the editor's real key: what it reads,
// what it writes back and in which order (every write and delete of the
// registry is recorded as it happens), and the warnings it shows.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "appstate.h"
#include "entryform.h"
#include "filecmds.h"
#include "gui/harness.h"
#include "locator.h"
#include "loglist.h"
#include "registry.h"
#include "resource.h"
#include "settings.h"
#include "settingsload.h"
#include "startup.h"
#include "support/testregistry.h"

namespace {

// One registry write as it was made; a deletion has type 0 and no bytes.
using Write = std::pair<std::string, TestStoredValue>;

using SetValueFn = LONG(WINAPI *)(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD);
using DeleteValueFn = LONG(WINAPI *)(HKEY, LPCSTR);
SetValueFn realSetValue = nullptr;
DeleteValueFn realDeleteValue = nullptr;
bool recording = false;
std::vector<Write> writes;

LONG WINAPI RecordSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size) {
    if (recording)
        writes.emplace_back(name ? name : "",
                            Stored(static_cast<int>(type), std::string(reinterpret_cast<const char *>(data), size)));
    return realSetValue(key, name, reserved, type, data, size);
}

LONG WINAPI RecordDeleteValue(HKEY key, LPCSTR name) {
    if (recording) writes.emplace_back(name ? name : "", TestStoredValue{});
    return realDeleteValue(key, name);
}

TestStoredValue Text(const std::string &text) { return Stored(REG_SZ, text); }
TestStoredValue EmptyText() { return Stored(REG_SZ, std::string(1, '\0')); }
TestStoredValue List(const std::vector<std::string> &entries) {
    std::string bytes;
    for (const auto &entry : entries) bytes += entry + '\0';
    return Stored(REG_MULTI_SZ, bytes + '\0');
}
TestStoredValue EmptyList() { return Stored(REG_MULTI_SZ, std::string(1, '\0')); }

void Put(const char *name, const TestStoredValue &value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, static_cast<DWORD>(value.type), reinterpret_cast<const BYTE *>(value.bytes.data()),
                   static_cast<DWORD>(value.bytes.size()));
    RegCloseKey(key);
}

DWORD ValueCount() {
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return count;
}

std::vector<std::string> Slots(const char *slots, int slotSize, int count) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) entries.emplace_back(slots + i * slotSize);
    return entries;
}
template <int N, int S>
std::vector<std::string> Slots(const char (&slots)[N][S], int count) {
    return Slots(&slots[0][0], S, count);
}

std::vector<std::string> Numbered(const char *prefix, int count) {
    std::vector<std::string> entries;
    for (int i = 1; i <= count; ++i) {
        std::string entry = prefix;
        entry += std::to_string(i);
        entries.push_back(entry);
    }
    return entries;
}

struct Case {
    const char *what;
    std::vector<Write> stored;     // put into a key that holds every default
    std::function<void()> check;   // on the settings as loaded
    std::vector<Write> written;    // every write of the start, in order
    std::vector<std::string> boxes = {};   // the texts of the boxes shown, in order
};

constexpr char kProgramDirectory[] = "C:\\Tarnlog Test";

class SettingsLoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        realSetValue = reinterpret_cast<SetValueFn>(
            ReplaceImport("advapi32.dll", "RegSetValueExA", reinterpret_cast<ULONG_PTR>(&RecordSetValue)));
        realDeleteValue = reinterpret_cast<DeleteValueFn>(
            ReplaceImport("advapi32.dll", "RegDeleteValueA", reinterpret_cast<ULONG_PTR>(&RecordDeleteValue)));
    }
    static void TearDownTestSuite() {
        ReplaceImport("advapi32.dll", "RegSetValueExA", reinterpret_cast<ULONG_PTR>(realSetValue));
        ReplaceImport("advapi32.dll", "RegDeleteValueA", reinterpret_cast<ULONG_PTR>(realDeleteValue));
    }

    void SetUp() override {
        ASSERT_NE(realSetValue, nullptr);
        ASSERT_NE(realDeleteValue, nullptr);
        ResetEditorState();
        lstrcpynA(savedProgramDirectory, ProgramDirectory, MAX_PATH);
        lstrcpynA(ProgramDirectory, kProgramDirectory, MAX_PATH);
        FreshStart();
    }
    void TearDown() override {
        recording = false;
        lstrcpynA(ProgramDirectory, savedProgramDirectory, MAX_PATH);
        ResetEditorState();
        HomeLatitude = HomeLongitude = 0;
    }

    // The program's state as a new process has it.
    static void FreshStart() {
        EditorSettings = EditorSettingsRecord{};
        InitDefaultTextColours();
        SortColumn = 0;
        SortAscending = 1;
        HomeLatitude = HomeLongitude = 0;
    }

    // One start, every write recorded, each box it shows answered with OK.
    static std::vector<SeenDialog> Start(size_t boxes = 0) {
        std::vector<Answer> answers;
        for (size_t i = 0; i < boxes; ++i) answers.emplace_back(Press::Button, IDOK);
        AnswerModals(answers);
        writes.clear();
        recording = true;
        LoadSettings();
        recording = false;
        return TakeSeenModals();
    }

    // A key holding every value a start writes back, as after the second start.
    static void KeyWithDefaults() {
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
        FreshStart();
        Start();
        FreshStart();
    }

    // Each case: the key with every default, its own values put in, one start.
    static void Run(const std::vector<Case> &cases) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.what);
            KeyWithDefaults();
            std::vector<Write> before;
            for (const auto &[name, value] : c.stored) {
                Put(name.c_str(), value);
                before.emplace_back(name, TestReadValue(SettingsKey, name.c_str()));
            }
            const std::vector<SeenDialog> seen = Start(c.boxes.size());
            c.check();
            EXPECT_EQ(writes, c.written);
            std::vector<std::string> texts;
            for (const auto &box : seen) {
                texts.push_back(box.text);
                EXPECT_EQ(box.caption, "VORN CSV Log Editor");
                EXPECT_FALSE(box.unexpected);
                // The list warnings are the system's box, the others the editor's own dialog.
                EXPECT_EQ(box.systemBox, box.text.rfind("WARNING: More", 0) == 0) << box.text;
                EXPECT_TRUE(box.iconShown) << box.text;
            }
            EXPECT_EQ(texts, c.boxes);
            // What the start did not write stays as it was.
            for (const auto &[name, value] : before) {
                bool written = false;
                for (const auto &write : c.written) written = written || write.first == name;
                if (written) continue;
                EXPECT_EQ(TestReadValue(SettingsKey, name.c_str()), value) << name;
            }
        }
    }

    char savedProgramDirectory[MAX_PATH] = "";
};

// Every value written on the start that finds the key empty, in order.
std::vector<Write> DefaultsWritten() {
    const uint32_t text = GetSysColor(COLOR_WINDOWTEXT);
    return {
        {"UseIcon", StoredDword(0)},
        {"ADIF_Editor", EmptyText()},
        {"UseToolTips", StoredDword(1)},
        {"ToolTipDisplayTime", StoredDword(4000)},
        {"Left", StoredDword(5)},
        {"Top", StoredDword(5)},
        {"PriListColour", StoredDword(0xFFFFFF)},
        {"AltListColour", StoredDword(0xC0C0C0)},
        {"PriListTXTColour", StoredDword(text)},
        {"AltListTXTColour", StoredDword(text)},
        {"AutoSave", StoredDword(1)},
        {"NoBackup", StoredDword(0)},
        {"AutoTime", StoredDword(1)},
        {"AllowEmptySave", StoredDword(0)},
        {"RefChecking", StoredDword(1)},
        {"ClearRefOnEntry", StoredDword(1)},
        {"ResetBandOnEntry", StoredDword(1)},
        {"ClearSWLOnEntry", StoredDword(1)},
        {"ExtendQRA", StoredDword(0)},
        {"SortByColumn", StoredDword(0)},
        {"MyLocator", EmptyText()},
        {"ADIF_Operator", EmptyText()},
        {"ShowDistanceAsMiles", StoredDword(0)},
        {"DBAgeWarnPeriod", StoredDword(3024000)},
        {"ShortCalls", EmptyList()},
        {"ShortRefs", EmptyList()},
        {"BearingOffset", StoredDword(0)},
    };
}

// What every start writes to a key that holds all its values: the two prefix lists in their cleaned form.
const std::vector<Write> kRewrites = {{"ShortCalls", EmptyList()}, {"ShortRefs", EmptyList()}};

TEST_F(SettingsLoad, FirstStartCreatesTheKeyAndTheNextWritesTheDefaultsInOrder) {
    TestDeleteKey(SettingsKey);
    ASSERT_FALSE(TestKeyExists(SettingsKey));
    EXPECT_TRUE(Start().empty());
    EXPECT_TRUE(TestKeyExists(SettingsKey));
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(ValueCount(), 0u);
    EXPECT_EQ(EditorSettings.FirstRun, 1);
    EXPECT_EQ(EditorSettings.Left, 0);
    EXPECT_EQ(EditorSettings.Top, 0);
    // The database beside the program is found on this start too.
    EXPECT_STREQ(EditorSettings.DataDirectory, kProgramDirectory);

    // The second start finds the key empty.
    FreshStart();
    EXPECT_TRUE(Start().empty());
    EXPECT_EQ(writes, DefaultsWritten());
    for (const auto &[name, value] : DefaultsWritten()) EXPECT_EQ(TestReadValue(SettingsKey, name.c_str()), value) << name;
    EXPECT_EQ(ValueCount(), DefaultsWritten().size());
    EXPECT_EQ(EditorSettings.FirstRun, 1);
    // The written place is for the next start; this one keeps 0,0.
    EXPECT_EQ(EditorSettings.Left, 0);
    EXPECT_EQ(EditorSettings.Top, 0);
    EXPECT_STREQ(EditorSettings.DataDirectory, kProgramDirectory);
    EXPECT_EQ(EditorSettings.LogoIndex, 0);
    EXPECT_EQ(SortColumn, 0);
    EXPECT_EQ(SortAscending, 1);
    EXPECT_EQ(HomeLatitude, 0.0f);
    EXPECT_EQ(EditorSettings.PriListTXTColour, GetSysColor(COLOR_WINDOWTEXT));

    // A third start finds everything and writes only the cleaned prefix lists.
    FreshStart();
    Start();
    EXPECT_EQ(writes, kRewrites);
}

TEST_F(SettingsLoad, DeletesTheObsoleteValuesInOrder) {
    const char *const obsolete[] = {"ActMode",      "ADIF_FPad",   "ADIF_RPad",   "Update0950",   "NoSplash",
                                    "CallValidate", "DefaultBand", "DefaultMode", "DBAgeWarnTime"};
    KeyWithDefaults();
    // Any type counts, an empty text too.
    for (size_t i = 0; i < std::size(obsolete); ++i)
        Put(obsolete[std::size(obsolete) - 1 - i], i % 2 ? StoredDword(1) : EmptyText());
    Put("DBAgeWarn", StoredDword(2));   // belongs to the database status, not obsolete
    Start();
    std::vector<Write> expected;
    for (const char *name : obsolete) expected.emplace_back(name, TestStoredValue{});
    expected.insert(expected.end(), kRewrites.begin(), kRewrites.end());
    EXPECT_EQ(writes, expected);
    for (const char *name : obsolete) EXPECT_EQ(TestReadValue(SettingsKey, name).type, 0) << name;
    EXPECT_EQ(TestReadDword(SettingsKey, "DBAgeWarn"), 2);
}

std::vector<Write> Then(std::vector<Write> first, const std::vector<Write> &rest = kRewrites) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

TEST_F(SettingsLoad, NumbersAndFlags) {
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const std::vector<Case> cases = {
        {"stored numbers are taken as they are, signed where they may be",
         {{"ToolTipDisplayTime", StoredDword(2500)},
          {"ExtendQRA", StoredDword(2)},
          {"BearingOffset", StoredDword(static_cast<uint32_t>(-15))},
          {"ConnectTimeOut", StoredDword(30)},
          {"DownLoadTimeOut", StoredDword(600)},
          {"DBAgeWarnPeriod", StoredDword(86400)},
          {"PriListColour", StoredDword(0x123456)},
          {"AltListTXTColour", StoredDword(0x0000FF)},
          {"FirstRun", StoredDword(0)}},
         [] {
             EXPECT_EQ(EditorSettings.ToolTipDisplayTime, 2500);
             EXPECT_EQ(EditorSettings.ExtendQRA, 2);
             EXPECT_EQ(EditorSettings.BearingOffset, -15);
             EXPECT_EQ(EditorSettings.ConnectTimeOut, 30);
             EXPECT_EQ(EditorSettings.DownLoadTimeOut, 600);
             EXPECT_EQ(EditorSettings.DBAgeWarnPeriod, 86400);
             EXPECT_EQ(EditorSettings.PriListColour, 0x123456u);
             EXPECT_EQ(EditorSettings.AltListTXTColour, 0x0000FFu);
             EXPECT_EQ(EditorSettings.FirstRun, 0);
         },
         kRewrites},
        {"flags are any non-zero number, also as decimal text",
         {{"AutoSave", StoredDword(0)},
          {"NoBackup", StoredDword(7)},
          {"UseToolTips", Text("0")},
          {"AllowEmptySave", Text("12abc")},
          {"FirstRun", StoredDword(0x100)},
          {"ShowDistanceAsMiles", StoredDword(1)}},
         [] {
             EXPECT_EQ(EditorSettings.AutoSave, 0);
             EXPECT_EQ(EditorSettings.NoBackup, 1);
             EXPECT_EQ(EditorSettings.UseToolTips, 0);
             EXPECT_EQ(EditorSettings.AllowEmptySave, 1);
             EXPECT_EQ(EditorSettings.FirstRun, 1);
             EXPECT_EQ(EditorSettings.ShowDistanceAsMiles, 1);
         },
         kRewrites},
        {"a number of another type reads as 0 and counts as found",
         {{"UseIcon", Stored(REG_BINARY, std::string("\x05\0\0\0", 4))},
          {"AutoTime", Stored(REG_MULTI_SZ, std::string("1\0\0", 3))},
          {"BearingOffset", Stored(REG_BINARY, "\x07")}},
         [] {
             EXPECT_EQ(EditorSettings.LogoIndex, 0);
             EXPECT_EQ(EditorSettings.AutoTime, 0);
             EXPECT_EQ(EditorSettings.BearingOffset, 0);
         },
         kRewrites},
        {"missing timeouts get their defaults and are not written",
         {},
         [] {
             EXPECT_EQ(EditorSettings.ConnectTimeOut, 15);
             EXPECT_EQ(EditorSettings.DownLoadTimeOut, 300);
         },
         kRewrites},
        {"SortByColumn: the low byte is the column, bit 0x800 descending",
         {{"SortByColumn", StoredDword(0x803)}},
         [] {
             EXPECT_EQ(SortColumn, 3);
             EXPECT_EQ(SortAscending, 0);
         },
         kRewrites},
        {"SortByColumn without the descending bit",
         {{"SortByColumn", StoredDword(0x10A)}},
         [] {
             EXPECT_EQ(SortColumn, 10);
             EXPECT_EQ(SortAscending, 1);
         },
         kRewrites},
        {"the last logo",
         {{"UseIcon", StoredDword(26)}},
         [] { EXPECT_EQ(EditorSettings.LogoIndex, 26); },
         kRewrites},
        {"UseIcon 27 draws a logo and stays stored",
         {{"UseIcon", StoredDword(27)}},
         [] {
             EXPECT_GE(EditorSettings.LogoIndex, 0);
             EXPECT_LE(EditorSettings.LogoIndex, 26);
         },
         kRewrites},
        {"UseIcon 0xFFFFFFFF draws a logo and stays stored",
         {{"UseIcon", StoredDword(0xFFFFFFFFu)}},
         [] {
             EXPECT_GE(EditorSettings.LogoIndex, 0);
             EXPECT_LE(EditorSettings.LogoIndex, 26);
         },
         kRewrites},
        {"a place on the screen is kept",
         {{"Left", StoredDword(static_cast<uint32_t>(width - 500))}, {"Top", StoredDword(static_cast<uint32_t>(height - 400))}},
         [width, height] {
             EXPECT_EQ(EditorSettings.Left, width - 500);
             EXPECT_EQ(EditorSettings.Top, height - 400);
         },
         kRewrites},
        {"Left of -20 goes to 5",
         {{"Left", StoredDword(static_cast<uint32_t>(-20))}, {"Top", StoredDword(100)}},
         [] {
             EXPECT_EQ(EditorSettings.Left, 5);
             EXPECT_EQ(EditorSettings.Top, 100);
         },
         Then({{"Left", StoredDword(5)}})},
        {"Top too large for the virtual screen goes to 5, Left untouched",
         {{"Left", StoredDword(200)}, {"Top", StoredDword(static_cast<uint32_t>(height - 399))}},
         [] {
             EXPECT_EQ(EditorSettings.Left, 200);
             EXPECT_EQ(EditorSettings.Top, 5);
         },
         Then({{"Top", StoredDword(5)}})},
        {"both too far right and above",
         {{"Left", StoredDword(static_cast<uint32_t>(width - 499))}, {"Top", StoredDword(static_cast<uint32_t>(-1))}},
         [] {
             EXPECT_EQ(EditorSettings.Left, 5);
             EXPECT_EQ(EditorSettings.Top, 5);
         },
         Then({{"Left", StoredDword(5)}, {"Top", StoredDword(5)}})},
        {"custom colours as 16 little-endian numbers",
         {{"CustomColours", Stored(REG_BINARY, std::string("\x01\x02\x03\x00", 4) + std::string(56, '\0') +
                                                   std::string("\xFF\xEE\xDD\x00", 4))}},
         [] {
             EXPECT_EQ(EditorSettings.CustomColours[0], 0x030201u);
             EXPECT_EQ(EditorSettings.CustomColours[15], 0xDDEEFFu);
         },
         kRewrites},
        {"custom colours of another type stay zero",
         {{"CustomColours", StoredDword(0x123456)}},
         [] { EXPECT_EQ(EditorSettings.CustomColours[0], 0u); },
         kRewrites},
    };
    Run(cases);
}

TEST_F(SettingsLoad, Texts) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string selfPath = self;
    const std::string longPath = "C:\\" + std::string(256, 'x');   // 259 characters, the longest a path field holds
    const std::string prefix = "Warning: ADIF Editor (", suffix = ") was not found !";
    float jo01Latitude = 0, jo01Longitude = 0;
    ASSERT_EQ(LocatorToLatLon("JO01AB", &jo01Latitude, &jo01Longitude), 1);

    const std::vector<Case> cases = {
        {"paths", {{"DBLocation", Text("D:\\Data")}, {"LastCSVLog", Text(longPath)}},
         [longPath] {
             EXPECT_STREQ(EditorSettings.DataDirectory, "D:\\Data");
             EXPECT_EQ(EditorSettings.CurrentLogPath, longPath);
         },
         kRewrites},
        {"an empty DBLocation means the program's folder", {{"DBLocation", EmptyText()}},
         [] { EXPECT_STREQ(EditorSettings.DataDirectory, kProgramDirectory); }, kRewrites},
        {"a 12-character operator is kept, in capitals", {{"ADIF_Operator", Text("g4abc/p1234x")}},
         [] { EXPECT_STREQ(EditorSettings.ADIF_Operator, "G4ABC/P1234X"); }, kRewrites},
        {"an operator stored with its terminator", {{"ADIF_Operator", Text(std::string("M0XYZABCDEFG") + '\0')}},
         [] { EXPECT_STREQ(EditorSettings.ADIF_Operator, "M0XYZABCDEFG"); }, kRewrites},
        {"an operator too long to read is not overwritten", {{"ADIF_Operator", Text("M0XYZABCDEFGH")}},
         [] { EXPECT_STREQ(EditorSettings.ADIF_Operator, ""); }, kRewrites},
        {"an operator of another type is not overwritten", {{"ADIF_Operator", StoredDword(5)}},
         [] { EXPECT_STREQ(EditorSettings.ADIF_Operator, ""); }, kRewrites},
        {"the empty texts stored are not written again",
         {{"ADIF_Editor", EmptyText()}, {"MyLocator", EmptyText()}, {"ADIF_Operator", EmptyText()}},
         [] { EXPECT_STREQ(EditorSettings.ADIF_Editor, ""); }, kRewrites},
        {"an ADIF editor that exists", {{"ADIF_Editor", Text(selfPath)}},
         [selfPath] { EXPECT_EQ(EditorSettings.ADIF_Editor, selfPath); }, kRewrites},
        {"a missing ADIF editor is warned about", {{"ADIF_Editor", Text("C:\\nowhere\\edit.exe")}},
         [] { EXPECT_STREQ(EditorSettings.ADIF_Editor, "C:\\nowhere\\edit.exe"); }, kRewrites,
         {"Warning: ADIF Editor (C:\\nowhere\\edit.exe) was not found !"}},
        {"a missing ADIF editor with a long path: the warning keeps to its buffer, the path is cut",
         {{"ADIF_Editor", Text(longPath)}},
         [longPath] { EXPECT_EQ(EditorSettings.ADIF_Editor, longPath); }, kRewrites,
         {prefix + longPath.substr(0, 255 - prefix.size() - suffix.size()) + suffix}},
        {"an ADIF editor path too long for its field reads as empty and stays",
         {{"ADIF_Editor", Text(longPath + "y")}}, [] { EXPECT_STREQ(EditorSettings.ADIF_Editor, ""); }, kRewrites},
        {"a lower-case locator is used in capitals, the stored one stays",
         {{"MyLocator", Text("jo01ab")}},
         [jo01Latitude, jo01Longitude] {
             EXPECT_STREQ(EditorSettings.MyLocator, "JO01AB");
             EXPECT_EQ(HomeLatitude, jo01Latitude);
             EXPECT_EQ(HomeLongitude, jo01Longitude);
         },
         kRewrites},
        {"a ten-character locator", {{"MyLocator", Text("JO01AB12CD")}},
         [] {
             EXPECT_STREQ(EditorSettings.MyLocator, "JO01AB12CD");
             EXPECT_NE(HomeLatitude, 0.0f);
         },
         kRewrites},
        {"a locator with letters past X is warned about and gives no home",
         {{"MyLocator", Text("ZZ99zz")}},
         [] {
             EXPECT_STREQ(EditorSettings.MyLocator, "ZZ99ZZ");
             EXPECT_EQ(HomeLatitude, 0.0f);
             EXPECT_EQ(HomeLongitude, 0.0f);
         },
         kRewrites,
         {"Warning: The Locator 'ZZ99ZZ' is NOT valid - Please correct it in the configuration (F9)!"}},
        {"both warnings, in order", {{"ADIF_Editor", Text("C:\\x.exe")}, {"MyLocator", Text("JO0")}},
         [] {}, kRewrites,
         {"Warning: ADIF Editor (C:\\x.exe) was not found !",
          "Warning: The Locator 'JO0' is NOT valid - Please correct it in the configuration (F9)!"}},
    };
    Run(cases);
}

TEST_F(SettingsLoad, Lists) {
    const std::string longPath = "C:\\" + std::string(297, 'p');   // 300 characters
    std::vector<std::string> calls = Numbered("G", 25);
    calls[3] = "VERYLONGCALL123";   // 15 characters
    std::vector<std::string> firstCalls(calls.begin(), calls.begin() + 20);
    firstCalls[3] = "VERYLONGCALL";
    std::vector<std::string> shortCalls = {"G", "M", "2E", "GW", "GM", "GI", "GD", "GJ", "GU", "MW", "MM", "EI", "DL"};
    shortCalls[4] = "GM0X";
    std::vector<std::string> cleanCalls(shortCalls.begin(), shortCalls.begin() + 12);
    cleanCalls[4] = "GM0";
    std::vector<std::string> shortRefs = Numbered("R", 13);
    shortRefs[0] = "G/LD1";
    std::vector<std::string> cleanRefs(shortRefs.begin(), shortRefs.begin() + 12);
    cleanRefs[0] = "G/LD";

    const std::vector<Case> cases = {
        {"25 callsigns: the first 20 remain, the long one cut, a warning", {{"MyCall", List(calls)}},
         [firstCalls] { EXPECT_EQ(Slots(EditorSettings.MyCall, EditorSettings.MyCallCount), firstCalls); }, kRewrites,
         {"WARNING: More Callsigns defined than code supports"}},
        {"exactly 20 callsigns: no warning", {{"MyCall", List(Numbered("G", 20))}},
         [] { EXPECT_EQ(Slots(EditorSettings.MyCall, EditorSettings.MyCallCount), Numbered("G", 20)); }, kRewrites},
        {"31 bands: 30 remain, a warning", {{"UserBands", List(Numbered("B", 31))}},
         [] { EXPECT_EQ(Slots(EditorSettings.UserBands, EditorSettings.UserBandCount), Numbered("B", 30)); }, kRewrites,
         {"WARNING: More Bands defined than code supports"}},
        {"16 modes: 15 remain, silently, each cut to 8", {{"UserModes", List(Numbered("MODELONG", 16))}},
         [] {
             ASSERT_EQ(EditorSettings.UserModeCount, 15);
             EXPECT_STREQ(EditorSettings.UserModes[0], "MODELONG");
             EXPECT_STREQ(EditorSettings.UserModes[14], "MODELONG");
         },
         kRewrites},
        {"six recent logs: five remain; one of 300 characters keeps 259",
         {{"RecentLogs", List({longPath, "b", "c", "d", "e", "f"})}},
         [longPath] {
             EXPECT_EQ(Slots(EditorSettings.RecentLogs, EditorSettings.RecentLogCount),
                       (std::vector<std::string>{longPath.substr(0, 259), "b", "c", "d", "e"}));
         },
         kRewrites},
        {"a list without its closing NULs ends with the data",
         {{"MyCall", Stored(REG_MULTI_SZ, std::string("G4ABC\0M0XYZ", 11))},
          {"UserModes", Stored(REG_MULTI_SZ, std::string("CW"))}},
         [] {
             EXPECT_EQ(Slots(EditorSettings.MyCall, EditorSettings.MyCallCount),
                       (std::vector<std::string>{"G4ABC", "M0XYZ"}));
             EXPECT_EQ(Slots(EditorSettings.UserModes, EditorSettings.UserModeCount), (std::vector<std::string>{"CW"}));
         },
         kRewrites},
        {"a list of size 0 is empty", {{"MyCall", Stored(REG_MULTI_SZ, "")}, {"RecentLogs", Stored(REG_MULTI_SZ, "")}},
         [] {
             EXPECT_EQ(EditorSettings.MyCallCount, 0);
             EXPECT_EQ(EditorSettings.RecentLogCount, 0);
         },
         kRewrites},
        {"a list ends at its first empty entry",
         {{"UserBands", Stored(REG_MULTI_SZ, std::string("20m\0\0" "40m\0\0", 10))}},
         [] { EXPECT_EQ(Slots(EditorSettings.UserBands, EditorSettings.UserBandCount), (std::vector<std::string>{"20m"})); },
         kRewrites},
        {"a list of another type is ignored", {{"MyCall", Text("G4ABC")}, {"LogColumnSize", Text("100")}},
         [] {
             EXPECT_EQ(EditorSettings.MyCallCount, 0);
             EXPECT_EQ(EditorSettings.ColumnWidths[0], 40);
         },
         kRewrites},
        {"five column widths: the rest keep their defaults, no number gives 0",
         {{"LogColumnSize", List({"100", "abc", "30", "-4", "55px"})}},
         [] {
             const int expected[kLogColumnCount] = {100, 0, 30, 80, 55, 50, 90, 220, 60, 90, 40};
             for (int i = 0; i < kLogColumnCount; ++i) EXPECT_EQ(EditorSettings.ColumnWidths[i], expected[i]) << i;
         },
         kRewrites},
        // Negative numbers are the list's sizing codes (-2 sizes to the header),
        // not widths; a width past 2000 pixels breaks the list.
        {"column widths below 0 or above 2000 count as missing",
         {{"LogColumnSize", List({"2147483647", "-2", "-1", "2001", "2000", "0", "99999999999", "-2147483648", "1",
                                  "-0", "+7"})}},
         [] {
             const int expected[kLogColumnCount] = {40, 70, 40, 80, 2000, 0, 90, 220, 1, 0, 7};
             for (int i = 0; i < kLogColumnCount; ++i) EXPECT_EQ(EditorSettings.ColumnWidths[i], expected[i]) << i;
         },
         kRewrites},
        {"twelve column widths: the first eleven count",
         {{"LogColumnSize", List({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"})}},
         [] {
             for (int i = 0; i < kLogColumnCount; ++i) EXPECT_EQ(EditorSettings.ColumnWidths[i], i + 1) << i;
         },
         kRewrites},
        {"13 short calls, one of four characters: 12 remain, cut to 3, written back so",
         {{"ShortCalls", List(shortCalls)}},
         [cleanCalls] { EXPECT_EQ(Slots(EditorSettings.ShortCalls, EditorSettings.ShortCallCount), cleanCalls); },
         {{"ShortCalls", List(cleanCalls)}, {"ShortRefs", EmptyList()}}},
        {"13 short references, one of five characters: 12 remain, cut to 4, written back so",
         {{"ShortRefs", List(shortRefs)}},
         [cleanRefs] { EXPECT_EQ(Slots(EditorSettings.ShortRefs, EditorSettings.ShortRefCount), cleanRefs); },
         {{"ShortCalls", EmptyList()}, {"ShortRefs", List(cleanRefs)}}},
        {"short lists without closing NULs and of size 0 are written back whole",
         {{"ShortCalls", Stored(REG_MULTI_SZ, std::string("G\0M", 3))}, {"ShortRefs", Stored(REG_MULTI_SZ, "")}},
         [] { EXPECT_EQ(Slots(EditorSettings.ShortCalls, EditorSettings.ShortCallCount), (std::vector<std::string>{"G", "M"})); },
         {{"ShortCalls", List({"G", "M"})}, {"ShortRefs", EmptyList()}}},
        {"short lists of another type are left alone",
         {{"ShortCalls", Text("G")}, {"ShortRefs", StoredDword(1)}},
         [] {
             EXPECT_EQ(EditorSettings.ShortCallCount, 0);
             EXPECT_EQ(EditorSettings.ShortRefCount, 0);
         },
         {}},
    };
    Run(cases);
}

// Widths no list can use never reach the log list, so the close does not
// store them again: the next start finds the widths the list showed.
TEST_F(SettingsLoad, ColumnWidthsNoListCanUseAreNotShownNorStoredAgain) {
    KeyWithDefaults();
    Put("LogColumnSize", List({"2147483647", "-2", "55", "-1", "5000"}));
    Start();
    HWND window = OpenMainWindow();
    ASSERT_NE(window, nullptr);
    std::vector<std::string> shown;
    for (int i = 0; i < kLogColumnCount; ++i)
        shown.push_back(std::to_string(SendDlgItemMessageA(window, IDC_LOG_LIST, LVM_GETCOLUMNWIDTH, i, 0)));
    EXPECT_EQ(shown, (std::vector<std::string>{"40", "70", "55", "80", "60", "50", "90", "220", "60", "90", "40"}));
    CloseMainWindow(window);
    ASSERT_FALSE(IsWindow(window));
    EXPECT_EQ(TestReadValue(SettingsKey, "LogColumnSize"), List(shown));
}

TEST_F(SettingsLoad, DefaultTextColoursAreTheSystemsWindowText) {
    EditorSettings.PriListTXTColour = EditorSettings.AltListTXTColour = 0x123456;
    InitDefaultTextColours();
    EXPECT_EQ(EditorSettings.PriListTXTColour, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(EditorSettings.AltListTXTColour, GetSysColor(COLOR_WINDOWTEXT));
}

}  // namespace
