// The settings that reach windows and menus: the recent-log popup, the main
// window's place and the log list's column widths.
#include "settings_win.h"

#include <commctrl.h>

#include <cstdio>

#include "registry.h"
#include "resource.h"

HMENU RecentLogMenu = nullptr;
HBITMAP ClearHistoryBitmap = nullptr;

namespace {

constexpr char kClearRecentText[] = "Clear recent log history";

}  // namespace

void BuildRecentLogMenu(void) {
    // Room for "5. " and a path of 259 characters.
    char text[270];
    for (int i = GetMenuItemCount(RecentLogMenu) - 1; i >= 0; --i) DeleteMenu(RecentLogMenu, i, MF_BYPOSITION);

    if (EditorSettings.RecentLogCount <= 0) {
        // "None" stands in the first slot's place.
        AppendMenuA(RecentLogMenu, MF_STRING | MF_GRAYED, IDM_RECENT_FIRST, "None");
        AppendMenuA(RecentLogMenu, MF_STRING | MF_GRAYED, IDM_CLEAR_RECENT, kClearRecentText);
    } else {
        // Every slot, whatever the count; an empty one leaves a gap in the numbering.
        for (int slot = 1; slot <= kRecentLogSlots; ++slot) {
            const char *path = EditorSettings.RecentLogs[slot - 1];
            if (!path[0]) continue;
            snprintf(text, sizeof text, "%d. %.*s", slot, kSettingsPathSize - 1, path);
            AppendMenuA(RecentLogMenu, MF_STRING, IDM_RECENT_FIRST - 1 + static_cast<UINT>(slot), text);
        }
        AppendMenuA(RecentLogMenu, MF_STRING, IDM_CLEAR_RECENT, kClearRecentText);
    }
    if (ClearHistoryBitmap) SetMenuItemBitmaps(RecentLogMenu, IDM_CLEAR_RECENT, MF_BYCOMMAND, ClearHistoryBitmap, nullptr);
}

void SaveWindowPosition(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    // A minimised window stands far off the screen; keep the place it comes back to.
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    if (IsIconic(window) && GetWindowPlacement(window, &placement)) {
        rect = placement.rcNormalPosition;
        // Workspace coordinates start at the primary work area, except for tool windows.
        RECT work;
        if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
            OffsetRect(&rect, work.left, work.top);
    }
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "Left", static_cast<uint32_t>(rect.left));
    RegWriteDword(TARN_HKEY_CURRENT_USER, SettingsKey, "Top", static_cast<uint32_t>(rect.top));
}

void CaptureLogColumnWidths(HWND window) {
    HWND list = GetDlgItem(window, IDC_LOG_LIST);
    for (int i = 0; i < kLogColumnCount; ++i) {
        const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
        if (width != 0) EditorSettings.ColumnWidths[i] = width;
    }
}
