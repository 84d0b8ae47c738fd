// The settings that reach windows and menus, through the real ones.
#include "settings_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "../support/testregistry.h"
#include "registry.h"

namespace {

class SettingsWin : public ::testing::Test {
protected:
    void SetUp() override {
        EditorSettings = EditorSettingsRecord{};
        TestDeleteKey(SettingsKey);
        TestCreateKey(SettingsKey);
        RecentLogMenu = CreatePopupMenu();
        ClearHistoryBitmap = CreateBitmap(16, 16, 1, 32, nullptr);
    }
    void TearDown() override {
        DestroyMenu(RecentLogMenu);
        DeleteObject(ClearHistoryBitmap);
        RecentLogMenu = nullptr;
        ClearHistoryBitmap = nullptr;
        TestDeleteKey(SettingsKey);
    }
};

struct MenuItem {
    UINT id;
    std::string text;
    bool grayed;
    HBITMAP unchecked, checked;
    bool operator==(const MenuItem &) const = default;
};

void PrintTo(const MenuItem &item, std::ostream *os) {
    *os << "{" << item.id << ", \"" << item.text << "\", " << (item.grayed ? "grayed" : "enabled") << ", "
        << item.unchecked << ", " << item.checked << "}";
}

std::vector<MenuItem> Items(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[300] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_CHECKMARKS | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        EXPECT_EQ(info.fType & MFT_SEPARATOR, 0u) << "no separators";
        items.push_back({info.wID, text, (info.fState & MFS_GRAYED) != 0, info.hbmpUnchecked, info.hbmpChecked});
    }
    return items;
}

TEST_F(SettingsWin, RecentLogMenuShowsEveryUsedSlot) {
    const std::string longPath = "C:\\" + std::string(256, 'x');   // 259 characters
    const HBITMAP image = ClearHistoryBitmap;
    struct Case {
        const char *what;
        std::vector<std::string> slots;
        int count;
        bool withImage;
        std::vector<MenuItem> expected;
    };
    const Case cases[] = {
        {"empty list",
         {},
         0,
         true,
         {{1200, "None", true, nullptr, nullptr}, {1210, "Clear recent log history", true, image, nullptr}}},
        {"slots 1 and 3",
         {"C:\\Logs\\a.csv", "", "D:\\c.csv"},
         3,
         true,
         {{1200, "1. C:\\Logs\\a.csv", false, nullptr, nullptr},
          {1202, "3. D:\\c.csv", false, nullptr, nullptr},
          {1210, "Clear recent log history", false, image, nullptr}}},
        {"a count of 0 shows none, whatever the slots hold",
         {"C:\\a.csv"},
         0,
         true,
         {{1200, "None", true, nullptr, nullptr}, {1210, "Clear recent log history", true, image, nullptr}}},
        {"every slot is looked at, whatever the count",
         {"C:\\a.csv", "", "", "", longPath},
         1,
         false,
         {{1200, "1. C:\\a.csv", false, nullptr, nullptr},
          {1204, "5. " + longPath, false, nullptr, nullptr},
          {1210, "Clear recent log history", false, nullptr, nullptr}}},
        {"five logs",
         {"a", "b", "c", "d", "e"},
         5,
         true,
         {{1200, "1. a", false, nullptr, nullptr},
          {1201, "2. b", false, nullptr, nullptr},
          {1202, "3. c", false, nullptr, nullptr},
          {1203, "4. d", false, nullptr, nullptr},
          {1204, "5. e", false, nullptr, nullptr},
          {1210, "Clear recent log history", false, image, nullptr}}},
    };
    // Each build starts from the items the one before left in the same menu.
    AppendMenuA(RecentLogMenu, MF_STRING, 999, "left over");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EditorSettings = EditorSettingsRecord{};
        for (size_t i = 0; i < c.slots.size(); ++i)
            lstrcpynA(EditorSettings.RecentLogs[i], c.slots[i].c_str(), kSettingsPathSize);
        EditorSettings.RecentLogCount = c.count;
        ClearHistoryBitmap = c.withImage ? image : nullptr;
        BuildRecentLogMenu();
        EXPECT_EQ(Items(RecentLogMenu), c.expected);
    }
    ClearHistoryBitmap = image;
}

TEST_F(SettingsWin, PromotedLogAppearsInTheMenu) {
    BuildRecentLogMenu();
    PromoteRecentLog("C:\\Logs\\first.csv");
    PromoteRecentLog("C:\\Logs\\second.csv");
    PromoteRecentLog("C:\\Logs\\first.csv");
    const HBITMAP image = ClearHistoryBitmap;
    const std::vector<MenuItem> expected = {{1200, "1. C:\\Logs\\first.csv", false, nullptr, nullptr},
                                            {1201, "2. C:\\Logs\\second.csv", false, nullptr, nullptr},
                                            {1210, "Clear recent log history", false, image, nullptr}};
    EXPECT_EQ(Items(RecentLogMenu), expected);
}

HWND MakeWindow(int left, int top) {
    return CreateWindowExA(0, "STATIC", "Tarn position test", WS_OVERLAPPEDWINDOW, left, top, 400, 300,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST_F(SettingsWin, WindowPositionIsTheRestoredPlace) {
    HWND window = MakeWindow(123, 77);
    ASSERT_NE(window, nullptr);
    SaveWindowPosition(window);
    EXPECT_EQ(TestReadValue(SettingsKey, "Left"), StoredDword(123));
    EXPECT_EQ(TestReadValue(SettingsKey, "Top"), StoredDword(77));

    SetWindowPos(window, nullptr, -40, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SaveWindowPosition(window);
    EXPECT_EQ(TestReadValue(SettingsKey, "Left"), StoredDword(static_cast<uint32_t>(-40)));
    EXPECT_EQ(TestReadValue(SettingsKey, "Top"), StoredDword(10));

    // Minimised, the window stands off the screen; the place it comes back to is kept.
    SetWindowPos(window, nullptr, 210, 95, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    SaveWindowPosition(window);
    EXPECT_EQ(TestReadValue(SettingsKey, "Left"), StoredDword(210));
    EXPECT_EQ(TestReadValue(SettingsKey, "Top"), StoredDword(95));
    DestroyWindow(window);
}

TEST_F(SettingsWin, ColumnWidthsComeFromTheLogList) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HWND window = MakeWindow(0, 0);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 250, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(2502)), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    // Nine columns only, and one of them 0 wide: those keep the widths they had.
    for (int i = 0; i < 9; ++i) {
        char title[] = "column";
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = 30 + i;
        column.pszText = title;
        ASSERT_EQ(SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)), i);
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 4, 0);
    ASSERT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 4, 0), 0);

    CaptureLogColumnWidths(window);
    const std::vector<int> expected = {30, 31, 32, 33, 60, 35, 36, 37, 38, 90, 40};
    EXPECT_EQ(std::vector<int>(EditorSettings.ColumnWidths, EditorSettings.ColumnWidths + kLogColumnCount), expected);
    DestroyWindow(window);
}

}  // namespace
