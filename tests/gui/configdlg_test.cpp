// The configuration dialog run modally from the program's own template, as its
// callers run it: a timer inside the dialog's loop fills the fields and presses
// the buttons a user would, the answerer handles the colour chooser and message
// boxes, and what Save stored is read back from the registry.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "appstate.h"
#include "configdlg.h"
#include "entryform.h"
#include "gui/harness.h"
#include "gui/shots.h"
#include "help.h"
#include "resource.h"
#include "settings.h"
#include "support/tempfile.h"
#include "support/testregistry.h"

namespace {

constexpr char kCaption[] = "Configure: VORN CSV Log Editor";

std::function<void(HWND)> driver;

void CALLBACK DriveTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowA("#32770", kCaption);
    if (!dialog || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) return;
    KillTimer(nullptr, id);
    auto drive = std::move(driver);
    driver = nullptr;
    if (drive) drive(dialog);
}

// Runs the dialog as its callers do, with drive called once it is shown; the
// driver ends it (a Save that fails leaves it open, so then it presses Cancel).
INT_PTR RunConfigDialog(HWND owner, std::function<void(HWND)> drive) {
    driver = std::move(drive);
    UINT_PTR timer = SetTimer(nullptr, 0, 40, DriveTimerProc);
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigDlgProc, 0);
    KillTimer(nullptr, timer);   // a dialog that never showed left it running
    driver = nullptr;
    return result;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SetText(HWND dialog, int id, const char *text) { SetDlgItemTextA(dialog, id, text); }

// A REG_MULTI_SZ as the list of its entries.
std::vector<std::string> StoredList(const char *name) {
    const TestStoredValue value = TestReadValue(SettingsKey, name);
    std::vector<std::string> entries;
    if (value.type != TARN_REG_MULTI_SZ) return {"<not a stored list>"};
    for (size_t start = 0; start < value.bytes.size() && value.bytes[start];) {
        size_t end = value.bytes.find('\0', start);
        entries.push_back(value.bytes.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

TestStoredValue StoredText(const std::string &text) {
    return Stored(TARN_REG_SZ, text.empty() ? std::string(1, '\0') : text);
}

std::vector<std::string> ComboEntries(HWND combo) {
    std::vector<std::string> entries;
    int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[16] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::string DefaultsText(const char (*slots)[kUserBandSize], int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        if (slots[i][0]) text.append(slots[i]).append("\r\n");
    return text;
}

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEditorState();
        TestCreateKey(SettingsKey);
        HomeLatitude = HomeLongitude = 0.0f;
    }
    void TearDown() override { ResetEditorState(); }
};

TEST_F(ConfigDialog, OpensWithTheSettingsAtTheSavedPlaceWithoutOwner) {
    EditorSettings.Left = 37;
    EditorSettings.Top = 58;
    strcpy(EditorSettings.MyLocator, "IO91WM");
    strcpy(EditorSettings.ADIF_Operator, "QX9ZZ");
    strcpy(EditorSettings.ADIF_Editor, "C:\\tools\\viewer.exe");
    EditorSettings.ShowDistanceAsMiles = 1;
    EditorSettings.NoBackup = 1;
    strcpy(EditorSettings.UserModes[0], "CW");
    strcpy(EditorSettings.UserModes[2], "FM");   // an empty slot between is left out
    EditorSettings.UserModeCount = 3;
    struct Seen {
        RECT place{};
        std::string header, footer, calls, bands, modes, locator, op, viewer, message;
        UINT miles = 0, qra = 0, empty = 0, backup = 0;
        std::vector<std::vector<std::string>> rows;
        LPARAM data[2] = {};
        bool listEnabled = true;
        std::vector<std::pair<int, std::string>> tips;
    } seen;
    const std::string shot = ShotPath("config_dialog.bmp");
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        GetWindowRect(dialog, &seen.place);
        seen.header = ControlText(dialog, IDC_CONFIG_HEADER);
        seen.footer = ControlText(dialog, IDC_CONFIG_FOOTER);
        seen.calls = ControlText(dialog, IDC_CALLSIGNS);
        seen.bands = ControlText(dialog, IDC_BANDS);
        seen.modes = ControlText(dialog, IDC_MODES);
        seen.locator = ControlText(dialog, IDC_LOCATOR);
        seen.op = ControlText(dialog, IDC_OPERATOR);
        seen.viewer = ControlText(dialog, IDC_VIEWER_PATH);
        seen.miles = IsDlgButtonChecked(dialog, IDC_MILES);
        seen.qra = IsDlgButtonChecked(dialog, IDC_EXTEND_QRA);
        seen.empty = IsDlgButtonChecked(dialog, IDC_ALLOW_EMPTY_SAVE);
        seen.backup = IsDlgButtonChecked(dialog, IDC_NO_BACKUP);
        HWND list = GetDlgItem(dialog, IDC_SAMPLE_LIST);
        seen.rows = ListRows(list);
        for (int row = 0; row < 2; ++row) {
            LVITEMA item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            seen.data[row] = item.lParam;
        }
        seen.listEnabled = IsWindowEnabled(list);
        seen.tips = ToolTipsOf(dialog);
        if (!shot.empty()) {
            PumpMessages(200);
            EXPECT_EQ(SaveWindowShot(dialog, shot.c_str()), 1);
        }
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(seen.place.left, 37);
    EXPECT_EQ(seen.place.top, 58);
    EXPECT_EQ(seen.header.rfind("The information below is required", 0), 0u) << seen.header;
    EXPECT_EQ(seen.footer.rfind("You can add, remove or change the order", 0), 0u) << seen.footer;
    EXPECT_EQ(seen.calls, "NOCALL\r\n");
    EXPECT_EQ(seen.bands, DefaultsText(DefaultBands, kUserBandSlots));
    EXPECT_EQ(seen.modes, "CW\r\nFM\r\n");
    EXPECT_EQ(seen.locator, "IO91WM");
    EXPECT_EQ(seen.op, "QX9ZZ");
    EXPECT_EQ(seen.viewer, "C:\\tools\\viewer.exe");
    EXPECT_EQ(seen.miles, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(seen.qra, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(seen.empty, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(seen.backup, static_cast<UINT>(BST_CHECKED));
    const std::vector<std::vector<std::string>> rows = {{"1", "03/09/2015", "11:22", "QX1AB/P", "144MHz"},
                                                        {"2", "05/09/2015", "10:45", "QX2CD/P", "7MHz"}};
    EXPECT_EQ(seen.rows, rows);
    EXPECT_EQ(seen.data[0], 1);
    EXPECT_EQ(seen.data[1], 2);
    EXPECT_FALSE(seen.listEnabled);
    // Every control but the operator and the offset explains itself.
    EXPECT_EQ(seen.tips.size(), 20u);
    for (const auto &tip : seen.tips) {
        EXPECT_NE(tip.first, IDC_OPERATOR);
        EXPECT_NE(tip.first, IDC_BEARING_OFFSET);
        if (tip.first == IDC_CALLSIGNS) {
            EXPECT_NE(tip.second.find("(MAX: 20 calls up to 12 characters each"), std::string::npos) << tip.second;
        }
        if (tip.first == IDC_MODES) {
            EXPECT_NE(tip.second.find("(MAX: 15 modes up to 8 characters each"), std::string::npos) << tip.second;
        }
    }
    // Nothing is written by looking.
    EXPECT_EQ(TestReadValue(SettingsKey, "MyLocator").type, 0);
}

TEST_F(ConfigDialog, BearingOffsetListAndWhatSaveStores) {
    struct Case {
        int setting;
        const char *shown;
        int stored;
    };
    const Case cases[] = {{0, "0", 0}, {5, "5", 5}, {-15, "-15", -15}, {15, "15", 15}, {20, "-15", -15}, {-16, "-15", -15}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setting);
        ResetEditorState();
        TestCreateKey(SettingsKey);
        EditorSettings.BearingOffset = c.setting;
        std::vector<std::string> entries;
        std::string shown;
        INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
            entries = ComboEntries(GetDlgItem(dialog, IDC_BEARING_OFFSET));
            shown = ControlText(dialog, IDC_BEARING_OFFSET);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(result, 1);
        ASSERT_EQ(entries.size(), 31u);
        EXPECT_EQ(entries.front(), "-15");
        EXPECT_EQ(entries[15], "0");
        EXPECT_EQ(entries[20], "5");
        EXPECT_EQ(entries.back(), "15");
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(EditorSettings.BearingOffset, c.stored);
        EXPECT_EQ(TestReadValue(SettingsKey, "BearingOffset"), StoredDword(static_cast<uint32_t>(c.stored)));
    }
}

TEST_F(ConfigDialog, SaveCutsTheListsToTheirLimits) {
    std::string calls;
    std::vector<std::string> first20;
    for (int i = 1; i <= 21; ++i) {
        char call[16];
        snprintf(call, sizeof call, "QX%dAA", i);
        calls.append(call).append("\r\n");
        if (i <= 20) first20.push_back(call);
    }
    std::string message;
    DWORD took = 0;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        SetText(dialog, IDC_CALLSIGNS, calls.c_str());
        SetText(dialog, IDC_BANDS, "\r\n144MHz\r\n\r\n\r\n123456789012345\r\n   \r\n");
        SetText(dialog, IDC_MODES, "SSB\r\nMODE-10CHR\r\nFM");
        DWORD start = GetTickCount();
        Click(dialog, IDOK);
        took = GetTickCount() - start;
        message = ControlText(dialog, IDC_MESSAGE_LINE);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(message, "WARNING: More Callsigns defined than code supports");
    EXPECT_GE(took, 1900u);   // the warning stays in view before the dialog closes
    EXPECT_EQ(StoredList("MyCall"), first20);
    EXPECT_EQ(EditorSettings.MyCallCount, 20);
    // Blank lines vanish, a line of blanks is an entry, long lines are cut.
    EXPECT_EQ(StoredList("UserBands"), (std::vector<std::string>{"144MHz", "123456789012", "   "}));
    EXPECT_EQ(EditorSettings.UserBandCount, 3);
    EXPECT_EQ(StoredList("UserModes"), (std::vector<std::string>{"SSB", "MODE-10C", "FM"}));
    EXPECT_EQ(EditorSettings.UserModeCount, 3);
}

TEST_F(ConfigDialog, BandAndModeWarningsAndEmptyBoxes) {
    EditorSettings.UserBandCount = 1;
    strcpy(EditorSettings.UserBands[0], "10GHz");
    std::string modes;
    for (int i = 0; i < 16; ++i) {
        char mode[8];
        snprintf(mode, sizeof mode, "M%d\n", i);
        modes += mode;
    }
    std::string message;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        SetText(dialog, IDC_CALLSIGNS, "\r\n\r\n");   // only line breaks: an empty list
        SetText(dialog, IDC_BANDS, "");                // empty: the list stays as it is
        SetText(dialog, IDC_MODES, modes.c_str());
        Click(dialog, IDOK);
        message = ControlText(dialog, IDC_MESSAGE_LINE);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(message, "WARNING: More Modes defined than code supports");
    EXPECT_EQ(TestReadValue(SettingsKey, "MyCall"), Stored(TARN_REG_MULTI_SZ, std::string(1, '\0')));
    EXPECT_EQ(EditorSettings.MyCallCount, 0);
    EXPECT_EQ(TestReadValue(SettingsKey, "UserBands").type, 0);
    EXPECT_EQ(EditorSettings.UserBandCount, 1);
    EXPECT_STREQ(EditorSettings.UserBands[0], "10GHz");
    EXPECT_EQ(StoredList("UserModes").size(), 15u);
    EXPECT_EQ(StoredList("UserModes").back(), "M14");
}

TEST_F(ConfigDialog, DefaultBandsAndModesAreStoredOnlyOnSave) {
    EditorSettings.UserBandCount = 1;
    strcpy(EditorSettings.UserBands[0], "10GHz");
    EditorSettings.UserModeCount = 1;
    strcpy(EditorSettings.UserModes[0], "CW");
    std::string bands, modes;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        Click(dialog, IDC_DEFAULT_BANDS);
        Click(dialog, IDC_DEFAULT_MODES);
        bands = ControlText(dialog, IDC_BANDS);
        modes = ControlText(dialog, IDC_MODES);
        EXPECT_EQ(TestReadValue(SettingsKey, "UserBands").type, 0);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(bands, DefaultsText(DefaultBands, kUserBandSlots));
    EXPECT_EQ(StoredList("UserBands").size(), 24u);
    EXPECT_EQ(EditorSettings.UserBandCount, 24);
    EXPECT_EQ(StoredList("UserModes").size(), 9u);
    EXPECT_EQ(StoredList("UserModes").front(), DefaultModes[0]);
}

// A failing step keeps the dialog open with its reason; the steps before it
// stay stored (Cancel does not take them back), the ones after are not made.
TEST_F(ConfigDialog, SaveStopsAtAnInvalidLocatorOrViewer) {
    const std::string viewer = WriteTestFile("viewer.cmd", "@echo off\r\n").string();
    struct Case {
        const char *name, *locator, *viewer, *message;
        bool optionsStored, viewerStored;
    };
    const Case cases[] = {
        {"bad locator", "IO91W", "", "ERROR: The details given for Locator are not valid !", false, false},
        {"missing viewer", "IO91", "C:\\no\\such\\viewer.exe",
         "ERROR: The ADIF Viewer/Editor does not point to a valid application or script !", true, false},
        {"all valid", "IO91WM", viewer.c_str(), "", true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditorState();
        TestCreateKey(SettingsKey);
        HomeLatitude = HomeLongitude = 0.0f;
        strcpy(EditorSettings.MyLocator, "JO01");
        EditorSettings.PriListColour = 0x123456;
        std::string message;
        bool openAfterSave = false;
        INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
            SetText(dialog, IDC_CALLSIGNS, "QX1AB\r\n");
            SetText(dialog, IDC_LOCATOR, c.locator);
            CheckDlgButton(dialog, IDC_MILES, BST_CHECKED);
            CheckDlgButton(dialog, IDC_ALLOW_EMPTY_SAVE, BST_CHECKED);
            SetText(dialog, IDC_OPERATOR, "QX7OP");
            SetText(dialog, IDC_VIEWER_PATH, c.viewer);
            Click(dialog, IDOK);
            message = ControlText(dialog, IDC_MESSAGE_LINE);
            openAfterSave = IsWindowVisible(dialog);
            if (openAfterSave) Click(dialog, IDCANCEL);
        });
        const bool saved = c.message[0] == '\0';
        EXPECT_EQ(result, saved ? 1 : 2);
        EXPECT_EQ(openAfterSave, !saved);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(StoredList("MyCall"), std::vector<std::string>{"QX1AB"});
        if (c.optionsStored) {
            EXPECT_EQ(TestReadValue(SettingsKey, "MyLocator"), StoredText(c.locator));
            EXPECT_NE(HomeLatitude, 0.0f);
            EXPECT_EQ(TestReadDword(SettingsKey, "ShowDistanceAsMiles"), 1);
            EXPECT_EQ(TestReadDword(SettingsKey, "AllowEmptySave"), 1);
            EXPECT_EQ(TestReadDword(SettingsKey, "NoBackup"), 0);
            EXPECT_EQ(TestReadValue(SettingsKey, "ADIF_Operator"), StoredText("QX7OP"));
        } else {
            EXPECT_EQ(TestReadValue(SettingsKey, "MyLocator").type, 0);
            EXPECT_STREQ(EditorSettings.MyLocator, "JO01");
            EXPECT_EQ(HomeLatitude, 0.0f);   // the rejected locator moved nothing
            EXPECT_EQ(TestReadValue(SettingsKey, "ShowDistanceAsMiles").type, 0);
            EXPECT_EQ(TestReadValue(SettingsKey, "ADIF_Operator").type, 0);
        }
        if (c.viewerStored) {
            EXPECT_EQ(TestReadValue(SettingsKey, "ADIF_Editor"), StoredText(viewer));
            EXPECT_EQ(TestReadDword(SettingsKey, "PriListColour"), 0x123456);
            EXPECT_EQ(TestReadValue(SettingsKey, "CustomColours").type, TARN_REG_BINARY);
        } else {
            EXPECT_EQ(TestReadValue(SettingsKey, "ADIF_Editor").type, 0);
            EXPECT_EQ(TestReadValue(SettingsKey, "PriListColour").type, 0);
        }
    }
}

TEST_F(ConfigDialog, EmptyLocatorAndViewerAreStoredEmpty) {
    strcpy(EditorSettings.MyLocator, "IO91WM");
    strcpy(EditorSettings.ADIF_Editor, "C:\\old.exe");
    HomeLatitude = 51.5f;
    HomeLongitude = -0.9f;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        SetText(dialog, IDC_LOCATOR, "");
        SetText(dialog, IDC_VIEWER_PATH, "");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(TestReadValue(SettingsKey, "MyLocator"), StoredText(""));
    EXPECT_EQ(TestReadValue(SettingsKey, "ADIF_Editor"), StoredText(""));
    EXPECT_STREQ(EditorSettings.MyLocator, "");
    EXPECT_EQ(HomeLatitude, 51.5f);   // the home position stays
    EXPECT_EQ(HomeLongitude, -0.9f);
}

// Sets the chooser's red, green and blue boxes and confirms, once it is shown;
// notes its caption and place.
struct ChooserPick {
    COLORREF colour;
    std::string caption;
    RECT place{};
};
ChooserPick *pendingPick = nullptr;

BOOL CALLBACK FindChooser(HWND window, LPARAM out) {
    char caption[64] = "";
    if (IsWindowVisible(window) && GetWindowTextA(window, caption, sizeof caption) && strncmp(caption, "Select:", 7) == 0) {
        *reinterpret_cast<HWND *>(out) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK PickTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    HWND chooser = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindChooser, reinterpret_cast<LPARAM>(&chooser));
    if (!chooser) return;
    char caption[64] = "";
    GetWindowTextA(chooser, caption, sizeof caption);
    KillTimer(nullptr, id);
    ChooserPick *pick = pendingPick;
    pendingPick = nullptr;
    pick->caption = caption;
    GetWindowRect(chooser, &pick->place);
    // The chooser's red, green and blue boxes.
    SetDlgItemInt(chooser, 706, GetRValue(pick->colour), FALSE);
    SetDlgItemInt(chooser, 707, GetGValue(pick->colour), FALSE);
    SetDlgItemInt(chooser, 708, GetBValue(pick->colour), FALSE);
    SendMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
}

TEST_F(ConfigDialog, ColourChooserNamesTheColourAndIsCentred) {
    struct Case {
        int button;
        const char *caption;
    };
    const Case cases[] = {{IDC_TEXT_COLOUR_1, "Select: Text Colour (Line 1)"},
                          {IDC_TEXT_COLOUR_2, "Select: Text Colour (Line 2)"},
                          {IDC_BACK_COLOUR_1, "Select: Background Colour (Line 1)"},
                          {IDC_BACK_COLOUR_2, "Select: Background Colour (Line 2)"}};
    const EditorSettingsRecord before = EditorSettings;
    const std::string shot = ShotPath("colour_chooser.bmp");
    ChooserPick pick{RGB(10, 200, 30), {}, {}};
    RECT dialogPlace{};
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        GetWindowRect(dialog, &dialogPlace);
        for (const Case &c : cases) {
            AnswerModals({Answer(Press::Button, IDCANCEL, c.button == IDC_TEXT_COLOUR_1 ? shot : "")});
            Click(dialog, c.button);
        }
        pendingPick = &pick;
        SetTimer(nullptr, 0, 40, PickTimerProc);
        Click(dialog, IDC_BACK_COLOUR_2);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    const std::vector<SeenDialog> seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(seen[i].caption, cases[i].caption);
    // A cancelled chooser changed nothing.
    EXPECT_EQ(EditorSettings.PriListTXTColour, before.PriListTXTColour);
    EXPECT_EQ(pick.caption, "Select: Background Colour (Line 2)");
    const int width = pick.place.right - pick.place.left, height = pick.place.bottom - pick.place.top;
    const int dialogWidth = dialogPlace.right - dialogPlace.left, dialogHeight = dialogPlace.bottom - dialogPlace.top;
    EXPECT_EQ(pick.place.left, dialogPlace.left + dialogWidth / 2 - width / 2);
    EXPECT_EQ(pick.place.top, dialogPlace.top + dialogHeight / 2 - height / 2);
}

TEST_F(ConfigDialog, ColourChangesShowAtOnceAndCancelRestoresThem) {
    EditorSettings.PriListColour = 0x101010;
    EditorSettings.AltListColour = 0x202020;
    EditorSettings.PriListTXTColour = 0x303030;
    EditorSettings.AltListTXTColour = 0x404040;
    ChooserPick pick{RGB(10, 200, 30), {}, {}};
    uint32_t liveAlt = 0, livePri = 0, liveText = 0;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        pendingPick = &pick;
        SetTimer(nullptr, 0, 40, PickTimerProc);
        Click(dialog, IDC_BACK_COLOUR_2);
        liveAlt = EditorSettings.AltListColour;
        Click(dialog, IDC_DEFAULT_COLOURS);
        livePri = EditorSettings.PriListColour;
        liveText = EditorSettings.PriListTXTColour;
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(liveAlt, RGB(10, 200, 30));
    EXPECT_EQ(livePri, 0xFFFFFFu);
    EXPECT_EQ(liveText, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(EditorSettings.PriListColour, 0x101010u);
    EXPECT_EQ(EditorSettings.AltListColour, 0x202020u);
    EXPECT_EQ(EditorSettings.PriListTXTColour, 0x303030u);
    EXPECT_EQ(EditorSettings.AltListTXTColour, 0x404040u);
    EXPECT_EQ(TestReadValue(SettingsKey, "AltListColour").type, 0);
}

TEST_F(ConfigDialog, ChosenColourIsSavedWithTheSettings) {
    ChooserPick pick{RGB(1, 2, 3), {}, {}};
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        pendingPick = &pick;
        SetTimer(nullptr, 0, 40, PickTimerProc);
        Click(dialog, IDC_TEXT_COLOUR_1);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(TestReadDword(SettingsKey, "PriListTXTColour"), RGB(1, 2, 3));
}

// Out of memory for blocks of one size only, so the dialog's own allocation fails
// while the platform and the test go on: this program's imports of malloc are
// pointed at a stand-in for the life of the guard.
using MallocFn = void *(__cdecl *)(size_t);
MallocFn realMalloc = nullptr;
size_t failingSize = 0;

void *__cdecl FailingMalloc(size_t size) { return size == failingSize ? nullptr : realMalloc(size); }

class FailMallocOfSize {
public:
    explicit FailMallocOfSize(size_t size) {
        failingSize = size;
        realMalloc = reinterpret_cast<MallocFn>(ReplaceImport("msvcrt.dll", "malloc", reinterpret_cast<ULONG_PTR>(FailingMalloc)));
    }
    ~FailMallocOfSize() { ReplaceImport("msvcrt.dll", "malloc", reinterpret_cast<ULONG_PTR>(realMalloc)); }
    FailMallocOfSize(const FailMallocOfSize &) = delete;
    FailMallocOfSize &operator=(const FailMallocOfSize &) = delete;
};

// Without its work buffer the dialog would show empty fields that a Save writes
// over the settings: it ends at once with -1, which its callers report.
TEST_F(ConfigDialog, FailedSetUpEndsTheDialogWithMinusOne) {
    bool driven = false;
    AnswerModals({Answer(Press::Button, IDOK)});
    INT_PTR result;
    {
        FailMallocOfSize guard(2048);
        result = RunConfigDialog(nullptr, [&](HWND dialog) {
            driven = true;
            Click(dialog, IDOK);
        });
    }
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(driven);
    const std::vector<SeenDialog> seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].systemBox);
    EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
    EXPECT_EQ(seen[0].text, "ERROR: Out of Memory");
    EXPECT_EQ(TestReadValue(SettingsKey, "MyCall").type, 0);
}

// A list box that cannot be split keeps the list as it was, stored and in memory,
// and Save stops there with the reason shown.
TEST_F(ConfigDialog, ListThatCannotBeSplitKeepsTheStoredList) {
    strcpy(EditorSettings.MyCall[0], "QX9OLD");
    EditorSettings.MyCallCount = 1;
    // 1999 characters: the split asks for 1000 token pointers, a size nothing else here asks for.
    const std::string calls = "QX1AB" + std::string(1994, '\n');
    bool openAfterSave = false;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        SetText(dialog, IDC_CALLSIGNS, calls.c_str());
        AnswerModals({Answer(Press::Button, IDOK)});
        {
            FailMallocOfSize guard(1000 * sizeof(char *));
            Click(dialog, IDOK);
        }
        openAfterSave = IsWindowVisible(dialog);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(openAfterSave);
    const std::vector<SeenDialog> seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "ERROR: Out of Memory");
    EXPECT_EQ(EditorSettings.MyCallCount, 1);
    EXPECT_STREQ(EditorSettings.MyCall[0], "QX9OLD");
    EXPECT_EQ(TestReadValue(SettingsKey, "MyCall").type, 0);
    EXPECT_EQ(TestReadValue(SettingsKey, "UserBands").type, 0);
}

struct HelpCall {
    HWND caller;
    std::string file;
    UINT command;
};
std::vector<HelpCall> helpCalls;

HWND WINAPI RecordHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    helpCalls.push_back({caller, file ? file : "", command});
    if (command == 0x1C) *reinterpret_cast<DWORD *>(data) = 77;   // HH_INITIALIZE hands out a cookie
    return command == 0x1C ? nullptr : caller;
}

TEST_F(ConfigDialog, HelpOpensTheConfigurationTopicAndTheDialogStays) {
    helpCalls.clear();
    SetHtmlHelpProc(RecordHtmlHelp);
    char savedDirectory[MAX_PATH];
    strcpy(savedDirectory, ProgramDirectory);
    strcpy(ProgramDirectory, "C:\\Programs\\Tarnlog");
    HWND shown = nullptr;
    bool openAfterHelp = false;
    INT_PTR result = RunConfigDialog(nullptr, [&](HWND dialog) {
        shown = dialog;
        Click(dialog, 9);
        openAfterHelp = IsWindowVisible(dialog);
        Click(dialog, IDCANCEL);
    });
    SetHtmlHelpProc(nullptr);
    strcpy(ProgramDirectory, savedDirectory);
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(openAfterHelp);
    ASSERT_FALSE(helpCalls.empty());
    const HelpCall &last = helpCalls.back();
    EXPECT_EQ(last.caller, shown);
    EXPECT_EQ(last.file, "C:\\Programs\\Tarnlog\\VORN CSV Log Editor.chm::/12_ConfiguringVORNCSVLogEditor.htm");
    EXPECT_EQ(last.command, 0u);   // HH_DISPLAY_TOPIC
}

}  // namespace
