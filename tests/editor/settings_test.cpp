// The settings savers' value forms and the recent-log order, read back through
// the registry (the real one under Wine, the in-memory store natively).
#include "settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../support/testregistry.h"
#include "doubles.h"
#include "registry.h"

using namespace std::string_literals;

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        EditorSettings = EditorSettingsRecord{};
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
    }
    void TearDown() override { TestDeleteKey(SettingsKey); }
};

// The stored form of a list: each entry with its NUL, then one more NUL.
TestStoredValue MultiSz(const std::vector<std::string> &entries) {
    std::string bytes;
    for (const auto &e : entries) bytes += e + '\0';
    return Stored(TARN_REG_MULTI_SZ, bytes + '\0');
}

template <int Slots, int Size>
void Fill(char (&slots)[Slots][Size], int &count, const std::vector<std::string> &entries) {
    memset(slots, 0, sizeof slots);
    for (size_t i = 0; i < entries.size(); ++i)
        memcpy(slots[i], entries[i].data(), std::min(entries[i].size(), static_cast<size_t>(Size - 1)));
    count = static_cast<int>(entries.size());
}

std::vector<std::string> Repeat(int count, const std::string &text) {
    return std::vector<std::string>(static_cast<size_t>(count), text);
}

TEST_F(Settings, ListSaversWriteMultiStrings) {
    EditorSettingsRecord &s = EditorSettings;
    const std::string path259(259, 'p');
    struct Case {
        const char *what;
        std::function<void()> fill;
        void (*save)();
        const char *value;
        TestStoredValue expected;
    };
    const Case cases[] = {
        {"callsigns", [&] { Fill(s.MyCall, s.MyCallCount, {"G4ABC", "M0XYZ/P"}); }, SaveMyCall, "MyCall",
         MultiSz({"G4ABC", "M0XYZ/P"})},
        {"an empty list is one NUL", [&] { Fill(s.MyCall, s.MyCallCount, {}); }, SaveMyCall, "MyCall",
         Stored(TARN_REG_MULTI_SZ, "\0"s)},
        {"only the first count slots",
         [&] {
             Fill(s.MyCall, s.MyCallCount, {"G4ABC", "M0XYZ"});
             s.MyCallCount = 1;
         },
         SaveMyCall, "MyCall", MultiSz({"G4ABC"})},
        // An inner empty entry would end the list there on the next start.
        {"empty slots inside the count are left out", [&] { Fill(s.MyCall, s.MyCallCount, {"", "G4ABC", "", "M0XYZ"}); },
         SaveMyCall, "MyCall", MultiSz({"G4ABC", "M0XYZ"})},
        {"nothing but empty slots", [&] { Fill(s.UserModes, s.UserModeCount, {"", ""}); }, SaveUserModes, "UserModes",
         Stored(TARN_REG_MULTI_SZ, "\0"s)},
        {"every band slot full", [&] { Fill(s.UserBands, s.UserBandCount, Repeat(30, "123456789012")); },
         SaveUserBands, "UserBands", MultiSz(Repeat(30, "123456789012"))},
        {"every mode slot full", [&] { Fill(s.UserModes, s.UserModeCount, Repeat(15, "ABCDEFGH")); }, SaveUserModes,
         "UserModes", MultiSz(Repeat(15, "ABCDEFGH"))},
        {"short calls", [&] { Fill(s.ShortCalls, s.ShortCallCount, Repeat(12, "G4/")); }, SaveShortCalls,
         "ShortCalls", MultiSz(Repeat(12, "G4/"))},
        {"short references", [&] { Fill(s.ShortRefs, s.ShortRefCount, Repeat(12, "VF/L")); }, SaveShortRefs,
         "ShortRefs", MultiSz(Repeat(12, "VF/L"))},
        {"five longest paths", [&] { Fill(s.RecentLogs, s.RecentLogCount, Repeat(5, path259)); }, SaveRecentLogs,
         "RecentLogs", MultiSz(Repeat(5, path259))},
        {"column widths as decimal text", [] {}, SaveLogColumnSize, "LogColumnSize",
         MultiSz({"40", "70", "40", "80", "60", "50", "90", "220", "60", "90", "40"})},
        {"zero and negative widths",
         [&] {
             s.ColumnWidths[0] = -5;
             s.ColumnWidths[10] = 0;
         },
         SaveLogColumnSize, "LogColumnSize", MultiSz({"-5", "70", "40", "80", "60", "50", "90", "220", "60", "90", "0"})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EditorSettings = EditorSettingsRecord{};
        c.fill();
        c.save();
        const TestStoredValue stored = TestReadValue(SettingsKey, c.value);
        EXPECT_EQ(stored.type, c.expected.type);
        EXPECT_EQ(stored.bytes.size(), c.expected.bytes.size());
        EXPECT_EQ(stored.bytes, c.expected.bytes);
    }
    // The largest list, five full paths, needs 1301 bytes.
    EXPECT_EQ(TestReadValue(SettingsKey, "RecentLogs").bytes.size(), 1301u);
}

TEST_F(Settings, ListColoursAreNumbersAnd64BytesOfCustomColours) {
    EditorSettings.PriListColour = 0x00FFFFFF;
    EditorSettings.AltListColour = 0x00C0C0C0;
    EditorSettings.PriListTXTColour = 0x00010203;
    EditorSettings.AltListTXTColour = 0;
    std::string custom;
    for (int i = 0; i < 16; ++i) {
        EditorSettings.CustomColours[i] = 0x00102030u * static_cast<uint32_t>(i) + static_cast<uint32_t>(i);
        for (int b = 0; b < 4; ++b) custom += static_cast<char>(EditorSettings.CustomColours[i] >> (8 * b));
    }
    SaveListColours();
    EXPECT_EQ(TestReadValue(SettingsKey, "PriListColour"), StoredDword(0x00FFFFFF));
    EXPECT_EQ(TestReadValue(SettingsKey, "AltListColour"), StoredDword(0x00C0C0C0));
    EXPECT_EQ(TestReadValue(SettingsKey, "PriListTXTColour"), StoredDword(0x00010203));
    EXPECT_EQ(TestReadValue(SettingsKey, "AltListTXTColour"), StoredDword(0));
    EXPECT_EQ(TestReadValue(SettingsKey, "CustomColours"), Stored(TARN_REG_BINARY, custom));
}

TEST_F(Settings, TextsAreStoredWithoutTerminatorAndReadBackWithinTheirFields) {
    SaveSettingText("LastCSVLog", "C:\\Logs\\chase.csv");
    EXPECT_EQ(TestReadValue(SettingsKey, "LastCSVLog"), Stored(TARN_REG_SZ, "C:\\Logs\\chase.csv"));
    SaveSettingText("ADIF_Editor", "");
    EXPECT_EQ(TestReadValue(SettingsKey, "ADIF_Editor"), Stored(TARN_REG_SZ, "\0"s));

    // Read with each field's whole size: a text that fits leaves its terminator in
    // place; one that would fill the field reads as missing rather than unterminated.
    struct Case {
        const char *value;
        std::string text;
        int capacity;
        bool found;
    };
    const Case cases[] = {
        {"ADIF_Operator", "GW4ABC/P1234", kAdifOperatorSize, true},     // 12 characters
        {"ADIF_Operator", "GW4ABC/P12345", kAdifOperatorSize, false},   // 13
        {"MyLocator", "IO81ab12CD", kMyLocatorSize, true},
        {"MyLocator", "IO81ab12CD3", kMyLocatorSize, true},            // 11
        {"MyLocator", "IO81ab12CD34", kMyLocatorSize, false},          // 12
        {"LastCSVLog", std::string(259, 'x'), kSettingsPathSize, true},
        {"LastCSVLog", std::string(260, 'x'), kSettingsPathSize, false},
        {"LastCSVLog", "", kSettingsPathSize, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value + (": " + c.text));
        SaveSettingText(c.value, c.text.c_str());
        char field[kSettingsPathSize + 1];
        memset(field, 0, sizeof field);
        int size = c.capacity;
        RegReadString(TARN_HKEY_CURRENT_USER, SettingsKey, c.value, field, &size);
        EXPECT_EQ(size != 0, c.found);
        EXPECT_EQ(std::string(field), c.found ? c.text : "");
    }
}

struct PromoteCase {
    const char *what;
    std::vector<std::string> slots;
    int count;
    std::string path;
    std::vector<std::string> expected;   // all five slots
    int expectedCount;
};

TEST_F(Settings, PromoteRecentLogSwapsOrPushesDown) {
    const std::string longPath(300, 'L');
    const PromoteCase cases[] = {
        {"a known path changes places with the first", {"P", "Q", "R"}, 3, "R", {"R", "Q", "P", "", ""}, 3},
        {"a new path goes on top", {"R", "Q", "P"}, 3, "S", {"S", "R", "Q", "P", ""}, 4},
        {"a sixth path drops the last", {"A", "B", "C", "D", "E"}, 5, "F", {"F", "A", "B", "C", "D"}, 5},
        {"letter case makes a new path", {"c:\\log.csv", "Q"}, 2, "C:\\log.csv", {"C:\\log.csv", "c:\\log.csv", "Q", "", ""},
         3},
        {"the first path stays where it is", {"P", "Q", "R"}, 3, "P", {"P", "Q", "R", "", ""}, 3},
        {"an empty list", {}, 0, "P", {"P", "", "", "", ""}, 1},
        {"the last equal entry is the one exchanged", {"X", "A", "Y", "A"}, 4, "A", {"A", "A", "Y", "X", ""}, 4},
        {"slots beyond the count are not searched", {"P", "Q", "R"}, 2, "R", {"R", "P", "Q", "R", ""}, 3},
        {"a long path is cut to the slot", {"P"}, 1, longPath, {longPath.substr(0, 259), "P", "", "", ""}, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EditorSettings = EditorSettingsRecord{};
        Fill(EditorSettings.RecentLogs, EditorSettings.RecentLogCount, c.slots);
        EditorSettings.RecentLogCount = c.count;
#ifndef _WIN32
        recentLogMenuBuilds = 0;
#endif
        PromoteRecentLog(c.path.c_str());

        EXPECT_EQ(EditorSettings.RecentLogCount, c.expectedCount);
        std::vector<std::string> slots;
        for (const auto &slot : EditorSettings.RecentLogs) slots.emplace_back(slot);
        EXPECT_EQ(slots, c.expected);
        // Saved at once, and the menu rebuilt, whichever way the list changed.
        std::vector<std::string> saved(c.expected.begin(), c.expected.begin() + c.expectedCount);
        EXPECT_EQ(TestReadValue(SettingsKey, "RecentLogs"), MultiSz(saved));
#ifndef _WIN32
        EXPECT_EQ(recentLogMenuBuilds, 1);
#endif
    }
}

}  // namespace
