// The entry form's combo boxes on the main window's template: what they offer,
// what they select, and one tool tip each however often they are refilled.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "entryform.h"
#include "gui/harness.h"
#include "resource.h"
#include "settings.h"

namespace {

class ComboFillers : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        dialog = OpenDialog(IDD_MAIN);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { ResetEditorState(); }

    std::vector<std::string> Entries(int id) const {
        std::vector<std::string> entries;
        HWND combo = GetDlgItem(dialog, id);
        const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = "";
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        return entries;
    }
    int Selected(int id) const { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

    HWND dialog = nullptr;
};

template <size_t N, size_t S>
void SetList(char (&slots)[N][S], int &count, const std::vector<const char *> &entries) {
    for (size_t i = 0; i < entries.size(); ++i) strcpy(slots[i], entries[i]);
    count = static_cast<int>(entries.size());
}

TEST_F(ComboFillers, OfferTheDefaultsWhileTheUserListsAreEmpty) {
    FillBandCombo(dialog, nullptr);
    FillModeCombo(dialog, nullptr);
    FillMyCallCombo(dialog, nullptr);
    const auto bands = Entries(IDC_BAND);
    ASSERT_EQ(bands.size(), 24u);
    EXPECT_EQ(bands.front(), DefaultBands[0]);
    EXPECT_EQ(Entries(IDC_MODE),
              (std::vector<std::string>{"AM", "CW", "DATA", "DV", "FM", "PSK", "RTTY", "SSB", "Other"}));
    EXPECT_EQ(Entries(IDC_MY_CALL), (std::vector<std::string>{"NOCALL"}));
    for (int id : {IDC_BAND, IDC_MODE, IDC_MY_CALL}) EXPECT_EQ(Selected(id), 0);
}

TEST_F(ComboFillers, SelectTheLastEntryEqualToTheTextIgnoringCase) {
    SetList(EditorSettings.UserBands, EditorSettings.UserBandCount, {"7MHz", "14MHz", "2m", "14mhz"});
    SetList(EditorSettings.UserModes, EditorSettings.UserModeCount, {"CW", "SSB"});
    SetList(EditorSettings.MyCall, EditorSettings.MyCallCount, {"QX1AB", "QX1AB/P"});
    struct Case {
        const char *select;
        int band, mode, call;
    };
    const Case cases[] = {
        {nullptr, 0, 0, 0},
        {"14MHZ", 3, 0, 0},   // both spellings match: the last one wins
        {"ssb", 0, 1, 0},
        {"qx1ab/p", 0, 0, 1},
        {"not there", 0, 0, 0},
        {"", 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.select ? c.select : "(null)");
        FillBandCombo(dialog, c.select);
        FillModeCombo(dialog, c.select);
        FillMyCallCombo(dialog, c.select);
        EXPECT_EQ(Selected(IDC_BAND), c.band);
        EXPECT_EQ(Selected(IDC_MODE), c.mode);
        EXPECT_EQ(Selected(IDC_MY_CALL), c.call);
    }
    EXPECT_EQ(Entries(IDC_BAND), (std::vector<std::string>{"7MHz", "14MHz", "2m", "14mhz"}));
    EXPECT_EQ(Entries(IDC_MY_CALL), (std::vector<std::string>{"QX1AB", "QX1AB/P"}));
}

TEST_F(ComboFillers, TrustAStoredCountNoFurtherThanTheSlots) {
    for (int i = 0; i < kUserBandSlots; ++i) snprintf(EditorSettings.UserBands[i], kUserBandSize, "%dm", i + 1);
    for (int i = 0; i < kUserModeSlots; ++i) snprintf(EditorSettings.UserModes[i], kUserModeSize, "M%d", i);
    for (int i = 0; i < kMyCallSlots; ++i) snprintf(EditorSettings.MyCall[i], kMyCallSize, "QX%dAA", i);
    struct Case {
        int id;
        int &count;
        int slots;
    };
    const Case cases[] = {{IDC_BAND, EditorSettings.UserBandCount, kUserBandSlots},
                          {IDC_MODE, EditorSettings.UserModeCount, kUserModeSlots},
                          {IDC_MY_CALL, EditorSettings.MyCallCount, kMyCallSlots}};
    for (const Case &c : cases) {
        for (int count : {1, c.slots, c.slots + 1, 1000}) {
            SCOPED_TRACE(std::to_string(c.id) + " with count " + std::to_string(count));
            c.count = count;
            FillBandCombo(dialog, nullptr);
            FillModeCombo(dialog, nullptr);
            FillMyCallCombo(dialog, nullptr);
            EXPECT_EQ(Entries(c.id).size(), static_cast<size_t>(std::min(count, c.slots)));
            EXPECT_EQ(Selected(c.id), 0);
        }
        c.count = 1;
    }
}

TEST_F(ComboFillers, KeepOneToolTipPerControlAcrossRefills) {
    for (int round = 0; round < 3; ++round) {
        FillBandCombo(dialog, nullptr);
        FillModeCombo(dialog, nullptr);
        FillMyCallCombo(dialog, nullptr);
    }
    EXPECT_EQ(ToolTipWindowCount(dialog), 3);
    EXPECT_EQ(ToolTipsOf(dialog), (std::vector<std::pair<int, std::string>>{{IDC_BAND, "Select operating band"},
                                                                           {IDC_MODE, "Select operating mode"},
                                                                           {IDC_MY_CALL, "Select your callsign"}}));
}

TEST_F(ComboFillers, AttachNoToolTipWhenTipsAreOff) {
    EditorSettings.UseToolTips = 0;
    FillBandCombo(dialog, nullptr);
    FillModeCombo(dialog, nullptr);
    FillMyCallCombo(dialog, nullptr);
    EXPECT_EQ(ToolTipWindowCount(dialog), 0);
}

}  // namespace
